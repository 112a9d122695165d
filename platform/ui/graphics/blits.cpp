// Blits of gdi.h: BitBlt, StretchBlt, PatBlt and AlphaBlend.
//
// Destination and source rectangles go through their DC's pipeline; when the
// mapped corners come out reversed (a mirror, a flipped extent, a negative
// width) the copy is mirrored on that axis.  Each destination pixel inside
// the clip takes the source pixel its centre maps to (nearest neighbour).
#include "platform/ui/graphics/gdi.h"

#include "platform/ui/graphics/raster_p.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <functional>

namespace gdi {

using namespace detail;

namespace {

// A rectangle mapped to surface pixels: normalised, with the flips it took.
struct TMappedRect {
  QRect Rect;
  bool FlipX = false;
  bool FlipY = false;
};

TMappedRect mapRect(TDC& D, int X, int Y, int Width, int Height) {
  const TPoint A = D.LogicalToSurface(X, Y);
  const TPoint B = D.LogicalToSurface(X + Width, Y + Height);
  TMappedRect M;
  M.FlipX = B.X < A.X;
  M.FlipY = B.Y < A.Y;
  const int L = std::min(A.X, B.X), R = std::max(A.X, B.X), T = std::min(A.Y, B.Y), Bm = std::max(A.Y, B.Y);
  M.Rect = QRect(L, T, R - L, Bm - T);
  return M;
}

// The source coordinate of destination offset I (0 .. DestLength-1).
inline int sourceIndex(int I, int DestLength, int SourceStart, int SourceLength, bool Flip) {
  const int J = Flip ? DestLength - 1 - I : I;
  return SourceStart + int((Int64(J) * SourceLength) / DestLength);
}

// The source column of each column of To.
std::vector<int> sourceColumns(const TMappedRect& To, const TMappedRect& From, bool FlipX) {
  std::vector<int> Columns(size_t(std::max(To.Rect.width(), 0)));
  for (int I = 0; I < To.Rect.width(); ++I)
    Columns[size_t(I)] = sourceIndex(I, To.Rect.width(), From.Rect.left(), From.Rect.width(), FlipX);
  return Columns;
}

// The source pixel as the destination sees it: a one-bit source becomes the
// destination's text colour (0) or background colour (1); a colour source
// onto a one-bit destination becomes white where it equals the source DC's
// background colour, else black.
struct TSourceReader {
  const QImage& Image;
  bool SourceMono;
  bool DestMono;
  COLORREF DestText;
  COLORREF DestBack;
  COLORREF SourceBack;

  COLORREF operator()(int X, int Y) const {
    if (SourceMono) {
      const int Bit = MonoBit(Image, X, Y);
      if (DestMono) return Bit ? 0xFFFFFF : 0;
      return Bit ? DestBack : DestText;
    }
    const COLORREF C = ReadPixel(Image, X, Y);
    if (DestMono) return C == SourceBack ? 0xFFFFFF : 0;
    return C;
  }
};

// The pattern (selected brush) at a destination pixel.
struct TPatternReader {
  TInk Ink;
  bool Null = true;

  COLORREF operator()(int X, int Y) const {
    if (Null) return 0;
    if (Ink.Pattern) return PatternPixel(Ink, X, Y) & 0xFFFFFF;
    if (Ink.Hatch < 0 || HatchBit(Ink.Hatch, X - Ink.Origin.X, Y - Ink.Origin.Y)) return Ink.Color & 0xFFFFFF;
    return Ink.Back & 0xFFFFFF;
  }
};

TPatternReader patternOf(TDC& D) {
  TPatternReader R;
  const TBrushObject* B = D.State.Brush;
  if (!B || B->Style == BS_NULL) return R;
  R.Null = false;
  R.Ink.Color = B->IsDCBrush ? D.State.DCBrushColor : B->Color;
  if (B->Style == BS_HATCHED || B->Style == BS_PATTERN) {
    // a pattern has no transparent pixels: gaps take the background colour
    if (B->Style == BS_HATCHED) R.Ink.Hatch = B->Hatch;
    if (B->Style == BS_PATTERN) {
      R.Ink.Pattern = &B->Pattern;
      R.Ink.Color = D.State.TextColor;
    }
    R.Ink.Back = D.State.BkColor;
    const QPointF O = D.DeviceToSurface().map(QPointF(D.State.BrushOrg.X, D.State.BrushOrg.Y));
    R.Ink.Origin = {int(O.x()), int(O.y())};
  }
  return R;
}

// Destinations without readable pixels: the result of ROPs that need the
// destination is drawn as if the destination were black.
void blitToDevice(TDC& D, const TMappedRect& Dest, const std::function<COLORREF(int, int)>& Pixel) {
  TSurface* S = D.Surface();
  QPainter* P = S ? S->Painter() : nullptr;
  const QRect Area = Dest.Rect & D.SurfaceClip().Bounds;
  if (!P || Area.isEmpty()) return;
  QImage Result(Area.size(), QImage::Format_RGB32);
  for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
    for (int X = Area.left(); X <= Area.right(); ++X) {
      const COLORREF C = Pixel(X, Y);
      Result.setPixel(X - Area.left(), Y - Area.top(), qRgb(GetRValue(C), GetGValue(C), GetBValue(C)));
    }
  P->setClipRegion(D.SurfaceClip().Region);
  P->resetTransform();
  P->setCompositionMode(QPainter::CompositionMode_SourceOver);
  P->setOpacity(1);
  P->drawImage(Area.topLeft(), Result);
  S->PainterStateOwner = nullptr;
}

// Runs Op(X, Y, D) -> new colour over every destination pixel in the clip.
template <class F>
void forEachDestPixel(TDC& D, const QRect& Rect, F Op) {
  TSurface* S = D.Surface();
  QImage* Image = S ? S->DrawingPixels() : nullptr;
  if (!Image || Image->isNull()) return;
  ForEachClippedRect(D.SurfaceClip(), Rect, [&](int Y, int X0, int X1) {
    for (int X = X0; X < X1; ++X) WritePixel(*Image, X, Y, Op(X, Y, ReadPixel(*Image, X, Y)));
  });
}

// SRCCOPY between 32-bit images: the stored pixels, alpha included (an
// RGB32 destination stays opaque), so a copied premultiplied image can still
// be alpha-blended.
void copy32(TDC& D, QImage& Dest, const QImage& Source, const TMappedRect& To, const TMappedRect& From, bool FlipX,
            bool FlipY) {
  const QRgb AlphaBits = Dest.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
  uchar* Bits = Dest.bits();
  const qsizetype Stride = Dest.bytesPerLine();
  const int SourceWidth = Source.width();
  const std::vector<int> SourceX = sourceColumns(To, From, FlipX);
  ForEachClippedRect(D.SurfaceClip(), To.Rect, [&](int PY, int X0, int X1) {
    const int SY = sourceIndex(PY - To.Rect.top(), To.Rect.height(), From.Rect.top(), From.Rect.height(), FlipY);
    if (SY < 0 || SY >= Source.height()) return;
    const QRgb* SourceRow = reinterpret_cast<const QRgb*>(Source.constScanLine(SY));
    QRgb* Row = reinterpret_cast<QRgb*>(Bits + PY * Stride);
    for (int PX = X0; PX < X1; ++PX) {
      const int SX = SourceX[size_t(PX - To.Rect.left())];
      if (SX >= 0 && SX < SourceWidth) Row[PX] = SourceRow[SX] | AlphaBits;
    }
  });
}

bool destHasPixels(TDC& D) {
  TSurface* S = D.Surface();
  return S && S->HasPixels();
}

}  // namespace

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, DWORD Rop) {
  TDC* D = FindDC(Dest);
  if (!D) return 0;
  const bool UsesSource = Rop3UsesSource(Rop);
  TDC* S = UsesSource ? FindDC(Source) : nullptr;
  if (UsesSource && !S) return 0;
  if (IsRecording(*D)) {
    const unsigned Uses = Rop3UsesPattern(Rop) ? unsigned(ruBrush) : 0u;
    if (!UsesSource)
      Record(*D, "PatBlt", {X, Y, Width, Height, int(Rop)}, 1, Uses);
    else if (WidthSrc == Width && HeightSrc == Height)
      Record(*D, "BitBlt", {X, Y, Width, Height, XSrc, YSrc, int(Rop)}, 1, Uses);
    else
      Record(*D, "StretchBlt", {X, Y, Width, Height, XSrc, YSrc, WidthSrc, HeightSrc, int(Rop)}, 1, Uses);
  }
  TSurface* DS = D->Surface();
  if (!DS || DS->Kind() == TSurface::TKind::Screen) return 1;

  const TMappedRect To = mapRect(*D, X, Y, Width, Height);
  if (To.Rect.isEmpty()) return 1;
  const TPatternReader Pattern = Rop3UsesPattern(Rop) ? patternOf(*D) : TPatternReader();
  if (Rop3UsesPattern(Rop) && Pattern.Null) return 1;  // the null brush paints nothing

  if (!UsesSource && Rop == PATCOPY && Pattern.Ink.Hatch < 0 && !Pattern.Ink.Pattern && D->AxisAligned()) {
    // a solid pattern copied is a plain fill: spans, about ten times faster
    // than the raster operation per pixel (gradient bands are made of these)
    PaintRect(*D, To.Rect, Pattern.Ink);
    return 1;
  }
  if (!UsesSource) {
    auto Op = [&](int PX, int PY, COLORREF Dst) { return ApplyRop3(Rop, Pattern(PX, PY), 0, Dst); };
    if (destHasPixels(*D))
      forEachDestPixel(*D, To.Rect, Op);
    else
      blitToDevice(*D, To, [&](int PX, int PY) { return Op(PX, PY, 0); });
    return 1;
  }

  std::shared_ptr<TSurface> SourceSurface = S->SurfacePtr();
  if (!SourceSurface || !SourceSurface->HasPixels()) return 0;
  TMappedRect From = mapRect(*S, XSrc, YSrc, WidthSrc, HeightSrc);
  if (From.Rect.isEmpty()) return 1;
  // Overlapping copies within one surface read a snapshot.
  QImage Snapshot;
  const QImage* SourceImage = SourceSurface->DrawingPixels();
  if (SourceSurface.get() == DS) {
    Snapshot = SourceImage->copy();
    SourceImage = &Snapshot;
  }
  QImage* DestImage = DS->DrawingPixels();
  const TSourceReader Read{*SourceImage,
                           IsMonochrome(*SourceImage),
                           DestImage && IsMonochrome(*DestImage),
                           D->State.TextColor & 0xFFFFFF,
                           D->State.BkColor & 0xFFFFFF,
                           S->State.BkColor & 0xFFFFFF};
  const bool FlipX = To.FlipX != From.FlipX, FlipY = To.FlipY != From.FlipY;
  const QRect SourceBounds = SourceImage->rect();
  auto sourceAt = [&](int PX, int PY, COLORREF& C) {
    const int SX = sourceIndex(PX - To.Rect.left(), To.Rect.width(), From.Rect.left(), From.Rect.width(), FlipX);
    const int SY = sourceIndex(PY - To.Rect.top(), To.Rect.height(), From.Rect.top(), From.Rect.height(), FlipY);
    if (!SourceBounds.contains(SX, SY)) return false;
    C = Read(SX, SY);
    return true;
  };

  if (Rop == SRCCOPY && DestImage && DestImage->depth() == 32 && SourceImage->depth() == 32) {
    copy32(*D, *DestImage, *SourceImage, To, From, FlipX, FlipY);
    return 1;
  }
  if (!DestImage) {
    blitToDevice(*D, To, [&](int PX, int PY) {
      COLORREF C = 0;
      sourceAt(PX, PY, C);
      return ApplyRop3(Rop, Pattern(PX, PY), C, 0);
    });
    return 1;
  }
  forEachDestPixel(*D, To.Rect, [&](int PX, int PY, COLORREF Dst) {
    COLORREF C;
    if (!sourceAt(PX, PY, C)) return Dst;
    return ApplyRop3(Rop, Pattern(PX, PY), C, Dst);
  });
  return 1;
}

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, DWORD Rop) {
  return StretchBlt(Dest, X, Y, Width, Height, Source, XSrc, YSrc, Width, Height, Rop);
}

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop) {
  if (Rop3UsesSource(Rop)) return 0;
  return StretchBlt(DC, X, Y, Width, Height, nullptr, 0, 0, 0, 0, Rop);
}

BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, BLENDFUNCTION Blend) {
  TDC* D = FindDC(Dest);
  TDC* S = FindDC(Source);
  if (!D || !S || Width < 0 || Height < 0 || WidthSrc < 0 || HeightSrc < 0) return 0;
  std::shared_ptr<TSurface> SourceSurface = S->SurfacePtr();
  if (!SourceSurface || !SourceSurface->HasPixels()) return 0;
  const TMappedRect From = mapRect(*S, XSrc, YSrc, WidthSrc, HeightSrc);
  const QImage* SourceImage = SourceSurface->DrawingPixels();
  if (!SourceImage->rect().contains(From.Rect) && !From.Rect.isEmpty()) return 0;
  const bool PerPixel = Blend.AlphaFormat & AC_SRC_ALPHA;
  if (PerPixel && SourceImage->depth() != 32) return 0;
  Record(*D, "AlphaBlend", {X, Y, Width, Height, XSrc, YSrc, WidthSrc, HeightSrc, Blend.SourceConstantAlpha,
                             Blend.AlphaFormat}, 1, 0);
  TSurface* DS = D->Surface();
  if (!DS || DS->Kind() == TSurface::TKind::Screen) return 1;
  const TMappedRect To = mapRect(*D, X, Y, Width, Height);
  if (To.Rect.isEmpty() || From.Rect.isEmpty()) return 1;

  QImage Snapshot;
  if (SourceSurface.get() == DS) {
    Snapshot = SourceImage->copy();
    SourceImage = &Snapshot;
  }
  const bool FlipX = To.FlipX != From.FlipX, FlipY = To.FlipY != From.FlipY;
  const int SCA = Blend.SourceConstantAlpha;

  QImage* DestImage = DS->DrawingPixels();
  if (!DestImage) {
    // no readable destination: Qt's composition approximates the blend
    QPainter* P = DS->Painter();
    if (!P) return 1;
    QImage Part = SourceImage->copy(From.Rect).mirrored(FlipX, FlipY);
    if (PerPixel) Part.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    P->setClipRegion(D->SurfaceClip().Region);
    P->resetTransform();
    P->setOpacity(SCA / 255.0);
    P->drawImage(QRectF(To.Rect), Part);
    P->setOpacity(1);
    DS->PainterStateOwner = nullptr;
    return 1;
  }
  if (DestImage->isNull()) return 1;

  const bool Dest32 = DestImage->depth() == 32;
  const bool DestAlpha = DestImage->hasAlphaChannel();
  const bool Source32 = SourceImage->depth() == 32;
  // a constant alpha moves each channel by (SC - DC) * SCA / 255, looked up
  // by the difference
  constexpr int MaxChannel = 255;
  std::array<int, 2 * MaxChannel + 1> Step;
  for (int Difference = -MaxChannel; Difference <= MaxChannel; ++Difference)
    Step[size_t(Difference + MaxChannel)] = Difference * SCA / 255;
  auto blend = [&](QRgb Src, QRgb Dst) {
    auto channel = [&](int Shift) {
      const int SC = int((Src >> Shift) & 0xFF), DC = int((Dst >> Shift) & 0xFF);
      if (!PerPixel) return DC + Step[size_t(SC - DC + MaxChannel)];
      const int SA = int(qAlpha(Src)) * SCA / 255;
      return SC * SCA / 255 + DC * (255 - SA) / 255;
    };
    return qRgba(channel(16), channel(8), channel(0), DestAlpha ? channel(24) : 255);
  };
  // rows and columns of the source looked up once, not per pixel: a chart's
  // half-transparent rectangle spent most of its time there
  const std::vector<int> SourceX = sourceColumns(To, From, FlipX);
  ForEachClippedRect(D->SurfaceClip(), To.Rect, [&](int PY, int X0, int X1) {
    const int SY = sourceIndex(PY - To.Rect.top(), To.Rect.height(), From.Rect.top(), From.Rect.height(), FlipY);
    const QRgb* SourceRow = Source32 ? reinterpret_cast<const QRgb*>(SourceImage->constScanLine(SY)) : nullptr;
    QRgb* DestRow = Dest32 ? reinterpret_cast<QRgb*>(DestImage->scanLine(PY)) : nullptr;
    for (int PX = X0; PX < X1; ++PX) {
      const int SX = SourceX[size_t(PX - To.Rect.left())];
      const QRgb Src = SourceRow ? SourceRow[SX] : SourceImage->pixel(SX, SY);
      if (DestRow) {
        DestRow[PX] = blend(Src, DestRow[PX]);
        continue;
      }
      const COLORREF C = ReadPixel(*DestImage, PX, PY);
      const QRgb Out = blend(Src, qRgb(GetRValue(C), GetGValue(C), GetBValue(C)));
      WritePixel(*DestImage, PX, PY, RGB(BYTE(qRed(Out)), BYTE(qGreen(Out)), BYTE(qBlue(Out))));
    }
  });
  return 1;
}

}  // namespace gdi
