#include "gridlib/base/colors.h"

#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/styles.h"
#include "tests/support/testing.h"

namespace {

TEST(ColorsEh, Luminance) {
  const struct {
    const char* Name;
    TColor Color;
    Integer Luminance;
  } Cases[] = {
      {"pure blue carries the large weight", clBlue, 76},
      {"pure red the small one", clRed, 28},
      {"pure green", clLime, 149},
      {"white", clWhite, 255},
      {"black", clBlack, 0},
      {"a system colour is resolved", clWindowText, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ColorLuminanceEh(C.Color), C.Luminance);
  }
  EXPECT_EQ(ColorToGrayEh(clRed), TColor(0x1C1C1C));
  EXPECT_EQ(ColorToGrayEh(clBtnFace), ColorToGrayEh(ColorToRGB(clBtnFace)));
}

TEST(ColorsEh, Mixing) {
  EXPECT_EQ(MixColorsEh(clBlack, clWhite, 127.5), TColor(0x7F7F7F));
  EXPECT_EQ(MixColorsEh(clRed, clBlue, 0), clRed);
  EXPECT_EQ(MixColorsEh(clRed, clBlue, 255), clBlue);
  // Down as well as up: From + Trunc((To - From) / 255 * Weight) per channel.
  EXPECT_EQ(MixColorsEh(clWhite, clBlack, 100), TColor(0x9B9B9B));
  EXPECT_EQ(MixColorsEh(clBtnFace, clBtnFace, 10), ColorToRGB(clBtnFace));

  EXPECT_EQ(MixColorsPercentEh(clBlack, clWhite, 50), TColor(0x808080));  // 127.5 rounds to even
  EXPECT_EQ(MixColorsPercentEh(TColor(0x000001), TColor(0x000002), 50), TColor(0x000002));
  EXPECT_EQ(MixColorsPercentEh(clBlack, clWhite, 200), clWhite);  // clamped
  EXPECT_EQ(MixColorsPercentEh(cl3DDkShadow, clBlack, 30), MixColorsPercentEh(ColorToRGB(cl3DDkShadow), 0, 30));
}

TEST(ColorsEh, DarkerAndLightness) {
  EXPECT_EQ(DarkerOfColorsEh(clWhite, clGray), clGray);
  EXPECT_EQ(DarkerOfColorsEh(clGray, clWhite), clGray);
  EXPECT_EQ(DarkerOfColorsEh(clGray, TColor(0x808080)), clGray);  // a tie keeps the first
  EXPECT_EQ(ColorWithLightnessEh(clRed, 256), clWhite);
  EXPECT_EQ(ColorWithLightnessEh(clRed, 0), clBlack);
  EXPECT_EQ(ColorWithLightnessEh(clRed, 128), clRed);
}

TEST(ColorsEh, ImageListColorsAndStyles) {
  EXPECT_EQ(ColorToImageListColorEh(clNone), gdi::CLR_NONE);
  EXPECT_EQ(ColorToImageListColorEh(clDefault), gdi::CLR_DEFAULT);
  EXPECT_EQ(ColorToImageListColorEh(clWindow), gdi::COLORREF(ColorToRGB(clWindow)));
  EXPECT_EQ(GetStyledSystemColorEh(clBtnFace), clBtnFace);  // the disabled style maps nothing
  EXPECT_EQ(RGBToColorEh(1, 2, 3), TColor(0x030201));
  EXPECT_EQ(MaxIntEh(-1, 2), 2);
  EXPECT_EQ(MinIntEh(-1, 2), -1);
  EXPECT_EQ(IfThenIntEh(false, 1, 2), 2);
}

}  // namespace
