#include "chartlib/canvas/teegradient.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTeeGradientColor

TTeeGradientColor::TTeeGradientColor(TCollection* Collection) : TCollectionItem(Collection) {}

void TTeeGradientColor::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Color", &TTeeGradientColor::Color, &TTeeGradientColor::SetColor).Idents(ColorIdents()).Default(clBlack);
  Props.Add("Offset", &TTeeGradientColor::Offset, &TTeeGradientColor::SetOffset);
  Props.Add("Transparency", &TTeeGradientColor::Transparency, &TTeeGradientColor::SetTransparency).Default(0);
}

void TTeeGradientColor::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TTeeGradientColor*>(Source);
  if (!S) {
    TCollectionItem::Assign(Source);
    return;
  }
  FColor = S->FColor;
  FOffset = S->FOffset;
  FTransparency = S->FTransparency;
  Changed(false);
}

void TTeeGradientColor::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed(false);
}

void TTeeGradientColor::SetOffset(double Value) {
  if (FOffset == Value) return;
  FOffset = Value;
  Changed(false);
}

void TTeeGradientColor::SetTransparency(Integer Value) {
  if (FTransparency == Value) return;
  FTransparency = Value;
  Changed(false);
}

// ---------------------------------------------------------------------------
// TTeeGradientColors

TTeeGradientColors::TTeeGradientColors(TCustomTeeGradient* AOwner)
    : TOwnedCollection(AOwner, TTeeGradientColor::StaticClass()), FGradient(AOwner) {}

TTeeGradientColor* TTeeGradientColors::Get(int Index) {
  while (Count() <= Index) TCollection::Add();
  return static_cast<TTeeGradientColor*>(Items(Index));
}

void TTeeGradientColors::Put(int Index, TTeeGradientColor* Value) { Get(Index)->Assign(Value); }

TTeeGradientColor* TTeeGradientColors::Add(double AOffset, TColor AColor, Integer ATransparency) {
  const double Offset = std::clamp(AOffset, 0.0, 1.0);
  int Index = 0;
  while (Index < Count() && static_cast<TTeeGradientColor*>(Items(Index))->Offset() <= Offset) ++Index;
  BeginUpdate();
  auto* Stop = static_cast<TTeeGradientColor*>(Insert(Index));
  Stop->SetOffset(Offset);
  Stop->SetColor(AColor);
  Stop->SetTransparency(ATransparency);
  EndUpdate();
  return Stop;
}

void TTeeGradientColors::Repaint() { FGradient->DoChanged(); }

void TTeeGradientColors::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  Repaint();
}

// ---------------------------------------------------------------------------
// TCustomTeeGradient

TCustomTeeGradient::TCustomTeeGradient(TNotifyEvent ChangedEvent) {
  InitDefaults();
  IChanged = ChangedEvent;
}

TCustomTeeGradient::~TCustomTeeGradient() {
  if (FSub) FSub->Free();
  if (FColors) FColors->Free();
}

void TCustomTeeGradient::DescribeCommonProperties(TPropertyTable& Props) {
  using G = TCustomTeeGradient;
  Props.Add("Angle", &G::Angle, &G::SetAngle).Default(0);
  Props.Add("Balance", &G::Balance, &G::SetBalance).Default(50);
  Props.Add("Colors", &G::Colors, &G::SetColors).Stored(&G::isColorsStored);
  Props.Add("Direction", &G::Direction, &G::SetDirection).Stored(&G::isDirectionStored);
  Props.Add("EndColor", &G::EndColor, &G::SetEndColor).Idents(ColorIdents()).Stored(&G::isEndColorStored);
  Props.Add("MidColor", &G::MidColor, &G::SetMidColor).Idents(ColorIdents()).Stored(&G::isMidColorStored);
  Props.Add("RadialX", &G::RadialX, &G::SetRadialX).Default(0);
  Props.Add("RadialY", &G::RadialY, &G::SetRadialY).Default(0);
  Props.Add("StartColor", &G::StartColor, &G::SetStartColor).Idents(ColorIdents()).Stored(&G::isStartColorStored);
}

void TCustomTeeGradient::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TCustomTeeGradient*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  if (S == this) return;
  FAngle = S->FAngle;
  FBalance = S->FBalance;
  FDirection = S->FDirection;
  FRadialX = S->FRadialX;
  FRadialY = S->FRadialY;
  SetColors(S->FColors);
  FStartIsEnd = S->FStartIsEnd;
  FVisible = S->FVisible;
  if (S->FSub)
    SetSubGradient(S->FSub);
  else
    FreeAndNil(FSub);
}

void TCustomTeeGradient::InitDefaults() {
  FVisible = IDefVisible = false;
  FDirection = IDefDirection = gdTopBottom;
  IDefStart = clWhite;
  IDefEnd = clYellow;
  IDefMid = clNone;
  IMidColor = clWhite;
  FBalance = 50;
  FAngle = 0;
  FRadialX = FRadialY = 0;
}

void TCustomTeeGradient::InitDirection(TGradientDirection Value) { FDirection = IDefDirection = Value; }

void TCustomTeeGradient::ResetColors() {
  if (!FColors) return;
  const TNotifyEvent Saved = IChanged;
  IChanged = nullptr;
  FColors->Clear();
  FColors->Add(0, IDefStart);
  FColors->Add(1, IDefEnd);
  IChanged = Saved;
}

void TCustomTeeGradient::UseMiddleColor() { SetMidColor(IMidColor); }

void TCustomTeeGradient::DoChanged() {
  if (IChanged) IChanged(this);
}

template <class T>
void TCustomTeeGradient::setValue(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  DoChanged();
}

void TCustomTeeGradient::SetAngle(Integer Value) { setValue(FAngle, Value); }
void TCustomTeeGradient::SetBalance(Integer Value) { setValue(FBalance, Value); }
void TCustomTeeGradient::SetDirection(TGradientDirection Value) { setValue(FDirection, Value); }
void TCustomTeeGradient::SetRadialX(Integer Value) { setValue(FRadialX, Value); }
void TCustomTeeGradient::SetRadialY(Integer Value) { setValue(FRadialY, Value); }
void TCustomTeeGradient::SetVisible(bool Value) { setValue(FVisible, Value); }

TTeeGradientColors* TCustomTeeGradient::Colors() {
  if (!FColors) {
    FColors = new TTeeGradientColors(this);
    ResetColors();
  }
  return FColors;
}

void TCustomTeeGradient::SetColors(TTeeGradientColors* Value) {
  if (!Value)
    FreeAndNil(FColors);
  else
    Colors()->Assign(Value);
}

TColor TCustomTeeGradient::StartColor() const {
  if (!FColors) return IDefStart;
  return FColors->Count() == 0 ? clNone : static_cast<TTeeGradientColor*>(FColors->Items(0))->Color();
}

TColor TCustomTeeGradient::EndColor() const {
  if (!FColors) return IDefEnd;
  const int N = FColors->Count();
  return N == 0 ? clNone : static_cast<TTeeGradientColor*>(FColors->Items(N - 1))->Color();
}

TColor TCustomTeeGradient::MidColor() const {
  if (!FColors) return IDefMid;
  return FColors->Count() < 3 ? clNone : static_cast<TTeeGradientColor*>(FColors->Items(1))->Color();
}

void TCustomTeeGradient::SetStartColor(TColor Value) {
  Colors()->Get(0)->SetColor(Value);
  DoChanged();
}

void TCustomTeeGradient::SetEndColor(TColor Value) {
  TTeeGradientColors* C = Colors();
  C->Get(std::max(C->Count() - 1, 0))->SetColor(Value);
  if (FStartIsEnd) C->Get(0)->SetColor(Value);
  DoChanged();
}

void TCustomTeeGradient::SetMidColor(TColor Value) {
  TTeeGradientColors* C = Colors();
  if (Value == clNone) {
    if (C->Count() > 2) {
      C->Delete(1);
      DoChanged();
    }
    return;
  }
  if (C->Count() <= 2) {
    auto* Stop = static_cast<TTeeGradientColor*>(C->Insert(1));
    Stop->SetOffset(0.5);
  }
  TTeeGradientColor* Mid = C->Get(1);
  if (Mid->Color() == Value) return;
  Mid->SetColor(Value);
  IMidColor = Value;
  DoChanged();
}

TSubGradient* TCustomTeeGradient::SubGradient() {
  if (!FSub) FSub = new TSubGradient(IChanged);
  return FSub;
}

void TCustomTeeGradient::SetSubGradient(TSubGradient* Value) {
  TSubGradient* Own = SubGradient();
  Own->Assign(Value);
  Own->SetTransparency(Value->Transparency());
}

bool TCustomTeeGradient::isColorsStored() const {
  if (!FColors) return false;
  const int N = FColors->Count();
  if (N != 2 && N != 3) return true;
  static constexpr double PlainOffsets[2][3] = {{0, 1, 0}, {0, 0.5, 1}};
  for (int I = 0; I < N; ++I) {
    const auto* Stop = static_cast<TTeeGradientColor*>(FColors->Items(I));
    if (Stop->Transparency() != 0 || Stop->Offset() != PlainOffsets[N - 2][I]) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// TSubGradient, TTeeGradient

TSubGradient::TSubGradient(TNotifyEvent ChangedEvent) : TCustomTeeGradient(ChangedEvent) {}

void TSubGradient::DescribeProperties(TPropertyTable& Props) {
  DescribeCommonProperties(Props);
  Props.Add("Transparency", &TSubGradient::Transparency, &TSubGradient::SetTransparency).Default(50);
  Props.Add("Visible", &TSubGradient::Visible, &TSubGradient::SetVisible).Stored(&TSubGradient::isVisibleStored);
}

void TSubGradient::SetTransparency(Integer Value) {
  if (FTransparency == Value) return;
  FTransparency = Value;
  DoChanged();
}

TTeeGradient::TTeeGradient(TNotifyEvent ChangedEvent) : TCustomTeeGradient(ChangedEvent) {}

void TTeeGradient::DescribeProperties(TPropertyTable& Props) {
  DescribeCommonProperties(Props);
  Props.Add("SubGradient", &TTeeGradient::SubGradient, &TTeeGradient::SetSubGradient)
      .Stored(&TTeeGradient::HasSubGradient);
  Props.Add("Visible", &TTeeGradient::Visible, &TTeeGradient::SetVisible).Stored(&TTeeGradient::isVisibleStored);
}

namespace {
TTeeRotateGradientProc RotateGradientHook = nullptr;
}  // namespace

TTeeRotateGradientProc TeeRotateGradientBitmap() { return RotateGradientHook; }
void SetTeeRotateGradientBitmap(TTeeRotateGradientProc Value) { RotateGradientHook = Value; }
