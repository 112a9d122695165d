#include "chartlib/canvas/teefilters.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teegeometry.h"
#include "chartlib/canvas/teegradient.h"
#include "chartlib/canvas/teeresample.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/graphics/canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

// Message-table entries of the filters' descriptions and editor captions.
enum : int {
  msgHeight = 184,
  msgAntialias = 277,
  msgPercent = 278,
  msgSmooth = 279,
  msgWidth = 281,
  msgResize = 282,
  msgLeft = 283,
  msgTop = 284,
  msgCrop = 285,
  msgInvert = 286,
  msgGrayScale = 287,
  msgMosaic = 288,
  msgFlip = 289,
  msgReverse = 290,
  msgBrightness = 291,
  msgColor = 292,
  msgHueLumSat = 293,
  msgSharpen = 294,
  msgGamma = 295,
  msgEmboss = 296,
  msgContrast = 297,
  msgRotate = 298,
  msgBack = 299,
  msgAutosize = 300,
  msgMirror = 301,
  msgColumns = 302,
  msgRows = 303,
  msgTile = 304,
  msgBevel = 305,
  msgZoom = 306,
  msgColorReplacer = 391,
  msgEqualize = 392,
  msgSobel = 393,
  msgSepia = 394,
};

// Larger gradient bitmaps are not turned pixel by pixel.
constexpr Int64 MaxRotatedGradientPixels = 0xFFFFFF;
constexpr double DegToRad = 0.017453292519943295;

Byte clampByte(Integer V) { return Byte(std::clamp(V, 0, 255)); }
Integer rounded(double V) { return Integer(std::nearbyint(V)); }

// The filter's row table as bytes: 4 per pixel when RGBA, else 3.
struct TRows {
  std::vector<Byte*> Rows;
  Integer Step = 3;
  bool empty() const { return Rows.empty(); }
  Byte* at(Integer X, Integer Y) const { return Rows[Y] + X * Step; }
};

TRows rowsOf(const TTeeFilter& F) {
  TRows R;
  if (F.RGBA) {
    R.Step = 4;
    for (TRGBA* Row : F.LinesRGBA) R.Rows.push_back(reinterpret_cast<Byte*>(Row));
  } else {
    for (TRGB* Row : F.Lines) R.Rows.push_back(reinterpret_cast<Byte*>(Row));
  }
  return R;
}

// Builds the row table (24-bit unless Deep and RGBA) and limits R to the
// bitmap; false when there is nothing to filter.
bool prepare(TTeeFilter& F, TBitmap* Bitmap, TRect& R, TRows& Rows, bool Deep = false) {
  if (!Deep) F.RGBA = false;
  F.TTeeFilter::Apply(Bitmap, R);
  Rows = rowsOf(F);
  if (Rows.empty()) return false;
  R = {std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bitmap->Width() - 1),
       std::min(R.Bottom, Bitmap->Height() - 1)};
  return R.Left <= R.Right && R.Top <= R.Bottom;
}

// Fn(Red, Green, Blue) on every pixel of the inclusive rectangle R.
template <class Fn>
void eachPixel(const TRows& Rows, const TRect& R, Fn&& F) {
  auto Run = [&]<int Step>() {
    for (Integer Y = R.Top; Y <= R.Bottom; ++Y) {
      Byte* P = Rows.Rows[Y] + R.Left * Step;
      for (Integer X = R.Left; X <= R.Right; ++X, P += Step) F(P[2], P[1], P[0]);
    }
  };
  if (Rows.Step == 4)
    Run.template operator()<4>();
  else
    Run.template operator()<3>();
}

// A per-channel table applied to every pixel.
void applyTable(const TRows& Rows, const TRect& R, const std::array<Byte, 256>& T) {
  eachPixel(Rows, R, [&](Byte& Red, Byte& Green, Byte& Blue) {
    Red = T[Red];
    Green = T[Green];
    Blue = T[Blue];
  });
}

void swapPixels(Byte* A, Byte* B, Integer Step) { std::swap_ranges(A, A + Step, B); }

void flipRows(const TRows& Rows, const TRect& R) {
  const Integer Count = (R.Bottom - R.Top + 1) / 2;
  for (Integer K = 0; K < Count; ++K)
    std::swap_ranges(Rows.at(R.Left, R.Top + K), Rows.at(R.Right + 1, R.Top + K), Rows.at(R.Left, R.Bottom - K));
}

void reverseColumns(const TRows& Rows, const TRect& R) {
  const Integer Count = (R.Right - R.Left + 1) / 2;
  for (Integer Y = R.Top; Y <= R.Bottom; ++Y)
    for (Integer K = 0; K < Count; ++K) swapPixels(Rows.at(R.Left + K, Y), Rows.at(R.Right - K, Y), Rows.Step);
}

void fillBitmap(TBitmap* B, TColor Color) {
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(TeeSizeRect(B->Width(), B->Height()));
}

template <class T>
T* sameClass(TPersistent* Source) {
  return dynamic_cast<T*>(Source);
}

String msg(int Index) { return ChartMessage(Index); }

}  // namespace

// ---------------------------------------------------------------------------
// colour model

THLS TeeRGBToHLS(Byte R, Byte G, Byte B) {
  const Integer Mx = std::max({R, G, B}), Mn = std::min({R, G, B});
  const float L = float(((Mx + Mn) * 240 + 255) / 510.0);
  THLS Result;
  Result.L = Word(rounded(L));
  if (Mx == Mn) {
    Result.H = 160;
    return Result;
  }
  const double Sum = Mx + Mn, D = Mx - Mn;
  const double S = L <= 120 ? (D * 240 + Sum / 2) / Sum : (D * 240 + 255 - Sum / 2) / (510 - Sum);
  const double Rd = ((Mx - R) * 40 + D / 2) / D, Gd = ((Mx - G) * 40 + D / 2) / D, Bd = ((Mx - B) * 40 + D / 2) / D;
  double H = R == Mx ? Bd - Gd : G == Mx ? 80 + Rd - Bd : 160 + Gd - Rd;
  if (H < 0) H += 240;
  if (H > 240) H -= 240;
  Result.H = Word(rounded(H));
  Result.S = Word(rounded(S));
  return Result;
}

void TeeHLSToRGB(Integer H, Integer L, Integer S, Byte& R, Byte& G, Byte& B) {
  if (S == 0) {
    R = G = B = clampByte(rounded(L * 255 / 240.0));
    return;
  }
  const float M2 = L <= 120 ? float((L * (S + 240) + 120) / 240.0) : float(L + S - (L * S + 120) / 240.0);
  const float M1 = 2 * L - M2;
  auto Channel = [&](Integer Hue) {
    if (Hue < 0) Hue += 240;
    if (Hue > 240) Hue -= 240;
    Integer V;
    if (Hue < 40)
      V = rounded(M1 + ((M2 - M1) * Hue + 20) / 40);
    else if (Hue < 120)
      V = rounded(M2);
    else if (Hue < 160)
      V = rounded(M1 + ((M2 - M1) * (160 - Hue) + 20) / 40);
    else
      V = rounded(M1);
    return clampByte(rounded((V * 255 + 120) / 240.0));
  };
  R = Channel(H + 80);
  G = Channel(H);
  B = Channel(H - 80);
}

// ---------------------------------------------------------------------------
// per-pixel filters

void TInvertFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows, /*Deep=*/true)) return;
  eachPixel(Rows, R, [](Byte& Red, Byte& Green, Byte& Blue) {
    Red = 255 - Red;
    Green = 255 - Green;
    Blue = 255 - Blue;
  });
}

String TInvertFilter::Description() { return msg(msgInvert); }

void TGrayScaleFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Method", &TGrayScaleFilter::Method, &TGrayScaleFilter::Method).Default(gmSimple);
}

void TGrayScaleFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TGrayScaleFilter>(Source)) Method = S->Method;
  TTeeFilter::Assign(Source);
}

void TGrayScaleFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows, /*Deep=*/true)) return;
  auto Run = [&](auto Grey) {
    eachPixel(Rows, R, [&](Byte& Red, Byte& Green, Byte& Blue) { Red = Green = Blue = Byte(Grey(Red, Green, Blue)); });
  };
  switch (Method) {
    case gmSimple: Run([](Integer Rd, Integer Gr, Integer Bl) { return (Rd + Gr + Bl) / 3; }); break;
    case gmEye: Run([](Integer Rd, Integer Gr, Integer Bl) { return rounded(0.299 * Rd + 0.587 * Gr + 0.114 * Bl); }); break;
    case gmEye2: Run([](Integer Rd, Integer Gr, Integer Bl) { return (16 * Gr + 11 * Rd + 5 * Bl) >> 5; }); break;
    case gmLight:
      Run([](Integer Rd, Integer Gr, Integer Bl) { return (std::max({Rd, Gr, Bl}) + std::min({Rd, Gr, Bl})) >> 1; });
      break;
  }
}

void TGrayScaleFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddCombo(QStringLiteral("Method"));
}

String TGrayScaleFilter::Description() { return msg(msgGrayScale); }

void TAmountFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Amount", &TAmountFilter::Amount, &TAmountFilter::Amount).Default(5);
  Props.Add("Percent", &TAmountFilter::Percent, &TAmountFilter::Percent).Default(true);
}

void TAmountFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TAmountFilter>(Source)) {
    Amount = S->Amount;
    Percent = S->Percent;
  }
  TTeeFilter::Assign(Source);
}

Integer TAmountFilter::minimumAmount() const { return IOnlyPositive ? 0 : Percent ? -100 : -255; }
Integer TAmountFilter::maximumAmount() const { return Percent ? 100 : 255; }

void TAmountFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  IScroll = dynamic_cast<TScrollBar*>(Creator->AddScroll(QStringLiteral("Amount"), minimumAmount(), maximumAmount()));
  Creator->AddCheckBox(QStringLiteral("Percent"), msg(msgPercent), TNotifyEvent(this, &TAmountFilter::percentClicked));
}

void TAmountFilter::percentClicked(TObject*) {
  if (IScroll) IScroll->SetParams(IScroll->Position(), minimumAmount(), maximumAmount());
}

void TBrightnessFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || Amount == 0) return;
  const Integer D = Percent ? rounded(255 * double(float(Amount * 0.01))) : Amount;
  std::array<Byte, 256> T;
  for (Integer V = 0; V < 256; ++V) T[V] = clampByte(V + D);
  applyTable(Rows, R, T);
}

String TBrightnessFilter::Description() { return msg(msgBrightness); }

void TContrastFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  std::array<Byte, 256> T;
  const float P = float(Amount * 0.01);
  for (Integer V = 0; V < 256; ++V)
    T[V] = Percent ? clampByte(V + (rounded(float(V * P)) * (V - 128)) / 256) : clampByte(V + ((V - 128) * Amount) / 256);
  applyTable(Rows, R, T);
}

String TContrastFilter::Description() { return msg(msgContrast); }

TGammaCorrectionFilter::TGammaCorrectionFilter(TCollection* Collection) : TAmountFilter(Collection) {
  Amount = 70;
  IOnlyPositive = true;
}

void TGammaCorrectionFilter::DescribeProperties(TPropertyTable& Props) { Props.Override("Amount").Default(70); }

void TGammaCorrectionFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const float G = Percent ? std::max(0.001f, float(std::abs(Amount) * 0.01)) : std::max(0.001f, float(std::abs(Amount) / 255.0));
  std::array<Byte, 256> T;
  T[0] = 0;
  for (Integer I = 1; I < 256; ++I) T[I] = clampByte(rounded(255 * std::exp(std::log(I / 255.0) / G)));
  applyTable(Rows, R, T);
}

String TGammaCorrectionFilter::Description() { return msg(msgGamma); }

void TColorFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Blue", &TColorFilter::Blue, &TColorFilter::Blue).Default(0);
  Props.Add("Green", &TColorFilter::Green, &TColorFilter::Green).Default(0);
  Props.Add("Red", &TColorFilter::Red, &TColorFilter::Red).Default(0);
}

void TColorFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TColorFilter>(Source)) {
    Red = S->Red;
    Green = S->Green;
    Blue = S->Blue;
  }
  TTeeFilter::Assign(Source);
}

void TColorFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || (Red == 0 && Green == 0 && Blue == 0)) return;
  std::array<Byte, 256> TR, TG, TB;
  for (Integer V = 0; V < 256; ++V) {
    TR[V] = clampByte(V + Red);
    TG[V] = clampByte(V + Green);
    TB[V] = clampByte(V + Blue);
  }
  eachPixel(Rows, R, [&](Byte& Rd, Byte& Gr, Byte& Bl) {
    Rd = TR[Rd];
    Gr = TG[Gr];
    Bl = TB[Bl];
  });
}

void TColorFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  for (const char* Name : {"Red", "Green", "Blue"}) Creator->AddScroll(QString::fromLatin1(Name), -255, 255);
}

String TColorFilter::Description() { return msg(msgColor); }

void TColorReplaceFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Color", &TColorReplaceFilter::Color, &TColorReplaceFilter::Color).Default(clWhite).Idents(ColorIdents());
  Props.Add("FromValue", &TColorReplaceFilter::FromValue, &TColorReplaceFilter::FromValue).Default(Byte(0));
  Props.Add("Method", &TColorReplaceFilter::Method, &TColorReplaceFilter::Method).Default(cmHue);
  Props.Add("ToValue", &TColorReplaceFilter::ToValue, &TColorReplaceFilter::ToValue).Default(Byte(0));
}

void TColorReplaceFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TColorReplaceFilter>(Source)) {
    Color = S->Color;
    FromValue = S->FromValue;
    ToValue = S->ToValue;
    Method = S->Method;
  }
  TTeeFilter::Assign(Source);
}

void TColorReplaceFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const Byte NewR = Byte(Color & 0xFF), NewG = Byte((Color >> 8) & 0xFF), NewB = Byte((Color >> 16) & 0xFF);
  eachPixel(Rows, R, [&](Byte& Rd, Byte& Gr, Byte& Bl) {
    const THLS C = TeeRGBToHLS(Rd, Gr, Bl);
    const Word V = Method == cmHue ? C.H : Method == cmLum ? C.L : C.S;
    if (V < FromValue || V > ToValue) return;
    Rd = NewR;
    Gr = NewG;
    Bl = NewB;
  });
}

void TColorReplaceFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddCombo(QStringLiteral("Method"));
  Creator->AddScroll(QStringLiteral("FromValue"), 0, 255);
  Creator->AddScroll(QStringLiteral("ToValue"), 0, 255);
  Creator->AddColor(QStringLiteral("Color"), QStringLiteral("Color"));
}

String TColorReplaceFilter::Description() { return msg(msgColorReplacer); }

void THueLumSatFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Hue", &THueLumSatFilter::Hue, &THueLumSatFilter::Hue).Default(0);
  Props.Add("Luminance", &THueLumSatFilter::Luminance, &THueLumSatFilter::Luminance).Default(0);
  Props.Add("Saturation", &THueLumSatFilter::Saturation, &THueLumSatFilter::Saturation).Default(0);
}

void THueLumSatFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<THueLumSatFilter>(Source)) {
    Hue = S->Hue;
    Luminance = S->Luminance;
    Saturation = S->Saturation;
  }
  TTeeFilter::Assign(Source);
}

void THueLumSatFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || (Hue == 0 && Luminance == 0 && Saturation == 0)) return;
  auto Moved = [](Integer V, Integer By) { return By == 0 ? V : Integer(clampByte(V + By)); };
  eachPixel(Rows, R, [&](Byte& Rd, Byte& Gr, Byte& Bl) {
    const THLS C = TeeRGBToHLS(Rd, Gr, Bl);
    TeeHLSToRGB(Moved(C.H, Hue), Moved(C.L, Luminance), Moved(C.S, Saturation), Rd, Gr, Bl);
  });
}

void THueLumSatFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  for (const char* Name : {"Hue", "Luminance", "Saturation"}) Creator->AddScroll(QString::fromLatin1(Name), -255, 255);
}

String THueLumSatFilter::Description() { return msg(msgHueLumSat); }

void TSepiaFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  eachPixel(Rows, R, [](Byte& Rd, Byte& Gr, Byte& Bl) {
    const double R0 = Rd, G0 = Gr, B0 = Bl;
    Rd = clampByte(rounded(0.393 * R0 + 0.769 * G0 + 0.189 * B0));
    Gr = clampByte(rounded(0.349 * R0 + 0.686 * G0 + 0.168 * B0));
    Bl = clampByte(rounded(0.272 * R0 + 0.534 * G0 + 0.131 * B0));
  });
}

String TSepiaFilter::Description() { return msg(msgSepia); }

// ---------------------------------------------------------------------------
// neighbourhood filters

TSharpenFilter::TSharpenFilter(TCollection* Collection) : TConvolveFilter(Collection) {
  for (auto& Row : Weights) std::fill(std::begin(Row), std::end(Row), -0.125f);
  Weights[1][1] = 2;
}

String TSharpenFilter::Description() { return msg(msgSharpen); }

TEmbossFilter::TEmbossFilter(TCollection* Collection) : TConvolveFilter(Collection) {
  const float W[3][3] = {{0, -1, 0}, {-1, 1, 1}, {0, -1, 0}};
  std::copy(&W[0][0], &W[0][0] + 9, &Weights[0][0]);
}

String TEmbossFilter::Description() { return msg(msgEmboss); }

TSoftenFilter::TSoftenFilter(TCollection* Collection) : TConvolveFilter(Collection) {
  const float W[3][3] = {{0, 0, 0}, {0, 1, 1}, {0, 1, 1}};
  std::copy(&W[0][0], &W[0][0] + 9, &Weights[0][0]);
}

String TSoftenFilter::Description() { return msg(msgAntialias); }

TMosaicFilter::TMosaicFilter(TCollection* Collection) : TAmountFilter(Collection) {
  Amount = 8;
  Percent = false;
  IOnlyPositive = true;
}

void TMosaicFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Override("Amount").Default(8);
  Props.Override("Percent").Default(false);
}

void TMosaicFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || Amount <= 0) return;
  const Integer S =
      Percent ? std::max(1, rounded(std::min(R.Right - R.Left, R.Bottom - R.Top) * Amount * 0.01)) : Amount;
  auto Block = [&](Integer X0, Integer X1, Integer Y0, Integer Y1) {  // inclusive
    Integer Sum[3] = {0, 0, 0};
    for (Integer Y = Y0; Y <= Y1; ++Y)
      for (Integer X = X0; X <= X1; ++X)
        for (int K = 0; K < 3; ++K) Sum[K] += Rows.at(X, Y)[K];
    const float F = float(1.0 / ((X1 - X0 + 1) * (Y1 - Y0 + 1)));
    Byte Mean[3];
    for (int K = 0; K < 3; ++K) Mean[K] = clampByte(rounded(Sum[K] * double(F)));
    for (Integer Y = Y0; Y <= Y1; ++Y)
      for (Integer X = X0; X <= X1; ++X) std::copy(Mean, Mean + 3, Rows.at(X, Y));
  };
  auto BlockRow = [&](Integer Y0, Integer Y1) {
    Integer X = R.Left;
    for (; X < R.Right - S; X += S) Block(X, X + S - 1, Y0, Y1);
    if (X < R.Right) Block(X, R.Right, Y0, Y1);
  };
  Integer Y = R.Top;
  for (; Y < R.Bottom - S; Y += S) BlockRow(Y, Y + S - 1);
  // the rectangle's bottom row keeps its pixels
  if (Y < R.Bottom) BlockRow(Y, R.Bottom - 1);
}

String TMosaicFilter::Description() { return msg(msgMosaic); }

void TEqualizeFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const TRect In{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  if (In.Left > In.Right || In.Top > In.Bottom) return;
  Byte Min[3] = {255, 255, 255}, Max[3] = {0, 0, 0};
  for (Integer Y = In.Top; Y <= In.Bottom; ++Y)
    for (Integer X = In.Left; X <= In.Right; ++X)
      for (int K = 0; K < 3; ++K) {
        Min[K] = std::min(Min[K], Rows.at(X, Y)[K]);
        Max[K] = std::max(Max[K], Rows.at(X, Y)[K]);
      }
  if (Min[0] == 0 && Min[1] == 0 && Min[2] == 0 && Max[0] == 255 && Max[1] == 255 && Max[2] == 255) return;
  std::array<Byte, 256> T[3];
  for (int K = 0; K < 3; ++K) {
    const float F = Max[K] == Min[K] ? 0.0f : float(255.0 / (Max[K] - Min[K]));
    for (Integer V = 0; V < 256; ++V) T[K][V] = clampByte(rounded((V - Min[K]) * double(F)));
  }
  eachPixel(Rows, In, [&](Byte& Rd, Byte& Gr, Byte& Bl) {
    Bl = T[0][Bl];
    Gr = T[1][Gr];
    Rd = T[2][Rd];
  });
}

String TEqualizeFilter::Description() { return msg(msgEqualize); }

void TSobelFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const Integer W = R.Right - R.Left + 1, H = R.Bottom - R.Top + 1;
  std::vector<Integer> Grey(size_t(W) * H, 0);
  auto G = [&](Integer X, Integer Y) -> Integer& { return Grey[size_t(Y) * W + X]; };
  for (Integer Y = 1; Y < H - 1; ++Y)
    for (Integer X = 1; X < W - 1; ++X) {
      const Byte* P = Rows.at(R.Left + X, R.Top + Y);
      G(X, Y) = (P[0] + P[1] + P[2]) / 3;
    }
  for (Integer Y = 1; Y < H - 1; ++Y)
    for (Integer X = 1; X < W - 1; ++X) {
      const Integer SX = G(X - 1, Y - 1) + 2 * G(X - 1, Y) + G(X - 1, Y + 1) - G(X + 1, Y - 1) - 2 * G(X + 1, Y) -
                         G(X + 1, Y + 1);
      const Integer SY = G(X - 1, Y - 1) + 2 * G(X, Y - 1) + G(X + 1, Y - 1) - G(X - 1, Y + 1) - 2 * G(X, Y + 1) -
                         G(X + 1, Y + 1);
      Byte* P = Rows.at(R.Left + X, R.Top + Y);
      P[0] = P[1] = P[2] = Byte(std::min(std::abs(SX) + std::abs(SY), 255));
    }
}

String TSobelFilter::Description() { return msg(msgSobel); }

void TBevelFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Bright", &TBevelFilter::Bright, &TBevelFilter::Bright).Default(64);
  Props.Add("Size", &TBevelFilter::Size, &TBevelFilter::Size).Default(15);
}

void TBevelFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TBevelFilter>(Source)) {
    Bright = S->Bright;
    Size = S->Size;
  }
  TTeeFilter::Assign(Source);
}

void TBevelFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  auto Brighten = [&](Integer X, Integer Y) {
    Byte* P = Rows.at(X, Y);
    for (int K = 0; K < 3; ++K) P[K] = Byte(std::min(P[K] + Bright, 255));
  };
  auto Darken = [&](Integer X, Integer Y) {
    Byte* P = Rows.at(X, Y);
    for (int K = 0; K < 3; ++K) P[K] = Byte(std::max(P[K] - Bright, 0));
  };
  for (Integer K = 0; K < Size; ++K) {
    if (K < (R.Bottom - R.Top) / 2)
      for (Integer X = R.Left + K; X <= R.Right - K; ++X) {
        Brighten(X, R.Top + K);
        Darken(X, R.Bottom - K);
      }
    if (K < (R.Right - R.Left) / 2)
      for (Integer Y = R.Top + K + 1; Y <= R.Bottom - K; ++Y) {
        Brighten(R.Left + K, Y);
        Darken(R.Right - K, Y);
      }
  }
}

void TBevelFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddScroll(QStringLiteral("Bright"), 1, 255);
  Creator->AddScroll(QStringLiteral("Size"), 1, 1000);
}

String TBevelFilter::Description() { return msg(msgBevel); }

void TFlipFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (prepare(*this, Bitmap, R, Rows)) flipRows(Rows, R);
}

String TFlipFilter::Description() { return msg(msgFlip); }

void TReverseFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (prepare(*this, Bitmap, R, Rows)) reverseColumns(Rows, R);
}

String TReverseFilter::Description() { return msg(msgReverse); }

// ---------------------------------------------------------------------------
// geometry filters

void TResizeFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Height", &TResizeFilter::Height, &TResizeFilter::Height).Default(0);
  Props.Add("Width", &TResizeFilter::Width, &TResizeFilter::Width).Default(0);
}

void TResizeFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TResizeFilter>(Source)) {
    Width = S->Width;
    Height = S->Height;
  }
  TTeeFilter::Assign(Source);
}

void TResizeFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || Width <= 0 || Height <= 0) return;
  TBitmap Resized;
  Resized.SetPixelFormat(pf24bit);
  Resized.SetSize(Width, Height);
  TeeSmoothStretch(Bitmap, &Resized);
  Bitmap->SetSize(Width, Height);
  Bitmap->Canvas()->Draw(0, 0, &Resized);
}

void TResizeFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddInteger(QStringLiteral("Width"), msg(msgWidth), 0, 10000);
  Creator->AddInteger(QStringLiteral("Height"), msg(msgHeight), 0, 10000);
}

String TResizeFilter::Description() { return msg(msgResize); }

void TCropFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Left", &TCropFilter::Left, &TCropFilter::Left).Default(0);
  Props.Add("Smooth", &TCropFilter::Smooth, &TCropFilter::Smooth).Default(false);
  Props.Add("Top", &TCropFilter::Top, &TCropFilter::Top).Default(0);
}

void TCropFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TCropFilter>(Source)) {
    Left = S->Left;
    Top = S->Top;
    Smooth = S->Smooth;
  }
  TResizeFilter::Assign(Source);
}

void TCropFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows) || Width <= 0 || Height <= 0) return;
  TBitmap Part;
  Part.SetPixelFormat(Bitmap->PixelFormat());
  Part.SetSize(Width, Height);
  // the source's right and bottom edges are exclusive: the part is stretched by one pixel
  Part.Canvas()->CopyRect(TeeSizeRect(Width, Height), Bitmap->Canvas(),
                          {Left, Top, Left + Width - 1, Top + Height - 1});
  if (Smooth)
    TeeSmoothStretch(&Part, Bitmap);
  else
    Bitmap->Canvas()->StretchDraw({0, 0, Bitmap->Width() - 1, Bitmap->Height() - 1}, &Part);
}

void TCropFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TResizeFilter::CreateEditor(Creator, AChanged);
  Creator->AddInteger(QStringLiteral("Left"), msg(msgLeft), 0, 10000);
  Creator->AddInteger(QStringLiteral("Top"), msg(msgTop), 0, 10000);
  Creator->AddCheckBox(QStringLiteral("Smooth"), msg(msgSmooth), {});
}

String TCropFilter::Description() { return msg(msgCrop); }

TZoomFilter::TZoomFilter(TCollection* Collection) : TTeeFilter(Collection) {}

void TZoomFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Percent", &TZoomFilter::Percent, &TZoomFilter::Percent);
  Props.Add("Smooth", &TZoomFilter::Smooth, &TZoomFilter::Smooth).Default(false);
}

void TZoomFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TZoomFilter>(Source)) {
    Percent = S->Percent;
    Smooth = S->Smooth;
  }
  TTeeFilter::Assign(Source);
}

void TZoomFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const Integer A = R.Right - R.Left + 1, B = R.Bottom - R.Top + 1;
  const Integer DX = rounded(Percent * A * 0.005), DY = rounded(Percent * B * 0.005);
  TCropFilter Crop(nullptr);
  Crop.Width = std::max(1, A - 2 * DX);
  Crop.Height = std::max(1, B - 2 * DY);
  Crop.Smooth = Smooth;
  if (A == Bitmap->Width() && B == Bitmap->Height()) {
    Crop.Left = R.Left + DX;
    Crop.Top = R.Top + DY;
    Crop.Apply(Bitmap);
    return;
  }
  TBitmap Part;
  Part.SetPixelFormat(pf24bit);
  Part.SetSize(A, B);
  Part.Canvas()->CopyRect(TeeSizeRect(A, B), Bitmap->Canvas(), {R.Left, R.Top, R.Right + 1, R.Bottom + 1});
  Crop.Left = DX;
  Crop.Top = DY;
  Crop.Apply(&Part);
  Bitmap->Canvas()->Draw(R.Left, R.Top, &Part);
}

void TZoomFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddScroll(QStringLiteral("Percent"), 0, 100);
  Creator->AddCheckBox(QStringLiteral("Smooth"), msg(msgSmooth), {});
}

String TZoomFilter::Description() { return msg(msgZoom); }

void TTileFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("NumCols", &TTileFilter::NumCols, &TTileFilter::NumCols).Default(3);
  Props.Add("NumRows", &TTileFilter::NumRows, &TTileFilter::NumRows).Default(3);
}

void TTileFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TTileFilter>(Source)) {
    NumCols = S->NumCols;
    NumRows = S->NumRows;
  }
  TTeeFilter::Assign(Source);
}

void TTileFilter::Apply(TBitmap* Bitmap, const TRect&) {
  TRect R = TeeRect(0, 0, Bitmap->Width() - 1, Bitmap->Height() - 1);
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  NumCols = std::max(1, NumCols);
  NumRows = std::max(1, NumRows);
  const Integer TW = (R.Right - R.Left) / NumCols, TH = (R.Bottom - R.Top) / NumRows;
  if (TW <= 0 || TH <= 0) return;
  TBitmap Tile;
  Tile.SetPixelFormat(pf24bit);
  Tile.SetSize(TW, TH);
  TeeSmoothStretch(Bitmap, &Tile);
  for (Integer Row = 0; Row < NumRows; ++Row)
    for (Integer Col = 0; Col < NumCols; ++Col) Bitmap->Canvas()->Draw(TW * Col, TH * Row, &Tile);
}

void TTileFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddInteger(QStringLiteral("NumCols"), msg(msgColumns), 1, 1000);
  Creator->AddInteger(QStringLiteral("NumRows"), msg(msgRows), 1, 1000);
}

String TTileFilter::Description() { return msg(msgTile); }

TMirrorFilter::TMirrorFilter(TCollection* Collection) : TTeeFilter(Collection) { AllowRegion = false; }

void TMirrorFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Direction", &TMirrorFilter::Direction, &TMirrorFilter::Direction).Default(mdDown);
}

void TMirrorFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TMirrorFilter>(Source)) Direction = S->Direction;
  TTeeFilter::Assign(Source);
}

void TMirrorFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  const bool Vertical = Direction == mdDown || Direction == mdUp;
  TBitmap Mirrored;
  Mirrored.Assign(Bitmap);
  TTeeFilter::ApplyTo(Vertical ? TFlipFilter::StaticClass() : TReverseFilter::StaticClass(), &Mirrored);
  // rows copied directly: drawing 24-bit bitmaps through the canvas costs a
  // conversion per draw
  TBitmap Doubled;
  Doubled.SetPixelFormat(pf24bit);
  Doubled.SetSize(Vertical ? W : 2 * W, Vertical ? 2 * H : H);
  const TRGBArray Out = TeeCalcScanLines(&Doubled);
  const TRGBArray Plain = TeeCalcScanLines(Bitmap), Turned = TeeCalcScanLines(&Mirrored);
  const bool MirrorFirst = Direction == mdUp || Direction == mdLeft;
  const TRGBArray& First = MirrorFirst ? Turned : Plain;
  const TRGBArray& Second = MirrorFirst ? Plain : Turned;
  for (Integer Y = 0; Y < H; ++Y) {
    if (Vertical) {
      std::copy(First[Y], First[Y] + W, Out[Y]);
      std::copy(Second[Y], Second[Y] + W, Out[H + Y]);
    } else {
      std::copy(First[Y], First[Y] + W, Out[Y]);
      std::copy(Second[Y], Second[Y] + W, Out[Y] + W);
    }
  }
  Bitmap->Assign(&Doubled);
}

void TMirrorFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddCombo(QStringLiteral("Direction"));
}

String TMirrorFilter::Description() { return msg(msgMirror); }

void TRotateFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Angle", &TRotateFilter::Angle, &TRotateFilter::Angle);
  Props.Add("AutoSize", &TRotateFilter::AutoSize, &TRotateFilter::AutoSize).Default(true);
  Props.Add("BackColor", &TRotateFilter::BackColor, &TRotateFilter::BackColor).Default(clWhite).Idents(ColorIdents());
}

void TRotateFilter::Assign(TPersistent* Source) {
  if (auto* S = sameClass<TRotateFilter>(Source)) {
    Angle = S->Angle;
    AutoSize = S->AutoSize;
    BackColor = S->BackColor;
  }
  TTeeFilter::Assign(Source);
}

void TRotateFilter::Apply(TBitmap* Bitmap, const TRect& ARect) {
  TRect R = ARect;
  TRows Rows;
  if (!prepare(*this, Bitmap, R, Rows)) return;
  while (Angle > 360) Angle -= 360;
  if (Angle == 180) {
    TTeeFilter::ApplyTo(TFlipFilter::StaticClass(), Bitmap);
    TTeeFilter::ApplyTo(TReverseFilter::StaticClass(), Bitmap);
    return;
  }
  if (Angle == 0) return;
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  const bool Quarter = Angle == 90 || Angle == 270;
  const float S = float(std::sin((360 - Angle) * DegToRad)), C = float(std::cos((360 - Angle) * DegToRad));
  Integer NW = W, NH = H;
  if (Quarter) {
    NW = H;
    NH = W;
  } else if (AutoSize) {
    if (S * C > 0) {
      NW = std::abs(rounded(W * C + H * S));
      NH = std::abs(rounded(W * S + H * C));
    } else {
      NW = std::abs(rounded(W * C - H * S));
      NH = std::abs(rounded(W * S - H * C));
    }
  }
  if (W <= 1 || H <= 1) return;
  TBitmap Turned;
  Turned.SetPixelFormat(pf24bit);
  Turned.SetSize(NW, NH);
  // a new bitmap is black: every background but transparency is filled
  fillBitmap(&Turned, BackColor == clNone ? clWhite : BackColor);
  if (BackColor == clNone) {
    Turned.SetTransparentColor(clWhite);
    Turned.SetTransparent(true);
  }
  const TRGBArray Old = Lines;
  const TRGBArray New = TeeCalcScanLines(&Turned);
  if (Angle == 90) {
    for (Integer Y = 0; Y < H; ++Y)
      for (Integer X = 0; X < W; ++X) New[X][H - 1 - Y] = Old[Y][X];
  } else if (Angle == 270) {
    for (Integer Y = 0; Y < H; ++Y)
      for (Integer X = 0; X < W; ++X) New[W - 1 - X][Y] = Old[Y][X];
  } else {
    for (Integer I = 0; I < NH; ++I) {
      const float F = float(I - NH / 2);
      for (Integer J = 0; J < NW; ++J) {
        const float G = float(J - NW / 2);
        const Integer X = rounded(G * C - F * S + W / 2), Y = rounded(G * S + F * C + H / 2);
        if (X >= 0 && X < W && Y >= 0 && Y < H) New[I][J] = Old[Y][X];
      }
    }
  }
  Bitmap->Assign(&Turned);
}

void TRotateFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TTeeFilter::CreateEditor(Creator, AChanged);
  Creator->AddScroll(QStringLiteral("Angle"), 0, 360);
  Creator->AddColor(QStringLiteral("BackColor"), msg(msgBack));
  Creator->AddCheckBox(QStringLiteral("AutoSize"), msg(msgAutosize), {});
}

String TRotateFilter::Description() { return msg(msgRotate); }

// ---------------------------------------------------------------------------
// TImageFiltered

TImageFiltered::TImageFiltered(TComponent* AOwner)
    : TImage(AOwner), FFilters(new TFilterItems(this)) {
  FControlStyle.Include(csOpaque);
  InheritedChanged = Picture()->OnChange;
  Picture()->OnChange = TNotifyEvent(this, &TImageFiltered::pictureChanged);
  FFilters->OnChange = TNotifyEvent(this, &TImageFiltered::filtersChanged);
}

TImageFiltered::~TImageFiltered() {
  dropCache();
  FFilters->Free();
}

void TImageFiltered::DescribeProperties(TPropertyTable& Props) {
  // streamed as "FilterItems"
  Props.Add("Filters", &TImageFiltered::Filters, &TImageFiltered::SetFilters).Stored(false);
}

void TImageFiltered::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TImageFiltered*>(Source)) SetFilters(S->FFilters);
  TImage::Assign(Source);
}

void TImageFiltered::SetFilters(TFilterItems* Value) {
  FFilters->Assign(Value);
  dropCache();
}

void TImageFiltered::dropCache() { FreeAndNil(IFilteredPicture); }

void TImageFiltered::pictureChanged(TObject* Sender) {
  if (!IAssigning) dropCache();
  if (InheritedChanged) InheritedChanged(Sender);
}

void TImageFiltered::filtersChanged(TObject*) { Invalidate(); }

TBitmap* TImageFiltered::Filtered() {
  if (FFilters->Changed) {
    dropCache();
    FFilters->Changed = false;
  }
  if (IFilteredPicture) return IFilteredPicture;
  if (!Picture()->Graphic()) return nullptr;
  IFilteredPicture = new TBitmap;
  {
    IAssigning = true;
    const TScopeExit Done([&] { IAssigning = false; });
    TTeePicture::AssignGraphic(IFilteredPicture, Picture()->Graphic());
  }
  FFilters->ApplyTo(IFilteredPicture);
  return IFilteredPicture;
}

void TImageFiltered::Paint() {
  TCanvas* C = TGraphicControl::Canvas();
  if (TBitmap* B = Filtered()) {
    const TRect D = DestRect();
    if (B->Width() == D.Width() && B->Height() == D.Height())
      C->Draw(D.Left, D.Top, B);
    else
      C->StretchDraw(D, B);
  }
  if (!ComponentState().Contains(csDesigning)) return;
  C->Pen()->SetStyle(psDash);
  C->Brush()->SetStyle(bsClear);
  gdi::SetBkMode(C->Handle(), gdi::TRANSPARENT);
  C->Rectangle(0, 0, Width(), Height());
}

void TImageFiltered::DefineProperties(TFiler* Filer) {
  TImage::DefineProperties(Filer);
  Filer->DefineProperty(QStringLiteral("FilterItems"), TReaderProc(this, &TImageFiltered::readFilters),
                        TWriterProc(this, &TImageFiltered::writeFilters), FFilters->Count() > 0);
}

void TImageFiltered::readFilters(TReader* Reader) { FFilters->ReadData(Reader); }
void TImageFiltered::writeFilters(TWriter* Writer) { FFilters->WriteData(Writer); }

// ---------------------------------------------------------------------------
// registry and unit

namespace {

struct TFiltersUnitState {
  std::vector<String> Names;
};

std::unique_ptr<TFiltersUnitState>& filtersState() {
  static std::unique_ptr<TFiltersUnitState> State;
  return State;
}

TFiltersUnitState& ensureState() {
  auto& S = filtersState();
  if (!S) S = std::make_unique<TFiltersUnitState>();
  return *S;
}

}  // namespace

void TeeRegisterFilterClasses(std::initializer_list<TClass> FilterClasses) {
  TeeActivateClassGroup();
  std::vector<String>& Names = ensureState().Names;
  for (TClass C : FilterClasses) {
    if (std::find(Names.begin(), Names.end(), C->ClassName()) != Names.end()) continue;
    Names.push_back(C->ClassName());
    RegisterClass(C);
  }
}

const std::vector<String>& TeeFilterClassNames() { return ensureState().Names; }

void TeeRotateGradientWithFilter(TCustomTeeGradient* Gradient, TBitmap* Bitmap) {
  if (Int64(Bitmap->Width()) * Bitmap->Height() > MaxRotatedGradientPixels) return;
  TRotateFilter Rotate(nullptr);
  Rotate.Angle = Gradient->Angle();
  Rotate.Apply(Bitmap);
}

void InitializeFilters() {
  TeeActivateClassGroup();
  TeeRegisterFilterClasses({TInvertFilter::StaticClass(), TGrayScaleFilter::StaticClass(),
                            TMosaicFilter::StaticClass(), TFlipFilter::StaticClass(), TReverseFilter::StaticClass(),
                            TBrightnessFilter::StaticClass(), TContrastFilter::StaticClass(),
                            TColorFilter::StaticClass(), TColorReplaceFilter::StaticClass(),
                            THueLumSatFilter::StaticClass(), TBlurFilter::StaticClass(),
                            TSharpenFilter::StaticClass(), TGammaCorrectionFilter::StaticClass(),
                            TEmbossFilter::StaticClass(), TSoftenFilter::StaticClass(), TCropFilter::StaticClass(),
                            TResizeFilter::StaticClass(), TRotateFilter::StaticClass(), TMirrorFilter::StaticClass(),
                            TTileFilter::StaticClass(), TBevelFilter::StaticClass(), TEqualizeFilter::StaticClass(),
                            TZoomFilter::StaticClass(), TSobelFilter::StaticClass(), TSepiaFilter::StaticClass()});
  SetTeeRotateGradientBitmap(&TeeRotateGradientWithFilter);
}

void FinalizeFilters() {
  SetTeeRotateGradientBitmap(nullptr);
  filtersState().reset();
}
