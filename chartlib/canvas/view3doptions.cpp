#include "chartlib/canvas/view3doptions.h"

#include "platform/rtl/rtlmath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr Integer MaxPerspective = 100;
constexpr double RightAngle = 90;

}  // namespace

TView3DOptions::TView3DOptions(TComponent* AParent) : FParent(AParent) {}

void TView3DOptions::DescribeProperties(TPropertyTable& Props) {
  using V = TView3DOptions;
  Props.Add("Elevation", &V::Elevation, &V::SetElevation).Default(345);
  Props.Add("FontZoom", &V::FontZoom, &V::SetFontZoom).Default(100);
  Props.Add("PenZoom", &V::PenZoom, &V::SetPenZoom).Default(100);
  Props.Add("CheckBoxZoom", &V::CheckBoxZoom, &V::SetCheckBoxZoom).Default(100);
  Props.Add("HorizOffset", &V::HorizOffset, &V::SetHorizOffset).Default(0);
  Props.Add("OrthoAngle", &V::OrthoAngle, &V::SetOrthoAngle).Default(45);
  Props.Add("Orthogonal", &V::Orthogonal, &V::SetOrthogonal).Default(true);
  Props.Add("Perspective", &V::Perspective, &V::SetPerspective).Default(15);
  Props.Add("Rotation", &V::Rotation, &V::SetRotation).Default(345);
  Props.Add("Tilt", &V::Tilt, &V::SetTilt).Default(0);
  Props.Add("VertOffset", &V::VertOffset, &V::SetVertOffset).Default(0);
  Props.Add("Zoom", &V::Zoom, &V::SetZoom).Default(100);
  Props.Add("ZoomText", &V::ZoomText, &V::SetZoomText).Default(ztAuto);
  Props.Add("ZoomPen", &V::ZoomPen, &V::SetZoomPen).Default(zpAuto);
}

void TView3DOptions::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TView3DOptions*>(Source);
  if (!S) return;
  FElevation = S->FElevation;
  FFontZoom = S->FFontZoom;
  FPenZoom = S->FPenZoom;
  FCheckBoxZoom = S->FCheckBoxZoom;
  FHorizOffset = S->FHorizOffset;
  FOrthoAngle = S->FOrthoAngle;
  FOrthogonal = S->FOrthogonal;
  FPerspective = S->FPerspective;
  FRotation = S->FRotation;
  FTilt = S->FTilt;
  FVertOffset = S->FVertOffset;
  FZoom = S->FZoom;
  FZoomText = S->FZoomText;
  FZoomPen = S->FZoomPen;
}

void TView3DOptions::Repaint() {
  if (FOnInvalidate) FOnInvalidate(this);
}

bool TView3DOptions::BackFaced() const {
  const Integer R = Rotation();
  return !FOrthogonal && R > RightAngle && R < 3 * RightAngle;
}

double TView3DOptions::OrthoRatio() const {
  if (!FOrthogonal) return 1;
  const double A = FOrthoAngle <= RightAngle ? FOrthoAngle : 2 * RightAngle - FOrthoAngle;
  return std::tan(A * std::numbers::pi / 180);
}

Integer TView3DOptions::Elevation() const { return Integer(Round(FElevation)); }
Integer TView3DOptions::HorizOffset() const { return Integer(Round(FHorizOffset)); }
Integer TView3DOptions::Rotation() const { return Integer(Round(FRotation)); }
Integer TView3DOptions::Tilt() const { return Integer(Round(FTilt)); }
Integer TView3DOptions::VertOffset() const { return Integer(Round(FVertOffset)); }
Integer TView3DOptions::Zoom() const { return Integer(Round(FZoom)); }

template <class T>
bool TView3DOptions::setValue(T& Field, T Value) {
  if (Field == Value) return false;
  Field = Value;
  Repaint();
  return true;
}

// A NaN never equals anything, so it always counts as a change.
bool TView3DOptions::setFloat(double& Field, double Value) { return setValue(Field, Value); }

void TView3DOptions::SetFontZoom(Integer Value) { setValue(FFontZoom, Value); }
void TView3DOptions::SetPenZoom(Integer Value) { setValue(FPenZoom, Value); }
void TView3DOptions::SetCheckBoxZoom(Integer Value) { setValue(FCheckBoxZoom, Value); }
void TView3DOptions::SetOrthoAngle(Integer Value) { setValue(FOrthoAngle, Value); }
void TView3DOptions::SetOrthogonal(bool Value) { setValue(FOrthogonal, Value); }
void TView3DOptions::SetPerspective(Integer Value) { setValue(FPerspective, std::min(Value, MaxPerspective)); }

void TView3DOptions::SetZoomText(TCanvasZoomText Value) {
  if (Value < ztManual || Value > ztAuto) return;
  setValue(FZoomText, Value);
}

void TView3DOptions::SetZoomPen(TCanvasZoomPen Value) {
  if (Value < zpManual || Value > zpAuto) return;
  setValue(FZoomPen, Value);
}

void TView3DOptions::SetElevationFloat(double Value) { setFloat(FElevation, Value); }
void TView3DOptions::SetRotationFloat(double Value) { setFloat(FRotation, Value); }
void TView3DOptions::SetTiltFloat(double Value) { setFloat(FTilt, Value); }

void TView3DOptions::SetHorizOffsetFloat(double Value) {
  if (setFloat(FHorizOffset, Value) && OnScrolled) OnScrolled(true);
}

void TView3DOptions::SetVertOffsetFloat(double Value) {
  if (setFloat(FVertOffset, Value) && OnScrolled) OnScrolled(false);
}

void TView3DOptions::SetZOffset(double Value) {
  if (setFloat(FZOffset, Value) && OnScrolled) OnScrolled(false);
}

void TView3DOptions::SetZoomFloat(double Value) {
  if (FZoom == Value) return;
  if (OnChangedZoom) OnChangedZoom(Integer(Round(Value)));
  FZoom = Value;
  Repaint();
}
