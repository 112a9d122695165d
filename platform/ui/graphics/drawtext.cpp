#include "platform/ui/graphics/drawtext.h"

#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/graphicsstate_p.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/paths_p.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTransform>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>

using namespace gdi;

namespace {

// lfHeight 0 asks for the default size: 8 points at 96 PPI.
constexpr Integer DefaultEm = 11;
// Em of the probe font that tells the cell height of a family per em.
constexpr Integer ProbeEm = 100;

// TEXTMETRIC pitch bits: set TMPF_FIXED_PITCH means a variable pitch.
constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;
constexpr WCHAR FirstChar = 0x20, LastChar = 0xFFFC, DefaultChar = 0x1F, BreakChar = 0x20;

bool isDrawn(char16_t Unit) { return Unit > 0x20; }

// Count pixels of Color from Row on.  Sixteen bytes a store: a plain
// std::fill stays at one pixel a store at -O2, and the backgrounds of a grid
// page's cells took a third of its time that way.
void fillPixels(QRgb* Row, int Count, QRgb Color) {
  const QRgb Quad[4] = {Color, Color, Color, Color};
  for (; Count >= 4; Count -= 4, Row += 4) std::memcpy(Row, Quad, sizeof Quad);
  for (; Count > 0; --Count) *Row++ = Color;
}

QColor toQColor(COLORREF Color) { return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color)); }

// ---------------------------------------------------------------------------
// realised fonts

// A font realised at one device em: the measurer for the layout plus what
// drawing needs.  Decorations are offsets from the baseline.
class TTextFont : public TTextMeasurer {
 public:
  const TTextFontMetrics& Metrics() const override { return FMetrics; }
  // Draws the units of Text at X + Offsets[i] on the given baseline.
  virtual void DrawUnits(QPainter& P, QStringView Text, const Integer* Offsets, Integer X, Integer Baseline,
                         const QColor& Color) const = 0;
  // Whether BlitUnits can write the glyphs straight into 32-bit pixels.
  virtual bool CanBlit() const { return false; }
  // DrawUnits into a 32-bit image (RGB32 or ARGB32, premultiplied or not),
  // limited to the rectangles Clip; only when CanBlit().
  virtual void BlitUnits(QImage& Image, std::span<const QRect> Clip, QStringView Text, const Integer* Offsets,
                         Integer X, Integer Baseline, QRgb Color) const {}

  Integer UnderlineOffset = 1;   // rows below the baseline
  Integer StrikeOutOffset = 3;   // rows above the baseline
  Integer LineThickness = 1;
  BYTE PitchAndFamily = 0;

 protected:
  TTextFontMetrics FMetrics;
};

class TFixedTextFont final : public TTextFont {
 public:
  TFixedTextFont(Integer Em, bool Bold) : FMeasurer(Em, Bold) {
    FMetrics = FMeasurer.Metrics();
    UnderlineOffset = 0;
    StrikeOutOffset = Em / 2;
    PitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE | FF_MODERN;
  }
  void GetAdvances(QStringView Text, Integer* Advances) const override { FMeasurer.GetAdvances(Text, Advances); }
  void DrawUnits(QPainter& P, QStringView Text, const Integer* Offsets, Integer X, Integer Baseline,
                 const QColor& Color) const override {
    const Integer BoxWidth = FMetrics.AveCharWidth - 1;
    for (qsizetype I = 0; I < Text.size(); ++I)
      if (isDrawn(Text[I].unicode()))
        P.fillRect(QRect(X + Offsets[I], Baseline - FMetrics.Ascent, BoxWidth, FMetrics.Ascent), Color);
  }

 private:
  TFixedTextMeasurer FMeasurer;
};

// Qt glyphs without shaping: one glyph per code point, hinted advances rounded
// to whole pixels, drawn at our own positions.
class TQtTextFont final : public TTextFont {
 public:
  TQtTextFont(const QFont& Font, Integer Em)
      : FRaw(QRawFont::fromFont(Font)), FAntialiased(!(Font.styleStrategy() & QFont::NoAntialias)) {
    FMetrics.Ascent = static_cast<Integer>(std::ceil(FRaw.ascent()));
    FMetrics.Descent = static_cast<Integer>(std::ceil(FRaw.descent()));
    FMetrics.Height = FMetrics.Ascent + FMetrics.Descent;
    FMetrics.InternalLeading = std::max(0, FMetrics.Height - Em);
    FMetrics.ExternalLeading = std::max(0, qRound(FRaw.leading()));
    FMetrics.AveCharWidth = std::max(1, qRound(FRaw.averageCharWidth()));
    FMetrics.MaxCharWidth = std::max(FMetrics.AveCharWidth, qRound(FRaw.maxCharWidth()));
    const QFontMetricsF Fm(Font);
    LineThickness = std::max(1, qRound(Fm.lineWidth()));
    UnderlineOffset = std::max(1, qRound(Fm.underlinePos()));
    StrikeOutOffset = std::max(1, qRound(Fm.strikeOutPos()));
    const QFontInfo Info(Font);
    const bool Serif = Info.family().contains(QLatin1String("Serif")) && !Info.family().contains(QLatin1String("Sans"));
    PitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE |
                     (Info.fixedPitch() ? FF_MODERN : ((Serif ? FF_ROMAN : FF_SWISS) | TMPF_FIXED_PITCH));
  }

  void GetAdvances(QStringView Text, Integer* Advances) const override {
    for (qsizetype I = 0; I < Text.size(); ++I) {
      if (isPair(Text, I)) {
        Advances[I] = pairGlyph(Text, I).Advance;
        Advances[++I] = 0;
      } else {
        Advances[I] = glyph(Text[I].unicode()).Advance;
      }
    }
  }

  void DrawUnits(QPainter& P, QStringView Text, const Integer* Offsets, Integer X, Integer Baseline,
                 const QColor& Color) const override {
    FIndexes.clear();
    FPositions.clear();
    for (qsizetype I = 0; I < Text.size(); ++I) {
      const char16_t Unit = Text[I].unicode();
      if (!isDrawn(Unit)) continue;
      const bool Pair = isPair(Text, I);
      FIndexes.append(Pair ? pairGlyph(Text, I).Index : glyph(Unit).Index);
      FPositions.append(QPointF(X + Offsets[I], Baseline));
      if (Pair) ++I;
    }
    if (FIndexes.isEmpty()) return;
    QGlyphRun Run;
    Run.setRawFont(FRaw);
    Run.setGlyphIndexes(FIndexes);
    Run.setPositions(FPositions);
    P.setPen(Color);
    P.drawGlyphRun(QPointF(0, 0), Run);
  }

  bool CanBlit() const override { return FAntialiased; }

  void BlitUnits(QImage& Image, std::span<const QRect> Clip, QStringView Text, const Integer* Offsets, Integer X,
                 Integer Baseline, QRgb Color) const override {
    uchar* const Bits = Image.bits();
    const qsizetype Stride = Image.bytesPerLine();
    for (qsizetype I = 0; I < Text.size(); ++I) {
      const char16_t Unit = Text[I].unicode();
      if (!isDrawn(Unit)) continue;
      const bool Pair = isPair(Text, I);
      const TGlyphMask& M = Pair ? mask(pairGlyph(Text, I).Index) : glyphMask(Unit);
      const QRect Box(QPoint(X + Offsets[I], Baseline) + M.Offset, M.Size);
      if (Pair) ++I;
      for (const QRect& ClipRect : Clip) {
        const QRect Part = Box & ClipRect;
        for (int Y = Part.top(); Y <= Part.bottom(); ++Y) {
          const uchar* Cover = M.Bits + (Y - Box.top()) * M.Stride + (Part.left() - Box.left());
          QRgb* Pixel = reinterpret_cast<QRgb*>(Bits + Y * Stride) + Part.left();
          for (int N = Part.width(); N > 0; --N, ++Cover, ++Pixel)
            if (*Cover) *Pixel = blend(Color, *Pixel, *Cover);
        }
      }
    }
  }

 private:
  // A glyph's coverage and where its top-left sits from the pen position.
  struct TGlyphMask {
    QImage Coverage;  // one byte per pixel; the fields below read it without calls
    const uchar* Bits = nullptr;
    qsizetype Stride = 0;
    QSize Size;
    QPoint Offset;
  };
  struct TGlyph {
    quint32 Index = 0;
    Integer Advance = 0;
    const TGlyphMask* Mask = nullptr;  // made on first blit
  };
  using TGlyphPage = std::array<TGlyph, 256>;

  static bool isPair(QStringView Text, qsizetype I) {
    return I + 1 < Text.size() && Text[I].isHighSurrogate() && Text[I + 1].isLowSurrogate();
  }

  // Pages of 256 units are filled on first use: a text touches few pages.
  TGlyph& glyph(char16_t Unit) const {
    std::unique_ptr<TGlyphPage>& Page = FPages[Unit >> 8];
    if (!Page) Page = loadPage(Unit & 0xFF00);
    return (*Page)[Unit & 0xFF];
  }

  std::unique_ptr<TGlyphPage> loadPage(char16_t First) const {
    std::array<QChar, 256> Chars;
    for (int I = 0; I < 256; ++I) Chars[I] = QChar(char16_t(First + I));
    std::array<quint32, 256> Indexes{};
    std::array<QPointF, 256> Advances{};
    int Count = 256;
    FRaw.glyphIndexesForChars(Chars.data(), 256, Indexes.data(), &Count);
    FRaw.advancesForGlyphIndexes(Indexes.data(), Advances.data(), 256);
    auto Page = std::make_unique<TGlyphPage>();
    for (int I = 0; I < 256; ++I) (*Page)[I] = {Indexes[I], qRound(Advances[I].x())};
    return Page;
  }

  TGlyph pairGlyph(QStringView Text, qsizetype I) const {
    const QChar Pair[2] = {Text[I], Text[I + 1]};
    quint32 Index = 0;
    int Count = 1;
    if (!FRaw.glyphIndexesForChars(Pair, 2, &Index, &Count) || Count < 1) return {};
    QPointF Advance;
    FRaw.advancesForGlyphIndexes(&Index, &Advance, 1);
    return {Index, qRound(Advance.x())};
  }

  const TGlyphMask& glyphMask(char16_t Unit) const {
    TGlyph& G = glyph(Unit);
    if (!G.Mask) G.Mask = &mask(G.Index);
    return *G.Mask;
  }

  const TGlyphMask& mask(quint32 Index) const {
    auto It = FMasks.find(Index);
    if (It != FMasks.end()) return It->second;
    TGlyphMask Mask;
    const QImage Map = FRaw.alphaMapForGlyph(Index, QRawFont::PixelAntialiasing);
    const QRectF Box = FRaw.boundingRect(Index);
    if (Map.depth() == 8) {
      Mask.Coverage = Map;
      Mask.Bits = Mask.Coverage.constBits();
      Mask.Stride = Mask.Coverage.bytesPerLine();
      Mask.Size = Mask.Coverage.size();
    }
    Mask.Offset = QPoint(qRound(Box.left()), qRound(Box.top()));
    return FMasks.emplace(Index, std::move(Mask)).first->second;
  }

  // Color over Pixel at coverage A (0..255), all four channels.
  static QRgb blend(QRgb Color, QRgb Pixel, uint A) {
    if (A == 255) return Color;
    const uint B = 255 - A;
    uint Low = (Color & 0xFF00FF) * A + (Pixel & 0xFF00FF) * B;
    Low = ((Low + ((Low >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    uint High = ((Color >> 8) & 0xFF00FF) * A + ((Pixel >> 8) & 0xFF00FF) * B;
    High = (High + ((High >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
    return High | Low;
  }

  QRawFont FRaw;
  bool FAntialiased = true;
  mutable std::unordered_map<quint32, TGlyphMask> FMasks;
  mutable std::array<std::unique_ptr<TGlyphPage>, 256> FPages;
  // drawing buffers, kept to spare allocations per call
  mutable QList<quint32> FIndexes;
  mutable QList<QPointF> FPositions;
};

struct TFontKey {
  LOGFONTW LogFont;
  double ScaleY = 1;  // device pixels per logical unit
  friend bool operator==(const TFontKey&, const TFontKey&) = default;
};

struct TFontKeyHash {
  size_t operator()(const TFontKey& K) const {
    return qHashBits(&K.LogFont, sizeof(K.LogFont), qHash(K.ScaleY));
  }
};

QFont qtFont(const LOGFONTW& LogFont, Integer Em) {
  TFontFace Face;
  Face.Name = LogFontFaceName(LogFont);
  Face.PixelSize = Em;
  Face.Weight = LogFont.lfWeight;
  Face.Italic = LogFont.lfItalic != 0;
  Face.Underline = LogFont.lfUnderline != 0;
  Face.StrikeOut = LogFont.lfStrikeOut != 0;
  Face.Antialiased = LogFont.lfQuality != NONANTIALIASED_QUALITY;
  return MakeQtFont(Face);
}

}  // namespace

namespace graphics_detail {

// Realised fonts by LOGFONT and vertical scale.  Dropped when the engine or the
// font map changes, and when Qt shuts down (raw fonts must not outlive the
// font database).
class TFontCache {
 public:
  TFontCache() { qAddPostRoutine(&TFontCache::shutDown); }
  ~TFontCache() { qRemovePostRoutine(&TFontCache::shutDown); }

  static TFontCache& Instance() { return GraphicsState().FontCache.Get(); }

  void Reset() { clear(); }

  const TTextFont& Font(const LOGFONTW& LogFont, double ScaleY) {
    if (FEngine != TextEngine() || FGeneration != FontMapGeneration()) clear();
    const TFontKey Key{LogFont, ScaleY};
    if (FLast && FLastKey == Key) return *FLast;
    auto It = FFonts.find(Key);
    if (It == FFonts.end())
      It = FFonts.emplace(Key, realise(LogFont, std::max(1, qRound(logicalEm(LogFont) * ScaleY)))).first;
    FLastKey = Key;
    FLast = It->second.get();
    return *FLast;
  }

 private:
  static void shutDown() { Instance().clear(); }

  void clear() {
    FFonts.clear();
    FLast = nullptr;
    FEngine = TextEngine();
    FGeneration = FontMapGeneration();
  }

  // The em in logical units; a positive lfHeight is the cell height, which
  // the fixed engine takes as the em and the Qt engine converts by the
  // family's cell-to-em ratio.
  Integer logicalEm(const LOGFONTW& LogFont) const {
    if (LogFont.lfHeight < 0) return -LogFont.lfHeight;
    if (LogFont.lfHeight == 0) return DefaultEm;
    if (TextEngine() == TTextEngine::FixedMetrics) return LogFont.lfHeight;
    const QRawFont Probe = QRawFont::fromFont(qtFont(LogFont, ProbeEm));
    const double Cell = Probe.ascent() + Probe.descent();
    return Cell > 0 ? std::max(1, qRound(LogFont.lfHeight * ProbeEm / Cell)) : LogFont.lfHeight;
  }

  std::unique_ptr<TTextFont> realise(const LOGFONTW& LogFont, Integer Em) const {
    if (TextEngine() == TTextEngine::FixedMetrics)
      return std::make_unique<TFixedTextFont>(Em, LogFont.lfWeight >= FW_BOLD);
    return std::make_unique<TQtTextFont>(qtFont(LogFont, Em), Em);
  }

  std::unordered_map<TFontKey, std::unique_ptr<TTextFont>, TFontKeyHash> FFonts;
  TFontKey FLastKey;
  const TTextFont* FLast = nullptr;
  TTextEngine FEngine = TTextEngine::Qt;
  Integer FGeneration = -1;
};

}  // namespace graphics_detail

namespace {

using graphics_detail::TFontCache;

// ---------------------------------------------------------------------------
// where text lands

// The DC facts one text call needs.  Upright text is laid out in device
// pixels (rects and points mapped, glyphs upright); otherwise in logical units
// with the painter following the DC's transform.
struct TTextTarget {
  HDC DC = nullptr;
  TDCTextState State;
  const TTextFont* Font = nullptr;
  QTransform Transform;        // logical -> surface
  bool Upright = true;
  double ScaleX = 1;           // device units per logical unit (upright)
  double ScaleY = 1;
  Integer CharExtra = 0;       // in layout units

  Integer toLayoutX(Integer Logical) const { return Upright ? qRound(Logical * ScaleX) : Logical; }
  Integer toLogicalX(Integer Layout) const { return Upright ? qRound(Layout / ScaleX) : Layout; }
  Integer toLogicalY(Integer Layout) const { return Upright ? qRound(Layout / ScaleY) : Layout; }

  TPoint toLayout(Integer X, Integer Y) const {
    if (!Upright) return {X, Y};
    const QPointF P = Transform.map(QPointF(X, Y));
    return {qRound(P.x()), qRound(P.y())};
  }
  TRect toLayout(const TRect& R) const {
    if (!Upright) return R;
    const TPoint A = toLayout(R.Left, R.Top), B = toLayout(R.Right, R.Bottom);
    return NormalizedRect({A.X, A.Y, B.X, B.Y});
  }
  // Text that runs to the right in logical units runs to the left on a
  // mirrored surface.
  bool Mirrored() const { return Upright && Transform.m11() < 0; }
};

bool prepareTarget(HDC DC, TTextTarget& T) {
  if (!GetDCTextState(DC, T.State, T.Transform)) return false;
  T.DC = DC;
  const bool Rotated = T.Transform.m12() != 0 || T.Transform.m21() != 0;
  T.Upright = T.State.GraphicsMode != GM_ADVANCED ||
              (!Rotated && T.Transform.m11() > 0 && T.Transform.m22() > 0);
  if (T.Upright) {
    T.ScaleX = std::abs(T.Transform.m11());
    T.ScaleY = std::abs(T.Transform.m22());
    if (T.ScaleX == 0 || T.ScaleY == 0) return false;
  }
  T.Font = &TFontCache::Instance().Font(T.State.LogFont, T.ScaleY);
  T.CharExtra = T.toLayoutX(T.State.CharExtra);
  return true;
}

// Widths of the units as placed: advances plus character extra, or the
// caller's Dx values.
void unitWidths(const TTextTarget& T, QStringView Text, const int* Dx, std::vector<Integer>& Widths) {
  Widths.resize(Text.size());
  if (Dx) {
    for (qsizetype I = 0; I < Text.size(); ++I) Widths[I] = T.toLayoutX(Dx[I]);
    return;
  }
  T.Font->GetAdvances(Text, Widths.data());
  for (Integer& W : Widths) W += T.CharExtra;
}

QStringView textView(const Char* Text, int Count) {
  if (!Text) return {};
  if (Count < 0) {
    Count = 0;
    while (Text[Count] != QChar(0)) ++Count;
  }
  return QStringView(Text, Count);
}

// The turn of a text output: lfEscapement turns the baseline about the
// reference point (and, in GM_COMPATIBLE, the glyphs with it); in
// GM_ADVANCED lfOrientation turns each glyph about its own origin on the
// baseline.  Both count tenths of a degree counter-clockwise; the layout and
// the extents stay unturned.
struct TTextTurn {
  bool Active = false;
  QTransform Baseline;        // layout space, about the reference point
  double GlyphDegrees = 0;    // each glyph's turn beyond the baseline's, clockwise on screen
};

TTextTurn textTurn(const TTextTarget& T, TPoint Anchor) {
  const LOGFONTW& LF = T.State.LogFont;
  const double Glyph = T.State.GraphicsMode == GM_ADVANCED ? (LF.lfOrientation - LF.lfEscapement) / 10.0 : 0;
  TTextTurn Turn;
  if (LF.lfEscapement % 3600 == 0 && Glyph == 0) return Turn;
  Turn.Active = true;
  // the surface's y runs down: a counter-clockwise turn is a negative one
  // for the painter
  Turn.Baseline.translate(Anchor.X, Anchor.Y).rotate(-LF.lfEscapement / 10.0).translate(-Anchor.X, -Anchor.Y);
  Turn.GlyphDegrees = -Glyph;
  return Turn;
}

// The units of one line drawn turned, Base being layout -> painter.
void drawTurnedUnits(QPainter& P, const QTransform& Base, const TTextTurn& Turn, const TTextFont& Font,
                     QStringView Text, const Integer* Offsets, Integer X, Integer Baseline, const QColor& Color) {
  if (Turn.GlyphDegrees == 0) {
    P.setTransform(Turn.Baseline * Base);
    Font.DrawUnits(P, Text, Offsets, X, Baseline, Color);
    return;
  }
  for (qsizetype I = 0; I < Text.size();) {
    const qsizetype Units = Text[I].isHighSurrogate() && I + 1 < Text.size() ? 2 : 1;
    const Integer Origin = X + Offsets[I];
    const Integer Local[2] = {0, Units == 2 ? Offsets[I + 1] - Offsets[I] : 0};
    const QTransform Glyph =
        QTransform().translate(Origin, Baseline).rotate(Turn.GlyphDegrees).translate(-Origin, -Baseline);
    P.setTransform(Glyph * Turn.Baseline * Base);
    Font.DrawUnits(P, Text.mid(I, Units), Local, Origin, Baseline, Color);
    I += Units;
  }
}

// Where one text call draws: the DC's painter in layout space, the call's
// own clip rectangle, and the surface's pixels when glyphs can be blended
// straight into them (upright antialiased text on a 32-bit image), which
// spares the painter's per-call glyph machinery; fills then go there too.
class TTextCanvas {
 public:
  explicit TTextCanvas(const TTextTarget& T, const TTextTurn& Turn = {}) : FTarget(T), FTurn(Turn) {
    QImage* Pixels = nullptr;
    FPainter = DCPainter(T.DC, &Pixels);
    if (!FPainter) return;
    if (!T.Upright) FBase = T.Transform;
    if (!T.Upright || Turn.Active) {
      save();
      FPainter->setTransform(Turn.Baseline * FBase);
    }
    const bool Antialiased = T.State.LogFont.lfQuality != NONANTIALIASED_QUALITY;
    if (FPainter->testRenderHint(QPainter::TextAntialiasing) != Antialiased) {
      save();
      FPainter->setRenderHint(QPainter::TextAntialiasing, Antialiased);
    }
    if (T.Upright && !Turn.Active && T.Font->CanBlit() && Pixels && isBlittable(Pixels->format())) FPixels = Pixels;
  }
  ~TTextCanvas() {
    if (FSaved) FPainter->restore();
  }
  TTextCanvas(const TTextCanvas&) = delete;
  TTextCanvas& operator=(const TTextCanvas&) = delete;

  explicit operator bool() const { return FPainter != nullptr; }

  // Limits what is drawn afterwards to R (layout space).
  void ClipTo(const TRect& R) {
    FClip = QRect(R.Left, R.Top, R.Width(), R.Height());
    if (FPixels) {  // fills and glyphs intersect it themselves
      FBlitClip.clear();
      FBlitClipReady = false;
      return;
    }
    save();
    FPainter->setClipRect(*FClip, Qt::IntersectClip);
  }

  void Fill(Integer Left, Integer Top, Integer Width, Integer Height, COLORREF Color) {
    const QRect Box(Left, Top, Width, Height);
    if (Box.isEmpty()) return;
    if (!FPixels) {
      FPainter->fillRect(Box, toQColor(Color));
      return;
    }
    // Into the pixels like the glyphs: the painter's fillRect cost more than
    // filling a cell's background itself.
    const QRgb Pixel = qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color));
    uchar* const Bits = FPixels->bits();
    const qsizetype Stride = FPixels->bytesPerLine();
    for (const QRect& Clip : blitClip()) {
      const QRect Part = Box & Clip;
      for (int Y = Part.top(); Y <= Part.bottom(); ++Y)
        fillPixels(reinterpret_cast<QRgb*>(Bits + Y * Stride) + Part.left(), Part.width(), Pixel);
    }
  }

  // One line of units with the font's underline and strike-out.
  void Line(QStringView Text, const Integer* Offsets, Integer X, Integer Top, Integer Width, COLORREF Color) {
    const TTextFont& F = *FTarget.Font;
    const Integer Baseline = Top + F.Metrics().Ascent;
    if (FPixels) {
      F.BlitUnits(*FPixels, blitClip(), Text, Offsets, X, Baseline,
                  qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color)));
    } else if (FTurn.Active) {
      drawTurnedUnits(*FPainter, FBase, FTurn, F, Text, Offsets, X, Baseline, toQColor(Color));
      FPainter->setTransform(FTurn.Baseline * FBase);
    } else {
      F.DrawUnits(*FPainter, Text, Offsets, X, Baseline, toQColor(Color));
    }
    if (FTarget.State.LogFont.lfUnderline) Fill(X, Baseline + F.UnderlineOffset, Width, F.LineThickness, Color);
    if (FTarget.State.LogFont.lfStrikeOut) Fill(X, Baseline - F.StrikeOutOffset, Width, F.LineThickness, Color);
  }

 private:
  static bool isBlittable(QImage::Format Format) {
    return Format == QImage::Format_RGB32 || Format == QImage::Format_ARGB32 ||
           Format == QImage::Format_ARGB32_Premultiplied;
  }

  // The DC's clip (held by the painter) and the call's rectangle, in pixels.
  std::span<const QRect> blitClip() {
    if (FBlitClipReady) return FBlitClip;
    const QRect Limit = FClip ? *FClip & FPixels->rect() : FPixels->rect();
    if (FPainter->hasClipping()) {
      for (const QRect& R : FPainter->clipRegion())
        if (const QRect Part = R & Limit; !Part.isEmpty()) FBlitClip.append(Part);
    } else {
      FBlitClip.append(Limit);
    }
    FBlitClipReady = true;
    return FBlitClip;
  }

  void save() {
    if (FSaved) return;
    FPainter->save();
    FSaved = true;
  }

  const TTextTarget& FTarget;
  const TTextTurn FTurn;
  QTransform FBase;  // layout -> painter before the turn
  QPainter* FPainter = nullptr;
  bool FSaved = false;
  QImage* FPixels = nullptr;
  std::optional<QRect> FClip;
  QVarLengthArray<QRect, 4> FBlitClip;
  bool FBlitClipReady = false;
};

void drawLayout(TTextCanvas& Canvas, const TTextTarget& T, const TTextLayoutResult& L, const TRect& Rect) {
  if (L.Clipped) Canvas.ClipTo(Rect);
  const COLORREF TextColor = T.State.TextColor;
  const bool Opaque = T.State.BkMode == OPAQUE;
  const COLORREF BkColor = T.State.BkColor;
  for (const TTextLine& Line : L.Lines) {
    if (Opaque) Canvas.Fill(Line.X, Line.Y, Line.Width, L.LineHeight, BkColor);
    Canvas.Line(Line.Text, L.Offsets.data() + Line.FirstOffset, Line.X, Line.Y, Line.Width, TextColor);
  }
  const TTextFont& F = *T.Font;
  for (const TTextUnderline& U : L.Underlines) {
    const TTextLine& Line = L.Lines[U.Line];
    Canvas.Fill(Line.X + U.X, Line.Y + F.Metrics().Ascent + F.UnderlineOffset, U.Width, F.LineThickness, TextColor);
  }
}

// The pixels the glyphs of one line would paint, in surface coordinates: what
// a text output adds to an open path.  Turned glyphs are rendered turned.
QRegion glyphPixels(const TTextFont& Font, QStringView Text, const Integer* Offsets, Integer Left, Integer Top,
                    Integer Width, const TTextTurn& Turn) {
  const TTextFontMetrics& M = Font.Metrics();
  if (Width <= 0 || M.Height <= 0) return {};
  QRect Bounds(Left, Top, Width, M.Height);
  // turned glyphs may reach out of their turned box by about a cell
  if (Turn.Active)
    Bounds = Turn.Baseline.mapRect(QRectF(Bounds)).toAlignedRect().adjusted(-M.Height, -M.Height, M.Height, M.Height);
  QImage Mask(Bounds.size(), QImage::Format_ARGB32_Premultiplied);
  Mask.fill(0);
  {
    QPainter P(&Mask);
    drawTurnedUnits(P, QTransform::fromTranslate(-Bounds.left(), -Bounds.top()), Turn, Font, Text, Offsets, Left,
                    Top + M.Ascent, Qt::black);
  }
  QRegion Result;
  for (int Y = 0; Y < Mask.height(); ++Y) {
    const QRgb* Row = reinterpret_cast<const QRgb*>(Mask.constScanLine(Y));
    for (int X = 0; X < Mask.width();) {
      if (qAlpha(Row[X]) < 128) {
        ++X;
        continue;
      }
      const int Start = X;
      while (X < Mask.width() && qAlpha(Row[X]) >= 128) ++X;
      Result += QRect(Bounds.left() + Start, Bounds.top() + Y, X - Start, 1);
    }
  }
  return Result;
}

}  // namespace

// Scratch buffers of the text calls, reused to spare allocations per call.
struct graphics_detail::TTextScratch {
  TTextLayoutResult Layout;
  std::vector<Integer> Widths;
  std::vector<Integer> Offsets;
};

namespace {

using TScratch = graphics_detail::TTextScratch;

TScratch& scratch() { return GraphicsState().TextScratch.Get(); }

}  // namespace

// ---------------------------------------------------------------------------
// the text calls of gdi.h

namespace gdi {

BOOL ExtTextOutW(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const Char* Text, UINT Count, const int* Dx) {
  TTextTarget T;
  if (!prepareTarget(DC, T)) return 0;
  const QStringView Units = textView(Text, static_cast<int>(Count));
  const UINT Align = T.State.TextAlign;
  if (Align & TA_UPDATECP) {
    X = T.State.CurrentPos.X;
    Y = T.State.CurrentPos.Y;
  }
  TScratch& S = scratch();
  unitWidths(T, Units, Dx, S.Widths);
  Integer Width = 0;
  for (const Integer W : S.Widths) Width += W;
  S.Offsets.resize(Units.size());
  PlaceUnits(Units, S.Widths.data(), (Options & ETO_RTLREADING) || (Align & TA_RTLREADING), S.Offsets.data());

  const TTextFontMetrics& M = T.Font->Metrics();
  const TPoint Anchor = T.toLayout(X, Y);
  const UINT Horizontal = Align & (TA_CENTER | TA_RIGHT);
  const Integer Before = Horizontal == TA_CENTER ? Width / 2 : Horizontal == TA_RIGHT ? Width : 0;
  const Integer Left = T.Mirrored() ? Anchor.X - (Width - Before) : Anchor.X - Before;
  const UINT Vertical = Align & TA_BASELINE;
  const Integer Top = Vertical == TA_BASELINE ? Anchor.Y - M.Ascent
                      : Vertical == TA_BOTTOM ? Anchor.Y - M.Height
                                              : Anchor.Y;

  if (Align & TA_UPDATECP) {
    const Integer Advance = T.toLogicalX(Width);
    const Integer NewX = Horizontal == TA_LEFT ? X + Advance : Horizontal == TA_RIGHT ? X - Advance : X;
    MoveToEx(DC, NewX, Y, nullptr);
  }
  RecordTextCall(DC, QStringLiteral("TextOut(%1,%2,%3)").arg(X).arg(Y).arg(Units));
  const TTextTurn Turn = textTurn(T, Anchor);
  if (detail::PathOpen(DC)) {
    detail::PathAddRegion(DC, glyphPixels(*T.Font, Units, S.Offsets.data(), Left, Top, Width, Turn));
    return 1;
  }
  TTextCanvas Canvas(T, Turn);
  if (!Canvas) return 1;
  const COLORREF BkColor = T.State.BkColor;
  const TRect Box = Rect ? T.toLayout(*Rect) : TRect{};
  if (Rect && (Options & ETO_OPAQUE)) Canvas.Fill(Box.Left, Box.Top, Box.Width(), Box.Height(), BkColor);
  if (Units.isEmpty()) return 1;
  if (Rect && (Options & ETO_CLIPPED)) Canvas.ClipTo(Box);
  if (T.State.BkMode == OPAQUE) Canvas.Fill(Left, Top, Width, M.Height, BkColor);
  Canvas.Line(Units, S.Offsets.data(), Left, Top, Width, T.State.TextColor);
  return 1;
}

BOOL TextOutW(HDC DC, int X, int Y, const Char* Text, int Count) {
  return ExtTextOutW(DC, X, Y, 0, nullptr, Text, static_cast<UINT>(std::max(Count, 0)), nullptr);
}

int DrawTextExW(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params) {
  if (!Rect || (Params && Params->cbSize != sizeof(DRAWTEXTPARAMS))) return 0;
  TTextTarget T;
  if (!prepareTarget(DC, T)) return 0;
  TTextLayoutInput In;
  In.Text = textView(Text, Count);
  In.Format = Format;
  In.Rect = T.toLayout(*Rect);
  In.CharExtra = T.CharExtra;
  if (Params) {
    In.LeftMargin = T.toLayoutX(Params->iLeftMargin);
    In.RightMargin = T.toLayoutX(Params->iRightMargin);
    In.TabLength = Params->iTabLength;
  }
  TTextLayoutResult& L = scratch().Layout;
  LayoutText(In, *T.Font, L);
  if (Params) Params->uiLengthDrawn = static_cast<UINT>(L.LengthDrawn);
  if (Format & DT_CALCRECT) {
    Rect->Right = Rect->Left + T.toLogicalX(L.CalcRect.Width());
    Rect->Bottom = Rect->Top + T.toLogicalY(L.CalcRect.Height());
    return T.toLogicalY(L.TextHeight);
  }
  // Under a mirror the line boxes are mirrored in the rect; glyphs stay upright.
  if (T.Mirrored())
    for (TTextLine& Line : L.Lines) Line.X = In.Rect.Left + In.Rect.Right - Line.X - Line.Width;
  TTextCanvas Canvas(T);
  if (Canvas) drawLayout(Canvas, T, L, In.Rect);
  return T.toLogicalY(L.TextHeight);
}

int DrawTextW(HDC DC, const Char* Text, int Count, RECT* Rect, UINT Format) {
  return DrawTextExW(DC, Text, Count, Rect, Format, nullptr);
}

BOOL GetTextExtentExPointW(HDC DC, const Char* Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size) {
  TTextTarget T;
  if (Count < 0 || !prepareTarget(DC, T)) return 0;
  const QStringView Units = textView(Text, Count);
  std::vector<Integer>& Widths = scratch().Widths;
  unitWidths(T, Units, nullptr, Widths);
  Integer Extent = 0;
  int Fitting = 0;
  for (qsizetype I = 0; I < Units.size(); ++I) {
    Extent += Widths[I];
    const Integer Logical = T.toLogicalX(Extent);
    if (Dx) Dx[I] = Logical;
    if (Logical <= MaxExtent && Fitting == I) Fitting = static_cast<int>(I + 1);
  }
  if (Fit) *Fit = Fitting;
  if (Size) *Size = {T.toLogicalX(Extent), T.toLogicalY(T.Font->Metrics().Height)};
  return 1;
}

BOOL GetTextExtentPoint32W(HDC DC, const Char* Text, int Count, SIZE* Size) {
  return GetTextExtentExPointW(DC, Text, Count, 0, nullptr, nullptr, Size);
}

BOOL GetTextMetricsW(HDC DC, TEXTMETRICW* Metrics) {
  TTextTarget T;
  if (!Metrics || !prepareTarget(DC, T)) return 0;
  const TTextFontMetrics& M = T.Font->Metrics();
  TEXTMETRICW& R = *Metrics;
  R = {};
  R.tmHeight = T.toLogicalY(M.Height);
  R.tmAscent = T.toLogicalY(M.Ascent);
  R.tmDescent = R.tmHeight - R.tmAscent;
  R.tmInternalLeading = T.toLogicalY(M.InternalLeading);
  R.tmExternalLeading = T.toLogicalY(M.ExternalLeading);
  R.tmAveCharWidth = T.toLogicalX(M.AveCharWidth);
  R.tmMaxCharWidth = T.toLogicalX(M.MaxCharWidth);
  R.tmWeight = T.State.LogFont.lfWeight == FW_DONTCARE ? FW_NORMAL : T.State.LogFont.lfWeight;
  R.tmOverhang = 0;
  TDCDeviceInfo Info;
  GetDCDeviceInfo(DC, Info);
  R.tmDigitizedAspectX = Info.DpiX > 0 ? Info.DpiX : ScreenMetrics().PixelsPerInch;
  R.tmDigitizedAspectY = Info.DpiY > 0 ? Info.DpiY : ScreenMetrics().PixelsPerInch;
  R.tmFirstChar = FirstChar;
  R.tmLastChar = LastChar;
  R.tmDefaultChar = DefaultChar;
  R.tmBreakChar = BreakChar;
  R.tmItalic = T.State.LogFont.lfItalic;
  R.tmUnderlined = T.State.LogFont.lfUnderline;
  R.tmStruckOut = T.State.LogFont.lfStrikeOut;
  R.tmPitchAndFamily = T.Font->PitchAndFamily;
  R.tmCharSet = T.State.LogFont.lfCharSet;
  return 1;
}

int GetTextFaceW(HDC DC, int Count, WCHAR* FaceName) {
  TDCTextState State;
  QTransform ToSurface;
  if (!GetDCTextState(DC, State, ToSurface)) return 0;
  const String Face = LogFontFaceName(State.LogFont);
  if (!FaceName) return static_cast<int>(Face.size()) + 1;
  if (Count <= 0) return 0;
  const int Copied = std::min(static_cast<int>(Face.size()), Count - 1);
  std::memcpy(FaceName, Face.utf16(), sizeof(WCHAR) * Copied);
  FaceName[Copied] = 0;
  return Copied + 1;
}

}  // namespace gdi
