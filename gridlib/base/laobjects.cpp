#include "gridlib/base/laobjects.h"

#include "gridlib/base/lahost.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/canvas.h"

#include <algorithm>

namespace {
constexpr TMarginSize MaxMargin = 1024;
// A client area beyond this is a measuring fault, not a size.
constexpr Integer MaxClientExtent = 0x100000;

// (offset, extent) of N pixels placed in A by one alignment.
struct TPlacement {
  Integer Offset;
  Integer Extent;
};
enum class TAlign { Start, Center, End, Stretch };
TPlacement place(TAlign Align, Integer A, Integer N) {
  switch (Align) {
    case TAlign::Start: return {0, N};
    case TAlign::Center: return {(A - N) / 2, N};  // truncates toward zero
    case TAlign::End: return {A - N, N};
    case TAlign::Stretch: return {0, std::max(N, A)};
  }
  return {0, N};
}
TAlign alignOf(TLaHorzAlignment A) { return TAlign(int(A)); }
TAlign alignOf(TLaVertAlignment A) { return TAlign(int(A)); }
}  // namespace

// ---------------------------------------------------------------------------
// TLaMargins

void TLaMargins::setMargin(TMarginSize& Field, TMarginSize Value) {
  if (Value > MaxMargin || Value < 0) throw Exception(QStringLiteral("SetMargin: Value > 1024"));
  if (Value == Field) return;
  Field = Value;
  Changed();
}

void TLaMargins::SetBounds(TMarginSize ALeft, TMarginSize ATop, TMarginSize ARight, TMarginSize ABottom) {
  if (ALeft == FLeft && ATop == FTop && ARight == FRight && ABottom == FBottom) return;
  FLeft = ALeft;
  FTop = ATop;
  FRight = ARight;
  FBottom = ABottom;
  Changed();
}

void TLaMargins::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TLaMargins*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  FLeft = Other->FLeft;
  FTop = Other->FTop;
  FRight = Other->FRight;
  FBottom = Other->FBottom;
  Changed();
}

void TLaMargins::Changed() {
  if (FLaObject) FLaObject->MarginsChanged();
}

// ---------------------------------------------------------------------------

TLaObjectEh* TLaChildrenEnumerable::GetChild(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count())
    throw EArgumentOutOfRangeException(QStringLiteral("Argument out of range"));
  return (*FList)[size_t(AIndex)];
}

Integer TLaChildrenEnumerable::IndexOf(const TLaObjectEh* AObject) const {
  if (!FList) return -1;
  const auto It = std::find(FList->begin(), FList->end(), AObject);
  return It == FList->end() ? -1 : Integer(It - FList->begin());
}

std::vector<TLaObjectEh*>::const_iterator TLaChildrenEnumerable::begin() const { return FList->begin(); }
std::vector<TLaObjectEh*>::const_iterator TLaChildrenEnumerable::end() const { return FList->end(); }

void TLaHintInfoEventArgs::InitEventArgs(TLaObjectEh* ALaObject) {
  Handled = false;
  LaObject = ALaObject;
  HintText.clear();
  HintObject = nullptr;
  HideTimeout = 0;
}

// ---------------------------------------------------------------------------
// TLaObjectEh

TLaObjectEh::TLaObjectEh(TComponent* AOwner) : TComponent(AOwner), FMargins(new TLaMargins(this)) {
  FChildren.reserve(10);
}

void TLaObjectEh::BeforeDestruction() {
  SetParent(nullptr);
  ClearChildren();
  TComponent::BeforeDestruction();
}

TLaObjectEh::~TLaObjectEh() { FMargins->Free(); }

TLaObjectEh* TLaObjectEh::CreateCopy(TComponent* Owner) {
  auto* Result = static_cast<TLaObjectEh*>(ClassType()->Create(Owner));
  Result->Assign(this);
  return Result;
}

void TLaObjectEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TLaObjectEh*>(Source);
  if (!Other) return;
  SetName(Other->Name());
  FMargins->Assign(Other->Margins());
  FHorzAlignment = Other->FHorzAlignment;
  FVertAlignment = Other->FVertAlignment;
  FHint = Other->FHint;
  OnGetHintInfo = Other->OnGetHintInfo;
  for (TLaObjectEh* Child : Other->FChildren) AddObject(Child->CreateCopy(Owner()));
}

// tree

void TLaObjectEh::AddObject(TLaObjectEh* AObject) {
  if (!AObject || AObject->FParent == this) return;
  if (AObject->FParent) AObject->SetParent(nullptr);
  AddChild(AObject);
}

void TLaObjectEh::AddChild(TLaObjectEh* AObject) {
  AObject->FParent = this;
  FChildren.push_back(AObject);
  AObject->ParentChanged();
}

void TLaObjectEh::RemoveObject(TLaObjectEh* AObject) {
  if (AObject) RemoveChild(AObject);
}

void TLaObjectEh::RemoveChild(TLaObjectEh* AObject) {
  const auto It = std::find(FChildren.begin(), FChildren.end(), AObject);
  if (It == FChildren.end()) return;
  AObject->FParent = nullptr;
  FChildren.erase(It);
  AObject->ParentChanged();
}

void TLaObjectEh::SetParent(TLaObjectEh* Value) {
  if (Value == this || Value == FParent) return;
  if (Value && IsChild(Value)) throw EInvalidOperation(QStringLiteral("SCannotCreateCircularDependence"));
  if (FParent) FParent->RemoveObject(this);
  if (Value) Value->AddObject(this);
}

void TLaObjectEh::ClearChildren() {
  while (!FChildren.empty()) {
    TLaObjectEh* Child = FChildren.back();
    FChildren.pop_back();
    Child->FParent = nullptr;
    Child->Free();
  }
}

bool TLaObjectEh::IsChild(const TLaObjectEh* AObject) const {
  for (const TLaObjectEh* O = AObject; O; O = O->FParent)
    if (O == this) return true;
  return false;
}

TLaObjectEh* TLaObjectEh::GetElementByName(const String& ElementName) {
  for (TLaObjectEh* Child : FChildren) {
    if (Child->Name() == ElementName) return Child;
    if (TLaObjectEh* Found = Child->GetElementByName(ElementName)) return Found;
  }
  return nullptr;
}

// layout

TSize TLaObjectEh::QueryLayout(TSize QuerySize, TCanvas* ACanvas) {
  FIsInQueryLayout = true;
  const TScopeExit Done([this] { FIsInQueryLayout = false; });
  if (FMaxWidth >= 0) QuerySize.cx = std::min(QuerySize.cx, FMaxWidth);
  if (FMaxHeight >= 0) QuerySize.cy = std::min(QuerySize.cy, FMaxHeight);
  const TLaMargins& M = *FMargins;
  QuerySize.cx = std::max(QuerySize.cx - M.Left() - M.Right(), 0);
  QuerySize.cy = std::max(QuerySize.cy - M.Top() - M.Bottom(), 0);
  const TSize S = DoQueryLayout(QuerySize, ACanvas);
  FNeededSize = {S.cx + M.Left() + M.Right(), S.cy + M.Top() + M.Bottom()};
  return FNeededSize;
}

TSize TLaObjectEh::PerformLayout(TRect PerfRect, TCanvas* ACanvas) {
  FIsInPerformLayout = true;
  const TScopeExit Done([this] { FIsInPerformLayout = false; });
  if (FMaxWidth >= 0 && PerfRect.Width() > FMaxWidth) PerfRect.Right = PerfRect.Left + FMaxWidth;
  if (FMaxHeight >= 0 && PerfRect.Height() > FMaxHeight) PerfRect.Bottom = PerfRect.Top + FMaxHeight;
  FClipRect = PerfRect;
  const TLaMargins& M = *FMargins;
  const TRect Inner(PerfRect.Left + M.Left(), PerfRect.Top + M.Top(), PerfRect.Right - M.Right(),
                    PerfRect.Bottom - M.Bottom());
  const TSize S = DoPerformLayout({Inner.Width(), Inner.Height()}, ACanvas);
  const TPlacement H = place(alignOf(FHorzAlignment), Inner.Width(), S.cx);
  const TPlacement V = place(alignOf(FVertAlignment), Inner.Height(), S.cy);
  FLocation = {Inner.Left + H.Offset, Inner.Top + V.Offset};
  const Integer L = FLocation.X - M.Left(), T = FLocation.Y - M.Top();
  // the box uses the needed size, not the aligned one
  FLayoutRect = TRect(L, T, L + S.cx + M.Left() + M.Right(), T + S.cy + M.Top() + M.Bottom());
  FSize = {H.Extent, V.Extent};
  return {FSize.cx + M.Left() + M.Right(), FSize.cy + M.Top() + M.Bottom()};
}

void TLaObjectEh::Invalidate() {
  if (FParent)
    FParent->Invalidate();
  else if (FLaHost)
    FLaHost->Invalidate();
}

void TLaObjectEh::FillHintInfo(TLaHintInfoEventArgs* HintInfo) {
  if (!HintInfo->Handled && !FHint.isEmpty()) {
    HintInfo->HintText = FHint;
    HintInfo->Handled = true;
  }
  if (OnGetHintInfo.Assigned()) OnGetHintInfo(this, HintInfo);
}

void TLaObjectEh::Click(TMouseButton, TShiftState, Integer, Integer) {
  if (OnClick.Assigned()) OnClick(this);
}

// ---------------------------------------------------------------------------
// TLaControlEh

TLaControlEh::TLaControlEh(TComponent* AOwner)
    : TLaObjectEh(AOwner), FPadding(new TLaPadding(this)), FBorderThickness(new TLaThickness(this)),
      FFont(new TFont) {
  FFont->OnChange = TNotifyEvent(this, &TLaControlEh::fontChanged);
}

TLaControlEh::~TLaControlEh() {
  FPadding->Free();
  FBorderThickness->Free();
  FFont->Free();
}

void TLaControlEh::Assign(TPersistent* Source) {
  TLaObjectEh::Assign(Source);
  auto* Other = dynamic_cast<TLaControlEh*>(Source);
  if (!Other) return;
  FPadding->Assign(Other->Padding());
  FBorderThickness->Assign(Other->BorderThickness());
  FBorderColor = Other->FBorderColor;
  FColor = Other->FColor;
  if (!Other->ParentFont()) SetFont(Other->Font());
}

TSize TLaControlEh::addFrame(TSize S) const {
  const TLaMargins &P = *FPadding, &B = *FBorderThickness;
  return {S.cx + P.Left() + P.Right() + B.Left() + B.Right(), S.cy + P.Top() + P.Bottom() + B.Top() + B.Bottom()};
}

TSize TLaControlEh::DoQueryLayout(TSize QuerySize, TCanvas* ACanvas) {
  const TLaMargins &P = *FPadding, &B = *FBorderThickness;
  const TSize Client{QuerySize.cx - P.Left() - P.Right() - B.Left() - B.Right(),
                     QuerySize.cy - P.Top() - P.Bottom() - B.Top() - B.Bottom()};
  const TSize S = DoQueryLayoutClientArea(Client, ACanvas);
  if (S.cx > MaxClientExtent || S.cy > MaxClientExtent)
    throw Exception(QString("DoQueryLayout.%1 : cx%2 cy: %3").arg(ClassName()).arg(S.cx).arg(S.cy));
  return addFrame(S);
}

TSize TLaControlEh::DoPerformLayout(TSize PerfSize, TCanvas* ACanvas) {
  const TLaMargins &P = *FPadding, &B = *FBorderThickness;
  const TRect Client(P.Left() + B.Left(), P.Top() + B.Top(), PerfSize.cx - P.Right() - B.Right(),
                     PerfSize.cy - P.Bottom() - B.Bottom());
  return addFrame(DoPerformLayoutClientArea(Client, ACanvas));
}

void TLaControlEh::Draw(TRect ARect, TCanvas* ACanvas) {
  DrawBorder(ARect, ACanvas);
  const TLaMargins &P = *FPadding, &B = *FBorderThickness;
  const TRect Inside(ARect.Left + B.Left(), ARect.Top + B.Top(), ARect.Right - B.Right(), ARect.Bottom - B.Bottom());
  DrawClientBackgound(Inside, ACanvas);
  DrawClientForeground(TRect(Inside.Left + P.Left(), Inside.Top + P.Top(), Inside.Right - P.Right(),
                             Inside.Bottom - P.Bottom()),
                       ACanvas);
}

void TLaControlEh::DrawClientBackgound(TRect AClientRect, TCanvas* ACanvas) {
  if (FColor == clNone) return;
  ACanvas->Brush()->SetColor(FColor);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->FillRect(AClientRect);
}

void TLaControlEh::DrawBorder(TRect R, TCanvas* ACanvas) {
  const TLaMargins& B = *FBorderThickness;
  ACanvas->Pen()->SetColor(FBorderColor);
  const auto Line = [ACanvas](Integer X1, Integer Y1, Integer X2, Integer Y2) {
    ACanvas->MoveTo(X1, Y1);
    ACanvas->LineTo(X2, Y2);  // the end point is not drawn
  };
  // the thickness only switches a side on; the line is one pixel
  if (B.Top() != 0) Line(R.Left, R.Top, R.Right, R.Top);
  if (B.Right() != 0) Line(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
  if (B.Bottom() != 0) Line(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
  if (B.Left() != 0) Line(R.Left, R.Top, R.Left, R.Bottom);
}

void TLaControlEh::fontChanged(TObject*) {
  FParentFont = false;
  // every object below hears it, depth first
  const auto Notify = [](auto& Self, TLaObjectEh* Object) -> void {
    for (TLaObjectEh* Child : Object->Children()) {
      Child->ParentFontChanged();
      Self(Self, Child);
    }
  };
  Notify(Notify, this);
}

void TLaControlEh::takeParentFont() {
  auto* ParentControl = dynamic_cast<TLaControlEh*>(Parent());
  if (!FParentFont || !ParentControl) return;
  // detached, so ParentFont stays True and nobody further hears of it
  const TNotifyEvent Saved = FFont->OnChange;
  FFont->OnChange = TNotifyEvent();
  const TScopeExit Restore([this, &Saved] { FFont->OnChange = Saved; });
  FFont->Assign(ParentControl->Font());
}

void TLaControlEh::ParentChanged() {
  TLaObjectEh::ParentChanged();
  takeParentFont();
}

void TLaControlEh::ParentFontChanged() { takeParentFont(); }
