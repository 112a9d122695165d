// The GDI canvas's gradient fill.
//
// The colour form paints straight on the device context: bands, centre rings
// and corner fills with pattern fills of one brush per colour (or the stock
// DC brush recoloured, where the system has it), diagonals with pen lines.
// Colour n of S steps runs from the start colour (n = 0) to the end colour
// (n = S), linearly or along the balance curve.
#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teegradient.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr Integer MaxBands = 256;
constexpr Integer MaxDiagonalSteps = 255;
// Larger diagonal fills would draw too many lines to be worth it.
constexpr Int64 MaxDiagonalArea = 0x4000000;

// Colour n of S steps from Start to End.
class TGradientSteps {
public:
  TGradientSteps(TColor Start, TColor End, Integer Balance) : FBalance(Balance) {
    const TColor S = ColorToRGB(Start), E = ColorToRGB(End);
    FStart = {GetRValue(S), GetGValue(S), GetBValue(S)};
    FDelta = {GetRValue(E) - FStart[0], GetGValue(E) - FStart[1], GetBValue(E) - FStart[2]};
  }

  TColor operator()(Integer N, Integer S) const {
    Integer C[3];
    if (FBalance == 50) {
      for (int I = 0; I < 3; ++I) C[I] = FStart[I] + N * FDelta[I] / S;
    } else {
      const double F = TeeGradientBalanceCurve(N, FBalance, S);
      for (int I = 0; I < 3; ++I) C[I] = FStart[I] + Integer(Round(F * FDelta[I]));
    }
    return TColor(gdi::RGB(gdi::BYTE(C[0]), gdi::BYTE(C[1]), gdi::BYTE(C[2])));
  }

private:
  static Integer GetRValue(TColor C) { return Integer(C & 0xFF); }
  static Integer GetGValue(TColor C) { return Integer((C >> 8) & 0xFF); }
  static Integer GetBValue(TColor C) { return Integer((C >> 16) & 0xFF); }

  Integer FBalance;
  std::array<Integer, 3> FStart;
  std::array<Integer, 3> FDelta;
};

// Pattern fills in a colour: the stock DC brush recoloured, or one solid
// brush per colour; the DC's brush is put back at the end.
class TBandPainter {
public:
  explicit TBandPainter(gdi::HDC DC) : FDC(DC), FSetColor(TeeSetDCBrushColorProc()) {
    if (FSetColor) FOld = gdi::SelectObject(DC, gdi::GetStockObject(gdi::DC_BRUSH));
  }
  ~TBandPainter() {
    if (FOld) gdi::SelectObject(FDC, FOld);
    if (FBrush) gdi::DeleteObject(FBrush);
  }
  TBandPainter(const TBandPainter&) = delete;
  TBandPainter& operator=(const TBandPainter&) = delete;

  void SetColor(TColor Color) {
    if (Color == FColor) return;
    FColor = Color;
    if (FSetColor) {
      FSetColor(FDC, gdi::COLORREF(Color));
      return;
    }
    const gdi::HBRUSH Brush = gdi::CreateSolidBrush(gdi::COLORREF(Color));
    const gdi::HGDIOBJ Previous = gdi::SelectObject(FDC, Brush);
    if (FBrush)
      gdi::DeleteObject(FBrush);
    else
      FOld = Previous;
    FBrush = Brush;
  }
  void Fill(Integer X, Integer Y, Integer W, Integer H) const { gdi::PatBlt(FDC, X, Y, W, H, gdi::PATCOPY); }

private:
  gdi::HDC FDC;
  TSetDCColorProc FSetColor;
  gdi::HGDIOBJ FOld = nullptr;
  gdi::HBRUSH FBrush = nullptr;
  TColor FColor = clNone;
};

TColor greyOf(TColor C) {
  if (C == clNone) return C;
  const TColor RGBValue = ColorToRGB(C);
  const Byte V = Byte(((RGBValue & 0xFF) + ((RGBValue >> 8) & 0xFF) + ((RGBValue >> 16) & 0xFF)) / 3);
  return TColor(gdi::RGB(V, V, V));
}

void bands(TBandPainter& P, const TGradientSteps& Colour, const TRect& R, bool Horizontal) {
  const Integer Size = Horizontal ? R.Bottom - R.Top : R.Right - R.Left;
  const Integer N = std::min(Size, MaxBands), S = N - 1;
  if (S <= 0) return;
  for (Integer K = 0; K < N; ++K) {
    P.SetColor(Colour(K, S));
    const Integer Near = Int64(K) * Size / N, Far = Int64(K + 1) * Size / N;
    if (Horizontal)
      P.Fill(R.Left, R.Bottom - Far, R.Right - R.Left, Far - Near);
    else
      P.Fill(R.Right - Far, R.Top, Far - Near, R.Bottom - R.Top);
  }
}

void fromCenter(TBandPainter& P, const TGradientSteps& Colour, const TRect& R) {
  const Integer W = R.Right - R.Left, H = R.Bottom - R.Top;
  const Integer S = std::max(1, W / 2 + H / 2);
  Integer A = 0, B = 0;
  bool Grown;
  do {
    P.SetColor(Colour(A + B, S));
    P.Fill(R.Left + B, R.Top + A, 1, H - 2 * A);
    P.Fill(R.Right - B - 1, R.Top + A, 1, H - 2 * A);
    P.Fill(R.Left + B, R.Top + A, W - 2 * B, 1);
    P.Fill(R.Left + B, R.Bottom - A - 1, W - 2 * B, 1);
    Grown = false;
    if (A < H / 2) {
      ++A;
      Grown = true;
    }
    if (B < W / 2) {
      ++B;
      Grown = true;
    }
  } while (Grown);
}

void fromCorner(TBandPainter& P, const TGradientSteps& Colour, const TRect& R, bool TopLeft) {
  const Integer W = R.Right - R.Left, H = R.Bottom - R.Top;
  const Integer S = std::max(1, W + H);
  const Integer R0 = TopLeft ? R.Top : R.Bottom;
  Integer I = 0, Wd = 0, Y = R0;
  bool ColumnsDone = false;
  while (I < H || Wd < W) {
    P.SetColor(Colour(I + Wd, S));
    if (!ColumnsDone) P.Fill(R.Left + Wd - 1, std::min(Y, R0), 1, std::abs(Y - R0));
    if (I < H) {
      ++I;
      if (TopLeft) {
        P.Fill(R.Left, Y, Wd, 1);
        if (Y < R.Bottom) ++Y;
      } else {
        P.Fill(R.Left, Y - 1, Wd, 1);
        if (Y > R.Top) --Y;
      }
    }
    if (Wd < W)
      ++Wd;
    else
      ColumnsDone = true;
  }
}

void diagonals(TCanvas* Canvas, const TGradientSteps& Colour, TRect R, bool Up) {
  const Integer W = R.Right - R.Left, H = R.Bottom - R.Top;
  if (Int64(W) * H > MaxDiagonalArea) return;
  if (!Up) {
    --R.Top;
    --R.Bottom;
  }
  TPen Saved;
  Saved.Assign(Canvas->Pen());
  TPen* Pen = Canvas->Pen();
  Pen->SetWidth(1);
  Pen->SetStyle(psSolid);
  Pen->SetMode(pmCopy);
  const Integer C = W + H;
  const Integer S = std::max(1, std::min(MaxDiagonalSteps, C - 1));
  TPoint P1{R.Left, Up ? R.Bottom : R.Top}, P2 = P1;
  const Integer FarY = Up ? R.Top : R.Bottom;
  const Integer StepY = Up ? -1 : 1;
  for (Integer E = 0; E < C; ++E) {
    const TColor Col = Colour(Int64(E) * S / C, S);
    if (Pen->Color() != Col) Pen->SetColor(Col);
    Canvas->MoveTo(P1.X, P1.Y);
    Canvas->LineTo(P2.X, P2.Y);
    if (P2.X < R.Right)
      ++P2.X;
    else if (P2.Y != FarY)
      P2.Y += StepY;
    if (P1.Y != FarY)
      P1.Y += StepY;
    else if (P1.X < R.Right)
      ++P1.X;
  }
  Pen->Assign(&Saved);
}

}  // namespace

void TTeeCanvas3D::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                                Integer Balance, Integer RadialX, Integer RadialY) {
  const TRect R = TeeNormalizedRect(Rect);
  if (Direction == gdRadial) {
    TTeeGradient Radial(nullptr);
    Radial.SetStartColor(StartColor);
    Radial.SetEndColor(EndColor);
    Radial.SetBalance(Balance);
    Radial.SetRadialX(RadialX);
    Radial.SetRadialY(RadialY);
    Radial.DrawRadial(this, R);
    return;
  }
  if (Direction != gdTopBottom && Direction != gdLeftRight && Direction != gdDiagonalUp &&
      Direction != gdDiagonalDown)
    std::swap(StartColor, EndColor);
  const TGradientSteps Colour(StartColor, EndColor, Balance);
  if (Direction == gdDiagonalUp || Direction == gdDiagonalDown) {
    diagonals(FCanvas, Colour, R, Direction == gdDiagonalUp);
    return;
  }
  TBandPainter Painter(Handle());
  switch (Direction) {
    case gdTopBottom:
    case gdBottomTop: bands(Painter, Colour, R, /*Horizontal=*/true); break;
    case gdLeftRight:
    case gdRightLeft: bands(Painter, Colour, R, /*Horizontal=*/false); break;
    case gdFromCenter: fromCenter(Painter, Colour, R); break;
    case gdFromTopLeft: fromCorner(Painter, Colour, R, /*TopLeft=*/true); break;
    case gdFromBottomLeft: fromCorner(Painter, Colour, R, /*TopLeft=*/false); break;
    default: break;
  }
}

void TTeeCanvas3D::GradientFill(TCustomTeeGradient* Gradient, const TRect& Rect) {
  if (Gradient->Angle() != 0) {
    Gradient->DrawRotated(this, Rect);
    return;
  }
  TColor Mid = Gradient->MidColor(), Start = Gradient->StartColor(), End = Gradient->EndColor();
  if (Monochrome()) {
    Mid = greyOf(Mid);
    Start = greyOf(Start);
    End = greyOf(End);
  }
  const TGradientDirection Direction = Gradient->Direction();
  const Integer Balance = Gradient->Balance();
  if (Direction == gdRadial) {
    GradientFill(Rect, Start, End, Direction, Balance, Gradient->RadialX(), Gradient->RadialY());
    return;
  }
  if (Mid == clNone || Direction == gdDiagonalUp || Direction == gdDiagonalDown) {
    GradientFill(Rect, Start, End, Direction, Balance, 0, 0);
    return;
  }
  constexpr Integer Linear = 50;
  switch (Direction) {
    case gdTopBottom:
    case gdBottomTop: {
      const Integer YM = (Rect.Top + Rect.Bottom) / 2;
      const bool Down = Direction == gdTopBottom;
      GradientFill({Rect.Left, Rect.Top, Rect.Right, YM}, Down ? Mid : Start, Down ? End : Mid, Direction, Linear, 0,
                   0);
      GradientFill({Rect.Left, YM, Rect.Right, Rect.Bottom}, Down ? Start : Mid, Down ? Mid : End, Direction, Linear,
                   0, 0);
      break;
    }
    case gdLeftRight:
    case gdRightLeft: {
      const Integer XM = (Rect.Left + Rect.Right) / 2;
      const bool Right = Direction == gdLeftRight;
      GradientFill({Rect.Left, Rect.Top, XM, Rect.Bottom}, Right ? Mid : Start, Right ? End : Mid, Direction, Linear,
                   0, 0);
      GradientFill({XM, Rect.Top, Rect.Right, Rect.Bottom}, Right ? Start : Mid, Right ? Mid : End, Direction,
                   Linear, 0, 0);
      break;
    }
    default: GradientFill(Rect, Start, End, Direction, Linear, 0, 0); break;
  }
}
