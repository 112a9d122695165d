#include "gridlib/base/painters.h"

#include "gridlib/base/alphabitmap.h"
#include "gridlib/base/colors.h"
#include "gridlib/base/textdraw.h"
#include "gridlib/base/winroutines.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/regions.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace gdi;

namespace {

// The unit's values: the check-box glyph size (the classic cell until
// InitCheckBoxSizeEh measures), the explorer tree theme and the installed
// button-bitmap cache.
struct TPaintersState {
  TSize CheckBox{13, 13};
  HTHEME ExplorerTree = nullptr;
  IButtonsBitmapCacheEh* ButtonsCache = nullptr;
};

TPaintersState State;

// Styles enabled on Windows Vista (6.0) and later.
constexpr Integer VistaMajor = 6;
// Element kinds from here on are a theme's own, always defined.
constexpr Integer FirstCustomElementKind = 32;
// The themed face's states beside the normal one.
constexpr Integer FaceStateHot = 2, FaceStatePressed = 3, FaceStateDisabled = 4;
// The classic system bitmap of check boxes is 4 cells wide, 3 high.
constexpr int CheckBoxBitmapColumns = 4, CheckBoxBitmapRows = 3;
// An explorer tree sign in a cell this small is clipped to the cell.
constexpr Integer SmallTreeCell = 15;
// Themed glyphs shade from a colour 30% toward black (or white).
constexpr Integer GlyphShadePercent = 30;

TRect inflated(TRect R, Integer D) {
  InflateRect(R, D, D);
  return R;
}

void fillSolid(HDC DC, const TRect& R, TColor Color) {
  const HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
  FillRect(DC, R, Brush);
  DeleteObject(Brush);
}

void frameSolid(HDC DC, const TRect& R, TColor Color) {
  const HBRUSH Brush = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
  FrameRect(DC, R, Brush);
  DeleteObject(Brush);
}

// The largest square of R, centred along its longer side (the first end
// gets half the difference, rounded down).
TRect centredSquare(const TRect& R) {
  const Integer W = R.Width(), H = R.Height();
  if (W > H) return Bounds(R.Left + (W - H) / 2, R.Top, H, H);
  return Bounds(R.Left, R.Top + (H - W) / 2, W, W);
}

UINT frameControlState(bool Pressed, bool Flat, bool Enabled) {
  return (Pressed ? DFCS_PUSHED : 0) | (Flat ? DFCS_FLAT : 0) | (Enabled ? 0 : DFCS_INACTIVE);
}

// ---------------------------------------------------------------------------
// glyphs as rows: each pair of points is one row, start and end (exclusive)

using TRows = std::vector<TPoint>;

void addRow(TRows& Rows, Integer X1, Integer X2, Integer Y) {
  Rows.push_back({X1, Y});
  Rows.push_back({X2, Y});
}

void addBox(TRows& Rows, Integer X, Integer Y, Integer W, Integer H) {
  for (Integer Row = 0; Row < H; ++Row) addRow(Rows, X, X + W, Y + Row);
}

TRows ellipsisRows(const TRect& R, Integer Shift) {
  const Integer W = R.Width();
  const Integer Size = W < 8 ? 1 : 2;
  const Integer Gap = W < 12 ? 1 : 2;
  const Integer X = R.Left + W / 2 + Shift - Size / 2;
  const Integer Y = R.Top + R.Height() / 2 + Shift - Size / 2;
  TRows Rows;
  for (Integer Dot = -1; Dot <= 1; ++Dot) addBox(Rows, X + Dot * (Gap + Size), Y, Size, Size);
  return Rows;
}

TRows barRows(const TRect& R, Integer Shift, bool Flat, bool Plus) {
  const Integer S = std::min(R.Width(), R.Height());
  Integer Len = std::max(1, 4 * S / 7);
  if (Flat) --Len;
  if (Len % 2 != S % 2) ++Len;
  // The thickness follows the length as the parity left it: a 10-pixel glyph
  // gets bars of 6 x 2, not 6 x 1.
  const Integer Thick = std::max(1, Len / 3);
  if (Plus && Len % 2 != Thick % 2) Len += S < 12 ? 1 : -1;
  TRows Rows;
  addBox(Rows, R.Left + (R.Width() - Len) / 2 + Shift, R.Top + (R.Height() - Thick) / 2 + Shift, Len, Thick);
  if (Plus)
    addBox(Rows, R.Left + (R.Width() - Thick) / 2 + Shift, R.Top + (R.Height() - Len) / 2 + Shift, Thick, Len);
  return Rows;
}

Integer triangleSize(const TRect& R, bool Themed) {
  const Integer S = std::min(R.Width(), R.Height());
  if (S >= 19) return 9;
  if (S >= 16) return 7;
  if (S > 11 || Themed) return 5;
  return 3;
}

TRows triangleRows(const TRect& R, Integer Shift, bool Themed, bool Up) {
  const Integer M = triangleSize(R, Themed), H = M / 2;
  const Integer X = (R.Left + R.Right - M) / 2 + Shift;
  const Integer Y = (R.Top + R.Bottom - H - 1) / 2 + Shift;
  TRows Rows;
  for (Integer Row = 0; Row <= H; ++Row) {
    if (Up)
      addRow(Rows, X + H - Row, X + H + Row + 1, Y + Row);
    else
      addRow(Rows, X + Row, X + M - Row, Y + Row);
  }
  return Rows;
}

void drawRows(TCanvas* Canvas, const TRows& Rows, TPoint Origin, TColor Color) {
  std::vector<TPoint> Points(Rows);
  for (TPoint& P : Points) P = {P.X + Origin.X, P.Y + Origin.Y};
  const std::vector<DWORD> Counts(Points.size() / 2, 2);
  const TColor Old = Canvas->Pen()->Color();
  Canvas->Pen()->SetColor(Color);
  PolyPolylineEh(Canvas, Points, Counts);
  Canvas->Pen()->SetColor(Old);
}

enum class TGlyphKind { Plain, Triangle, UpTriangle };

// Classic: one colour (a disabled glyph as a highlight one pixel down and
// right under a shadow); themed: a two-colour gradient over the rows.
void drawGlyph(TCanvas* Canvas, const TRows& Rows, TGlyphKind Kind, bool Enabled) {
  const bool Triangle = Kind != TGlyphKind::Plain;
  if (IsStyleServicesEnabledEh()) {
    TColor From = Enabled ? MixColorsPercentEh(cl3DDkShadow, clBlack, GlyphShadePercent) : clGrayText;
    TColor To = Enabled ? cl3DDkShadow : MixColorsPercentEh(clGrayText, clWhite, GlyphShadePercent);
    if (Kind == TGlyphKind::UpTriangle) std::swap(From, To);
    DrawGradientSegmentsEh(Canvas, {}, Rows, Integer(Rows.size()) - 1, From, To);
    return;
  }
  if (Enabled) {
    drawRows(Canvas, Rows, {}, Triangle ? clWindowText : clBtnText);
    return;
  }
  drawRows(Canvas, Rows, {1, 1}, clBtnHighlight);
  drawRows(Canvas, Rows, {}, Triangle ? clGrayText : clBtnShadow);
}

// ---------------------------------------------------------------------------
// style painters

void paintElementOrFill(TCanvas* Canvas, const TRect& R, bool DrawBack, const TThemedElementDetails& Details,
                        UINT FrameState) {
  if (!DrawBack) {
    Canvas->FillRect(R);
    return;
  }
  if (IsStyleServicesEnabledEh()) {
    StyleServices()->DrawElement(Canvas->Handle(), Details, R);
    return;
  }
  TRect Face = R;
  DrawFrameControl(Canvas->Handle(), &Face, DFC_SCROLL, FrameState);
}

template <class E>
TThemedElementDetails stateDetails(E Normal, E Hot, E Pressed, E Disabled, bool Enabled, bool Active,
                                   bool IsPressed) {
  const E Detail = !Enabled ? Disabled : IsPressed ? Pressed : Active ? Hot : Normal;
  return StyleServices()->GetElementDetails(Detail);
}

// The glyph styles: face (unless DrawBack is off), then the glyph.
void paintGlyphButton(TCanvas* Canvas, TDrawButtonControlStyleEh Style, const TRect& Rect, const TRect& FaceRect,
                      bool Enabled, bool Flat, bool Active, bool Pressed, bool DownDirect, bool DrawBack) {
  const bool Themed = IsStyleServicesEnabledEh();
  if (DrawBack) {
    TRect Face = FaceRect;
    // Themed up-down halves overlap by one pixel, so their faces meet.
    if (Style == bcsAltUpDownEh && Themed && !DownDirect) ++Face.Bottom;
    PaintButtonFaceEh(Canvas, Face, clNone, Enabled, Active, Flat, Pressed);
  }
  const Integer Shift = Pressed ? 1 : 0;
  switch (Style) {
    case bcsEllipsisEh: drawGlyph(Canvas, ellipsisRows(Rect, Shift), TGlyphKind::Plain, Enabled); break;
    case bcsPlusEh:
    case bcsMinusEh: {
      const TRect R = DrawBack ? Rect : inflated(Rect, Flat && !Themed ? -1 : -2);
      drawGlyph(Canvas, barRows(R, Shift, Flat, Style == bcsPlusEh), TGlyphKind::Plain, Enabled);
      break;
    }
    case bcsAltDropDownEh:
      drawGlyph(Canvas, triangleRows(Rect, Shift, Themed, /*Up=*/false), TGlyphKind::Triangle, Enabled);
      break;
    case bcsAltUpDownEh:
      drawGlyph(Canvas, triangleRows(Rect, Shift, Themed, !DownDirect),
                DownDirect ? TGlyphKind::Triangle : TGlyphKind::UpTriangle, Enabled);
      break;
    default: break;
  }
}

// A check-box button: squared, flat ones framed in BackColor (or sunken
// while active in the classic look).
void paintCheckBoxButton(TCanvas* Canvas, const TRect& Rect, TColor BackColor, Integer PressedPart, bool Flat,
                         bool Active, bool Enabled, TCheckBoxState CheckState) {
  const bool Classic = !IsStyleServicesEnabledEh();
  TRect R = centredSquare(Rect);
  if (Flat && Classic) InflateRect(R, -1, -1);
  const HDC DC = Canvas->Handle();
  DrawCheckBoxEh(DC, R, CheckState, Enabled, Flat, PressedPart != ButtonPressedNoneEh, Active);
  if (!Flat) return;
  if (Classic) InflateRect(R, 1, 1);
  if (Classic && Active) {
    DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
    return;
  }
  if (BackColor != clNone) frameSolid(DC, R, BackColor);
}

// The rows between the halves of an up-down button: the middle one of an
// odd height, and one more on each side in the flat look.
TRect middleRows(const TRect& R, bool FlatLook) {
  const Integer Middle = (R.Top + R.Bottom) / 2;
  TRect Rows(R.Left, Middle, R.Right, R.Height() % 2 ? Middle + 1 : Middle);
  if (FlatLook) {
    --Rows.Top;
    ++Rows.Bottom;
  }
  return Rows;
}

TThemedElementDetails checkBoxDetails(TCheckBoxState CheckState, bool Enabled, bool Pushed, bool Hot) {
  const TThemedButton Normal = CheckState == cbChecked ? tbCheckBoxCheckedNormal
                               : CheckState == cbGrayed ? tbCheckBoxMixedNormal
                                                        : tbCheckBoxUncheckedNormal;
  // Each check state's four states follow its normal one: hot, pressed, disabled.
  const Integer Offset = !Enabled ? 3 : Pushed ? 2 : Hot ? 1 : 0;
  return StyleServices()->GetElementDetails(TThemedButton(Normal + Offset));
}

}  // namespace

// ---------------------------------------------------------------------------
// buttons

void PaintButtonControlEh(TCanvas* Canvas, const TRect& Rect, TColor BackColor, TDrawButtonControlStyleEh Style,
                          Integer PressedPart, bool Flat, bool Active, bool Enabled, TCheckBoxState CheckState,
                          double /*ScaleFactor*/, bool DrawBack) {
  if (Style == bcsCheckboxEh) {
    paintCheckBoxButton(Canvas, Rect, BackColor, PressedPart, Flat, Active, Enabled, CheckState);
    return;
  }
  const bool FlatLook = Flat && !Active && !IsStyleServicesEnabledEh();
  TRect R = Rect;
  HRGN Saved = nullptr;
  if (FlatLook) {
    InflateRect(R, -1, -1);
    Saved = SelectClipRectEh(Canvas, R);
  }
  if (Style == bcsUpDownEh || Style == bcsAltUpDownEh) {
    const Integer Half = R.Height() / 2;
    const TRect Upper(R.Left, R.Top, R.Right, R.Top + Half);
    const TRect Lower(R.Left, R.Bottom - Half, R.Right, R.Bottom);
    PaintButtonStyleEh(Canvas, Style, Upper, Enabled, Flat, Active, PressedPart == ButtonPressedUpperEh,
                       /*DownDirect=*/false, DrawBack);
    PaintButtonStyleEh(Canvas, Style, Lower, Enabled, Flat, Active, PressedPart == ButtonPressedLowerEh,
                       /*DownDirect=*/true, DrawBack);
    if (BackColor != clNone && (R.Height() % 2 || FlatLook))
      fillSolid(Canvas->Handle(), middleRows(R, FlatLook), BackColor);
  } else {
    PaintButtonStyleEh(Canvas, Style, R, Enabled, Flat, Active, PressedPart != ButtonPressedNoneEh,
                       /*DownDirect=*/true, DrawBack);
  }
  if (!FlatLook) return;
  RestoreClipRgnEh(Canvas, Saved);
  if (BackColor != clNone) frameSolid(Canvas->Handle(), Rect, BackColor);
}

void PaintButtonStyleEh(TCanvas* Canvas, TDrawButtonControlStyleEh Style, const TRect& Rect, bool Enabled, bool Flat,
                        bool Active, bool Pressed, bool DownDirect, bool DrawBack) {
  const bool Classic = !IsStyleServicesEnabledEh();
  // A flat classic button paints a face larger than itself (its edges fall
  // outside the clip), then frames itself.
  const bool Clipped = Flat && Active && Classic;
  const HRGN Saved = Clipped ? SelectClipRectEh(Canvas, inflated(Rect, -1)) : nullptr;
  const TRect R = Flat && Classic ? inflated(Rect, Active ? 1 : 2) : Rect;
  switch (Style) {
    case bcsDropDownEh:
      paintElementOrFill(Canvas, R, DrawBack,
                         stateDetails(tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed,
                                      tcDropDownButtonDisabled, Enabled, Active, Pressed),
                         DFCS_SCROLLCOMBOBOX | frameControlState(Pressed, Flat, Enabled));
      break;
    case bcsUpDownEh: {
      const TThemedElementDetails Details =
          DownDirect ? stateDetails(tsDownNormal, tsDownHot, tsDownPressed, tsDownDisabled, Enabled, Active, Pressed)
                     : stateDetails(tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled, Enabled, Active, Pressed);
      paintElementOrFill(Canvas, R, DrawBack, Details,
                         (DownDirect ? DFCS_SCROLLDOWN : DFCS_SCROLLUP) | frameControlState(Pressed, Flat, Enabled));
      break;
    }
    case bcsCheckboxEh: break;  // PaintButtonControlEh draws check boxes
    default: paintGlyphButton(Canvas, Style, Rect, R, Enabled, Flat, Active, Pressed, DownDirect, DrawBack);
  }
  if (!Clipped) return;
  RestoreClipRgnEh(Canvas, Saved);
  if (DrawBack) {
    TRect Edge = Rect;
    DrawEdge(Canvas->Handle(), &Edge, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

void PaintButtonFaceEh(TCanvas* Canvas, const TRect& Rect, TColor BackColor, bool Enabled, bool Active, bool Flat,
                       bool Pressed) {
  if (IsStyleServicesEnabledEh()) {
    TThemedElementDetails Details = StyleServices()->GetElementDetails(tcReadOnlyNormal);
    if (!IsThemeElementDefinedEh(Details))
      Details = Flat ? StyleServices()->GetElementDetails(ttbButtonNormal)
                     : StyleServices()->GetElementDetails(tbPushButtonNormal);
    if (!Enabled)
      Details.State = FaceStateDisabled;
    else if (Pressed)
      Details.State = FaceStatePressed;
    else if (Active)
      Details.State = FaceStateHot;
    if (BackColor != clNone) {
      Canvas->Brush()->SetColor(BackColor);
      if (StyleServices()->HasTransparentParts(Details)) Canvas->FillRect(Rect);
    }
    StyleServices()->DrawElement(Canvas->Handle(), Details, Rect);
    return;
  }
  Canvas->Brush()->SetColor(clBtnFace);
  TRect R = Rect;
  if (Flat)
    Canvas->FillRect(R);
  else
    DrawEdge(Canvas->Handle(), &R, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
  if (Flat && Active) DrawEdge(Canvas->Handle(), &R, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

Integer DefaultEditButtonWidthEh() { return Integer(Round((GetSystemMetrics(SM_CXVSCROLL) + 1) / 3.0 * 2)); }

Integer DefaultEditButtonHeightEh(Integer Width, bool Flat) {
  return Flat ? Integer(Round(Width * 4 / 3.0)) : Width;
}

// ---------------------------------------------------------------------------
// check boxes

void DrawCheckBoxEh(HDC DC, const TRect& Rect, TCheckBoxState CheckState, bool Enabled, bool Flat, bool Pushed,
                    bool Hot) {
  const bool Themed = IsStyleServicesEnabledEh();
  TRect Square = centredSquare(Rect);
  HRGN Saved = nullptr;
  if (Flat) {
    Saved = SelectClipRectDCEh(DC, inflated(Square, Themed ? -2 : -1));
    if (!Themed) InflateRect(Square, 1, 1);
  }
  if (Themed) {
    StyleServices()->DrawElement(DC, checkBoxDetails(CheckState, Enabled, Pushed, Hot), Rect);
  } else {
    UINT Flags = DFCS_BUTTONCHECK;
    if (CheckState == cbChecked) Flags |= DFCS_CHECKED;
    if (CheckState == cbGrayed) Flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (!Enabled) Flags |= DFCS_INACTIVE;
    if (Pushed) Flags |= DFCS_PUSHED;
    DrawFrameControl(DC, &Square, DFC_BUTTON, Flags);
  }
  if (!Flat) return;
  RestoreClipRgnDCEh(DC, Saved);
  InflateRect(Square, -1, -1);
  FrameRect(DC, Square, GetSysColorBrush(Themed || !Hot ? COLOR_BTNSHADOW : COLOR_BTNFACE));
}

void InitCheckBoxSizeEh() {
  if (IsStyleServicesEnabledEh()) {
    const HDC DC = CreateCompatibleDC(nullptr);
    TSize Size;
    if (StyleServices()->GetElementSize(DC, StyleServices()->GetElementDetails(tbCheckBoxCheckedNormal), esActual,
                                        Size))
      State.CheckBox = Size;
    DeleteDC(DC);
    return;
  }
  const HBITMAP Strip = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  BITMAP Info;
  if (GetObject(Strip, sizeof Info, &Info))
    State.CheckBox = {Info.bmWidth / CheckBoxBitmapColumns, Info.bmHeight / CheckBoxBitmapRows};
  DeleteObject(Strip);
}

TSize CheckBoxSizeEh() { return State.CheckBox; }

TRect PlaceCheckBoxInRectEh(const TRect& Rect, TAlignment HorzAlign, TTextLayout VertAlign) {
  const Integer W = std::min(State.CheckBox.cx, Rect.Width());
  const Integer H = std::min(State.CheckBox.cy, Rect.Height());
  TPoint At = Rect.TopLeft();
  if (Rect.Width() > W) {
    if (HorzAlign == taRightJustify) At.X = Rect.Right - W;
    if (HorzAlign == taCenter) At.X = Rect.Left + Rect.Width() / 2 - W / 2;
  }
  if (Rect.Height() > H) {
    if (VertAlign == tlCenter) At.Y = Rect.Top + Rect.Height() / 2 - H / 2;
    if (VertAlign == tlBottom) At.Y = Rect.Bottom - H;
  }
  return Bounds(At.X, At.Y, W, H);
}

// ---------------------------------------------------------------------------
// images

void DrawImageInRectEh(TCustomImageList* ImageList, TBitmap* Bitmap, TCanvas* Canvas, const TRect& Rect,
                       Integer ImageIndex, Integer DX, Integer DY, TAlignment HorzAlign, const TRect& ClipRect,
                       double ScaleFactor, bool Enabled) {
  TRect Visible;
  if ((!ImageList && !Bitmap) || !IntersectRect(Visible, Rect, ClipRect)) return;
  Integer W = ImageList ? ImageList->Width() : Bitmap->Width();
  Integer H = ImageList ? ImageList->Height() : Bitmap->Height();
  const bool Scaled = ScaleFactor != 1.0;
  if (Scaled) {
    W = Integer(Round(W * ScaleFactor));
    H = Integer(Round(H * ScaleFactor));
  }
  Integer X = DX + Rect.Left;
  if (HorzAlign == taRightJustify) X = DX + Rect.Right - W;
  if (HorzAlign == taCenter) X = DX + (Rect.Left + Rect.Right - W) / 2;
  Integer Y = DY + (Rect.Top + Rect.Bottom - H) / 2;
  // The clip is set before the scaling transform: it is kept in device
  // pixels, which is what Rect is.
  const TRect Image = Bounds(X, Y, W, H);
  TRect Inside;
  const bool Clip = !(IntersectRect(Inside, Image, Rect) && Inside == Image);
  const HRGN Saved = Clip ? SelectClipRectEh(Canvas, Rect) : nullptr;
  if (Scaled) {
    SetCanvasTransformEh(Canvas, ScaleFactor, 0, 0, 0);
    X = Integer(Round(X / ScaleFactor));
    Y = Integer(Round(Y / ScaleFactor));
  }
  if (ImageList)
    ImageList->Draw(Canvas, X, Y, ImageIndex, Enabled);
  else
    Canvas->Draw(X, Y, Bitmap);
  if (Scaled) ResetCanvasTransformEh(Canvas);
  if (Clip) RestoreClipRgnEh(Canvas, Saved);
}

void DrawImageCenteredEh(TCanvas* Canvas, const TRect& Rect, TCustomImageList* ImageList, Integer ImageIndex,
                         bool Selected) {
  DrawImageCenteredDCEh(Canvas->Handle(), Rect, ImageList, ImageIndex, Selected);
}

void DrawImageCenteredDCEh(HDC DC, const TRect& Rect, TCustomImageList* ImageList, Integer ImageIndex,
                           bool Selected) {
  if (!ImageList || !ImageList->HandleAllocated()) return;
  const TRect Image = Bounds((Rect.Left + Rect.Right - ImageList->Width()) / 2,
                             (Rect.Top + Rect.Bottom - ImageList->Height()) / 2, ImageList->Width(),
                             ImageList->Height());
  TRect Inside;
  const bool Clip = !(IntersectRect(Inside, Image, Rect) && Inside == Image);
  HRGN Saved = nullptr;
  bool HadClip = false;
  if (Clip) {
    // The clip becomes Rect for the call, whatever it was.
    Saved = CreateRectRgn(0, 0, 0, 0);
    HadClip = GetClipRgn(DC, Saved) == 1;
    const HRGN Cell = CreateRectRgnIndirect(RectLogicalToDeviceEh(DC, Rect));
    SelectClipRgn(DC, Cell);
    DeleteObject(Cell);
  }
  const COLORREF Foreground = ColorToImageListColorEh(Selected ? clHighlight : ImageList->BlendColor());
  UINT Style = ImageList->ImageType() == itMask ? ILD_MASK : ILD_NORMAL;
  if (Selected) Style |= ILD_SELECTED;
  ImageList_DrawEx(ImageList->Handle(), ImageIndex, DC, Image.Left, Image.Top, 0, 0,
                   ColorToImageListColorEh(ImageList->BkColor()), Foreground, Style);
  if (!Clip) return;
  SelectClipRgn(DC, HadClip ? Saved : nullptr);
  DeleteObject(Saved);
}

// ---------------------------------------------------------------------------
// trees, lines and gradients

namespace {

bool hasMinus(TTreeElementEh E) { return E <= tehMinus; }
bool isSign(TTreeElementEh E) { return E <= tehPlus; }
bool linesUp(TTreeElementEh E) {
  return E == tehMinusUpDown || E == tehMinusUp || E == tehPlusUpDown || E == tehPlusUp;
}
bool linesDown(TTreeElementEh E) {
  return E == tehMinusUpDown || E == tehMinusDown || E == tehPlusUpDown || E == tehPlusDown;
}

// The dotted lines of an element without a sign.
void paintTreeLines(TCanvas* Canvas, const TRect& Rect, TPoint C, TTreeElementEh E, bool BackDot) {
  switch (E) {
    case tehCrossUpDown:
    case tehVLine: DrawDottedLineEh(Canvas, {C.X, Rect.Top}, Rect.Height(), false, BackDot); break;
    case tehCrossUp: DrawDottedLineEh(Canvas, {C.X, Rect.Top}, C.Y - Rect.Top, false, BackDot); break;
    case tehCrossDown: DrawDottedLineEh(Canvas, C, Rect.Bottom - C.Y, false, BackDot); break;
    default: break;
  }
  if (E != tehVLine) DrawDottedLineEh(Canvas, C, Rect.Right - C.X, true, /*BackDot=*/false);
}

// The sign from the style: the explorer theme's glyph centred in the cell, or
// the tree view element in the box.  False when no style draws it.
bool paintThemedSign(TCanvas* Canvas, const TRect& Rect, const TRect& Box, bool Minus,
                     TTreeViewGlyphStyleEh GlyphStyle) {
  if ((GlyphStyle != tvgsThemedEh && GlyphStyle != tvgsExplorerThemedEh) || !IsStyleServicesEnabledEh())
    return false;
  const TThemedElementDetails Details = StyleServices()->GetElementDetails(Minus ? ttGlyphOpened : ttGlyphClosed);
  const HDC DC = Canvas->Handle();
  if (GlyphStyle == tvgsExplorerThemedEh && State.ExplorerTree) {
    SIZE Size;
    GetThemePartSize(State.ExplorerTree, DC, Details.Part, Details.State, nullptr, TS_TRUE, &Size);
    const TRect Glyph = Bounds((Rect.Left + Rect.Right - Size.cx) / 2, (Rect.Top + Rect.Bottom - Size.cy) / 2,
                               Size.cx, Size.cy);
    const bool Small = std::min(Rect.Width(), Rect.Height()) <= SmallTreeCell;
    DrawThemeBackground(State.ExplorerTree, DC, Details.Part, Details.State, &Glyph, Small ? &Rect : nullptr);
    return true;
  }
  StyleServices()->DrawElement(DC, Details, Box);
  return true;
}

}  // namespace

void PaintTreeElementEh(TCanvas* Canvas, const TRect& Rect, TTreeElementEh TreeElement, bool BackDot, double ScaleX,
                        double ScaleY, bool RightToLeft, bool Coloured, TTreeViewGlyphStyleEh GlyphStyle) {
  const TPoint C{(Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2};
  if (!isSign(TreeElement)) {
    if (Coloured) {
      Canvas->Pen()->SetStyle(psSolid);
      Canvas->Pen()->SetColor(clBtnShadow);
    }
    paintTreeLines(Canvas, Rect, C, TreeElement, BackDot);
    return;
  }
  const Integer HalfX = Integer(Trunc(4 * ScaleX)), HalfY = Integer(Trunc(4 * ScaleY));
  const Integer InsetX = Integer(Trunc(2 * ScaleX)), InsetY = Integer(Trunc(2 * ScaleY));
  const TRect Box(C.X - HalfX, C.Y - HalfY, C.X + HalfX + 1, C.Y + HalfY + 1);
  const TColor OldBrush = Canvas->Brush()->Color();
  if (Coloured) {
    Canvas->Brush()->SetColor(GetStyledSystemColorEh(clWindow));
    Canvas->Pen()->SetColor(clBtnShadow);
  }
  if (GlyphStyle == tvgsClassicEh) {
    const Integer Left = RightToLeft ? -1 : 0;
    Canvas->Rectangle(Box.Left + Left, Box.Top, Box.Right + Left, Box.Bottom);
  }
  const bool Minus = hasMinus(TreeElement);
  if (!paintThemedSign(Canvas, Rect, Box, Minus, GlyphStyle)) {
    if (Coloured) Canvas->Pen()->SetColor(clWindowText);
    Canvas->MoveTo(Box.Left + InsetX, C.Y);
    Canvas->LineTo(Box.Right - InsetX, C.Y);
    if (!Minus) {
      Canvas->MoveTo(C.X, Box.Top + InsetY);
      Canvas->LineTo(C.X, Box.Bottom - InsetY);
    }
  }
  if (Coloured) Canvas->Pen()->SetColor(clBtnShadow);
  if (TreeElement != tehMinus && TreeElement != tehPlus)
    DrawDottedLineEh(Canvas, {Box.Right, C.Y}, Rect.Right - Box.Right, true, /*BackDot=*/false);
  if (linesUp(TreeElement)) DrawDottedLineEh(Canvas, {C.X, Rect.Top}, Box.Top - Rect.Top, false, BackDot);
  if (linesDown(TreeElement)) DrawDottedLineEh(Canvas, {C.X, Box.Bottom}, Rect.Bottom - Box.Bottom, false, BackDot);
  if (Coloured) Canvas->Brush()->SetColor(OldBrush);
}

void DrawDottedLineEh(TCanvas* Canvas, TPoint StartPoint, Integer Length, bool Horizontal, bool BackDot) {
  TPoint P = StartPoint;
  if (((P.X + P.Y) & 1) != Integer(BackDot)) {
    (Horizontal ? P.X : P.Y) += 1;
    --Length;
  }
  if (Length <= 0) return;
  const Integer Step = 2 * std::max(1, Integer(Canvas->Pen()->Width()));
  const Integer Count = Length / Step + (Length % 2);
  std::vector<TPoint> Points;
  Points.reserve(std::size_t(2 * Count));
  for (Integer I = 0; I < Count; ++I) {
    const TPoint Dot = Horizontal ? TPoint{P.X + I * Step, P.Y} : TPoint{P.X, P.Y + I * Step};
    Points.push_back(Dot);
    Points.push_back(Horizontal ? TPoint{Dot.X + 1, Dot.Y} : TPoint{Dot.X, Dot.Y + 1});
  }
  const std::vector<DWORD> Counts(std::size_t(Count), 2);
  PolyPolylineEh(Canvas, Points, Counts);
}

namespace {

// A gradient row written into the captured shared alpha bitmap: the pixels
// the polyline would draw (its end point left out), opaque.
void drawAlphaRun(TPoint From, TPoint To, TColor Color) {
  TCacheAlphaBitmapEh* Bitmap = GetCacheAlphaBitmapEh(0, 0);
  if (From.X <= To.X)
    Bitmap->DrawHorzLine(From, To.X - From.X - 1, Color);
  else
    Bitmap->DrawHorzLine({To.X + 1, From.Y}, From.X - To.X - 1, Color);
}

}  // namespace

void DrawGradientSegmentsEh(TCanvas* Canvas, TPoint Origin, std::span<const TPoint> Points, Integer HighIndex,
                            TColor FromColor, TColor ToColor) {
  const Integer Count = (HighIndex + 1) / 2;
  const double Steps = Count > 1 ? Count - 1 : 1;
  const COLORREF From = COLORREF(ColorToRGB(FromColor)), To = COLORREF(ColorToRGB(ToColor));
  const auto Channel = [Steps](Byte F, Byte T, Integer G) {
    return Byte(std::clamp<Int64>(Round(F - (F - T) / Steps * G), 0, 255));
  };
  const TColor OldPen = Canvas->Pen()->Color();
  for (Integer G = 0; G < Count; ++G) {
    Canvas->Pen()->SetColor(RGBToColorEh(Channel(GetRValue(From), GetRValue(To), G),
                                         Channel(GetGValue(From), GetGValue(To), G),
                                         Channel(GetBValue(From), GetBValue(To), G)));
    const TPoint A = Points[std::size_t(2 * G)], B = Points[std::size_t(2 * G + 1)];
    const TPoint Segment[2] = {{A.X + Origin.X, A.Y + Origin.Y}, {B.X + Origin.X, B.Y + Origin.Y}};
    if (IsCacheAlphaBitmapCapturedEh())
      drawAlphaRun(Segment[0], Segment[1], Canvas->Pen()->Color());
    else
      Canvas->Polyline(Segment);
  }
  Canvas->Pen()->SetColor(OldPen);
}

void FillRectGradientEh(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BottomColor) {
  const Integer H = Rect.Height();
  if (H <= 0) return;
  const COLORREF Top = COLORREF(ColorToRGB(TopColor)), Bottom = COLORREF(ColorToRGB(BottomColor));
  // A single row takes the top colour (the step would divide by zero).
  const double Rows = H > 1 ? H - 1 : 1;
  const auto Channel = [Rows](Byte T, Byte B, Integer Row) {
    return Byte(std::clamp<Int64>(Round(T - (T - B) / Rows * Row), 0, 255));
  };
  const TColor OldBrush = Canvas->Brush()->Color(), OldPen = Canvas->Pen()->Color();
  for (Integer Row = 0; Row < H; ++Row) {
    const TColor C = RGBToColorEh(Channel(GetRValue(Top), GetRValue(Bottom), Row),
                                  Channel(GetGValue(Top), GetGValue(Bottom), Row),
                                  Channel(GetBValue(Top), GetBValue(Bottom), Row));
    const Integer Y = Rect.Top + Row;
    if (Rect.Width() > 1) {
      Canvas->Brush()->SetColor(C);
      Canvas->FillRect(TRect(Rect.Left, Y, Rect.Right, Y + 1));
    } else {
      Canvas->Pen()->SetColor(C);
      Canvas->MoveTo(Rect.Left, Y);
      Canvas->LineTo(Rect.Right, Y);
    }
  }
  Canvas->Brush()->SetColor(OldBrush);
  Canvas->Pen()->SetColor(OldPen);
}

// ---------------------------------------------------------------------------
// styles

bool IsStyleServicesEnabledEh() { return StyleServices()->Enabled(); }

bool IsThemedVistaOrLaterEh() { return IsStyleServicesEnabledEh() && CheckWin32Version(VistaMajor); }

bool IsCustomStyleActiveEh() { return TStyleManager::IsCustomStyleActive(); }

bool IsThemeElementDefinedEh(const TThemedElementDetails& Details) {
  if (IsCustomStyleActiveEh() || !IsStyleServicesEnabledEh()) return false;
  if (Details.Part == 0 || Integer(Details.Element) >= FirstCustomElementKind) return true;
  return StyleServices()->IsElementDefined(Details);
}

void OpenExplorerTreeThemeEh() {
  CloseExplorerTreeThemeEh();
  State.ExplorerTree = OpenThemeData(nullptr, reinterpret_cast<const Char*>(u"Explorer::Treeview"));
  if (!State.ExplorerTree) State.ExplorerTree = OpenThemeData(nullptr, reinterpret_cast<const Char*>(u"Treeview"));
}

void CloseExplorerTreeThemeEh() {
  if (State.ExplorerTree) CloseThemeData(State.ExplorerTree);
  State.ExplorerTree = nullptr;
}

// ---------------------------------------------------------------------------
// the shared button-bitmap cache

IButtonsBitmapCacheEh* SetButtonsBitmapCacheEh(IButtonsBitmapCacheEh* Cache) {
  return std::exchange(State.ButtonsCache, Cache);
}

IButtonsBitmapCacheEh* GetButtonsBitmapCacheEh() { return State.ButtonsCache; }

void ClearButtonsBitmapCacheEh() {
  if (State.ButtonsCache) State.ButtonsCache->Clear();
}
