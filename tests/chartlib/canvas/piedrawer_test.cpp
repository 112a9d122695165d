#include "chartlib/canvas/teecanvas3d.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Radians = std::numbers::pi / 180;

// Slices of the pie round (100, 100) of radius 40 and thickness 10 on a flat
// recording canvas.
class PieTest : public CanvasTest {
protected:
  void SetUp() override {
    C.InitWindow(C.Bitmap.Canvas(), nullptr, clWhite, /*Is3D=*/false, Rect(0, 0, 200, 200));
    C.Projection(0, Rect(0, 0, 200, 200), Rect(0, 0, 200, 200));
    C.Brush()->SetStyle(bsSolid);
    C.Brush()->SetColor(clRed);
    C.Pen()->SetStyle(psClear);
  }
  struct TSlice {
    double Start, End;  // degrees
    bool DrawSides = false;
    Integer Donut = 0;
    TTeeTransparency Transparency = 0;
    bool DarkSides = false;
    Integer Bevel = 0;
    Integer XRadius = 40, YRadius = 40, Thickness = 10;
  };
  void slice(const TSlice& S) {
    C.Calls.clear();
    C.Faces.clear();
    C.Pie3D(100, 100, S.XRadius, S.YRadius, 0, S.Thickness, S.Start * Radians, S.End * Radians, S.DarkSides,
            S.DrawSides, S.Donut, nullptr, S.Bevel, edNone, S.Transparency, 0, false, false);
  }

  // A band as "T0+180": from the top (T) or bottom (B) box, its first angle,
  // the direction and length in degrees; "I.." for a band of the hole.
  static QString band(const TPointArray& P) {
    if (P.size() < 4 || P.size() % 2 != 0) return QStringLiteral("?%1").arg(P.size());
    const Integer N = Integer(P.size() - 2) / 2;
    auto Distance = [](TPoint Pt, Integer CY) { return std::hypot(Pt.X - 100.0, Pt.Y - double(CY)); };
    const bool Bottom = std::abs(Distance(P[0], 110) - 40) < std::abs(Distance(P[0], 100) - 40) &&
                        std::abs(Distance(P[0], 100) - 20) > 3;
    const Integer CY = Bottom ? 110 : 100;
    auto Angle = [&](TPoint Pt) {
      return std::fmod(std::atan2(-(Pt.Y - CY), double(Pt.X - 100)) / Radians + 360, 360);
    };
    const Integer First = Integer(std::lround(Angle(P[0]) / 10)) * 10 % 360;
    const double Mid = Angle(P[N / 2]);
    auto Off = [&](double A) { return std::abs(std::remainder(A - Mid, 360)); };
    const bool Ahead = Off(First + N / 2.0) < Off(First - N / 2.0);
    const bool Hole = std::abs(Distance(P[0], CY) - 20) < 3;
    return QStringLiteral("%1%2%3%4").arg(Hole ? "I" : Bottom ? "B" : "T").arg(First).arg(Ahead ? '+' : '-').arg(N);
  }
  // The bands drawn, the last polygon (the top face) left out.
  QStringList bands() {
    QStringList Result;
    for (size_t I = 0; I + 1 < C.Faces.size(); ++I) Result << band(C.Faces[I].Points);
    return Result;
  }

  TFaceLog C{200, 200};
};

TEST_F(PieTest, OuterSideBandsByWhereTheEndsLie) {
  struct Case {
    const char* Name;
    double Start, End;
    QStringList Bands;
  } const Cases[] = {
      {"a whole turn: two half bands", 0, 360, {"T0+180", "T180+180"}},
      {"both ends above the centre, under a half turn: hidden", 30, 150, {}},
      {"both ends above, over a half turn: only the lower half shows", 170, 10, {"T180+180"}},
      {"start below, end above", 300, 40, {"B0-60"}},
      {"start above, end below", 30, 250, {"B180+70"}},
      {"both below, over a half turn", 270, 210, {"T180-180", "B210-30", "B0-90"}},
      {"both below", 200, 300, {"T200+100"}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    slice({Cs.Start, Cs.End});
    EXPECT_EQ(bands(), Cs.Bands);
  }
}

TEST_F(PieTest, SidesAreDrawnBackToFront) {
  struct Case {
    double Start, End;
    const char* Order;  // I inner, S start, E end, O outer side
  } const Cases[] = {
      {120, 300, "ISEO"}, {100, 340, "ISEO"}, {30, 300, "ISEO"}, {300, 40, "EIOS"},
      {250, 110, "IESO"}, {100, 200, "SIOE"}, {0, 200, "IEOS"}, {0, 90, "IOSE"},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(QStringLiteral("%1..%2").arg(Cs.Start).arg(Cs.End).toStdString());
    // transparent, so every piece is drawn, between the bottom and top faces
    slice({.Start = Cs.Start, .End = Cs.End, .DrawSides = true, .Donut = 50, .Transparency = 50});
    const TPoint Start = C.Calculate3DPosition(100 + Integer(std::lround(40 * std::cos(Cs.Start * Radians))),
                                               100 - Integer(std::lround(40 * std::sin(Cs.Start * Radians))), 0);
    QString Order;
    for (size_t I = 1; I + 1 < C.Faces.size(); ++I) {
      const TPointArray& P = C.Faces[I].Points;
      QChar Piece;
      if (P.size() == 4)
        Piece = std::find(P.begin(), P.end(), Start) != P.end() ? 'S' : 'E';
      else
        Piece = band(P).startsWith('I') ? 'I' : 'O';
      if (!(Piece == 'O' && Order.endsWith('O'))) Order += Piece;
    }
    EXPECT_EQ(Order, QString::fromLatin1(Cs.Order));
  }
}

TEST_F(PieTest, BottomFaceAndSidesOnlyWhenTransparent) {
  slice({0, 90});
  ASSERT_EQ(C.Faces.size(), 1u);  // the top: the centre, 91 degrees, the centre
  EXPECT_EQ(C.Faces[0].Points.size(), 93u);

  slice({.Start = 0, .End = 90, .Transparency = 50});
  std::vector<size_t> Counts;
  for (const auto& F : C.Faces) Counts.push_back(F.Points.size());
  // bottom, outer side (2 x 90 + 2 points), start side, end side, top
  EXPECT_EQ(Counts, (std::vector<size_t>{93, 182, 4, 4, 93}));
  EXPECT_EQ(C.Faces[0].Points[0], TPoint(100, 110));  // the bottom's centre
}

TEST_F(PieTest, WholeTurnsAndEmptySlices) {
  slice({.Start = 0, .End = 360, .DrawSides = true});
  EXPECT_EQ(bands(), QStringList({"T0+180", "T180+180"}));  // no radial sides
  EXPECT_EQ(C.Faces.back().Points.size(), 361u);            // the top has no centre

  slice({.Start = 57, .End = 57, .DrawSides = true});
  EXPECT_EQ(C.Faces.size(), 1u);  // no sides at all
}

TEST_F(PieTest, DonutHoleAndBevelSizes) {
  // hole half-sizes 50 and 30 on radii 100 and 60
  slice({.Start = 0, .End = 90, .DrawSides = true, .Donut = 50, .XRadius = 100, .YRadius = 60});
  EXPECT_TRUE(C.Calls.contains("Polygon((150,100),(200,100),(200,110),(150,110))")) << C.Calls.join('\n').toStdString();
  EXPECT_TRUE(C.Calls.contains("Polygon((100,70),(100,40),(100,50),(100,80))"));

  // a bevel 6 high (20 % of 30): the start side runs through the bevel
  slice({.Start = 0, .End = 90, .DrawSides = true, .Bevel = 20, .Thickness = 30});
  EXPECT_TRUE(C.Calls.contains("Polygon((100,100),(134,100),(140,106),(140,130),(100,130))"))
      << C.Calls.join('\n').toStdString();
}

TEST_F(PieTest, DarkSidesDarkenTheWallsOnly) {
  struct Case {
    const char* Name;
    TBrushStyle Style;
  } const Cases[] = {{"solid", bsSolid}, {"hatched", bsDiagCross}};
  const TColor Dark = TeeDarkenColor(clRed, 32);
  EXPECT_EQ(Dark, TColor(0x0000DF));
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    C.Brush()->SetStyle(Cs.Style);
    C.Brush()->SetColor(clRed);
    C.Pen()->SetStyle(psSolid);
    C.Pen()->SetColor(clRed);
    slice({.Start = 200, .End = 300, .DrawSides = true, .DarkSides = true});
    ASSERT_GE(C.Faces.size(), 3u);
    for (size_t I = 0; I + 1 < C.Faces.size(); ++I) EXPECT_EQ(C.Faces[I].Color, Dark) << I;
    EXPECT_EQ(C.Faces.back().Color, clRed);
    // put back after the call, a hatch's colour included
    EXPECT_EQ(C.Brush()->Color(), clRed);
    EXPECT_EQ(C.Pen()->Color(), clRed);
  }
}

TEST_F(PieTest, EdgeFinishGetsTheSlicesBoxes) {
  struct TEdgeLog : TFaceLog {
    using TFaceLog::TFaceLog;
    QStringList Edges;
    void ShapeGradientFill(TEdgeStyle Edge, Integer Z, const TRect& Top, const TRect& Bottom, const TRect&,
                           Integer StartAngle, Integer EndAngle, TPoint Centre, bool IsDonut) override {
      Edges << QStringLiteral("%1 %2 (%3,%4) (%5,%6) %7..%8 (%9,%10) %11")
                   .arg(int(Edge)).arg(Z).arg(Top.Left).arg(Top.Top).arg(Bottom.Left).arg(Bottom.Top)
                   .arg(StartAngle).arg(EndAngle).arg(Centre.X).arg(Centre.Y).arg(int(IsDonut));
    }
  } E{200, 200};
  E.Pie3D(100, 100, 40, 40, 0, 10, 0, std::numbers::pi / 2, false, false, 0, nullptr, 0, edNone, 0, 0, false,
          false);
  EXPECT_TRUE(E.Edges.isEmpty());
  E.Pie3D(100, 100, 40, 40, 0, 10, 0, std::numbers::pi / 2, false, false, 0, nullptr, 0, edCurved, 0, 0, false,
          false);
  EXPECT_EQ(E.Edges, QStringList{"1 10 (60,60) (60,70) 0..90 (100,100) 0"});
}

// ---------------------------------------------------------------------------
// pixels

class PiePixelsTest : public CanvasTest {
protected:
  void SetUp() override {
    Window.SetSize(200, 200);
    G.InitWindow(Window.Canvas(), nullptr, clWhite, /*Is3D=*/false, Rect(0, 0, 200, 200));
    G.Projection(0, Rect(0, 0, 200, 200), Rect(0, 0, 200, 200));
  }
  void clear() {
    G.Bitmap()->Canvas()->Brush()->SetColor(clWhite);
    G.Bitmap()->Canvas()->FillRect(Rect(0, 0, 200, 200));
    G.Brush()->SetStyle(bsSolid);
    G.Brush()->SetColor(clRed);
    G.Pen()->SetStyle(psClear);
  }
  TColor Pixel(Integer X, Integer Y) { return G.Bitmap()->Canvas()->Pixels(X, Y); }

  TBitmap Window;
  TTeeCanvas3D G;
};

TEST_F(PiePixelsTest, PathsAndPolygonsDrawTheSameSlice) {
  for (bool Arcs : {false, true}) {
    SCOPED_TRACE(Arcs);
    clear();
    G.Pie3DUsingArcs = Arcs;
    G.Pie3D(100, 80, 60, 40, 0, 30, 200 * Radians, 340 * Radians, /*DarkSides=*/true, /*DrawSides=*/true, 0,
            nullptr, 0, edNone, 0, 0, false, false);
    EXPECT_EQ(Pixel(100, 100), clRed);                        // the top face
    EXPECT_EQ(Pixel(100, 135), TeeDarkenColor(clRed, 32));  // the outer wall below it
    EXPECT_EQ(Pixel(100, 60), clWhite);                       // above the centre: not in the slice
  }
}

// A whole pie and a donut, for a look by eye: set BIBLIONA_PIE_PNG to a file
// name.
TEST_F(PiePixelsTest, PictureOfAPie) {
  const QByteArray File = qgetenv("BIBLIONA_PIE_PNG");
  if (File.isEmpty()) GTEST_SKIP() << "no picture asked for";
  clear();
  G.Pen()->SetStyle(psSolid);
  const TColor Colors[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};
  for (Integer Donut : {0, 40}) {
    for (int I = 0; I < 6; ++I) {
      G.Brush()->SetColor(Colors[I]);
      G.Pen()->SetColor(clBlack);
      G.Pen()->SetStyle(psSolid);  // a bevel without border clears it
      G.Pie3D(100, Donut ? 150 : 50, 80, 30, 0, 15, I * 60 * Radians, (I + 1) * 60 * Radians, /*DarkSides=*/true,
              /*DrawSides=*/true, Donut, nullptr, Donut ? 0 : 20, edNone, 0, 0, false, false);
    }
  }
  G.Bitmap()->Image().save(QString::fromLocal8Bit(File));
}

}  // namespace
