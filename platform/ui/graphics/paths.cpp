#include "platform/ui/graphics/paths.h"

#include "platform/rtl/modules.h"
#include "platform/ui/graphics/paths_p.h"
#include "platform/ui/graphics/regions.h"

#include <cmath>

namespace gdi {

using namespace detail;

namespace {

using TPathState = TDCState::TPathState;

// The DC when its path is in State, else nullptr (and nothing changes).
TDC* pathDC(HDC DC, TPathState State) {
  TDC* D = FindDC(DC);
  return D && D->State.PathState == State ? D : nullptr;
}

void dropPath(TDC& D) {
  D.State.Path = QPainterPath();
  D.State.PathState = TPathState::None;
}

bool drawEnded(HDC DC, const char* Name, bool Stroke, bool Fill) {
  TDC* D = pathDC(DC, TPathState::Ended);
  if (!D) return false;
  Record(*D, Name, {}, 0, (Stroke ? ruPen | ruRop : 0u) | (Fill ? ruBrush : 0u));
  DrawPath(*D, D->State.Path, Stroke, Fill);
  dropPath(*D);
  return true;
}

// The path's interior in device coordinates.
QRegion deviceInterior(TDC& D) {
  bool Invertible = true;
  const QTransform ToDevice = D.DeviceToSurface().inverted(&Invertible);
  return Invertible ? ToDevice.map(PathInterior(D, D.State.Path)) : QRegion();
}

}  // namespace

namespace detail {

bool PathOpen(HDC DC) {
  const TDC* D = FindDC(DC);
  return D && PathOpen(*D);
}

void PathMoveTo(TDC& D, TPoint Logical) {
  const TPoint P = D.LogicalToSurface(Logical.X, Logical.Y);
  D.State.Path.moveTo(P.X, P.Y);
}

bool PathEndsAt(const TDC& D, TPoint P) {
  const QPainterPath& Path = D.State.Path;
  if (Path.elementCount() == 0) return false;
  const QPointF Delta = Path.currentPosition() - QPointF(P.X, P.Y);
  return std::abs(Delta.x()) <= 0.5 && std::abs(Delta.y()) <= 0.5;
}

void PathLineTo(TDC& D, TPoint From, TPoint To) {
  QPainterPath& Path = D.State.Path;
  if (!PathEndsAt(D, From)) Path.moveTo(From.X, From.Y);
  Path.lineTo(To.X, To.Y);
}

void PathAddFigure(TDC& D, const QPainterPath& Outline) { D.State.Path.addPath(Outline); }

void PathAddRegion(HDC DC, const QRegion& Pixels) {
  TDC* D = FindDC(DC);
  if (!D || !PathOpen(*D)) return;
  for (const QRect& R : Pixels) D->State.Path.addRect(QRectF(R));
}

}  // namespace detail

BOOL BeginPath(HDC DC) {
  TDC* D = FindDC(DC);
  if (!D) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  Record(*D, "BeginPath", {}, 0, 0);
  D->State.Path = QPainterPath();
  D->State.PathState = TPathState::Open;
  return 1;
}

BOOL EndPath(HDC DC) {
  TDC* D = pathDC(DC, TPathState::Open);
  if (!D) return 0;
  Record(*D, "EndPath", {}, 0, 0);
  D->State.PathState = TPathState::Ended;
  return 1;
}

BOOL AbortPath(HDC DC) {
  TDC* D = FindDC(DC);
  if (!D) return 0;
  Record(*D, "AbortPath", {}, 0, 0);
  dropPath(*D);
  return 1;
}

BOOL CloseFigure(HDC DC) {
  TDC* D = pathDC(DC, TPathState::Open);
  if (!D) return 0;
  Record(*D, "CloseFigure", {}, 0, 0);
  D->State.Path.closeSubpath();
  return 1;
}

BOOL StrokePath(HDC DC) { return drawEnded(DC, "StrokePath", /*Stroke=*/true, /*Fill=*/false); }
BOOL FillPath(HDC DC) { return drawEnded(DC, "FillPath", /*Stroke=*/false, /*Fill=*/true); }
BOOL StrokeAndFillPath(HDC DC) { return drawEnded(DC, "StrokeAndFillPath", /*Stroke=*/true, /*Fill=*/true); }

BOOL WidenPath(HDC DC) {
  TDC* D = pathDC(DC, TPathState::Ended);
  if (!D) return 0;
  Record(*D, "WidenPath", {}, 0, ruPen);
  D->State.Path = WidenedPath(*D, D->State.Path);
  return 1;
}

BOOL SelectClipPath(HDC DC, int Mode) {
  TDC* D = pathDC(DC, TPathState::Ended);
  if (!D || Mode < RGN_AND || Mode > RGN_COPY) return 0;
  Record(*D, "SelectClipPath", {Mode}, 0, 0);
  const HRGN Region = CreateRgnFromRegion(deviceInterior(*D));
  dropPath(*D);
  ExtSelectClipRgn(DC, Region, Mode);
  DeleteObject(Region);
  return 1;
}

HRGN PathToRegion(HDC DC) {
  TDC* D = pathDC(DC, TPathState::Ended);
  if (!D) return nullptr;
  Record(*D, "PathToRegion", {}, 0, 0);
  const HRGN Region = CreateRgnFromRegion(deviceInterior(*D));
  dropPath(*D);
  return Region;
}

}  // namespace gdi
