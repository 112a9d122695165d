#include "gridlib/base/drawstyle.h"

#include "gridlib/base/basecontrols.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/application.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <vector>

namespace {

constexpr TColor Paper = clWhite, Dark = clBlack;

// A white 40 x 40 bitmap on a monitor of a chosen resolution.
class SortMarkerPainterEh : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    setPixelsPerInch(96);
    Bitmap.SetSize(40, 40);
    clear(&Bitmap);
  }
  void TearDown() override {
    SetStyleServices(nullptr);
    test::SetMonitors({});
    FinalizeForms();
    FinalizeBaseControlsEh();
  }

  static void setPixelsPerInch(Integer Ppi) {
    TMonitorInfo Monitor;
    Monitor.Bounds = Monitor.WorkArea = Rect(0, 0, 1920, 1080);
    Monitor.PixelsPerInch = Ppi;
    Monitor.Primary = true;
    test::SetMonitors({Monitor});
  }
  static void clear(TBitmap* B) {
    B->Canvas()->Brush()->SetColor(Paper);
    B->Canvas()->FillRect(Rect(0, 0, B->Width(), B->Height()));
  }

  TSortMarkerPainterEh Painter;
  TBitmap Bitmap;
};

TEST_F(SortMarkerPainterEh, MarkerSizes) {
  const struct {
    const char* Name;
    Integer Ppi;
    TSortMarkerStyleEh Style;
    TSize Size;
  } Cases[] = {
      {"default is classic", 96, smstDefaultEh, {7, 8}},
      {"classic", 96, smstClassicEh, {7, 8}},
      {"frame", 96, smstFrameEh, {7, 8}},
      {"3-D frame", 96, smst3DFrameEh, {8, 8}},
      {"solid", 96, smstSolidEh, {9, 5}},
      {"classic at 120", 120, smstClassicEh, {9, 10}},
      {"solid at 120 (11.25: 11)", 120, smstSolidEh, {11, 6}},
      {"classic at 144 (12)", 144, smstClassicEh, {11, 12}},
      {"solid at 144 (13.5: 14, even: 13)", 144, smstSolidEh, {13, 7}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    setPixelsPerInch(C.Ppi);
    const TSize Size = Painter.GetSorMarkerSize(Bitmap.Canvas(), C.Style);
    EXPECT_EQ(Size.cx, C.Size.cx);
    EXPECT_EQ(Size.cy, C.Size.cy);
  }
  const TSize Unknown = Painter.GetSorMarkerSize(Bitmap.Canvas(), TSortMarkerStyleEh(9));
  EXPECT_EQ(Unknown.cx, -1);
  EXPECT_EQ(Unknown.cy, -1);
}

// The markers at 96 PPI (R = 8, E = 4) against the same lines drawn
// directly, each line leaving out its end point.
TEST_F(SortMarkerPainterEh, FramedMarkersMatchTheirLines) {
  using TLines = std::vector<std::pair<TColor, std::pair<TPoint, TPoint>>>;
  const TColor Window = TColor(ColorToRGB(clWindow));
  const struct {
    const char* Name;
    TSortMarkerStyleEh Style;
    TSortMarkerEh Direction;
    TLines Lines;  // relative to (L, T) = (3, 2)
  } Cases[] = {
      {"classic down", smstClassicEh, smDownEh, {{Dark, {{0, 0}, {7, 0}}}, {Dark, {{0, 0}, {4, 8}}}, {Dark, {{6, 0}, {3, 7}}}}},
      {"classic up", smstClassicEh, smUpEh, {{Dark, {{0, 7}, {7, 7}}}, {Dark, {{3, 0}, {0, 7}}}, {Dark, {{3, 0}, {6, 7}}}}},
      {"3-D down", smst3DFrameEh, smDownEh, {{Dark, {{0, 0}, {8, 0}}}, {Dark, {{3, 7}, {0, 0}}}, {Window, {{4, 7}, {7, 0}}}}},
      {"3-D up", smst3DFrameEh, smUpEh, {{Window, {{0, 7}, {8, 7}}}, {Window, {{4, 0}, {8, 8}}}, {Dark, {{3, 0}, {0, 7}}}}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear(&Bitmap);
    Bitmap.Canvas()->Pen()->SetColor(clRed);
    Painter.Draw(Bitmap.Canvas(), C.Style, C.Direction, Bounds(3, 2, 20, 20), clYellow, Dark, clBlue);
    EXPECT_EQ(Bitmap.Canvas()->Pen()->Color(), clRed) << "the pen is restored";
    TBitmap Expected;
    Expected.SetSize(40, 40);
    clear(&Expected);
    for (const auto& [Color, Line] : C.Lines) {
      Expected.Canvas()->Pen()->SetColor(Color);
      const TPoint Points[2] = {{Line.first.X + 3, Line.first.Y + 2}, {Line.second.X + 3, Line.second.Y + 2}};
      Expected.Canvas()->Polyline(Points);
    }
    EXPECT_TRUE(ImagesEqual(&Bitmap, &Expected, 0));
    EXPECT_GT(CountPixels(&Bitmap, Rect(0, 0, 40, 40), Dark), 5);
  }
}

TEST_F(SortMarkerPainterEh, DefaultFrameColourIsAMidGrey) {
  Painter.Draw(Bitmap.Canvas(), smstClassicEh, smDownEh, Bounds(0, 0, 20, 20), clNone, clDefault, clNone);
  const TColor Grey = PixelAt(&Bitmap, 0, 0);
  EXPECT_NE(Grey, Paper);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 7, 1), Grey), 7);
}

// Rows from x = i to x = 9 - i, the last pixel left out: 9, 7, 5, 3, 1.
TEST_F(SortMarkerPainterEh, SolidMarkerIsFilledRows) {
  for (const TSortMarkerEh Direction : {smDownEh, smUpEh}) {
    SCOPED_TRACE(int(Direction));
    clear(&Bitmap);
    Painter.Draw(Bitmap.Canvas(), smstSolidEh, Direction, Bounds(10, 10, 20, 20), clNone, clNone, clBlue);
    for (int I = 0; I <= 4; ++I) {
      const int Y = 10 + (Direction == smDownEh ? I : 4 - I);
      EXPECT_EQ(CountPixels(&Bitmap, Rect(0, Y, 40, Y + 1), clBlue), 9 - 2 * I);
      EXPECT_EQ(PixelAt(&Bitmap, 10 + I, Y), clBlue);
    }
    EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 40, 40), clBlue), 25);
  }
}

TEST_F(SortMarkerPainterEh, NoneDrawsNothing) {
  for (const auto Style : {smstClassicEh, smst3DFrameEh, smstSolidEh, smstThemeDefinedEh})
    Painter.Draw(Bitmap.Canvas(), Style, smNoneEh, Bounds(0, 0, 20, 20), Dark, Dark, Dark);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 40, 40), Paper), 40 * 40);
}

TEST_F(SortMarkerPainterEh, ThemeDefinedUsesTheHeaderSortArrow) {
  TRecordingStyleServices Recording;
  SetStyleServices(&Recording);
  const TSize Size = Painter.GetSorMarkerSize(Bitmap.Canvas(), smstThemeDefinedEh);
  EXPECT_EQ(Size.cx, TRecordingStyleServices::ElementSize - 2);
  EXPECT_EQ(Size.cy, TRecordingStyleServices::ElementSize + 1);
  Recording.Calls.clear();
  Painter.Draw(Bitmap.Canvas(), smstThemeDefinedEh, smUpEh, Rect(1, 2, 12, 16), Dark, Dark, Dark);
  Painter.Draw(Bitmap.Canvas(), smstThemeDefinedEh, smDownEh, Rect(1, 2, 12, 16), Dark, Dark, Dark);
  const Integer Part = Recording.GetElementDetails(thHeaderSortArrowSortedUp).Part;
  EXPECT_EQ(Recording.Calls, QStringList({QStringLiteral("DrawElement(teHeader,%1,1,(1,2,12,16))").arg(Part),
                                          QStringLiteral("DrawElement(teHeader,%1,2,(1,2,12,16))").arg(Part)}));
}

TEST(TreeSignPainterEh, AreaWidthRoundsHalvesToEven) {
  TTreeSignPainterEh Painter;
  const struct {
    double Scale;
    Integer Width;
  } Cases[] = {{1.0, 18}, {1.25, 22}, {1.5, 27}, {2.0, 36}};
  for (const auto& C : Cases) EXPECT_EQ(Painter.GetTreeSignAreaWidth(nullptr, 20, C.Scale), C.Width) << C.Scale;
}

TEST(GridLibDrawStyleEh, ReplacingAPainterFreesTheOldOne) {
  TGridLibDrawStyleEh Style;
  TSortMarkerPainterEh* Held = Style.SortmarkerPainter();
  Style.SetSortmarkerPainter(Held);
  EXPECT_EQ(Style.SortmarkerPainter(), Held);
  EXPECT_EQ(Held->ClassType(), TSortMarkerPainterEh::StaticClass()) << "still usable";
  auto* Tree = new TTreeSignPainterEh;
  Style.SetTreeSignPainter(Tree);
  EXPECT_EQ(Style.TreeSignPainter(), Tree);
  EXPECT_EQ(Style.TreeSignPainter()->GetTreeSignAreaWidth(nullptr, 0, 1.0), 18);
}

}  // namespace
