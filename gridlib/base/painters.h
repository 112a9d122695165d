// The painters every control of the library shares: edit buttons in cells
// and edit controls (drop-down, ellipsis, up-down, plus, minus), check boxes,
// the signs and dotted lines of tree views, images from image lists, and
// gradients.
//
// Each painter has two looks, chosen when it paints: themed while the active
// style services are enabled (IsStyleServicesEnabledEh), drawn with the
// style's elements and, for glyphs, two-colour gradient rows; classic
// otherwise, drawn with frame controls, edges and solid rows.  A flat button
// keeps a one-pixel frame instead of a 3-D edge.
//
// Glyph geometry (R is the rectangle a style painter receives; all divisions
// round toward zero; Shift is 1 while pressed):
//   ellipsis   three square dots of 2 pixels, 2 apart; a rectangle narrower
//              than 12 pixels puts them 1 apart, narrower than 8 makes them 1
//              pixel; the middle dot is centred (plus Shift)
//   plus/minus on the smaller side S: Len = 4S/7 (at least 1), one less when
//              flat, one more when Len and S differ in parity; Thick = Len/3
//              (at least 1); a plus whose Len and Thick differ in parity
//              takes one more (S below 12) or one less; bars centred
//   triangles  M = 9 (S >= 19), 7 (S >= 16), 5 (S > 11, or themed), else 3;
//              H = M/2 + 1 rows, the longest M pixels
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/graphics/styles.h"

#include <span>

class TBitmap;
class TCanvas;
class TCustomImageList;

RTL_ENUM(TDrawButtonControlStyleEh, bcsDropDownEh, bcsEllipsisEh, bcsUpDownEh, bcsCheckboxEh, bcsPlusEh, bcsMinusEh,
         bcsAltDropDownEh, bcsAltUpDownEh)
// Elements 0 to 4 carry a minus sign, 5 to 9 a plus sign, 10 to 14 lines only.
RTL_ENUM(TTreeElementEh, tehMinusUpDown, tehMinusUp, tehMinusDown, tehMinusHLine, tehMinus, tehPlusUpDown, tehPlusUp,
         tehPlusDown, tehPlusHLine, tehPlus, tehCrossUpDown, tehCrossUp, tehCrossDown, tehVLine, tehHLine)
RTL_ENUM(TTreeViewGlyphStyleEh, tvgsDefaultEh, tvgsClassicEh, tvgsThemedEh, tvgsExplorerThemedEh)

// The pressed part of a button: none, the upper half (or the whole button),
// the lower half.
inline constexpr Integer ButtonPressedNoneEh = 0, ButtonPressedUpperEh = 1, ButtonPressedLowerEh = 2;

// One painted button, also the key of the shared button-bitmap cache.
struct TButtonBitmapInfoEh {
  TSize Size;
  TDrawButtonControlStyleEh BitmapType = bcsDropDownEh;
  bool Flat = false;
  bool Pressed = false;
  bool Active = false;
  bool Enabled = true;
  bool DownDirect = false;  // the lower half of an up-down button
  TCheckBoxState CheckState = cbUnchecked;
  bool DrawBack = true;     // the face, not only the glyph
  friend bool operator==(const TButtonBitmapInfoEh&, const TButtonBitmapInfoEh&) = default;
};

// ---------------------------------------------------------------------------
// buttons

// One button: up-down styles split into halves (a BackColor row between them
// when the height is odd), check boxes squared, every other style painted
// whole.  ScaleFactor is accepted and not used.
void PaintButtonControlEh(TCanvas* Canvas, const TRect& Rect, TColor BackColor, TDrawButtonControlStyleEh Style,
                          Integer PressedPart, bool Flat, bool Active, bool Enabled, TCheckBoxState CheckState,
                          double ScaleFactor = 1.0, bool DrawBack = true);
// One button style other than the check box; DownDirect paints the lower
// half of an up-down button.  Without DrawBack the glyph styles draw the
// glyph alone and the others fill Rect with the canvas's brush.
void PaintButtonStyleEh(TCanvas* Canvas, TDrawButtonControlStyleEh Style, const TRect& Rect, bool Enabled, bool Flat,
                        bool Active, bool Pressed, bool DownDirect, bool DrawBack);
// The face of a button without a glyph.
void PaintButtonFaceEh(TCanvas* Canvas, const TRect& Rect, TColor BackColor, bool Enabled, bool Active, bool Flat,
                       bool Pressed);
// Edit-button widths: two thirds of a vertical scroll bar; a flat button is
// four thirds as high as wide.
Integer DefaultEditButtonWidthEh();
Integer DefaultEditButtonHeightEh(Integer Width, bool Flat);

// ---------------------------------------------------------------------------
// check boxes

// A check box square centred in Rect.
void DrawCheckBoxEh(gdi::HDC DC, const TRect& Rect, TCheckBoxState CheckState, bool Enabled, bool Flat, bool Pushed,
                    bool Hot);
// Measures the check-box glyph (the themed element, or a cell of the system
// check-box bitmap) for the routines below.
void InitCheckBoxSizeEh();
TSize CheckBoxSizeEh();
// A rectangle of the glyph's size (no larger than Rect) placed in Rect.
TRect PlaceCheckBoxInRectEh(const TRect& Rect, TAlignment HorzAlign, TTextLayout VertAlign);

// ---------------------------------------------------------------------------
// images

// Image ImageIndex of ImageList (or Bitmap when ImageList is nullptr) placed
// in Rect, shifted by (DX, DY), scaled by ScaleFactor and clipped to Rect;
// nothing when Rect is outside ClipRect.
void DrawImageInRectEh(TCustomImageList* ImageList, TBitmap* Bitmap, TCanvas* Canvas, const TRect& Rect,
                       Integer ImageIndex, Integer DX, Integer DY, TAlignment HorzAlign, const TRect& ClipRect,
                       double ScaleFactor, bool Enabled);
// The image centred in Rect through ImageList_DrawEx, blended with the
// highlight colour when Selected.
void DrawImageCenteredEh(TCanvas* Canvas, const TRect& Rect, TCustomImageList* ImageList, Integer ImageIndex,
                         bool Selected);
void DrawImageCenteredDCEh(gdi::HDC DC, const TRect& Rect, TCustomImageList* ImageList, Integer ImageIndex,
                           bool Selected);

// ---------------------------------------------------------------------------
// trees, lines and gradients

// One tree cell: its sign (a 9 x 9 box at scale 1) and connecting dotted
// lines.
void PaintTreeElementEh(TCanvas* Canvas, const TRect& Rect, TTreeElementEh TreeElement, bool BackDot, double ScaleX,
                        double ScaleY, bool RightToLeft, bool Coloured, TTreeViewGlyphStyleEh GlyphStyle);
// One-pixel dots every two pen widths from StartPoint, the first on a pixel
// whose x + y has BackDot's parity (1 for True); one PolyPolyline call.
void DrawDottedLineEh(TCanvas* Canvas, TPoint StartPoint, Integer Length, bool Horizontal, bool BackDot);
// One line for each pair of Points[0 .. HighIndex], offset by Origin, the
// colours stepping from FromColor to ToColor.  While the shared alpha bitmap
// is captured, each pair is written into it instead, as an opaque horizontal
// run over the pixels the line would cover.
void DrawGradientSegmentsEh(TCanvas* Canvas, TPoint Origin, std::span<const TPoint> Points, Integer HighIndex,
                            TColor FromColor, TColor ToColor);
// A vertical gradient, one row at a time.
void FillRectGradientEh(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BottomColor);

// ---------------------------------------------------------------------------
// styles

bool IsStyleServicesEnabledEh();
// Styles enabled on Windows 6.0 or later.
bool IsThemedVistaOrLaterEh();
bool IsCustomStyleActiveEh();
// Whether the theme defines the element's part (part 0 always).
bool IsThemeElementDefinedEh(const TThemedElementDetails& Details);
// The explorer tree theme of the explorer-style tree signs ("Explorer::
// Treeview", else "Treeview"); the library's start-up opens it while styles
// are in use, its shutdown closes it.
void OpenExplorerTreeThemeEh();
void CloseExplorerTreeThemeEh();

// ---------------------------------------------------------------------------
// the shared button-bitmap cache

// What this unit needs of the cache the edit-button unit keeps: the painters
// here never read it, but library-wide changes empty it.
class IButtonsBitmapCacheEh {
public:
  virtual ~IButtonsBitmapCacheEh() = default;
  virtual void Clear() = 0;
};
// Installs Cache (nullptr empties the slot) and answers the previous one,
// which the caller then owns.  The library's shutdown frees what the slot
// holds.
IButtonsBitmapCacheEh* SetButtonsBitmapCacheEh(IButtonsBitmapCacheEh* Cache);
IButtonsBitmapCacheEh* GetButtonsBitmapCacheEh();
// Clears the installed cache; nothing while the slot is empty.
void ClearButtonsBitmapCacheEh();
