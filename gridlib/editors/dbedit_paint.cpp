// TCustomDBEditEh: the layout of text, image and buttons, the height rule,
// the lit flat border and the painting the control adds to its inner edit.
#include "gridlib/editors/dbedit.h"

#include "gridlib/base/painters.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/controllabel.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/bidialign.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/mouse.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// The edit's horizontal alignment style by word wrap, reading order and
// alignment: a single-line edit always edits from its reading start, the
// custom painting shows right and centre alignment while unfocused.
constexpr DWORD AlignmentStyles[2][2][3] = {
    {{ES_LEFT, ES_LEFT, ES_LEFT}, {ES_RIGHT, ES_RIGHT, ES_RIGHT}},
    {{ES_LEFT, ES_RIGHT, ES_CENTER}, {ES_RIGHT, ES_LEFT, ES_CENTER}},
};
constexpr TColor RequiredUnderlineColor = TColor(0x0000FF);  // red
// Frame allowance of the auto height in border units: with Ctl3D, without;
// a flat edit takes 2 less.
constexpr Integer HeightFrame3D = 8, HeightFrameThin = 6, HeightFlatLess = 2;
// The middle-east extended style bits the painting brings in line with the
// control (WS_EX_RIGHT, WS_EX_RTLREADING, WS_EX_LEFTSCROLLBAR).
constexpr DWORD MiddleEastExStyles = 0x7000;

}  // namespace

Integer TCustomDBEditEh::fontTextHeight() {
  TCanvas Measure;
  Integer Height = 0;
  MeasureOnScreen(&Measure, [&] { Height = GetFontTextHeightEh(&Measure, Font(), /*WithExternalLeading=*/false); });
  return Height;
}

// ---------------------------------------------------------------------------
// window style

void TCustomDBEditEh::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
  // The inner edit takes a text rectangle (EM_SETRECTNP) only multi-line.
  if (PasswordChar() == Char(0)) Params.Style |= ES_MULTILINE;
  Params.Style &= ~DWORD(ES_LEFT | ES_RIGHT | ES_CENTER);
  Params.Style |= AlignmentStyles[FWordWrap][UseRightToLeftAlignment()][Alignment()] | WS_CLIPCHILDREN;
}

// ---------------------------------------------------------------------------
// layout

Integer TCustomDBEditEh::buttonsWidth() const { return FButtonsBox ? FButtonsBox->FButtonsWidth : 0; }

bool TCustomDBEditEh::hasThinFrame() { return !Ctl3D() && BorderStyle() == bsSingle; }

TRect TCustomDBEditEh::GetButtonsRect() {
  const Integer W = ClientWidth(), H = ClientHeight(), B = buttonsWidth();
  TRect R = hasThinFrame() ? TRect(W - B - 1, 1, W - 1, H - 1) : TRect(W - B, 0, W, H);
  if (UseRightToLeftAlignment()) OffsetRect(R, -(W - B), 0);
  return R;
}

TRect TCustomDBEditEh::GetImageRect() {
  const Integer W = ClientWidth(), H = ClientHeight();
  return UseRightToLeftAlignment() ? TRect(W - FImageWidth, 0, W, H) : TRect(0, 0, FImageWidth, H);
}

void TCustomDBEditEh::CalcEditRect(TRect& Rect) {
  const Integer W = ClientWidth(), H = ClientHeight(), B = buttonsWidth();
  const bool RightToLeft = UseRightToLeftAlignment();
  Rect = RightToLeft ? TRect(B, 0, W, H) : TRect(0, 0, W - B, H);
  if (FEditImage->Visible() && FEditImage->Images()) {
    if (RightToLeft)
      Rect.Right -= FImageWidth;
    else
      Rect.Left += FImageWidth;
  }
  if (IsStyleServicesEnabledEh() && !Ctl3D() && BorderStyle() == bsSingle && HandleAllocated()) {
    const DWORD Margins = DWORD(Perform(EM_GETMARGINS, 0, 0));
    Rect.Left += LOWORD(Margins) - 1;
    Rect.Right += 1 - HIWORD(Margins);
  }
}

void TCustomDBEditEh::UpdateEditRect() {
  if (!HandleAllocated()) return;
  TRect R;
  CalcEditRect(R);
  Perform(EM_SETRECTNP, 0, LPARAM(&R));
  Perform(EM_SCROLLCARET, 0, 0);
}

TRect TCustomDBEditEh::GetPaintTextRect() {
  const Integer W = ClientWidth(), H = ClientHeight(), B = buttonsWidth(), I = FImageWidth;
  TRect R = hasThinFrame() ? TRect(I + 1, 1, W - B - 2, H - 1) : TRect(I, 0, W - B - 1, H);
  if (UseRightToLeftAlignment()) OffsetRect(R, B - I + 1, 0);
  return R;
}

TPoint TCustomDBEditEh::GetTextMargins() {
  TRect Edit;
  if (HandleAllocated())
    Perform(EM_GETRECT, 0, LPARAM(&Edit));
  else
    CalcEditRect(Edit);
  const Integer Left =
      UseRightToLeftAlignment() ? ClientWidth() - Edit.Right - FImageWidth : Edit.Left - FImageWidth;
  Integer Top = 0;
  if (BorderStyle() == bsSingle) Top = Ctl3D() ? 1 : 2;
  return {Left, Top};
}

// ---------------------------------------------------------------------------
// buttons

void TCustomDBEditEh::UpdateButtonsBox() {
  if (!FButtonsBox) return;
  FButtonsBox->BeginLayout();
  FButtonsBox->SetButtonsCount(FEditButtons->Count() + 1);
  FButtonsBox->FFlat = FFlat;
  FButtonsBox->FMaxButtonHeight = GetButtonsRect().Height();
  FButtonsBox->Entry(0).EditButton = FEditButton;
  for (Integer I = 0; I < FEditButtons->Count(); ++I) FButtonsBox->Entry(I + 1).EditButton = FEditButtons->EditButton(I);
  FButtonsBox->EndLayout();
  if (FButtonsBox->FButtonsWidth == 0) {
    FButtonsBox->SetVisible(false);
    return;
  }
  FButtonsBox->SetBoundsRect(GetButtonsRect());
  FButtonsBox->SetVisible(true);
}

void TCustomDBEditEh::EditButtonsChanged(TObject*) {
  if (!HandleAllocated()) return;
  UpdateButtonsBox();
  UpdateButtonsState();
  UpdateEditRect();
  Invalidate();
}

void TCustomDBEditEh::UpdateButtonsState() {
  if (!FButtonsBox) return;
  FButtonsBox->SetBorderActive(FBorderActive);
  FButtonsBox->UpdateEditButtonControlsState();
  FEditButton->SetParentDefinedDefaultAction(IsParentDefinedDefaultAction(FEditButton));
  for (Integer I = 0; I < FEditButtons->Count(); ++I) {
    TEditButtonEh* Button = FEditButtons->EditButton(I);
    Button->SetParentDefinedDefaultAction(IsParentDefinedDefaultAction(Button));
  }
}

// ---------------------------------------------------------------------------
// height

void TCustomDBEditEh::AdjustHeight() {
  Integer TextHeight = fontTextHeight();
  const Integer Frame = (Ctl3D() ? HeightFrame3D : HeightFrameThin) - (FFlat ? HeightFlatLess : 0);
  TCustomImageList* Images = FEditImage->Images();
  if (Images && FEditImage->UseImageHeight() && Images->Height() > TextHeight) TextHeight = Images->Height();
  SetHeight(TextHeight + GetSystemMetrics(SM_CYBORDER) * Frame);
}

void TCustomDBEditEh::UpdateHeightStyle() {
  if (AutoSize() && BorderStyle() == bsSingle) {
    FControlStyle.Include(csFixedHeight);
    AdjustHeight();
  } else {
    FControlStyle.Exclude(csFixedHeight);
  }
}

void TCustomDBEditEh::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TCustomMaskEdit::SetAutoSize(Value);
  UpdateHeightStyle();
}

// ---------------------------------------------------------------------------
// the flat border

// Controls here are always new-style.
bool TCustomDBEditEh::useFlatFrame() {
  return Ctl3D() && BorderStyle() == bsSingle && FFlat && !IsStyleServicesEnabledEh();
}

void TCustomDBEditEh::UpdateBorderActive() {
  if (ComponentState().Contains(csLoading)) return;
  const bool Active =
      ComponentState().Contains(csDesigning) || Focused() || FMouseAboveControl || FAlwaysShowBorder;
  if (Active == FBorderActive) return;
  FBorderActive = Active;
  if (useFlatFrame() && HandleAllocated()) {
    const HDC DC = GetWindowDC(Handle());
    PaintFlatBorder(DC, Active);
    ReleaseDC(Handle(), DC);
  }
  UpdateButtonsState();
}

void TCustomDBEditEh::PaintFlatBorder(HDC DC, bool Active) {
  TRect R(0, 0, Width(), Height());
  if (Active)
    DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
  else
    FrameRect(DC, R, GetSysColorBrush(COLOR_BTNFACE));
  InflateRect(R, -1, -1);
  FrameRect(DC, R, GetSysColorBrush(COLOR_BTNFACE));
}

void TCustomDBEditEh::WMNCPaint(TWMNCPaint& Message) {
  if (!useFlatFrame() || !HandleAllocated()) {
    DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
    return;
  }
  const HDC DC = GetWindowDC(Handle());
  PaintFlatBorder(DC, FBorderActive);
  ReleaseDC(Handle(), DC);
}

void TCustomDBEditEh::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  FMouseAboveControl = true;
  UpdateBorderActive();
}

void TCustomDBEditEh::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  FMouseAboveControl = false;
  UpdateBorderActive();
}

void TCustomDBEditEh::CMRecreateWnd(TMessage& Message) {
  const bool WasFocused = Focused();
  DispatchAs<TCustomMaskEdit>(Message);
  if (WasFocused) UpdateBorderActive();
}

// ---------------------------------------------------------------------------
// painting

TControlCanvas* TCustomDBEditEh::GetCanvas() {
  if (!FCanvas) {
    FCanvas = new TControlCanvas;
    FCanvas->SetControl(this);
  }
  return FCanvas;
}

TColor TCustomDBEditEh::GetBackColor() {
  if (IsCustomStyleActiveEh()) return StyleServices()->GetStyleColor(Enabled() ? scEdit : scEditDisabled);
  return StyleServices()->GetSystemColor(Color());
}

TColor TCustomDBEditEh::GetFontColor() {
  if (IsCustomStyleActiveEh())
    return StyleServices()->GetStyleFontColor(Enabled() ? sfEditBoxTextNormal : sfEditBoxTextDisabled);
  return StyleServices()->GetSystemColor(Enabled() ? Font()->Color() : clGrayText);
}

String TCustomDBEditEh::GetPaintCopyText() {
  if (ComponentState().Contains(csDesigning) && !FDataLink->Active()) return Name();
  TField* F = Field();
  if (!ControlState().Contains(csPaintCopy) || !F) return EditText();
  const String Shown = F->DisplayText();
  if (CharCase() == ecUpperCase) return AnsiUpperCase(Shown);
  if (CharCase() == ecLowerCase) return AnsiLowerCase(Shown);
  return Shown;
}

void TCustomDBEditEh::PaintWindow(HDC DC) {
  TAlignment Align = Alignment();
  if (UseRightToLeftAlignment()) ChangeBiDiModeAlignment(Align);
  const bool Custom = (Align != taLeftJustify && !FFocused && !FWordWrap) ||
                      ControlState().Contains(csPaintCopy) ||
                      (ComponentState().Contains(csDesigning) && !FDataLink->Active());
  if (!Custom) {
    syncMiddleEastExStyle(Align);
    TCustomMaskEdit::PaintWindow(DC);
  }
  // The inner edit fills its whole client area, so what the control adds
  // comes after it.
  PaintOnCanvas(GetCanvas(), DC, [&] {
    if (Custom) paintCustomText();
    if (FEditImage->Showing()) {
      TRect R = GetImageRect();
      InflateRect(R, -2, -1);
      const HRGN Saved = SelectClipRectEh(FCanvas, R);
      DrawImageCenteredEh(FCanvas, R, FEditImage->Images(), FEditImage->ImageIndex(), /*Selected=*/false);
      RestoreClipRgnEh(FCanvas, Saved);
    }
    DrawHighlightRequired(FCanvas);
    if (FEmptyDataInfo->Showing()) FEmptyDataInfo->PaintEmptyDataInfo();
  });
}

void TCustomDBEditEh::paintCustomText() {
  TCanvas* C = FCanvas;
  C->SetFont(Font());
  C->Font()->SetColor(GetFontColor());
  TRect Client = ClientRect();
  C->Brush()->SetColor(GetBackColor());
  C->FillRect(Client);  // what the window's erasing does for the inner edit
  if (hasThinFrame()) {
    C->Brush()->SetColor(clWindowFrame);
    C->FrameRect(Client);
    C->Brush()->SetColor(GetBackColor());
  }
  String S = GetPaintCopyText();
  if (PasswordChar() != Char(0)) S = String(S.length(), PasswordChar());
  TAlignment Align = Alignment();
  if (UseRightToLeftAlignment()) ChangeBiDiModeAlignment(Align);
  const TRect R = GetPaintTextRect();
  const TPoint Margins = GetTextMargins();
  const Integer TextWidth = C->TextWidth(S);
  Integer X = R.Left + Margins.X;
  if (Align == taRightJustify)
    X = R.Right - TextWidth - Margins.X;
  else if (Align == taCenter)
    X = (R.Right - TextWidth) / 2;
  if (SysLocale.MiddleEast && UseRightToLeftReading()) C->SetTextFlags(C->TextFlags() | ETO_RTLREADING);
  C->TextRect(R, X, Margins.Y, S);
}

// Right-to-left edits under a middle-east locale keep the window's
// extended style in step with their alignment and reading order.
void TCustomDBEditEh::syncMiddleEastExStyle(TAlignment Align) {
  if (!SysLocale.MiddleEast || !HandleAllocated() || !UseRightToLeftAlignment()) return;
  const LONG Old = GetWindowLong(Handle(), GWL_EXSTYLE);
  LONG Style = Old & ~LONG(MiddleEastExStyles);
  if (UseRightToLeftReading()) Style |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) Style |= WS_EX_LEFTSCROLLBAR;
  const bool RightAligned = Align == taRightJustify;
  if (RightAligned != UseRightToLeftAlignment()) Style |= WS_EX_RIGHT;
  if (Style != Old) SetWindowLong(Handle(), GWL_EXSTYLE, Style);
}

void TCustomDBEditEh::DrawHighlightRequired(TCanvas* Canvas) {
  if (!FHighlightRequired || !FDataLink->Active()) return;
  bool Draw = false;
  if (IsDataIndepended()) {
    Draw = VarIsNull(Value()) || Text().isEmpty();
  } else {
    TDataSet* Data = FDataLink->DataSet();
    TField* F = Field();
    Draw = Data && (Data->State() == dsEdit || Data->State() == dsInsert) && F && F->Required() && F->IsNull();
  }
  if (OnCheckDrawRequiredState) OnCheckDrawRequiredState(this, Draw);
  if (!Draw) return;
  TRect R;
  CalcEditRect(R);
  const Integer Y = ClientHeight() - 1;
  Canvas->Pen()->SetColor(RequiredUnderlineColor);
  Canvas->Pen()->SetStyle(psDot);
  Canvas->MoveTo(R.Left + 2, Y);
  Canvas->LineTo(R.Right - 3, Y);
}

// ---------------------------------------------------------------------------
// cursor, colours, fonts, scale

void TCustomDBEditEh::WMSetCursor(TWMSetCursor& Message) {
  if (Message.HitTest == HTCLIENT) {
    POINT Screen{};
    GetCursorPos(Screen);
    const TPoint P = ScreenToClient(Screen);
    if (PtInRect(GetButtonsRect(), P) || PtInRect(GetImageRect(), P)) {
      gdi::SetCursor(GetCursorHandle(crArrow));
      Message.Result = 1;
      return;
    }
  }
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
}

void TCustomDBEditEh::CMColorChanged(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  UpdateButtonsState();
}

void TCustomDBEditEh::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  UpdateButtonsState();
}

// The inner edit applies its own height first; the control's rule wins.
void TCustomDBEditEh::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  const bool LoadingAtDesign =
      ComponentState().Contains(csLoading) && ComponentState().Contains(csDesigning);
  if (FControlStyle.Contains(csFixedHeight) && !LoadingAtDesign) AdjustHeight();
  UpdateEditRect();
  if (FEmptyDataInfo) FEmptyDataInfo->RefreshDefaultFont();
  UpdateControlLabelPosition();
}

void TCustomDBEditEh::CMSysColorChange(TMessage& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  ClearButtonsBitmapCacheEh();
}

void TCustomDBEditEh::ChangeScale(Integer M, Integer D, bool IsDpiChange) {
  if (M != D && FEmptyDataInfo && !FEmptyDataInfo->ParentFont()) {
    TFont* F = FEmptyDataInfo->Font();
    F->SetSize(MulDiv(F->Size(), M, D));
  }
  TCustomMaskEdit::ChangeScale(M, D, IsDpiChange);
}

// The platform's ShowHint is Tooltips or ShowHint, so following the parent
// sets the user's ShowHint and keeps the link to the parent.
void TCustomDBEditEh::CMParentShowHintChanged(TMessage&) {
  if (!ParentShowHint() || !Parent()) return;
  FShowHint = Parent()->ShowHint();
  UpdateShowHint();
  SetParentShowHint(true);
}
