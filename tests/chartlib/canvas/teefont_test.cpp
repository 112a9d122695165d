#include "chartlib/canvas/teefont.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/changecounter.h"
#include "tests/chartlib/canvas/streamhost.h"

namespace {

using TeeFontTest = CanvasTest;

TEST_F(TeeFontTest, DefaultFontStreamsNeitherNameHeightColourNorStyle) {
  TTeeFont F(nullptr);
  EXPECT_EQ(F.Name(), "Arial");
  EXPECT_EQ(F.Size(), 8);
  EXPECT_EQ(F.Color(), clBlack);
  EXPECT_TRUE(StreamedProperties(&F).isEmpty());
  F.SetSize(12);
  F.SetStyle({fsBold});
  F.SetName("Tahoma");
  const QStringList Props = StreamedProperties(&F);
  EXPECT_TRUE(Props.contains("Height = -16"));
  EXPECT_TRUE(Props.contains("Name = 'Tahoma'"));
  EXPECT_TRUE(Props.contains("Style = [fsBold]"));
  F.Shadow()->SetHorizSize(2);
  F.SetSizeFloat(12.5f);
  TTeeFont Back(nullptr);
  StreamCopy(&F, &Back);
  EXPECT_EQ(Back.Name(), "Tahoma");
  EXPECT_FLOAT_EQ(Back.SizeFloat(), 12.5f);
  EXPECT_EQ(Back.Style(), TFontStyles{fsBold});
  ASSERT_TRUE(Back.HasShadow());
  EXPECT_EQ(Back.Shadow()->HorizSize(), 2);
}

TEST_F(TeeFontTest, SizeFloatKeepsTheFractionAndFiresOnlyOnTheIntegerPart) {
  TChangeCounter Changes;
  TTeeFont F(Changes.Event());
  F.SetSizeFloat(10.5f);
  EXPECT_EQ(F.Size(), 10);
  EXPECT_FLOAT_EQ(F.SizeFloat(), 10.5f);
  const int After = Changes.Count;
  EXPECT_GT(After, 0);
  F.SetSizeFloat(10.25f);
  EXPECT_FLOAT_EQ(F.SizeFloat(), 10.25f);
  EXPECT_EQ(Changes.Count, After);
  EXPECT_TRUE(StreamedProperties(&F).contains("SizeFloat = 10.25"));
}

TEST_F(TeeFontTest, AssigningAFontWithoutAShadowRemovesIt) {
  TTeeFont Source(nullptr), Target(nullptr);
  Target.Shadow()->SetHorizSize(3);
  Source.SetInterCharSize(2);
  Source.Emboss()->Show();
  Source.SetColor(clRed);
  Target.Assign(&Source);
  EXPECT_FALSE(Target.HasShadow());
  ASSERT_TRUE(Target.HasEmboss());
  EXPECT_TRUE(Target.Emboss()->Visible());
  EXPECT_EQ(Target.InterCharSize(), 2);
  EXPECT_EQ(Target.Color(), clRed);
}

TEST_F(TeeFontTest, InitColorSetsTheDefaultSilently) {
  TChangeCounter Changes;
  TTeeFont F(Changes.Event());
  F.InitColor(clWhite);
  EXPECT_EQ(F.Color(), clWhite);
  EXPECT_EQ(F.Brush()->Color(), clWhite);
  EXPECT_EQ(Changes.Count, 0);
  EXPECT_TRUE(StreamedProperties(&F).isEmpty());
  F.SetQuality(tee::fqClearType);
  EXPECT_EQ(StreamedProperties(&F), QStringList({"Quality = fqClearType"}));
}

}  // namespace
