#include "platform/ui/graphics/drawtext.h"

#include "platform/ui/graphics/paths.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/surface.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QCoreApplication>
#include <QImage>

using namespace gdi;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr COLORREF RedRef = 0x0000FF;

// A white 120 x 40 surface with a DC and the default font (-11: em 11).  In
// fixed metrics every unit advances 6 px, lines are 13 px high and each
// drawn unit is a 5 x 11 box at the top of its cell.
class DrawTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(White);
    Surface = std::make_shared<TSurface>(Image);
    DC = CreateSurfaceDC(Surface);
    SelectFont(-11);
    SetBkMode(DC, TRANSPARENT);
  }
  void TearDown() override {
    DeleteDC(DC);
    if (Font) DeleteObject(Font);
    SetTextEngine(TTextEngine::Qt);
  }

  void SelectFont(LONG Height, LONG Weight = FW_NORMAL, const char* Face = "Tahoma", BYTE Quality = 0,
                  LONG Escapement = 0, LONG Orientation = 0) {
    LOGFONTW LogFont;
    LogFont.lfHeight = Height;
    LogFont.lfEscapement = Escapement;
    LogFont.lfOrientation = Orientation;
    LogFont.lfWeight = Weight;
    LogFont.lfQuality = Quality;
    SetLogFontFaceName(LogFont, Face);
    const HFONT Previous = Font;
    Font = CreateFontIndirectW(LogFont);
    SelectObject(DC, Font);
    if (Previous) DeleteObject(Previous);
  }

  const QImage& image() { return Surface->Image(); }
  void clear() { Surface->Image().fill(White); }

  int count(QRgb Color, QRect Area = QRect(0, 0, Width, Height)) {
    int N = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
      for (int X = Area.left(); X <= Area.right(); ++X) N += image().pixel(X, Y) == Color;
    return N;
  }
  // Bounding box of everything that is not white.
  QRect ink() {
    QRect Box;
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X)
        if (image().pixel(X, Y) != White) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  // Whether column X holds ink between rows Top and Bottom - 1.
  bool inkInColumn(int X, int Top = 0, int Bottom = Height) {
    for (int Y = Top; Y < Bottom; ++Y)
      if (image().pixel(X, Y) != White) return true;
    return false;
  }

  int drawText(const String& Text, TRect Rect, UINT Format, DRAWTEXTPARAMS* Params = nullptr) {
    return DrawTextExW(DC, Text.constData(), static_cast<int>(Text.size()), &Rect, Format, Params);
  }
  void textOut(int X, int Y, const String& Text) {
    TextOutW(DC, X, Y, Text.constData(), static_cast<int>(Text.size()));
  }

  static constexpr int Width = 120;
  static constexpr int Height = 40;
  std::shared_ptr<TSurface> Surface;
  HDC DC = nullptr;
  HFONT Font = nullptr;
};

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    TRect Rect;
    TRect Expected;
  } Cases[] = {
      {"narrows to the text", "abc", 0, {0, 0, 1, 0}, {0, 0, 18, 13}},
      {"an over-wide word widens", "aaaaaaaa", DT_WORDBREAK, {0, 0, 30, 0}, {0, 0, 48, 13}},
      {"wrapped lines", "aa bb cc", DT_WORDBREAK, {0, 0, 30, 0}, {0, 0, 30, 26}},
      {"empty text is one line", "", 0, {4, 5, 60, 6}, {4, 5, 4, 18}},
      {"natural width despite ellipsis", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, 30, 20},
       {0, 0, 60, 13}},
      {"centring does not move the measured text", "abc", DT_SINGLELINE | DT_VCENTER, {0, 0, 1, 0},
       {0, 0, 18, 13}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TRect R = C.Rect;
    EXPECT_EQ(DrawTextW(DC, C.Text.constData(), static_cast<int>(C.Text.size()), &R, C.Format | DT_CALCRECT),
              C.Expected.Height());
    EXPECT_EQ(R, C.Expected);
  }
  EXPECT_TRUE(ink().isEmpty());
}

TEST_F(DrawTextTest, AnswersTheTextHeight) {
  EXPECT_EQ(drawText("aa bb cc", {0, 0, 30, 40}, DT_WORDBREAK), 26);
  EXPECT_EQ(drawText("a\r\nb", {0, 0, 30, 40}, 0), 26);
  EXPECT_EQ(drawText("a\r\nb", {0, 0, 30, 40}, DT_SINGLELINE), 13);
  // Vertically centred: from the rect's top to the bottom of the text.
  EXPECT_EQ(drawText("a", {0, 0, 30, 21}, DT_SINGLELINE | DT_VCENTER), 17);
}

TEST_F(DrawTextTest, WrappedLinesStackByLineHeight) {
  drawText("aa bb cc", {0, 0, 30, 40}, DT_WORDBREAK);
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(28, 23)));
  EXPECT_EQ(count(Black, QRect(0, 13, 30, 11)), 2 * 5 * 11);
}

TEST_F(DrawTextTest, EndEllipsisDrawsTheShortenedText) {
  drawText("abcdefghij", {0, 0, 30, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  const QImage Shortened = image().copy();
  clear();
  drawText("ab...", {0, 0, 30, 20}, DT_SINGLELINE);
  EXPECT_EQ(Shortened, image());
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(28, 10)));
}

TEST_F(DrawTextTest, PrefixIsUnderlinedUnlessHiddenOrOff) {
  drawText("&File", {0, 0, 24, 20}, DT_SINGLELINE);
  EXPECT_EQ(count(Black, QRect(0, 11, Width, 1)), 6);
  EXPECT_TRUE(image().pixel(5, 11) == Black && image().pixel(6, 11) == White);
  EXPECT_EQ(count(Black), 4 * 55 + 6);

  clear();
  drawText("&File", {0, 0, 24, 20}, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(count(Black), 4 * 55);

  clear();
  drawText("&File", {0, 0, 60, 20}, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(count(Black), 5 * 55);
}

TEST_F(DrawTextTest, ExpandedTabPutsTheNextUnitOnTheStop) {
  drawText("a\tb", {0, 0, Width, 20}, DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_FALSE(inkInColumn(47));
  EXPECT_TRUE(inkInColumn(48));
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(52, 10)));
}

TEST_F(DrawTextTest, RightAlignedTextEndsAtTheRightMargin) {
  DRAWTEXTPARAMS Params;
  Params.iLeftMargin = 3;
  Params.iRightMargin = 9;
  EXPECT_EQ(drawText("abc", {0, 0, 100, 20}, DT_SINGLELINE | DT_RIGHT, &Params), 13);
  EXPECT_EQ(Params.uiLengthDrawn, 3u);
  // The cell ends at 91; the last box covers 85..89.
  EXPECT_EQ(ink(), QRect(QPoint(73, 0), QPoint(89, 10)));

  Params.cbSize = 4;
  EXPECT_EQ(drawText("abc", {0, 0, 100, 20}, DT_SINGLELINE, &Params), 0);
}

TEST_F(DrawTextTest, OutputIsClippedToTheRectUnlessNoClip) {
  drawText("abcd", {0, 0, 10, 13}, DT_SINGLELINE);
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(9, 10)));
  clear();
  drawText("abcd", {0, 0, 10, 13}, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(22, 10)));
}

TEST_F(DrawTextTest, DrawTextClipIntersectsTheDCClip) {
  IntersectClipRect(DC, 0, 0, 8, 40);
  drawText("abcd", {0, 0, 100, 13}, DT_SINGLELINE);
  EXPECT_EQ(ink(), QRect(QPoint(0, 0), QPoint(7, 10)));
}

TEST_F(DrawTextTest, OpaqueModeFillsEachLineBoxOnly) {
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, RedRef);
  drawText("ab\r\nc", {10, 5, 100, 40}, 0);
  EXPECT_EQ(count(Red), (12 * 13 - 2 * 55) + (6 * 13 - 55));
  EXPECT_EQ(ink(), QRect(10, 5, 12, 26));
}

TEST_F(DrawTextTest, TextColourComesFromTheDC) {
  SetTextColor(DC, RedRef);
  textOut(0, 0, "a");
  EXPECT_EQ(count(Red), 55);
}

TEST_F(DrawTextTest, TextOutAnchorsByTextAlignment) {
  struct Case {
    const char* Name;
    UINT Align;
    QRect Ink;  // of "ab" anchored at (50, 20)
  } Cases[] = {
      {"left top", TA_LEFT | TA_TOP, QRect(QPoint(50, 20), QPoint(60, 30))},
      {"right", TA_RIGHT, QRect(QPoint(38, 20), QPoint(48, 30))},
      {"centre", TA_CENTER, QRect(QPoint(44, 20), QPoint(54, 30))},
      {"baseline", TA_BASELINE, QRect(QPoint(50, 9), QPoint(60, 19))},
      {"bottom", TA_BOTTOM, QRect(QPoint(50, 7), QPoint(60, 17))},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    SetTextAlign(DC, C.Align);
    textOut(50, 20, "ab");
    EXPECT_EQ(ink(), C.Ink);
  }
}

TEST_F(DrawTextTest, UpdateCurrentPositionMovesByTheExtent) {
  SetTextAlign(DC, TA_UPDATECP);
  MoveToEx(DC, 10, 2, nullptr);
  textOut(0, 0, "ab");
  textOut(0, 0, "c");
  EXPECT_EQ(ink(), QRect(QPoint(10, 2), QPoint(26, 12)));
  POINT Position;
  GetCurrentPositionEx(DC, &Position);
  EXPECT_EQ(Position, (POINT{28, 2}));
}

TEST_F(DrawTextTest, OpaqueTextOutFillsOnlyTheCellBox) {
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, RedRef);
  textOut(10, 10, "ab");
  EXPECT_EQ(count(Red), 12 * 13 - 2 * 55);
  EXPECT_EQ(count(Black), 2 * 55);
  EXPECT_EQ(ink(), QRect(10, 10, 12, 13));
}

TEST_F(DrawTextTest, ExtTextOutOpaqueRectAndClipping) {
  SetBkColor(DC, RedRef);
  const RECT Box{0, 0, 8, 8};
  const String Text = "abc";
  ExtTextOutW(DC, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &Box, Text.constData(), 3, nullptr);
  EXPECT_EQ(ink(), QRect(0, 0, 8, 8));
  EXPECT_EQ(count(Black), 5 * 8 + 2 * 8);
  EXPECT_EQ(count(Red), 8);

  // Without text ETO_OPAQUE is a rectangle fill in the background colour.
  clear();
  const RECT Fill{20, 20, 30, 25};
  ExtTextOutW(DC, 0, 0, ETO_OPAQUE, &Fill, nullptr, 0, nullptr);
  EXPECT_EQ(count(Red), 50);
}

TEST_F(DrawTextTest, ExtTextOutTakesTheCallersAdvances) {
  const String Text = "ab";
  const int Dx[] = {20, 6};
  ExtTextOutW(DC, 0, 0, 0, nullptr, Text.constData(), 2, Dx);
  EXPECT_TRUE(inkInColumn(20));
  EXPECT_FALSE(inkInColumn(19));
}

TEST_F(DrawTextTest, RightToLeftReadingMovesFinalPunctuationToTheFront) {
  // "ab !" reads "! ab": boxes at 0, 12 and 18 instead of 0, 6 and 18.
  const String Text = "ab !";
  textOut(0, 0, Text);
  EXPECT_TRUE(inkInColumn(6));
  clear();
  ExtTextOutW(DC, 0, 0, ETO_RTLREADING, nullptr, Text.constData(), 4, nullptr);
  EXPECT_FALSE(inkInColumn(6));
  EXPECT_TRUE(inkInColumn(12));
  clear();
  SetTextAlign(DC, TA_RTLREADING);
  textOut(0, 0, Text);
  EXPECT_FALSE(inkInColumn(6));
  clear();
  drawText(Text, {0, 0, 100, 13}, DT_SINGLELINE | DT_RTLREADING);
  EXPECT_FALSE(inkInColumn(6));
  EXPECT_TRUE(inkInColumn(12));
}

TEST_F(DrawTextTest, ExtentsAreCumulative) {
  const String Text = "abc";
  int Fit = -1;
  int Dx[3] = {};
  SIZE Size;
  ASSERT_TRUE(GetTextExtentExPointW(DC, Text.constData(), 3, 13, &Fit, Dx, &Size));
  EXPECT_EQ(Fit, 2);
  EXPECT_EQ(std::vector<int>(Dx, Dx + 3), (std::vector<int>{6, 12, 18}));
  EXPECT_EQ(Size, (SIZE{18, 13}));

  SetTextCharacterExtra(DC, 2);
  ASSERT_TRUE(GetTextExtentPoint32W(DC, Text.constData(), 3, &Size));
  EXPECT_EQ(Size, (SIZE{24, 13}));
  ASSERT_TRUE(GetTextExtentExPointW(DC, Text.constData(), 3, 0, &Fit, Dx, &Size));
  EXPECT_EQ(Fit, 0);
  EXPECT_EQ(Dx[2], 24);
}

TEST_F(DrawTextTest, FixedTextMetrics) {
  TEXTMETRICW M;
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  EXPECT_EQ(M.tmHeight, 13);
  EXPECT_EQ(M.tmAscent, 11);
  EXPECT_EQ(M.tmDescent, 2);
  EXPECT_EQ(M.tmInternalLeading, 2);
  EXPECT_EQ(M.tmExternalLeading, 0);
  EXPECT_EQ(M.tmAveCharWidth, 6);
  EXPECT_EQ(M.tmWeight, FW_NORMAL);
  EXPECT_EQ(M.tmOverhang, 0);

  SelectFont(-16, FW_BOLD);
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  EXPECT_EQ(M.tmHeight, 20);
  EXPECT_EQ(M.tmAveCharWidth, 9);
  EXPECT_EQ(M.tmWeight, FW_BOLD);
}

TEST_F(DrawTextTest, TextFace) {
  WCHAR Face[32];
  EXPECT_EQ(GetTextFaceW(DC, 32, Face), 7);
  EXPECT_EQ(String(reinterpret_cast<const QChar*>(Face)), String("Tahoma"));
  EXPECT_EQ(GetTextFaceW(DC, 0, nullptr), 7);
  EXPECT_EQ(GetTextFaceW(DC, 4, Face), 4);
  EXPECT_EQ(String(reinterpret_cast<const QChar*>(Face)), String("Tah"));
}

TEST_F(DrawTextTest, MirroredMappingMirrorsTheTextBoxButNotTheGlyphs) {
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowOrgEx(DC, Width, 0, nullptr);
  SetWindowExtEx(DC, -Width, Height, nullptr);
  SetViewportExtEx(DC, Width, Height, nullptr);
  textOut(10, 0, "ab");
  // The logical cell [10, 22) lands on device [98, 110).
  EXPECT_EQ(ink(), QRect(QPoint(98, 0), QPoint(108, 10)));
  // A left-aligned line sits at the rect's logical left: the device right.
  clear();
  drawText("ab", {0, 0, 30, 13}, DT_SINGLELINE);
  EXPECT_EQ(ink(), QRect(QPoint(108, 0), QPoint(118, 10)));
}

TEST_F(DrawTextTest, CompatibleScalingScalesTheFontAndReportsLogicalUnits) {
  SetMapMode(DC, MM_ANISOTROPIC);
  SetWindowExtEx(DC, 1, 1, nullptr);
  SetViewportExtEx(DC, 2, 2, nullptr);
  textOut(0, 0, "a");
  // Em 22 on the device: an 11 px advance, a 10 x 22 box.
  EXPECT_EQ(ink(), QRect(0, 0, 10, 22));
  TEXTMETRICW M;
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  EXPECT_EQ(M.tmHeight, 14);  // 27 device rows
  TRect R{0, 0, 1, 0};
  const String Text = "ab";
  DrawTextW(DC, Text.constData(), 2, &R, DT_CALCRECT);
  EXPECT_EQ(R, (TRect{0, 0, 11, 14}));
}

TEST_F(DrawTextTest, AdvancedModeRotatesTheGlyphs) {
  SetGraphicsMode(DC, GM_ADVANCED);
  const XFORM Rotate90{0, 1, -1, 0, 30, 0};  // x' = -y + 30, y' = x
  SetWorldTransform(DC, &Rotate90);
  textOut(0, 0, "abc");
  // Boxes 5 wide and 11 high turn into 11 wide and 5 high, stacked downwards.
  EXPECT_EQ(ink(), QRect(QPoint(19, 0), QPoint(29, 16)));
  EXPECT_EQ(count(Black), 3 * 55);
}

// Turned text, fixed metrics: "abc" is three 5 x 11 boxes 6 apart in an 18 x 13
// cell; turned a quarter counter-clockwise about (10, 30) the boxes stand 11
// wide and 5 high, running upwards from the reference point.
TEST_F(DrawTextTest, EscapementTurnsTheBaselineAboutTheReferencePoint) {
  struct Case {
    const char* Name;
    UINT Align;
    int Mode;
    QRect Ink;
  } const Cases[] = {
      {"left", TA_LEFT | TA_TOP, OPAQUE, QRect(QPoint(10, 12), QPoint(22, 29))},
      {"centred along the turned baseline", TA_CENTER | TA_TOP, TRANSPARENT, QRect(QPoint(10, 22), QPoint(20, 38))},
      {"left, glyphs only", TA_LEFT | TA_TOP, TRANSPARENT, QRect(QPoint(10, 13), QPoint(20, 29))},
  };
  SelectFont(-11, FW_NORMAL, "Tahoma", 0, /*Escapement=*/900);
  SetBkColor(DC, RedRef);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    SetTextAlign(DC, C.Align);
    SetBkMode(DC, C.Mode);
    textOut(10, 30, "abc");
    EXPECT_EQ(ink(), C.Ink);
    EXPECT_EQ(count(Black), 3 * 55);
    if (C.Mode == OPAQUE) EXPECT_EQ(count(Red), 13 * 18 - 3 * 55);  // the background box turned too
  }
  SIZE Extent;
  const String Text = "abc";
  GetTextExtentPoint32W(DC, Text.constData(), 3, &Extent);
  EXPECT_EQ(Extent.cx, 18);  // extents stay unturned
  EXPECT_EQ(Extent.cy, 13);
}

TEST_F(DrawTextTest, OrientationTurnsEachGlyphInAdvancedMode) {
  SelectFont(-11, FW_NORMAL, "Tahoma", 0, /*Escapement=*/0, /*Orientation=*/900);
  textOut(20, 20, "abc");
  EXPECT_EQ(ink(), QRect(QPoint(20, 20), QPoint(36, 30)));  // compatible mode: orientation unused
  clear();
  SetGraphicsMode(DC, GM_ADVANCED);
  textOut(20, 20, "abc");
  // each box turned about its origin on the baseline (y 31), the baseline level
  EXPECT_EQ(ink(), QRect(QPoint(9, 26), QPoint(31, 30)));
}

TEST_F(DrawTextTest, TurnedTextInAPathAndOnTheRecordingLine) {
  SelectFont(-11, FW_NORMAL, "Tahoma", 0, /*Escapement=*/900);
  BeginPath(DC);
  textOut(10, 35, "abc");
  EndPath(DC);
  const HRGN Region = PathToRegion(DC);
  EXPECT_EQ(RegionOf(Region).boundingRect(), QRect(QPoint(10, 18), QPoint(20, 34)));
  DeleteObject(Region);

  auto Recording = TSurface::MakeRecording(50, 50);
  const HDC Recorder = CreateSurfaceDC(Recording);
  SelectObject(Recorder, Font);
  Recording->Recording = true;
  const String Text = "ab";
  TextOutW(Recorder, 1, 2, Text.constData(), 2);
  ASSERT_EQ(Recording->RecordedCalls.size(), 1);
  EXPECT_TRUE(Recording->RecordedCalls[0].startsWith("TextOut(1,2,ab) font=Tahoma/-11/"));
  EXPECT_TRUE(Recording->RecordedCalls[0].contains(" esc=900"));
  DeleteDC(Recorder);
}

TEST_F(DrawTextTest, CountMinusOneReadsToTheTerminator) {
  const String Text = "abc";
  TRect R{0, 0, 1, 0};
  DrawTextW(DC, Text.constData(), -1, &R, DT_CALCRECT);
  EXPECT_EQ(R.Right, 18);
}

// Real fonts: ranges and relations rather than exact pixels.
class QtTextTest : public DrawTextTest {
 protected:
  void SetUp() override {
    DrawTextTest::SetUp();
    SetTextEngine(TTextEngine::Qt);
  }
};

TEST_F(QtTextTest, MetricsOfTheMappedFont) {
  TEXTMETRICW M;
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  EXPECT_EQ(M.tmHeight, M.tmAscent + M.tmDescent);
  EXPECT_EQ(M.tmInternalLeading, M.tmHeight - 11);
  EXPECT_GE(M.tmHeight, 12);
  EXPECT_LE(M.tmHeight, 15);
  EXPECT_GE(M.tmAveCharWidth, 5);
  EXPECT_LE(M.tmAveCharWidth, 7);
  EXPECT_GE(M.tmMaxCharWidth, M.tmAveCharWidth);
  EXPECT_GE(M.tmExternalLeading, 0);

  // A positive height asks for the cell height.
  SelectFont(20);
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  EXPECT_GE(M.tmHeight, 19);
  EXPECT_LE(M.tmHeight, 21);
}

TEST_F(QtTextTest, ExtentsAreAdditiveWithoutKerning) {
  for (const char* Face : {"Tahoma", "Arial", "Times New Roman"}) {
    SelectFont(-15, FW_NORMAL, Face);
    for (const char* Pair : {"AV", "To", "Wa", "fi", "LT", "y,"}) {
      SCOPED_TRACE(std::string(Face) + " " + Pair);
      const String Text = Pair;
      SIZE Whole, First, Second;
      GetTextExtentPoint32W(DC, Text.constData(), 2, &Whole);
      GetTextExtentPoint32W(DC, Text.constData(), 1, &First);
      GetTextExtentPoint32W(DC, Text.constData() + 1, 1, &Second);
      EXPECT_EQ(Whole.cx, First.cx + Second.cx);
      int Dx[2];
      GetTextExtentExPointW(DC, Text.constData(), 2, 0, nullptr, Dx, nullptr);
      EXPECT_EQ(Dx[1], Whole.cx);
    }
  }
}

TEST_F(QtTextTest, MeasuredTextIsDrawnText) {
  const String Text = "Hello World";
  SIZE Size;
  GetTextExtentPoint32W(DC, Text.constData(), static_cast<int>(Text.size()), &Size);
  TRect Calc{0, 0, 1, 0};
  DrawTextW(DC, Text.constData(), static_cast<int>(Text.size()), &Calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(Calc.Width(), Size.cx);
  EXPECT_EQ(Calc.Height(), Size.cy);

  drawText(Text, {0, 0, 100, 20}, DT_SINGLELINE | DT_RIGHT);
  const QRect Ink = ink();
  EXPECT_LE(Ink.right(), 99);
  EXPECT_GE(Ink.right(), 96);
  EXPECT_GE(Ink.left(), 100 - Size.cx);
  EXPECT_LE(Ink.bottom(), Size.cy - 1);
}

TEST_F(QtTextTest, QualityDecidesAntialiasing) {
  auto greys = [&] {
    int N = 0;
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X) N += image().pixel(X, Y) != White && image().pixel(X, Y) != Black;
    return N;
  };
  SelectFont(-15, FW_NORMAL, "Tahoma", NONANTIALIASED_QUALITY);
  textOut(2, 2, "Quality");
  EXPECT_GT(count(Black), 20);
  EXPECT_EQ(greys(), 0);

  clear();
  SelectFont(-15, FW_NORMAL, "Tahoma", ANTIALIASED_QUALITY);
  textOut(2, 2, "Quality");
  EXPECT_GT(greys(), 0);
}

TEST_F(QtTextTest, EllipsisFitsTheRect) {
  drawText("A rather long cell text", {0, 0, 60, 20}, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  EXPECT_LE(ink().right(), 59);
}

TEST_F(QtTextTest, MirroredGlyphsStayUpright) {
  textOut(60, 5, "Fa");
  const QImage Plain = image().copy();
  clear();
  SetLayout(DC, LAYOUT_RTL);
  SIZE Size;
  GetTextExtentPoint32W(DC, String("Fa").constData(), 2, &Size);
  textOut(Width - 60 - Size.cx, 5, "Fa");
  EXPECT_EQ(image(), Plain);
}

TEST_F(QtTextTest, GlyphsBlendedIntoPixelsMatchThePaintersGlyphs) {
  // A printer-kind surface over an image draws glyphs through the painter
  // only; the bitmap surface blends them straight into its pixels.
  QImage Printed(Width, Height, QImage::Format_RGB32);
  Printed.fill(White);
  const HDC PrinterDC =
      CreateSurfaceDC(std::make_shared<TSurface>(TSurface::TKind::Printer, &Printed, Width, Height, 96, 96));
  for (const HDC Target : {DC, PrinterDC}) {
    SelectObject(Target, Font);
    SetBkMode(Target, TRANSPARENT);
    SetTextColor(Target, RGB(0x20, 0x40, 0xC0));
    ExcludeClipRect(Target, 20, 0, 26, Height);  // a clip of two rectangles
    const RECT Clip{3, 3, 70, 30};
    const String Text = "Glyphs: Ag, \u0416\u044f";
    ExtTextOutW(Target, 5, 5, ETO_CLIPPED, &Clip, Text.constData(), static_cast<UINT>(Text.size()), nullptr);
    const String Clipped = "clipped by the rect";
    RECT Box{5, 20, 60, 30};
    DrawTextW(Target, Clipped.constData(), static_cast<int>(Clipped.size()), &Box, 0);
  }
  DCSurface(PrinterDC)->EndPainting();
  DeleteDC(PrinterDC);
  // Same blending arithmetic; a unit of slack for another Qt's rounding.
  auto near = [](int A, int B) { return std::abs(A - B) <= 1; };
  int Differences = 0;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const QRgb A = image().pixel(X, Y), B = Printed.pixel(X, Y);
      Differences += !near(qRed(A), qRed(B)) || !near(qGreen(A), qGreen(B)) || !near(qBlue(A), qBlue(B));
    }
  EXPECT_EQ(Differences, 0);
  EXPECT_FALSE(ink().isEmpty());
  EXPECT_EQ(count(White, QRect(20, 0, 6, Height)), 6 * Height);
}

TEST_F(QtTextTest, WrappedTextBreaksAtWordsAndIsCutAtTheRectsBottom) {
  SelectFont(-13, FW_NORMAL, "Arial");
  const String Text = "&Reference text, wrapped by words into the rect";
  TEXTMETRICW M;
  ASSERT_TRUE(GetTextMetricsW(DC, &M));
  const TRect Box{2, 2, 118, 38};
  TRect Measured = Box;
  EXPECT_EQ(drawText(Text, Measured, DT_WORDBREAK | DT_CALCRECT), 3 * M.tmHeight);

  drawText(Text, Box, DT_WORDBREAK | DT_END_ELLIPSIS);
  const QRect Ink = ink();
  EXPECT_EQ(Ink.left(), Box.Left);
  EXPECT_LT(Ink.right(), Box.Right);
  // The third line starts inside the rect and is cut at its bottom edge.
  EXPECT_EQ(Ink.bottom(), Box.Bottom - 1);
  for (int Line = 0; Line < 3; ++Line) {
    const int Top = Box.Top + Line * M.tmHeight;
    EXPECT_GT(count(Black, QRect(Box.Left, Top, Box.Width(), std::min(M.tmHeight, Box.Bottom - Top))), 0) << Line;
  }
  // Only the prefixed R is underlined: the row under the first line's
  // baseline holds ink under the R and nowhere past it.
  const int Underline = Box.Top + M.tmAscent + 1;
  EXPECT_TRUE(inkInColumn(Box.Left + 2, Underline, Underline + 1));
  EXPECT_FALSE(inkInColumn(Box.Left + 20, Underline, Underline + 1));
  SaveForReview(image(), QStringLiteral("drawtext_wrapped.png"));
}

}  // namespace
