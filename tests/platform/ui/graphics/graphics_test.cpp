#include "platform/ui/graphics/graphics.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/surface.h"
#include "tests/support/testing.h"

#include <QImage>

using namespace gdi;

namespace {

// ---------------------------------------------------------------------------
// colours

TEST(ColorTest, ColorToRGBResolvesSystemColoursOnly) {
  struct Case {
    const char* Name;
    TColor Color;
    Integer Expected;
  } Cases[] = {
      {"button face", clBtnFace, 0xF0F0F0},
      {"highlight", clHighlight, 0xD77800},
      {"menu bar, the last index", clMenuBar, 0xF0F0F0},
      {"index past the table", TColor(0xFF00001F), 0},
      {"plain colour", 0x00123456, 0x00123456},
      {"clNone", clNone, clNone},
      {"clDefault", clDefault, clDefault},
      {"palette-relative", 0x02FF0000, 0x02FF0000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ColorToRGB(C.Color), C.Expected);
  }
}

TEST(ColorTest, ColorTextRoundTrips) {
  struct Case {
    TColor Color;
    const char* Text;
  } Cases[] = {
      {clRed, "clRed"},
      {clMoneyGreen, "clMoneyGreen"},
      {clBtnFace, "clBtnFace"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
      {clSilver, "clSilver"},  // clLtGray has the same value; the table names it clSilver
      {0x123456, "$00123456"},
      {TColor(0xFF00001F), "$FF00001F"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(ColorToString(C.Color), String::fromLatin1(C.Text));
    EXPECT_EQ(StringToColor(String::fromLatin1(C.Text)), C.Color);
  }
  EXPECT_EQ(StringToColor("clmoneygreen"), 0xC0DCC0);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_RAISES(StringToColor("junk"), EConvertError, "'junk' is not a valid integer value");
  EXPECT_RAISES(StringToColor(""), EConvertError, "'' is not a valid integer value");
}

TEST(ColorTest, GetColorValuesListsTheIdentifierTable) {
  std::vector<String> Names;
  GetColorValues([&](const String& S) { Names.push_back(S); });
  ASSERT_EQ(Names.size(), ColorIdents().size());
  EXPECT_EQ(Names.front(), "clBlack");
  EXPECT_EQ(Names.back(), "clWindowText");
  Integer Value;
  for (const String& Name : Names) EXPECT_TRUE(IdentToColor(Name, Value)) << Name.toStdString();
  EXPECT_FALSE(IdentToColor("clLtGray", Value));
}

TEST(ColorTest, HslConversion) {
  struct Case {
    TColor Color;
    float H, S, L;
  } Cases[] = {
      {clRed, 0, 1, 0.5f},
      {clLime, 1.0f / 3, 1, 0.5f},
      {clBlue, 2.0f / 3, 1, 0.5f},
      {clWhite, 0, 0, 1},
      {clBlack, 0, 0, 0},
      {clGray, 0, 0, 128 / 255.0f},
      {0x3C1E78, 17.0f / 18, 0.6f, 75 / 255.0f},  // RGB(120, 30, 60)
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Color);
    float H, S, L;
    RGBtoHSL(C.Color, H, S, L);
    EXPECT_NEAR(H, C.H, 1e-5);
    EXPECT_NEAR(S, C.S, 1e-5);
    EXPECT_NEAR(L, C.L, 1e-5);
    EXPECT_EQ(HSLtoRGB(H, S, L), C.Color);
  }
  float H, S, L;
  RGBtoHSL(clBtnFace, H, S, L);  // system colours resolve first
  EXPECT_NEAR(L, 240 / 255.0f, 1e-6);
  EXPECT_EQ(HSLtoRGB(0, 0, 0.5f), 0x808080);  // Round(127.5) = 128
}

TEST(ColorTest, PenModesMapToRop2) {
  EXPECT_EQ(PenModeToRop2(pmCopy), R2_COPYPEN);
  EXPECT_EQ(PenModeToRop2(pmXor), R2_XORPEN);
  EXPECT_EQ(PenModeToRop2(pmNotXor), R2_NOTXORPEN);
  EXPECT_EQ(PenModeToRop2(pmNot), R2_NOT);
  EXPECT_EQ(PenModeToRop2(pmNop), R2_NOP);
  EXPECT_EQ(PenModeToRop2(pmMergePenNot), R2_MERGEPENNOT);
  EXPECT_EQ(PenModeToRop2(pmMaskNotPen), R2_MASKNOTPEN);
}

// ---------------------------------------------------------------------------
// drawing objects

class GraphicsObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { Baseline = GdiObjectCount(); }
  void TearDown() override { EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked"; }
  int Baseline = 0;
};

TEST_F(GraphicsObjectTest, FontSizeAndHeightFollowPixelsPerInch) {
  TFont F;
  EXPECT_EQ(F.Name(), "Tahoma");
  EXPECT_EQ(F.Size(), 8);
  EXPECT_EQ(F.Height(), -11);
  EXPECT_EQ(F.Color(), clWindowText);
  EXPECT_EQ(F.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(F.PixelsPerInch(), 96);
  F.SetHeight(-11);
  EXPECT_EQ(F.Size(), 8);
  F.SetSize(12);
  EXPECT_EQ(F.Height(), -16);
  F.SetPixelsPerInch(144);  // keeps Height
  EXPECT_EQ(F.Height(), -16);
  EXPECT_EQ(F.Size(), 8);
  F.SetHeight(20);  // a cell height reads as a negative size
  EXPECT_EQ(F.Size(), -10);
}

TEST_F(GraphicsObjectTest, FontAssignKeepsTheSizeAcrossPixelsPerInch) {
  TFont Source, Dest;
  Source.SetName("Courier New");
  Source.SetStyle({fsBold, fsUnderline});
  Source.SetColor(clRed);
  Source.SetOrientation(900);
  Source.SetQuality(fqNonAntialiased);
  Dest.SetPixelsPerInch(144);
  Dest.Assign(&Source);
  EXPECT_EQ(Dest.Size(), 8);
  EXPECT_EQ(Dest.Height(), -16);
  EXPECT_EQ(Dest.Name(), "Courier New");
  EXPECT_EQ(Dest.Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(Dest.Color(), clRed);
  EXPECT_EQ(Dest.Orientation(), 900);
  EXPECT_EQ(Dest.Quality(), fqNonAntialiased);
  TFont Same;
  Same.SetHeight(-13);
  Dest.SetPixelsPerInch(96);
  Dest.Assign(&Same);  // equal PPI: Height as is
  EXPECT_EQ(Dest.Height(), -13);
}

TEST_F(GraphicsObjectTest, EqualFontsShareOneHandle) {
  TFont A, B;
  EXPECT_EQ(A.Handle(), B.Handle());
  const HFONT Shared = A.Handle();
  A.SetColor(clRed);  // not part of the handle
  EXPECT_EQ(A.Handle(), Shared);
  A.SetStyle({fsBold});
  EXPECT_NE(A.Handle(), Shared);
  B.SetStyle({fsBold});
  EXPECT_EQ(A.Handle(), B.Handle());
  LOGFONTW LF;
  ASSERT_EQ(GetObjectW(A.Handle(), sizeof(LF), &LF), int(sizeof(LF)));
  EXPECT_EQ(LF.lfHeight, -11);
  EXPECT_EQ(LF.lfWeight, FW_BOLD);
  EXPECT_EQ(LogFontFaceName(LF), "Tahoma");
  EXPECT_EQ(LF.lfCharSet, DEFAULT_CHARSET);
}

TEST_F(GraphicsObjectTest, FontTakesOverTheDataOfAHandle) {
  LOGFONTW LF;
  LF.lfHeight = -20;
  LF.lfWeight = FW_BOLD;
  LF.lfItalic = 1;
  LF.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  SetLogFontFaceName(LF, "Consolas");
  HFONT H = CreateFontIndirectW(LF);
  TFont F;
  F.SetHandle(H);
  DeleteObject(H);
  EXPECT_EQ(F.Name(), "Consolas");
  EXPECT_EQ(F.Height(), -20);
  EXPECT_EQ(F.Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(F.Pitch(), fpFixed);
}

TEST_F(GraphicsObjectTest, OnChangeFiresOncePerEffectiveChange) {
  TFont F;
  int Changes = 0;
  F.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &F);
    ++Changes;
  };
  F.SetSize(8);
  F.SetName("Tahoma");
  F.SetColor(clWindowText);
  EXPECT_EQ(Changes, 0);
  F.SetSize(10);
  F.SetColor(clRed);
  F.SetStyle({fsItalic});
  EXPECT_EQ(Changes, 3);
  TFont Other;
  Other.Assign(&F);
  F.Assign(&Other);  // nothing differs
  EXPECT_EQ(Changes, 3);
  F.OnChange = nullptr;
  F.SetSize(11);
  EXPECT_EQ(Changes, 3);
}

TEST_F(GraphicsObjectTest, PensShareHandlesByColourWidthAndStyle) {
  TPen A, B;
  EXPECT_EQ(A.Color(), clBlack);
  EXPECT_EQ(A.Width(), 1);
  EXPECT_EQ(A.Style(), psSolid);
  EXPECT_EQ(A.Mode(), pmCopy);
  EXPECT_EQ(A.Handle(), B.Handle());
  const HPEN Shared = A.Handle();
  A.SetMode(pmXor);
  EXPECT_EQ(A.Handle(), Shared);
  A.SetColor(clBtnShadow);
  EXPECT_NE(A.Handle(), Shared);
  LOGPEN LP;
  GetObjectW(A.Handle(), sizeof(LP), &LP);
  EXPECT_EQ(LP.lopnColor, 0xA0A0A0u);  // the system colour, resolved
  A.SetStyle(psClear);
  GetObjectW(A.Handle(), sizeof(LP), &LP);
  EXPECT_EQ(LP.lopnStyle, PS_NULL);
}

TEST_F(GraphicsObjectTest, PenAdoptsAnExternalHandle) {
  const int Before = GdiObjectCount();
  {
    TPen P;
    P.SetHandle(CreatePen(PS_DOT, 1, 0x0000FF));
    EXPECT_EQ(GdiObjectCount(), Before + 1);
    LOGPEN LP;
    GetObjectW(P.Handle(), sizeof(LP), &LP);
    EXPECT_EQ(LP.lopnStyle, PS_DOT);
    P.SetWidth(2);  // lets go of it: deleted
    EXPECT_EQ(GdiObjectCount(), Before);
    P.SetHandle(CreatePen(PS_SOLID, 1, 0));
  }
  EXPECT_EQ(GdiObjectCount(), Before);
}

TEST_F(GraphicsObjectTest, BrushHandles) {
  TBrush A;
  EXPECT_EQ(A.Color(), clWhite);
  EXPECT_EQ(A.Style(), bsSolid);
  A.SetStyle(bsClear);
  EXPECT_EQ(A.Handle(), GetStockObject(NULL_BRUSH));
  A.SetStyle(bsDiagCross);
  A.SetColor(clRed);
  LOGBRUSH LB;
  GetObjectW(A.Handle(), sizeof(LB), &LB);
  EXPECT_EQ(LB.lbStyle, BS_HATCHED);
  EXPECT_EQ(LB.lbHatch, std::uintptr_t(HS_DIAGCROSS));
  EXPECT_EQ(LB.lbColor, 0x0000FFu);
  TBrush B;
  B.Assign(&A);
  EXPECT_EQ(B.Handle(), A.Handle());
  // A colour, even the same one, makes a clear brush solid; other styles stay.
  for (TColor Color : {clRed, clBlue}) {
    A.SetStyle(bsClear);
    A.SetColor(Color);
    EXPECT_EQ(A.Style(), bsSolid);
  }
}

TEST_F(GraphicsObjectTest, HandleDeletedWhileSelectedLivesUntilDeselected) {
  QImage Image(4, 4, QImage::Format_RGB32);
  Image.fill(Qt::white);
  HDC DC = CreateSurfaceDC(std::make_shared<TSurface>(Image));
  {
    TPen P;
    P.SetColor(clRed);
    SelectObject(DC, P.Handle());
  }  // the pen lets go of its handle; the DC still holds it
  EXPECT_EQ(GdiObjectCount(), Baseline + 2);
  MoveToEx(DC, 0, 0, nullptr);
  EXPECT_TRUE(LineTo(DC, 3, 0));
  SelectObject(DC, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GdiObjectCount(), Baseline + 1);
  DeleteDC(DC);
}

TEST_F(GraphicsObjectTest, PublishedProperties) {
  TFont F;
  const TPropInfo* Color = GetPropInfo(&F, "Color");
  ASSERT_NE(Color, nullptr);
  EXPECT_FALSE(Color->IdentMap.empty());
  EXPECT_FALSE(IsStoredProp(&F, "Size"));
  EXPECT_TRUE(IsStoredProp(&F, "Height"));
  SetOrdProp(&F, "Height", -16);
  EXPECT_EQ(F.Size(), 12);
  SetSetProp(&F, "Style", "[fsBold]");
  EXPECT_EQ(F.Style(), TFontStyles{fsBold});
  TPen P;
  SetEnumProp(&P, "Mode", "pmXor");
  EXPECT_EQ(P.Mode(), pmXor);
  TBrush B;
  EXPECT_EQ(GetEnumProp(&B, "Style"), "bsSolid");
}

}  // namespace
