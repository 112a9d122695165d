#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/teeshadow.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/controls.h"

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

TTeeCanvas3D::~TTeeCanvas3D() { FreeBitmap(); }

TRect TTeeCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor, bool Is3D,
                               const TRect& UserRect) {
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
  TRect Result = UserRect;
  if (UseBuffer()) {
    const Integer W = UserRect.Right - UserRect.Left, H = UserRect.Bottom - UserRect.Top;
    if (!FBitmap) {
      FBitmap = new TBitmap;
      FBitmap->SetIgnorePalette(true);
    }
    TeeSetBitmapSize(FBitmap, W, H);
    FBitmap->Canvas()->OnChange = nullptr;
    FBitmap->Canvas()->OnChanging = nullptr;
    SetReferenceCanvas(FBitmap->Canvas());
    Result = {0, 0, W, H};
  } else {
    SetReferenceCanvas(DestCanvas);
  }
  SetBackMode(cbmOpaque);
  return Result;
}

void TTeeCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) {
  if (UseBuffer() && FBitmap) {
    CopyBufferTo(UserRect.Left, UserRect.Top, DestCanvas);
    FDirty = false;
  }
  SetReferenceCanvas(DefaultCanvas);
}

bool TTeeCanvas3D::ReDrawBitmap() {
  if (FDirty || !FBitmap) return false;
  FCanvas->Draw(0, 0, FBitmap);
  return true;
}

bool TTeeCanvas3D::RenderToBitmap(TBitmap*& ABitmap, const TRect& R) {
  if (FDirty || !UseBuffer() || !FBitmap || R != TRect{0, 0, FBitmap->Width(), FBitmap->Height()}) return false;
  ABitmap->Assign(FBitmap);
  return true;
}

void TTeeCanvas3D::DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                              std::span<const TPoint> Points, double DonutPercent, double StartAngle,
                              double EndAngle) {
  if (Shadow->Smooth() && !Metafiling() && FBitmap)
    TeeDrawSmoothShadow(Shadow, FBitmap, FCanvas, Rect, IsEllipse, RoundSize, Points, DonutPercent);
  else
    TCanvas3D::DrawShadow(Shadow, Rect, IsEllipse, RoundSize, Points, DonutPercent, StartAngle, EndAngle);
}

gdi::HDC TTeeCanvas3D::GetHandle() { return FCanvas->Handle(); }
TColor TTeeCanvas3D::GetBackColor() { return TColor(gdi::GetBkColor(Handle())); }
void TTeeCanvas3D::SetBackColor(TColor Value) { gdi::SetBkColor(Handle(), gdi::COLORREF(Value)); }

TCanvasBackMode TTeeCanvas3D::GetBackMode() {
  return gdi::GetBkMode(Handle()) == gdi::TRANSPARENT ? cbmTransparent : cbmOpaque;
}

void TTeeCanvas3D::SetBackMode(TCanvasBackMode Value) {
  gdi::SetBkMode(Handle(), Value == cbmOpaque ? gdi::OPAQUE : gdi::TRANSPARENT);
}

void TTeeCanvas3D::SetMonochrome(bool Value) {
  if (FMonochrome == Value) return;
  FMonochrome = Value;
  FDirty = true;
  if (F3DOptions) F3DOptions->Repaint();
}

TColor TTeeCanvas3D::GetPixel(Integer X, Integer Y) { return FCanvas->Pixels(X, Y); }
void TTeeCanvas3D::SetPixel(Integer X, Integer Y, TColor Value) {
  gdi::SetPixel(Handle(), X, Y, gdi::COLORREF(ColorToRGB(Value)));
}
Integer TTeeCanvas3D::GetTextAlign() { return Integer(gdi::GetTextAlign(Handle())); }
void TTeeCanvas3D::SetTextAlign(Integer Value) { gdi::SetTextAlign(Handle(), gdi::UINT(Value)); }

void TTeeCanvas3D::SetUseBuffer(bool Value) {
  if (FBufferedDisplay == Value) return;
  FBufferedDisplay = Value;
  if (!FBitmap) return;
  if (Value) {
    SetReferenceCanvas(FBitmap->Canvas());
  } else if (!IKeepBitmap) {
    FreeBitmap();
    SetReferenceCanvas(nullptr);
    FDirty = true;
  }
}

void TTeeCanvas3D::SetFastLineMode(bool On) { IFastLine = On ? Handle() : nullptr; }
void TTeeCanvas3D::FastLineTo(Integer X, Integer Y) { gdi::LineTo(IFastLine, X, Y); }

void TTeeCanvas3D::SetBitmap(TBitmap* Value) { FBitmap = Value; }
void TTeeCanvas3D::FreeBitmap() { FreeAndNil(FBitmap); }

void TTeeCanvas3D::CopyBufferTo(Integer X, Integer Y, TCanvas* Dest) {
  if (auto* C = dynamic_cast<TControlCanvas*>(Dest); C && C->Control() && !C->Control()->Parent()) return;
  gdi::BitBlt(Dest->Handle(), X, Y, FBitmap->Width(), FBitmap->Height(), FBitmap->Canvas()->Handle(), 0, 0,
              gdi::SRCCOPY);
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
