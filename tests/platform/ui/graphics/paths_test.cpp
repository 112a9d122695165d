#include "platform/ui/graphics/paths.h"

#include "platform/rtl/modules.h"
#include "platform/ui/graphics/regions.h"

#include "tests/platform/ui/graphics/surfacefixture.h"

#include <QRegion>
#include <functional>

using namespace gdi;

namespace {

constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;

using TShapeCall = std::function<void(HDC DC)>;

class PathsTest : public SurfaceTest {
 protected:
  // The pixels Draw paints on a fresh surface with a null pen and a red brush.
  QRegion shapePixels(const TShapeCall& Draw) {
    HDC DC = makeSurface(60, 60);
    SelectObject(DC, GetStockObject(NULL_PEN));
    use(DC, CreateSolidBrush(Red));
    Draw(DC);
    return ink();
  }
  bool hasClip(HDC DC) {
    HRGN R = CreateRectRgn(0, 0, 0, 0);
    const bool Result = GetClipRgn(DC, R) == 1;
    DeleteObject(R);
    return Result;
  }
  // The pixels FillPath paints when Draw makes the path.
  QRegion filledPath(const TShapeCall& Draw) {
    return shapePixels([&](HDC DC) {
      BeginPath(DC);
      Draw(DC);
      EndPath(DC);
      FillPath(DC);
    });
  }
};

TEST_F(PathsTest, FilledPathCoversThePixelsTheShapeFills) {
  struct Case {
    const char* Name;
    TShapeCall Draw;
  } const Cases[] = {
      {"rectangle", [](HDC DC) { Rectangle(DC, 5, 7, 40, 30); }},
      {"ellipse", [](HDC DC) { Ellipse(DC, 5, 7, 41, 33); }},
      {"pie", [](HDC DC) { Pie(DC, 5, 5, 50, 50, 50, 27, 27, 5); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QRegion Shape = shapePixels(C.Draw);
    EXPECT_FALSE(Shape.isEmpty());
    EXPECT_EQ(filledPath(C.Draw), Shape);
  }
}

TEST_F(PathsTest, DrawingInsideTheBracketPaintsNothing) {
  HDC DC = makeSurface(40, 40);
  use(DC, CreateSolidBrush(Red));
  BeginPath(DC);
  MoveToEx(DC, 2, 2, nullptr);
  LineTo(DC, 30, 30);
  Rectangle(DC, 5, 5, 20, 20);
  const POINT Triangle[] = {{1, 1}, {20, 1}, {1, 20}};
  Polygon(DC, Triangle, 3);
  const String Text = QStringLiteral("Ab");
  TextOutW(DC, 3, 3, Text.constData(), 2);
  EXPECT_TRUE(ink().isEmpty());
  EXPECT_TRUE(EndPath(DC));
  EXPECT_TRUE(StrokePath(DC));
  EXPECT_FALSE(ink().isEmpty());
}

TEST_F(PathsTest, WidenedPathFilledEqualsTheStroke) {
  auto Outline = [](HDC DC) {
    const POINT Corner[] = {{10, 45}, {28, 12}, {50, 45}};
    Polyline(DC, Corner, 3);
  };
  auto WithPen = [&](HDC DC) {
    const LOGBRUSH B{BS_SOLID, Black, 0};
    use(DC, ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 5, &B, 0, nullptr));
  };
  HDC Stroked = makeSurface(60, 60);
  WithPen(Stroked);
  Outline(Stroked);
  const QRegion Stroke = ink();

  HDC Widened = makeSurface(60, 60);
  WithPen(Widened);
  use(Widened, CreateSolidBrush(Black));
  BeginPath(Widened);
  Outline(Widened);
  EndPath(Widened);
  ASSERT_TRUE(WidenPath(Widened));
  SelectObject(Widened, GetStockObject(NULL_PEN));
  FillPath(Widened);
  EXPECT_FALSE(Stroke.isEmpty());
  EXPECT_EQ(ink(), Stroke);
}

TEST_F(PathsTest, CallsOutsideABracketFailAndChangeNothing) {
  HDC DC = makeSurface(20, 20);
  use(DC, CreateSolidBrush(Red));
  EXPECT_FALSE(EndPath(DC));
  EXPECT_FALSE(CloseFigure(DC));
  EXPECT_FALSE(StrokePath(DC));
  EXPECT_FALSE(FillPath(DC));
  EXPECT_FALSE(WidenPath(DC));
  EXPECT_FALSE(SelectClipPath(DC, RGN_COPY));
  EXPECT_EQ(PathToRegion(DC), nullptr);
  BeginPath(DC);
  Rectangle(DC, 2, 2, 10, 10);
  EXPECT_FALSE(FillPath(DC));  // still open
  EXPECT_TRUE(AbortPath(DC));
  EXPECT_FALSE(FillPath(DC));
  EXPECT_TRUE(ink().isEmpty());
  EXPECT_FALSE(hasClip(DC));
}

TEST_F(PathsTest, BadDCRefusesTheBracketWithInvalidHandle) {
  SetLastError(0);
  EXPECT_FALSE(BeginPath(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PathsTest, SavedStateKeepsThePathAcrossAClipPath) {
  HDC DC = makeSurface(40, 40);
  use(DC, CreateSolidBrush(Red));
  BeginPath(DC);
  Rectangle(DC, 10, 10, 30, 30);
  EndPath(DC);
  const int Saved = SaveDC(DC);
  ASSERT_TRUE(SelectClipPath(DC, RGN_COPY));
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, (RECT{10, 10, 29, 29}));
  RestoreDC(DC, Saved);
  EXPECT_FALSE(hasClip(DC));
  // the path came back with the saved state
  EXPECT_TRUE(StrokeAndFillPath(DC));
  EXPECT_TRUE(inked(20, 20));
}

TEST_F(PathsTest, PathToRegionAnswersTheInterior) {
  HDC DC = makeSurface(40, 40);
  BeginPath(DC);
  Rectangle(DC, 4, 6, 14, 20);
  EndPath(DC);
  HRGN R = PathToRegion(DC);
  ASSERT_NE(R, nullptr);
  Owned.push_back(R);
  EXPECT_EQ(RegionOf(R), QRegion(4, 6, 9, 13));
}

TEST_F(PathsTest, PathCallsAreRecorded) {
  auto Recording = TSurface::MakeRecording(40, 40);
  HDC DC = CreateSurfaceDC(Recording);
  DCs.push_back(DC);
  Recording->Recording = true;
  BeginPath(DC);
  MoveToEx(DC, 1, 1, nullptr);
  LineTo(DC, 9, 9);
  CloseFigure(DC);
  EndPath(DC);
  StrokePath(DC);
  const QStringList& Calls = Recording->RecordedCalls;
  ASSERT_EQ(Calls.size(), 5);
  EXPECT_TRUE(Calls[0].startsWith("BeginPath()"));
  EXPECT_TRUE(Calls[1].startsWith("LineTo(1,1,9,9)"));
  EXPECT_TRUE(Calls[2].startsWith("CloseFigure()"));
  EXPECT_TRUE(Calls[3].startsWith("EndPath()"));
  EXPECT_TRUE(Calls[4].startsWith("StrokePath()"));
}

}  // namespace
