#include "chartlib/canvas/teepath.h"

#include "chartlib/canvas/teecanvas.h"
#include "chartlib/canvas/teefilter.h"
#include "platform/rtl/modules.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/paths.h"

#include <cmath>
#include <numbers>

namespace {

Integer rounded(float V) { return Integer(Round(V)); }

}  // namespace

TTeePath::TTeePath(TTeeCanvas* Canvas) : ICanvas(Canvas) {
  if (gdi::BeginPath(ICanvas->Handle())) return;
  const Cardinal Code = GetLastError();
  throw Exception(QStringLiteral("Cannot create GDI path. Error: ") + IntToStr(Code) + u' ' +
                  SysErrorMessage(int(Code)));
}

void TTeePath::ArcTo(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle) {
  // Path angles turn clockwise on screen (y grows downwards), as the corner
  // outlines give them.  The arc joins the outline from the current point;
  // a canvas Arc by angles would turn the other way and start a figure of
  // its own, leaving the outline open and its corners mirrored.
  const double CX = X + Width * 0.5, CY = Y + Height * 0.5;
  auto At = [&](double Degrees) {
    const double A = Degrees * std::numbers::pi / 180;
    return TPoint{Integer(Round(CX + Width * 0.5 * std::cos(A))), Integer(Round(CY + Height * 0.5 * std::sin(A)))};
  };
  const TPoint Start = At(StartAngle), End = At(double(StartAngle) + SweepAngle);
  if (!IFigure) MoveTo(float(Start.X), float(Start.Y));
  ICanvas->ArcTo(rounded(X), rounded(Y), rounded(X + Width), rounded(Y + Height), Start.X, Start.Y, End.X, End.Y,
                 /*ClockWise=*/SweepAngle > 0);
  IFigure = true;
}

void TTeePath::Close() { gdi::CloseFigure(ICanvas->Handle()); }

void TTeePath::Curve(std::span<const TPoint> Points, float, bool Closed) {
  if (Points.empty()) return;
  const gdi::HDC DC = ICanvas->Handle();
  if (Closed) {
    gdi::Polygon(DC, Points.data(), int(Points.size()));
    gdi::MoveToEx(DC, Points.back().X, Points.back().Y, nullptr);
  } else {
    gdi::PolylineTo(DC, Points.data(), int(Points.size()));
  }
}

void TTeePath::Draw(TTeeCanvas* ACanvas) {
  const gdi::HDC DC = ICanvas->Handle();
  gdi::EndPath(DC);
  const bool PenVisible = ACanvas->Pen()->Visible();
  TTeeBrush* Brush = ACanvas->Brush();
  bool Fill = Brush->Style() != bsClear;
  // pictures and gradients fill the clip box of the path, then only the
  // outline is left to stroke
  auto FillClipped = [&](auto Paint) {
    const int Saved = gdi::SaveDC(DC);
    gdi::SelectClipPath(DC, gdi::RGN_COPY);
    gdi::RECT Box;
    gdi::GetClipBox(DC, &Box);
    Paint(Box);
    gdi::RestoreDC(DC, Saved);
    Fill = false;
  };
  if (Brush->HasImage())
    FillClipped([&](const TRect& Box) { ACanvas->ReferenceCanvas()->StretchDraw(Box, Brush->Image()->Filtered()); });
  if (Brush->Style() != bsClear && Brush->IsGradientVisible())
    FillClipped([&](const TRect& Box) {
      ACanvas->Gradient()->Assign(Brush->Gradient());
      ACanvas->FillRect(Box);
    });
  if (Fill && PenVisible)
    gdi::StrokeAndFillPath(DC);
  else if (PenVisible)
    gdi::StrokePath(DC);
  else if (Fill)
    gdi::FillPath(DC);
}

void TTeePath::GetPoints(TPathPointTypes& Types, TPointFloatArray& Points, TRectF&) {
  Types.clear();
  Points.clear();
}

void TTeePath::LineTo(float X, float Y) {
  gdi::LineTo(ICanvas->Handle(), rounded(X), rounded(Y));
  IFigure = true;
}

void TTeePath::MoveTo(float X, float Y) {
  gdi::MoveToEx(ICanvas->Handle(), rounded(X), rounded(Y), nullptr);
  IFigure = true;
}

void TTeePath::TextOut(float X, float Y, const String& Text) { ICanvas->TextOut(rounded(X), rounded(Y), Text); }
