// TTeeGDIPlusPath, the canvas's path operations and the GDI+ unit.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/canvasunit.h"

#include <algorithm>
#include <cassert>

using namespace gdiplus;

// ---------------------------------------------------------------------------
// TTeeGDIPlusPath

TTeeGDIPlusPath::TTeeGDIPlusPath(TGDIPlusCanvas* ACanvas)
    : ICanvas(ACanvas), IPath(std::make_unique<GraphicsPath>(FillModeAlternate)) {}

TTeeGDIPlusPath::~TTeeGDIPlusPath() = default;

void TTeeGDIPlusPath::SetPoints(const TPointFloatArray& Points, const TPathPointTypes& Types) {
  std::vector<PointF> P;
  for (const TPointFloat& Q : Points) P.emplace_back(Q.x, Q.y);
  IPath = std::make_unique<GraphicsPath>(P.data(), Types.data(), INT(std::min(P.size(), Types.size())),
                                         FillModeAlternate);
}

void TTeeGDIPlusPath::ArcTo(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle) {
  IPath->AddArc(X, Y, Width, Height, StartAngle, SweepAngle);
}

void TTeeGDIPlusPath::Close() { IPath->CloseFigure(); }

void TTeeGDIPlusPath::Curve(std::span<const TPoint> Points, float Tension, bool Closed) {
  if (Points.empty()) return;
  std::vector<gdiplus::Point> P;
  for (const TPoint& Q : Points) P.emplace_back(Q.X, Q.Y);
  if (Closed)
    IPath->AddClosedCurve(P.data(), INT(P.size()), Tension);
  else
    IPath->AddCurve(P.data(), INT(P.size()), Tension);
  FX = float(Points.back().X);
  FY = float(Points.back().Y);
}

void TTeeGDIPlusPath::Draw(TTeeCanvas* ACanvas) {
  auto* Canvas = dynamic_cast<TGDIPlusCanvas*>(ACanvas);
  assert(Canvas && "a GDI+ path draws only on a GDI+ canvas");
  if (Canvas) Canvas->Path(IPath.get());
}

void TTeeGDIPlusPath::GetPoints(TPathPointTypes& Types, TPointFloatArray& Points, TRectF& Bounds) {
  const INT Count = IPath->GetPointCount();
  Types.assign(size_t(Count), 0);
  std::vector<PointF> P(static_cast<size_t>(Count));
  if (Count > 0) {
    IPath->GetPathTypes(Types.data(), Count);
    IPath->GetPathPoints(P.data(), Count);
  }
  Points.clear();
  for (const PointF& Q : P) Points.push_back({Q.X, Q.Y});
  RectF B;
  IPath->GetBounds(&B);
  Bounds = {B.X, B.Y, B.X + B.Width, B.Y + B.Height};
}

void TTeeGDIPlusPath::LineTo(float X, float Y) {
  IPath->AddLine(FX, FY, X, Y);
  FX = X;
  FY = Y;
}

void TTeeGDIPlusPath::MoveTo(float X, float Y) {
  FX = X;
  FY = Y;
}

void TTeeGDIPlusPath::TextOut(float X, float Y, const String& Text) {
  ICanvas->GetGraphics();  // makes the GDI+ font when there is none yet
  if (!ICanvas->FGPFont) return;
  FontFamily Family;
  ICanvas->FGPFont->GetFamily(&Family);
  IPath->AddString(Text.constData(), INT(Text.size()), &Family, FontStyleRegular, REAL(-ICanvas->Font()->Height()),
                   PointF(X, Y), nullptr);
}

// ---------------------------------------------------------------------------
// canvas operations

TTeeBasePath* TGDIPlusCanvas::CreatePath(const TPointFloatArray& Points, const TPathPointTypes& Types) {
  auto* P = new TTeeGDIPlusPath(this);
  if (!Points.empty()) P->SetPoints(Points, Types);
  return P;
}

// The pen's gradient spans the path's points, never the origin.
void TGDIPlusCanvas::Path(GraphicsPath* P) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G || !P) return;
  std::vector<PointF> Points(size_t(P->GetPointCount()));
  if (!Points.empty()) P->GetPathPoints(Points.data(), INT(Points.size()));
  TPointFloatArray Floats;
  for (const PointF& Q : Points) Floats.push_back({Q.X, Q.Y});
  if (FBrush->Style() != bsClear) {
    FGPBrush.reset();
    FGPBrush = IsBrushGradientVisible() ? CreatePathGradient(FBrush, Floats) : CreatePlainBrush(FBrush, Transparency);
    G->FillPath(FGPBrush.get(), P);
  }
  if (PreparePenFill(Floats)) G->DrawPath(FGPPen.get(), P);
}

// ---------------------------------------------------------------------------
// the unit

void InitializeGDIPlusCanvas() {
  TeeActivateClassGroup();
  TeeCanvasClassList().push_back(Canvas3DMeta(TGDIPlusCanvas::StaticClass()));
}

void FinalizeGDIPlusCanvas() {
  auto& Classes = TeeCanvasClassList();
  if (auto It = std::find(Classes.begin(), Classes.end(), Canvas3DMeta(TGDIPlusCanvas::StaticClass()));
      It != Classes.end())
    Classes.erase(It);
}
