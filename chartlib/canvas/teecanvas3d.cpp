#include "chartlib/canvas/teecanvas3d.h"

#include "platform/rtl/rtlmath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DegToRad = 0.017453292519943295;
// Divisors of the projection and its inverse stay at least this far from 0.
constexpr double MinDivisor = 1e-5;
// Below this cosine an orthogonal angle counts as vertical.
constexpr double VerticalCosine = 0.01;
constexpr double PerspectiveScale = 0.008333333333333333;  // 1/120

Integer rounded(double V) { return Integer(Round(V)); }

double atLeast(double V) { return std::max(MinDivisor, V); }

// The perspective divisor, its size held at MinDivisor or more.
double perspectiveDivisor(double D) {
  if (std::abs(D) >= MinDivisor) return D;
  return D < 0 ? -MinDivisor : MinDivisor;
}

}  // namespace

TTeeCanvas3D::TTeeCanvas3D() {
  FFontZoom = FPenZoom = FCheckBoxZoom = 100;
  IZoomText = IZoomPen = true;
}

TRect TTeeCanvas3D::InitWindow(TCanvas*, TView3DOptions* A3DOptions, TColor, bool Is3D, const TRect& UserRect) {
  FBounds = UserRect;
  F3DOptions = A3DOptions;
  if (A3DOptions) {
    FFontZoom = A3DOptions->FontZoom();
    FPenZoom = A3DOptions->PenZoom();
    FCheckBoxZoom = A3DOptions->CheckBoxZoom();
    IZoomText = A3DOptions->ZoomText() != ztNo;
    IZoomPen = A3DOptions->ZoomPen() != zpNo;
  }
  FIs3D = Is3D;
  FIsOrthogonal = false;
  IZoomFactor = 1;
  if (Is3D && A3DOptions) {
    FIsOrthogonal = A3DOptions->Orthogonal();
    if (FIsOrthogonal) {
      Integer Angle = A3DOptions->OrthoAngle();
      IOrthoX = 1;
      if (Angle > 90) {
        IOrthoX = -1;
        Angle = 180 - Angle;
      }
      const double S = std::sin(Angle * DegToRad), C = std::cos(Angle * DegToRad);
      FIOrthoY = C < VerticalCosine ? 1.0 : S / C;
    }
  }
  if (Is3D) CalcTrigValues();
  return UserRect;
}

void TTeeCanvas3D::CalcTrigValues() {
  if (FIsOrthogonal) return;
  double E = 0, R = 0, T = 0;
  if (F3DOptions) {
    E = -F3DOptions->ElevationFloat();
    R = -F3DOptions->RotationFloat();
    T = F3DOptions->Tilt();
  }
  IHasPerspec = false;
  IZoomPerspec = 0;
  s1 = std::sin(E * DegToRad);
  c1 = std::cos(E * DegToRad);
  s2 = std::sin(R * DegToRad);
  c2 = std::cos(R * DegToRad);
  IHasTilt = T != 0;
  s3 = std::sin(T * DegToRad);
  c3 = std::cos(T * DegToRad);
  c2s3 = c2 * s3;
  c2c3 = atLeast(c2 * c3);
  tempXX = atLeast(s1 * s2 * s3 + c1 * c3);
  tempYX = c3 * s1 * s2 - c1 * s3;
  tempXZ = c1 * s2 * s3 - c3 * s1;
  tempYZ = c1 * c3 * s2 + s1 * s3;
}

void TTeeCanvas3D::Projection(Integer MaxDepth, const TRect&, const TRect& Rect) {
  FXCenter = (Rect.Left + Rect.Right) / 2 + rounded(RotationCenter.X);
  FYCenter = (Rect.Top + Rect.Bottom) / 2 + rounded(RotationCenter.Y);
  FZCenter = rounded(MaxDepth * 0.5 + RotationCenter.Z);
  XCenterOffset = FXCenter;
  YCenterOffset = FYCenter;
  if (!F3DOptions) return;
  XCenterOffset += F3DOptions->HorizOffset();
  YCenterOffset += F3DOptions->VertOffset();
  if (FIs3D) IZoomFactor = F3DOptions->ZoomFloat() * 0.01;
  CalcPerspective(Rect);
}

void TTeeCanvas3D::CalcPerspective(const TRect& Rect) {
  const Integer Perspective = F3DOptions->Perspective();
  IHasPerspec = Perspective > 0;
  if (IHasPerspec)
    IZoomPerspec = IZoomFactor * Perspective * PerspectiveScale / std::max(1, Rect.Right - Rect.Left);
}

void TTeeCanvas3D::DisableRotation() {
  FWas3D = FIs3D;
  FIs3D = false;
}

void TTeeCanvas3D::EnableRotation() { FIs3D = FWas3D; }

void TTeeCanvas3D::rotate(Integer& X, Integer& Y, Integer Z) const {
  const double DX = X - FXCenter, DY = Y - FYCenter, DZ = Z - FZCenter;
  const double ZR = DZ * c2 - DX * s2, XR = DX * c2 + DZ * s2;
  const double F =
      IHasPerspec ? IZoomFactor / perspectiveDivisor(IZoomPerspec * (ZR * c1 + DY * s1) + 1.0) : IZoomFactor;
  const double YR = DY * c1 - ZR * s1;
  if (IHasTilt) {
    X = pixel((XR * c3 - YR * s3) * F) + XCenterOffset;
    Y = pixel((YR * c3 + XR * s3) * F) + YCenterOffset;
  } else {
    X = pixel(XR * F) + XCenterOffset;
    Y = pixel(YR * F) + YCenterOffset;
  }
}

TPoint TTeeCanvas3D::Calculate3DPosition(Integer X, Integer Y, Integer Z) {
  Calc3DPos(X, Y, Z);
  return {X, Y};
}

void TTeeCanvas3D::rotateFloat(TPointFloat& P, float ZPos) const {
  const float DX = P.x - FXCenter, DY = P.y - FYCenter, DZ = ZPos - FZCenter;
  const float ZR = float(DZ * c2 - DX * s2), XR = float(DX * c2 + DZ * s2);
  const float F = IHasPerspec ? float(IZoomFactor / perspectiveDivisor(IZoomPerspec * (ZR * c1 + DY * s1) + 1.0))
                              : float(IZoomFactor);
  const float YR = float(DY * c1 - ZR * s1);
  P.x = float((XR * c3 - YR * s3) * F) + XCenterOffset;
  P.y = float((YR * c3 + XR * s3) * F) + YCenterOffset;
}

void TTeeCanvas3D::Calculate2DPosition(Integer& X, Integer& Y, Integer Z) {
  if (IZoomFactor == 0) return;
  const double K = 1 / IZoomFactor;
  if (FIsOrthogonal) {
    X = rounded((X - XCenterOffset) * K - IOrthoX * Z) + FXCenter;
    Y = rounded((Y - YCenterOffset) * K + FIOrthoY * Z) + FYCenter;
    return;
  }
  if (!FIs3D || tempXX == 0 || c2c3 == 0) return;
  const double X0 = X, Y0 = Y, DZ = Z - FZCenter;
  X = FXCenter + rounded(((X0 - XCenterOffset) * K - DZ * tempXZ - (Y0 - FYCenter) * c2s3) / tempXX);
  Y = FYCenter + rounded(((Y0 - YCenterOffset) * K - DZ * tempYZ - (X0 - FXCenter) * tempYX) / c2c3);
}
