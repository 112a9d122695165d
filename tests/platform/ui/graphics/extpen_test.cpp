// Extended pens (ExtCreatePen) and pattern brushes.
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"

#include "tests/platform/ui/graphics/surfacefixture.h"

#include <QRegion>

using namespace gdi;

namespace {

constexpr COLORREF Black = 0x000000;
constexpr COLORREF Red = 0x0000FF;

LOGBRUSH solid(COLORREF Color) { return LOGBRUSH{BS_SOLID, Color, 0}; }

class ExtPenTest : public SurfaceTest {
 protected:
  // A width-5 geometric pen with Cap drawn from (10, 10) to (50, 10).
  void drawWideLine(UINT Cap) {
    HDC DC = makeSurface(64, 24);
    const LOGBRUSH B = solid(Black);
    use(DC, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | Cap, 5, &B, 0, nullptr));
    MoveToEx(DC, 10, 10, nullptr);
    LineTo(DC, 50, 10);
  }
};

TEST_F(ExtPenTest, WideGeometricPenIsFiveRowsThickWithItsEndCaps) {
  struct Case {
    const char* Name;
    UINT Cap;
    int FirstColumn, LastColumn;  // on the line's own row
    bool CornerInked;             // (First, 8): a round cap leaves the corner out
  } const Cases[] = {
      {"flat", PS_ENDCAP_FLAT, 10, 49, true},
      {"square", PS_ENDCAP_SQUARE, 8, 52, true},
      {"round", PS_ENDCAP_ROUND, 8, 52, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    drawWideLine(C.Cap);
    int Rows = 0;
    for (int Y = 0; Y < 24; ++Y) Rows += inked(30, Y);
    EXPECT_EQ(Rows, 5);
    EXPECT_TRUE(inked(30, 8) && inked(30, 12));
    EXPECT_TRUE(inked(C.FirstColumn, 10));
    EXPECT_FALSE(inked(C.FirstColumn - 1, 10));
    EXPECT_TRUE(inked(C.LastColumn, 10));
    EXPECT_FALSE(inked(C.LastColumn + 1, 10));
    EXPECT_EQ(inked(C.FirstColumn, 8), C.CornerInked);
  }
}

TEST_F(ExtPenTest, MiterAndBevelJoinsDifferAtACorner) {
  QRegion Drawn[2];
  const UINT Joins[2] = {PS_JOIN_MITER, PS_JOIN_BEVEL};
  for (int I = 0; I < 2; ++I) {
    HDC DC = makeSurface(60, 60);
    const LOGBRUSH B = solid(Black);
    use(DC, ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | Joins[I], 9, &B, 0, nullptr));
    const POINT Corner[] = {{10, 40}, {30, 10}, {50, 40}};
    Polyline(DC, Corner, 3);
    Drawn[I] = ink();
  }
  // the mitre reaches above the bevel's cut-off corner
  EXPECT_TRUE(Drawn[1].subtracted(Drawn[0]).isEmpty());
  EXPECT_FALSE(Drawn[0].subtracted(Drawn[1]).isEmpty());
  EXPECT_LT(Drawn[0].boundingRect().top(), Drawn[1].boundingRect().top());
}

TEST_F(ExtPenTest, OnePixelPatterns) {
  struct Case {
    const char* Name;
    DWORD Style;
    std::vector<DWORD> Entries;
    int Period;  // an inked pixel every Period pixels along the line
  } const Cases[] = {
      {"user style (0, 3): round dots", PS_GEOMETRIC | PS_USERSTYLE, {0, 3}, 3},
      {"alternate", PS_COSMETIC | PS_ALTERNATE, {}, 2},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    HDC DC = makeSurface(40, 5);
    SetBkMode(DC, TRANSPARENT);
    const LOGBRUSH B = solid(Red);
    use(DC, ExtCreatePen(C.Style, 1, &B, DWORD(C.Entries.size()), C.Entries.empty() ? nullptr : C.Entries.data()));
    MoveToEx(DC, 0, 2, nullptr);
    LineTo(DC, 30, 2);
    for (int X = 0; X < 30; ++X) EXPECT_EQ(pixel(X, 2), X % C.Period == 0 ? Red : White) << X;
  }
}

TEST_F(ExtPenTest, GetObjectAnswersTheExtendedPen) {
  const LOGBRUSH B = solid(Red);
  const DWORD Entries[] = {0, 3};
  const DWORD Style = PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_BEVEL;
  HPEN Pen = ExtCreatePen(Style, 3, &B, 2, Entries);
  Owned.push_back(Pen);
  const int Size = GetObject(Pen, 0, nullptr);
  ASSERT_GE(Size, int(sizeof(EXTLOGPEN)));
  std::vector<DWORD> Buffer((Size + 3) / 4);
  ASSERT_EQ(GetObject(Pen, Size, Buffer.data()), Size);
  const auto* P = reinterpret_cast<const EXTLOGPEN*>(Buffer.data());
  EXPECT_EQ(P->elpPenStyle, Style);
  EXPECT_EQ(P->elpWidth, 3u);
  EXPECT_EQ(P->elpBrushStyle, BS_SOLID);
  EXPECT_EQ(P->elpColor, Red);
  ASSERT_EQ(P->elpNumEntries, 2u);
  EXPECT_EQ(P->elpStyleEntry[0], 0u);
  EXPECT_EQ((&P->elpStyleEntry[0])[1], 3u);
}

TEST_F(ExtPenTest, BadCombinationsMakeNoPen) {
  const LOGBRUSH Solid = solid(Black);
  const LOGBRUSH Hatched{BS_HATCHED, Black, HS_CROSS};
  const DWORD Entries[] = {1, 1};
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &Solid, 0, nullptr), nullptr);            // cosmetic is 1 wide
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_ALTERNATE, 1, &Solid, 0, nullptr), nullptr);       // alternate is cosmetic
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 2, &Hatched, 0, nullptr), nullptr);         // solid brushes only
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 2, &Solid, 0, nullptr), nullptr);       // entries needed
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_DASH, 2, &Solid, 2, Entries), nullptr);            // entries only for user styles
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 2, nullptr, 0, nullptr), nullptr);
}

TEST_F(ExtPenTest, MonochromePatternTakesTheDCColoursAndTilesFromTheBrushOrigin) {
  // 2 x 1: bit 0 then bit 1 (1 is white in a monochrome bitmap)
  const uchar Bits[2] = {0x40, 0};  // 01......
  HBITMAP Pattern = CreateBitmap(2, 1, 1, 1, Bits);
  HBRUSH Brush = CreatePatternBrush(Pattern);
  DeleteObject(Pattern);  // the brush keeps its own copy
  ASSERT_NE(Brush, nullptr);
  Owned.push_back(Brush);
  LOGBRUSH L;
  GetObject(Brush, sizeof(L), &L);
  EXPECT_EQ(L.lbStyle, BS_PATTERN);

  HDC DC = makeSurface(8, 2);
  SetTextColor(DC, Red);
  SetBkColor(DC, Black);
  FillRect(DC, RECT{0, 0, 8, 1}, Brush);
  SetBrushOrgEx(DC, 1, 0, nullptr);
  FillRect(DC, RECT{0, 1, 8, 2}, Brush);
  for (int X = 0; X < 8; ++X) {
    EXPECT_EQ(pixel(X, 0), X % 2 == 0 ? Red : Black) << X;
    EXPECT_EQ(pixel(X, 1), X % 2 == 1 ? Red : Black) << X;
  }
}

TEST_F(ExtPenTest, BrushBitmapMakesAPatternBrushWithoutOwningTheBitmap) {
  TBitmap Pattern;
  Pattern.SetSize(2, 2);
  Pattern.Canvas()->Brush()->SetColor(0x00FF00);
  Pattern.Canvas()->FillRect(Rect(0, 0, 2, 2));
  Pattern.Canvas()->SetPixels(0, 0, Red);
  TBitmap Target;
  Target.SetSize(4, 4);
  Target.Canvas()->Brush()->SetBitmap(&Pattern);
  Target.Canvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(Target.Canvas()->Pixels(2, 2), Red);
  EXPECT_EQ(Target.Canvas()->Pixels(3, 2), TColor(0x00FF00));
  Target.Canvas()->Brush()->SetBitmap(nullptr);
  EXPECT_EQ(Pattern.Width(), 2);  // still the caller's
}

}  // namespace
