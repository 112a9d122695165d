#include "chartlib/canvas/teeblend.h"

#include "chartlib/canvas/canvasunit_p.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "chartlib/canvas/teemodules.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"

#include <algorithm>
#include <memory>

namespace {

using TAlphaBlendProc = gdi::BOOL (*)(gdi::HDC Dest, int X, int Y, int Width, int Height, gdi::HDC Source, int XSrc,
                                      int YSrc, int WidthSrc, int HeightSrc, gdi::BLENDFUNCTION Blend);

// The system blend, decided on the first blend of the run.
TAlphaBlendProc systemAlphaBlend() {
  TCanvasUnitState* S = CanvasUnitState();
  if (!S) return nullptr;
  if (!S->AlphaBlendDecided) {
    S->AlphaBlendDecided = true;
    if (S->NTPlatform) {
      S->MsImg32 = TeeLoadLibrary(QStringLiteral("msimg32.dll"));
      if (S->MsImg32) S->AlphaBlend = GetProcAddress(S->MsImg32, "AlphaBlend");
    }
  }
  return reinterpret_cast<TAlphaBlendProc>(S->AlphaBlend);
}

void softwareBlend(TBitmap* Background, TBitmap* Target, Integer X, Integer Y, Integer W, Integer H, Integer Alpha) {
  const TRGBArray Back = TeeCalcScanLines(Background);
  const TRGBArray Dest = TeeCalcScanLines(Target);
  auto Mix = [Alpha](Byte& D, Byte B) { D = Byte(D + (Integer(B) - D) * Alpha / 255); };
  for (Integer Row = 0; Row < H; ++Row)
    for (Integer Col = 0; Col < W; ++Col) {
      TRGB& D = Dest[Y + Row][X + Col];
      const TRGB& B = Back[Row][Col];
      Mix(D.Blue, B.Blue);
      Mix(D.Green, B.Green);
      Mix(D.Red, B.Red);
    }
}

// The GDI canvas's back buffer, when the canvas has one: the blend then
// reads and writes it directly.
TBitmap* backBuffer(TTeeCanvas* Canvas) {
  auto* Gdi = dynamic_cast<TTeeCanvas3D*>(Canvas);
  return Gdi ? Gdi->Bitmap() : nullptr;
}

}  // namespace

TTeeBlend::TTeeBlend(TTeeCanvas* ACanvas, const TRect& R) : FCanvas(ACanvas) {
  if (FCanvas) SetRectangle(R);
}

TTeeBlend::~TTeeBlend() {
  if (FBitmap) FBitmap->Free();
}

void TTeeBlend::SetRectangle(const TRect& R) {
  TRect N = TeeNormalizedRect(R);
  N = {std::max(N.Left, 0), std::max(N.Top, 0), std::max(N.Right, 0), std::max(N.Bottom, 0)};
  if (N.Right <= N.Left) N.Right = N.Left + 1;
  if (N.Bottom <= N.Top) N.Bottom = N.Top + 1;
  N.Right = std::min(N.Right, FCanvas->Bounds().Right);
  N.Bottom = std::min(N.Bottom, FCanvas->Bounds().Bottom);
  FRect = N;
  IValidSize = N.Width() > 0 && N.Height() > 0;
  if (!IValidSize) return;
  if (FBitmap) FBitmap->Free();
  FBitmap = new TBitmap;
  FBitmap->SetIgnorePalette(true);
  FBitmap->SetPixelFormat(pf32bit);
  FBitmap->SetSize(N.Width(), N.Height());
  TBitmap* Buffer = backBuffer(FCanvas);
  FBitmap->Canvas()->CopyRect(TeeSizeRect(N.Width(), N.Height()),
                              Buffer ? Buffer->Canvas() : FCanvas->ReferenceCanvas(), N);
}

void TTeeBlend::DoBlend(TTeeTransparency Transparency) {
  if (FCanvas->Metafiling() || !IValidSize) return;
  TBitmap* Buffer = backBuffer(FCanvas);
  std::unique_ptr<TBitmap> Copy;
  TCanvas* Reference = FCanvas->ReferenceCanvas();
  if (!Buffer) {
    Copy = std::make_unique<TBitmap>();
    Copy->SetPixelFormat(pf24bit);
    Copy->SetSize(FRect.Width(), FRect.Height());
    Copy->Canvas()->CopyRect(TeeSizeRect(FRect.Width(), FRect.Height()), Reference, FRect);
  }
  const Integer Align = FCanvas->TextAlign();
  TeeBlendBitmaps(100 - Transparency, FBitmap, Buffer ? Buffer : Copy.get(),
                  Buffer ? FRect.TopLeft() : TPoint{0, 0});
  if (FCanvas->TextAlign() != Align) {
    FCanvas->AssignFont(FCanvas->Font());
    FCanvas->SetTextAlign(Align);
  }
  if (Copy) Reference->Draw(FRect.Left, FRect.Top, Copy.get());
}

void TeeBlendBitmaps(double Amount, TBitmap* Background, TBitmap* Target, TPoint Position) {
  const Integer X = std::max(0, Position.X), Y = std::max(0, Position.Y);
  const Integer W = std::min(Background->Width(), Target->Width() - X);
  const Integer H = std::min(Background->Height(), Target->Height() - Y);
  if (W <= 0 || H <= 0) return;
  const Integer Alpha = 255 - Integer(Round(Amount * 2.55));
  if (TAlphaBlendProc Blend = systemAlphaBlend()) {
    gdi::BLENDFUNCTION F;
    F.SourceConstantAlpha = gdi::BYTE(Alpha);
    Blend(Target->Canvas()->Handle(), X, Y, W, H, Background->Canvas()->Handle(), 0, 0, W, H, F);
    return;
  }
  softwareBlend(Background, Target, X, Y, W, H, Alpha);
}
