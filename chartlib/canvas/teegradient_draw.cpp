// Drawing with a gradient: the entry points that hand the gradient to a
// canvas, and the three fills the gradient draws itself (radial rings, the
// turned fill and the sub-gradient overlay).
#include "chartlib/canvas/teegradient.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double DegToRad = 0.017453292519943295;
constexpr Integer MaxRadialSteps = 255;

struct TChannels {
  double R, G, B;
};

TChannels channelsOf(TColor C) {
  const TColor V = ColorToRGB(C);
  return {double(V & 0xFF), double((V >> 8) & 0xFF), double((V >> 16) & 0xFF)};
}

TColor packed(const TChannels& Start, double FR, double FG, double FB) {
  auto Byte_ = [](double V) { return gdi::BYTE(Integer(Round(V))); };
  return TColor(gdi::RGB(Byte_(Start.R + FR), Byte_(Start.G + FG), Byte_(Start.B + FB)));
}

}  // namespace

double TeeGradientBalanceCurve(Integer N, Integer Balance, Integer S) {
  return std::exp(std::log(double(N + 1) / double(S + 1)) * (Balance * 0.01 + 0.5));
}

void TCustomTeeGradient::Draw(TTeeCanvas* Canvas, const TRect& Rect, Integer RoundRectSize) {
  Canvas->Gradient()->Assign(this);
  if (RoundRectSize <= 0)
    Canvas->FillRect(Rect);
  else
    Canvas->RoundRect(Rect, RoundRectSize, RoundRectSize);
  if (FSub && FSub->Visible()) drawSubGradient(Canvas, Rect, RoundRectSize);
}

void TCustomTeeGradient::Draw(TTeeCanvas* Canvas, TFourPoints& P) {
  Canvas->Gradient()->Assign(this);
  Canvas->Pen()->SetStyle(psClear);
  Canvas->Polygon(P);
}

void TCustomTeeGradient::Draw(TCanvas3D* Canvas, TFourPoints& P, Integer Z) {
  for (TPoint& Pt : P) Pt = Canvas->Calculate3DPosition(Pt, Z);
  Draw(static_cast<TTeeCanvas*>(Canvas), P);
}

void TCustomTeeGradient::Draw(TCanvas3D* Canvas, const TPointArray& P, Integer Z, bool Is3D) {
  Canvas->Gradient()->Assign(this);
  if (Is3D)
    Canvas->Polygon(Canvas->Calc3DPoints(P, Z));
  else
    Canvas->Polygon(P);
}

void TCustomTeeGradient::DrawRadial(TTeeCanvas* Canvas, const TRect& Rect) {
  const TRect R = TeeNormalizedRect(Rect);
  const Integer W = R.Right - R.Left, H = R.Bottom - R.Top;
  const Integer S0 = std::min(MaxRadialSteps, std::max(W, H));
  // nothing to fill, and the step sizes below would divide by zero
  if (S0 <= 0) return;
  Canvas->ClipRectangle(R);
  TTeeGradient* CanvasGradient = Canvas->Gradient();
  const bool WasVisible = CanvasGradient->Visible();
  CanvasGradient->SetVisible(false);
  TTeePen* Pen = Canvas->Pen();
  TTeeBrush* Brush = Canvas->Brush();
  const TPenStyle OldPenStyle = Pen->Style();
  const TColor OldBrushColor = Brush->Color();
  const gdi::HDC DC = Canvas->Handle();
  gdi::HGDIOBJ OldBrush = nullptr;
  const TScopeExit Restore([&] {
    if (OldBrush) gdi::SelectObject(DC, OldBrush);
    Pen->SetStyle(OldPenStyle);
    Brush->SetColor(OldBrushColor);
    CanvasGradient->SetVisible(WasVisible);
    Canvas->UnClipRectangle();
  });

  const TChannels Start = channelsOf(StartColor()), End = channelsOf(EndColor());
  const TChannels Delta{End.R - Start.R, End.G - Start.G, End.B - Start.B};
  const bool Linear = FBalance == 50;
  const double FX = W * 0.5 / S0, FY = H * 0.5 / S0;
  Pen->SetStyle(psClear);
  Brush->SetColor(EndColor());
  Canvas->FillRect(R);
  const Integer S = (W % 2 != 0 || H % 2 != 0) ? S0 - 1 : S0;
  const double CX = FRadialX + 1 + (R.Left + R.Right) * 0.5, CY = FRadialY + 1 + (R.Top + R.Bottom) * 0.5;
  const TSetDCColorProc SetDCBrushColor = TeeSetDCBrushColorProc();
  if (SetDCBrushColor) OldBrush = gdi::SelectObject(DC, gdi::GetStockObject(gdi::DC_BRUSH));
  for (Integer N = S; N >= 0; --N) {
    TColor C;
    if (Linear) {
      C = packed(Start, Delta.R / S0 * N, Delta.G / S0 * N, Delta.B / S0 * N);
    } else {
      const double F = TeeGradientBalanceCurve(N, FBalance, S);
      C = packed(Start, F * Delta.R, F * Delta.G, F * Delta.B);
    }
    if (SetDCBrushColor)
      SetDCBrushColor(DC, gdi::COLORREF(C));
    else
      Brush->SetColor(C);
    Canvas->Ellipse(Integer(Round(CX - N * FX)), Integer(Round(CY - N * FY)), Integer(Round(CX + N * FX)),
                    Integer(Round(CY + N * FY)));
  }
  if (FSub && FSub->Visible()) drawSubGradient(Canvas, Rect, 0);
}

void TCustomTeeGradient::DrawRotated(TTeeCanvas* Canvas, const TRect& Rect) {
  const Integer W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
  const double A = (360 - FAngle) * DegToRad;
  const double S = std::sin(A), C = std::cos(A);
  const double Sign = S * C > 0 ? 1 : -1;
  const Integer BW = std::abs(Integer(Round(W * C + Sign * H * S))) + 2;
  const Integer BH = std::abs(Integer(Round(W * S + Sign * H * C))) + 2;
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetSize(BW, BH);
  {
    TTeeCanvas3D Flat;
    Flat.SetUseBuffer(false);
    Flat.InitWindow(Bitmap->Canvas(), nullptr, clWhite, /*Is3D=*/false, TeeSizeRect(BW, BH));
    const Integer SavedAngle = FAngle;
    const TScopeExit RestoreAngle([&] { FAngle = SavedAngle; });
    FAngle = 0;
    Draw(&Flat, TeeSizeRect(BW, BH), 0);
  }
  if (TTeeRotateGradientProc Rotate = TeeRotateGradientBitmap()) Rotate(this, Bitmap.get());
  Canvas->ClipRectangle(Rect);
  Canvas->Draw(Rect.Left - (Bitmap->Width() - W) / 2, Rect.Top - (Bitmap->Height() - H) / 2, Bitmap.get());
  Canvas->UnClipRectangle();
}

void TCustomTeeGradient::drawSubGradient(TTeeCanvas* Canvas, const TRect& Rect, Integer RoundRectSize) {
  TSubGradient* Sub = FSub;
  TTeeBlend* Blend = Canvas->BeginBlending(Rect, Sub->Transparency());
  const TScopeExit End([&] { Canvas->EndBlending(Blend); });
  if (Sub->Direction() == gdRadial)
    Sub->DrawRadial(Canvas, Rect);
  else
    Sub->Draw(Canvas, Rect, RoundRectSize);
}
