#include "platform/ui/graphics/raster_p.h"

#include <QPainter>
#include <vector>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace gdi::detail {

namespace {

constexpr DWORD ColorBits = 0xFFFFFF;

inline COLORREF fromArgb(QRgb P) { return COLORREF(qRed(P)) | (COLORREF(qGreen(P)) << 8) | (COLORREF(qBlue(P)) << 16); }
inline QRgb toArgb(COLORREF C) { return qRgb(GetRValue(C), GetGValue(C), GetBValue(C)); }

bool is32Bit(QImage::Format F) {
  return F == QImage::Format_RGB32 || F == QImage::Format_ARGB32 || F == QImage::Format_ARGB32_Premultiplied;
}

bool isIndexed(QImage::Format F) {
  return F == QImage::Format_Mono || F == QImage::Format_MonoLSB || F == QImage::Format_Indexed8;
}

int nearestIndex(const QImage& Image, COLORREF C) {
  const QList<QRgb> Table = Image.colorTable();
  int Best = 0;
  int BestDistance = std::numeric_limits<int>::max();
  for (int I = 0; I < Table.size(); ++I) {
    const int DR = qRed(Table[I]) - GetRValue(C), DG = qGreen(Table[I]) - GetGValue(C),
              DB = qBlue(Table[I]) - GetBValue(C);
    const int Distance = DR * DR + DG * DG + DB * DB;
    if (Distance < BestDistance) {
      Best = I;
      BestDistance = Distance;
      if (Distance == 0) break;
    }
  }
  return Best;
}

// Palette look-ups of one paint call: the ink has few colours.
class TIndexCache {
public:
  explicit TIndexCache(const QImage& Image) : FImage(Image) {}
  int operator()(COLORREF C) {
    auto [It, Added] = FIndexes.try_emplace(C, 0);
    if (Added) It->second = nearestIndex(FImage, C);
    return It->second;
  }

private:
  const QImage& FImage;
  std::unordered_map<COLORREF, int> FIndexes;
};

// Count pixels of Value from Row.  A plain loop stores one pixel per step
// (the compiler does not vectorise it at our optimisation level) and was
// most of the time of the chart's 3D bars; doubling copies of a long run go
// through the C library's vectorised memcpy.
void fillLong(QRgb* Row, int Count, QRgb Value, int Start) {
  std::fill(Row, Row + Start, Value);
  for (int Done = Start; Done < Count;) {
    const int Chunk = std::min(Done, Count - Done);
    std::memcpy(Row + Done, Row, size_t(Chunk) * sizeof(QRgb));
    Done += Chunk;
  }
}

inline void fill32(QRgb* Row, int Count, QRgb Value) {
  constexpr int ShortRun = 16;
  if (Count < ShortRun)
    std::fill(Row, Row + Count, Value);
  else
    fillLong(Row, Count, Value, ShortRun);
}

// V mod N in 0 .. N-1, for negative V too.
inline int wrap(int V, int N) { return (V % N + N) % N; }

// The ink's colour at surface pixel (X, Y); false where a transparent hatch
// leaves the pixel alone.
inline bool inkAt(const TInk& Ink, int X, int Y, COLORREF& P) {
  if (Ink.Pattern) {
    P = PatternPixel(Ink, X, Y);
    return true;
  }
  if (Ink.Hatch < 0 || HatchBit(Ink.Hatch, X - Ink.Origin.X, Y - Ink.Origin.Y)) {
    P = Ink.Color;
    return true;
  }
  P = Ink.Back;
  return Ink.OpaqueBack;
}

// The pattern's pixels as the ink paints them, row by row.
std::vector<QRgb> patternPixels(const TInk& Ink) {
  const QImage& P = *Ink.Pattern;
  std::vector<QRgb> Result;
  Result.reserve(qsizetype(P.width()) * P.height());
  for (int Y = 0; Y < P.height(); ++Y)
    for (int X = 0; X < P.width(); ++X)
      Result.push_back(toArgb(IsMonochrome(P) ? (MonoBit(P, X, Y) ? Ink.Back : Ink.Color) : ReadPixel(P, X, Y)));
  return Result;
}

// Each(Fn) hands the clipped spans to Fn(Y, X0, X1).
template <class TEach>
void paintImage(QImage& Image, TEach Each, const TInk& Ink) {
  if (Image.isNull()) return;
  const bool Copy = Ink.Rop2 == R2_COPYPEN;
  if (is32Bit(Image.format())) {
    uchar* Bits = Image.bits();
    const qsizetype Stride = Image.bytesPerLine();
    const QRgb Solid = toArgb(Ink.Color);
    // a copied pattern: its pixels resolved once, then tiled row by row
    std::vector<QRgb> Tile;
    if (Copy && Ink.Pattern) Tile = patternPixels(Ink);
    Each([&](int Y, int X0, int X1) {
      QRgb* Row = reinterpret_cast<QRgb*>(Bits + Y * Stride);
      if (Copy && Ink.Hatch < 0 && !Ink.Pattern) {
        fill32(Row + X0, X1 - X0, Solid);
        return;
      }
      if (!Tile.empty()) {
        const int W = Ink.Pattern->width(), H = Ink.Pattern->height();
        const QRgb* TileRow = Tile.data() + qsizetype(wrap(Y - Ink.Origin.Y, H)) * W;
        for (int X = X0, TX = wrap(X0 - Ink.Origin.X, W); X < X1; ++X) {
          Row[X] = TileRow[TX];
          if (++TX == W) TX = 0;
        }
        return;
      }
      for (int X = X0; X < X1; ++X) {
        COLORREF P;
        if (!inkAt(Ink, X, Y, P)) continue;
        Row[X] = toArgb(Copy ? P : ApplyRop2(Ink.Rop2, P, fromArgb(Row[X])));
      }
    });
    return;
  }
  TIndexCache Indexes(Image);
  const bool Indexed = isIndexed(Image.format());
  Each([&](int Y, int X0, int X1) {
    for (int X = X0; X < X1; ++X) {
      COLORREF P;
      if (!inkAt(Ink, X, Y, P)) continue;
      const COLORREF C = Copy ? P : ApplyRop2(Ink.Rop2, P, ReadPixel(Image, X, Y));
      if (Indexed)
        Image.setPixel(X, Y, uint(Indexes(C)));
      else
        WritePixel(Image, X, Y, C);
    }
  });
}

// Surfaces without readable pixels (printer pages, metafiles): the spans as
// rectangles, raster operations drawn as copies.
template <class TEach>
void paintDevice(TSurface& Surface, TEach Each, const TInk& Ink) {
  QPainter* P = Surface.Painter();
  if (!P) return;
  P->setClipping(false);
  P->resetTransform();
  P->setRenderHint(QPainter::Antialiasing, false);
  P->setCompositionMode(QPainter::CompositionMode_SourceOver);
  P->setOpacity(1);
  Surface.PainterStateOwner = nullptr;
  const QColor Solid(toArgb(Ink.Color));
  Each([&](int Y, int X0, int X1) {
    if (Ink.Hatch < 0 && !Ink.Pattern) {
      P->fillRect(QRect(X0, Y, X1 - X0, 1), Solid);
      return;
    }
    for (int X = X0; X < X1; ++X) {
      COLORREF C;
      if (inkAt(Ink, X, Y, C)) P->fillRect(QRect(X, Y, 1, 1), QColor(toArgb(C)));
    }
  });
}

}  // namespace

DWORD ApplyRop2(int Rop2, DWORD P, DWORD D) {
  // Rop2 - 1 is the truth table over (P, D): bit 2P + D.
  const unsigned T = unsigned(Rop2 - 1);
  DWORD R = 0;
  if (T & 1) R |= ~P & ~D;
  if (T & 2) R |= ~P & D;
  if (T & 4) R |= P & ~D;
  if (T & 8) R |= P & D;
  return R & ColorBits;
}

DWORD ApplyRop3(DWORD Rop, DWORD P, DWORD S, DWORD D) {
  const unsigned Code = (Rop >> 16) & 0xFF;
  switch (Code) {
    case 0xCC: return S & ColorBits;  // SRCCOPY
    case 0xF0: return P & ColorBits;  // PATCOPY
    case 0x00: return 0;
    case 0xFF: return ColorBits;
    default: break;
  }
  DWORD R = 0;
  for (unsigned I = 0; I < 8; ++I) {
    if (!((Code >> I) & 1)) continue;
    R |= ((I & 4) ? P : ~P) & ((I & 2) ? S : ~S) & ((I & 1) ? D : ~D);
  }
  return R & ColorBits;
}

bool Rop3UsesPattern(DWORD Rop) {
  const unsigned C = (Rop >> 16) & 0xFF;
  return (((C >> 4) ^ C) & 0x0F) != 0;
}

bool Rop3UsesSource(DWORD Rop) {
  const unsigned C = (Rop >> 16) & 0xFF;
  return (((C >> 2) ^ C) & 0x33) != 0;
}

bool Rop3UsesDest(DWORD Rop) {
  const unsigned C = (Rop >> 16) & 0xFF;
  return (((C >> 1) ^ C) & 0x55) != 0;
}

bool HatchBit(int Hatch, int X, int Y) {
  X &= 7;  // two's complement: the period holds for negative offsets too
  Y &= 7;
  switch (Hatch) {
    case HS_HORIZONTAL: return Y == 0;
    case HS_VERTICAL: return X == 0;
    case HS_FDIAGONAL: return X == Y;
    case HS_BDIAGONAL: return X + Y == 7;
    case HS_CROSS: return X == 0 || Y == 0;
    case HS_DIAGCROSS: return X == Y || X + Y == 7;
    default: return true;
  }
}

COLORREF ReadPixel(const QImage& Image, int X, int Y) {
  const QImage::Format F = Image.format();
  if (is32Bit(F)) return fromArgb(reinterpret_cast<const QRgb*>(Image.constScanLine(Y))[X]);
  if (F == QImage::Format_BGR888) {
    const uchar* B = Image.constScanLine(Y) + 3 * X;
    return COLORREF(B[2]) | (COLORREF(B[1]) << 8) | (COLORREF(B[0]) << 16);
  }
  return fromArgb(Image.pixel(X, Y));
}

void WritePixel(QImage& Image, int X, int Y, COLORREF Color) {
  const QImage::Format F = Image.format();
  if (is32Bit(F)) {
    reinterpret_cast<QRgb*>(Image.scanLine(Y))[X] = toArgb(Color);
  } else if (F == QImage::Format_BGR888) {
    uchar* B = Image.scanLine(Y) + 3 * X;
    B[0] = GetBValue(Color);
    B[1] = GetGValue(Color);
    B[2] = GetRValue(Color);
  } else if (isIndexed(F)) {
    Image.setPixel(X, Y, uint(nearestIndex(Image, Color)));
  } else {
    Image.setPixel(X, Y, toArgb(Color));
  }
}

namespace {

// Paints the spans that Each(Fn) hands out, inside DC's clip.
template <class TEach>
void paintClipped(TDC& DC, const TInk& Ink, TEach Each) {
  if (Ink.Rop2 == R2_NOP) return;
  TSurface* S = DC.Surface();
  if (!S || S->Kind() == TSurface::TKind::Screen) return;
  if (DC.SurfaceClip().Rects.empty()) return;
  TInk Mapped = Ink;
  Mapped.Color &= ColorBits;
  Mapped.Back &= ColorBits;
  if (S->NearestColor) {
    Mapped.Color = S->NearestColor(Mapped.Color) & ColorBits;
    Mapped.Back = S->NearestColor(Mapped.Back) & ColorBits;
  }
  if (QImage* Image = S->DrawingPixels())
    paintImage(*Image, Each, Mapped);
  else
    paintDevice(*S, Each, Mapped);
}

}  // namespace

void PaintSpans(TDC& DC, const TSpans& Spans, const TInk& Ink) {
  if (Spans.empty()) return;
  const TSurfaceClip& Clip = DC.SurfaceClip();
  paintClipped(DC, Ink, [&](auto Fn) { ForEachClipped(Clip, Spans, Fn); });
}

void PaintRect(TDC& DC, const QRect& Rect, const TInk& Ink) {
  if (Rect.isEmpty()) return;
  const TSurfaceClip& Clip = DC.SurfaceClip();
  paintClipped(DC, Ink, [&](auto Fn) { ForEachClippedRect(Clip, Rect, Fn); });
}

void AppendPixels(TSpans& Out, const std::vector<TPoint>& Pixels) {
  for (const TPoint& P : Pixels) {
    if (!Out.empty()) {
      TSpan& Last = Out.back();
      if (Last.Y == P.Y && Last.X1 == P.X) {
        ++Last.X1;
        continue;
      }
      if (Last.Y == P.Y && Last.X0 == P.X + 1) {
        --Last.X0;
        continue;
      }
    }
    Out.push_back({P.Y, P.X, P.X + 1});
  }
}

void AppendLinePixels(std::vector<TPoint>& Out, TPoint A, TPoint B) {
  const int DX = std::abs(B.X - A.X), DY = -std::abs(B.Y - A.Y);
  const int SX = A.X < B.X ? 1 : -1, SY = A.Y < B.Y ? 1 : -1;
  int Err = DX + DY;
  int X = A.X, Y = A.Y;
  while (X != B.X || Y != B.Y) {
    Out.push_back({X, Y});
    const int E2 = 2 * Err;
    if (E2 >= DY) {
      Err += DY;
      X += SX;
    }
    if (E2 <= DX) {
      Err += DX;
      Y += SY;
    }
  }
}

COLORREF PatternPixel(const TInk& Ink, int X, int Y) {
  const QImage& Tile = *Ink.Pattern;
  const int TX = wrap(X - Ink.Origin.X, Tile.width());
  const int TY = wrap(Y - Ink.Origin.Y, Tile.height());
  return IsMonochrome(Tile) ? (MonoBit(Tile, TX, TY) ? Ink.Back : Ink.Color) : ReadPixel(Tile, TX, TY);
}

}  // namespace gdi::detail
