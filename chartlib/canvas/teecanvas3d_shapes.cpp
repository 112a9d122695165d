// The GDI canvas's 2D shapes, pictures, pixels and clipping.
#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teeresample.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/paths.h"
#include "platform/ui/graphics/regions.h"

#include <cmath>
#include <memory>

namespace {

// A full turn minus this many radians still draws a whole donut.
constexpr double DonutFullTurn = 6.2731853071795864;

TPoint roundedPoint(TPointFloat P) { return {Integer(Round(P.x)), Integer(Round(P.y))}; }

TPointArray roundedPoints(std::span<const TPointFloat> Points) {
  TPointArray Result;
  Result.reserve(Points.size());
  for (const TPointFloat& P : Points) Result.push_back(roundedPoint(P));
  return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// shapes

bool TTeeCanvas3D::fillShape(const TRect& Rect, const std::function<void()>& Clip) {
  // a rectangle needs no clip: then none is pushed and none may be popped
  auto Clipped = [&](auto Fill) {
    if (Clip) Clip();
    Fill();
    if (Clip) UnClip();
    FCanvas->Brush()->SetStyle(bsClear);
  };
  if (FBrush->HasImage()) Clipped([&] { FCanvas->StretchDraw(Rect, FBrush->Image()->Filtered()); });
  if (!IsBrushGradientVisible()) return false;
  Clipped([&] { GradientFill(FBrush->Gradient(), Rect); });
  return true;
}

void TTeeCanvas3D::Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1) {
  const bool Gradient = fillShape({X0, Y0, X1, Y1}, nullptr);
  FCanvas->Rectangle(X0, Y0, X1, Y1);
  if (Gradient) FCanvas->Brush()->SetStyle(FBrush->Style());
}

void TTeeCanvas3D::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  const TRect R{X1, Y1, X2, Y2};
  const bool Gradient = fillShape(R, [&] { ClipRectangle(R, X3, Y3); });
  FCanvas->RoundRect(X1, Y1, X2, Y2, X3, Y3);
  if (Gradient) FCanvas->Brush()->SetStyle(FBrush->Style());
}

void TTeeCanvas3D::Polygon(std::span<const TPoint> Points) {
  if (FBrush->HasImage() || IsBrushGradientVisible())
    fillShape(TeePolygonBounds(Points), [&] { ClipPolygon(Points, Integer(Points.size()), /*DiffRegion=*/false); });
  FCanvas->Polygon(Points);
}

void TTeeCanvas3D::PolygonFloat(std::span<const TPointFloat> Points) { Polygon(roundedPoints(Points)); }
void TTeeCanvas3D::PolygonFour() { Polygon(IPoints); }

void TTeeCanvas3D::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  if (FBrush->Style() != FCanvas->Brush()->Style()) ApplyBrush(FBrush);
  const bool Gradient = IsBrushGradientVisible();
  const TBrushStyle Saved = FCanvas->Brush()->Style();
  if (Gradient) {
    const TRect R{X1, Y1, X2 + 1, Y2 + 1};
    ClipEllipse(R, /*Inverted=*/false);
    GradientFill(FBrush->Gradient(), R);
    UnClip();
    FCanvas->Brush()->SetStyle(bsClear);
  }
  FCanvas->Ellipse(X1, Y1, X2, Y2);
  if (Gradient) FCanvas->Brush()->SetStyle(Saved);
}

void TTeeCanvas3D::Pie(const TRect& R, double StartAngle, double EndAngle) {
  const double Sweep = std::abs(EndAngle - StartAngle - 360);
  if (Sweep < 0.05) {
    Ellipse(R);
    return;
  }
  const double CX = (R.Left + R.Right) * 0.5, CY = (R.Top + R.Bottom) * 0.5;
  auto PointAt = [&](double Degrees) {
    const double T = Degrees * 0.017453292519943295;
    return TPoint{Integer(Round(CX + (R.Right - R.Left) * std::cos(T) * 0.5)),
                  Integer(Round(CY - (R.Bottom - R.Top) * std::sin(T) * 0.5))};
  };
  const TPoint Start = PointAt(StartAngle), End = PointAt(EndAngle);
  if (Start != End) {
    Pie(R.Left, R.Top, R.Right, R.Bottom, Start.X, Start.Y, End.X, End.Y);
    return;
  }
  // the slice is too small to tell its ends apart: show one radius
  if (Sweep < 1)
    Ellipse(R);
  else
    Pie(R.Left, R.Top, R.Right, R.Bottom, Start.X, Start.Y, End.X, End.Y);
  Line(Integer(Round(CX)), Integer(Round(CY)), Start.X, Start.Y);
}

void TTeeCanvas3D::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
                       Integer Y4) {
  const bool Gradient = IsBrushGradientVisible();
  if (Gradient) {
    const gdi::HDC DC = Handle();
    gdi::BeginPath(DC);
    gdi::Pie(DC, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    gdi::EndPath(DC);
    PushClipRegion(DC, gdi::PathToRegion(DC), gdi::RGN_AND);
    GradientFill(FBrush->Gradient(), {X1, Y1, X2, Y2});
    UnClip();
    FCanvas->Brush()->SetStyle(bsClear);
  }
  if (X3 != X4 || Y3 != Y4) FCanvas->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  if (Gradient) FCanvas->Brush()->SetStyle(FBrush->Style());
}

void TTeeCanvas3D::Donut(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, double StartAngle,
                         double EndAngle, double HolePercent) {
  auto OnEllipse = [&](double AX, double AY, double Angle) {
    return TPoint{XCenter + Integer(Round(AX * std::cos(Angle))), YCenter - Integer(Round(AY * std::sin(Angle)))};
  };
  const TPoint Ps = OnEllipse(XRadius, YRadius, StartAngle), Pe = OnEllipse(XRadius, YRadius, EndAngle);
  const double HX = HolePercent * XRadius * 0.01, HY = HolePercent * YRadius * 0.01;
  const TRect Outer{XCenter - XRadius, YCenter - YRadius, XCenter + XRadius, YCenter + YRadius};
  const gdi::HDC DC = Handle();
  auto BuildPath = [&] {
    gdi::BeginPath(DC);
    gdi::MoveToEx(DC, Ps.X, Ps.Y, nullptr);
    if (Ps != Pe || std::abs(EndAngle - StartAngle) > DonutFullTurn) {
      if (HolePercent != 0) {
        ArcTo(Outer.Left, Outer.Top, Outer.Right, Outer.Bottom, Ps.X, Ps.Y, Pe.X, Pe.Y, /*ClockWise=*/false);
        const TPoint InnerEnd = OnEllipse(HX, HY, EndAngle);
        gdi::LineTo(DC, InnerEnd.X, InnerEnd.Y);
        const Integer RX = Integer(Round(HX)), RY = Integer(Round(HY));
        ArcTo(XCenter - RX, YCenter - RY, XCenter + RX, YCenter + RY, Pe.X, Pe.Y, Ps.X, Ps.Y, /*ClockWise=*/true);
        gdi::LineTo(DC, Ps.X, Ps.Y);
      } else {
        gdi::Pie(DC, Outer.Left, Outer.Top, Outer.Right, Outer.Bottom, Ps.X, Ps.Y, Pe.X, Pe.Y);
      }
    } else {
      gdi::LineTo(DC, Pe.X, Pe.Y);
    }
    gdi::EndPath(DC);
  };
  // the path is stroked and filled straight on the DC: select the canvas's
  // pen and brush first
  gdi::SelectObject(DC, FCanvas->Pen()->Handle());
  gdi::SelectObject(DC, FCanvas->Brush()->Handle());
  BuildPath();
  if (IsBrushGradientVisible()) {
    PushClipRegion(DC, gdi::PathToRegion(DC), gdi::RGN_AND);
    GradientFill(FBrush->Gradient(), Outer);
    UnClip();
    BuildPath();
    gdi::StrokePath(DC);
  } else {
    gdi::StrokeAndFillPath(DC);
  }
}

void TTeeCanvas3D::FillRect(const TRect& Rect) {
  if (IsBrushGradientVisible())
    GradientFill(FBrush->Gradient(), Rect);
  else
    FCanvas->FillRect(Rect);
}

void TTeeCanvas3D::Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY,
                       Integer EndX, Integer EndY) {
  FCanvas->Arc(Left, Top, Right, Bottom, StartX, StartY, EndX, EndY);
}

void TTeeCanvas3D::LineTo(Integer X, Integer Y) { FCanvas->LineTo(X, Y); }
void TTeeCanvas3D::MoveTo(Integer X, Integer Y) { FCanvas->MoveTo(X, Y); }
void TTeeCanvas3D::Polyline(std::span<const TPoint> Points) { FCanvas->Polyline(Points); }
void TTeeCanvas3D::PolylineFloat(std::span<const TPointFloat> Points) { Polyline(roundedPoints(Points)); }

void TTeeCanvas3D::PolylineFloat(std::span<const TPoint3D> Points) {
  TPointFloatArray Projected;
  Projected.reserve(Points.size());
  for (const TPoint3D& P : Points) {
    TPointFloat F{float(P.x), float(P.y)};
    Calculate3DPosition(F, float(P.z));
    Projected.push_back(F);
  }
  PolylineFloat(std::span<const TPointFloat>(Projected));
}

// ---------------------------------------------------------------------------
// pictures

TBitmap* TTeeCanvas3D::composeTransparent(const TRect& Rect, TGraphic* Graphic) {
  auto* Result = new TBitmap;
  Result->SetPixelFormat(pf32bit);
  Result->SetSize(Rect.Width(), Rect.Height());
  const TRect Local = TeeSizeRect(Rect.Width(), Rect.Height());
  if (FBitmap) Result->Canvas()->CopyRect(Local, FBitmap->Canvas(), Rect);
  Result->Canvas()->StretchDraw(Local, Graphic);
  return Result;
}

void TTeeCanvas3D::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  if (!Graphic->Transparent()) {
    FCanvas->Draw(X, Y, Graphic);
    return;
  }
  std::unique_ptr<TBitmap> Composed(
      composeTransparent({X, Y, X + Graphic->Width(), Y + Graphic->Height()}, Graphic));
  FCanvas->Draw(X, Y, Composed.get());
}

void TTeeCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic) return;
  auto* AsBitmap = dynamic_cast<TBitmap*>(Graphic);
  if (FStretchQuality == sqLow) {
    if (!Graphic->Transparent()) {
      FCanvas->StretchDraw(Rect, Graphic);
      return;
    }
    std::unique_ptr<TBitmap> Composed(composeTransparent(Rect, Graphic));
    FCanvas->StretchDraw(Rect, Composed.get());
    return;
  }
  if (Graphic->Transparent() && !AsBitmap) {
    std::unique_ptr<TBitmap> Composed(composeTransparent(Rect, Graphic));
    FCanvas->Draw(Rect.Left, Rect.Top, Composed.get());
    return;
  }
  std::unique_ptr<TBitmap> Owned;
  TBitmap* Source = AsBitmap;
  if (!Source) {
    Owned = std::make_unique<TBitmap>();
    if (dynamic_cast<TMetafile*>(Graphic)) {
      Owned->SetSize(Graphic->Width(), Graphic->Height());
      Owned->Canvas()->Draw(0, 0, Graphic);
    } else {
      Owned->Assign(Graphic);
    }
    Source = Owned.get();
  }
  TBitmap Stretched;
  Stretched.SetSize(std::abs(Rect.Right - Rect.Left), std::abs(Rect.Bottom - Rect.Top));
  TeeSmoothStretch(Source, &Stretched);
  FCanvas->Draw(Rect.Left, Rect.Top, &Stretched);
}

// ---------------------------------------------------------------------------
// pixels, clipping, the DC brush

TColor TTeeCanvas3D::GetPixel3D(Integer X, Integer Y, Integer Z) {
  Calc3DPos(X, Y, Z);
  return GetPixel(X, Y);
}

void TTeeCanvas3D::SetPixel3D(Integer X, Integer Y, Integer Z, TColor Value) {
  Calc3DPos(X, Y, Z);
  if (FPen->Width() == 1) {
    SetPixel(X, Y, Value);
    return;
  }
  FCanvas->MoveTo(X, Y);
  FCanvas->LineTo(X, Y);
}

void TTeeCanvas3D::ClipCube(const TRect& Rect, Integer MinZ, Integer MaxZ) {
  if (FIs3D) {
    const TPointArray Hull = CubeHull(Rect, MinZ, MaxZ);
    ClipPolygon(Hull, Integer(Hull.size()), /*DiffRegion=*/false);
  } else {
    ClipRectangle(TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1});
  }
}

bool TTeeCanvas3D::SelectDCBrush() {
  if (!TeeSetDCBrushColorProc()) return false;
  gdi::SelectObject(Handle(), gdi::GetStockObject(gdi::DC_BRUSH));
  return true;
}
