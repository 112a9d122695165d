// Hyperlink text flow: a layout control that flows text pieces, each with
// its own font, colour and hyperlink flag, along lines (with or without word
// wrap).  A hyperlink piece is underlined while the mouse is over it and
// reports a press through OnHyperLinkClick.  SplitTextToLinksEh fills a block
// from a plain text, recognising web addresses by their prefixes.
#pragma once

#include "gridlib/base/laobjects.h"

#include <vector>

class TLaFlowRichBlockEh;

class TFlRichBlockItemEh : public TPersistent {
  RTL_CLASS(TFlRichBlockItemEh, TPersistent)
public:
  TFlRichBlockItemEh() = default;
  TLaFlowRichBlockEh* FlowRichBlock() const { return FFlowRichBlock; }

  // introduced virtual: the item joined a block
  virtual void FlowRichBlockChanged() {}

private:
  friend class TLaFlowRichBlockEh;
  TLaFlowRichBlockEh* FFlowRichBlock = nullptr;  // not owning
};

// A piece of text that may break across lines.
class TFlBreakableTextEh : public TFlRichBlockItemEh {
  RTL_CLASS(TFlBreakableTextEh, TFlRichBlockItemEh)
public:
  TFlBreakableTextEh();
  // Made and added to RichBlock, which owns it.
  explicit TFlBreakableTextEh(TLaFlowRichBlockEh* RichBlock);
  ~TFlBreakableTextEh() override;

  // properties; any change of the font clears ParentFont
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  const String& Text() const { return FText; }
  void SetText(const String& Value) { FText = Value; }
  // clNone: no background.
  TColor Color() const { return FColor; }
  bool IsHyperLink() const { return FIsHyperLink; }
  void SetIsHyperLink(bool Value) { FIsHyperLink = Value; }
  Int64 Tag() const { return FTag; }
  void SetTag(Int64 Value) { FTag = Value; }

  // chainable setters
  TFlBreakableTextEh* SetFontColor(TColor AFontColor);
  TFlBreakableTextEh* SetColor(TColor AColor);
  TFlBreakableTextEh* SetFontName(const String& AFontName);
  TFlBreakableTextEh* SetFontSize(Integer AFontSize);
  TFlBreakableTextEh* SetFontStyle(TFontStyles AFontStyle);

  // reimplemented
  void Assign(TPersistent* Source) override;
  // Takes the block's font when ParentFont (which the change then clears).
  void FlowRichBlockChanged() override;

private:
  void fontChanged(TObject*) { FParentFont = false; }
  void takeBlockFont();

  TFont* FFont;
  bool FParentFont = false;
  String FText;
  TColor FColor = clNone;
  bool FIsHyperLink = false;
  Int64 FTag = 0;
};

// One placed piece of one text item on one line.
struct TLaFlowRenderTextItem {
  TPoint ItemPos;            // in the block's client coordinates
  TSize ItemSize;
  Integer FontBaseLine = 0;  // the font's ascent
  Integer TopIndent = 0;     // moves the piece down onto the line's baseline
  TFlBreakableTextEh* TextItem = nullptr;  // not owned
  Integer TextSectorStart = 0;             // 0-based
  Integer TextSectorLen = 0;
};

struct TLaFlowRenderTextLine {
  TSize LineSize;         // the pieces' width, the tallest piece's height
  Integer BaseLine = 0;   // the greatest ascent
  std::vector<TLaFlowRenderTextItem> LineItems;
};

class TLaFlowRichBlockEh : public TLaControlEh {
  RTL_CLASS(TLaFlowRichBlockEh, TLaControlEh)
public:
  explicit TLaFlowRichBlockEh(TComponent* AOwner);
  ~TLaFlowRichBlockEh() override;

  // items, owned
  // EArgumentOutOfRangeException outside the list.
  TFlRichBlockItemEh* Items(Integer Index) const;
  Integer ItemsCount() const { return Integer(FItems.size()); }
  // Takes ownership of AItem; answers it.
  TFlRichBlockItemEh* AddItem(TFlRichBlockItemEh* AItem);
  void ClearItems();

  // The hyperlink item whose piece contains Pos (a later line wins); nullptr.
  TFlBreakableTextEh* GetBlockItemAtPos(TPoint Pos) const;
  const std::vector<TLaFlowRenderTextLine>& LinesRenderList() const { return FLinesRenderList; }

  // properties
  TFlBreakableTextEh* MouseOverItem() const { return FMouseOverItem; }
  // A change sets the screen cursor (hand over a link) and repaints.
  void SetMouseOverItem(TFlBreakableTextEh* Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  // Sender: the pressed text item.
  TNotifyEvent OnHyperLinkClick;

  // reimplemented
  void Assign(TPersistent* Source) override;
  void MouseEnter() override { FMouseInControl = true; }
  void MouseLeave() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void DrawClientForeground(TRect ARect, TCanvas* ACanvas) override;
  TSize DoQueryLayoutClientArea(TSize QuerySize, TCanvas* ACanvas) override;
  TSize DoPerformLayoutClientArea(TRect ClientRect, TCanvas* ACanvas) override;

private:
  std::vector<TFlBreakableTextEh*> textItems() const;

  std::vector<TFlRichBlockItemEh*> FItems;
  std::vector<TLaFlowRenderTextLine> FLinesRenderList;
  TFlBreakableTextEh* FMouseOverItem = nullptr;
  bool FWordWrap = false;
  bool FMouseInControl = false;
};

// Clears Block and fills it with plain and hyperlink items made from Text;
// the tail after the last link (or, with AddTailAlways, the whole text
// without links) becomes a plain item.  True when any candidate link had a
// link character.
bool SplitTextToLinksEh(const String& Text, TLaFlowRichBlockEh* Block, bool AddTailAlways);
