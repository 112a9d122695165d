#include "chartlib/canvas/teeshadow.h"

#include "chartlib/canvas/canvas3d.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

TTeeShadow::TTeeShadow(TNotifyEvent AOnChange) {
  InitDefaults(true, clSilver, 0);
  IOnChange = AOnChange;
}

void TTeeShadow::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Clip", &TTeeShadow::Clip, &TTeeShadow::SetClip).Default(false);
  Props.Add("Color", &TTeeShadow::Color, &TTeeShadow::SetColor).Idents(ColorIdents()).Stored(&TTeeShadow::isColorStored);
  Props.Add("Direction", &TTeeShadow::Direction, &TTeeShadow::SetDirection).Default(sdRightBottom);
  Props.Add("HorizSize", &TTeeShadow::HorizSize, &TTeeShadow::SetHorizSize).Stored(&TTeeShadow::isHorizSizeStored);
  Props.Add("Smooth", &TTeeShadow::Smooth, &TTeeShadow::SetSmooth).Default(true);
  Props.Add("SmoothBlur", &TTeeShadow::SmoothBlur, &TTeeShadow::SetSmoothBlur).Default(0);
  Props.Add("Transparency", &TTeeShadow::Transparency, &TTeeShadow::SetTransparency).Default(50);
  Props.Add("VertSize", &TTeeShadow::VertSize, &TTeeShadow::SetVertSize).Stored(&TTeeShadow::isVertSizeStored);
  Props.Add("Visible", &TTeeShadow::Visible, &TTeeShadow::SetVisible).Stored(&TTeeShadow::isVisibleStored);
}

void TTeeShadow::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TTeeShadow*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FClip = S->FClip;
  FColor = S->FColor;
  FDirection = S->FDirection;
  FHorizSize = S->FHorizSize;
  FSmooth = S->FSmooth;
  FSmoothBlur = S->FSmoothBlur;
  FTransparency = S->FTransparency;
  FVertSize = S->FVertSize;
  FVisible = S->FVisible;
}

void TTeeShadow::InitDefaults(bool AVisible, TColor AColor, Integer ASize) {
  FVisible = DefaultVisible = AVisible;
  FColor = DefaultColor = AColor;
  FHorizSize = FVertSize = DefaultSize = ASize;
}

bool TTeeShadow::ShouldDraw() const { return FVisible && (FHorizSize != 0 || FVertSize != 0); }

template <class T>
void TTeeShadow::setValue(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  DoChanged();
}

void TTeeShadow::SetClip(bool Value) { setValue(FClip, Value); }
void TTeeShadow::SetColor(TColor Value) { setValue(FColor, Value); }
void TTeeShadow::SetDirection(TShadowDirection Value) { setValue(FDirection, Value); }
void TTeeShadow::SetHorizSize(Integer Value) { setValue(FHorizSize, Value); }
void TTeeShadow::SetVertSize(Integer Value) { setValue(FVertSize, Value); }
void TTeeShadow::SetSmooth(bool Value) { setValue(FSmooth, Value); }
void TTeeShadow::SetSmoothBlur(Integer Value) { setValue(FSmoothBlur, Value); }
void TTeeShadow::SetTransparency(TTeeTransparency Value) { setValue(FTransparency, Value); }
void TTeeShadow::SetVisible(bool Value) { setValue(FVisible, Value); }

Integer TTeeShadow::Size() const { return std::max(std::abs(FHorizSize), std::abs(FVertSize)); }

void TTeeShadow::SetSize(Integer Value) {
  SetHorizSize(Value);
  SetVertSize(Value);
}

void TTeeShadow::DoChanged() {
  if (IOnChange) IOnChange(this);
}

// ---------------------------------------------------------------------------
// drawing

bool TTeeShadow::BeginBlend(TCanvas3D* ACanvas, const TRect& Rect, double Angle) {
  if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0)) return false;
  ITransp = Byte(FTransparency != 0 ? FTransparency : ACanvas->Transparency);
  if (ITransp == 0) return true;
  TRect R;
  if (!ACanvas->SupportsAlpha()) {
    if (FSmooth) {
      R = Rect;
      InflateRect(R, 2 * std::abs(FHorizSize), 2 * std::abs(FVertSize));
    } else {
      R = ShadowRect(Rect, FDirection, FHorizSize, FVertSize);
    }
    if (Angle != 0) R = TeePolygonBounds(RotateRect(R, Angle));
  }
  // the shadow's own transparency, even when ITransp came from the canvas
  IBlend = ACanvas->BeginBlending(R, FTransparency);
  return true;
}

void TTeeShadow::EndBlend(TCanvas3D* ACanvas) {
  if (ITransp == 0) return;
  TTeeBlend* Blend = std::exchange(IBlend, nullptr);
  ACanvas->EndBlending(Blend);
}

void TTeeShadow::Draw(TCanvas3D* ACanvas, const TRect& Rect, Integer RoundSize, double Angle) {
  TTeePen* Pen = ACanvas->Pen();
  const TPenStyle SavedStyle = Pen->Style();
  const TColor SavedColor = Pen->Color();
  if (BeginBlend(ACanvas, Rect, Angle)) {
    const TRect R = ShadowRect(Rect, FDirection, FHorizSize, FVertSize);
    if (Angle != 0) {
      const TFourPoints P = RotateRect(R, Angle);
      ACanvas->DrawShadow(this, TeePolygonBounds(P), /*IsEllipse=*/false, RoundSize, P, 0, 0, 360);
    } else {
      ACanvas->DrawShadow(this, R, /*IsEllipse=*/false, RoundSize, {}, 0, 0, 360);
    }
    EndBlend(ACanvas);
  }
  Pen->SetStyle(SavedStyle);
  Pen->SetColor(SavedColor);
}

void TTeeShadow::Draw(TCanvas3D* ACanvas, std::span<const TPoint> P) {
  TPointArray Moved(P.begin(), P.end());
  for (TPoint& Pt : Moved) {
    Pt.X += FHorizSize;
    Pt.Y += FVertSize;
  }
  const TRect R = ACanvas->SupportsAlpha() ? TRect{} : TeePolygonBounds(Moved);
  if (!BeginBlend(ACanvas, R, 0)) return;
  ACanvas->DrawShadow(this, R, /*IsEllipse=*/false, 0, Moved, 0, 0, 360);
  EndBlend(ACanvas);
}

void TTeeShadow::DrawEllipse(TCanvas3D* ACanvas, const TRect& Rect, double DonutPercent, double StartAngle,
                             double EndAngle) {
  if (!BeginBlend(ACanvas, Rect, 0)) return;
  ACanvas->DrawShadow(this, ShadowRect(Rect, FDirection, FHorizSize, FVertSize), /*IsEllipse=*/true, 0, {},
                      DonutPercent, StartAngle, EndAngle);
  EndBlend(ACanvas);
}

TTeeEmboss::TTeeEmboss(TNotifyEvent AOnChange) : TTeeShadow(AOnChange) {
  SetVisible(false);
  DefaultVisible = false;
  SetDirection(sdLeftTop);
}

void TTeeEmboss::DescribeProperties(TPropertyTable& Props) { Props.Override("Direction").Default(sdLeftTop); }

TRect ShadowRect(const TRect& R, TShadowDirection Direction, Integer H, Integer V) {
  switch (Direction) {
    case sdCenter: return {R.Left - std::abs(H), R.Top - std::abs(V), R.Right + std::abs(H), R.Bottom + std::abs(V)};
    case sdLeftTop: return {R.Left - H, R.Top - V, R.Right - H, R.Bottom - V};
    case sdLeftBottom: return {R.Left - H, R.Top + V, R.Right - H, R.Bottom + V};
    case sdRightTop: return {R.Left + H, R.Top - V, R.Right + H, R.Bottom - V};
    case sdRightBottom: break;
  }
  return {R.Left + H, R.Top + V, R.Right + H, R.Bottom + V};
}

TFourPoints RotateRect(const TRect& R, double Angle) {
  const Integer CX = (R.Left + R.Right) / 2, CY = (R.Top + R.Bottom) / 2;
  const double A = Angle * std::numbers::pi / 180;
  const double S = std::sin(A), C = std::cos(A);
  const TFourPoints Corners{TPoint{R.Left, R.Top}, TPoint{R.Right, R.Top}, TPoint{R.Right, R.Bottom},
                            TPoint{R.Left, R.Bottom}};
  TFourPoints Result;
  for (int I = 0; I < 4; ++I) {
    const double X = Corners[I].X - CX, Y = Corners[I].Y - CY;
    Result[I] = {CX + Integer(Round(X * C + Y * S)), CY + Integer(Round(-X * S + Y * C))};
  }
  return Result;
}

// ---------------------------------------------------------------------------
// smooth shadow and blur

void TeeDrawSmoothShadow(TTeeShadow* Shadow, TBitmap* Buffer, TCanvas* ClipCanvas, const TRect& Rect,
                         bool IsEllipse, Integer RoundSize, std::span<const TPoint> Points, double DonutPercent) {
  const Integer B = Shadow->BlurSize;
  TPointArray Shifted(Points.begin(), Points.end());
  Integer W, H;
  if (!Shifted.empty()) {
    const TRect Before = TeePolygonBounds(Shifted);
    for (TPoint& P : Shifted) {
      P.X += 1 - Before.Left;
      P.Y += 1 - Before.Top;
    }
    const TRect Bounds = TeePolygonBounds(Shifted);
    W = std::max(1, Bounds.Width() + B);
    H = std::max(1, Bounds.Height() + B);
  } else {
    W = std::max(1, Rect.Width());
    H = std::max(1, Rect.Height());
  }
  TBitmap Shape;
  Shape.SetSize(W, H);
  TCanvas* C = Shape.Canvas();
  // a new bitmap is black here; the blur reads white as "no shadow"
  C->Brush()->SetColor(clWhite);
  C->FillRect(TeeSizeRect(W, H));
  TRect I{B / 2, B / 2, W - B / 2, H - B / 2};
  C->Brush()->SetColor(Shadow->Color());
  C->Pen()->SetStyle(psClear);
  if (!Shifted.empty()) {
    C->Polygon(Shifted);
  } else if (IsEllipse) {
    C->Ellipse(I);
    if (DonutPercent != 0) {
      C->Brush()->SetColor(clWhite);
      InflateRect(I, -Integer(Round((100 - DonutPercent) * Rect.Width() * 0.005)),
                  -Integer(Round((100 - DonutPercent) * Rect.Height() * 0.005)));
      C->Ellipse(I);
    }
  } else if (RoundSize != 0) {
    C->RoundRect(I.Left, I.Top, I.Right, I.Bottom, RoundSize, RoundSize);
  } else {
    C->FillRect(I);
  }
  TeeSmoothBlur(&Shape, Buffer, Rect.Left, Rect.Top, W, H, B, Shadow->SmoothBlur(), ClipCanvas, Shadow->Clip());
}

std::vector<Integer> TeeBlurWeights(Integer Radius, double Amount) {
  Radius = std::max(0, Radius);
  const Integer N = 2 * Radius + 1;
  std::vector<Integer> W(N);
  W[Radius] = 100000;
  const float Q = float((Amount + 180) * 0.01);
  for (Integer I = 0; I < Radius; ++I) {
    const float Exponent = -float((I - Radius) * (I - Radius)) / float(Radius);
    W[I] = W[N - 1 - I] = Integer(std::nearbyint(float(std::pow(Q, Exponent)) * 100000.0f));
  }
  return W;
}

namespace {

// The bytes of pixel X of a 24- or 32-bit row.
struct TRows {
  std::vector<Byte*> Rows;
  Integer Step = 3;
  Byte* at(Integer X, Integer Y) const { return Rows[Y] + X * Step; }
};

TRows rowsOf(TBitmap* B, bool Deep) {
  TRows R;
  R.Step = Deep ? 4 : 3;
  if (Deep)
    for (TRGBA* Row : TeeCalcScanLinesRGBA(B)) R.Rows.push_back(reinterpret_cast<Byte*>(Row));
  else
    for (TRGB* Row : TeeCalcScanLines(B)) R.Rows.push_back(reinterpret_cast<Byte*>(Row));
  return R;
}

bool deepPixels(TBitmap* B) { return TeeBitsPerPixel(B->Canvas()->Handle()) == 32; }

}  // namespace

void TeeSmoothBlur(TBitmap* Source, TBitmap* Dest, Integer DX, Integer DY, Integer Width, Integer Height,
                   Integer Radius, double Amount, TCanvas* Canvas, bool ClipTest) {
  if (Width <= 0 || Height <= 0) return;
  const std::vector<Integer> W = TeeBlurWeights(Radius, Amount);
  Radius = std::max(0, Radius);
  const Integer N = Integer(W.size());
  const TRows Src = rowsOf(Source, deepPixels(Source));
  const Integer X0 = DX < 0 ? -DX : 0, Y0 = DY < 0 ? -DY : 0;
  Integer X1 = Width - 1, Y1 = Height - 1;
  if (Dest) {
    X1 = Width + DX < Dest->Width() ? Width - 1 : Dest->Width() - DX - 1;
    if (Height + DY < Dest->Height())
      Y1 = Height + DY < 0 ? 0 : Height - 1;
    else
      Y1 = Dest->Height() - DY - 1;
  }
  X1 = std::min(X1, Width - 1);
  Y1 = std::min(Y1, Height - 1);
  if (X0 > X1 || Y0 > Y1) return;

  // horizontal pass into a Height x Width table
  std::vector<TRGB> Table(size_t(Width) * Height);
  auto TableRow = [&](Integer Y) { return reinterpret_cast<Byte*>(&Table[size_t(Y) * Width]); };
  auto Horizontal = [&]<int Step>() {
    for (Integer Y = Y0; Y <= Y1; ++Y) {
      const Byte* In = Src.Rows[Y];
      Byte* Out = TableRow(Y);
      for (Integer X = X0; X <= X1; ++X) {
        Integer I = X - Radius, J = 0;
        if (I < 0) {
          J = -I;
          I = 0;
        }
        Int64 C0 = 0, C1 = 0, C2 = 0, Total = 0;
        for (const Byte* P = In + I * Step; J < N && I < Width; ++I, ++J, P += Step) {
          C0 += Int64(W[J]) * P[0];
          C1 += Int64(W[J]) * P[1];
          C2 += Int64(W[J]) * P[2];
          Total += W[J];
        }
        if (Total == 0) continue;
        // a double quotient of two integers below 2^53 truncates exactly, and
        // divides several times faster than a 64-bit integer division
        const double T = double(Total);
        Byte* O = Out + X * 3;
        O[0] = Byte(double(C0) / T);
        O[1] = Byte(double(C1) / T);
        O[2] = Byte(double(C2) / T);
      }
    }
  };
  if (Src.Step == 4)
    Horizontal.template operator()<4>();
  else
    Horizontal.template operator()<3>();

  // vertical pass: the window depends on the row alone, so whole table rows
  // are summed at once
  const TRows Dst = Dest ? rowsOf(Dest, deepPixels(Dest)) : TRows{};
  const gdi::HDC DC = ClipTest && Canvas ? Canvas->Handle() : nullptr;
  const Integer Span = 3 * (X1 - X0 + 1);
  std::vector<Int64> Sums(Span);
  for (Integer Y = Y0; Y <= Y1; ++Y) {
    Integer I = Y - Radius, J = 0;
    if (I < 0) {
      J = -I;
      I = 0;
    }
    // the window ends at Y1 - (first row read): kept, the shadows look so
    const Integer Last = std::min(Y1 - I, N);
    std::fill(Sums.begin(), Sums.end(), 0);
    Int64 Total = 0;
    for (; J < Last; ++I, ++J) {
      const Byte* In = TableRow(I) + 3 * X0;
      const Int64 Weight = W[J];
      for (Integer K = 0; K < Span; ++K) Sums[K] += Weight * In[K];
      Total += Weight;
    }
    if (Total == 0) continue;
    const double T = double(Total);
    for (Integer X = X0; X <= X1; ++X) {
      if (DC && !gdi::PtVisible(DC, X + DX, Y + DY)) continue;
      const Int64* S = &Sums[3 * (X - X0)];
      Byte* P = Dest ? Dst.at(X + DX, Y + DY) : Src.at(X, Y);
      for (int K = 0; K < 3; ++K)
        P[K] = Dest ? Byte(std::nearbyint(P[K] * (double(S[K]) / T / 255))) : Byte(std::nearbyint(double(S[K]) / T));
    }
  }
}
