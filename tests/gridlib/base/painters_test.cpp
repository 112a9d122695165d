#include "gridlib/base/painters.h"

#include "gridlib/base/alphabitmap.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/imagelist.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QRect>

using namespace gdi;

namespace {

constexpr TColor Paper = clWhite;

// A white 100 x 60 bitmap and the classic look, or the recording style
// services for the themed branches.
class PaintersEh : public ::testing::Test {
protected:
  void SetUp() override {
    Bitmap.SetSize(100, 60);
    Canvas = Bitmap.Canvas();
    clear();
  }
  void TearDown() override {
    SetStyleServices(nullptr);
    CloseExplorerTreeThemeEh();
    InitCheckBoxSizeEh();
  }

  void clear() {
    Canvas->Brush()->SetColor(Paper);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Rect(0, 0, 100, 60));
  }
  void themed() { SetStyleServices(&Recording); }
  // Bounding box of the pixels of Color (system colours resolved).
  QRect box(TColor Color) {
    QRect Box;
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
      for (int X = 0; X < Bitmap.Width(); ++X)
        if (PixelAt(&Bitmap, X, Y) == ColorToRGB(Color)) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  int count(TColor Color) { return CountPixels(&Bitmap, Rect(0, 0, 100, 60), ColorToRGB(Color)); }
  int inkNotPaper() { return 100 * 60 - count(Paper); }
  void button(TDrawButtonControlStyleEh Style, const TRect& R, Integer PressedPart = 0, bool Flat = false,
              bool Active = false, bool Enabled = true, bool DrawBack = true, TColor BackColor = clNone) {
    PaintButtonControlEh(Canvas, R, BackColor, Style, PressedPart, Flat, Active, Enabled, cbUnchecked, 1.0,
                         DrawBack);
  }

  TBitmap Bitmap;
  TCanvas* Canvas = nullptr;
  TRecordingStyleServices Recording;
};

// ---------------------------------------------------------------------------
// glyph geometry

TEST_F(PaintersEh, TriangleSizes) {
  const struct {
    const char* Name;
    int Side;
    bool Themed;
    int Pixels;  // rows of M, M - 2 ... 1 pixels
  } Cases[] = {
      {"20 x 20: 9 pixels", 20, false, 9 + 7 + 5 + 3 + 1},
      {"16 x 16: 7 pixels", 16, false, 7 + 5 + 3 + 1},
      {"15 x 15: 5 pixels", 15, false, 5 + 3 + 1},
      {"11 x 11 classic: 3 pixels", 11, false, 3 + 1},
      {"11 x 11 themed: 5 pixels", 11, true, 5 + 3 + 1},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    SetStyleServices(C.Themed ? &Recording : nullptr);
    button(bcsAltDropDownEh, Bounds(10, 10, C.Side, C.Side));
    EXPECT_EQ(C.Themed ? inkNotPaper() : count(clWindowText), C.Pixels);
  }
}

TEST_F(PaintersEh, TriangleIsCentredAndPointsDown) {
  button(bcsAltDropDownEh, Bounds(10, 10, 20, 20));
  // Origin ((10 + 30 - 9) / 2, (10 + 30 - 4 - 1) / 2) = (15, 17).
  EXPECT_EQ(box(clWindowText), QRect(15, 17, 9, 5));
  EXPECT_EQ(CountPixels(&Bitmap, Rect(15, 17, 24, 18), ColorToRGB(clWindowText)), 9);  // the long row on top
  clear();
  button(bcsAltDropDownEh, Bounds(10, 10, 20, 20), ButtonPressedUpperEh);
  EXPECT_EQ(box(clWindowText), QRect(16, 18, 9, 5));  // pressed: one pixel right and down
}

TEST_F(PaintersEh, EllipsisDots) {
  const struct {
    const char* Name;
    int Width;
    QRect Dots;  // the three dots' bounding box
    int Pixels;
  } Cases[] = {
      {"7 wide: 1-pixel dots, 1 apart", 7, QRect(11, 20, 5, 1), 3},
      {"10 wide: 2-pixel dots, 1 apart", 10, QRect(11, 19, 8, 2), 12},
      {"16 wide: 2-pixel dots, 2 apart", 16, QRect(13, 19, 10, 2), 12},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    button(bcsEllipsisEh, Bounds(10, 10, C.Width, 20));
    EXPECT_EQ(box(clBtnText), C.Dots);
    EXPECT_EQ(count(clBtnText), C.Pixels);
  }
  clear();
  button(bcsEllipsisEh, Bounds(10, 10, 7, 20));
  for (int X = 11; X <= 15; ++X) EXPECT_EQ(PixelAt(&Bitmap, X, 20) == ColorToRGB(clBtnText), X % 2 == 1) << X;
}

TEST_F(PaintersEh, PlusAndMinusBars) {
  const struct {
    const char* Name;
    TDrawButtonControlStyleEh Style;
    bool DrawBack, Flat;
    int Len, Thick;
  } Cases[] = {
      {"plus in 14 with its face", bcsPlusEh, true, false, 8, 2},
      {"plus in 14 alone (2 pixels in)", bcsPlusEh, false, false, 6, 2},
      {"minus in 14 with its face", bcsMinusEh, true, false, 8, 2},
      {"flat plus in 14", bcsPlusEh, true, true, 8, 2},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    PaintButtonStyleEh(Canvas, C.Style, Bounds(10, 10, 14, 14), true, C.Flat, false, false, false, C.DrawBack);
    const QRect Ink = box(clBtnText);
    EXPECT_EQ(Ink.width(), C.Len);
    if (C.Style == bcsPlusEh) {
      EXPECT_EQ(Ink.height(), C.Len);
      EXPECT_EQ(CountPixels(&Bitmap, Rect(Ink.left(), Ink.top(), Ink.right() + 1, Ink.top() + 1), ColorToRGB(clBtnText)),
                C.Thick);
    } else {
      EXPECT_EQ(Ink.height(), C.Thick);
    }
  }
}

TEST_F(PaintersEh, DisabledGlyphIsEmbossed) {
  Canvas->Brush()->SetColor(clYellow);
  Canvas->FillRect(Rect(0, 0, 100, 60));
  PaintButtonStyleEh(Canvas, bcsMinusEh, Bounds(10, 10, 14, 14), /*Enabled=*/false, false, false, false, false,
                     /*DrawBack=*/false);
  EXPECT_EQ(count(clBtnText), 0);
  const QRect Shadow = box(clBtnShadow);
  EXPECT_EQ(Shadow, QRect(14, 16, 6, 2));
  // The highlight copy lies one pixel down and right, under the shadow.
  EXPECT_EQ(PixelAt(&Bitmap, Shadow.right() + 1, Shadow.bottom() + 1), ColorToRGB(clBtnHighlight));
}

// ---------------------------------------------------------------------------
// buttons

TEST_F(PaintersEh, UpDownHalvesWithBackColorBetween) {
  button(bcsAltUpDownEh, Bounds(10, 10, 15, 21), 0, false, false, true, true, clRed);
  // 21 rows: 10 for each half and the middle row 20 in red.
  EXPECT_EQ(CountPixels(&Bitmap, Rect(10, 20, 25, 21), clRed), 15);
  EXPECT_EQ(count(clRed), 15);
  // The upper half points up, the lower down.
  const QRect Upper = QRect(10, 10, 15, 10);
  int UpperInk = 0, LowerInk = 0;
  for (int Y = 10; Y < 31; ++Y)
    for (int X = 10; X < 25; ++X)
      if (PixelAt(&Bitmap, X, Y) == ColorToRGB(clWindowText)) (Upper.contains(X, Y) ? UpperInk : LowerInk) += 1;
  EXPECT_EQ(UpperInk, 4);
  EXPECT_EQ(LowerInk, 4);
  clear();
  button(bcsAltUpDownEh, Bounds(10, 10, 15, 20), 0, false, false, true, true, clRed);
  EXPECT_EQ(count(clRed), 0);  // an even height leaves no row
}

TEST_F(PaintersEh, FlatButtonIsFramedInBackColor) {
  button(bcsDropDownEh, Bounds(10, 10, 17, 20), 0, /*Flat=*/true, false, true, true, clRed);
  EXPECT_EQ(count(clRed), 2 * 17 + 2 * 18);  // the one-pixel frame
  EXPECT_EQ(PixelAt(&Bitmap, 11, 11), ColorToRGB(clBtnFace));  // no 3-D edge inside
  EXPECT_EQ(PixelAt(&Bitmap, 9, 9), Paper);
  clear();
  button(bcsUpDownEh, Bounds(10, 10, 17, 20), 0, /*Flat=*/true, false, true, true, clRed);
  // The flat look widens the middle to three rows (even height: two).
  EXPECT_EQ(CountPixels(&Bitmap, Rect(11, 19, 26, 21), clRed), 2 * 15);
}

TEST_F(PaintersEh, ThemedButtonsAskForTheirElements) {
  themed();
  const struct {
    const char* Name;
    TDrawButtonControlStyleEh Style;
    bool Active, Enabled, Pressed, DownDirect;
    const char* Element;
  } Cases[] = {
      {"drop-down", bcsDropDownEh, false, true, false, false, "DrawElement(teComboBox,1,1,(0,0,16,20))"},
      {"hot drop-down", bcsDropDownEh, true, true, false, false, "DrawElement(teComboBox,1,2,(0,0,16,20))"},
      {"disabled drop-down", bcsDropDownEh, true, false, true, false, "DrawElement(teComboBox,1,4,(0,0,16,20))"},
      {"pressed lower spin", bcsUpDownEh, false, true, true, true, "DrawElement(teSpin,2,3,(0,0,16,20))"},
      {"upper spin", bcsUpDownEh, false, true, false, false, "DrawElement(teSpin,1,1,(0,0,16,20))"},
      {"ellipsis face", bcsEllipsisEh, false, true, true, false, "DrawElement(teComboBox,2,3,(0,0,16,20))"},
      {"upper alt spin face overlaps", bcsAltUpDownEh, false, true, false, false,
       "DrawElement(teComboBox,2,1,(0,0,16,21))"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Recording.Calls.clear();
    PaintButtonStyleEh(Canvas, C.Style, Rect(0, 0, 16, 20), C.Enabled, false, C.Active, C.Pressed, C.DownDirect, true);
    ASSERT_FALSE(Recording.Calls.isEmpty());
    EXPECT_EQ(Recording.Calls.first(), QString::fromLatin1(C.Element));
  }
}

TEST_F(PaintersEh, EditButtonSizes) {
  EXPECT_EQ(DefaultEditButtonWidthEh(), 12);  // (17 + 1) / 3 * 2
  EXPECT_EQ(DefaultEditButtonHeightEh(12, true), 16);
  EXPECT_EQ(DefaultEditButtonHeightEh(12, false), 12);
}

TEST_F(PaintersEh, ButtonBitmapInfoEquality) {
  TButtonBitmapInfoEh A;
  A.Size = {16, 20};
  TButtonBitmapInfoEh B = A;
  EXPECT_EQ(A, B);
  B.DownDirect = true;
  EXPECT_FALSE(A == B);
  B = A;
  B.CheckState = cbGrayed;
  EXPECT_FALSE(A == B);
  B = A;
  B.Size.cy = 21;
  EXPECT_FALSE(A == B);
}

// A cache that counts how often it is emptied.
class TCountingCache : public IButtonsBitmapCacheEh {
public:
  void Clear() override { ++Cleared; }
  int Cleared = 0;
};

TEST_F(PaintersEh, ButtonsBitmapCacheSlot) {
  ClearButtonsBitmapCacheEh();  // an empty slot: nothing happens
  TCountingCache Cache;
  EXPECT_EQ(SetButtonsBitmapCacheEh(&Cache), nullptr);
  ClearButtonsBitmapCacheEh();
  EXPECT_EQ(Cache.Cleared, 1);
  EXPECT_EQ(SetButtonsBitmapCacheEh(nullptr), &Cache);
}

// ---------------------------------------------------------------------------
// check boxes

TEST_F(PaintersEh, CheckBoxesClassic) {
  DrawCheckBoxEh(Canvas->Handle(), Rect(10, 10, 23, 40), cbChecked, true, false, false, false);
  // The square sits in the middle of the taller rectangle; its tick is black.
  EXPECT_EQ(box(clWindowText), QRect(13, 21, 7, 7));
  clear();
  DrawCheckBoxEh(Canvas->Handle(), Rect(10, 10, 23, 23), cbUnchecked, true, /*Flat=*/true, false, false);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(10, 10, 23, 23), ColorToRGB(clBtnShadow)), 4 * 12);  // a one-pixel frame
  EXPECT_EQ(PixelAt(&Bitmap, 12, 12), ColorToRGB(clWindow));
}

TEST_F(PaintersEh, CheckBoxButtonFlatAndActive) {
  PaintButtonControlEh(Canvas, Rect(10, 10, 24, 24), clRed, bcsCheckboxEh, 0, /*Flat=*/true, false, true,
                       cbUnchecked);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(10, 10, 24, 24), clRed), 4 * 13);  // BackColor outside
  EXPECT_EQ(PixelAt(&Bitmap, 11, 11), ColorToRGB(clBtnShadow));          // the box's frame inside
  clear();
  PaintButtonControlEh(Canvas, Rect(10, 10, 24, 24), clRed, bcsCheckboxEh, 0, true, /*Active=*/true, true,
                       cbUnchecked);
  EXPECT_EQ(count(clRed), 0);
  EXPECT_EQ(PixelAt(&Bitmap, 10, 10), ColorToRGB(clBtnShadow));  // a sunken outer edge instead
}

TEST_F(PaintersEh, CheckBoxesThemed) {
  themed();
  const struct {
    TCheckBoxState State;
    bool Enabled, Pushed, Hot;
    const char* Element;
  } Cases[] = {
      {cbUnchecked, true, false, false, "DrawElement(teButton,3,1,(0,0,16,13))"},
      {cbChecked, true, false, true, "DrawElement(teButton,3,6,(0,0,16,13))"},
      {cbGrayed, true, true, true, "DrawElement(teButton,3,11,(0,0,16,13))"},
      {cbChecked, false, true, true, "DrawElement(teButton,3,8,(0,0,16,13))"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Element);
    Recording.Calls.clear();
    DrawCheckBoxEh(Canvas->Handle(), Rect(0, 0, 16, 13), C.State, C.Enabled, false, C.Pushed, C.Hot);
    EXPECT_EQ(Recording.Calls, QStringList{QString::fromLatin1(C.Element)});
  }
}

// Style services whose check box is wider than high.
class TWideCheckBoxStyle : public TRecordingStyleServices {
public:
  bool GetElementSize(HDC, const TThemedElementDetails&, TElementSize, TSize& Size) const override {
    Size = {16, 13};
    return true;
  }
};

TEST_F(PaintersEh, CheckBoxPlacement) {
  InitCheckBoxSizeEh();
  EXPECT_EQ(CheckBoxSizeEh(), (TSize{13, 13}));  // a cell of the system bitmap
  TWideCheckBoxStyle Wide;
  SetStyleServices(&Wide);
  InitCheckBoxSizeEh();
  ASSERT_EQ(CheckBoxSizeEh(), (TSize{16, 13}));
  const struct {
    const char* Name;
    TRect Rect;
    TAlignment Horz;
    TTextLayout Vert;
    TRect Expected;
  } Cases[] = {
      {"top left", Rect(0, 0, 40, 40), taLeftJustify, tlTop, Rect(0, 0, 16, 13)},
      {"bottom: the height above the bottom", Rect(0, 0, 40, 40), taLeftJustify, tlBottom, Rect(0, 27, 16, 40)},
      {"right", Rect(0, 0, 40, 40), taRightJustify, tlTop, Rect(24, 0, 40, 13)},
      {"centred", Rect(0, 0, 41, 41), taCenter, tlCenter, Rect(12, 14, 28, 27)},
      {"clipped to a small rectangle", Rect(5, 5, 15, 15), taCenter, tlBottom, Rect(5, 5, 15, 15)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(PlaceCheckBoxInRectEh(C.Rect, C.Horz, C.Vert), C.Expected);
  }
}

// ---------------------------------------------------------------------------
// trees, lines and gradients

TEST_F(PaintersEh, DottedLines) {
  const struct {
    const char* Name;
    TPoint Start;
    bool BackDot, Horizontal;
    int Dots;
    int FirstX;
  } Cases[] = {
      {"parity matches: 4 dots", {10, 10}, false, true, 4, 10},
      {"one pixel off: 3 dots", {11, 10}, false, true, 3, 12},
      {"back dot", {11, 10}, true, true, 4, 11},
      {"vertical", {10, 10}, false, false, 4, 10},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    Canvas->Pen()->SetColor(clBlack);
    DrawDottedLineEh(Canvas, C.Start, 7, C.Horizontal, C.BackDot);
    EXPECT_EQ(count(clBlack), C.Dots);
    if (C.Horizontal) EXPECT_EQ(box(clBlack).left(), C.FirstX);
  }
}

TEST_F(PaintersEh, TreeSigns) {
  Canvas->Pen()->SetColor(clBlack);
  PaintTreeElementEh(Canvas, Rect(0, 0, 18, 18), tehPlusUpDown, false, 1, 1, false, /*Coloured=*/true,
                     tvgsClassicEh);
  // A 9 x 9 box around the centre (9, 9) in the shadow colour, a 5-pixel plus
  // inside in the window-text colour.
  EXPECT_EQ(box(ColorToRGB(clWindowText)), QRect(7, 7, 5, 5));
  EXPECT_EQ(count(ColorToRGB(clWindowText)), 9);
  EXPECT_EQ(PixelAt(&Bitmap, 5, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(&Bitmap, 13, 13), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(&Bitmap, 6, 6), ColorToRGB(clWindow));
  // Dotted lines up, down and to the right of the box.
  EXPECT_GT(CountPixels(&Bitmap, Rect(9, 0, 10, 5), ColorToRGB(clBtnShadow)), 0);
  EXPECT_GT(CountPixels(&Bitmap, Rect(9, 14, 10, 18), ColorToRGB(clBtnShadow)), 0);
  EXPECT_GT(CountPixels(&Bitmap, Rect(14, 9, 18, 10), ColorToRGB(clBtnShadow)), 0);

  clear();
  Canvas->Pen()->SetColor(clBlack);  // the coloured sign left the shadow colour
  PaintTreeElementEh(Canvas, Rect(0, 0, 18, 18), tehMinus, false, 1, 1, false, false, tvgsDefaultEh);
  EXPECT_EQ(box(clBlack), QRect(7, 9, 5, 1));  // the bar alone: no box, no lines
}

TEST_F(PaintersEh, TreeLinesOnly) {
  Canvas->Pen()->SetColor(clBlack);
  PaintTreeElementEh(Canvas, Rect(0, 0, 18, 18), tehCrossUp, false, 1, 1, false, false, tvgsClassicEh);
  EXPECT_EQ(box(clBlack), QRect(9, 1, 9, 9));  // up to the centre, then right
  clear();
  PaintTreeElementEh(Canvas, Rect(0, 0, 18, 18), tehVLine, true, 1, 1, false, false, tvgsClassicEh);
  EXPECT_EQ(box(clBlack), QRect(9, 0, 1, 17));  // the last dot on row 16
}

TEST_F(PaintersEh, ExplorerTreeSignInASmallCellIsClipped) {
  themed();
  OpenExplorerTreeThemeEh();
  PaintTreeElementEh(Canvas, Rect(0, 0, 10, 10), tehPlus, false, 1, 1, false, false, tvgsExplorerThemedEh);
  EXPECT_EQ(Recording.Calls, QStringList{"DrawElement(teTreeview,1,1,(-1,-1,12,12)) clip=(0,0,10,10)"});
  Recording.Calls.clear();
  PaintTreeElementEh(Canvas, Rect(0, 0, 20, 20), tehMinus, false, 1, 1, false, false, tvgsExplorerThemedEh);
  EXPECT_EQ(Recording.Calls, QStringList{"DrawElement(teTreeview,1,2,(3,3,16,16))"});
  Recording.Calls.clear();
  PaintTreeElementEh(Canvas, Rect(0, 0, 20, 20), tehMinus, false, 1, 1, false, false, tvgsThemedEh);
  EXPECT_EQ(Recording.Calls, QStringList{"DrawElement(teTreeview,1,2,(6,6,15,15))"});  // into the sign box
}

TEST_F(PaintersEh, Gradients) {
  const TPoint Rows[] = {{0, 0}, {4, 0}, {0, 1}, {4, 1}, {0, 2}, {4, 2}};
  DrawGradientSegmentsEh(Canvas, {10, 10}, Rows, 5, clBlack, clWhite);
  EXPECT_EQ(PixelAt(&Bitmap, 10, 10), clBlack);
  EXPECT_EQ(PixelAt(&Bitmap, 13, 11), TColor(0x808080));  // Round(127.5) to even
  EXPECT_EQ(PixelAt(&Bitmap, 13, 12), clWhite);
  EXPECT_EQ(PixelAt(&Bitmap, 14, 10), Paper);  // rows leave out their end

  // While the shared alpha bitmap is captured the rows go there, opaque,
  // over the same pixels, and the canvas is left alone.
  clear();
  TCacheAlphaBitmapEh* Alpha = GetCacheAlphaBitmapEh(20, 20);
  Alpha->Capture();
  const TPoint Backward[] = {{4, 3}, {0, 3}};
  DrawGradientSegmentsEh(Canvas, {10, 10}, Rows, 5, clBlack, clRed);
  DrawGradientSegmentsEh(Canvas, {10, 10}, Backward, 1, clBlue, clBlue);
  Alpha->Release();
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, Bitmap.Width(), Bitmap.Height()), Paper), Bitmap.Width() * Bitmap.Height());
  const auto AlphaAt = [Alpha](int X, int Y) { return reinterpret_cast<const quint32*>(Alpha->ScanLine(Y))[X]; };
  for (int X = 9; X <= 14; ++X) {
    SCOPED_TRACE(X);
    const bool Inside = X >= 10 && X <= 13;
    EXPECT_EQ(AlphaAt(X, 10), Inside ? 0xFF000000u : 0u);
    EXPECT_EQ(AlphaAt(X, 12), Inside ? 0xFFFF0000u : 0u);
    EXPECT_EQ(AlphaAt(X, 13), X >= 11 && X <= 14 ? 0xFF0000FFu : 0u) << "from the end point's right neighbour";
  }
  FreeCacheAlphaBitmapEh();

  clear();
  FillRectGradientEh(Canvas, Rect(0, 0, 10, 3), clBlack, clWhite);
  EXPECT_EQ(PixelAt(&Bitmap, 9, 0), clBlack);
  EXPECT_EQ(PixelAt(&Bitmap, 9, 1), TColor(0x808080));
  EXPECT_EQ(PixelAt(&Bitmap, 9, 2), clWhite);
  FillRectGradientEh(Canvas, Rect(20, 0, 21, 3), clBlack, clWhite);  // one pixel wide: lines
  EXPECT_EQ(PixelAt(&Bitmap, 20, 1), TColor(0x808080));
  FillRectGradientEh(Canvas, Rect(30, 0, 40, 1), clRed, clWhite);  // one row: the top colour
  EXPECT_EQ(PixelAt(&Bitmap, 35, 0), clRed);
  FillRectGradientEh(Canvas, Rect(50, 5, 60, 5), clRed, clWhite);  // no height: nothing
  EXPECT_EQ(PixelAt(&Bitmap, 55, 5), Paper);
}

// ---------------------------------------------------------------------------
// images

// An image list of one 4 x 4 red image.
class ImagesEh : public PaintersEh {
protected:
  void SetUp() override {
    PaintersEh::SetUp();
    Images.SetWidth(4);
    Images.SetHeight(4);
    TBitmap Image;
    Image.SetSize(4, 4);
    Image.Canvas()->Brush()->SetColor(clRed);
    Image.Canvas()->FillRect(Rect(0, 0, 4, 4));
    Images.Add(&Image, nullptr);
  }
  TImageList Images{nullptr};
};

TEST_F(ImagesEh, PlacedInTheRectangle) {
  const struct {
    const char* Name;
    TAlignment Align;
    TRect ClipRect;
    double Scale;
    QRect Expected;
  } Cases[] = {
      {"left", taLeftJustify, Rect(0, 0, 100, 60), 1.0, QRect(11, 14, 4, 4)},
      {"right, DX pushes it over the edge", taRightJustify, Rect(0, 0, 100, 60), 1.0, QRect(27, 14, 3, 4)},
      {"centre", taCenter, Rect(0, 0, 100, 60), 1.0, QRect(19, 14, 4, 4)},
      {"outside the clip rectangle", taCenter, Rect(50, 50, 60, 60), 1.0, QRect()},
      {"doubled", taLeftJustify, Rect(0, 0, 100, 60), 2.0, QRect(12, 12, 8, 8)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    clear();
    DrawImageInRectEh(&Images, nullptr, Canvas, Rect(10, 10, 30, 20), 0, 1, 1, C.Align, C.ClipRect, C.Scale, true);
    EXPECT_EQ(box(clRed), C.Expected);
  }
}

TEST_F(ImagesEh, ClippedToASmallRectangle) {
  DrawImageInRectEh(&Images, nullptr, Canvas, Rect(10, 10, 12, 12), 0, 0, 0, taLeftJustify, Rect(0, 0, 100, 60),
                    1.0, true);
  EXPECT_EQ(box(clRed), QRect(10, 10, 2, 2));
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 100, 60));
  clear();
  TBitmap Plain;
  Plain.SetSize(3, 3);
  Plain.Canvas()->Brush()->SetColor(clBlue);
  Plain.Canvas()->FillRect(Rect(0, 0, 3, 3));
  DrawImageInRectEh(nullptr, &Plain, Canvas, Rect(10, 10, 20, 20), 0, 0, 0, taCenter, Rect(0, 0, 100, 60), 1.0, true);
  EXPECT_EQ(box(clBlue), QRect(13, 13, 3, 3));
}

TEST_F(ImagesEh, CentredAndSelected) {
  DrawImageCenteredEh(Canvas, Rect(10, 10, 20, 20), &Images, 0, false);
  EXPECT_EQ(box(clRed), QRect(13, 13, 4, 4));
  clear();
  DrawImageCenteredEh(Canvas, Rect(10, 10, 20, 20), &Images, 0, /*Selected=*/true);
  // Half way to the highlight colour ($D77800): (pixel + highlight) div 2.
  const COLORREF H = COLORREF(ColorToRGB(clHighlight));
  EXPECT_EQ(PixelAt(&Bitmap, 15, 15), TColor(RGB((255 + GetRValue(H)) / 2, GetGValue(H) / 2, GetBValue(H) / 2)));
  clear();
  DrawImageCenteredEh(Canvas, Rect(10, 10, 12, 12), &Images, 0, false);  // larger than the cell
  EXPECT_EQ(box(clRed), QRect(10, 10, 2, 2));
}

// ---------------------------------------------------------------------------
// styles

TEST_F(PaintersEh, StyleQueries) {
  EXPECT_FALSE(IsStyleServicesEnabledEh());
  EXPECT_FALSE(IsThemeElementDefinedEh(StyleServices()->GetElementDetails(tcReadOnlyNormal)));
  themed();
  EXPECT_TRUE(IsStyleServicesEnabledEh());
  EXPECT_TRUE(IsThemedVistaOrLaterEh());
  EXPECT_FALSE(IsCustomStyleActiveEh());
  EXPECT_TRUE(IsThemeElementDefinedEh(StyleServices()->GetElementDetails(tcComboBoxRoot)));
}

}  // namespace
