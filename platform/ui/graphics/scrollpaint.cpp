#include "platform/ui/graphics/scrollpaint.h"

#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"

#include <algorithm>

using namespace gdi;

namespace {

// A * B / C rounded to the nearest, halves away from zero; A, B >= 0, C > 0.
Int64 scaled(Int64 A, Int64 B, Int64 C) { return (A * B + C / 2) / C; }

// A rectangle of Bar from From to To along it.
TRect span(const TRect& Bar, bool Vertical, Integer From, Integer To) {
  return Vertical ? TRect{Bar.Left, From, Bar.Right, To} : TRect{From, Bar.Top, To, Bar.Bottom};
}

// The checkerboard's monochrome brush: bits 0 take the DC's text colour, 1
// the background colour.  Made per paint so that the painter owns no object.
class TCheckerBrush {
public:
  TCheckerBrush() {
    // Word-aligned rows, the leftmost pixel in the most significant bit.
    static constexpr BYTE Bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    const HBITMAP Bitmap = CreateBitmap(8, 8, 1, 1, Bits);
    FBrush = CreatePatternBrush(Bitmap);
    DeleteObject(Bitmap);
  }
  ~TCheckerBrush() { DeleteObject(FBrush); }
  TCheckerBrush(const TCheckerBrush&) = delete;
  TCheckerBrush& operator=(const TCheckerBrush&) = delete;
  HBRUSH Handle() const { return FBrush; }

private:
  HBRUSH FBrush;
};

void paintArrow(HDC DC, TRect R, UINT Kind, bool Pressed, bool Disabled) {
  if (IsRectEmpty(R)) return;
  UINT State = Kind;
  if (Disabled) State |= DFCS_INACTIVE;
  else if (Pressed) State |= DFCS_PUSHED | DFCS_FLAT;
  DrawFrameControl(DC, &R, DFC_SCROLL, State);
}

}  // namespace

// ---------------------------------------------------------------------------
// TScrollRange

TScrollRange TScrollRange::Clamped(Integer AMin, Integer AMax, Int64 APageSize) {
  const Integer Max = std::max(AMin, AMax);
  const Int64 Span = Int64(Max) - AMin + 1;
  return {AMin, Max, Integer(std::clamp<Int64>(APageSize, 0, Span))};
}

Integer TScrollRange::Highest() const { return Integer(std::max<Int64>(Min, Int64(Max) - std::max(PageSize - 1, 0))); }

Integer TScrollRange::Clamp(Int64 Position) const { return Integer(std::clamp<Int64>(Position, Min, Highest())); }

// ---------------------------------------------------------------------------
// layout

TScrollBarPart TScrollBarLayout::PartAt(TPoint Point) const {
  if (!Bar.Contains(Point)) return TScrollBarPart::None;
  if (LineUp.Contains(Point)) return TScrollBarPart::LineUp;
  if (LineDown.Contains(Point)) return TScrollBarPart::LineDown;
  if (IsRectEmpty(Thumb)) return TScrollBarPart::None;
  if (Thumb.Contains(Point)) return TScrollBarPart::Thumb;
  return Along(Point) < ThumbStart() ? TScrollBarPart::PageUp : TScrollBarPart::PageDown;
}

Integer TScrollBarLayout::PositionAt(Integer Start, const TScrollRange& Range) const {
  const Integer Length = Vertical ? Thumb.Height() : Thumb.Width();
  const Integer Room = TrackLength - Length;
  if (IsRectEmpty(Thumb) || Room <= 0) return Range.Min;
  const Int64 Offset = std::clamp<Int64>(Int64(Start) - TrackStart, 0, Room);
  return Range.Clamp(Range.Min + scaled(Offset, Int64(Range.Highest()) - Range.Min, Room));
}

TScrollBarLayout LayoutScrollBar(const TRect& Bar, const TScrollBarLook& Look) {
  TScrollBarLayout L;
  L.Bar = Bar;
  L.Vertical = Look.Vertical;
  const bool V = Look.Vertical;
  const Integer Start = V ? Bar.Top : Bar.Left;
  const Integer Length = std::max(0, V ? Bar.Height() : Bar.Width());
  const Integer Arrow = std::min(GetSystemMetrics(V ? SM_CYVSCROLL : SM_CXHSCROLL), Length / 2);
  L.LineUp = span(Bar, V, Start, Start + Arrow);
  L.LineDown = span(Bar, V, Start + Length - Arrow, Start + Length);
  L.TrackStart = Start + Arrow;
  L.TrackLength = Length - 2 * Arrow;
  const Integer TrackEnd = L.TrackStart + L.TrackLength;
  L.PageUp = span(Bar, V, L.TrackStart, TrackEnd);

  const TScrollRange& R = Look.Range;
  if (!R.CanScroll() || Look.DisabledArrows == ESB_DISABLE_BOTH) return L;
  const Int64 Span = Int64(R.Max) - R.Min + 1;
  const Integer ThumbLength = R.PageSize > 0
                                  ? Integer(std::max<Int64>(scaled(L.TrackLength, R.PageSize, Span), MinThumbLength))
                                  : GetSystemMetrics(V ? SM_CYVTHUMB : SM_CXHTHUMB);
  if (ThumbLength > L.TrackLength) return L;
  const Int64 Moved = Int64(R.Clamp(Look.Position)) - R.Min;
  const Integer At = L.TrackStart + Integer(scaled(Moved, L.TrackLength - ThumbLength, Int64(R.Highest()) - R.Min));
  L.Thumb = span(Bar, V, At, At + ThumbLength);
  L.PageUp = span(Bar, V, L.TrackStart, At);
  L.PageDown = span(Bar, V, At + ThumbLength, TrackEnd);
  return L;
}

// ---------------------------------------------------------------------------
// painting

void PaintScrollBar(HDC DC, const TRect& Bar, const TScrollBarLook& Look) {
  const TScrollBarLayout L = LayoutScrollBar(Bar, Look);
  if (IsRectEmpty(Bar)) return;
  const bool V = Look.Vertical;
  const TScrollBarPart Pressed = Look.Pressed;
  paintArrow(DC, L.LineUp, V ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, Pressed == TScrollBarPart::LineUp,
             (Look.DisabledArrows & ESB_DISABLE_LTUP) != 0);
  paintArrow(DC, L.LineDown, V ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, Pressed == TScrollBarPart::LineDown,
             (Look.DisabledArrows & ESB_DISABLE_RTDN) != 0);

  const TCheckerBrush Checker;
  const COLORREF OldText = SetTextColor(DC, GetSysColor(COLOR_BTNFACE));
  const COLORREF OldBack = SetBkColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
  for (const auto& [Area, Part] : {std::pair{L.PageUp, TScrollBarPart::PageUp}, {L.PageDown, TScrollBarPart::PageDown}}) {
    if (IsRectEmpty(Area)) continue;
    FillRect(DC, Area, Checker.Handle());
    if (Pressed == Part) PatBlt(DC, Area.Left, Area.Top, Area.Width(), Area.Height(), DSTINVERT);
  }
  SetTextColor(DC, OldText);
  SetBkColor(DC, OldBack);

  TRect Thumb = L.Thumb;
  if (!IsRectEmpty(Thumb)) DrawEdge(DC, &Thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}
