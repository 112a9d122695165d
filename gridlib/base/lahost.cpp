#include "gridlib/base/lahost.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/lahintwindow.h"
#include "gridlib/base/winroutines.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/windowing/hints.h"

#include <algorithm>

namespace {
// The design back-light: margin bands and content, half transparent.
constexpr TColor BacklightMarginColor = 0x60A4F4;
constexpr TColor BacklightContentColor = 0xF0CAA6;
constexpr Byte BacklightAlpha = 128;

TRect offsetRect(TRect R, TPoint P) { return TRect(R.Left + P.X, R.Top + P.Y, R.Right + P.X, R.Bottom + P.Y); }

// The object's content box in its parent's coordinates.
TRect boxOf(const TLaObjectEh* Object) {
  const TPoint L = Object->Location();
  return TRect(L.X, L.Y, L.X + Object->Size().cx, L.Y + Object->Size().cy);
}

TPoint minus(TPoint P, TPoint Q) { return {P.X - Q.X, P.Y - Q.Y}; }

// Moves the window origin of Canvas by -Delta until destroyed (also when the
// drawing in between raises).
class TOriginShift {
public:
  TOriginShift(TCanvas* Canvas, TPoint Delta) : FDC(Canvas->Handle()) {
    gdi::GetWindowOrgEx(FDC, &FOld);
    FChanged = Delta.X != 0 || Delta.Y != 0;
    if (FChanged) gdi::SetWindowOrgEx(FDC, FOld.X - Delta.X, FOld.Y - Delta.Y, nullptr);
  }
  ~TOriginShift() {
    if (FChanged) gdi::SetWindowOrgEx(FDC, FOld.X, FOld.Y, nullptr);
  }
  TOriginShift(const TOriginShift&) = delete;
  TOriginShift& operator=(const TOriginShift&) = delete;

private:
  gdi::HDC FDC;
  gdi::POINT FOld{};
  bool FChanged;
};

// Intersects the clip with a rectangle in device coordinates.
gdi::HRGN selectDeviceClip(TCanvas* Canvas, const TRect& DeviceRect) {
  gdi::POINT Corners[2] = {{DeviceRect.Left, DeviceRect.Top}, {DeviceRect.Right, DeviceRect.Bottom}};
  gdi::DPtoLP(Canvas->Handle(), Corners, 2);
  return SelectClipRectEh(Canvas, TRect(Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y));
}
}  // namespace

// ---------------------------------------------------------------------------

void TLaHostDataLink::DataSetChanged() {
  TDataLink::DataSetChanged();
  FLaHost->NotifyHostControl();
}

void TLaHostDataLink::RecordChanged(TField* Field) {
  TDataLink::RecordChanged(Field);
  FLaHost->NotifyHostControl();
}

// ---------------------------------------------------------------------------
// TLaHost

TLaHost::TLaHost(TComponent* AOwner) : TComponent(AOwner), FDataLink(new TLaHostDataLink(this)) {}

TLaHost::TLaHost(TComponent* AOwner, ILaHostWinControl* ALaHostWinControl) : TLaHost(AOwner) {
  FLaHostWinControl = ALaHostWinControl;
}

TLaHost::~TLaHost() {
  // the root outlives us: it must not ask a freed host to repaint
  if (FLaObject && FLaObject->LaHost() == this) FLaObject->SetLaHost(nullptr);
  FDataLink->Free();
}

TLaHost* TLaHost::CreateCopy(TComponent* AOwner) {
  auto* Result = new TLaHost(AOwner);
  Result->Assign(this);
  return Result;
}

void TLaHost::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TLaHost*>(Source);
  if (!Other) return TComponent::Assign(Source);
  SetLaObject(Other->LaObject() ? Other->LaObject()->CreateCopy(Owner()) : nullptr);
  SetDataSource(Other->DataSource());
}

void TLaHost::SetLaObject(TLaObjectEh* Value) {
  FLaObject = Value;
  if (Value) Value->SetLaHost(this);
}

void TLaHost::SetDesignBacklightObject(TLaObjectEh* Value) {
  FDesignBacklightObject = Value;
  NotifyHostControl();
}

void TLaHost::SetDataSource(TDataSource* Value) {
  if (Value != FDataLink->DataSource()) FDataLink->SetDataSource(Value);
}

void TLaHost::NotifyHostControl() {
  if (FLaHostWinControl) FLaHostWinControl->InvalidateHost(this);
}

void TLaHost::Invalidate() {
  if (FLaHostWinControl) FLaHostWinControl->InvalidateHost(this);
}

// layout and drawing

void TLaHost::UpdateLayout(TRect ARect, TCanvas* ACanvas) {
  FLaObject->QueryLayout({ARect.Width(), ARect.Height()}, ACanvas);
  FLaObject->PerformLayout(TRect(0, 0, ARect.Width(), ARect.Height()), ACanvas);
}

void TLaHost::LayoutAndDraw(TRect ARect, TCanvas* ACanvas) {
  if (!FLaObject) return;
  UpdateLayout(ARect, ACanvas);
  gdi::SetMapMode(ACanvas->Handle(), gdi::MM_ANISOTROPIC);
  {
    const TPoint Loc = FLaObject->Location();
    const TOriginShift Shift(ACanvas, {ARect.Left + Loc.X, ARect.Top + Loc.Y});
    drawObject(FLaObject, TRect(0, 0, FLaObject->Size().cx, FLaObject->Size().cy), ARect, ACanvas);
  }
  if (FDesignBacklightObject) {
    const TOriginShift Shift(ACanvas, FLaObject->Location());
    drawBacklight(FLaObject, ACanvas);
  }
}

void TLaHost::drawObject(TLaObjectEh* Object, TRect R, TRect ClipBase, TCanvas* ACanvas) {
  {
    gdi::HRGN Saved = selectDeviceClip(ACanvas, offsetRect(Object->ClipRect(), ClipBase.TopLeft()));
    const TScopeExit Restore([ACanvas, Saved] { RestoreClipRgnEh(ACanvas, Saved); });
    Object->Draw(R, ACanvas);
  }
  const TRect ChildBase = offsetRect(ClipBase, Object->Location());
  for (TLaObjectEh* Child : Object->Children()) {
    const TOriginShift Shift(ACanvas, Child->Location());
    drawObject(Child, TRect(0, 0, Child->Size().cx, Child->Size().cy), ChildBase, ACanvas);
  }
}

void TLaHost::drawBacklight(TLaObjectEh* Object, TCanvas* ACanvas) {
  if (Object == FDesignBacklightObject) {
    const TRect R(0, 0, Object->Size().cx, Object->Size().cy);
    const TLaMargins& M = *Object->Margins();
    const TRect G(R.Left - M.Left(), R.Top - M.Top(), R.Right + M.Right(), R.Bottom + M.Bottom());
    for (const TRect& Band : {TRect(G.Left, G.Top, G.Right, R.Top), TRect(G.Left, R.Bottom, G.Right, G.Bottom),
                              TRect(G.Left, R.Top, R.Left, R.Bottom), TRect(R.Right, R.Top, G.Right, R.Bottom)})
      if (!Band.IsEmpty()) FillRectAlphaEh(ACanvas, Band, BacklightMarginColor, BacklightAlpha);
    FillRectAlphaEh(ACanvas, R, BacklightContentColor, BacklightAlpha);
  }
  for (TLaObjectEh* Child : Object->Children()) {
    const TOriginShift Shift(ACanvas, Child->Location());
    drawBacklight(Child, ACanvas);
  }
}

// hit testing

TLaObjectEh* TLaHost::GetLaObjectAtPoint(TPoint APoint) {
  if (!FLaObject || !boxOf(FLaObject).Contains(APoint)) return nullptr;
  TLaObjectEh* Result = FLaObject;
  TPoint P = minus(APoint, FLaObject->Location());
  for (;;) {
    TLaObjectEh* Hit = nullptr;
    for (TLaObjectEh* Child : Result->Children())
      if (boxOf(Child).Contains(P)) Hit = Child;  // the later sibling is on top
    if (!Hit) return Result;
    P = minus(P, Hit->Location());
    Result = Hit;
  }
}

TRect TLaHost::LaObjectInHostRect(TLaObjectEh* ALaObject) {
  TRect R = boxOf(ALaObject);
  for (TLaObjectEh* O = ALaObject; O != FLaObject;) {
    O = O->Parent();
    if (!O) throw Exception(QStringLiteral("TLaHost.LaObjectInHostRect: ALaObject is not in LaHost Tree."));
    R = offsetRect(R, O->Location());
  }
  return R;
}

std::vector<TLaObjectEh*> TLaHost::objectsAt(TPoint P) {
  std::vector<TLaObjectEh*> Result;
  if (!FLaObject || !boxOf(FLaObject).Contains(P)) return Result;
  const auto Collect = [&Result](auto& Self, TLaObjectEh* Object, TPoint Inner) -> void {
    Result.push_back(Object);
    for (TLaObjectEh* Child : Object->Children())
      if (boxOf(Child).Contains(Inner)) Self(Self, Child, minus(Inner, Child->Location()));
  };
  Collect(Collect, FLaObject, minus(P, FLaObject->Location()));
  return Result;
}

TPoint TLaHost::relativeToObject(TLaObjectEh* Object, Integer X, Integer Y) {
  return minus({X, Y}, LaObjectInHostRect(Object).TopLeft());
}

// mouse

void TLaHost::HandleMouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (TPoint{X, Y} == FLastMousePos) return;
  const std::vector<TLaObjectEh*> NewList = objectsAt({X, Y});
  size_t D = 0;
  while (D < NewList.size() && D < FMouseOverObjList.size() && NewList[D] == FMouseOverObjList[D]) ++D;
  for (size_t I = D; I < FMouseOverObjList.size(); ++I) FMouseOverObjList[I]->MouseLeave();
  for (size_t I = D; I < NewList.size(); ++I) NewList[I]->MouseEnter();
  FMouseOverObjList = NewList;
  FLastMousePos = {X, Y};
  if (FMouseOverObjList.empty()) return;
  TLaObjectEh* Last = FMouseOverObjList.back();
  const TPoint P = relativeToObject(Last, X, Y);
  Last->MouseMove(Shift, P.X, P.Y);
}

void TLaHost::HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FMouseDownObj = GetLaObjectAtPoint({X, Y});
  if (!FMouseDownObj) return;
  const TPoint P = relativeToObject(FMouseDownObj, X, Y);
  FMouseDownObj->MouseDown(Button, Shift, P.X, P.Y);
}

void TLaHost::HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TLaObjectEh* Pressed = std::exchange(FMouseDownObj, nullptr);
  if (Pressed && GetLaObjectAtPoint({X, Y}) == Pressed) Pressed->Click(Button, Shift, X, Y);
}

void TLaHost::HandleMouseLeave() {
  const std::vector<TLaObjectEh*> Left = std::move(FMouseOverObjList);
  FMouseOverObjList.clear();
  for (TLaObjectEh* Object : Left) Object->MouseLeave();
  FLastMousePos = {-1, -1};
}

// ---------------------------------------------------------------------------
// TLaHostWinControl

const TMessageMap& TLaHostWinControl::MessageMap() {
  static const TMessageMap Map(TGraphicControl::MessageMap(), {
      {CM_MOUSEENTER, &TLaHostWinControl::CMMouseEnter},
      {CM_MOUSELEAVE, &TLaHostWinControl::CMMouseLeave},
      {CM_HINTSHOW, &TLaHostWinControl::CMHintShow},
  });
  return Map;
}

TLaHostWinControl::TLaHostWinControl(TComponent* AOwner)
    : TGraphicControl(AOwner), FLaHost(new TLaHost(nullptr, this)) {}

TLaHostWinControl::~TLaHostWinControl() { FLaHost->Free(); }

void TLaHostWinControl::SetLaObject(TLaObjectEh* Value) {
  if (Value == FLaHost->LaObject()) return;
  FLaHost->SetLaObject(Value);
  Invalidate();
}

TDataSet* TLaHostWinControl::GetDataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }

void TLaHostWinControl::Paint() {
  Canvas()->Brush()->SetStyle(bsClear);
  if (LaObject()) FLaHost->LayoutAndDraw(TRect(0, 0, Width(), Height()), Canvas());
}

void TLaHostWinControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (LaObject()) FLaHost->HandleMouseDown(Button, Shift, X, Y);
}

void TLaHostWinControl::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (LaObject()) FLaHost->HandleMouseMove(Shift, X, Y);
}

void TLaHostWinControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (LaObject()) FLaHost->HandleMouseUp(Button, Shift, X, Y);
}

void TLaHostWinControl::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control) FLaHost->HandleMouseEnter();
}

void TLaHostWinControl::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control) FLaHost->HandleMouseLeave();
}

void TLaHostWinControl::CMHintShow(TCMHintShow& Message) {
  DispatchAs<TGraphicControl>(Message);
  THintInfo& Info = *Message.HintInfo;
  TLaObjectEh* Object = FLaHost->GetLaObjectAtPoint(Info.CursorPos);
  if (!Object) return;
  TLaHintInfoEventArgs Args;
  Args.InitEventArgs(Object);
  for (TLaObjectEh* O = Object; O && !Args.Handled; O = O->Parent()) O->FillHintInfo(&Args);
  if (Args.HintText.isEmpty()) return;
  Info.HintWindowClass = TLaHintWindowEh::StaticClass();
  Info.HintStr = GetShortHint(Args.HintText);
  Info.HintData = static_cast<TObject*>(Args.HintObject);
  Info.CursorRect = FLaHost->LaObjectInHostRect(Object);
}
