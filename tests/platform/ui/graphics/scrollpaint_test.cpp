#include "platform/ui/graphics/scrollpaint.h"

#include "platform/ui/graphics/surface.h"
#include "tests/support/testing.h"

#include <QImage>
#include <array>
#include <climits>

using namespace gdi;

namespace {

// Each system colour the bar uses gets a value of its own, so a pixel tells
// which colour painted it; the background is none of them.
constexpr COLORREF Background = RGB(1, 2, 3);
constexpr std::array<int, 8> Indexes = {COLOR_3DLIGHT,      COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                                        COLOR_BTNFACE,      COLOR_BTNTEXT,    COLOR_GRAYTEXT,  COLOR_SCROLLBAR};

COLORREF sys(int Index) { return RGB(BYTE(10 + Index), BYTE(100 + Index), BYTE(200 - Index)); }
COLORREF inverted(COLORREF C) { return ~C & 0xFFFFFF; }

const COLORREF Light = sys(COLOR_3DLIGHT), DkShadow = sys(COLOR_3DDKSHADOW), Shadow = sys(COLOR_BTNSHADOW),
               Highlight = sys(COLOR_BTNHIGHLIGHT), Face = sys(COLOR_BTNFACE), BtnText = sys(COLOR_BTNTEXT),
               GrayText = sys(COLOR_GRAYTEXT);

TScrollBarLook look(Integer Min, Integer Max, Integer Page, Integer Position, bool Vertical = false) {
  TScrollBarLook L;
  L.Range = TScrollRange::Clamped(Min, Max, Page);
  L.Position = L.Range.Clamp(Position);
  L.Vertical = Vertical;
  return L;
}

class ScrollPaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Baseline = GdiObjectCount();
    std::array<COLORREF, Indexes.size()> Values;
    for (size_t I = 0; I < Indexes.size(); ++I) Values[I] = sys(Indexes[I]);
    SetSysColors(int(Indexes.size()), Indexes.data(), Values.data());
    QImage Image(100, 100, QImage::Format_RGB32);
    Image.fill(QColor(GetRValue(Background), GetGValue(Background), GetBValue(Background)));
    Surface = std::make_shared<TSurface>(Image);
    DC = CreateSurfaceDC(Surface);
  }
  void TearDown() override {
    DeleteDC(DC);
    ResetSysColors();
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  COLORREF pixel(int X, int Y) {
    const QRgb P = Surface->Image().pixel(X, Y);
    return RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P)));
  }
  int count(const TRect& R, COLORREF Color) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X) N += pixel(X, Y) == Color;
    return N;
  }
  // Every pixel of R in the checkerboard, Even where x + y is even.
  bool checkered(const TRect& R, COLORREF Even, COLORREF Odd) {
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X)
        if (pixel(X, Y) != ((X + Y) % 2 == 0 ? Even : Odd)) return false;
    return true;
  }

  int Baseline = 0;
  std::shared_ptr<TSurface> Surface;
  HDC DC = nullptr;
};

}  // namespace

TEST(ScrollRangeTest, HighestPositionLeavesRoomForThePage) {
  struct Case {
    const char* Name;
    Integer Min, Max;
    Int64 PageSize;
    Integer Highest;
    bool CanScroll;
  };
  const Case Cases[] = {
      {"no page", 0, 100, 0, 100, true},
      {"page of one", 0, 100, 1, 100, true},
      {"page of two", 0, 100, 2, 99, true},
      {"page of ten", 0, 100, 10, 91, true},
      {"page one short of all", 0, 100, 100, 1, true},
      {"page covers all", 0, 100, 101, 0, false},
      {"page beyond the range clamps", 0, 100, 500, 0, false},
      {"negative page counts as none", 0, 100, -5, 100, true},
      {"shifted range", 10, 20, 5, 16, true},
      {"max below min is raised", 50, 10, 0, 50, false},
      {"single position", 7, 7, 1, 7, false},
      {"widest range", INT_MIN, INT_MAX, INT_MAX, 1, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TScrollRange R = TScrollRange::Clamped(C.Min, C.Max, C.PageSize);
    EXPECT_EQ(R.Highest(), C.Highest);
    EXPECT_EQ(R.CanScroll(), C.CanScroll);
    EXPECT_LE(R.Min, R.Max);
    EXPECT_EQ(R.Clamp(Int64(R.Min) - 1), R.Min);
    EXPECT_EQ(R.Clamp(Int64(C.Highest) + 1), C.Highest);
  }
}

TEST(ScrollBarLayoutTest, ArrowsTrackAndThumb) {
  struct Case {
    const char* Name;
    Integer Length;  // of a horizontal bar 17 high at x = 0
    TScrollBarLook Look;
    TRect Thumb;     // empty: none
    Integer Arrow;
  };
  TScrollBarLook Disabled = look(0, 100, 0, 0);
  Disabled.DisabledArrows = ESB_DISABLE_BOTH;
  TScrollBarLook OneArrowOff = look(0, 100, 0, 0);
  OneArrowOff.DisabledArrows = ESB_DISABLE_LTUP;
  const Case Cases[] = {
      {"no page: a square thumb at the start", 100, look(0, 100, 0, 0), {17, 0, 34, 17}, 17},
      {"at the highest position it ends at the arrow", 100, look(0, 100, 0, 100), {66, 0, 83, 17}, 17},
      {"half the range", 100, look(0, 100, 0, 50), {42, 0, 59, 17}, 17},
      {"page: the thumb's share of the track", 100, look(0, 99, 50, 50), {50, 0, 83, 17}, 17},
      {"a tiny page keeps the smallest thumb", 100, look(0, 999, 1, 0), {17, 0, 25, 17}, 17},
      {"a range the page covers: no thumb", 100, look(0, 10, 11, 0), {}, 17},
      {"both arrows disabled: no thumb", 100, Disabled, {}, 17},
      {"one arrow disabled keeps the thumb", 100, OneArrowOff, {17, 0, 34, 17}, 17},
      {"track shorter than the thumb: none", 40, look(0, 100, 0, 0), {}, 17},
      {"a short bar halves its arrows", 30, look(0, 100, 0, 0), {}, 15},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TScrollBarLayout L = LayoutScrollBar(Rect(0, 0, C.Length, 17), C.Look);
    EXPECT_EQ(L.LineUp, Rect(0, 0, C.Arrow, 17));
    EXPECT_EQ(L.LineDown, Rect(C.Length - C.Arrow, 0, C.Length, 17));
    EXPECT_EQ(L.TrackLength, C.Length - 2 * C.Arrow);
    EXPECT_EQ(L.Thumb, C.Thumb);
    if (IsRectEmpty(C.Thumb)) EXPECT_EQ(L.PageUp, Rect(C.Arrow, 0, C.Length - C.Arrow, 17));
  }
}

TEST(ScrollBarLayoutTest, PartsAndPositionsAlongAVerticalBar) {
  // 0 .. 999, page 100, position 450 on a bar 117 long at (5, 10): the
  // track runs 27 .. 110, the thumb is 8 long.
  const TScrollRange Range = TScrollRange::Clamped(0, 999, 100);
  TScrollBarLook Look = look(0, 999, 100, 450, /*Vertical=*/true);
  const TScrollBarLayout L = LayoutScrollBar(Rect(5, 10, 22, 127), Look);
  ASSERT_EQ(L.Thumb, Rect(5, 27 + 38, 22, 27 + 38 + 8));
  EXPECT_EQ(L.PartAt({10, 12}), TScrollBarPart::LineUp);
  EXPECT_EQ(L.PartAt({10, 40}), TScrollBarPart::PageUp);
  EXPECT_EQ(L.PartAt({10, 70}), TScrollBarPart::Thumb);
  EXPECT_EQ(L.PartAt({10, 100}), TScrollBarPart::PageDown);
  EXPECT_EQ(L.PartAt({10, 126}), TScrollBarPart::LineDown);
  EXPECT_EQ(L.PartAt({4, 70}), TScrollBarPart::None);
  // The thumb's start back to a position: both ends, beyond them, and
  // every start the thumb can take gives the position drawn there.
  EXPECT_EQ(L.PositionAt(27, Range), 0);
  EXPECT_EQ(L.PositionAt(0, Range), 0);
  EXPECT_EQ(L.PositionAt(27 + 75, Range), 900);
  EXPECT_EQ(L.PositionAt(500, Range), 900);
  for (Integer Start = 27; Start <= 27 + 75; ++Start) {
    Look.Position = L.PositionAt(Start, Range);
    EXPECT_EQ(LayoutScrollBar(L.Bar, Look).ThumbStart(), Start) << Start;
  }
}

TEST_F(ScrollPaintTest, ArrowsThumbAndCheckeredPageAreas) {
  PaintScrollBar(DC, Rect(0, 0, 100, 17), look(0, 100, 0, 50));
  // Raised arrows with a dark glyph, a raised thumb on the button face.
  for (const int Left : {0, 83}) {
    SCOPED_TRACE(Left);
    EXPECT_EQ(pixel(Left, 0), Light);
    EXPECT_EQ(pixel(Left + 16, 16), DkShadow);
    EXPECT_EQ(pixel(Left + 1, 1), Highlight);
    EXPECT_GT(count(Rect(Left + 2, 2, Left + 15, 15), BtnText), 5);
  }
  EXPECT_EQ(pixel(42, 0), Light);
  EXPECT_EQ(pixel(58, 16), DkShadow);
  EXPECT_EQ(pixel(50, 8), Face);
  EXPECT_TRUE(checkered(Rect(17, 0, 42, 17), Highlight, Face));
  EXPECT_TRUE(checkered(Rect(59, 0, 83, 17), Highlight, Face));
  EXPECT_EQ(pixel(50, 20), Background) << "nothing outside the bar";
}

TEST_F(ScrollPaintTest, PressedArrowIsFlat) {
  TScrollBarLook Pressed = look(0, 100, 0, 50);
  Pressed.Pressed = TScrollBarPart::LineUp;
  PaintScrollBar(DC, Rect(0, 0, 100, 17), Pressed);
  EXPECT_GT(count(Rect(2, 2, 15, 15), BtnText), 5);
  EXPECT_EQ(pixel(0, 0), Shadow);
  EXPECT_EQ(pixel(16, 16), Shadow);
  EXPECT_EQ(pixel(1, 1), Face);
  EXPECT_EQ(pixel(83, 0), Light) << "the other arrow stays raised";
}

TEST_F(ScrollPaintTest, PressedPageAreaInvertsItsCheckerboard) {
  TScrollBarLook Pressed = look(0, 100, 0, 50, /*Vertical=*/true);
  Pressed.Pressed = TScrollBarPart::PageDown;
  PaintScrollBar(DC, Rect(10, 0, 27, 100), Pressed);
  EXPECT_TRUE(checkered(Rect(10, 17, 27, 42), Highlight, Face)) << "the area above the thumb";
  EXPECT_TRUE(checkered(Rect(10, 59, 27, 83), inverted(Highlight), inverted(Face)));
}

TEST_F(ScrollPaintTest, DisabledBarHasGreyArrowsAndNoThumb) {
  TScrollBarLook Disabled = look(0, 100, 10, 50);
  Disabled.DisabledArrows = ESB_DISABLE_BOTH;
  PaintScrollBar(DC, Rect(0, 0, 100, 17), Disabled);
  EXPECT_EQ(count(Rect(0, 0, 100, 17), BtnText), 0);
  EXPECT_GT(count(Rect(0, 0, 17, 17), GrayText), 5);
  EXPECT_GT(count(Rect(83, 0, 100, 17), GrayText), 5);
  EXPECT_TRUE(checkered(Rect(17, 0, 83, 17), Highlight, Face));

  // One arrow off: that arrow grey, the thumb still there.
  TScrollBarLook Left = look(0, 100, 0, 0);
  Left.DisabledArrows = ESB_DISABLE_LTUP;
  PaintScrollBar(DC, Rect(0, 20, 100, 37), Left);
  EXPECT_EQ(count(Rect(0, 20, 17, 37), BtnText), 0);
  EXPECT_GT(count(Rect(83, 20, 100, 37), BtnText), 5);
  EXPECT_EQ(pixel(25, 28), Face) << "the thumb";
}
