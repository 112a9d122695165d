// FontFamily, Font, StringFormat and the text calls of Graphics.
#include "platform/ui/graphics/gdiplus.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/gdiplus_p.h"
#include "platform/ui/graphics/surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <algorithm>
#include <utility>

namespace gdiplus {

// ---------------------------------------------------------------------------
// FontCollection, PrivateFontCollection

FontCollection::~FontCollection() = default;

Status FontCollection::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status FontCollection::GetFamilies(INT numSought, FontFamily* gpfamilies, INT* numFound) const {
  if (!gpfamilies || !numFound || numSought <= 0) {
    FLastStatus = InvalidParameter;
    return InvalidParameter;
  }
  *numFound = std::min(numSought, GetFamilyCount());
  for (INT I = 0; I < *numFound; ++I) gpfamilies[I] = FontFamily(FFamilies[I].constData(), this);
  return Ok;
}

bool FontCollection::HasFamily(const String& Name) const {
  return std::any_of(FFamilies.begin(), FFamilies.end(),
                     [&](const String& F) { return F.compare(Name, Qt::CaseInsensitive) == 0; });
}

PrivateFontCollection::~PrivateFontCollection() {
  for (void* Handle : FHandles) gdi::RemoveFontMemResourceEx(Handle);
}

Status PrivateFontCollection::AddMemoryFont(const void* memory, INT length) {
  if (!memory || length <= 0) {
    FLastStatus = InvalidParameter;
    return InvalidParameter;
  }
  gdi::DWORD Faces = 0;
  void* Handle = gdi::AddFontMemResourceEx(memory, gdi::DWORD(length), nullptr, &Faces);
  if (!Handle) {
    FLastStatus = FileNotFound;
    return FileNotFound;
  }
  FHandles.push_back(Handle);
  for (const String& Family : AddedFontFamilies(Handle))
    if (!HasFamily(Family)) FFamilies.push_back(Family);
  return Ok;
}

// ---------------------------------------------------------------------------
// FontFamily

FontFamily::FontFamily() = default;

FontFamily::FontFamily(const Char* name, const FontCollection* fontCollection)
    : FName(name ? String(name) : String()) {
  if (FName.isEmpty()) {
    FLastStatus = InvalidParameter;
  } else if (fontCollection && !fontCollection->HasFamily(FName)) {
    FName.clear();
    FLastStatus = FontFamilyNotFound;
  }
}

Status FontFamily::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status FontFamily::GetFamilyName(Char* name, LANGID /*language*/) const {
  if (!name) {
    FLastStatus = InvalidParameter;
    return InvalidParameter;
  }
  const qsizetype Count = std::min<qsizetype>(FName.size(), gdi::LF_FACESIZE - 1);
  std::copy_n(FName.constData(), Count, name);
  name[Count] = QChar(0);
  return Ok;
}

// ---------------------------------------------------------------------------
// Font

namespace {

constexpr double PointsPerInch = 72;

}  // namespace

Font::Font(const Char* familyName, REAL emSize, INT style, Unit unit, const FontCollection* /*fontCollection*/) {
  init(familyName ? String(familyName) : String(), emSize, style, unit);
}

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit) {
  init(family ? family->Name() : String(), emSize, style, unit);
}

void Font::init(const String& Family, REAL EmSize, INT Style, Unit U) {
  FFamily = Family;
  FSize = EmSize;
  FStyle = Style;
  FUnit = U;
  if (Family.isEmpty() || EmSize <= 0 || U == UnitDisplay || U < UnitWorld || U > UnitMillimeter)
    FLastStatus = InvalidParameter;
  else if (U != UnitWorld && U != UnitPixel && U != UnitPoint)
    FLastStatus = NotImplemented;
}

Status Font::GetLastStatus() const { return std::exchange(FLastStatus, Ok); }

Status Font::GetFamily(FontFamily* family) const {
  if (!family) {
    FLastStatus = InvalidParameter;
    return InvalidParameter;
  }
  *family = FontFamily(FFamily.constData());
  return Ok;
}

REAL Font::EmSize(REAL DpiY) const { return FUnit == UnitPoint ? REAL(FSize * DpiY / PointsPerInch) : FSize; }

QFont Font::QtFont(REAL DpiY, bool Antialiased) const {
  TFontFace Face;
  Face.Name = FFamily;
  Face.PixelSize = Integer(std::max<Int64>(1, Round(EmSize(DpiY))));
  Face.Weight = (FStyle & FontStyleBold) ? 700 : 400;
  Face.Italic = FStyle & FontStyleItalic;
  Face.Underline = FStyle & FontStyleUnderline;
  Face.StrikeOut = FStyle & FontStyleStrikeout;
  Face.Antialiased = Antialiased;
  return MakeQtFont(Face);
}

String Font::RecordText() const {
  return QStringLiteral("font=%1/%2%3")
      .arg(FFamily, RecordNumber(FSize), FUnit == UnitPoint ? QStringLiteral("pt") : QStringLiteral("px"));
}

// ---------------------------------------------------------------------------
// StringFormat

StringFormat::StringFormat(INT formatFlags, LANGID /*language*/) : FFlags(formatFlags) {}

StringFormat::StringFormat(const StringFormat* format)
    : FFlags(format ? format->FFlags : 0), FTypographic(format && format->FTypographic) {}

StringFormat::StringFormat(TTypographic) : FTypographic(true) {}

const StringFormat* StringFormat::GenericDefault() {
  static const StringFormat Default;
  return &Default;
}

const StringFormat* StringFormat::GenericTypographic() {
  static const StringFormat Typographic{TTypographic()};
  return &Typographic;
}

Status StringFormat::SetFormatFlags(INT flags) {
  FFlags = flags;
  return Ok;
}

// ---------------------------------------------------------------------------
// DrawString, MeasureString

namespace {

// The lines of a text; CR LF, LF and CR each end one.
QStringList textLines(const Char* Text, INT Length) {
  if (Length < 0) {
    Length = 0;
    while (Text[Length] != QChar(0)) ++Length;
  }
  QStringList Lines;
  INT Begin = 0;
  for (INT I = 0; I < Length; ++I) {
    if (Text[I] != QChar('\r') && Text[I] != QChar('\n')) continue;
    Lines << String(Text + Begin, I - Begin);
    if (Text[I] == QChar('\r') && I + 1 < Length && Text[I + 1] == QChar('\n')) ++I;
    Begin = I + 1;
  }
  Lines << String(Text + Begin, Length - Begin);
  return Lines;
}

// Unless the format is typographic the text stands em/6 inside its box on
// either side: callers that place labels from measured sizes expect it.
qreal padding(const Font& F, REAL DpiY, const StringFormat* Format) {
  constexpr qreal PaddingPerEm = 1.0 / 6;
  return Format && Format->Typographic() ? 0 : F.EmSize(DpiY) * PaddingPerEm;
}

bool textAntialiased(TextRenderingHint Hint) {
  return Hint != TextRenderingHintSingleBitPerPixel && Hint != TextRenderingHintSingleBitPerPixelGridFit;
}

}  // namespace

Status GraphicsPath::AddString(const Char* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const PointF& origin, const StringFormat* format) {
  if (!string || !family || !family->IsAvailable() || emSize <= 0) return setStatus(InvalidParameter);
  // the em size is in world units: the resolution does not matter
  constexpr REAL AnyDpi = 96;
  const Font F(family, emSize, style, UnitPixel);
  const QFont QtFont = F.QtFont(AnyDpi, /*Antialiased=*/true);
  const QFontMetricsF Metrics(QtFont);
  const qreal X = origin.X + padding(F, AnyDpi, format);
  qreal Baseline = origin.Y + Metrics.ascent();
  QPainterPath Outline;
  for (const String& Line : textLines(string, length)) {
    Outline.addText(QPointF(X, Baseline), QtFont, Line);
    Baseline += Metrics.lineSpacing();
  }
  addClosedFigures(Outline);
  return Ok;
}

Status Graphics::MeasureString(const Char* string, INT length, const Font* font, const PointF& origin,
                               const StringFormat* stringFormat, RectF* boundingBox) const {
  if (!FValid || !string || !font || !boundingBox) return setStatus(InvalidParameter);
  const QStringList Lines = textLines(string, length);
  if (Lines.size() == 1 && Lines.front().isEmpty()) {
    *boundingBox = RectF(origin.X, origin.Y, 0, 0);
    return Ok;
  }
  const QFontMetricsF Metrics(font->QtFont(FDpiY, textAntialiased(FTextHint)));
  qreal Widest = 0;
  for (const String& Line : Lines) Widest = std::max(Widest, Metrics.horizontalAdvance(Line));
  const qreal Pad = padding(*font, FDpiY, stringFormat);
  *boundingBox = RectF(origin.X, origin.Y, REAL(Widest + 2 * Pad), REAL(Lines.size() * Metrics.lineSpacing()));
  return Ok;
}

Status Graphics::DrawString(const Char* string, INT length, const Font* font, const PointF& origin,
                            const StringFormat* stringFormat, const Brush* brush) {
  if (!FValid || !string || !font || !brush) return setStatus(InvalidParameter);
  const QStringList Lines = textLines(string, length);
  if (recording()) {
    record(QStringLiteral("DrawString(\"%1\",%2) ").arg(Lines.join(QLatin1Char('\n')), RecordArgs({origin.X, origin.Y})) +
           font->RecordText() + QStringLiteral(" brush=") + brush->RecordText());
  }
  TGraphicsPaint Paint(*this, TGraphicsPaint::TKind::Text);
  if (!Paint) return Ok;
  const QFont QtFont = font->QtFont(FDpiY, textAntialiased(FTextHint));
  const QFontMetricsF Metrics(QtFont);
  Paint->setFont(QtFont);
  Paint->setPen(QPen(brush->QtBrush(), 0));
  const qreal X = origin.X + padding(*font, FDpiY, stringFormat);
  qreal Baseline = origin.Y + Metrics.ascent();
  for (const String& Line : Lines) {
    if (!Line.isEmpty()) Paint->drawText(QPointF(X, Baseline), Line);
    Baseline += Metrics.lineSpacing();
  }
  return Ok;
}

}  // namespace gdiplus
