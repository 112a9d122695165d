#include "platform/ui/controls/extctrls.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/hostfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QDir>
#include <algorithm>

using namespace gdi;

namespace {

// The hosts' colour: neither white (clBtnHighlight) nor grey.
const TColor Back = clAqua;

class TProbeImage : public TImage {
  RTL_CLASS(TProbeImage, TImage)
public:
  using TImage::TImage;
  using TImage::DestRect;
};

const TColor Shadow = TColor(ColorToRGB(clBtnShadow));
const TColor Light = TColor(ColorToRGB(clBtnHighlight));

struct TProbe {
  TPoint P;
  TColor Expected;
};

void expectPixels(TBitmap* B, std::initializer_list<TProbe> Probes) {
  for (const TProbe& Pr : Probes) {
    SCOPED_TRACE(testing::Message() << "at " << Pr.P.X << "," << Pr.P.Y);
    EXPECT_EQ(PixelAt(B, Pr.P.X, Pr.P.Y), Pr.Expected);
  }
}

// The leftmost column with a dark pixel; -1 when none.
int firstInkColumn(TBitmap* B, const TRect& R) {
  for (int X = R.Left; X < R.Right; ++X)
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
      const TColor C = PixelAt(B, X, Y);
      if (std::max({C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF}) < 100) return X;
    }
  return -1;
}

class ExtCtrlsTest : public HostFixture {
protected:
  ExtCtrlsTest() : HostFixture(Back) {}
};

// ---------------------------------------------------------------------------
// TPanel

TEST_F(ExtCtrlsTest, PanelRingsAndClientRectangleNest) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 60, 40));
  P->SetCaption("");
  P->SetColor(clSilver);
  P->SetBevelOuter(bvRaised);
  P->SetBevelInner(bvLowered);
  P->SetBevelWidth(2);
  P->SetBorderWidth(3);
  auto* Inside = add(new THost(Root, Back), Bounds(0, 0, 10, 10), P);
  Inside->SetAlign(alClient);
  EXPECT_EQ(Inside->BoundsRect(), Rect(7, 7, 53, 33)) << "outer bevel 2, border 3, inner bevel 2";
  Inside->Free();

  const auto Image = test::Snapshot(P);
  expectPixels(Image.get(), {
                                {{0, 0}, Light},     // outer raised: highlight left and top
                                {{1, 1}, Light},     // its second ring
                                {{59, 0}, Shadow},   // the top-right corner is the bottom colour
                                {{0, 39}, Shadow},   // and so is the bottom-left one
                                {{58, 38}, Shadow},
                                {{3, 20}, clSilver},  // the border
                                {{5, 5}, Shadow},     // inner lowered: shadow left and top
                                {{6, 20}, Shadow},
                                {{54, 34}, Light},
                                {{30, 20}, clSilver},
                            });

  P->SetBevelOuter(bvSpace);
  P->SetBevelInner(bvNone);
  P->SetBorderWidth(0);
  const auto Spaced = test::Snapshot(P);
  expectPixels(Spaced.get(), {{{0, 0}, clSilver}, {{59, 39}, clSilver}});
  P->SetBevelOuter(bvNone);
  Inside = add(new THost(Root, Back), Bounds(0, 0, 10, 10), P);
  Inside->SetAlign(alClient);
  EXPECT_EQ(Inside->BoundsRect(), Rect(0, 0, 60, 40)) << "no bevels: the whole client area";
}

TEST_F(ExtCtrlsTest, PanelCaptionIsOneCentredLineWithTabsExpanded) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 200, 40));
  P->SetColor(clSilver);
  P->SetCaption("WW");
  const TRect Band = Rect(0, 0, 200, 40);
  auto inkAt = [&] {
    const auto Image = test::Snapshot(P);
    return firstInkColumn(Image.get(), Band);
  };
  const int Centred = inkAt();
  EXPECT_GT(Centred, 85);
  EXPECT_LT(Centred, 100);
  P->SetAlignment(taLeftJustify);
  const int Left = inkAt();
  EXPECT_LT(Left, 5);
  P->SetCaption("\tWW");
  EXPECT_GT(inkAt(), Left + 20) << "the tab expanded";
  P->SetAlignment(taRightJustify);
  P->SetCaption("WW");
  EXPECT_GT(inkAt(), 160);

  P->SetAlignment(taCenter);
  P->SetCaption("WW\r\nWW");
  const auto Image = test::Snapshot(P);
  int InkRows = 0;
  for (int Y = 0; Y < 40; ++Y) InkRows += firstInkColumn(Image.get(), Rect(0, Y, 200, Y + 1)) >= 0;
  EXPECT_LT(InkRows, 14) << "one line, centred";
  EXPECT_GE(firstInkColumn(Image.get(), Rect(0, 14, 200, 26)), 0);
}

TEST_F(ExtCtrlsTest, PanelBorderStyleAndDefaults) {
  auto* P = add(new TPanel(Root), Bounds(0, 0, 60, 40));
  EXPECT_EQ(P->Caption(), P->Name()) << "csSetCaption";
  P->SetBorderStyle(bsSingle);
  EXPECT_EQ(P->ClientRect(), Rect(0, 0, 56, 36)) << "a sunken client edge";
  P->SetBorderStyle(bsNone);
  EXPECT_EQ(P->ClientRect(), Rect(0, 0, 60, 40));

  struct Case {
    const char* Name;
    String Value;
  } Cases[] = {
      {"Alignment", "taCenter"}, {"BevelOuter", "bvRaised"}, {"BevelInner", "bvNone"},  {"BorderStyle", "bsNone"},
      {"FullRepaint", "True"},   {"ParentColor", "False"},   {"ParentBackground", "True"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(GetEnumProp(P, C.Name), C.Value);
  }
  EXPECT_EQ(GetOrdProp(P, "BevelWidth"), 1);
  EXPECT_EQ(P->Color(), clBtnFace);
  auto* Fresh = new TPanel(Root);
  EXPECT_EQ(Fresh->BoundsRect(), Rect(0, 0, 185, 41));
}

// ---------------------------------------------------------------------------
// TBevel

TEST_F(ExtCtrlsTest, BevelLinesPerShapeAndStyle) {
  const TColor W = Back;
  struct Case {
    const char* Name;
    TBevelShape Shape;
    TBevelStyle Style;
    std::initializer_list<TProbe> Probes;  // in a 20 x 20 bevel
  } Cases[] = {
      {"box lowered", bsBox, bsLowered, {{{0, 0}, Shadow}, {{0, 19}, Shadow}, {{19, 0}, Light}, {{19, 19}, Light}, {{10, 10}, W}}},
      {"box raised", bsBox, bsRaised, {{{0, 0}, Light}, {{19, 19}, Shadow}, {{1, 1}, W}}},
      {"frame lowered", bsFrame, bsLowered,
       {{{0, 0}, Shadow}, {{18, 18}, Shadow}, {{1, 1}, Light}, {{19, 19}, Light}, {{10, 10}, W}}},
      {"top line", bsTopLine, bsLowered, {{{10, 0}, Shadow}, {{10, 1}, Light}, {{10, 2}, W}, {{10, 19}, W}}},
      {"bottom line", bsBottomLine, bsLowered, {{{10, 18}, Shadow}, {{10, 19}, Light}, {{10, 17}, W}}},
      {"left line raised", bsLeftLine, bsRaised, {{{0, 10}, Light}, {{1, 10}, Shadow}, {{2, 10}, W}}},
      {"right line", bsRightLine, bsLowered, {{{18, 10}, Shadow}, {{19, 10}, Light}, {{17, 10}, W}}},
      {"spacer", bsSpacer, bsLowered, {{{0, 0}, W}, {{19, 19}, W}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* B = add(new TBevel(Root), Bounds(0, 0, 20, 20));
    B->SetShape(C.Shape);
    B->SetStyle(C.Style);
    const auto Image = test::Snapshot(Root);
    expectPixels(Image.get(), C.Probes);
    B->Free();
  }
  auto* B = new TBevel(Root);
  EXPECT_EQ(GetEnumProp(B, "Shape"), "bsBox");
  EXPECT_EQ(GetEnumProp(B, "Style"), "bsLowered");
}

// ---------------------------------------------------------------------------
// TShape

TEST_F(ExtCtrlsTest, ShapeOutlinesSitInsideTheBounds) {
  const TColor W = Back, K = clBlack, R = clRed;
  struct Case {
    const char* Name;
    TShapeType Shape;
    int PenWidth;
    std::initializer_list<TProbe> Probes;  // in a 40 x 30 shape
  } Cases[] = {
      {"rectangle", stRectangle, 1, {{{0, 0}, K}, {{39, 29}, K}, {{1, 1}, R}, {{20, 15}, R}}},
      {"square: largest centred", stSquare, 1, {{{4, 15}, W}, {{5, 15}, K}, {{34, 15}, K}, {{35, 15}, W}, {{20, 15}, R}}},
      {"wide pen inside", stRectangle, 3, {{{0, 15}, K}, {{2, 15}, K}, {{3, 15}, R}, {{39, 15}, K}, {{36, 15}, R}}},
      {"ellipse", stEllipse, 1, {{{0, 0}, W}, {{39, 29}, W}, {{0, 15}, K}, {{20, 15}, R}}},
      {"circle", stCircle, 1, {{{5, 0}, W}, {{5, 15}, K}, {{4, 15}, W}, {{20, 15}, R}}},
      {"round rect", stRoundRect, 1, {{{0, 0}, W}, {{20, 0}, K}, {{0, 15}, K}, {{20, 15}, R}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* S = add(new TShape(Root), Bounds(0, 0, 40, 30));
    S->SetShape(C.Shape);
    S->Brush()->SetColor(clRed);
    S->Pen()->SetWidth(C.PenWidth);
    const auto Image = test::Snapshot(Root);
    expectPixels(Image.get(), C.Probes);
    S->Free();
  }
}

TEST_F(ExtCtrlsTest, ShapeRepaintsWhenItsBrushOrPenChanges) {
  auto* S = add(new TShape(Root), Bounds(0, 0, 40, 30));
  Root->Handle();
  Root->Update();
  EXPECT_EQ(PixelAt(GrabWindow(Root).get(), 20, 15), clWhite) << "the default brush";
  S->Brush()->SetColor(clLime);
  EXPECT_EQ(PixelAt(GrabWindow(Root).get(), 20, 15), clLime);
  S->Pen()->SetColor(clBlue);
  EXPECT_EQ(PixelAt(GrabWindow(Root).get(), 0, 0), clBlue);
  EXPECT_EQ(GetEnumProp(S, "Shape"), "stRectangle");
}

// ---------------------------------------------------------------------------
// TImage

TEST_F(ExtCtrlsTest, ImageDestinationFollowsStretchCenterAndProportional) {
  struct Case {
    const char* Name;
    int PictureWidth, PictureHeight;
    bool Stretch, Center, Proportional;
    TRect Expected;  // in a 100 x 100 image
  } Cases[] = {
      {"own size", 40, 20, false, false, false, Rect(0, 0, 40, 20)},
      {"centred", 40, 20, false, true, false, Rect(30, 40, 70, 60)},
      {"stretched", 40, 20, true, false, false, Rect(0, 0, 100, 100)},
      {"stretched, proportional, wide", 40, 20, true, false, true, Rect(0, 0, 100, 50)},
      {"same, centred", 40, 20, true, true, true, Rect(0, 25, 100, 75)},
      {"stretched, proportional, tall", 20, 40, true, false, true, Rect(0, 0, 50, 100)},
      {"proportional: small stays", 40, 20, false, false, true, Rect(0, 0, 40, 20)},
      {"proportional: big shrinks", 300, 100, false, false, true, Rect(0, 0, 100, 33)},
      {"proportional: exact fit", 100, 100, false, false, true, Rect(0, 0, 100, 100)},
      {"too big without Proportional", 300, 100, false, false, false, Rect(0, 0, 300, 100)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* I = add(new TProbeImage(Root), Bounds(0, 0, 100, 100));
    TBitmap Picture;
    Picture.SetSize(C.PictureWidth, C.PictureHeight);
    I->Picture()->SetGraphic(&Picture);
    I->SetStretch(C.Stretch);
    I->SetCenter(C.Center);
    I->SetProportional(C.Proportional);
    EXPECT_EQ(I->DestRect(), C.Expected);
    I->Free();
  }
}

TEST_F(ExtCtrlsTest, ImagePaintsItsPictureAndRepaintsOnChange) {
  auto* I = add(new TImage(Root), Bounds(10, 10, 60, 40));
  TBitmap Red;
  Red.SetSize(30, 20);
  Red.Canvas()->Brush()->SetColor(clRed);
  Red.Canvas()->FillRect(Rect(0, 0, 30, 20));
  I->Picture()->SetGraphic(&Red);
  EXPECT_FALSE(I->ControlStyle().Contains(csOpaque)) << "the picture leaves part of the bounds";
  I->SetStretch(true);
  EXPECT_TRUE(I->ControlStyle().Contains(csOpaque)) << "covers the bounds";
  Root->Handle();
  Root->Update();
  const auto Shown = GrabWindow(Root);
  EXPECT_EQ(PixelAt(Shown.get(), 10, 10), clRed);
  EXPECT_EQ(PixelAt(Shown.get(), 69, 49), clRed);
  EXPECT_EQ(PixelAt(Shown.get(), 70, 50), Back);

  I->Canvas()->Brush()->SetColor(clBlue);
  I->Canvas()->FillRect(Rect(0, 0, 30, 20));
  EXPECT_EQ(PixelAt(GrabWindow(Root).get(), 40, 30), clBlue) << "drawing on the picture repaints";

  I->SetAutoSize(true);
  EXPECT_EQ(I->BoundsRect(), Bounds(10, 10, 30, 20));
  I->Picture()->Bitmap()->SetSize(50, 25);
  EXPECT_EQ(I->BoundsRect(), Bounds(10, 10, 50, 25)) << "AutoSize follows the picture";
}

TEST_F(ExtCtrlsTest, TransparentImageLetsTheParentShowThrough) {
  auto* I = add(new TImage(Root), Bounds(0, 0, 30, 20));
  TBitmap Picture;
  Picture.SetSize(30, 20);
  Picture.Canvas()->Brush()->SetColor(clRed);  // the bottom-left pixel's colour: transparent
  Picture.Canvas()->FillRect(Rect(0, 0, 30, 20));
  Picture.Canvas()->Brush()->SetColor(clBlue);
  Picture.Canvas()->FillRect(Rect(10, 5, 20, 15));
  I->Picture()->SetGraphic(&Picture);
  EXPECT_TRUE(I->ControlStyle().Contains(csOpaque));
  I->SetTransparent(true);
  EXPECT_TRUE(I->Picture()->Graphic()->Transparent());
  EXPECT_FALSE(I->ControlStyle().Contains(csOpaque));
  const auto Image = test::Snapshot(Root);
  EXPECT_EQ(PixelAt(Image.get(), 2, 2), Back);
  EXPECT_EQ(PixelAt(Image.get(), 15, 10), clBlue);
}

TEST_F(ExtCtrlsTest, ImageCanvasNeedsABitmap) {
  auto* I = add(new TImage(Root), Bounds(0, 0, 30, 20));
  I->Canvas()->Pixels(0, 0);
  ASSERT_NE(I->Picture()->Bitmap(), nullptr);
  EXPECT_EQ(I->Picture()->Width(), 30) << "an empty picture gets a bitmap of the control's size";
  EXPECT_EQ(I->Picture()->Height(), 20);
  I->Picture()->Metafile();
  EXPECT_RAISES(I->Canvas(), EInvalidOperation, "Can only modify an image if it contains a bitmap");
  EXPECT_EQ(GetEnumProp(I, "Stretch"), "False");
  EXPECT_EQ(GetEnumProp(I, "AutoSize"), "False");
}

}  // namespace
