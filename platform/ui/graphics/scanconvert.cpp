// Scan conversion of filled paths into spans, and span-set arithmetic for
// shapes (declared in raster_p.h).
//
// The pixel rules are those of the aliased raster fill the device has always
// used, kept bit for bit so that no edge pixel moves:
// - curves are flattened by halving until a segment deviates from its chord
//   by less than CurveTolerance (at most MaxCurveDepth halvings);
// - vertices are rounded to 1/64 pixel (26.6 fixed point);
// - an edge crosses the rows whose centres lie in (top, bottom];
// - on each row an edge's X (16.16 fixed point, the row centre's crossing
//   plus half a pixel, stepped by its truncated slope from its first row)
//   truncates to the first pixel right of it: a centre exactly on a left
//   edge is outside, on a right edge inside;
// - a pixel is filled when the windings of the crossings at or left of it
//   sum to an odd number (alternate) or to non-zero (winding).
// Because X is stepped from an edge's first row, that row depends on the
// clip's top: callers pass the same clip rectangle for the same pixels.
#include "platform/ui/graphics/raster_p.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace gdi::detail {

namespace {

// 64 bits: far-off vertices (a zoomed chart) must not overflow; values in
// 32-bit range give the same results as 32-bit arithmetic
using TFixed = qint64;  // 16.16
using TPos = qint64;    // 26.6
constexpr TFixed FixedOne = 1 << 16;
constexpr int PosOne = 64;
constexpr qreal CurveTolerance = 0.25;
constexpr int MaxCurveDepth = 9;

TPos toPos(qreal V) { return qRound64(V * PosOne); }

struct TEdge {
  int Top;
  int Bottom;   // inclusive
  TFixed X;     // at row Top, half a pixel added
  TFixed Delta; // per row
  int Winding;
};

struct TCrossing {
  int X;
  int Winding;
};

struct TCubic {
  QPointF P1, P2, P3, P4;
};

// Flattens C into Out (its end points, not its start), halving until each
// piece is flat enough.
void appendCubic(std::vector<QPointF>& Out, const TCubic& C) {
  TCubic Stack[MaxCurveDepth + 1];
  int Depth[MaxCurveDepth + 1];
  Stack[0] = C;
  Depth[0] = MaxCurveDepth;
  int Top = 0;
  while (Top >= 0) {
    TCubic& B = Stack[Top];
    const qreal DY = B.P4.y() - B.P1.y(), DX = B.P4.x() - B.P1.x();
    qreal Length = std::abs(DX) + std::abs(DY);
    qreal Deviation;
    if (Length > 1) {
      Deviation = std::abs(DX * (B.P1.y() - B.P2.y()) - DY * (B.P1.x() - B.P2.x())) +
                  std::abs(DX * (B.P1.y() - B.P3.y()) - DY * (B.P1.x() - B.P3.x()));
    } else {
      Deviation = std::abs(B.P1.x() - B.P2.x()) + std::abs(B.P1.y() - B.P2.y()) + std::abs(B.P1.x() - B.P3.x()) +
                  std::abs(B.P1.y() - B.P3.y());
      Length = 1;
    }
    if (Deviation < CurveTolerance * Length || Depth[Top] == 0) {
      Out.push_back(B.P4);
      --Top;
      continue;
    }
    // the first half goes on top, the second replaces B
    TCubic& First = Stack[Top + 1];
    const QPointF Mid = (B.P2 + B.P3) * 0.5;
    First.P1 = B.P1;
    First.P2 = (B.P1 + B.P2) * 0.5;
    const QPointF SecondP3 = (B.P3 + B.P4) * 0.5;
    First.P3 = (First.P2 + Mid) * 0.5;
    const QPointF SecondP2 = (SecondP3 + Mid) * 0.5;
    First.P4 = (First.P3 + SecondP2) * 0.5;
    B = {First.P4, SecondP2, SecondP3, B.P4};
    Depth[Top + 1] = --Depth[Top];
    ++Top;
  }
}

// The closed figures of Path as polygons (each ends at its start).
std::vector<std::vector<QPointF>> figuresOf(const QPainterPath& Path) {
  std::vector<std::vector<QPointF>> Figures;
  const int Count = Path.elementCount();
  for (int I = 0; I < Count; ++I) {
    const QPainterPath::Element E = Path.elementAt(I);
    if (E.isMoveTo()) {
      if (I == Count - 1) break;  // a trailing move starts nothing
      Figures.emplace_back().push_back(QPointF(E.x, E.y));
      continue;
    }
    if (Figures.empty()) Figures.emplace_back().push_back(QPointF(0, 0));
    std::vector<QPointF>& F = Figures.back();
    if (E.isLineTo()) {
      F.push_back(QPointF(E.x, E.y));
    } else if (E.isCurveTo() && I + 2 < Count) {
      const QPainterPath::Element C2 = Path.elementAt(I + 1), End = Path.elementAt(I + 2);
      appendCubic(F, {F.back(), QPointF(E.x, E.y), QPointF(C2.x, C2.y), QPointF(End.x, End.y)});
      I += 2;
    }
  }
  for (std::vector<QPointF>& F : Figures)
    if (F.back() != F.front()) F.push_back(F.front());
  return Figures;
}

// Insertion sort for the few crossings of a row, std::sort for the long
// rows of a horizontal line.
template <class T, class Less>
void sortFew(T* First, T* Last, Less L) {
  constexpr std::ptrdiff_t Few = 16;
  if (Last - First > Few) {
    std::sort(First, Last, L);
    return;
  }
  for (T* I = First + 1; I < Last; ++I)
    for (T* J = I; J > First && L(*J, J[-1]); --J) std::swap(*J, J[-1]);
}

template <class T>
void sortFew(T* First, T* Last) {
  sortFew(First, Last, std::less<T>());
}

class TScanConverter {
public:
  TScanConverter(const QRect& Clip, Qt::FillRule Rule)
      : FClip(Clip), FRuleMask(Rule == Qt::WindingFill ? ~0 : 1) {}

  void AddLine(TPos AX, TPos AY, TPos BX, TPos BY) {
    int Winding = 1;
    if (AY > BY) {
      std::swap(AX, BX);
      std::swap(AY, BY);
      Winding = -1;
    }
    const int Top = std::max(FClip.top(), int((AY + PosOne / 2) >> 6));
    const int Bottom = std::min(FClip.bottom(), int((BY - PosOne / 2) >> 6));
    if (Top > Bottom) return;
    const TFixed AX16 = FixedOne / 2 + AX * (FixedOne / PosOne);
    TEdge E{Top, Bottom, AX16, 0, Winding};
    if (BX != AX) {
      E.Delta = TFixed(qreal(BX - AX) / qreal(BY - AY) * FixedOne);
      const TFixed RowFromA = TFixed(Top) * FixedOne + FixedOne / 2 - AY * (FixedOne / PosOne);
      E.X = AX16 + ((E.Delta * RowFromA) >> 16);
    }
    FEdges.push_back(E);
  }

  void AppendSpans(TSpans& Out) {
    if (FEdges.empty()) return;
    std::sort(FEdges.begin(), FEdges.end(), [](const TEdge& A, const TEdge& B) { return A.Top < B.Top; });
    std::vector<TEdge*> Active;
    std::vector<TCrossing> Row;
    size_t Next = 0;
    int Y = FEdges.front().Top;
    while (Next < FEdges.size() || !Active.empty()) {
      if (Active.empty()) Y = std::max(Y, FEdges[Next].Top);
      for (; Next < FEdges.size() && FEdges[Next].Top <= Y; ++Next) Active.push_back(&FEdges[Next]);
      Row.clear();
      for (TEdge* E : Active) {
        // crossings beyond the clip only count their windings
        Row.push_back({int(std::clamp<TFixed>(E->X >> 16, FClip.left() - 1, FClip.right() + 1)), E->Winding});
        E->X += E->Delta;
      }
      emitRow(Out, Y, Row);
      std::erase_if(Active, [Y](const TEdge* E) { return E->Bottom <= Y; });
      ++Y;
    }
  }

private:
  void emitRow(TSpans& Out, int Y, std::vector<TCrossing>& Row) {
    sortFew(Row.data(), Row.data() + Row.size(), [](const TCrossing& A, const TCrossing& B) { return A.X < B.X; });
    const int Left = FClip.left(), Right = FClip.right() + 1;
    int Winding = 0;
    for (size_t I = 0; I + 1 < Row.size(); ++I) {
      Winding += Row[I].Winding;
      if (!(Winding & FRuleMask)) continue;
      const int X0 = std::max(Row[I].X, Left), X1 = std::min(Row[I + 1].X, Right);
      if (X0 >= X1) continue;
      if (!Out.empty() && Out.back().Y == Y && Out.back().X1 == X0)
        Out.back().X1 = X1;
      else
        Out.push_back({Y, X0, X1});
    }
  }

  QRect FClip;
  int FRuleMask;
  std::vector<TEdge> FEdges;
};

}  // namespace

void AppendPathSpans(TSpans& Out, const QPainterPath& Path, Qt::FillRule Rule, const QRect& Clip) {
  if (Clip.isEmpty() || Path.isEmpty()) return;
  TScanConverter Converter(Clip, Rule);
  for (const std::vector<QPointF>& F : figuresOf(Path)) {
    for (size_t I = 1; I < F.size(); ++I)
      Converter.AddLine(toPos(F[I - 1].x()), toPos(F[I - 1].y()), toPos(F[I].x()), toPos(F[I].y()));
  }
  Converter.AppendSpans(Out);
}

TSpans PixelSpans(const std::vector<TPoint>& Pixels, const QRect& Clip) {
  TSpans Result;
  if (Clip.isEmpty()) return Result;
  const int Top = Clip.top(), Bottom = Clip.bottom(), Left = Clip.left(), Right = Clip.right();
  auto inside = [&](const TPoint& P) { return P.Y >= Top && P.Y <= Bottom && P.X >= Left && P.X <= Right; };
  // bucket by row (counting sort), then each row's few pixels by X
  const size_t Rows = size_t(Clip.height());
  std::vector<int> Start(Rows + 1, 0);
  for (const TPoint& P : Pixels)
    if (inside(P)) ++Start[size_t(P.Y - Top) + 1];
  for (size_t R = 0; R < Rows; ++R) Start[R + 1] += Start[R];
  std::vector<int> Xs(static_cast<size_t>(Start[Rows]));
  std::vector<int> Next(Start.begin(), Start.end() - 1);
  for (const TPoint& P : Pixels)
    if (inside(P)) Xs[size_t(Next[size_t(P.Y - Top)]++)] = P.X;
  for (size_t R = 0; R < Rows; ++R) {
    const int Y = Top + int(R);
    int* const First = Xs.data() + Start[R];
    int* const Last = Xs.data() + Start[R + 1];
    sortFew(First, Last);
    for (const int* X = First; X != Last; ++X) {
      if (!Result.empty() && Result.back().Y == Y && Result.back().X1 >= *X) {
        Result.back().X1 = std::max(Result.back().X1, *X + 1);
        continue;
      }
      Result.push_back({Y, *X, *X + 1});
    }
  }
  return Result;
}

TSpans SubtractSpans(const TSpans& From, const TSpans& Covered) {
  if (Covered.empty()) return From;
  TSpans Result;
  Result.reserve(From.size());
  size_t C = 0;
  for (const TSpan& S : From) {
    while (C < Covered.size() && (Covered[C].Y < S.Y || (Covered[C].Y == S.Y && Covered[C].X1 <= S.X0))) ++C;
    int X0 = S.X0;
    for (size_t K = C; K < Covered.size() && Covered[K].Y == S.Y && Covered[K].X0 < S.X1; ++K) {
      if (Covered[K].X0 > X0) Result.push_back({S.Y, X0, Covered[K].X0});
      X0 = std::max(X0, Covered[K].X1);
    }
    if (X0 < S.X1) Result.push_back({S.Y, X0, S.X1});
  }
  return Result;
}

}  // namespace gdi::detail
