#include "chartlib/canvas/teeblend.h"

#include "chartlib/canvas/teecanvas3d.h"

#include "platform/rtl/modules.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

#include <memory>

namespace {

using TeeBlendTest = CanvasTest;

TEST_F(TeeBlendTest, RectangleIsNormalisedAndClampedToTheCanvas) {
  TRecordingCanvas C(50, 40);
  struct Case {
    TRect Given;
    TRect Expected;
  } const Cases[] = {
      {Rect(-5, -3, 10, 12), Rect(0, 0, 10, 12)},
      {Rect(5, 5, 5, 5), Rect(5, 5, 6, 6)},
      {Rect(30, 20, 10, 60), Rect(10, 20, 30, 40)},
  };
  for (const Case& Cs : Cases) {
    TTeeBlend B(&C, Cs.Given);
    EXPECT_EQ(B.Rect(), Cs.Expected);
  }
}

TEST_F(TeeBlendTest, BlendWeightsTheSavedBackground) {
  struct Case {
    TTeeTransparency Transparency;
    TColor Expected;  // red drawn over a white background
  } const Cases[] = {{0, clRed}, {100, clWhite}, {50, TColor(0x8080FF)}, {25, TColor(0x4040FF)}};
  for (const Case& Cs : Cases) {
    TRecordingCanvas C(20, 20);
    TTeeBlend Blend(&C, Rect(0, 0, 10, 10));
    C.ReferenceCanvas()->Brush()->SetColor(clRed);
    C.ReferenceCanvas()->FillRect(Rect(0, 0, 20, 20));
    Blend.DoBlend(Cs.Transparency);
    EXPECT_EQ(C.Pixels(5, 5), Cs.Expected) << Cs.Transparency;
    EXPECT_EQ(C.Pixels(15, 15), clRed);  // outside the blend
  }
}

// Black under white blended for Transparency 0, 25, 50, 75, 100: the constant
// alpha 255 - Round(Amount × 2.55) of the background shows in every channel.
void expectBlendAlphas() {
  const Integer Alphas[] = {0, 64, 128, 191, 255};
  for (int I = 0; I < 5; ++I) {
    TBitmap Background, Target;
    Background.SetSize(1, 1);
    Background.Canvas()->SetPixels(0, 0, clWhite);
    Target.SetSize(1, 1);
    Target.Canvas()->SetPixels(0, 0, clBlack);
    TeeBlendBitmaps(100 - 25 * I, &Background, &Target, {0, 0});
    EXPECT_EQ(Target.Canvas()->Pixels(0, 0) & 0xFF, Alphas[I]) << I;
  }
}

TEST_F(TeeBlendTest, SystemAndSoftwareBlendsWeighAlike) {
  expectBlendAlphas();
  {
    TModuleExportScope Hide("msimg32.dll", "AlphaBlend");
    FinalizeCanvas();
    InitializeCanvas();  // the routine is looked up again on the first blend
    expectBlendAlphas();
  }
  FinalizeCanvas();
  InitializeCanvas();
}

TEST_F(TeeBlendTest, GdiCanvasBlendsOnItsBackBuffer) {
  TBitmap Window;
  Window.SetSize(50, 40);
  TTeeCanvas3D C;
  C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, 50, 40));
  TBitmap* Buffer = C.Bitmap();
  Buffer->Canvas()->Brush()->SetColor(clWhite);
  Buffer->Canvas()->FillRect(Rect(0, 0, 50, 40));
  // the reference canvas elsewhere: only the buffer may be read and written
  TBitmap Elsewhere;
  Elsewhere.SetSize(50, 40);
  C.SetReferenceCanvas(Elsewhere.Canvas());
  TTeeBlend* Blend = C.BeginBlending(Rect(10, 10, 30, 30), 50);
  Buffer->Canvas()->Brush()->SetColor(clRed);
  Buffer->Canvas()->FillRect(Rect(10, 10, 30, 30));
  C.EndBlending(Blend);
  EXPECT_EQ(Buffer->Canvas()->Pixels(20, 20), TColor(0x8080FF));  // (255, 128, 128)
  EXPECT_EQ(Buffer->Canvas()->Pixels(5, 5), clWhite);
  EXPECT_EQ(Elsewhere.Canvas()->Pixels(20, 20), clBlack);  // untouched
}

}  // namespace
