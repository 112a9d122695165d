// The library's draw style: the shared painters of sort markers (in grid
// titles) and tree signs (in tree columns).  One draw style lives from the
// library's start-up to its shutdown; SetGridLibDrawStyleEh installs a
// replacement and answers the previous one for the caller to free.
//
// Sort markers (R = Round(8 x the canvas's scale factor), one less when odd;
// E = R div 2; S = Round(9 x scale), one less when even):
//   classic, frame  R - 1 wide, R high: an open triangle of three lines
//   3-D frame       R x R: a dark and a window-coloured edge
//   solid           S wide, S div 2 + 1 high: filled rows
//   theme-defined   the theme's header sort arrow
#pragma once

#include "gridlib/base/painters.h"

class TCanvas;
class TWinControl;

RTL_ENUM(TSortMarkerStyleEh, smstDefaultEh, smstClassicEh, smst3DFrameEh, smstFrameEh, smstSolidEh,
         smstThemeDefinedEh)
RTL_ENUM(TSortMarkerEh, smNoneEh, smDownEh, smUpEh)

class TSortMarkerPainterEh : public TPersistent {
  RTL_CLASS(TSortMarkerPainterEh, TPersistent)
public:
  TSortMarkerPainterEh() = default;

  // introduced virtuals
  // The marker's width and height; (-1, -1) for an unknown style.
  virtual TSize GetSorMarkerSize(TCanvas* Canvas, TSortMarkerStyleEh SMStyle);
  // The marker with its top-left at ARect's; nothing for smNoneEh.  A
  // FrameDarkColor of clDefault is a mid grey in the classic and frame
  // styles; FrameBrightColor is accepted and used by no style.
  virtual void Draw(TCanvas* Canvas, TSortMarkerStyleEh SMStyle, TSortMarkerEh Direction, const TRect& ARect,
                    TColor FrameBrightColor, TColor FrameDarkColor, TColor FillColor);
};

// The question TTreeSignPainterEh answers through TreeSignAreaWidthNeeded.
class TTreeSignPainterAreaWidthArgsEh : public TObject {
  RTL_CLASS(TTreeSignPainterAreaWidthArgsEh, TObject)
public:
  TWinControl* BaseControl = nullptr;
  Integer AreaHeight = 0;
  double ScaleFactor = 1.0;
  Integer AreaWidth = 0;  // the answer
};

// What TTreeSignPainterEh.Draw paints.
class TTreeSignPainterDrawArgsEh : public TObject {
  RTL_CLASS(TTreeSignPainterDrawArgsEh, TObject)
public:
  TWinControl* BaseControl = nullptr;
  TCanvas* Canvas = nullptr;
  TRect Rect;
  TTreeElementEh TreeElement = tehPlus;
  bool BackDot = false;
  double ScaleX = 1.0;
  double ScaleY = 1.0;
  bool RightToLeft = false;
  bool Coloured = false;
  TTreeViewGlyphStyleEh GlyphStyle = tvgsDefaultEh;
};

class TTreeSignPainterEh : public TPersistent {
  RTL_CLASS(TTreeSignPainterEh, TPersistent)
public:
  TTreeSignPainterEh();
  ~TTreeSignPainterEh() override;

  // Asks TreeSignAreaWidthNeeded with the painter's one argument object.
  Integer GetTreeSignAreaWidth(TWinControl* BaseControl, Integer AreaHeight, double ScaleFactor);

  // introduced virtuals
  // AreaWidth = Round(18 x ScaleFactor).
  virtual void TreeSignAreaWidthNeeded(TTreeSignPainterAreaWidthArgsEh* Args);
  // PaintTreeElementEh with the arguments.
  virtual void Draw(TTreeSignPainterDrawArgsEh* DrawArgs);

private:
  TTreeSignPainterAreaWidthArgsEh* FAreaWidthArgs;
};

// Owns its two painters.
class TGridLibDrawStyleEh : public TPersistent {
  RTL_CLASS(TGridLibDrawStyleEh, TPersistent)
public:
  TGridLibDrawStyleEh();
  ~TGridLibDrawStyleEh() override;

  TSortMarkerPainterEh* SortmarkerPainter() const { return FSortmarkerPainter; }
  // Frees the painter held and keeps Value (now owned); the painter already
  // held changes nothing.
  void SetSortmarkerPainter(TSortMarkerPainterEh* Value);
  TTreeSignPainterEh* TreeSignPainter() const { return FTreeSignPainter; }
  void SetTreeSignPainter(TTreeSignPainterEh* Value);

private:
  TSortMarkerPainterEh* FSortmarkerPainter;
  TTreeSignPainterEh* FTreeSignPainter;
};

TGridLibDrawStyleEh* GetGridLibDrawStyleEh();
// Installs ADrawStyle and answers the previous one, which the caller owns.
TGridLibDrawStyleEh* SetGridLibDrawStyleEh(TGridLibDrawStyleEh* ADrawStyle);
