#include "chartlib/canvas/teeshadow.h"

#include "platform/rtl/rtlmath.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

TTeeShadow::TTeeShadow(TNotifyEvent AOnChange) {
  InitDefaults(true, clSilver, 0);
  IOnChange = AOnChange;
}

void TTeeShadow::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Clip", &TTeeShadow::Clip, &TTeeShadow::SetClip).Default(false);
  Props.Add("Color", &TTeeShadow::Color, &TTeeShadow::SetColor).Idents(ColorIdents()).Stored(&TTeeShadow::isColorStored);
  Props.Add("Direction", &TTeeShadow::Direction, &TTeeShadow::SetDirection).Default(sdRightBottom);
  Props.Add("HorizSize", &TTeeShadow::HorizSize, &TTeeShadow::SetHorizSize).Stored(&TTeeShadow::isHorizSizeStored);
  Props.Add("Smooth", &TTeeShadow::Smooth, &TTeeShadow::SetSmooth).Default(true);
  Props.Add("SmoothBlur", &TTeeShadow::SmoothBlur, &TTeeShadow::SetSmoothBlur).Default(0);
  Props.Add("Transparency", &TTeeShadow::Transparency, &TTeeShadow::SetTransparency).Default(50);
  Props.Add("VertSize", &TTeeShadow::VertSize, &TTeeShadow::SetVertSize).Stored(&TTeeShadow::isVertSizeStored);
  Props.Add("Visible", &TTeeShadow::Visible, &TTeeShadow::SetVisible).Stored(&TTeeShadow::isVisibleStored);
}

void TTeeShadow::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TTeeShadow*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FClip = S->FClip;
  FColor = S->FColor;
  FDirection = S->FDirection;
  FHorizSize = S->FHorizSize;
  FSmooth = S->FSmooth;
  FSmoothBlur = S->FSmoothBlur;
  FTransparency = S->FTransparency;
  FVertSize = S->FVertSize;
  FVisible = S->FVisible;
}

void TTeeShadow::InitDefaults(bool AVisible, TColor AColor, Integer ASize) {
  FVisible = DefaultVisible = AVisible;
  FColor = DefaultColor = AColor;
  FHorizSize = FVertSize = DefaultSize = ASize;
}

bool TTeeShadow::ShouldDraw() const { return FVisible && (FHorizSize != 0 || FVertSize != 0); }

template <class T>
void TTeeShadow::setValue(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  DoChanged();
}

void TTeeShadow::SetClip(bool Value) { setValue(FClip, Value); }
void TTeeShadow::SetColor(TColor Value) { setValue(FColor, Value); }
void TTeeShadow::SetDirection(TShadowDirection Value) { setValue(FDirection, Value); }
void TTeeShadow::SetHorizSize(Integer Value) { setValue(FHorizSize, Value); }
void TTeeShadow::SetVertSize(Integer Value) { setValue(FVertSize, Value); }
void TTeeShadow::SetSmooth(bool Value) { setValue(FSmooth, Value); }
void TTeeShadow::SetSmoothBlur(Integer Value) { setValue(FSmoothBlur, Value); }
void TTeeShadow::SetTransparency(TTeeTransparency Value) { setValue(FTransparency, Value); }
void TTeeShadow::SetVisible(bool Value) { setValue(FVisible, Value); }

Integer TTeeShadow::Size() const { return std::max(std::abs(FHorizSize), std::abs(FVertSize)); }

void TTeeShadow::SetSize(Integer Value) {
  SetHorizSize(Value);
  SetVertSize(Value);
}

void TTeeShadow::DoChanged() {
  if (IOnChange) IOnChange(this);
}

TTeeEmboss::TTeeEmboss(TNotifyEvent AOnChange) : TTeeShadow(AOnChange) {
  SetVisible(false);
  DefaultVisible = false;
  SetDirection(sdLeftTop);
}

void TTeeEmboss::DescribeProperties(TPropertyTable& Props) { Props.Override("Direction").Default(sdLeftTop); }

TRect ShadowRect(const TRect& R, TShadowDirection Direction, Integer H, Integer V) {
  switch (Direction) {
    case sdCenter: return {R.Left - std::abs(H), R.Top - std::abs(V), R.Right + std::abs(H), R.Bottom + std::abs(V)};
    case sdLeftTop: return {R.Left - H, R.Top - V, R.Right - H, R.Bottom - V};
    case sdLeftBottom: return {R.Left - H, R.Top + V, R.Right - H, R.Bottom + V};
    case sdRightTop: return {R.Left + H, R.Top - V, R.Right + H, R.Bottom - V};
    case sdRightBottom: break;
  }
  return {R.Left + H, R.Top + V, R.Right + H, R.Bottom + V};
}

TFourPoints RotateRect(const TRect& R, double Angle) {
  const Integer CX = (R.Left + R.Right) / 2, CY = (R.Top + R.Bottom) / 2;
  const double A = Angle * std::numbers::pi / 180;
  const double S = std::sin(A), C = std::cos(A);
  const TFourPoints Corners{TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Right, R.Bottom},
                            TPoint{R.Left, R.Bottom}};
  TFourPoints Result;
  for (int I = 0; I < 4; ++I) {
    const double X = Corners[I].X - CX, Y = Corners[I].Y - CY;
    Result[I] = {CX + Integer(Round(X * C + Y * S)), CY + Integer(Round(-X * S + Y * C))};
  }
  return Result;
}
