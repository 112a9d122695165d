#include "chartlib/canvas/teeresample.h"

#include "chartlib/canvas/teecolors.h"
#include "platform/ui/graphics/bitmap.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float LanczosRadius = 3.0f;
constexpr float LinearRadius = 1.0f;
constexpr float FixedOne = 1024.0f;   // weight of 1.0
constexpr Integer FixedShift = 10;
constexpr Integer FixedMax = 255 * 1024;  // a sum above it is white
constexpr double Pi = 3.141592653589793;
constexpr double PiThird = 1.0471975511965976;

// Every step in single precision: the weights, and so the pixels, depend on it.
float lanczos(float X) {
  if (X == 0) return 1;
  X = std::fabs(X);
  if (X >= LanczosRadius) return 0;
  const float A = float(Pi * X), B = float(X * PiThird);
  const float QA = float(std::sin(A) / A), QB = float(std::sin(B) / B);
  return QA * QB;
}

float linear(float X) {
  X = std::fabs(X);
  return X < 1 ? 1 - X : 0;
}

// Reflects an index about the source's edges until it lies inside: a single
// reflection is not enough when the window is wider than the source.
Integer reflect(Integer J, Integer Count) {
  while (J < 0 || J >= Count) J = J < 0 ? -J : 2 * Count - J - 1;
  return J;
}

Byte clampFixed(Integer Sum) {
  if (Sum > FixedMax) return 255;
  if (Sum < 0) return 0;
  return Byte(Sum >> FixedShift);
}

struct TSum {
  Integer B = 0, G = 0, R = 0;
  void add(const TRGB& P, Integer W) {
    B += W * P.Blue;
    G += W * P.Green;
    R += W * P.Red;
  }
  TRGB pixel() const { return {clampFixed(B), clampFixed(G), clampFixed(R)}; }
};

}  // namespace

float TeeStretchScale(Integer SourceCount, Integer DestCount) {
  return float(double(DestCount - 1) / double(SourceCount - 1));
}

std::vector<TStretchContributors> TeeStretchContributions(Integer SourceCount, Integer DestCount, float Scale,
                                                          bool Linear) {
  const float Radius = Linear ? LinearRadius : LanczosRadius;
  float (*Kernel)(float) = Linear ? linear : lanczos;
  const float Inverse = float(1.0 / Scale);
  const float Width = Radius * Inverse;
  const float Factor = Scale >= 1 ? FixedOne : Scale * FixedOne;
  std::vector<TStretchContributors> Lists(DestCount);
  for (Integer I = 0; I < DestCount; ++I) {
    const float Centre = float(I) * Inverse;
    const Integer Left = Integer(std::floor(Centre - Width)), Right = Integer(std::ceil(Centre + Width));
    TStretchContributors& List = Lists[I];
    List.reserve(Right - Left + 1);
    for (Integer J = Left; J <= Right; ++J) {
      float X = Centre - float(J);
      if (Scale < 1) X *= Scale;
      const Integer Weight = Integer(std::nearbyint(Factor * Kernel(X)));
      if (Weight != 0) List.push_back({reflect(J, SourceCount), Weight});
    }
  }
  return Lists;
}

Integer TeeStretchListCapacity(float XScale, float YScale, bool Linear) {
  const float Radius = Linear ? LinearRadius : LanczosRadius;
  return Integer(std::trunc(2.0 * Radius / std::min(XScale, YScale))) + 3;
}

void TeeSmoothStretch(TBitmap* Source, TBitmap* Dest) { TeeSmoothStretch(Source, Dest, /*Linear=*/false); }

void TeeSmoothStretch(TBitmap* Source, TBitmap* Dest, bool Linear) {
  if (!Source || !Dest) return;
  const Integer SW = Source->Width(), SH = Source->Height(), DW = Dest->Width(), DH = Dest->Height();
  if (SW <= 1 || SH <= 1 || DW <= 1 || DH <= 1) return;
  const TRGBArray Src = TeeCalcScanLines(Source);
  TBitmap Work;
  Work.SetPixelFormat(pf24bit);
  Work.SetSize(DW, SH);
  const TRGBArray Mid = TeeCalcScanLines(&Work);
  const auto Columns = TeeStretchContributions(SW, DW, TeeStretchScale(SW, DW), Linear);
  for (Integer Y = 0; Y < SH; ++Y) {
    const TRGB* In = Src[Y];
    TRGB* Out = Mid[Y];
    for (Integer I = 0; I < DW; ++I) {
      TSum S;
      for (const TStretchContributor& C : Columns[I]) S.add(In[C.Pixel], C.Weight);
      Out[I] = S.pixel();
    }
  }
  const TRGBArray Dst = TeeCalcScanLines(Dest);
  const auto Rows = TeeStretchContributions(SH, DH, TeeStretchScale(SH, DH), Linear);
  // row by row rather than column by column: the same sums, read along rows
  std::vector<TSum> Sums(DW);
  for (Integer I = 0; I < DH; ++I) {
    std::fill(Sums.begin(), Sums.end(), TSum{});
    for (const TStretchContributor& C : Rows[I]) {
      const TRGB* In = Mid[C.Pixel];
      for (Integer X = 0; X < DW; ++X) Sums[X].add(In[X], C.Weight);
    }
    TRGB* Out = Dst[I];
    for (Integer X = 0; X < DW; ++X) Out[X] = Sums[X].pixel();
  }
}
