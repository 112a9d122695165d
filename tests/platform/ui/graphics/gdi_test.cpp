#include "platform/ui/graphics/gdi.h"

#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/surface.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <random>
#include <string>

using namespace gdi;

namespace {

constexpr COLORREF Black = 0x000000;
constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Blue = 0xFF0000;

// A surface of the given format filled with white, a DC on it, and a check
// that the test gives back every GDI object it makes.
class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override { Baseline = GdiObjectCount(); }
  void TearDown() override {
    for (HDC D : DCs) DeleteDC(D);
    for (HGDIOBJ O : Owned) DeleteObject(O);
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  HDC makeSurface(int Width, int Height, QImage::Format Format = QImage::Format_RGB32) {
    QImage Image(Width, Height, Format);
    Image.fill(Qt::white);
    Surface = std::make_shared<TSurface>(Image);
    DCs.push_back(CreateSurfaceDC(Surface));
    return DCs.back();
  }

  COLORREF pixel(int X, int Y) {
    const QRgb P = Surface->Image().pixel(X, Y);
    return RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P)));
  }
  int count(COLORREF Color) { return count(Color, QRect(0, 0, Surface->Width(), Surface->Height())); }
  int count(COLORREF Color, QRect Area) {
    int N = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
      for (int X = Area.left(); X <= Area.right(); ++X) N += pixel(X, Y) == Color;
    return N;
  }
  // The bounding box of the pixels that are not white.
  QRect ink() {
    QRect Box;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X)
        if (pixel(X, Y) != White) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  // The surface as text, '.' for white, for failure messages.
  std::string art() {
    std::string S;
    for (int Y = 0; Y < Surface->Height(); ++Y) {
      for (int X = 0; X < Surface->Width(); ++X) S += pixel(X, Y) == White ? '.' : '#';
      S += '\n';
    }
    return S;
  }
  // A reference drawing for a person to look at, in the test's working folder.
  void save(const char* Name) { SaveForReview(Surface->Image(), QString::fromLatin1(Name)); }

  // Selects a new pen or brush into the first DC; TearDown deletes them.
  void pen(int Style, int Width, COLORREF Color) { select(CreatePen(Style, Width, Color)); }
  void brush(COLORREF Color) { select(CreateSolidBrush(Color)); }
  void nullPen() { select(GetStockObject(NULL_PEN)); }
  void select(HGDIOBJ Object) {
    Owned.push_back(Object);
    SelectObject(DCs.front(), Object);
  }

  int Baseline = 0;
  std::shared_ptr<TSurface> Surface;
  std::vector<HDC> DCs;
  std::vector<HGDIOBJ> Owned;
};

// ---------------------------------------------------------------------------
// pixel rules

TEST_F(GdiTest, FillRectCoversRightAndBottomExclusive) {
  HDC DC = makeSurface(20, 20, QImage::Format_BGR888);
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(2, 2, 5, 5), B);
  DeleteObject(B);
  EXPECT_EQ(count(Black), 9);
  EXPECT_EQ(ink(), QRect(2, 2, 3, 3));
}

TEST_F(GdiTest, RectanglePutsItsOutlineOnLeftAndRightMinusOne) {
  HDC DC = makeSurface(20, 20, QImage::Format_BGR888);
  pen(PS_SOLID, 1, Black);
  brush(Red);
  Rectangle(DC, 2, 2, 6, 6);
  EXPECT_EQ(ink(), QRect(2, 2, 4, 4));
  for (int I = 2; I <= 5; ++I) {
    EXPECT_EQ(pixel(I, 2), Black);
    EXPECT_EQ(pixel(I, 5), Black);
    EXPECT_EQ(pixel(2, I), Black);
    EXPECT_EQ(pixel(5, I), Black);
  }
  EXPECT_EQ(count(Red), 4);
  EXPECT_EQ(count(Red, QRect(3, 3, 2, 2)), 4);
}

TEST_F(GdiTest, NullPenShapesFillOnePixelLessRightAndBottom) {
  HDC DC = makeSurface(20, 20, QImage::Format_BGR888);
  nullPen();
  brush(Black);
  Rectangle(DC, 2, 2, 6, 6);
  EXPECT_EQ(count(Black), 9);
  EXPECT_EQ(ink(), QRect(2, 2, 3, 3));
}

TEST_F(GdiTest, LineToLeavesOutTheEndPoint) {
  HDC DC = makeSurface(20, 20, QImage::Format_BGR888);
  MoveToEx(DC, 0, 0, nullptr);
  LineTo(DC, 5, 0);
  EXPECT_EQ(count(Black), 5);
  EXPECT_EQ(pixel(5, 0), White);
  POINT P;
  GetCurrentPositionEx(DC, &P);
  EXPECT_EQ(P, Point(5, 0));
}

TEST_F(GdiTest, PolyPolylineOfOnePixelSegmentsSetsOnePixelEach) {
  HDC DC = makeSurface(20, 20, QImage::Format_BGR888);
  const POINT Points[] = {{1, 1}, {2, 1}, {4, 1}, {5, 1}, {1, 3}, {1, 4}, {7, 7}, {8, 8}};
  const DWORD Counts[] = {2, 2, 2, 2};
  PolyPolyline(DC, Points, Counts, 4);
  EXPECT_EQ(count(Black), 4);
  for (TPoint P : {Point(1, 1), Point(4, 1), Point(1, 3), Point(7, 7)}) EXPECT_EQ(pixel(P.X, P.Y), Black);
}

TEST_F(GdiTest, PolylineDrawsInnerVerticesOnce) {
  HDC DC = makeSurface(20, 20);
  SetROP2(DC, R2_XORPEN);
  pen(PS_SOLID, 1, White);
  const POINT Points[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
  Polyline(DC, Points, 4);
  // XOR would restore a pixel drawn twice
  EXPECT_EQ(pixel(8, 2), Black);
  EXPECT_EQ(pixel(8, 8), Black);
  EXPECT_EQ(pixel(2, 8), White);
  EXPECT_EQ(count(Black), 18);
}

TEST_F(GdiTest, EllipseStaysInsideItsBox) {
  HDC DC = makeSurface(20, 20);
  brush(Red);
  Ellipse(DC, 0, 0, 10, 10);
  EXPECT_EQ(ink(), QRect(0, 0, 10, 10));
  EXPECT_EQ(pixel(0, 0), White);  // corners stay outside
  EXPECT_EQ(pixel(5, 5), Red);
  EXPECT_EQ(pixel(0, 5), Black);
  EXPECT_EQ(pixel(9, 5), Black);
  EXPECT_EQ(pixel(5, 9), Black);
}

TEST_F(GdiTest, NullPenEllipseFillsTheBoxLessOne) {
  HDC DC = makeSurface(20, 20);
  nullPen();
  brush(Black);
  Ellipse(DC, 0, 0, 10, 10);
  EXPECT_EQ(ink(), QRect(0, 0, 9, 9));
}

TEST_F(GdiTest, WidePenStraddlesTheOutline) {
  HDC DC = makeSurface(30, 30);
  pen(PS_SOLID, 3, Black);
  brush(Red);
  Rectangle(DC, 5, 5, 20, 20);
  // the outline lies on 5 and 19; a 3-pixel pen covers 4 .. 6 and 18 .. 20
  EXPECT_EQ(ink(), QRect(4, 4, 17, 17));
  EXPECT_EQ(pixel(4, 12), Black);
  EXPECT_EQ(pixel(6, 12), Black);
  EXPECT_EQ(pixel(7, 12), Red);
  EXPECT_EQ(pixel(20, 12), Black);
}

TEST_F(GdiTest, InsideFramePenStaysInsideTheBox) {
  HDC DC = makeSurface(30, 30);
  pen(PS_INSIDEFRAME, 3, Black);
  Rectangle(DC, 5, 5, 20, 20);
  EXPECT_EQ(ink(), QRect(5, 5, 15, 15));
}

TEST_F(GdiTest, DashedPenGapsTakeTheBackgroundWhenOpaque) {
  HDC DC = makeSurface(40, 4);
  pen(PS_DOT, 1, Black);
  SetBkColor(DC, Red);
  MoveToEx(DC, 0, 1, nullptr);
  LineTo(DC, 12, 1);
  // 3 on, 3 off
  for (int X = 0; X < 12; ++X) EXPECT_EQ(pixel(X, 1), (X / 3) % 2 ? Red : Black) << X;
  SetBkMode(DC, TRANSPARENT);
  MoveToEx(DC, 0, 2, nullptr);
  LineTo(DC, 12, 2);
  EXPECT_EQ(pixel(4, 2), White);
  EXPECT_EQ(pixel(7, 2), Black);
}

TEST_F(GdiTest, DashPhaseRunsAcrossPolylineVertices) {
  HDC DC = makeSurface(20, 20);
  pen(PS_DOT, 1, Black);
  SetBkMode(DC, TRANSPARENT);
  const POINT Points[] = {{0, 0}, {4, 0}, {4, 10}};
  Polyline(DC, Points, 3);
  // pixels 0..2 on, 3 off, then (4,0) (4,1) off, (4,2) .. (4,4) on
  EXPECT_EQ(pixel(3, 0), White);
  EXPECT_EQ(pixel(4, 0), White);
  EXPECT_EQ(pixel(4, 1), White);
  EXPECT_EQ(pixel(4, 2), Black);
  EXPECT_EQ(pixel(4, 4), Black);
  EXPECT_EQ(pixel(4, 5), White);
}

TEST_F(GdiTest, HatchBrushesPaintGapsOnlyWhenOpaque) {
  HDC DC = makeSurface(16, 16);
  HBRUSH B = CreateHatchBrush(HS_CROSS, Black);
  SetBkColor(DC, Red);
  FillRect(DC, Rect(0, 0, 16, 8), B);
  SetBkMode(DC, TRANSPARENT);
  FillRect(DC, Rect(0, 8, 16, 16), B);
  DeleteObject(B);
  EXPECT_EQ(pixel(0, 0), Black);
  EXPECT_EQ(pixel(3, 3), Red);
  EXPECT_EQ(pixel(8, 3), Black);  // 8 x 8 period
  EXPECT_EQ(pixel(3, 8), Black);
  EXPECT_EQ(pixel(3, 11), White);
  // the pattern is aligned to the brush origin
  HBRUSH V = CreateHatchBrush(HS_VERTICAL, Blue);
  SetBrushOrgEx(DC, 3, 0, nullptr);
  FillRect(DC, Rect(0, 0, 16, 1), V);
  DeleteObject(V);
  EXPECT_EQ(pixel(3, 0), Blue);
  EXPECT_EQ(pixel(11, 0), Blue);
  EXPECT_EQ(pixel(0, 0), Black);
}

TEST_F(GdiTest, PatternBrushesPaintTheBitmapInTextAndBackgroundColours) {
  HDC DC = makeSurface(16, 4);
  // 2 x 2, repeated over 8 x 8: a checkerboard whose (0, 0) is a 1 bit.
  static constexpr BYTE Bits[4] = {0x80, 0, 0x40, 0};
  const HBITMAP Mono = CreateBitmap(2, 2, 1, 1, Bits);
  const HBRUSH B = CreatePatternBrush(Mono);
  DeleteObject(Mono);  // the brush keeps a copy
  ASSERT_NE(B, nullptr);
  SetTextColor(DC, Blue);
  SetBkColor(DC, Red);
  SetBkMode(DC, TRANSPARENT);  // no gaps: both colours paint
  FillRect(DC, Rect(0, 0, 16, 2), B);
  EXPECT_EQ(pixel(0, 0), Red) << "1 bits in the background colour";
  EXPECT_EQ(pixel(1, 0), Blue) << "0 bits in the text colour";
  EXPECT_EQ(pixel(0, 1), Blue);
  EXPECT_EQ(pixel(10, 1), Blue);
  // The same through PatBlt, shifted by the brush origin.
  SelectObject(DC, B);
  SetBrushOrgEx(DC, 1, 0, nullptr);
  PatBlt(DC, 0, 2, 16, 2, PATCOPY);
  SelectObject(DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(B);
  EXPECT_EQ(pixel(0, 2), Blue);
  EXPECT_EQ(pixel(1, 2), Red);

}

TEST_F(GdiTest, SetPixelAndGetPixelAnswerInvalidOutsideTheClip) {
  HDC DC = makeSurface(10, 10);
  EXPECT_EQ(SetPixel(DC, 3, 3, 0x02FF0000), Blue);  // palette-relative means plain RGB
  EXPECT_EQ(GetPixel(DC, 3, 3), Blue);
  EXPECT_EQ(GetPixel(DC, 10, 3), CLR_INVALID);
  EXPECT_EQ(GetPixel(DC, -1, 0), CLR_INVALID);
  IntersectClipRect(DC, 0, 0, 2, 2);
  EXPECT_EQ(SetPixel(DC, 5, 5, Red), CLR_INVALID);
  EXPECT_EQ(GetPixel(DC, 3, 3), CLR_INVALID);
  EXPECT_EQ(pixel(5, 5), White);
  HDC Screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(Screen, 1, 1), CLR_INVALID);
  ReleaseDC(nullptr, Screen);
}

TEST_F(GdiTest, PieAndChordFollowTheArcDirection) {
  HDC DC = makeSurface(40, 40);
  nullPen();
  brush(Black);
  // counter-clockwise from 3 o'clock to 12 o'clock: the top-right quarter
  Pie(DC, 0, 0, 40, 40, 40, 19, 19, 0);
  EXPECT_EQ(pixel(28, 10), Black);
  EXPECT_EQ(pixel(10, 10), White);
  EXPECT_EQ(pixel(28, 28), White);
  Surface->Image().fill(Qt::white);
  SetArcDirection(DC, AD_CLOCKWISE);
  Pie(DC, 0, 0, 40, 40, 40, 19, 19, 0);
  EXPECT_EQ(pixel(28, 10), White);
  EXPECT_EQ(pixel(10, 10), Black);
  EXPECT_EQ(pixel(28, 28), Black);
  Surface->Image().fill(Qt::white);
  SetArcDirection(DC, AD_COUNTERCLOCKWISE);
  Chord(DC, 0, 0, 40, 40, 40, 19, 19, 0);
  EXPECT_EQ(pixel(30, 8), Black);
  EXPECT_EQ(pixel(22, 17), White);  // beyond the chord, inside the pie
}

TEST_F(GdiTest, ArcToJoinsTheCurrentPositionAndMovesIt) {
  HDC DC = makeSurface(40, 40);
  MoveToEx(DC, 0, 39, nullptr);
  ArcTo(DC, 0, 0, 40, 40, 40, 19, 19, 0);
  POINT P;
  GetCurrentPositionEx(DC, &P);
  EXPECT_NEAR(P.X, 19, 1);
  EXPECT_EQ(P.Y, 0);
  EXPECT_EQ(pixel(20, 29), Black) << art();  // on the joining line to (39, 19)
}

TEST_F(GdiTest, PolygonFillModes) {
  HDC DC = makeSurface(50, 50);
  nullPen();
  brush(Black);
  // a five-pointed star drawn in one stroke: its centre is wound twice
  const POINT Star[] = {{25, 2}, {39, 46}, {2, 18}, {48, 18}, {11, 46}};
  Polygon(DC, Star, 5);
  EXPECT_EQ(pixel(25, 27), White);
  SetPolyFillMode(DC, WINDING);
  Polygon(DC, Star, 5);
  EXPECT_EQ(pixel(25, 27), Black);
  save("gdi_star.png");
}

// The interior of a shape is the pixels whose centres lie inside its fill
// path (polygon vertices are pixel positions), as an aliased raster fill of
// that path decides them, ties on edges through pixel centres included.
// Shapes are XORed onto a patterned surface through a clip region with a
// hole, and every pixel is compared with that reference.
class ShapeFillTest : public GdiTest {
 protected:
  static constexpr int Size = 64;
  static constexpr COLORREF Ink = 0x5A3CC3;

  static COLORREF background(int X, int Y) { return RGB(BYTE(X * 4), BYTE(Y * 4), BYTE(77 + (X ^ Y))); }

  HDC makePatterned() {
    HDC DC = makeSurface(Size, Size);
    for (int Y = 0; Y < Size; ++Y)
      for (int X = 0; X < Size; ++X) SetPixelV(DC, X, Y, background(X, Y));
    nullPen();
    brush(Ink);
    SetROP2(DC, R2_XORPEN);
    // the whole surface but a round hole: a banded region whose box is not
    // smaller than any shape
    HRGN Clip = CreateRectRgn(0, 0, Size, Size);
    HRGN Hole = CreateEllipticRgn(20, 14, 41, 33);
    CombineRgn(Clip, Clip, Hole, RGN_DIFF);
    SelectClipRgn(DC, Clip);
    ClipHole = QRegion(QRect(0, 0, Size, Size));
    for (int Y = 0; Y < Size; ++Y)
      for (int X = 0; X < Size; ++X)
        if (PtInRegion(Hole, X, Y)) ClipHole -= QRect(X, Y, 1, 1);
    DeleteObject(Hole);
    DeleteObject(Clip);
    return DC;
  }

  // The surface's pixels against Path filled by Rule and XORed in the clip;
  // the first wrong pixel, or an empty string.
  std::string firstWrongPixel(const QPainterPath& Path, Qt::FillRule Rule) {
    QImage Mask(Size, Size, QImage::Format_Alpha8);
    Mask.fill(0);
    QPainterPath Filled = Path;
    Filled.setFillRule(Rule);
    QPainter P(&Mask);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0, 0, 0, 255));
    P.drawPath(Filled);
    P.end();
    for (int Y = 0; Y < Size; ++Y)
      for (int X = 0; X < Size; ++X) {
        const bool Filled = Mask.constScanLine(Y)[X] && ClipHole.contains(QPoint(X, Y));
        const COLORREF Expected = Filled ? background(X, Y) ^ Ink : background(X, Y);
        if (pixel(X, Y) != Expected)
          return "pixel (" + std::to_string(X) + ", " + std::to_string(Y) + ") should be " +
                 (Filled ? "filled" : "untouched");
      }
    return {};
  }

  QRegion ClipHole;
};

TEST_F(ShapeFillTest, PolygonsMatchTheCentreSampledFillInBothModes) {
  struct Case {
    const char* Name;
    std::vector<POINT> Points;
  };
  const Case Cases[] = {
      {"concave arrow with 45 degree edges", {{4, 30}, {30, 4}, {30, 18}, {60, 18}, {60, 42}, {30, 42}, {30, 56}}},
      {"star wound twice in the middle", {{32, 1}, {51, 60}, {2, 22}, {62, 22}, {13, 60}}},
      {"bow tie crossing between pixel centres", {{3, 5}, {60, 58}, {60, 5}, {3, 58}}},
      {"shallow and steep slopes", {{1, 10}, {62, 17}, {40, 62}, {37, 3}, {5, 50}}},
      {"spiral overlapping itself", {{10, 10}, {54, 10}, {54, 54}, {20, 54}, {20, 20}, {44, 20}, {44, 44}, {4, 60}}},
  };
  for (const Case& C : Cases)
    for (int Mode : {ALTERNATE, WINDING}) {
      SCOPED_TRACE(std::string(C.Name) + (Mode == WINDING ? ", winding" : ", alternate"));
      HDC DC = makePatterned();
      SetPolyFillMode(DC, Mode);
      Polygon(DC, C.Points.data(), int(C.Points.size()));
      QPolygonF Outline;
      for (const POINT& Pt : C.Points) Outline << QPointF(Pt.X, Pt.Y);
      QPainterPath Path;
      Path.addPolygon(Outline);
      Path.closeSubpath();
      EXPECT_EQ(firstWrongPixel(Path, Mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill), "");
      DeleteDC(DC);
      DCs.clear();
    }
}

TEST_F(GdiTest, PolygonsWithFarOffVerticesFillExactly) {
  // a zoomed chart puts vertices far outside the surface
  HDC DC = makeSurface(40, 30);
  nullPen();
  brush(Black);
  constexpr int Far = 3000000;
  const POINT LeftOf25[] = {{-Far, -Far}, {25, -Far}, {25, Far}, {-Far, Far}};
  Polygon(DC, LeftOf25, 4);
  EXPECT_EQ(ink(), QRect(0, 0, 25, 30));
  EXPECT_EQ(count(Black), 25 * 30);
  // a sliver from far left to far right: its row is the one whose centre it covers
  const POINT Sliver[] = {{-Far, 10}, {Far, 10}, {Far, 11}, {-Far, 11}};
  brush(Red);
  Polygon(DC, Sliver, 4);
  EXPECT_EQ(count(Red), 40);
  EXPECT_EQ(count(Red, QRect(0, 10, 40, 1)), 40);
}

TEST_F(ShapeFillTest, RandomPolygonsAndEllipsesMatchTheCentreSampledFill) {
  std::mt19937 Random(7);  // fixed: the same shapes every run
  std::uniform_int_distribution<int> Coordinate(-6, Size + 6);
  for (int N = 0; N < 200; ++N) {
    SCOPED_TRACE("shape " + std::to_string(N));
    HDC DC = makePatterned();
    const int Mode = N % 2 ? WINDING : ALTERNATE;
    SetPolyFillMode(DC, Mode);
    QPainterPath Path;
    if (N % 5 == 4) {
      const int Left = Coordinate(Random), Top = Coordinate(Random);
      const int Right = Left + 3 + N % 37, Bottom = Top + 2 + N % 41;
      Ellipse(DC, Left, Top, Right, Bottom);
      Path.addEllipse(QRectF(Left, Top, Right - Left - 1, Bottom - Top - 1));
    } else {
      std::vector<POINT> Points(size_t(3 + N % 6));
      QPolygonF Outline;
      for (POINT& Pt : Points) {
        Pt = {Coordinate(Random), Coordinate(Random)};
        Outline << QPointF(Pt.X, Pt.Y);
      }
      Polygon(DC, Points.data(), int(Points.size()));
      Path.addPolygon(Outline);
      Path.closeSubpath();
    }
    EXPECT_EQ(firstWrongPixel(Path, Mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill), "");
    DeleteDC(DC);
    DCs.clear();
  }
}

// ---------------------------------------------------------------------------
// raster operations

TEST_F(GdiTest, XorDrawnTwiceRestoresEveryPixel) {
  HDC DC = makeSurface(60, 40);
  HBRUSH B = CreateSolidBrush(RGB(12, 200, 99));
  FillRect(DC, Rect(10, 5, 50, 30), B);
  DeleteObject(B);
  const QImage Before = Surface->Image().copy();
  SetROP2(DC, R2_XORPEN);
  pen(PS_SOLID, 1, RGB(200, 100, 50));
  brush(RGB(1, 2, 3));
  for (int Round = 0; Round < 2; ++Round) {
    MoveToEx(DC, 0, 20, nullptr);
    LineTo(DC, 60, 22);
    Rectangle(DC, 5, 5, 40, 35);
    Ellipse(DC, 20, 2, 58, 38);
  }
  EXPECT_EQ(Surface->Image(), Before);
}

TEST_F(GdiTest, BinaryRasterOperationsAreBitwise) {
  struct Case {
    int Rop2;
    COLORREF Expected;  // pen $00F0CC0F over destination $003C55AA
  } Cases[] = {
      {R2_BLACK, 0x000000},       {R2_WHITE, 0xFFFFFF},        {R2_NOP, 0x3C55AA},
      {R2_NOT, 0xC3AA55},         {R2_COPYPEN, 0xF0CC0F},      {R2_NOTCOPYPEN, 0x0F33F0},
      {R2_XORPEN, 0xCC99A5},      {R2_NOTXORPEN, 0x33665A},    {R2_MASKPEN, 0x30440A},
      {R2_MERGEPEN, 0xFCDDAF},    {R2_MASKPENNOT, 0xC08805},   {R2_MERGENOTPEN, 0x3F77FA},
  };
  HDC DC = makeSurface(4, 4);
  pen(PS_SOLID, 1, 0xF0CC0F);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Rop2);
    SetPixelV(DC, 1, 1, 0x3C55AA);
    SetROP2(DC, C.Rop2);
    MoveToEx(DC, 1, 1, nullptr);
    LineTo(DC, 2, 1);
    EXPECT_EQ(pixel(1, 1), C.Expected);
  }
}

TEST_F(GdiTest, RasterOperationsWorkOnEveryPixelFormat) {
  for (QImage::Format Format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_BGR888,
                                QImage::Format_RGB16, QImage::Format_Mono}) {
    SCOPED_TRACE(Format);
    HDC DC = makeSurface(8, 8, Format);
    if (Format == QImage::Format_Mono) Surface->Image().setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    Surface->Image().fill(Format == QImage::Format_Mono ? 1 : 0xFFFFFFFFu);
    SetROP2(DC, R2_NOT);
    MoveToEx(DC, 0, 3, nullptr);
    LineTo(DC, 8, 3);
    EXPECT_EQ(pixel(2, 3), Black);
    EXPECT_EQ(pixel(2, 4), White);
    LineTo(DC, 0, 3);
    EXPECT_EQ(pixel(2, 3), White);
  }
}

TEST_F(GdiTest, FocusRectangleDrawnTwiceRestores) {
  HDC DC = makeSurface(20, 20);
  brush(RGB(40, 90, 160));
  Rectangle(DC, 2, 2, 18, 18);
  const QImage Before = Surface->Image().copy();
  DrawFocusRect(DC, Rect(1, 1, 19, 19));
  EXPECT_NE(Surface->Image(), Before);
  EXPECT_EQ(pixel(1, 1), Black);   // inverted white
  EXPECT_EQ(pixel(2, 1), White);   // every other pixel
  DrawFocusRect(DC, Rect(1, 1, 19, 19));
  EXPECT_EQ(Surface->Image(), Before);
}

TEST_F(GdiTest, NopDrawsNothing) {
  HDC DC = makeSurface(20, 20);
  const QImage Before = Surface->Image().copy();
  SetROP2(DC, R2_NOP);
  brush(Red);
  Rectangle(DC, 0, 0, 10, 10);
  LineTo(DC, 19, 19);
  EXPECT_EQ(Surface->Image(), Before);
}

// ---------------------------------------------------------------------------
// blits

class BlitTest : public GdiTest {
 protected:
  // A memory DC holding a new 32-bit bitmap filled with Color.
  HDC memoryDC(int Width, int Height, COLORREF Color) {
    HDC Mem = CreateCompatibleDC(nullptr);
    Bitmaps.push_back(CreateCompatibleBitmap(Mem, Width, Height));
    SelectObject(Mem, Bitmaps.back());
    HBRUSH B = CreateSolidBrush(Color);
    FillRect(Mem, Rect(0, 0, Width, Height), B);
    DeleteObject(B);
    DCs.push_back(Mem);
    return Mem;
  }
  void TearDown() override {
    for (HBITMAP B : Bitmaps) Owned.push_back(B);
    GdiTest::TearDown();
  }
  std::vector<HBITMAP> Bitmaps;
};

TEST_F(BlitTest, TernaryOperationsCombineBitwise) {
  struct Case {
    DWORD Rop;
    COLORREF Expected;  // source $00F0CC0F, destination $003C55AA, brush $00123456
  } Cases[] = {
      {SRCCOPY, 0xF0CC0F},   {SRCAND, 0x30440A},    {SRCPAINT, 0xFCDDAF},  {SRCINVERT, 0xCC99A5},
      {SRCERASE, 0xC08805},  {NOTSRCCOPY, 0x0F33F0}, {DSTINVERT, 0xC3AA55}, {BLACKNESS, 0x000000},
      {WHITENESS, 0xFFFFFF}, {PATCOPY, 0x123456},    {PATINVERT, 0x2E61FC}, {MERGECOPY, 0x100406},
  };
  HDC DC = makeSurface(4, 4);
  brush(0x123456);
  HDC Source = memoryDC(4, 4, 0xF0CC0F);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Rop);
    SetPixelV(DC, 1, 1, 0x3C55AA);
    BitBlt(DC, 1, 1, 1, 1, Source, 0, 0, C.Rop);
    EXPECT_EQ(pixel(1, 1), C.Expected);
  }
}

TEST_F(BlitTest, MonochromeSourceTakesTextAndBackgroundColours) {
  HDC DC = makeSurface(8, 2);
  // one row: bits 1 0 1 1 0 0 0 0 (1 = white)
  const uchar Bits[] = {0xB0, 0x00, 0xB0, 0x00};
  HBITMAP Mask = CreateBitmap(8, 2, 1, 1, Bits);
  HDC MaskDC = CreateCompatibleDC(nullptr);
  SelectObject(MaskDC, Mask);
  SetTextColor(DC, Red);
  SetBkColor(DC, Blue);
  BitBlt(DC, 0, 0, 8, 1, MaskDC, 0, 0, SRCCOPY);
  EXPECT_EQ(pixel(0, 0), Blue);
  EXPECT_EQ(pixel(1, 0), Red);
  EXPECT_EQ(pixel(2, 0), Blue);
  EXPECT_EQ(pixel(4, 0), Red);

  // the embossing operation: brush where the mask bit is 0, destination where 1
  SetTextColor(DC, White);
  SetBkColor(DC, Black);
  brush(RGB(0, 128, 0));
  BitBlt(DC, 0, 1, 8, 1, MaskDC, 0, 1, 0x00E20746);
  EXPECT_EQ(pixel(0, 1), White);
  EXPECT_EQ(pixel(1, 1), RGB(0, 128, 0));
  EXPECT_EQ(pixel(3, 1), White);
  EXPECT_EQ(pixel(4, 1), RGB(0, 128, 0));
  DeleteDC(MaskDC);
  DeleteObject(Mask);
}

TEST_F(BlitTest, ColourSourceOntoMonochromeMatchesTheSourceBackground) {
  HDC Source = memoryDC(4, 1, Red);
  SetPixelV(Source, 2, 0, Blue);
  SetBkColor(Source, Blue);
  HBITMAP Mask = CreateBitmap(4, 1, 1, 1, nullptr);
  HDC MaskDC = CreateCompatibleDC(nullptr);
  SelectObject(MaskDC, Mask);
  BitBlt(MaskDC, 0, 0, 4, 1, Source, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(MaskDC, 2, 0), White);
  EXPECT_EQ(GetPixel(MaskDC, 1, 0), Black);
  DeleteDC(MaskDC);
  DeleteObject(Mask);
}

TEST_F(BlitTest, StretchIsNearestNeighbourAndNegativeExtentsMirror) {
  HDC DC = makeSurface(8, 8);
  HDC Source = memoryDC(2, 1, Red);
  SetPixelV(Source, 1, 0, Blue);
  StretchBlt(DC, 0, 0, 8, 2, Source, 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(count(Red, QRect(0, 0, 4, 2)), 8);
  EXPECT_EQ(count(Blue, QRect(4, 0, 4, 2)), 8);
  StretchBlt(DC, 8, 4, -8, 1, Source, 0, 0, 2, 1, SRCCOPY);  // mirrored onto 0 .. 7
  EXPECT_EQ(pixel(0, 4), Blue);
  EXPECT_EQ(pixel(7, 4), Red);
}

TEST_F(BlitTest, OverlappingCopyWithinOneSurface) {
  HDC DC = makeSurface(10, 1);
  for (int X = 0; X < 10; ++X) SetPixelV(DC, X, 0, RGB(BYTE(X * 20), 0, 0));
  BitBlt(DC, 2, 0, 8, 1, DC, 0, 0, SRCCOPY);
  for (int X = 2; X < 10; ++X) EXPECT_EQ(pixel(X, 0), RGB(BYTE((X - 2) * 20), 0, 0));
}

TEST_F(BlitTest, PatBltUsesTheSelectedBrush) {
  HDC DC = makeSurface(10, 10);
  brush(Red);
  PatBlt(DC, 2, 2, 3, 3, PATCOPY);
  EXPECT_EQ(count(Red), 9);
  PatBlt(DC, 2, 2, 3, 3, DSTINVERT);
  EXPECT_EQ(count(RGB(0, 255, 255)), 9);
  EXPECT_EQ(PatBlt(DC, 0, 0, 1, 1, SRCCOPY), 0);  // needs a source
  SelectObject(DC, GetStockObject(NULL_BRUSH));
  PatBlt(DC, 0, 0, 10, 10, PATCOPY);
  EXPECT_EQ(count(RGB(0, 255, 255)), 9);
}

TEST_F(BlitTest, SolidPatternCopyKeepsTheClipTheDCBrushAndFlippedExtents) {
  HDC DC = makeSurface(10, 10);
  SelectObject(DC, GetStockObject(DC_BRUSH));
  SetDCBrushColor(DC, Red);
  IntersectClipRect(DC, 0, 0, 4, 10);
  PatBlt(DC, 6, 2, -4, 3, PATCOPY);  // columns 2 .. 5, clipped to 2 .. 3
  EXPECT_EQ(count(Red), 6);
  EXPECT_EQ(pixel(3, 4), Red);
  EXPECT_EQ(pixel(4, 4), White);
}

TEST_F(BlitTest, SourceCopyBetween32BitImagesKeepsAlpha) {
  HDC DC = makeSurface(2, 1, QImage::Format_ARGB32_Premultiplied);
  QImage Pixels(2, 1, QImage::Format_ARGB32_Premultiplied);
  Pixels.setPixel(0, 0, 0x80400000);
  Pixels.setPixel(1, 0, 0x00000000);
  HDC Source = CreateSurfaceDC(std::make_shared<TSurface>(Pixels));
  DCs.push_back(Source);
  BitBlt(DC, 0, 0, 2, 1, Source, 0, 0, SRCCOPY);
  EXPECT_EQ(Surface->Image().pixel(0, 0), 0x80400000u);
  EXPECT_EQ(qAlpha(Surface->Image().pixel(1, 0)), 0);
  HDC Opaque = makeSurface(2, 1);
  BitBlt(Opaque, 0, 0, 2, 1, Source, 0, 0, SRCCOPY);
  EXPECT_EQ(Surface->Image().pixel(1, 0), 0xFF000000u);  // RGB32 stays opaque
}

TEST_F(BlitTest, AlphaBlendWithConstantAlpha) {
  struct Case {
    BYTE Alpha;
    BYTE Dest;
    BYTE Source;
    BYTE Expected;
  } Cases[] = {{0, 77, 200, 77}, {255, 77, 200, 200}, {128, 0, 255, 128}, {128, 255, 0, 127}, {1, 0, 255, 1}};
  HDC DC = makeSurface(2, 2);
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Alpha));
    HDC Source = memoryDC(1, 1, RGB(C.Source, C.Source, C.Source));
    SetPixelV(DC, 0, 0, RGB(C.Dest, C.Dest, C.Dest));
    AlphaBlend(DC, 0, 0, 1, 1, Source, 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, C.Alpha, 0});
    EXPECT_EQ(pixel(0, 0), RGB(C.Expected, C.Expected, C.Expected));
  }
}

TEST_F(BlitTest, AlphaBlendWithPremultipliedSourceAlpha) {
  HDC DC = makeSurface(3, 1);
  SetPixelV(DC, 0, 0, RGB(100, 100, 100));
  SetPixelV(DC, 1, 0, RGB(100, 100, 100));
  SetPixelV(DC, 2, 0, RGB(100, 100, 100));
  QImage Pixels(3, 1, QImage::Format_ARGB32_Premultiplied);
  Pixels.setPixel(0, 0, 0x00000000);  // all zero: leaves the destination
  Pixels.setPixel(1, 0, 0x80400000);  // half covered, premultiplied red 64
  Pixels.setPixel(2, 0, 0xFF00FF00);
  auto SourceSurface = std::make_shared<TSurface>(Pixels);
  HDC Source = CreateSurfaceDC(SourceSurface);
  DCs.push_back(Source);
  AlphaBlend(DC, 0, 0, 3, 1, Source, 0, 0, 3, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  EXPECT_EQ(pixel(0, 0), RGB(100, 100, 100));
  // d' = s + d * (255 - 128) / 255 = 64 + 49 (red), 0 + 49 (green, blue)
  EXPECT_EQ(pixel(1, 0), RGB(113, 49, 49));
  EXPECT_EQ(pixel(2, 0), RGB(0, 255, 0));
  // source rectangles outside the source fail
  EXPECT_EQ(AlphaBlend(DC, 0, 0, 3, 1, Source, 1, 0, 3, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}), 0);
}

// ---------------------------------------------------------------------------
// clip and SaveDC

TEST_F(GdiTest, RestoreDCBringsBackTheClipAndState) {
  HDC DC = makeSurface(20, 20);
  HRGN R = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(SaveDC(DC), 1);
  IntersectClipRect(DC, 2, 2, 5, 5);
  SetBkColor(DC, Red);
  SetROP2(DC, R2_XORPEN);
  EXPECT_EQ(SaveDC(DC), 2);
  SetTextAlign(DC, TA_RIGHT);
  EXPECT_EQ(GetClipRgn(DC, R), 1);
  EXPECT_TRUE(RestoreDC(DC, -1));
  EXPECT_EQ(GetTextAlign(DC), TA_LEFT);
  EXPECT_EQ(GetBkColor(DC), Red);
  EXPECT_TRUE(RestoreDC(DC, 1));
  EXPECT_EQ(GetClipRgn(DC, R), 0);
  EXPECT_EQ(GetBkColor(DC), White);
  EXPECT_EQ(GetROP2(DC), R2_COPYPEN);
  EXPECT_FALSE(RestoreDC(DC, 1));  // gone
  EXPECT_FALSE(RestoreDC(DC, -1));
  DeleteObject(R);
}

TEST_F(GdiTest, RestoreDCBringsBackSelectedObjects) {
  HDC DC = makeSurface(4, 4);
  HPEN Original = static_cast<HPEN>(GetCurrentObject(DC, OBJ_PEN));
  SaveDC(DC);
  HPEN P = CreatePen(PS_SOLID, 1, Red);
  SelectObject(DC, P);
  DeleteObject(P);  // selected: deferred
  EXPECT_EQ(GetObjectType(P), 0u);
  MoveToEx(DC, 0, 0, nullptr);
  LineTo(DC, 2, 0);
  EXPECT_EQ(pixel(0, 0), Red);  // still draws
  RestoreDC(DC, -1);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Original);
}

TEST_F(GdiTest, ClipRectanglesAreLogicalAndKeptInDeviceCoordinates) {
  HDC DC = makeSurface(20, 20);
  SetWindowOrgEx(DC, -10, 0, nullptr);
  IntersectClipRect(DC, 0, 0, 5, 5);
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(DC, R), 1);
  RECT Box;
  GetRgnBox(R, &Box);
  EXPECT_EQ(Box, Rect(10, 0, 15, 5));
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 5, 5));
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(-10, 0, 10, 20), B);
  EXPECT_EQ(count(Black), 25);
  EXPECT_EQ(ink(), QRect(10, 0, 5, 5));

  SelectClipRgn(DC, nullptr);
  EXPECT_EQ(GetClipRgn(DC, R), 0);
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(-10, 0, 10, 20));  // the surface, in logical units
  FillRect(DC, Rect(-10, 0, 10, 20), B);
  EXPECT_EQ(count(Black), 400);
  DeleteObject(B);
  DeleteObject(R);
}

TEST_F(GdiTest, ClipRegionModes) {
  HDC DC = makeSurface(20, 20);
  HRGN A = CreateRectRgn(0, 0, 10, 10);
  HRGN B = CreateRectRgn(5, 5, 15, 15);
  HRGN Out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(SelectClipRgn(DC, A), SIMPLEREGION);
  EXPECT_EQ(ExtSelectClipRgn(DC, B, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtVisible(DC, 12, 12));
  EXPECT_FALSE(PtVisible(DC, 12, 2));
  EXPECT_EQ(ExtSelectClipRgn(DC, B, RGN_DIFF), COMPLEXREGION);  // an L
  EXPECT_FALSE(PtVisible(DC, 6, 6));
  EXPECT_TRUE(PtVisible(DC, 2, 2));
  ExcludeClipRect(DC, 0, 0, 3, 3);
  EXPECT_FALSE(PtVisible(DC, 2, 2));
  OffsetClipRgn(DC, 10, 0);
  EXPECT_TRUE(PtVisible(DC, 14, 3));
  RECT R = Rect(0, 0, 10, 10);
  EXPECT_FALSE(RectVisible(DC, &R));
  EXPECT_EQ(ExtSelectClipRgn(DC, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(ExtSelectClipRgn(DC, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(PtVisible(DC, 2, 2));
  // a selected region is copied: changing it later does not move the clip
  SelectObject(DC, A);
  OffsetRgn(A, 10, 10);
  EXPECT_TRUE(PtVisible(DC, 2, 2));
  DeleteObject(A);
  DeleteObject(B);
  DeleteObject(Out);
}

// ---------------------------------------------------------------------------
// coordinate spaces

// The mirror the grid uses for right-to-left: window origin at the client
// width, window extent (-W, H), viewport extent (W, H).
void mirror(HDC DC, int Width, int Height) {
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowOrgEx(DC, Width, 0, nullptr);
  SetWindowExtEx(DC, -Width, Height, nullptr);
  SetViewportExtEx(DC, Width, Height, nullptr);
}

TEST_F(GdiTest, MirroredMappingPlacesFillsAndPenPixels) {
  HDC DC = makeSurface(100, 20);
  mirror(DC, 100, 20);
  POINT P{0, 0};
  LPtoDP(DC, &P, 1);
  EXPECT_EQ(P, Point(100, 0));
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(0, 0, 10, 10), B);
  DeleteObject(B);
  EXPECT_EQ(ink(), QRect(90, 0, 10, 10));
  Surface->Image().fill(Qt::white);
  MoveToEx(DC, 1, 0, nullptr);
  LineTo(DC, 1, 20);
  EXPECT_EQ(ink(), QRect(99, 0, 1, 20));
  Surface->Image().fill(Qt::white);
  MoveToEx(DC, 0, 0, nullptr);
  LineTo(DC, 0, 20);  // column 100 is off the surface
  EXPECT_TRUE(ink().isEmpty());
}

TEST_F(GdiTest, LayoutRtlIsTheSameMirror) {
  HDC DC = makeSurface(100, 20);
  EXPECT_EQ(SetLayout(DC, LAYOUT_RTL), 0u);
  EXPECT_EQ(GetLayout(DC), LAYOUT_RTL);
  POINT P{0, 0};
  LPtoDP(DC, &P, 1);
  EXPECT_EQ(P, Point(100, 0));
  DPtoLP(DC, &P, 1);
  EXPECT_EQ(P, Point(0, 0));
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(0, 0, 10, 10), B);
  DeleteObject(B);
  EXPECT_EQ(ink(), QRect(90, 0, 10, 10));
}

TEST_F(GdiTest, TextUnderTheMirrorStaysUpright) {
  HDC DC = makeSurface(100, 30);
  LOGFONTW LogFont;
  LogFont.lfHeight = -16;
  LogFont.lfQuality = NONANTIALIASED_QUALITY;
  SetLogFontFaceName(LogFont, "Tahoma");
  select(CreateFontIndirectW(LogFont));
  SetBkMode(DC, TRANSPARENT);
  const String L = "L";
  TextOutW(DC, 10, 5, L.constData(), 1);
  const QImage Upright = Surface->Image().copy(ink());
  ASSERT_FALSE(Upright.isNull());
  ASSERT_NE(Upright.mirrored(true, false), Upright);
  Surface->Image().fill(Qt::white);
  mirror(DC, 100, 30);
  TextOutW(DC, 10, 5, L.constData(), 1);
  const QRect Box = ink();
  EXPECT_GT(Box.left(), 50);  // placed from the right edge
  EXPECT_EQ(Surface->Image().copy(Box), Upright);
}

TEST_F(GdiTest, MappingModesAndExtents) {
  HDC DC = makeSurface(100, 100);
  SIZE Extent;
  EXPECT_TRUE(SetWindowExtEx(DC, 10, 10, &Extent));  // ignored in MM_TEXT
  GetWindowExtEx(DC, &Extent);
  EXPECT_EQ(Extent, (SIZE{1, 1}));
  EXPECT_EQ(SetMapMode(DC, MM_ANISOTROPIC), MM_TEXT);
  GetViewportExtEx(DC, &Extent);
  EXPECT_EQ(Extent, (SIZE{1, 1}));
  SetWindowExtEx(DC, 10, 10, nullptr);
  SetViewportExtEx(DC, 30, 20, nullptr);
  SetViewportOrgEx(DC, 5, 5, nullptr);
  EXPECT_FALSE(SetWindowExtEx(DC, 0, 10, nullptr));
  POINT P[2] = {{0, 0}, {10, 10}};
  LPtoDP(DC, P, 2);
  EXPECT_EQ(P[0], Point(5, 5));
  EXPECT_EQ(P[1], Point(35, 25));
  SetMapMode(DC, MM_TEXT);
  GetViewportExtEx(DC, &Extent);
  EXPECT_EQ(Extent, (SIZE{1, 1}));
}

TEST_F(BlitTest, NegativeWindowExtentCopiesUpsideDown) {
  HDC DC = makeSurface(4, 4);
  HDC Source = memoryDC(4, 4, Red);
  HBRUSH B = CreateSolidBrush(Blue);
  FillRect(Source, Rect(0, 0, 4, 1), B);  // blue top row
  DeleteObject(B);
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowExtEx(DC, 4, -4, nullptr);
  SetViewportExtEx(DC, 4, 4, nullptr);
  SetWindowOrgEx(DC, 0, 4, nullptr);
  BitBlt(DC, 0, 0, 4, 4, Source, 0, 0, SRCCOPY);
  EXPECT_EQ(count(Blue, QRect(0, 3, 4, 1)), 4);
  EXPECT_EQ(count(Red, QRect(0, 0, 4, 3)), 12);
}

TEST_F(GdiTest, WorldTransformNeedsTheAdvancedMode) {
  HDC DC = makeSurface(50, 50);
  const XFORM Rotate90{0, 1, -1, 0, 0, 0};
  const XFORM Translate10{1, 0, 0, 1, 10, 0};
  EXPECT_FALSE(SetWorldTransform(DC, &Rotate90));
  EXPECT_FALSE(ModifyWorldTransform(DC, &Rotate90, MWT_LEFTMULTIPLY));
  EXPECT_EQ(SetGraphicsMode(DC, GM_ADVANCED), GM_COMPATIBLE);
  EXPECT_TRUE(SetWorldTransform(DC, &Rotate90));
  EXPECT_EQ(SetGraphicsMode(DC, GM_COMPATIBLE), 0);  // not the identity
  EXPECT_EQ(GetGraphicsMode(DC), GM_ADVANCED);

  // translate first, then rotate: (1, 2) -> (11, 2) -> (-2, 11)
  ModifyWorldTransform(DC, &Translate10, MWT_LEFTMULTIPLY);
  POINT P{1, 2};
  LPtoDP(DC, &P, 1);
  EXPECT_EQ(P, Point(-2, 11));
  // rotate first, then translate: (1, 2) -> (-2, 1) -> (8, 1)
  SetWorldTransform(DC, &Rotate90);
  ModifyWorldTransform(DC, &Translate10, MWT_RIGHTMULTIPLY);
  P = {1, 2};
  LPtoDP(DC, &P, 1);
  EXPECT_EQ(P, Point(8, 1));
  XFORM X;
  GetWorldTransform(DC, &X);
  EXPECT_EQ(X, (XFORM{0, 1, -1, 0, 10, 0}));

  ModifyWorldTransform(DC, nullptr, MWT_IDENTITY);
  EXPECT_EQ(SetGraphicsMode(DC, GM_COMPATIBLE), GM_ADVANCED);
}

TEST_F(GdiTest, RotatedFillsFollowTheWorldTransform) {
  HDC DC = makeSurface(40, 40);
  SetGraphicsMode(DC, GM_ADVANCED);
  const XFORM Rotate90At20{0, 1, -1, 0, 40, 0};  // (x, y) -> (40 - y, x)
  SetWorldTransform(DC, &Rotate90At20);
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(0, 0, 20, 5), B);
  DeleteObject(B);
  EXPECT_EQ(ink(), QRect(35, 0, 5, 20));
  ModifyWorldTransform(DC, nullptr, MWT_IDENTITY);
}

// ---------------------------------------------------------------------------
// objects and handles

TEST_F(GdiTest, SelectObjectAnswersThePreviousObjectOfItsKind) {
  HDC DC = makeSurface(4, 4);
  HPEN P1 = CreatePen(PS_SOLID, 1, Red);
  HPEN P2 = CreatePen(PS_DASH, 1, Blue);
  HBRUSH B = CreateSolidBrush(Red);
  HPEN Stock = static_cast<HPEN>(SelectObject(DC, P1));
  EXPECT_EQ(Stock, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(DC, B), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(DC, P2), P1);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), P2);
  LOGPEN LP;
  EXPECT_EQ(GetObjectW(P2, sizeof(LP), &LP), int(sizeof(LP)));
  EXPECT_EQ(LP.lopnStyle, PS_DASH);
  EXPECT_EQ(LP.lopnColor, Blue);
  SelectObject(DC, Stock);
  SelectObject(DC, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(P1));
  EXPECT_TRUE(DeleteObject(P2));
  EXPECT_TRUE(DeleteObject(B));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock: stays
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
}

TEST_F(GdiTest, DeletingASelectedObjectIsDeferredUntilDeselected) {
  HDC DC = makeSurface(4, 4);
  const int Errors = GdiHandleErrors();
  HPEN P = CreatePen(PS_SOLID, 1, Red);
  HGDIOBJ Old = SelectObject(DC, P);
  EXPECT_TRUE(DeleteObject(P));
  EXPECT_EQ(GdiObjectCount(), Baseline + 2);  // the DC and the pending pen
  EXPECT_EQ(SelectObject(DC, Old), P);
  EXPECT_EQ(GdiObjectCount(), Baseline + 1);
  EXPECT_FALSE(DeleteObject(P));  // gone now: a second delete is a handle error
  EXPECT_EQ(GdiHandleErrors(), Errors + 1);
}

TEST_F(GdiTest, BitmapsSelectIntoOneMemoryDCAtATime) {
  HBITMAP B = CreateCompatibleBitmap(nullptr, 3, 2);
  HDC M1 = CreateCompatibleDC(nullptr);
  HDC M2 = CreateCompatibleDC(nullptr);
  BITMAP Info;
  GetObjectW(GetCurrentObject(M1, OBJ_BITMAP), sizeof(Info), &Info);
  EXPECT_EQ(Info.bmWidth, 1);  // the default monochrome bitmap
  EXPECT_EQ(Info.bmBitsPixel, 1);
  HGDIOBJ Default = SelectObject(M1, B);
  EXPECT_NE(Default, nullptr);
  EXPECT_EQ(SelectObject(M2, B), nullptr);
  GetObjectW(B, sizeof(Info), &Info);
  EXPECT_EQ(Info.bmWidth, 3);
  EXPECT_EQ(Info.bmHeight, 2);
  EXPECT_EQ(Info.bmBitsPixel, 32);
  EXPECT_EQ(Info.bmWidthBytes, 12);
  TDCDeviceInfo Device;
  ASSERT_TRUE(GetDCDeviceInfo(M1, Device));
  EXPECT_TRUE(Device.IsMemory);
  EXPECT_EQ(Device.Width, 3);
  SelectObject(M1, Default);
  EXPECT_NE(SelectObject(M2, B), nullptr);
  DeleteDC(M1);
  DeleteDC(M2);
  DeleteObject(B);
}

TEST_F(GdiTest, DCBrushAndPenTakeTheirColoursFromTheDC) {
  HDC DC = makeSurface(10, 10);
  SelectObject(DC, GetStockObject(DC_BRUSH));
  SelectObject(DC, GetStockObject(DC_PEN));
  EXPECT_EQ(SetDCBrushColor(DC, Red), White);
  EXPECT_EQ(SetDCPenColor(DC, Blue), Black);
  Rectangle(DC, 0, 0, 5, 5);
  EXPECT_EQ(pixel(0, 0), Blue);
  EXPECT_EQ(pixel(2, 2), Red);
  FillRect(DC, Rect(6, 6, 8, 8), static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  EXPECT_EQ(pixel(6, 6), Red);
}

TEST_F(GdiTest, SystemColourBrushesAndTheIndexPlusOneForm) {
  HDC DC = makeSurface(10, 10);
  FillRect(DC, Rect(0, 0, 5, 5), reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(pixel(0, 0), RGB(0, 120, 215));
  FillRect(DC, Rect(5, 5, 10, 10), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(pixel(5, 5), RGB(240, 240, 240));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
  EXPECT_EQ(GetSysColor(31), 0u);
  const int Index = COLOR_BTNFACE;
  const COLORREF Value = Red;
  SetSysColors(1, &Index, &Value);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), Red);
  ResetSysColors();
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
}

TEST_F(GdiTest, NearestColourHookOfTheSurface) {
  HDC DC = makeSurface(4, 4);
  EXPECT_EQ(GetNearestColor(DC, 0x02123456), 0x123456u);
  Surface->NearestColor = [](COLORREF C) { return C & 0xF0F0F0; };
  EXPECT_EQ(GetNearestColor(DC, 0x123456), 0x103050u);
  SetPixelV(DC, 0, 0, 0x123456);
  EXPECT_EQ(pixel(0, 0), 0x103050u);
}

TEST_F(GdiTest, ScreenDCMeasuresButDoesNotDraw) {
  HDC Screen = GetDC(nullptr);
  TDCDeviceInfo Info;
  ASSERT_TRUE(GetDCDeviceInfo(Screen, Info));
  EXPECT_TRUE(Info.IsScreen);
  EXPECT_GT(Info.Width, 0);
  EXPECT_EQ(DCPainter(Screen), nullptr);
  EXPECT_TRUE(Rectangle(Screen, 0, 0, 10, 10));
  EXPECT_EQ(WindowFromDC(Screen), nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, Screen), 1);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(std::uintptr_t(0x99))), nullptr);  // no windowing yet
}

TEST_F(GdiTest, WindowDCsComeFromTheProvider) {
  QImage Backing(30, 20, QImage::Format_RGB32);
  Backing.fill(Qt::white);
  auto Surface = std::make_shared<TSurface>(Backing);
  const HWND Window = reinterpret_cast<HWND>(std::uintptr_t(0x42));
  SetWindowDCProvider([&](HWND W) {
    TSurfaceDCOptions Options;
    Options.Window = W;
    Options.Origin = {5, 4};  // the client area inside the backing image
    Options.Width = 20;
    Options.Height = 12;
    return CreateSurfaceDC(Surface, Options);
  });
  HDC DC = GetDC(Window);
  EXPECT_EQ(WindowFromDC(DC), Window);
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 20, 12));
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(-5, -5, 100, 100), B);  // kept inside the client area
  DeleteObject(B);
  ReleaseDC(Window, DC);
  SetWindowDCProvider(nullptr);
  const QImage& Pixels = Surface->Image();
  EXPECT_EQ(Pixels.pixel(5, 4), 0xFF000000u);
  EXPECT_EQ(Pixels.pixel(24, 15), 0xFF000000u);
  EXPECT_EQ(Pixels.pixel(25, 15), 0xFFFFFFFFu);
  EXPECT_EQ(Pixels.pixel(4, 4), 0xFFFFFFFFu);
}

TEST_F(GdiTest, DCPainterCarriesTheClipAndSharesTheSurface) {
  HDC DC = makeSurface(20, 20);
  HDC Other = CreateSurfaceDC(Surface);
  DCs.push_back(Other);
  IntersectClipRect(DC, 0, 0, 5, 5);
  QPainter* P = DCPainter(DC);
  ASSERT_NE(P, nullptr);
  P->fillRect(QRect(0, 0, 20, 20), Qt::red);
  HBRUSH B = CreateSolidBrush(Blue);
  FillRect(Other, Rect(3, 3, 10, 10), B);  // drawing order is kept
  DeleteObject(B);
  EXPECT_EQ(count(Red), 25 - 4);
  EXPECT_EQ(count(Blue), 49);
  EXPECT_EQ(DCPainter(Other), P);  // one painter per surface
}

TEST_F(GdiTest, DrawingOn32BitImagesWritesOpaqueAlpha) {
  HDC DC = makeSurface(4, 4, QImage::Format_ARGB32);
  Surface->Image().fill(Qt::transparent);
  SetPixelV(DC, 0, 0, Red);
  MoveToEx(DC, 0, 1, nullptr);
  LineTo(DC, 4, 1);
  SetROP2(DC, R2_XORPEN);
  MoveToEx(DC, 0, 2, nullptr);
  LineTo(DC, 4, 2);
  const QImage& Pixels = Surface->Image();
  EXPECT_EQ(Pixels.pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixels.pixel(3, 1), 0xFF000000u);
  EXPECT_EQ(qAlpha(Pixels.pixel(3, 2)), 255);
  EXPECT_EQ(qAlpha(Pixels.pixel(3, 3)), 0);  // untouched
}

TEST_F(GdiTest, DCsFollowAResizedSurface) {
  HDC DC = makeSurface(10, 10);
  HBRUSH B = CreateSolidBrush(Black);
  FillRect(DC, Rect(0, 0, 100, 100), B);
  QImage Smaller(4, 3, QImage::Format_RGB32);
  Smaller.fill(Qt::white);
  Surface->SetImage(Smaller);
  FillRect(DC, Rect(0, 0, 100, 100), B);  // stays inside the new pixels
  EXPECT_EQ(count(Black), 12);
  QImage Larger(30, 20, QImage::Format_RGB32);
  Larger.fill(Qt::white);
  Surface->SetImage(Larger);
  FillRect(DC, Rect(0, 0, 100, 100), B);
  EXPECT_EQ(count(Black), 600);
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 30, 20));
  DeleteObject(B);
}

TEST_F(GdiTest, RecordingSurfaceLogsCallsWithTheirState) {
  auto Recorder = TSurface::MakeRecording(100, 50);
  DCs.push_back(CreateSurfaceDC(Recorder));
  HDC DC = DCs.back();
  HBRUSH B = CreateSolidBrush(0xF0F0F0);
  FillRect(DC, Rect(10, 10, 40, 30), B);
  DeleteObject(B);
  SetWindowOrgEx(DC, -5, 0, nullptr);
  pen(PS_DOT, 1, Red);
  SetROP2(DC, R2_XORPEN);
  MoveToEx(DC, 0, 0, nullptr);
  LineTo(DC, 10, 0);
  IntersectClipRect(DC, 0, 0, 20, 20);
  Rectangle(DC, 1, 2, 3, 4);
  RecordTextCall(DC, "TextOut(1,2,a)");
  EXPECT_TRUE(IsRecordingDC(DC));
  EXPECT_EQ(GetPixel(DC, 1, 1), CLR_INVALID);  // nothing to read
  EXPECT_EQ(Recorder->RecordedCalls,
            QStringList({"FillRect(10,10,40,30) brush=$00F0F0F0",
                         "LineTo(0,0,10,0) dev(5,0,15,0) pen=$000000FF/dot rop=7",
                         "Rectangle(1,2,3,4) dev(6,2,8,4) pen=$000000FF/dot brush=$00FFFFFF rop=7 clip=(5,0,25,20)",
                         "TextOut(1,2,a) font=MS Shell Dlg/-11/$00000000 bk=$00FFFFFF clip=(5,0,25,20)"}));
}

TEST_F(GdiTest, RecordingCanTeeIntoPixels) {
  HDC DC = makeSurface(10, 10);
  Surface->Recording = true;
  const POINT Points[] = {{1, 1}, {5, 1}, {5, 5}};
  Polyline(DC, Points, 3);
  EXPECT_EQ(Surface->RecordedCalls, QStringList({"Polyline(1,1,5,1,5,5) pen=$00000000"}));
  EXPECT_EQ(pixel(5, 1), Black);
  EXPECT_FALSE(IsRecordingDC(CreateSurfaceDC(nullptr)));
}

TEST_F(GdiTest, ReferenceDrawing) {
  HDC DC = makeSurface(160, 100);
  pen(PS_SOLID, 1, Black);
  brush(RGB(255, 220, 120));
  Rectangle(DC, 5, 5, 50, 40);
  RoundRect(DC, 55, 5, 100, 40, 12, 12);
  Ellipse(DC, 105, 5, 155, 40);
  Pie(DC, 5, 45, 50, 95, 50, 70, 27, 45);
  Chord(DC, 55, 45, 100, 95, 100, 70, 77, 45);
  pen(PS_DASHDOT, 1, Blue);
  Arc(DC, 105, 45, 155, 95, 155, 70, 130, 95);
  pen(PS_SOLID, 4, Red);
  MoveToEx(DC, 110, 90, nullptr);
  LineTo(DC, 150, 50);
  save("gdi_reference.png");
  EXPECT_EQ(pixel(5, 5), Black);
  EXPECT_EQ(pixel(20, 20), RGB(255, 220, 120));
}

}  // namespace
