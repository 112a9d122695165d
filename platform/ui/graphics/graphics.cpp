#include "platform/ui/graphics/graphics.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphicsstate_p.h"

#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/metrics.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

using namespace gdi;

// ---------------------------------------------------------------------------
// colours

namespace {

constexpr TIdentMapEntry ColorIdentTable[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

}  // namespace

Integer ColorToRGB(TColor Color) {
  if ((Color & clSystemColor) != clSystemColor) return Color;
  return Integer(GetSysColor(Color & 0xFF));
}

TIdentMap ColorIdents() { return ColorIdentTable; }

bool ColorToIdent(Integer Color, String& Ident) { return IntToIdent(Color, Ident, ColorIdentTable); }

bool IdentToColor(const String& Ident, Integer& Color) { return IdentToInt(Ident, Color, ColorIdentTable); }

String ColorToString(TColor Color) {
  String Ident;
  if (ColorToIdent(Color, Ident)) return Ident;
  return QStringLiteral("$") + IntToHex(Color, 8);
}

TColor StringToColor(const String& S) {
  Integer Color;
  if (IdentToColor(S, Color)) return Color;
  return StrToInt(S);
}

void GetColorValues(TGetStrProc Proc) {
  for (const TIdentMapEntry& E : ColorIdentTable) Proc(String::fromLatin1(E.Name));
}

void RGBtoHSL(TColor Color, float& H, float& S, float& L) {
  const COLORREF C = COLORREF(ColorToRGB(Color));
  const float R = GetRValue(C) / 255.0f, G = GetGValue(C) / 255.0f, B = GetBValue(C) / 255.0f;
  const float Max = std::max({R, G, B}), Min = std::min({R, G, B});
  L = (Max + Min) / 2;
  if (Max == Min) {
    H = 0;
    S = 0;
    return;
  }
  const float D = Max - Min;
  S = L < 0.5f ? D / (Max + Min) : D / (2 - Max - Min);
  if (Max == R)
    H = (G - B) / D + (G < B ? 6 : 0);
  else if (Max == G)
    H = (B - R) / D + 2;
  else
    H = (R - G) / D + 4;
  H /= 6;
}

TColor HSLtoRGB(float H, float S, float L) {
  auto channel = [](float P, float Q, float T) {
    if (T < 0) T += 1;
    if (T > 1) T -= 1;
    if (T < 1.0f / 6) return P + (Q - P) * 6 * T;
    if (T < 0.5f) return Q;
    if (T < 2.0f / 3) return P + (Q - P) * (2.0f / 3 - T) * 6;
    return P;
  };
  float R = L, G = L, B = L;
  if (S != 0) {
    const float Q = L < 0.5f ? L * (1 + S) : L + S - L * S;
    const float P = 2 * L - Q;
    R = channel(P, Q, H + 1.0f / 3);
    G = channel(P, Q, H);
    B = channel(P, Q, H - 1.0f / 3);
  }
  auto byte = [](float V) { return BYTE(std::clamp<Int64>(Round(double(V) * 255), 0, 255)); };
  return TColor(RGB(byte(R), byte(G), byte(B)));
}

Integer PenModeToRop2(TPenMode Mode) {
  static constexpr Integer Rop2[] = {R2_BLACK,      R2_WHITE,      R2_NOP,         R2_NOT,
                                     R2_COPYPEN,    R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                     R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                     R2_MASKPEN,    R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return Rop2[Mode];
}

// ---------------------------------------------------------------------------
// handle caches: equal attributes share one handle, freed with its last user

namespace {

template <class Key>
class THandleCache {
public:
  template <class Make>
  HGDIOBJ Acquire(const Key& K, Make MakeHandle) {
    std::lock_guard Guard(FLock);
    for (TEntry& E : FEntries)
      if (E.K == K) {
        ++E.Refs;
        return E.Handle;
      }
    HGDIOBJ Handle = MakeHandle();
    FEntries.push_back({K, Handle, 1});
    return Handle;
  }

  void Release(HGDIOBJ Handle) {
    std::lock_guard Guard(FLock);
    auto It = std::find_if(FEntries.begin(), FEntries.end(), [&](const TEntry& E) { return E.Handle == Handle; });
    assert(It != FEntries.end() && "releasing a handle the cache did not give out");
    if (--It->Refs > 0) return;
    DeleteObject(Handle);
    FEntries.erase(It);
  }

private:
  struct TEntry {
    Key K;
    HGDIOBJ Handle;
    int Refs;
  };
  std::mutex FLock;
  std::vector<TEntry> FEntries;
};

struct TPenKey {
  UINT Style;
  int Width;
  COLORREF Color;
  bool operator==(const TPenKey&) const = default;
};

struct TBrushKey {
  UINT Style;
  int Hatch;
  COLORREF Color;
  bool operator==(const TBrushKey&) const = default;
};

}  // namespace

struct graphics_detail::THandleCaches {
  THandleCache<LOGFONTW> Fonts;
  THandleCache<TPenKey> Pens;
  THandleCache<TBrushKey> Brushes;
};

namespace {

THandleCache<LOGFONTW>& fontCache() { return GraphicsState().HandleCaches.Get().Fonts; }
THandleCache<TPenKey>& penCache() { return GraphicsState().HandleCaches.Get().Pens; }
THandleCache<TBrushKey>& brushCache() { return GraphicsState().HandleCaches.Get().Brushes; }

}  // namespace

// ---------------------------------------------------------------------------
// TGraphicsObject

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont

namespace {

constexpr Integer DefaultFontSize = 8;

BYTE pitchByte(TFontPitch Pitch) {
  switch (Pitch) {
    case fpFixed: return FIXED_PITCH;
    case fpVariable: return VARIABLE_PITCH;
    default: return DEFAULT_PITCH;
  }
}

TFontPitch pitchOf(BYTE PitchAndFamily) {
  switch (PitchAndFamily & 0x0F) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
  }
}

}  // namespace

TFont::TFont()
    : FName(QStringLiteral("Tahoma")),
      FColor(clWindowText),
      FCharset(DEFAULT_CHARSET),
      FPixelsPerInch(ScreenMetrics().PixelsPerInch) {
  FHeight = -MulDiv(DefaultFontSize, FPixelsPerInch, 72);
}

TFont::~TFont() { releaseHandle(); }

void TFont::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Charset", &TFont::Charset, &TFont::SetCharset).Default(TFontCharset(DEFAULT_CHARSET));
  Props.Add("Color", &TFont::Color, &TFont::SetColor).Idents(ColorIdents());
  Props.Add("Height", &TFont::Height, &TFont::SetHeight);
  Props.Add("Name", &TFont::Name, &TFont::SetName);
  Props.Add("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
  Props.Add("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  Props.Add("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  Props.Add("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles());
  Props.Add("Quality", &TFont::Quality, &TFont::SetQuality).Default(fqDefault);
}

void TFont::Assign(TPersistent* Source) {
  auto* F = dynamic_cast<TFont*>(Source);
  if (!F) {
    TGraphicsObject::Assign(Source);
    return;
  }
  const Integer NewHeight = F->FPixelsPerInch == FPixelsPerInch ? F->FHeight : -MulDiv(F->Size(), FPixelsPerInch, 72);
  const bool Same = FName == F->FName && FHeight == NewHeight && FStyle == F->FStyle && FColor == F->FColor &&
                    FCharset == F->FCharset && FPitch == F->FPitch && FOrientation == F->FOrientation &&
                    FQuality == F->FQuality;
  if (Same) return;
  FName = F->FName;
  FHeight = NewHeight;
  FStyle = F->FStyle;
  FColor = F->FColor;
  FCharset = F->FCharset;
  FPitch = F->FPitch;
  FOrientation = F->FOrientation;
  FQuality = F->FQuality;
  Changed();
}

void TFont::SetName(const TFontName& Value) {
  if (Value.isEmpty() || FName == Value) return;
  FName = Value;
  Changed();
}

Integer TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(Integer Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  TGraphicsObject::Changed();  // the colour is not part of the handle
}

void TFont::SetCharset(TFontCharset Value) {
  if (FCharset == Value) return;
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (FPitch == Value) return;
  FPitch = Value;
  Changed();
}

void TFont::SetOrientation(Integer Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TFont::SetQuality(TFontQuality Value) {
  if (FQuality == Value) return;
  FQuality = Value;
  Changed();
}

void TFont::SetPixelsPerInch(Integer Value) {
  if (Value > 0) FPixelsPerInch = Value;
}

LOGFONTW TFont::LogFont() const {
  LOGFONTW LF;
  LF.lfHeight = FHeight;
  LF.lfEscapement = FOrientation;
  LF.lfOrientation = FOrientation;
  LF.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  LF.lfItalic = FStyle.Contains(fsItalic);
  LF.lfUnderline = FStyle.Contains(fsUnderline);
  LF.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  LF.lfCharSet = FCharset;
  LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
  LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  LF.lfQuality = BYTE(FQuality);  // fqDefault .. fqClearTypeNatural = DEFAULT_QUALITY .. CLEARTYPE_NATURAL_QUALITY
  LF.lfPitchAndFamily = pitchByte(FPitch);
  SetLogFontFaceName(LF, FName);
  return LF;
}

HFONT TFont::Handle() {
  if (!FHandle) {
    const LOGFONTW LF = LogFont();
    FHandle = static_cast<HFONT>(fontCache().Acquire(LF, [&] { return CreateFontIndirectW(LF); }));
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTW LF;
  if (!GetObjectW(Value, sizeof(LF), &LF)) return;
  TFontStyles Style;
  if (LF.lfWeight >= FW_BOLD) Style.Include(fsBold);
  if (LF.lfItalic) Style.Include(fsItalic);
  if (LF.lfUnderline) Style.Include(fsUnderline);
  if (LF.lfStrikeOut) Style.Include(fsStrikeOut);
  FName = LogFontFaceName(LF);
  FHeight = LF.lfHeight;
  FStyle = Style;
  FCharset = LF.lfCharSet;
  FPitch = pitchOf(LF.lfPitchAndFamily);
  FOrientation = LF.lfOrientation;
  FQuality = LF.lfQuality <= CLEARTYPE_NATURAL_QUALITY ? TFontQuality(LF.lfQuality) : fqDefault;
  Changed();
}

void TFont::Changed() {
  releaseHandle();
  TGraphicsObject::Changed();
}

void TFont::releaseHandle() {
  if (!FHandle) return;
  fontCache().Release(FHandle);
  FHandle = nullptr;
}

// ---------------------------------------------------------------------------
// TPen

namespace {

// Geometric pen styles (user dashes, alternate pixels) draw solid until
// geometric pens exist.
UINT penStyle(TPenStyle Style) {
  switch (Style) {
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    case psClear: return PS_NULL;
    case psInsideFrame: return PS_INSIDEFRAME;
    default: return PS_SOLID;
  }
}

}  // namespace

TPen::~TPen() { releaseHandle(); }

void TPen::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Color", &TPen::Color, &TPen::SetColor).Idents(ColorIdents()).Default(clBlack);
  Props.Add("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  Props.Add("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  Props.Add("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

void TPen::Assign(TPersistent* Source) {
  auto* P = dynamic_cast<TPen*>(Source);
  if (!P) {
    TGraphicsObject::Assign(Source);
    return;
  }
  if (FColor == P->FColor && FWidth == P->FWidth && FStyle == P->FStyle && FMode == P->FMode) return;
  FColor = P->FColor;
  FWidth = P->FWidth;
  FStyle = P->FStyle;
  FMode = P->FMode;
  Changed();
}

void TPen::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(Integer Value) {
  if (Value < 0 || FWidth == Value) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (FMode == Value) return;
  FMode = Value;
  TGraphicsObject::Changed();  // the mode is the DC's ROP2, not part of the handle
}

HPEN TPen::Handle() {
  if (!FHandle) {
    const TPenKey Key{penStyle(FStyle), FWidth, COLORREF(ColorToRGB(FColor))};
    FHandle = static_cast<HPEN>(penCache().Acquire(Key, [&] { return CreatePen(int(Key.Style), Key.Width, Key.Color); }));
  }
  return FHandle;
}

void TPen::SetHandle(HPEN Value) {
  if (Value == FHandle) return;
  releaseHandle();
  FHandle = Value;
  FOwnsHandle = Value != nullptr;
  TGraphicsObject::Changed();
}

void TPen::Changed() {
  releaseHandle();
  TGraphicsObject::Changed();
}

void TPen::releaseHandle() {
  if (!FHandle) return;
  if (FOwnsHandle)
    DeleteObject(FHandle);
  else
    penCache().Release(FHandle);
  FHandle = nullptr;
  FOwnsHandle = false;
}

// ---------------------------------------------------------------------------
// TBrush

TBrush::~TBrush() { releaseHandle(); }

void TBrush::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Color", &TBrush::Color, &TBrush::SetColor).Idents(ColorIdents()).Default(clWhite);
  Props.Add("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

void TBrush::Assign(TPersistent* Source) {
  auto* B = dynamic_cast<TBrush*>(Source);
  if (!B) {
    TGraphicsObject::Assign(Source);
    return;
  }
  if (FColor == B->FColor && FStyle == B->FStyle && FBitmap == B->FBitmap) return;
  FColor = B->FColor;
  FStyle = B->FStyle;
  FBitmap = B->FBitmap;
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (FBitmap == Value) return;
  FBitmap = Value;
  Changed();
}

// A colour makes a clear brush solid again, as code that fills after drawing
// text over a clear background expects (the same colour included).
void TBrush::SetColor(TColor Value) {
  if (FColor == Value && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (FHandle) return FHandle;
  if (FBitmap) {
    FHandle = CreatePatternBrush(FBitmap->Handle());
    FOwnsHandle = FHandle != nullptr;
    if (FHandle) return FHandle;
  }
  if (FStyle == bsClear) {
    FHandle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    return FHandle;
  }
  const bool Hatched = FStyle >= bsHorizontal;
  const TBrushKey Key{Hatched ? BS_HATCHED : BS_SOLID, Hatched ? int(FStyle) - int(bsHorizontal) : 0,
                      COLORREF(ColorToRGB(FColor))};
  FHandle = static_cast<HBRUSH>(brushCache().Acquire(Key, [&] {
    return CreateBrushIndirect(LOGBRUSH{Key.Style, Key.Color, std::uintptr_t(Key.Hatch)});
  }));
  return FHandle;
}

void TBrush::Changed() {
  releaseHandle();
  TGraphicsObject::Changed();
}

void TBrush::releaseHandle() {
  if (!FHandle) return;
  if (FOwnsHandle)
    DeleteObject(FHandle);
  else if (FHandle != GetStockObject(NULL_BRUSH))
    brushCache().Release(FHandle);
  FHandle = nullptr;
  FOwnsHandle = false;
}
