// Smooth resampling: one bitmap scaled into another with a windowed filter,
// so that a stretched picture stays smooth.
//
// Separable: a horizontal pass from the source into a work bitmap (destination
// width x source height), then a vertical pass into the destination, each over
// 24-bit rows with per-column (per-row) lists of source indexes and 10-bit
// fixed-point weights (1024 = 1.0).  The weights are not normalised; every
// channel is clamped to 0..255.  Source indexes outside the source are
// reflected back into it.
#pragma once

#include "platform/rtl/system.h"

#include <vector>

class TBitmap;

// The Lanczos window of radius 3.  The caller sizes Dest; Source and Dest
// are switched to 24 bits per pixel.  Nothing happens for a missing bitmap or
// a size of 1 pixel or less on either side.
void TeeSmoothStretch(TBitmap* Source, TBitmap* Dest);
// Linear: the triangle window of radius 1 (fast previews), else Lanczos.
void TeeSmoothStretch(TBitmap* Source, TBitmap* Dest, bool Linear);

// One source pixel's share in a destination pixel.
struct TStretchContributor {
  Integer Pixel;   // source index, always within 0 .. count - 1
  Integer Weight;  // 1024 = 1.0
};
using TStretchContributors = std::vector<TStretchContributor>;

// (DestCount - 1) / (SourceCount - 1) in single precision.
float TeeStretchScale(Integer SourceCount, Integer DestCount);
// The contribution list of every destination index along one axis.
std::vector<TStretchContributors> TeeStretchContributions(Integer SourceCount, Integer DestCount, float Scale,
                                                          bool Linear);
// Room one list needs at most for these scales: Trunc(2 radius / min scale) + 3.
Integer TeeStretchListCapacity(float XScale, float YScale, bool Linear);
