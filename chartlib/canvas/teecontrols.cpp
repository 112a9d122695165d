#include "chartlib/canvas/teecontrols.h"

#include "chartlib/canvas/canvasunit_p.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/window.h"

#include <algorithm>
#include <cassert>

using namespace gdi;

namespace {

// The symbol width beside a caption when SymbolWidth is automatic.
constexpr Integer CaptionSymbolWidth = 19;

constexpr Integer FlatComboHeight = 21;
constexpr Integer FlatComboItemHeight = 13;

// The colour buttons' saved custom colours, made on first use.
TStringList* savedCustomColors() {
  TCanvasUnitState* S = CanvasUnitState();
  assert(S && "colour dialogs run between the canvas unit's start-up and shutdown");
  if (!S->CustomColors) S->CustomColors = std::make_unique<TStringList>();
  return S->CustomColors.get();
}

}  // namespace

// ---------------------------------------------------------------------------
// TTeeButton

TTeeButton::TTeeButton(TComponent* AOwner) : TButton(AOwner) {}

void TTeeButton::DescribeProperties(TPropertyTable& Props) {
  Props.Add("SymbolWidth", &TTeeButton::SymbolWidth, &TTeeButton::SetSymbolWidth).Default(0);
  Props.Add("SymbolVisible", &TTeeButton::SymbolVisible, &TTeeButton::SetSymbolVisible).Default(true);
}

void TTeeButton::LinkProperty(TObject* AInstance, const String& PropName) {
  FInstance = AInstance;
  FInfo = nullptr;
  if (!AInstance) return;
  if (!PropName.isEmpty()) FInfo = GetPropInfo(AInstance, PropName);
  Invalidate();
}

void TTeeButton::SetSymbolWidth(Integer Value) {
  if (FSymbolWidth == Value) return;
  FSymbolWidth = Value;
  Invalidate();
}

void TTeeButton::SetSymbolVisible(bool Value) {
  if (FSymbolVisible == Value) return;
  FSymbolVisible = Value;
  Repaint();
}

TRect TTeeButton::SymbolRect() {
  const Integer W = Width(), H = Height();
  const Integer Q = H / 4;
  const Integer SymbolW = FSymbolWidth == 0 && !Caption().isEmpty() ? CaptionSymbolWidth : FSymbolWidth;
  if (SymbolW != 0) return Rect(W - SymbolW, H - 3 * Q, W - 6, H - Q);
  const Integer M = std::max(Integer(4), W / 8);
  return Rect(M, H - 3 * Q, W - M, H - Q);
}

void TTeeButton::DrawSymbol(TTeeCanvas*) {}

void TTeeButton::PaintWindow(HDC DC) {
  TButton::PaintWindow(DC);
  TCanvas Surface;
  Surface.SetHandle(DC);
  TTeeCanvas3D Chart;
  Chart.SetReferenceCanvas(&Surface);
  DrawSymbol(&Chart);
}

// ---------------------------------------------------------------------------
// TButtonColor

TButtonColor::TButtonColor(TComponent* AOwner) : TTeeButton(AOwner) {}

void TButtonColor::DescribeProperties(TPropertyTable& Props) {
  Props.Add("FullOpen", &TButtonColor::FullOpen, &TButtonColor::SetFullOpen).Default(true);
}

TColor TButtonColor::SymbolColor() {
  if (GetColorProc) return GetColorProc();
  if (Instance() && Info()) return TColor(GetOrdProp(Instance(), Info()));
  return FSymbolColor;
}

void TButtonColor::SetSymbolColor(TColor Value) {
  if (Value == FSymbolColor) return;
  if (Instance() && Info())
    SetOrdProp(Instance(), Info(), Value);
  else
    FSymbolColor = Value;
  Invalidate();
}

void TButtonColor::DrawSymbol(TTeeCanvas* ACanvas) {
  if (!Enabled() || !SymbolVisible()) return;
  FSymbolColor = SymbolColor();
  if (FSymbolColor == clNone) return;
  ACanvas->Brush()->SetColor(TTeeCanvas::ColorFrom(FSymbolColor, 0));
  ACanvas->Rectangle(SymbolRect());
}

void TButtonColor::Click() {
  TColor Chosen = SymbolColor();
  const TColorDialogOptions Options = FFullOpen ? TColorDialogOptions{cdFullOpen} : TColorDialogOptions{};
  if (!EditColor(this, Chosen, Options)) return;
  SetSymbolColor(Chosen);
  Repaint();
  TTeeButton::Click();
}

TColor TButtonColor::Edit(TComponent* AOwner, TColor AColor, TColorDialogOptions AOptions) {
  auto* Dialog = new TColorDialog(AOwner);
  const TScopeExit FreeDialog([Dialog] { Dialog->Free(); });
  Dialog->Color = AColor;
  Dialog->Options = AOptions;
  TStringList* Saved = savedCustomColors();
  Dialog->CustomColors()->Assign(Saved);
  if (!Dialog->Execute()) return AColor;
  Saved->Assign(Dialog->CustomColors());
  return Dialog->Color;
}

bool TButtonColor::EditColor(TComponent* AOwner, TColor& AColor, TColorDialogOptions AOptions) {
  const TColor Old = AColor;
  AColor = Edit(AOwner, AColor, AOptions);
  return AColor != Old;
}

// ---------------------------------------------------------------------------
// TComboFlat

TComboFlat::TComboFlat(TComponent* AOwner) : TComboBox(AOwner) {
  SetItemHeight(FlatComboItemHeight);
  SetHeight(FlatComboHeight);
  SetStyle(csDropDownList);
  if (CanvasJapaneseUser()) {
    Font()->SetName(TeeDefaultFontName());
    Font()->SetSize(TeeDefaultFontSize());
  }
}

void TComboFlat::DescribeProperties(TPropertyTable& Props) {
  Props.Override("Style").Default(csDropDownList);
  Props.Override("ItemHeight").Default(FlatComboItemHeight);
  Props.Add("DropDownWidth", &TComboFlat::DropDownWidth, &TComboFlat::SetDropDownWidth)
      .Stored(&TComboFlat::dropDownWidthStored);
}

const TMessageMap& TComboFlat::MessageMap() {
  static const TMessageMap Map(TComboBox::MessageMap(), {
      {CM_MOUSEENTER, &TComboFlat::CMMouseEnter},
      {CM_MOUSELEAVE, &TComboFlat::CMMouseLeave},
      {CM_ENTER, &TComboFlat::CMEnter},
      {CM_EXIT, &TComboFlat::CMExit},
      {WM_NCPAINT, &TComboFlat::WMNCPaint},
  });
  return Map;
}

void TComboFlat::Add(const String& Item) { Items()->Add(Item); }

String TComboFlat::CurrentItem() const {
  const Integer Index = ItemIndex();
  return Index == -1 ? String() : Items()->Strings(Index);
}

TObject* TComboFlat::SelectedObject() const {
  const Integer Index = ItemIndex();
  return Index == -1 ? nullptr : Items()->Objects(Index);
}

Integer TComboFlat::DropDownWidth() {
  HandleNeeded();
  return DroppedWidth();
}

void TComboFlat::SetDropDownWidth(Integer Value) {
  HandleNeeded();
  SetDroppedWidth(Value);
}

bool TComboFlat::dropDownWidthStored() { return DropDownWidth() != Width(); }

void TComboFlat::Paint() {
  TComboBox::Paint();
  if (showsFlat()) drawFlatFrame();
}

void TComboFlat::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TComboBox>(Message);
  if (!Message.Control) setInside(true);
}

void TComboFlat::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TComboBox>(Message);
  if (!Message.Control) setInside(false);
}

void TComboFlat::CMEnter(TMessage& Message) {
  DispatchAs<TComboBox>(Message);
  setInside(false);
}

void TComboFlat::CMExit(TMessage& Message) {
  DispatchAs<TComboBox>(Message);
  setInside(false);
}

void TComboFlat::WMNCPaint(TMessage& Message) {
  DispatchAs<TComboBox>(Message);
  if (showsFlat()) drawFlatFrame();
}

void TComboFlat::setInside(bool Value) {
  FInside = Value;
  // the frame lies outside the client area, so it is repainted too
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
}

bool TComboFlat::showsFlat() { return !FInside && !Focused(); }

void TComboFlat::drawFlatFrame() {
  const HWND Window = Handle();
  const HDC DC = GetWindowDC(Window);
  const TScopeExit Release([Window, DC] { ReleaseDC(Window, DC); });
  TCanvas C;  // leaves the DC before it is released
  C.SetHandle(DC);
  C.Brush()->SetStyle(bsClear);
  TRect R = Rect(0, 0, Width(), Height());
  C.Pen()->SetColor(clBtnFace);
  C.Rectangle(R);
  InflateRect(R, -1, -1);
  C.Rectangle(R);
  R = Rect(0, 0, Width(), Height());
  const TRect Strip = Rect(R.Right - GetSystemMetrics(SM_CYSIZE) + 2, R.Top + 1, R.Right, R.Bottom - 1);
  C.Pen()->SetColor(clWindow);
  C.Rectangle(Strip);
  C.MoveTo(R.Right - 1, R.Top);
  C.LineTo(R.Right - 1, R.Bottom);
}
