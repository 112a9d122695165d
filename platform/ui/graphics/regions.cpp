#include "platform/ui/graphics/regions.h"

#include "platform/ui/graphics/raster_p.h"

#include <QPainterPath>
#include <QRegion>

namespace gdi {

using namespace detail;

namespace {

HRGN addRegion(QRegion Region) {
  auto R = std::make_unique<TRegionObject>();
  R->Region = std::move(Region);
  return static_cast<HRGN>(AddObject(std::move(R)));
}

// The pixels whose centres lie inside Path, as a region in canonical form:
// rows with equal spans join into one band.
QRegion pathRegion(const QPainterPath& Path, Qt::FillRule Rule) {
  const QRect Bounds = Path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
  TSpans Spans;
  AppendPathSpans(Spans, Path, Rule, Bounds);

  std::vector<QRect> Rects;
  size_t Row = 0;
  while (Row < Spans.size()) {
    size_t RowEnd = Row;
    while (RowEnd < Spans.size() && Spans[RowEnd].Y == Spans[Row].Y) ++RowEnd;
    // grow the band while the next rows have the same spans
    int Height = 1;
    size_t Next = RowEnd;
    for (;;) {
      size_t NextEnd = Next;
      while (NextEnd < Spans.size() && Spans[NextEnd].Y == Spans[Next].Y) ++NextEnd;
      const bool Same = Next < Spans.size() && Spans[Next].Y == Spans[Row].Y + Height &&
                        NextEnd - Next == RowEnd - Row &&
                        std::equal(Spans.begin() + Next, Spans.begin() + NextEnd, Spans.begin() + Row,
                                   [](const TSpan& A, const TSpan& B) { return A.X0 == B.X0 && A.X1 == B.X1; });
      if (!Same) break;
      ++Height;
      Next = NextEnd;
    }
    for (size_t I = Row; I < RowEnd; ++I) Rects.emplace_back(Spans[I].X0, Spans[I].Y, Spans[I].X1 - Spans[I].X0, Height);
    Row = Next;
  }
  QRegion Result;
  if (!Rects.empty()) Result.setRects(Rects.data(), int(Rects.size()));
  return Result;
}

QRect rectOf(int Left, int Top, int Right, int Bottom) {
  const TRect R = NormalizedRect({Left, Top, Right, Bottom});
  return QRect(R.Left, R.Top, R.Width(), R.Height());
}

}  // namespace

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
  return addRegion(QRegion(rectOf(Left, Top, Right, Bottom)));
}

HRGN CreateRectRgnIndirect(const RECT& Rect) { return CreateRectRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height) {
  const QRectF Box(rectOf(Left, Top, Right, Bottom));
  QPainterPath Path;
  Path.addRoundedRect(Box, std::min<double>(std::abs(Width), Box.width()) / 2,
                      std::min<double>(std::abs(Height), Box.height()) / 2);
  return addRegion(pathRegion(Path, Qt::WindingFill));
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
  QPainterPath Path;
  Path.addEllipse(QRectF(rectOf(Left, Top, Right, Bottom)));
  return addRegion(pathRegion(Path, Qt::WindingFill));
}

HRGN CreateEllipticRgnIndirect(const RECT& Rect) {
  return CreateEllipticRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int Mode) {
  if (!Points || Count < 3 || (Mode != ALTERNATE && Mode != WINDING)) return nullptr;
  QPolygonF Polygon;
  for (int I = 0; I < Count; ++I) Polygon << QPointF(Points[I].X, Points[I].Y);
  QPainterPath Path;
  Path.addPolygon(Polygon);
  Path.closeSubpath();
  return addRegion(pathRegion(Path, Mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

int CombineRgn(HRGN Dest, HRGN A, HRGN B, int Mode) {
  TRegionObject* D = FindRegion(Dest);
  TRegionObject* RA = FindRegion(A);
  TRegionObject* RB = Mode == RGN_COPY ? RA : FindRegion(B);
  if (!D || !RA || !RB) return ERROR;
  switch (Mode) {
    case RGN_AND: D->Region = RA->Region & RB->Region; break;
    case RGN_OR: D->Region = RA->Region | RB->Region; break;
    case RGN_XOR: D->Region = RA->Region ^ RB->Region; break;
    case RGN_DIFF: D->Region = RA->Region - RB->Region; break;
    case RGN_COPY: D->Region = RA->Region; break;
    default: return ERROR;
  }
  return RegionType(D->Region);
}

int OffsetRgn(HRGN Region, int DX, int DY) {
  TRegionObject* R = FindRegion(Region);
  if (!R) return ERROR;
  R->Region.translate(DX, DY);
  return RegionType(R->Region);
}

int GetRgnBox(HRGN Region, RECT* Box) {
  TRegionObject* R = FindRegion(Region);
  if (!R || !Box) return ERROR;
  const QRect B = R->Region.boundingRect();
  *Box = R->Region.isEmpty() ? TRect{} : TRect{B.left(), B.top(), B.left() + B.width(), B.top() + B.height()};
  return RegionType(R->Region);
}

BOOL PtInRegion(HRGN Region, int X, int Y) {
  TRegionObject* R = FindRegion(Region);
  return R && R->Region.contains(QPoint(X, Y));
}

BOOL RectInRegion(HRGN Region, const RECT* Rect) {
  TRegionObject* R = FindRegion(Region);
  return R && Rect && R->Region.intersects(rectOf(Rect->Left, Rect->Top, Rect->Right, Rect->Bottom));
}

BOOL EqualRgn(HRGN A, HRGN B) {
  TRegionObject* RA = FindRegion(A);
  TRegionObject* RB = FindRegion(B);
  return RA && RB && RA->Region == RB->Region;
}

BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom) {
  TRegionObject* R = FindRegion(Region);
  if (!R) return 0;
  R->Region = QRegion(rectOf(Left, Top, Right, Bottom));
  return 1;
}

QRegion RegionOf(HRGN Region) {
  TRegionObject* R = FindRegion(Region);
  return R ? R->Region : QRegion();
}

HRGN CreateRgnFromRegion(const QRegion& Region) { return addRegion(Region); }

}  // namespace gdi
