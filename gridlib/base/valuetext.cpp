#include "gridlib/base/valuetext.h"

#include "gridlib/base/basecontrols.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fields.h"
#include "platform/os/locales.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/picture.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The invariant format on top of the global settings (whose long time format
// and names it keeps).
TFormatSettings invariantSettings() {
  TFormatSettings S = FormatSettings();
  S.DecimalSeparator = u'.';
  S.DateSeparator = u'-';
  S.ShortDateFormat = QStringLiteral("YYYY/MM/DD");
  S.TimeSeparator = u':';
  S.ShortTimeFormat = QStringLiteral("HH:NN:SS");
  return S;
}

bool isFloatKind(TVarType Type) { return Type == varSingle || Type == varDouble; }

bool isIntegerKind(TVarType Type) {
  switch (Type) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64: case varUInt64: return true;
    default: return false;
  }
}

bool sameShape(const Variant& A, const Variant& B) {
  return VarArrayDimCount(A) == VarArrayDimCount(B) && VarArrayLowBound(A, 1) == VarArrayLowBound(B, 1) &&
         VarArrayHighBound(A, 1) == VarArrayHighBound(B, 1);
}

bool arraysEqual(const Variant& A, const Variant& B) {
  if (!sameShape(A, B)) return false;
  for (Integer I = VarArrayLowBound(A, 1); I <= VarArrayHighBound(A, 1); ++I)
    if (!VarSameValue(VarArrayGet(A, I), VarArrayGet(B, I))) return false;
  return true;
}

// The graphic header some blob fields put before the picture: Count 1,
// HeaderType $0100 and the size of what follows, little-endian.
constexpr Integer GraphicHeaderSize = 8;
constexpr Word GraphicHeaderCount = 1;
constexpr Word GraphicHeaderType = 0x0100;
// "BM" read as a little-endian word.
constexpr Word BitmapSignature = 19778;
// Providers look at no more than this many leading bytes.
constexpr Integer SignatureBytes = 64;

bool graphicHeaderMatches(const Byte* Header, Int64 BlobSize) {
  Word Count, Type;
  Cardinal Size;
  std::memcpy(&Count, Header, 2);
  std::memcpy(&Type, Header + 2, 2);
  std::memcpy(&Size, Header + 4, 4);
  return Count == GraphicHeaderCount && Type == GraphicHeaderType && Int64(Size) == BlobSize - GraphicHeaderSize;
}

std::vector<const TGraphicProviderMetaEh*>*& providerRegistry() {
  static std::vector<const TGraphicProviderMetaEh*>* Registry = nullptr;
  return Registry;
}

std::vector<const TGraphicProviderMetaEh*>& providers() {
  auto*& Registry = providerRegistry();
  if (!Registry) {
    Registry = new std::vector<const TGraphicProviderMetaEh*>;
    RegisterGraphicProviderEh(TBMPGraphicProviderEh::StaticClass());
  }
  return *Registry;
}

// The graphic class for the stream's bytes from its position on.
TClass graphicClassAt(TMemoryStream& Stream) {
  const Int64 Left = Stream.Size() - Stream.Position();
  const auto* Data = static_cast<const Byte*>(Stream.Memory()) + Stream.Position();
  const TClass Found = GetImageClassForStreamEh(Data, Integer(std::min<Int64>(Left, SignatureBytes)));
  return Found ? Found : TBitmap::StaticClass();
}

}  // namespace

// ---------------------------------------------------------------------------
// value text

String VarToInvariantStrEh(const Variant& V) {
  const TFormatSettings S = invariantSettings();
  const TVarType Type = VarType(V);
  if (Type == varCurrency) return CurrToStr(V.AsCurrency(), S);
  if (Type == varDate) return DateTimeToStr(V.AsDateTime(), S);
  if (isFloatKind(Type)) return FloatToStr(V.AsDouble(), S);
  return VarToStr(V);
}

Variant InvariantStrToVarEh(const String& Text, TVarType VarType) {
  const TFormatSettings S = invariantSettings();
  if (VarType == varDate) return VarFromDateTime(StrToDateTime(Text, S));
  if (VarType == varCurrency) return Variant(StrToCurr(Text, S));
  if (VarType == varFMTBcd) return VarFMTBcdCreate(StrToBcd(Text, S));
  if (isFloatKind(VarType) || isIntegerKind(VarType)) return VarAsType(Variant(StrToFloat(Text, S)), VarType);
  return VarAsType(Variant(Text), VarType);
}

String FloatToStrPointEh(double Value) {
  TFormatSettings S = FormatSettings();
  S.DecimalSeparator = u'.';
  return FloatToStr(Value, S);
}

String VarToDisplayStrEh(const Variant& V) {
  return VarType(V) == varDate ? DateTimeToStr(V.AsDateTime()) : VarToStr(V);
}

String VarToStrArrayEh(const Variant& V) {
  if (!VarIsArray(V)) return VarToStr(V);
  String Result = QStringLiteral("[");
  for (Integer I = VarArrayLowBound(V, 1); I <= VarArrayHighBound(V, 1); ++I) {
    if (I > VarArrayLowBound(V, 1)) Result += QStringLiteral(", ");
    Result += VarToStrArrayEh(VarArrayGet(V, I));
  }
  return Result + u']';
}

// ---------------------------------------------------------------------------
// comparison

bool VariantsEqualEh(const Variant& V1, const Variant& V2) {
  const bool Array1 = VarIsArray(V1), Array2 = VarIsArray(V2);
  if (Array1 != Array2) return false;
  try {
    if (Array1) return arraysEqual(V1, V2);
    if (VarIsEmpty(V1) != VarIsEmpty(V2)) return false;
    return VarSameValue(V1, V2);
  } catch (const Exception&) {
    return false;  // text against a number that it is not, and the like
  }
}

TVariantRelationship CompareVariantsEh(const Variant& V1, const Variant& V2) {
  const bool Array1 = VarIsArray(V1), Array2 = VarIsArray(V2);
  if (Array1 != Array2) return vrNotEqual;
  if (Array1 && sameShape(V1, V2)) {
    const Integer Low = VarArrayLowBound(V1, 1), High = VarArrayHighBound(V1, 1);
    if (High < Low) return vrNotEqual;
    for (Integer I = Low; I <= High; ++I) {
      const TVariantRelationship R = CompareVariantsEh(VarArrayGet(V1, I), VarArrayGet(V2, I));
      if (R != vrEqual) return R;
    }
    return vrEqual;
  }
  const bool Null1 = VarIsNull(V1), Null2 = VarIsNull(V2);
  if (Null1 && Null2) return vrEqual;
  if (Null1) return vrLessThan;
  if (Null2) return vrGreaterThan;
  return VarCompareValue(V1, V2);
}

// ---------------------------------------------------------------------------
// fields and types

String FormatFieldValueEh(const Variant& Value, TField* Field, const String& DisplayFormat) {
  if (VarIsEmpty(Value) || VarIsNull(Value)) return String();
  auto* Numeric = dynamic_cast<TNumericField*>(Field);
  const String OwnFormat = Numeric ? Numeric->DisplayFormat() : String();
  switch (Field->DataType()) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
      if (!DisplayFormat.isEmpty()) return FormatFloat(DisplayFormat, Value.AsDouble());
      if (!OwnFormat.isEmpty()) return FormatFloat(OwnFormat, Value.AsDouble());
      return IntToStr(Value.AsInt64());
    case ftFloat: case ftCurrency: {
      if (!DisplayFormat.isEmpty()) return FormatFloat(DisplayFormat, Value.AsDouble());
      if (!OwnFormat.isEmpty()) return FormatFloat(OwnFormat, Value.AsDouble());
      auto* Float = dynamic_cast<TFloatField*>(Field);
      const Integer Precision = Float ? Float->Precision() : 15;
      if (Float && Float->Currency())
        return FloatToStrF(Value.AsDouble(), ffCurrency, Precision, FormatSettings().CurrencyDecimals);
      return FloatToStrF(Value.AsDouble(), ffGeneral, Precision, 0);
    }
    case ftBCD: case ftFMTBcd: {
      if (!DisplayFormat.isEmpty()) return FormatFloat(DisplayFormat, Value.AsDouble());
      const Currency Amount = Value.AsCurrency();
      if (!OwnFormat.isEmpty()) return FormatFloat(OwnFormat, Amount.ToDouble());
      auto* Bcd = dynamic_cast<TBCDField*>(Field);
      if (Bcd && Bcd->Currency()) return CurrToStrF(Amount, ffCurrency, FormatSettings().CurrencyDecimals);
      return CurrToStrF(Amount, ffGeneral, 0);
    }
    case ftDate: case ftTime: case ftDateTime: {
      String Format = DisplayFormat;
      if (Format.isEmpty()) {
        auto* DateTime = dynamic_cast<TDateTimeField*>(Field);
        Format = DateTime ? DateTime->DisplayFormat() : String();
      }
      if (Format.isEmpty() && Field->DataType() == ftDate) Format = FormatSettings().ShortDateFormat;
      if (Format.isEmpty() && Field->DataType() == ftTime) Format = FormatSettings().LongTimeFormat;
      return FormatDateTime(Format, Value.AsDateTime());
    }
    default: return VarToStr(Value);
  }
}

bool IsNumericFieldTypeEh(TFieldType Type) {
  switch (Type) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd:
    case ftLongWord: case ftShortint: case ftByte: case ftExtended: case ftSingle: return true;
    default: return false;
  }
}

bool IsTextFieldTypeEh(TFieldType Type) {
  switch (Type) {
    case ftString: case ftMemo: case ftFmtMemo: case ftFixedChar: case ftWideString: case ftOraClob:
    case ftVariant: case ftGuid: case ftFixedWideChar: case ftWideMemo: return true;
    default: return false;
  }
}

bool VarIsNumericEh(const Variant& V) {
  switch (VarType(V)) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64: case varFMTBcd: return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------
// dates and times

TCalendarDateTimeUnitsEh GetDateTimeFormatUnitsEh(const String& Format) {
  const String F = AnsiUpperCase(Format);
  TCalendarDateTimeUnitsEh Units;
  int I = 0;
  while (I < F.size()) {
    const Char C = F[I];
    if (C == u'\'' || C == u'"') {
      const int Close = F.indexOf(C, I + 1);
      I = Close < 0 ? F.size() : Close + 1;
      continue;
    }
    if (C == u'A') {
      bool Matched = false;
      for (const char* Marker : {"AM/PM", "A/P", "AMPM"})
        if (F.mid(I).startsWith(QLatin1String(Marker))) {
          Units.Include(cdtuAmPmEh);
          I += int(std::strlen(Marker));
          Matched = true;
          break;
        }
      if (!Matched) ++I;
      continue;
    }
    switch (C.unicode()) {
      case u'Y': Units.Include(cdtuYearEh); break;
      case u'M': Units.Include(cdtuMonthEh); break;
      case u'D': Units.Include(cdtuDayEh); break;
      case u'H': Units.Include(cdtuHourEh); break;
      case u'N': Units.Include(cdtuMinuteEh); break;
      case u'S': Units.Include(cdtuSecondEh); break;
      default: break;
    }
    ++I;
  }
  return Units;
}

void GetLocaleTimeFormatEh(bool& Is24Hour, bool& AmPmPrefix) {
  const String Off = QStringLiteral("0");
  Is24Hour = GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ITIME, Off) != Off;
  AmPmPrefix = GetLocaleStr(LOCALE_USER_DEFAULT, LOCALE_ITIMEMARKPOSN, Off) != Off;
}

TDateTime TruncMillisecondsEh(TDateTime Value) {
  Word Year, Month, Day, Hour, Minute, Second, MilliSecond;
  DecodeDateTime(Value, Year, Month, Day, Hour, Minute, Second, MilliSecond);
  return EncodeDateTime(Year, Month, Day, Hour, Minute, Second, 0);
}

void SetTimePartEh(TDateTime& DateTime, TDateTime Time) {
  const double TimeOfDay = std::abs(Frac(Time));
  DateTime = Int(DateTime) + (DateTime < 0 ? -TimeOfDay : TimeOfDay);
}

// ---------------------------------------------------------------------------
// arrays

void CheckArrayInsertRangeEh(Integer Length, Integer StartIndex, Integer Amount) {
  if (Amount < 0) throw Exception(QStringLiteral("ArrayInsertRange: (Amount < 0)"));
  if (StartIndex > Length) throw Exception(QStringLiteral("ArrayInsertRange: StartIndex > Length(Extents)"));
}

void CheckArrayDeleteRangeEh(Integer Length, Integer StartIndex, Integer Amount) {
  if (Amount < 0) throw Exception(QStringLiteral("ArrayDeleteRange: (Amount < 0)"));
  if (StartIndex + Amount > Length)
    throw Exception(QStringLiteral("ArrayDeleteRange: StartIndex + Amount > Length(Extents)"));
}

// ---------------------------------------------------------------------------
// graphic providers

TClass TBMPGraphicProviderEh::GetImageClassForStream(const Byte* Data, Integer Size) {
  if (!Data || Size < 2) return nullptr;
  const Word Signature = Word(Data[0] | (Data[1] << 8));
  return Signature == BitmapSignature ? TBitmap::StaticClass() : nullptr;
}

void RegisterGraphicProviderEh(TClass Provider) {
  const auto* Meta = dynamic_cast<const TGraphicProviderMetaEh*>(Provider);
  assert(Meta && "a graphic provider class descends from TGraphicProviderEh");
  auto& List = providers();
  if (std::find(List.begin(), List.end(), Meta) == List.end()) List.insert(List.begin(), Meta);
}

TClass GetImageClassForStreamEh(const Byte* Data, Integer Size) {
  for (const TGraphicProviderMetaEh* Provider : providers())
    if (TClass Found = Provider->GetImageClassForStream(Data, Size)) return Found;
  return nullptr;
}

Integer GraphicProviderCountEh() { return Integer(providers().size()); }

void FreeGraphicProvidersEh() {
  delete providerRegistry();
  providerRegistry() = nullptr;
}

TGraphic* CreateGraphicFromFieldEh(TField* Field) {
  auto* Blob = dynamic_cast<TBlobField*>(Field);
  if (!Blob || !Blob->IsBlob()) return nullptr;
  TMemoryStreamEh Stream;
  Blob->SaveToStream(&Stream);
  Stream.SetPosition(0);
  TClass Class = TBitmap::StaticClass();
  if (GraphicProviderCountEh() > 0) {
    const auto* Bytes = static_cast<const Byte*>(Stream.Memory());
    if (Blob->GraphicHeader() && Stream.Size() >= GraphicHeaderSize && graphicHeaderMatches(Bytes, Stream.Size()))
      Stream.SetPosition(GraphicHeaderSize);
    Class = graphicClassAt(Stream);
  }
  std::unique_ptr<TGraphic, void (*)(TGraphic*)> Graphic(GraphicMeta(Class)->CreateGraphic(),
                                                          [](TGraphic* G) { G->Free(); });
  try {
    Graphic->LoadFromStream(&Stream);
  } catch (const EInvalidGraphic&) {
    // Unreadable picture data shows as an empty picture.
  }
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Graphic.get())) Bitmap->SetIgnorePalette(true);
  return Graphic.release();
}

void LoadPictureFromFieldEh(TField* Field, TPicture* Picture) {
  TGraphic* Graphic = CreateGraphicFromFieldEh(Field);
  Picture->SetGraphic(Graphic);
  FreeObjectEh(Graphic);
}

TPicture* CreatePictureFromFieldEh(TField* Field) {
  std::unique_ptr<TPicture, void (*)(TPicture*)> Picture(new TPicture, [](TPicture* P) { P->Free(); });
  LoadPictureFromFieldEh(Field, Picture.get());
  return Picture.release();
}
