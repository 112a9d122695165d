#include "platform/ui/graphics/edges.h"

#include "platform/ui/graphics/surface.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QImage>
#include <array>
#include <vector>

using namespace gdi;

namespace {

// Every system colour the painters use gets a value of its own, so a pixel
// tells which colour index painted it; the background is none of them.
constexpr COLORREF Background = RGB(1, 2, 3);
constexpr std::array<int, 12> Indexes = {COLOR_3DLIGHT,   COLOR_3DDKSHADOW, COLOR_BTNSHADOW,  COLOR_BTNHIGHLIGHT,
                                         COLOR_BTNFACE,   COLOR_WINDOW,     COLOR_WINDOWFRAME, COLOR_WINDOWTEXT,
                                         COLOR_GRAYTEXT,  COLOR_BTNTEXT,    COLOR_HIGHLIGHT,  COLOR_INFOBK};

COLORREF sys(int Index) { return RGB(BYTE(10 + Index), BYTE(100 + Index), BYTE(200 - Index)); }

const COLORREF Light = sys(COLOR_3DLIGHT), DkShadow = sys(COLOR_3DDKSHADOW), Shadow = sys(COLOR_BTNSHADOW),
               Highlight = sys(COLOR_BTNHIGHLIGHT), Face = sys(COLOR_BTNFACE), Window = sys(COLOR_WINDOW),
               Frame = sys(COLOR_WINDOWFRAME), WindowText = sys(COLOR_WINDOWTEXT), GrayText = sys(COLOR_GRAYTEXT),
               BtnText = sys(COLOR_BTNTEXT);

struct TPixel {
  int X, Y;
  COLORREF Color;
};

class EdgesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Baseline = GdiObjectCount();
    std::array<COLORREF, Indexes.size()> Values;
    for (size_t I = 0; I < Indexes.size(); ++I) Values[I] = sys(Indexes[I]);
    SetSysColors(int(Indexes.size()), Indexes.data(), Values.data());
  }
  void TearDown() override {
    for (HDC D : DCs) DeleteDC(D);
    ResetSysColors();
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  HDC makeSurface(int Width, int Height) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(QColor(GetRValue(Background), GetGValue(Background), GetBValue(Background)));
    Surface = std::make_shared<TSurface>(Image);
    DCs.push_back(CreateSurfaceDC(Surface));
    return DCs.back();
  }

  COLORREF pixel(int X, int Y) { return pixelOf(Surface->Image(), X, Y); }
  static COLORREF pixelOf(const QImage& Image, int X, int Y) {
    const QRgb P = Image.pixel(X, Y);
    return RGB(BYTE(qRed(P)), BYTE(qGreen(P)), BYTE(qBlue(P)));
  }
  int count(COLORREF Color) {
    int N = 0;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X) N += pixel(X, Y) == Color;
    return N;
  }
  // The bounding box of the pixels in Color.
  QRect box(COLORREF Color) {
    QRect Box;
    for (int Y = 0; Y < Surface->Height(); ++Y)
      for (int X = 0; X < Surface->Width(); ++X)
        if (pixel(X, Y) == Color) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  void expectPixels(const std::vector<TPixel>& Pixels, TPoint Origin = {}) {
    for (const TPixel& P : Pixels)
      EXPECT_EQ(pixel(Origin.X + P.X, Origin.Y + P.Y), P.Color) << "pixel (" << P.X << ", " << P.Y << ")";
  }

  int Baseline = 0;
  std::shared_ptr<TSurface> Surface;
  std::vector<HDC> DCs;
};

// ---------------------------------------------------------------------------
// DrawEdge

TEST_F(EdgesTest, EdgesPaintRingsSidesAndCorners) {
  // A 10 x 10 rectangle at (2, 2) of a 14 x 14 surface; pixels relative to it.
  struct Case {
    const char* Name;
    UINT Edge, Flags;
    std::vector<TPixel> Pixels;
    TRect Adjusted;  // Rect afterwards, relative
  };
  const Case Cases[] = {
      {"raised inner: corners", BDR_RAISEDINNER, BF_RECT,
       {{0, 0, Highlight}, {9, 9, Shadow}, {9, 0, Shadow}, {0, 9, Shadow}, {8, 0, Highlight}, {0, 8, Highlight},
        {1, 1, Background}, {-1, -1, Background}, {10, 10, Background}},
       {0, 0, 10, 10}},
      {"raised inner, adjusted", BDR_RAISEDINNER, BF_RECT | BF_ADJUST, {{1, 1, Background}}, {1, 1, 9, 9}},
      {"raised", EDGE_RAISED, BF_RECT | BF_ADJUST,
       {{0, 0, Light}, {9, 0, DkShadow}, {0, 9, DkShadow}, {9, 9, DkShadow}, {1, 1, Highlight}, {8, 1, Shadow},
        {1, 8, Shadow}, {8, 8, Shadow}, {2, 2, Background}},
       {2, 2, 8, 8}},
      {"sunken", EDGE_SUNKEN, BF_RECT,
       {{0, 0, Shadow}, {9, 9, Highlight}, {9, 0, Highlight}, {1, 1, DkShadow}, {8, 8, Light}, {8, 1, Light}},
       {0, 0, 10, 10}},
      {"etched", EDGE_ETCHED, BF_RECT, {{0, 0, Shadow}, {9, 9, Highlight}, {1, 1, Highlight}, {8, 8, Shadow}},
       {0, 0, 10, 10}},
      {"bump", EDGE_BUMP, BF_RECT, {{0, 0, Light}, {9, 9, DkShadow}, {1, 1, DkShadow}, {8, 8, Light}},
       {0, 0, 10, 10}},
      {"top and left only: sides run full length", EDGE_RAISED, BF_TOPLEFT | BF_ADJUST,
       {{9, 0, Light}, {0, 9, Light}, {9, 1, Highlight}, {1, 9, Highlight}, {9, 9, Background}, {2, 2, Background}},
       {2, 2, 10, 10}},
      {"bottom and right only", EDGE_RAISED, BF_BOTTOMRIGHT | BF_ADJUST,
       {{0, 9, DkShadow}, {9, 0, DkShadow}, {0, 8, Shadow}, {8, 0, Shadow}, {0, 0, Background}, {7, 7, Background}},
       {0, 0, 8, 8}},
      {"middle", EDGE_RAISED, BF_RECT | BF_MIDDLE, {{2, 2, Face}, {7, 7, Face}, {1, 1, Highlight}}, {0, 0, 10, 10}},
      {"flat", EDGE_RAISED, BF_RECT | BF_FLAT, {{0, 0, Shadow}, {9, 9, Shadow}, {1, 1, Face}, {8, 8, Face}},
       {0, 0, 10, 10}},
      {"mono wins over flat", EDGE_SUNKEN, BF_RECT | BF_MONO | BF_FLAT,
       {{0, 0, Frame}, {9, 9, Frame}, {1, 1, Window}, {8, 8, Window}},
       {0, 0, 10, 10}},
      {"no rings, middle only", 0, BF_RECT | BF_MIDDLE | BF_ADJUST, {{0, 0, Face}, {9, 9, Face}}, {0, 0, 10, 10}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(14, 14);
    RECT R{2, 2, 12, 12};
    EXPECT_TRUE(DrawEdge(DC, &R, C.Edge, C.Flags));
    expectPixels(C.Pixels, {2, 2});
    EXPECT_EQ(R, (TRect{C.Adjusted.Left + 2, C.Adjusted.Top + 2, C.Adjusted.Right + 2, C.Adjusted.Bottom + 2}));
  }
}

TEST_F(EdgesTest, EdgesFollowTheDCsMirror) {
  HDC DC = makeSurface(14, 14);
  SetLayout(DC, LAYOUT_RTL);
  RECT R{2, 2, 12, 12};
  DrawEdge(DC, &R, BDR_RAISEDINNER, BF_LEFT);
  // logical column 2 lands on surface column 14 - 3
  EXPECT_EQ(box(Highlight), QRect(11, 2, 1, 10));
}

TEST_F(EdgesTest, EdgesRefuseBadArguments) {
  HDC DC = makeSurface(4, 4);
  RECT R{0, 0, 4, 4};
  EXPECT_FALSE(DrawEdge(DC, nullptr, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(nullptr, &R, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(HDC(GetStockObject(BLACK_PEN)), &R, EDGE_RAISED, BF_RECT));
  RECT Empty{5, 5, 5, 5};
  EXPECT_TRUE(DrawEdge(DC, &Empty, EDGE_RAISED, BF_RECT | BF_MIDDLE));
  EXPECT_EQ(count(Background), 16);
}

// ---------------------------------------------------------------------------
// DrawFrameControl

TEST_F(EdgesTest, PushButtonsAreRaisedFacesAndAdjustTheirRect) {
  struct Case {
    const char* Name;
    UINT State;
    std::vector<TPixel> Pixels;
    TRect Adjusted;
  };
  const Case Cases[] = {
      {"normal", DFCS_BUTTONPUSH, {{0, 0, Light}, {1, 1, Highlight}, {19, 15, DkShadow}, {10, 8, Face}}, {0, 0, 20, 16}},
      {"adjusted", DFCS_BUTTONPUSH | DFCS_ADJUSTRECT, {{0, 0, Light}, {2, 2, Face}}, {2, 2, 18, 14}},
      {"pushed", DFCS_BUTTONPUSH | DFCS_PUSHED, {{0, 0, Shadow}, {1, 1, DkShadow}, {19, 15, Highlight}}, {0, 0, 20, 16}},
      {"checked", DFCS_BUTTONPUSH | DFCS_CHECKED, {{0, 0, Shadow}, {10, 8, Face}}, {0, 0, 20, 16}},
      {"flat", DFCS_BUTTONPUSH | DFCS_FLAT | DFCS_ADJUSTRECT, {{0, 0, Shadow}, {19, 15, Shadow}, {1, 1, Face}},
       {1, 1, 19, 15}},
      {"mono", DFCS_BUTTONPUSH | DFCS_MONO, {{0, 0, Frame}, {1, 1, Face}}, {0, 0, 20, 16}},
      {"hot draws as normal", DFCS_BUTTONPUSH | DFCS_HOT, {{0, 0, Light}, {1, 1, Highlight}}, {0, 0, 20, 16}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(20, 16);
    RECT R{0, 0, 20, 16};
    EXPECT_TRUE(DrawFrameControl(DC, &R, DFC_BUTTON, C.State));
    expectPixels(C.Pixels);
    EXPECT_EQ(R, C.Adjusted);
  }
}

TEST_F(EdgesTest, CheckBoxesDifferInsideOnly) {
  static const char* const Tick[] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
  HDC DC = makeSurface(13, 13);
  RECT R{0, 0, 13, 13};
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONCHECK);
  const QImage Unchecked = Surface->Image().copy();
  EXPECT_EQ(pixel(0, 0), Shadow);
  EXPECT_EQ(pixel(1, 1), DkShadow);
  EXPECT_EQ(pixel(12, 12), Highlight);
  EXPECT_EQ(box(Window), QRect(2, 2, 9, 9));
  EXPECT_EQ(count(Window), 81);

  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  for (int Y = 0; Y < 13; ++Y)
    for (int X = 0; X < 13; ++X) {
      const bool InTick = X >= 3 && X < 10 && Y >= 3 && Y < 10 && Tick[Y - 3][X - 3] == '#';
      const COLORREF Expected = InTick ? WindowText : pixelOf(Unchecked, X, Y);
      EXPECT_EQ(pixel(X, Y), Expected) << "pixel (" << X << ", " << Y << ")";
    }
}

TEST_F(EdgesTest, CheckBoxStates) {
  struct Case {
    const char* Name;
    UINT State;
    COLORREF Inside;  // at the box's corner inside the frame
    COLORREF Mark;    // at the tick's lowest pixel, (5, 9)
  };
  const Case Cases[] = {
      {"inactive", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, Face, GrayText},
      {"pushed", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_PUSHED, Face, WindowText},
      {"3-state checked: grey tick on face", DFCS_BUTTON3STATE | DFCS_CHECKED, Face, Shadow},
      {"3-state unchecked", DFCS_BUTTON3STATE, Window, Window},
      {"hot", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_HOT, Window, WindowText},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(13, 13);
    RECT R{0, 0, 13, 13};
    EXPECT_TRUE(DrawFrameControl(DC, &R, DFC_BUTTON, C.State));
    EXPECT_EQ(pixel(2, 2), C.Inside);
    EXPECT_EQ(pixel(5, 9), C.Mark);
  }
}

TEST_F(EdgesTest, CheckBoxSitsInTheCentredSquare) {
  HDC DC = makeSurface(21, 13);
  RECT R{0, 0, 21, 13};
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
  EXPECT_EQ(box(Shadow), QRect(4, 0, 13, 13));
  EXPECT_EQ(pixel(3, 6), Background);
  EXPECT_EQ(box(Window), QRect(5, 1, 11, 11));
}

TEST_F(EdgesTest, RadioButtonsAreSunkenCirclesWithADot) {
  HDC DC = makeSurface(13, 13);
  RECT R{0, 0, 13, 13};
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONRADIO);
  expectPixels({{0, 0, Background}, {12, 12, Background}, {6, 0, Shadow}, {0, 6, Shadow}, {6, 12, Highlight},
                {12, 6, Highlight}, {6, 1, DkShadow}, {6, 11, Light}, {6, 6, Window}});
  EXPECT_EQ(count(WindowText), 0);
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(pixel(6, 6), WindowText);
  EXPECT_EQ(box(WindowText), QRect(4, 4, 5, 5));
  EXPECT_EQ(count(WindowText), 13);  // radius 13 / 6: a 3 x 3 square and its four tips
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(count(GrayText), 13);
  EXPECT_EQ(pixel(6, 3), Face);
}

TEST_F(EdgesTest, ScrollArrowsAreCentredTriangles) {
  // A 17 x 17 button: face inside 13 x 13 from (2, 2), triangle base 7, height 4.
  struct Case {
    const char* Name;
    UINT State;
    TPixel Apex;
    QRect Glyph;
    COLORREF Color;
  };
  const Case Cases[] = {
      {"up", DFCS_SCROLLUP, {8, 6, BtnText}, QRect(5, 6, 7, 4), BtnText},
      {"down", DFCS_SCROLLDOWN, {8, 9, BtnText}, QRect(5, 6, 7, 4), BtnText},
      {"combo box as down", DFCS_SCROLLCOMBOBOX, {8, 9, BtnText}, QRect(5, 6, 7, 4), BtnText},
      {"left", DFCS_SCROLLLEFT, {6, 8, BtnText}, QRect(6, 5, 4, 7), BtnText},
      {"right", DFCS_SCROLLRIGHT, {9, 8, BtnText}, QRect(6, 5, 4, 7), BtnText},
      {"pushed moves by one", DFCS_SCROLLDOWN | DFCS_PUSHED, {9, 10, BtnText}, QRect(6, 7, 7, 4), BtnText},
      {"inactive", DFCS_SCROLLUP | DFCS_INACTIVE, {8, 6, GrayText}, QRect(5, 6, 7, 4), GrayText},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(17, 17);
    RECT R{0, 0, 17, 17};
    EXPECT_TRUE(DrawFrameControl(DC, &R, DFC_SCROLL, C.State));
    EXPECT_EQ(pixel(C.Apex.X, C.Apex.Y), C.Apex.Color);
    EXPECT_EQ(box(C.Color), C.Glyph);
    EXPECT_EQ(count(C.Color), 16);  // 7 + 5 + 3 + 1
    EXPECT_EQ(pixel(0, 0), (C.State & DFCS_PUSHED) ? Shadow : Light);
  }
}

TEST_F(EdgesTest, SizeGripsAreDiagonalPairsFromTheCorner) {
  struct Case {
    const char* Name;
    UINT State;
    std::vector<TPixel> Pixels;
  };
  const Case Cases[] = {
      {"bottom-right",
       DFCS_SCROLLSIZEGRIP,
       {{11, 11, Face}, {10, 11, Shadow}, {11, 10, Shadow}, {9, 11, Highlight}, {8, 11, Face}, {7, 11, Face},
        {6, 11, Shadow}, {1, 11, Highlight}, {0, 11, Face}, {11, 1, Highlight}, {11, 0, Face}, {5, 5, Face}}},
      {"bottom-left",
       DFCS_SCROLLSIZEGRIPRIGHT,
       {{0, 11, Face}, {1, 11, Shadow}, {0, 10, Shadow}, {2, 11, Highlight}, {10, 11, Highlight}, {11, 11, Face},
        {0, 1, Highlight}, {0, 0, Face}, {11, 0, Face}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(12, 12);
    RECT R{0, 0, 12, 12};
    EXPECT_TRUE(DrawFrameControl(DC, &R, DFC_SCROLL, C.State));
    expectPixels(C.Pixels);
    EXPECT_EQ(count(Shadow), 2 + 6 + 10);
    EXPECT_EQ(count(Highlight), 3 + 7 + 11);
  }
}

TEST_F(EdgesTest, CloseButtonIsACross) {
  // 16 x 14: face inside 12 x 10 from (2, 2); the cross is 8 wide, 7 high from (4, 3).
  HDC DC = makeSurface(16, 14);
  RECT R{0, 0, 16, 14};
  EXPECT_TRUE(DrawFrameControl(DC, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  EXPECT_EQ(box(BtnText), QRect(4, 3, 8, 7));
  EXPECT_EQ(count(BtnText), 26);
  expectPixels({{4, 3, BtnText}, {5, 3, BtnText}, {6, 3, Face}, {10, 3, BtnText}, {11, 3, BtnText},
                {7, 6, BtnText}, {8, 6, BtnText}, {6, 6, Face}, {9, 6, Face}, {4, 9, BtnText}, {11, 9, BtnText}});
  DrawFrameControl(DC, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED | DFCS_INACTIVE);
  EXPECT_EQ(box(GrayText), QRect(5, 4, 8, 7));
  EXPECT_EQ(pixel(0, 0), Shadow);
}

TEST_F(EdgesTest, FrameControlsRefuseUnknownKinds) {
  HDC DC = makeSurface(16, 16);
  RECT R{0, 0, 16, 16};
  EXPECT_FALSE(DrawFrameControl(DC, &R, 2, 0));                     // menus: not drawn here
  EXPECT_FALSE(DrawFrameControl(DC, &R, DFC_CAPTION, 1));           // minimise
  EXPECT_FALSE(DrawFrameControl(DC, &R, DFC_SCROLL, 4));
  EXPECT_FALSE(DrawFrameControl(DC, &R, DFC_BUTTON, 1));            // radio image
  EXPECT_FALSE(DrawFrameControl(DC, nullptr, DFC_BUTTON, DFCS_BUTTONPUSH));
  EXPECT_FALSE(DrawFrameControl(nullptr, &R, DFC_BUTTON, DFCS_BUTTONPUSH));
  EXPECT_EQ(count(Background), 256);
  RECT Tiny{0, 0, 2, 2};
  for (UINT Kind : {DFCS_SCROLLUP, DFCS_SCROLLSIZEGRIP}) EXPECT_TRUE(DrawFrameControl(DC, &Tiny, DFC_SCROLL, Kind));
  EXPECT_TRUE(DrawFrameControl(DC, &Tiny, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED));
  EXPECT_TRUE(DrawFrameControl(DC, &Tiny, DFC_CAPTION, DFCS_CAPTIONCLOSE));
}

// ---------------------------------------------------------------------------
// system bitmaps

TEST_F(EdgesTest, CheckBoxStripHoldsTheFrameControlsLooks) {
  HBITMAP Strip = LoadBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  ASSERT_TRUE(Strip);
  BITMAP Info;
  ASSERT_EQ(GetObject(Strip, sizeof(Info), &Info), int(sizeof(Info)));
  EXPECT_EQ(Info.bmWidth, 52);
  EXPECT_EQ(Info.bmHeight, 39);
  EXPECT_EQ(Info.bmBitsPixel, 32);
  const QImage Cells = BitmapSurface(Strip)->Image().copy();

  struct Case {
    int Column, Row;
    UINT State;
  };
  const Case Cases[] = {
      {0, 0, DFCS_BUTTONCHECK},  {1, 0, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {2, 0, DFCS_BUTTONCHECK | DFCS_PUSHED}, {3, 0, DFCS_BUTTONCHECK | DFCS_PUSHED | DFCS_CHECKED},
      {1, 1, DFCS_BUTTONRADIO | DFCS_CHECKED}, {3, 1, DFCS_BUTTONRADIO | DFCS_PUSHED | DFCS_CHECKED},
      {1, 2, DFCS_BUTTON3STATE | DFCS_CHECKED},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "cell " << C.Column << ", " << C.Row);
    HDC DC = makeSurface(13, 13);
    RECT R{0, 0, 13, 13};
    FillRect(DC, R, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(DC, &R, DFC_BUTTON, C.State);
    int Different = 0;
    for (int Y = 0; Y < 13; ++Y)
      for (int X = 0; X < 13; ++X) Different += pixel(X, Y) != pixelOf(Cells, C.Column * 13 + X, C.Row * 13 + Y);
    EXPECT_EQ(Different, 0);
  }
  EXPECT_TRUE(DeleteObject(Strip));

  EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(32754)), nullptr);
  EXPECT_EQ(LoadBitmap(reinterpret_cast<HINSTANCE>(std::uintptr_t(1)), MAKEINTRESOURCE(OBM_CHECKBOXES)), nullptr);
}

// A gallery for a person to look at (edges.png in the test's working folder).

}  // namespace
