// The classic scroll bar: the numbers behind it, where its parts lie along
// the bar and how it is painted.  One model for the scroll-bar control and
// for every window's WS_HSCROLL / WS_VSCROLL bars.
//
// Numbers
//   A bar of Min .. Max whose thumb covers PageSize positions scrolls from
//   Min to Highest = Max - max(PageSize - 1, 0).  Max is at least Min, the
//   page within 0 .. Max - Min + 1; the bar can scroll when Highest > Min.
//
// Layout, along a bar of length L (in pixels)
//   arrows      at both ends, SM_CYVSCROLL long on a vertical bar and
//               SM_CXHSCROLL on a horizontal one, each at most L / 2
//   track       between the arrows, T pixels
//   thumb       PageSize > 0: MulDiv(T, PageSize, Max - Min + 1), at least
//               MinThumbLength; PageSize 0: SM_CYVTHUMB / SM_CXHTHUMB.  It
//               starts MulDiv(T - length, Position - Min, Highest - Min) into
//               the track.  No thumb when the bar cannot scroll, both arrows
//               are disabled, or the track is shorter than the thumb.
//   page areas  the track before and after the thumb (without a thumb the
//               whole track is one area, PageUp)
//
// Look
//   arrows      DrawFrameControl DFC_SCROLL; pressed DFCS_PUSHED | DFCS_FLAT,
//               disabled DFCS_INACTIVE
//   thumb       DrawEdge EDGE_RAISED, BF_RECT | BF_MIDDLE
//   page areas  a checkerboard of clBtnHighlight and clBtnFace, fixed to the
//               DC's brush origin (clBtnHighlight where x + y is even); the
//               pressed area with its colours inverted
#pragma once

#include "platform/ui/graphics/gdi.h"

namespace gdi {

// EnableScrollBar's arrows: the ones to disable.
inline constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LEFT = 1, ESB_DISABLE_UP = 1, ESB_DISABLE_LTUP = 1,
                      ESB_DISABLE_RIGHT = 2, ESB_DISABLE_DOWN = 2, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;

}  // namespace gdi

// The positions a bar of Min .. Max with a thumb of PageSize offers.
struct TScrollRange {
  Integer Min = 0;
  Integer Max = 100;
  Integer PageSize = 0;

  // Min and Max kept in order (Max raised to Min), PageSize into its range.
  static TScrollRange Clamped(Integer AMin, Integer AMax, Int64 APageSize);
  // Max - max(PageSize - 1, 0), never below Min.
  Integer Highest() const;
  // Position into Min .. Highest.
  Integer Clamp(Int64 Position) const;
  bool CanScroll() const { return Highest() > Min; }
};

// The smallest thumb a page size gives, in pixels at 96 PPI.
inline constexpr Integer MinThumbLength = 8;

enum class TScrollBarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// What a bar shows.
struct TScrollBarLook {
  TScrollRange Range;
  Integer Position = 0;  // within the range; the thumb is drawn here
  bool Vertical = false;
  gdi::UINT DisabledArrows = gdi::ESB_ENABLE_BOTH;  // ESB_DISABLE_LTUP / ESB_DISABLE_RTDN bits
  TScrollBarPart Pressed = TScrollBarPart::None;
};

// Where the parts of a bar lie (the coordinates of its rectangle).
struct TScrollBarLayout {
  TRect Bar;
  bool Vertical = false;
  TRect LineUp, LineDown;  // the up or left arrow, the down or right one
  TRect PageUp, PageDown;
  TRect Thumb;             // empty: no thumb
  Integer TrackStart = 0;  // along the bar
  Integer TrackLength = 0;

  TScrollBarPart PartAt(TPoint Point) const;
  // The coordinate along the bar (Y of a vertical bar, X of a horizontal).
  Integer Along(TPoint Point) const { return Vertical ? Point.Y : Point.X; }
  Integer ThumbStart() const { return Along(Thumb.TopLeft()); }
  // The position of Range whose thumb starts at ThumbStart along the bar
  // (clamped into the track).
  Integer PositionAt(Integer ThumbStart, const TScrollRange& Range) const;
};

TScrollBarLayout LayoutScrollBar(const TRect& Bar, const TScrollBarLook& Look);
// Paints the bar into Bar (logical coordinates); the DC's state is left as
// it was.
void PaintScrollBar(gdi::HDC DC, const TRect& Bar, const TScrollBarLook& Look);
