// The GDI+ canvas's fonts, text and pictures.
#include "chartlib/canvas/gdipluscanvas.h"

#include "platform/rtl/resources.h"
#include "platform/ui/graphics/bitmap.h"

#include "tests/chartlib/canvas/gdiplusfixture.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"


namespace {

class GDIPlusTextTest : public GDIPlusPixelTest {
protected:
  void SetUp() override {
    GDIPlusPixelTest::SetUp();
    C.SetBackMode(cbmTransparent);
    C.Font()->SetName("Arial");
    C.Font()->SetSize(12);
    C.Font()->SetColor(clBlack);
  }
  // The box of the pixels that are not white.
  QRect ink() {
    QRect Box;
    for (Integer Y = 0; Y < Height; ++Y)
      for (Integer X = 0; X < Width; ++X)
        if (Pixel(X, Y) != clWhite) Box |= QRect(X, Y, 1, 1);
    return Box;
  }
  void clear() {
    const TColor Old = C.Font()->Color();
    SolidBrush(clWhite);
    C.Pen()->SetStyle(psClear);
    C.FillRect(Rect(0, 0, Width, Height));
    C.Font()->SetColor(Old);
  }
};

TEST_F(GDIPlusTextTest, FontSizeHasAFloorAndColourChangesKeepTheFont) {
  C.Font()->SetSizeFloat(0);
  C.ApplyFont();
  ASSERT_NE(C.GPFont(), nullptr);
  EXPECT_FLOAT_EQ(C.GPFont()->GetSize(), 0.1f);
  C.Font()->SetSize(12);
  const gdiplus::Font* Before = C.GPFont();
  C.Font()->SetColor(clRed);
  EXPECT_EQ(C.GPFont(), Before);
  C.Font()->SetSize(14);
  EXPECT_FLOAT_EQ(C.GPFont()->GetSize(), 14);
}

TEST_F(GDIPlusTextTest, DefaultQualityIsClearTypeBelowTwentyPointsAndAntialiasFromThere) {
  EXPECT_EQ(C.Graphics()->GetTextRenderingHint(), gdiplus::TextRenderingHintClearTypeGridFit);
  C.Font()->SetSize(24);
  EXPECT_EQ(C.Graphics()->GetTextRenderingHint(), gdiplus::TextRenderingHintAntiAlias);
  C.Font()->SetQuality(tee::fqNormal);
  EXPECT_EQ(C.Graphics()->GetTextRenderingHint(), gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
}

QByteArray fontFile() { return FileBytes(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")); }

TEST_F(GDIPlusTextTest, OnlyTheEmbeddedNamesLoadThePrivateFonts) {
  C.Font()->SetName("Verdana");
  EXPECT_EQ(C.PrivateFonts(), nullptr);
  TResourceScope Led("TEELEDFONT", RT_RCDATA, fontFile());
  C.Font()->SetName("DS-Digital");
  ASSERT_NE(C.PrivateFonts(), nullptr);
  EXPECT_EQ(C.PrivateFonts()->GetFamilyCount(), 1);  // the resource's face
  // the collection does not hold the name: the font comes by name
  gdiplus::FontFamily Family;
  C.GPFont()->GetFamily(&Family);
  EXPECT_EQ(Family.Name(), "DS-Digital");
}

TEST_F(GDIPlusTextTest, CentreBottomAlignmentPlacesTheBoxAboveAndAroundThePoint) {
  const String Text = "Label";
  const TPointFloat Size = C.TextSize(Text);
  C.SetTextAlign(14);
  C.TextOut(100, 50, Text);
  const QRect Ink = ink();
  EXPECT_LE(Ink.bottom(), 50);
  EXPECT_GE(Ink.top(), int(50 - Size.y) - 1);
  EXPECT_NEAR((Ink.left() + Ink.right()) / 2.0, 100, 3);
}

TEST_F(GDIPlusTextTest, ShadowsWidenTheMeasuredText) {
  const Integer Plain = C.TextWidth("Width");
  C.Font()->Shadow()->SetHorizSize(-3);
  C.Font()->Shadow()->SetVisible(true);
  EXPECT_EQ(C.TextWidth("Width"), Plain + 3);
  EXPECT_EQ(C.TextWidth("Width"), Integer(std::lround(C.TextSize("Width").x)));
}

TEST_F(GDIPlusTextTest, RotatedLabelTurnsOnceAboutItsAnchorEvenInsideAGroup) {
  C.RotateLabel(60, 80, "WWW", 90, false);
  EXPECT_EQ(C.ITextRotation, 0);
  const QRect Rotated = ink();
  EXPECT_LE(Rotated.bottom(), 80);  // reads upwards from the anchor
  EXPECT_GT(Rotated.height(), Rotated.width());

  clear();
  TTeeTransform Move;
  Move.Translate.X = 10;
  C.BeginGroup("Labels", &Move);
  C.RotateLabel(60, 80, "WWW", 90, false);
  gdiplus::Matrix After;
  C.Graphics()->GetTransform(&After);
  EXPECT_EQ(After.OffsetX(), 10);  // the group's transform comes back
  C.EndGroup();
  EXPECT_EQ(ink(), Rotated.translated(10, 0));  // the group moved it once

  clear();
  C.RotateLabel(20, 20, "WWW", 0, false);
  EXPECT_GT(ink().width(), ink().height());
}

TEST_F(GDIPlusTextTest, OutlinedAndShadowedTextDrawsEachPart) {
  C.Font()->SetSize(28);
  C.Font()->SetStyle(TFontStyles{fsBold});
  C.Font()->OutLine()->SetColor(clRed);
  C.Font()->OutLine()->SetWidth(3);
  C.Font()->OutLine()->SetVisible(true);
  C.Font()->Shadow()->SetColor(clLime);
  C.Font()->Shadow()->SetSize(3);
  C.Font()->Shadow()->SetSmooth(false);
  C.Font()->Shadow()->SetVisible(true);
  C.TextOut(10, 10, "Ab");
  SaveForReview(Image(), "gdipluscanvas_text.png");
  int Red = 0, Black = 0, Green = 0;
  for (Integer Y = 0; Y < Height; ++Y)
    for (Integer X = 0; X < Width; ++X) {
      const TColor P = Pixel(X, Y);
      Red += (P & 0xFF) > 200 && ((P >> 8) & 0xFF) < 60 && ((P >> 16) & 0xFF) < 60;
      Black += P == clBlack;
      Green += P == clLime;
    }
  EXPECT_GT(Red, 20);
  EXPECT_GT(Black, 20);
  EXPECT_GT(Green, 20);
  EXPECT_EQ(C.Brush()->Color(), clBlack);  // the canvas brush keeps the text colour
}

TEST_F(GDIPlusTextTest, TransparentBitmapsLoseTheirCornerColour) {
  TBitmap Picture;
  Picture.SetSize(4, 4);
  Picture.Canvas()->Brush()->SetColor(clFuchsia);
  Picture.Canvas()->FillRect(Rect(0, 0, 4, 4));
  Picture.Canvas()->SetPixels(1, 1, clBlue);
  Picture.SetTransparent(true);
  C.SetStretchDrawQuality(sqLow);
  C.StretchDraw(Rect(10, 10, 18, 18), &Picture);
  EXPECT_EQ(Pixel(12, 12), clBlue);
  for (TPoint P : {TPoint{10, 10}, TPoint{17, 17}, TPoint{16, 11}}) EXPECT_EQ(Pixel(P.X, P.Y), clWhite);
  C.StretchRotate(Rect(0, 0, 10, 10), nullptr, 45);  // nothing to draw
}

TEST_F(GDIPlusTextTest, DrawTakesTheCanvasOpacity) {
  TBitmap Picture;
  Picture.SetSize(4, 4);
  Picture.Canvas()->Brush()->SetColor(clBlack);
  Picture.Canvas()->FillRect(Rect(0, 0, 4, 4));
  C.Transparency = 128;
  C.Draw(20, 20, &Picture);
  C.Transparency = 255;
  EXPECT_NEAR(Red(21, 21), 127, 1);
  EXPECT_EQ(Pixel(24, 21), clWhite);
}

TEST_F(GDIPlusTextTest, ResizeBitmapScalesIntoTheWholeDestination) {
  TBitmap Source, Dest;
  Source.SetSize(4, 2);
  Source.Canvas()->Brush()->SetColor(clRed);
  Source.Canvas()->FillRect(Rect(0, 0, 4, 2));
  Dest.SetSize(8, 4);
  TGDIPlusCanvas::ResizeBitmap(&Source, &Dest);
  EXPECT_EQ(Dest.Canvas()->Pixels(4, 2), clRed);
  EXPECT_EQ(Dest.Width(), 8);
}

}  // namespace
