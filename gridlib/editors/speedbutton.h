// The library's windowless push button and what it draws: per-state image
// lists (TButtonImagesEh), the glyph strip and its built state images
// (TButtonGlyph over TGlyphList), and the button itself
// (TCustomSpeedButtonEh, published as TSpeedButtonEh).
//
// A glyph strip holds 1 to 4 pieces side by side, in state order: normal,
// hot, pressed, disabled.  A state without its own piece shows piece 0; the
// disabled state of a one-piece strip is an embossed silhouette, of a longer
// strip piece 0 (or 3) recoloured.  Each state image is built once into the
// private list and kept until the strip, the piece count or the system
// colours change.
//
// States: normal <-> hot on mouse enter and leave; pressed on a left press;
// pressed <-> hot while the held mouse leaves and re-enters the client area;
// a release inside clicks.  Disabled whenever the control is.  With
// AutoRepeat, OnDown fires at the press, after 400 ms and then every 100 ms
// while the button stays pressed under capture.
#pragma once

#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/controls.h"

#include <array>
#include <vector>

class TBitmap;
class TResourceImageItemEh;
class TTimer;

RTL_ENUM(TButtonStateEh, bsNormalEh, bsHotEh, bsPressedEh, bsDisabledEh)
RTL_ENUM(TButtonLayoutEh, blGlyphLeftEh, blGlyphRightEh, blGlyphTopEh, blGlyphBottomEh)
// 1 to 4 pieces in a glyph strip.
using TNumGlyphsEh = Integer;
using TButtonDownEventEh = TMethodPtr<void(TObject* Sender, bool& AutoRepeat, bool& Handled)>;

// The first repeat of a held button comes after this, the next ones after
// RepeatIntervalEh.
inline constexpr Cardinal InitRepeatPauseEh = 400;
inline constexpr Cardinal RepeatIntervalEh = 100;

// ---------------------------------------------------------------------------
// TButtonImagesEh: an image list and an index per button state.  The lists
// are references (not owned); indexes start at 0.

class TButtonImagesEh : public TPersistent {
  RTL_CLASS(TButtonImagesEh, TPersistent)
public:
  TButtonImagesEh() = default;
  static void DescribeProperties(TPropertyTable& Props);

  // The four lists, then the four indexes, through the setters.
  void Assign(TPersistent* Source) override;

  // The list of State; any state but normal falls back to the normal list.
  TCustomImageList* GetStateImages(TButtonStateEh State) const;
  // The index of State; -1 for a value outside the four states.
  Integer GetStateIndex(TButtonStateEh State) const;

  // properties (a different value: RefComponentChanged(list) or Changed)
  TCustomImageList* NormalImages() const { return FNormalImages; }
  void SetNormalImages(TCustomImageList* Value) { setImages(FNormalImages, Value); }
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* Value) { setImages(FHotImages, Value); }
  TCustomImageList* PressedImages() const { return FPressedImages; }
  void SetPressedImages(TCustomImageList* Value) { setImages(FPressedImages, Value); }
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value) { setImages(FDisabledImages, Value); }
  TImageIndex NormalIndex() const { return FNormalIndex; }
  void SetNormalIndex(TImageIndex Value) { setIndex(FNormalIndex, Value); }
  TImageIndex HotIndex() const { return FHotIndex; }
  void SetHotIndex(TImageIndex Value) { setIndex(FHotIndex, Value); }
  TImageIndex PressedIndex() const { return FPressedIndex; }
  void SetPressedIndex(TImageIndex Value) { setIndex(FPressedIndex, Value); }
  TImageIndex DisabledIndex() const { return FDisabledIndex; }
  void SetDisabledIndex(TImageIndex Value) { setIndex(FDisabledIndex, Value); }

protected:
  // introduced virtuals (empty here)
  virtual void Changed() {}
  virtual void RefComponentChanged(TComponent* RefComponent) {}

private:
  void setImages(TCustomImageList*& Field, TCustomImageList* Value);
  void setIndex(TImageIndex& Field, TImageIndex Value);

  TImageIndex FNormalIndex = 0;
  TCustomImageList* FHotImages = nullptr;
  TImageIndex FDisabledIndex = 0;
  TCustomImageList* FPressedImages = nullptr;
  TImageIndex FHotIndex = 0;
  TCustomImageList* FNormalImages = nullptr;
  TImageIndex FPressedIndex = 0;
  TCustomImageList* FDisabledImages = nullptr;
};

// ---------------------------------------------------------------------------
// TGlyphList: the built state images; a deleted slot is reused, never
// removed, so the other indexes stay valid.

class TGlyphList : public TImageList {
  RTL_CLASS(TGlyphList, TImageList)
public:
  TGlyphList(Integer AWidth, Integer AHeight);

  // Image masked by MaskColor into the first free slot (appended when none);
  // answers the slot.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  // Marks the slot free.
  void Delete(int Index);
  // Slots in use.
  Integer Count() const { return FCount; }

private:
  int allocateIndex();

  std::vector<bool> Used;
  Integer FCount = 0;
};

// ---------------------------------------------------------------------------
// TButtonGlyph: the strip, its state images, the layout of glyph and caption.

class TCustomSpeedButtonEh;

class TButtonGlyph : public TObject {
  RTL_CLASS(TButtonGlyph, TObject)
public:
  explicit TButtonGlyph(TCustomSpeedButtonEh* Button);
  ~TButtonGlyph() override;

  // The strip (owned; a copy of what it was given).
  TBitmap* Glyph() const { return FOriginal; }
  // Copies Value; a width that is a multiple of the height sets NumGlyphs
  // (width div height up to 4, else 1).  An empty strip keeps NumGlyphs.
  void SetGlyph(TBitmap* Value);
  TNumGlyphsEh NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphsEh Value);
  // The strip's piece size (0 x 0 without a strip).
  TSize GlyphSize() const;

  // The list index of State's image, built on first need; -1 for an empty
  // strip.
  Integer CreateButtonGlyph(TButtonStateEh State);
  // Frees every built image (they are rebuilt on the next paint).
  void Invalidate();

  // Places glyph and caption in Client (see the algorithm in the .cpp).
  void CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                        TButtonLayoutEh Layout, Integer Margin, Integer Spacing, TPoint& GlyphPos,
                        TRect& TextBounds, gdi::UINT BiDiFlags);
  // Glyph and caption of the button in Client, moved by Offset; answers the
  // caption's bounds.
  TRect Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset);

  // what the button passes before drawing
  void SetThemeDetails(const TThemedElementDetails& Value) { FThemeDetails = Value; }
  void SetThemesEnabled(bool Value) { FThemesEnabled = Value; }
  void SetThemeTextColor(bool Value) { FThemeTextColor = Value; }

  TNotifyEvent OnChange;

  // The built images, for tests and descendants that draw them.
  TGlyphList* GlyphList() const { return FGlyphList; }

private:
  void glyphChanged(TObject* Sender);
  void buildDisabled(TBitmap* Target, Integer Piece, TSize Size);
  void drawButtonGlyph(TCanvas* Canvas, TPoint GlyphPos, TButtonStateEh State, bool Transparent);
  void drawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TButtonStateEh State,
                      gdi::UINT BiDiFlags);

  TBitmap* FOriginal;
  TGlyphList* FGlyphList = nullptr;
  std::array<Integer, 4> FIndexs{-1, -1, -1, -1};
  TColor FTransparentColor = clOlive;
  TNumGlyphsEh FNumGlyphs = 1;
  bool FPaintOnGlass = false;
  TThemedElementDetails FThemeDetails;
  bool FThemesEnabled = false;
  bool FThemeTextColor = true;
  TCustomSpeedButtonEh* FButton;
};

// ---------------------------------------------------------------------------
// TCustomSpeedButtonEh

class TCustomSpeedButtonEh : public TGraphicControl {
  RTL_CLASS(TCustomSpeedButtonEh, TGraphicControl)
  UI_MESSAGE_MAP
public:
  // 23 x 22, Spacing 4, Margin -1, glyph left, transparent, not flat.
  explicit TCustomSpeedButtonEh(TComponent* AOwner);
  ~TCustomSpeedButtonEh() override;

  // properties
  bool AutoRepeat() const { return FAutoRepeat; }
  void SetAutoRepeat(bool Value) { FAutoRepeat = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FButtonGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value);
  TButtonLayoutEh Layout() const { return FLayout; }
  void SetLayout(TButtonLayoutEh Value);
  Integer Margin() const { return FMargin; }
  // Values below -1 are ignored.
  void SetMargin(Integer Value);
  TNumGlyphsEh NumGlyphs() const { return FButtonGlyph->NumGlyphs(); }
  // Capped at 4.
  void SetNumGlyphs(TNumGlyphsEh Value);
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value);
  bool Transparent() const { return FTransparent; }
  // False makes the control opaque (csOpaque).
  void SetTransparent(bool Value);
  TButtonStateEh State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }
  double ForegroundScaleFactor() const { return FForegroundScaleFactor; }
  void SetForegroundScaleFactor(double Value) { FForegroundScaleFactor = Value; }
  TResourceImageItemEh* ResourceImageItem() const { return FResourceImageItem; }
  void SetResourceImageItem(TResourceImageItemEh* Value);
  TButtonGlyph* ButtonGlyph() const { return FButtonGlyph; }

  // events
  // Replaces the default painting.
  TNotifyEvent OnPaint;
  TButtonDownEventEh OnDown;

  // introduced virtuals
  virtual TButtonImagesEh* GetButtonImages();
  virtual TSize GetCustomGlyphSize();
  virtual void GlyphChanged(TObject* Sender);
  virtual void DrawCustomGlyph(TCanvas* ACanvas, TPoint GlyphPos);
  virtual void DoButtonDown(bool& AutoRepeat);
  virtual void UpdateState();
  virtual Integer GetButtonTheme() { return 4; }
  virtual bool IsCustomGlyph();
  virtual void DefaultPaint();
  virtual void PaintBackground(TRect& PaintRect, TPoint& PressOffset, TThemedElementDetails& ThemeDetails);
  virtual void PaintForeground(const TRect& PaintRect, TPoint PressOffset,
                               const TThemedElementDetails& ThemeDetails);

  // Runs the click (Click is protected on controls).
  void PerformClick() { Click(); }

protected:
  // reimplemented
  void Loaded() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CMDialogChar(TMessage& Message);

  // helpers for descendants
  void SetState(TButtonStateEh Value) { FState = Value; }
  bool LocalDragging() const { return FLocalDragging; }
  // Sends the mouse-enter or mouse-leave notice when a flat button's mouse
  // flag disagrees with the control under the cursor.
  void UpdateTracking();
  bool clientContains(int X, int Y);

  TButtonImagesEh* FInternalEditButtonImages;

private:
  void startRepeat(Cardinal Interval);
  void repeatTimer(TObject* Sender);

  bool FAutoRepeat = false;
  TTimer* FRepeatTimer = nullptr;
  double FForegroundScaleFactor = 1.0;
  TResourceImageItemEh* FResourceImageItem = nullptr;
  bool FFlat = false;
  bool FTransparent = true;
  TButtonGlyph* FButtonGlyph;
  TButtonLayoutEh FLayout = blGlyphLeftEh;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  bool FLocalDragging = false;
  TButtonStateEh FState = bsNormalEh;
  bool FMouseInControl = false;
};

// The published speed button.
class TSpeedButtonEh : public TCustomSpeedButtonEh {
  RTL_CLASS(TSpeedButtonEh, TCustomSpeedButtonEh)
public:
  explicit TSpeedButtonEh(TComponent* AOwner) : TCustomSpeedButtonEh(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
