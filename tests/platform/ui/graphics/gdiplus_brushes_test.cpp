// The GDI+-style hatch, texture and path-gradient brushes, image attributes,
// cardinal splines, text outlines, private font collections and bitmaps
// decoded from streams.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/rtl/streamadapter.h"
#include "platform/rtl/streams.h"
#include "tests/platform/ui/graphics/gdiplusfixture.h"
#include "tests/support/testing.h"

#include <QBuffer>
#include <set>

namespace gdiplus {
namespace {

// ---------------------------------------------------------------------------
// hatches

TEST_F(GdiplusDrawTest, FirstSixHatchesPaintTheGdiHatchPixels) {
  constexpr int Side = 19;  // not a multiple of 8: the pattern must not restart at the shape
  for (int Style = HatchStyleHorizontal; Style <= HatchStyleDiagonalCross; ++Style) {
    SCOPED_TRACE(Style);
    HDC Gdi = makeSurface(Side, Side);
    const QImage* GdiImage = &Surface->Image();
    gdi::HBRUSH GdiBrush = gdi::CreateHatchBrush(Style, gdi::RGB(0, 0, 0));
    gdi::SetBkColor(Gdi, gdi::RGB(255, 255, 255));
    gdi::FillRect(Gdi, gdi::RECT{0, 0, Side, Side}, GdiBrush);
    gdi::DeleteObject(GdiBrush);
    const QImage Expected = GdiImage->copy();

    HDC DC = makeSurface(Side, Side);
    Graphics G(DC);
    G.TranslateTransform(3, 5);  // hatches keep to the device pixels
    HatchBrush Brush{HatchStyle(Style), Color(Black), Color(White)};
    G.FillRectangle(&Brush, -3, -5, Side, Side);
    EXPECT_EQ(Surface->Image().convertToFormat(QImage::Format_RGB32), Expected.convertToFormat(QImage::Format_RGB32))
        << art();
  }
}

TEST_F(GdiplusDrawTest, EveryHatchStyleHasItsOwnPattern) {
  std::set<std::vector<bool>> Patterns;
  for (int Style = HatchStyleMin; Style <= HatchStyleMax; ++Style) {
    std::vector<bool> Bits;
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 8; ++X) Bits.push_back(HatchBrush::PatternBit(HatchStyle(Style), X, Y));
    EXPECT_TRUE(Patterns.insert(Bits).second) << "style " << Style << " repeats an earlier pattern";
  }
  HatchBrush Bad{HatchStyle(HatchStyleTotal), Color(Black)};
  EXPECT_EQ(Bad.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(Bad.GetHatchStyle(), HatchStyleHorizontal);
}

TEST_F(GdiplusDrawTest, HatchColoursCarryAlpha) {
  HDC DC = makeSurface(8, 8);
  Graphics G(DC);
  HatchBrush Brush(HatchStyleHorizontal, Color(0x80, 0, 0, 0), Color(0, 0, 0, 0));
  G.FillRectangle(&Brush, 0, 0, 8, 8);
  EXPECT_NEAR(red(0, 0), 127, 1);  // half-transparent black over white
  EXPECT_EQ(pixel(0, 1), White);  // a transparent back colour leaves the surface
}

// ---------------------------------------------------------------------------
// textures and image attributes

// A 2 x 2 image: red, green / blue, black.
std::unique_ptr<Bitmap> quad() {
  auto B = std::make_unique<Bitmap>(2, 2);
  B->SetPixel(0, 0, Color(Red));
  B->SetPixel(1, 0, Color(0xFF00FF00));
  B->SetPixel(0, 1, Color(Blue));
  B->SetPixel(1, 1, Color(Black));
  return B;
}

TEST_F(GdiplusDrawTest, TextureTilesFromTheWorldOrigin) {
  HDC DC = makeSurface(8, 8);
  Graphics G(DC);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  const auto Image = quad();
  TextureBrush Brush(Image.get());
  G.FillRectangle(&Brush, 1, 1, 5, 5);
  EXPECT_EQ(pixel(1, 1), Black);  // texel (1, 1): the tile starts at 0, not at the shape
  EXPECT_EQ(pixel(2, 2), Red);
  EXPECT_EQ(pixel(3, 2), 0xFF00FF00u);
  EXPECT_EQ(pixel(0, 0), White);
}

TEST_F(GdiplusDrawTest, AlphaAttributesHalveImagesAndTextures) {
  ColorMatrix Half = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0.5f, 0}, {0, 0, 0, 0, 1}}};
  ImageAttributes Attributes;
  ASSERT_EQ(Attributes.SetColorMatrix(&Half), Ok);
  Bitmap Black4(4, 4);
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) Black4.SetPixel(X, Y, Color(Black));

  HDC DC = makeSurface(12, 4);
  Graphics G(DC);
  G.DrawImage(&Black4, RectF(0, 0, 4, 4), 0, 0, 4, 4, UnitPixel, &Attributes);
  TextureBrush Texture(&Black4, Rect(0, 0, 4, 4), &Attributes);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  G.FillRectangle(&Texture, 8, 0, 4, 4);
  EXPECT_NEAR(red(1, 1), 128, 1);
  EXPECT_NEAR(red(9, 1), 128, 1);
  EXPECT_EQ(pixel(5, 1), White);

  ColorMatrix Swap = Half;
  Swap.m[0][0] = 0;
  Swap.m[0][1] = 1;
  EXPECT_EQ(Attributes.SetColorMatrix(&Swap), NotImplemented);
  EXPECT_EQ(Attributes.AlphaScale(), 0.5f);  // a refused matrix changes nothing
}

// ---------------------------------------------------------------------------
// path gradients

TEST_F(GdiplusDrawTest, PathGradientRunsFromTheCentreToTheBoundaryInsideThePath) {
  HDC DC = makeSurface(60, 60);
  Graphics G(DC);
  G.SetSmoothingMode(SmoothingModeAntiAlias);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  GraphicsPath Path;
  Path.AddEllipse(10, 10, 40, 40);
  PathGradientBrush Brush(&Path);
  const Color Colors[] = {Color(Red), Color(Blue)};  // boundary, centre
  const REAL Positions[] = {0, 1};
  ASSERT_EQ(Brush.SetInterpolationColors(Colors, Positions, 2), Ok);
  PointF Centre;
  Brush.GetCenterPoint(&Centre);
  EXPECT_EQ(Centre, PointF(30, 30));

  G.FillRectangle(&Brush, 0, 0, 60, 60);  // only the ellipse is painted
  save("gdiplus_path_gradient.png");
  EXPECT_GT(qBlue(pixel(30, 30)), 240);
  EXPECT_LT(qRed(pixel(30, 30)), 16);
  EXPECT_GT(qRed(pixel(11, 30)), 200);  // just inside the boundary
  EXPECT_LT(qBlue(pixel(11, 30)), 60);
  EXPECT_EQ(pixel(3, 3), White);
  EXPECT_EQ(pixel(12, 12), White);  // inside the bounds, outside the ellipse
}

TEST_F(GdiplusDrawTest, PathGradientCentreCanMove) {
  HDC DC = makeSurface(60, 40);
  Graphics G(DC);
  G.SetPixelOffsetMode(PixelOffsetModeHalf);
  const Point Corners[] = {Point(0, 0), Point(60, 0), Point(60, 40), Point(0, 40)};
  PathGradientBrush Brush(Corners, 4);
  const Color Colors[] = {Color(White), Color(Black)};
  const REAL Positions[] = {0, 1};
  Brush.SetInterpolationColors(Colors, Positions, 2);
  Brush.SetCenterPoint(Point(40, 20));
  G.FillRectangle(&Brush, 0, 0, 60, 40);
  EXPECT_LT(red(40, 20), 12);
  EXPECT_GT(red(20, 20), red(40, 20) + 60);
}

// ---------------------------------------------------------------------------
// cardinal splines

TEST_F(GdiplusDrawTest, CurvePassesThroughItsPointsWithControlPointsFromTheNeighbours) {
  const PointF Points[] = {PointF(0, 0), PointF(12, 0), PointF(24, 12)};
  GraphicsPath Path;
  ASSERT_EQ(Path.AddCurve(Points, 3, 1), Ok);
  ASSERT_EQ(Path.GetPointCount(), 7);
  std::vector<PointF> P(7);
  Path.GetPathPoints(P.data(), 7);
  EXPECT_EQ(P[0], Points[0]);
  EXPECT_EQ(P[3], Points[1]);
  EXPECT_EQ(P[6], Points[2]);
  EXPECT_EQ(P[1], PointF(4, 0));  // the first point stands in for its missing neighbour
  EXPECT_EQ(P[2], PointF(4, -4));
  EXPECT_EQ(P[5], PointF(20, 8));

  GraphicsPath Closed;
  ASSERT_EQ(Closed.AddClosedCurve(Points, 3, 0.5f), Ok);
  EXPECT_EQ(Closed.GetPointCount(), 10);  // three segments, back to the start
  EXPECT_EQ(Closed.AddClosedCurve(Points, 2), InvalidParameter);
  EXPECT_EQ(Path.AddCurve(Points, 1), InvalidParameter);
}

TEST_F(GdiplusDrawTest, CurveOfTensionZeroIsThePolyline) {
  const Point Points[] = {Point(2, 2), Point(20, 5), Point(8, 18), Point(28, 26)};
  HDC DC = makeSurface(32, 32);
  Pen P(Color(Black), 1);
  {
    Graphics G(DC);
    G.DrawLines(&P, Points, 4);
  }
  const QImage Lines = Surface->Image().copy();
  HDC Other = makeSurface(32, 32);
  Graphics G(Other);
  G.DrawCurve(&P, Points, 4, 0);
  EXPECT_EQ(Surface->Image(), Lines) << art();
}

TEST_F(GdiplusDrawTest, ClosedCurveFillsItsInside) {
  HDC DC = makeSurface(40, 40);
  Graphics G(DC);
  SolidBrush Brush{Color(Black)};
  const Point Points[] = {Point(20, 4), Point(36, 20), Point(20, 36), Point(4, 20)};
  ASSERT_EQ(G.FillClosedCurve(&Brush, Points, 4), Ok);
  EXPECT_EQ(pixel(20, 20), Black);
  EXPECT_EQ(pixel(20, 5), Black);  // the curve runs through its points
  EXPECT_EQ(pixel(1, 1), White);
}

// ---------------------------------------------------------------------------
// text outlines and private fonts

TEST_F(GdiplusDrawTest, AddStringGivesClosedGlyphOutlines) {
  const String Arial = QStringLiteral("Arial");
  FontFamily Family(Arial.constData());
  GraphicsPath Path;
  ASSERT_EQ(Path.AddString(QStringLiteral("Hi").constData(), -1, &Family, FontStyleRegular, 20, PointF(10, 5), StringFormat::GenericTypographic()),
            Ok);
  ASSERT_GT(Path.GetPointCount(), 8);
  std::vector<BYTE> Types(Path.GetPointCount());
  Path.GetPathTypes(Types.data(), INT(Types.size()));
  EXPECT_TRUE(Types.back() & PathPointTypeCloseSubpath);
  RectF Bounds;
  Path.GetBounds(&Bounds);
  EXPECT_GE(Bounds.X, 10);
  EXPECT_LT(Bounds.X, 13);
  EXPECT_GT(Bounds.Y, 5);
  EXPECT_NEAR(Bounds.Height, 14.5, 2);  // the cap height of a 20-pixel em

  FontFamily None;
  EXPECT_EQ(Path.AddString(QStringLiteral("x").constData(), -1, &None, 0, 20, PointF(), nullptr), InvalidParameter);
}

QByteArray fontFile() { return FileBytes(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")); }

TEST_F(GdiplusDrawTest, PrivateCollectionListsTheFamiliesOfItsMemoryFonts) {
  const QByteArray Bytes = fontFile();
  ASSERT_FALSE(Bytes.isEmpty()) << "the DejaVu fonts are installed with the build tools";
  PrivateFontCollection Collection;
  ASSERT_EQ(Collection.AddMemoryFont(Bytes.constData(), INT(Bytes.size())), Ok);
  ASSERT_EQ(Collection.GetFamilyCount(), 1);
  FontFamily Families[2];
  INT Found = 0;
  ASSERT_EQ(Collection.GetFamilies(2, Families, &Found), Ok);
  ASSERT_EQ(Found, 1);
  EXPECT_EQ(Families[0].Name(), QStringLiteral("DejaVu Sans"));

  FontFamily Known(QStringLiteral("DejaVu Sans").constData(), &Collection);
  EXPECT_TRUE(Known.IsAvailable());
  FontFamily Unknown(QStringLiteral("Elektra").constData(), &Collection);
  EXPECT_EQ(Unknown.GetLastStatus(), FontFamilyNotFound);
  EXPECT_FALSE(Unknown.IsAvailable());

  const char Garbage[] = "not a font";
  EXPECT_EQ(Collection.AddMemoryFont(Garbage, sizeof Garbage), FileNotFound);
  EXPECT_EQ(Collection.GetFamilyCount(), 1);
}

// ---------------------------------------------------------------------------
// bitmaps from streams

TEST_F(GdiplusDrawTest, BitmapDecodesAPngStreamAndRefusesUnknownBytes) {
  QImage Source(3, 2, QImage::Format_ARGB32);
  Source.fill(QColor(0, 0, 255, 128));
  QByteArray Png;
  QBuffer Buffer(&Png);
  Buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(Source.save(&Buffer, "PNG"));

  TMemoryStream Stream;
  Stream.WriteBuffer(Png.constData(), Png.size());
  Stream.SetPosition(0);
  TStreamAdapter Adapter(&Stream);
  Bitmap Decoded(static_cast<IStream*>(&Adapter));
  ASSERT_EQ(Decoded.GetLastStatus(), Ok);
  EXPECT_EQ(Decoded.GetWidth(), 3u);
  EXPECT_EQ(Decoded.GetHeight(), 2u);
  Color C;
  Decoded.GetPixel(2, 1, &C);
  EXPECT_EQ(C.GetB(), 255);
  EXPECT_NEAR(C.GetA(), 128, 1);

  TMemoryStream Bad;
  Bad.WriteBuffer("\x89PNX garbage", 12);
  Bad.SetPosition(0);
  TStreamAdapter BadAdapter(&Bad);
  Bitmap Unknown(static_cast<IStream*>(&BadAdapter));
  EXPECT_EQ(Unknown.GetLastStatus(), UnknownImageFormat);
  EXPECT_EQ(Unknown.GetWidth(), 0u);
}

// ---------------------------------------------------------------------------
// recordings

TEST_F(GdiplusDrawTest, RecordingsNameTheNewBrushesAndCurves) {
  auto Recording = TSurface::MakeRecording(50, 50);
  HDC DC = CreateSurfaceDC(Recording);
  DCs.push_back(DC);
  Graphics G(DC);
  HatchBrush Hatch(HatchStyleWeave, Color(Red), Color(White));
  const Point Corners[] = {Point(0, 0), Point(10, 0), Point(10, 10)};
  PathGradientBrush Gradient(Corners, 3);
  Gradient.SetCenterPoint(PointF(5, 4));
  Bitmap Image(3, 2);
  TextureBrush Texture(&Image);
  Pen P{Color(Blue)};
  G.FillRectangle(&Hatch, 0, 0, 4, 4);
  G.FillRectangle(&Gradient, 0, 0, 4, 4);
  G.FillRectangle(&Texture, 0, 0, 4, 4);
  G.DrawCurve(&P, Corners, 3, 0.5f);
  G.FillClosedCurve(&Hatch, Corners, 3);
  EXPECT_EQ(Recording->RecordedCalls,
            QStringList({"FillRectangle(0,0,4,4) brush=hatch(Weave,$FFFF0000,$FFFFFFFF)",
                         "FillRectangle(0,0,4,4) brush=path(5,4)", "FillRectangle(0,0,4,4) brush=texture(3x2)",
                         "DrawCurve(0,0,10,0,10,10;t=0.5) pen=$FF0000FF",
                         "FillClosedCurve(0,0,10,0,10,10;t=0.5) brush=hatch(Weave,$FFFF0000,$FFFFFFFF)"}));
}

}  // namespace
}  // namespace gdiplus
