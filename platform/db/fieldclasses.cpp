#include "platform/db/fieldclasses.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/streampersist.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/maskutils.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace {

// The texts of a Boolean field without DisplayValues.
const char* const DefaultTrueText = "True";
const char* const DefaultFalseText = "False";
// The largest scale a BCD field declares.
constexpr Integer MaxBcdScale = 32;

// Frees a stream made by the dataset with the component model's Free.
struct TFreeObject {
  void operator()(TObject* Obj) const { Obj->Free(); }
};
using TStreamPtr = std::unique_ptr<TStream, TFreeObject>;

TStreamPtr createBlobStream(TField* Field, TBlobStreamMode Mode) {
  if (!Field->DataSet()) DatabaseErrorFmt(DBConsts::SDataSetMissing, {Field->DisplayName()});
  return TStreamPtr(Field->DataSet()->CreateBlobStream(Field, Mode));
}

[[noreturn]] void rangeError(TField* Field, const String& Value, const String& Min, const String& Max) {
  DatabaseErrorFmt(DBConsts::SFieldRangeError, {Value, Field->DisplayName(), Min, Max});
}

// MinValue = MaxValue = 0 means no range of the field's own: the type's
// range (TypeMin..TypeMax) applies.
void checkIntegerRange(TField* Field, Int64 Value, Int64 MinValue, Int64 MaxValue, Int64 TypeMin, Int64 TypeMax) {
  if (MinValue != 0 || MaxValue != 0) {
    TypeMin = MinValue;
    TypeMax = MaxValue;
  }
  if (Value < TypeMin || Value > TypeMax) rangeError(Field, IntToStr(Value), IntToStr(TypeMin), IntToStr(TypeMax));
}

Int64 parseInt64(TField* Field, const String& Text) {
  Int64 Value = 0;
  int Code = 0;
  Val(Text, Value, Code);
  if (Code != 0) DatabaseErrorFmt(DBConsts::SInvalidIntegerValue, {Text, Field->DisplayName()});
  return Value;
}

// Reals beyond it round to no 64-bit integer.
constexpr double Int64Limit = 9.2e18;

// A rounded float as an integer value; beyond 64 bits it is out of every
// integer field's range.
Int64 roundToInt64(TField* Field, double Value, const String& Min, const String& Max) {
  if (!(Value > -Int64Limit && Value < Int64Limit)) rangeError(Field, FloatToStr(Value), Min, Max);
  return Round(Value);
}

// What a numeric field finds in its dataset.  A dynamically typed store
// keeps whatever was written to a column, so besides its own kind a field
// may be handed a wider integer, a real, a text or bytes.
enum class TStoredKind { Integer, Real, Other };

TStoredKind storedKind(const Variant& Value) {
  switch (VarType(Value)) {
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger: case varLongWord:
    case varInt64: case varUInt64: case varBoolean: return TStoredKind::Integer;
    case varSingle: case varDouble: case varCurrency: case varDate: case varFMTBcd: return TStoredKind::Real;
    default: return TStoredKind::Other;
  }
}

// Bytes of a binary value; text maps 1:1 (Latin-1).
QByteArray binaryBytes(const Variant& Value) {
  return VarIsArray(Value) ? VarArrayToByteArray(Value) : VarToStr(Value).toLatin1();
}

// Any stored value as text: numbers exactly as the Variant writes them,
// bytes 1:1.
String storedText(const Variant& Value) {
  return VarIsArray(Value) ? QString::fromLatin1(binaryBytes(Value)) : Value.AsString();
}

[[noreturn]] void invalidInteger(TField* Field, const Variant& Value) {
  DatabaseErrorFmt(DBConsts::SInvalidIntegerValue, {storedText(Value), Field->DisplayName()});
}

// A stored value as a 64-bit integer: reals round (halves to even), texts
// parse; anything else raises the field's invalid-integer error.
Int64 storedInt64(TField* Field, const Variant& Value) {
  switch (storedKind(Value)) {
    case TStoredKind::Integer: return Value.AsInt64();
    case TStoredKind::Real: {
      const double Real = Value.AsDouble();
      if (!(Real > -Int64Limit && Real < Int64Limit)) invalidInteger(Field, Value);
      return Round(Real);
    }
    case TStoredKind::Other: break;
  }
  Int64 Result = 0;
  int Code = 0;
  Val(storedText(Value), Result, Code);
  if (Code != 0) invalidInteger(Field, Value);
  return Result;
}

// The same within 32 bits: a wider value is no Integer of this field.
Integer storedInteger(TField* Field, const Variant& Value) {
  const Int64 Result = storedInt64(Field, Value);
  if (Result < std::numeric_limits<Integer>::min() || Result > std::numeric_limits<Integer>::max())
    invalidInteger(Field, Value);
  return Integer(Result);
}

// The text of an integer field's value through Format ("" for the plain
// form); a value without a number shows as stored.
String integerText(const String& Format, const Variant& Value) {
  switch (storedKind(Value)) {
    case TStoredKind::Integer:
      return Format.isEmpty() ? IntToStr(Value.AsInt64()) : FormatFloat(Format, double(Value.AsInt64()));
    case TStoredKind::Real:
      if (!Format.isEmpty()) return FormatFloat(Format, Value.AsDouble());
      break;
    case TStoredKind::Other: break;
  }
  return storedText(Value);
}

// The global settings with '.' as the decimal separator, the second form
// numeric fields accept.
TFormatSettings dotSettings() {
  TFormatSettings Settings = FormatSettings();
  Settings.DecimalSeparator = u'.';
  return Settings;
}

bool parseFloat(const String& Text, double& Value) {
  return TryStrToFloat(Text, Value) || TryStrToFloat(Text, Value, dotSettings());
}

// A stored value as a double: texts parse, anything else raises the
// field's invalid-float error.
double storedFloat(TField* Field, const Variant& Value) {
  if (storedKind(Value) != TStoredKind::Other) return Value.AsDouble();
  double Result = 0;
  if (!parseFloat(storedText(Value), Result))
    DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {storedText(Value), Field->DisplayName()});
  return Result;
}

bool parseCurrency(const String& Text, Currency& Value) {
  return TryStrToCurr(Text, Value) || TryStrToCurr(Text, Value, dotSettings());
}

bool isIntegerChar(Char Ch) { return CharInSet(Ch, {u'+', u'-', u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9'}); }

bool isFloatChar(Char Ch) {
  return isIntegerChar(Ch) || Ch == u'E' || Ch == u'e' || Ch == FormatSettings().DecimalSeparator;
}

TBytes toBytes(const QByteArray& Bytes) { return TBytes(Bytes.begin(), Bytes.end()); }

QByteArray fromBytes(const TBytes& Bytes) {
  return QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size()));
}

bool isBlobType(TFieldType Type) {
  return (Type >= ftBlob && Type <= ftTypedBinary) || Type == ftOraBlob || Type == ftOraClob || Type == ftWideMemo;
}

bool isTextBlob(TFieldType Type) {
  return Type == ftMemo || Type == ftFmtMemo || Type == ftOraClob || Type == ftWideMemo;
}

}  // namespace

TFieldClass DefaultFieldClass(TFieldType FieldType) {
  switch (FieldType) {
    case ftString:
    case ftFixedChar:
    case ftOraInterval: return TStringField::StaticClass();
    case ftWideString:
    case ftFixedWideChar: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftShortint: return TShortintField::StaticClass();
    case ftByte: return TByteField::StaticClass();
    case ftLongWord: return TLongWordField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftExtended: return TExtendedField::StaticClass();
    case ftSingle: return TSingleField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob: return TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob: return TMemoField::StaticClass();
    case ftWideMemo: return TWideMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    case ftTimeStamp:
    case ftOraTimeStamp: return TSQLTimeStampField::StaticClass();
    case ftTimeStampOffset: return TSQLTimeStampOffsetField::StaticClass();
    default: return nullptr;
  }
}

namespace {

// Every field class that makes fields.
const std::vector<TClass>& fieldClasses() {
  static const std::vector<TClass> Classes{
      TStringField::StaticClass(),   TWideStringField::StaticClass(), TGuidField::StaticClass(),
      TIntegerField::StaticClass(),  TSmallintField::StaticClass(),   TShortintField::StaticClass(),
      TByteField::StaticClass(),     TWordField::StaticClass(),       TAutoIncField::StaticClass(),
      TLongWordField::StaticClass(), TLargeintField::StaticClass(),   TFloatField::StaticClass(),
      TCurrencyField::StaticClass(), TExtendedField::StaticClass(),   TSingleField::StaticClass(),
      TBCDField::StaticClass(),      TFMTBCDField::StaticClass(),     TBooleanField::StaticClass(),    TDateTimeField::StaticClass(),
      TDateField::StaticClass(),     TTimeField::StaticClass(),       TBytesField::StaticClass(),
      TVarBytesField::StaticClass(), TBlobField::StaticClass(),       TMemoField::StaticClass(),
      TWideMemoField::StaticClass(), TGraphicField::StaticClass(),    TVariantField::StaticClass(),
      TSQLTimeStampField::StaticClass(), TSQLTimeStampOffsetField::StaticClass(),
  };
  return Classes;
}

}  // namespace

void RegisterFieldClasses() {
  for (TClass Class : fieldClasses()) RegisterClass(Class);
}

void UnRegisterFieldClasses() {
  for (TClass Class : fieldClasses()) UnRegisterClass(Class);
}

// ---------------------------------------------------------------------------
// TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSize(20);
}

void TStringField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("EditMask", &TStringField::EditMask, &TStringField::SetEditMask);
  Props.Add("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(false);
  Props.Add("Size", &TStringField::Size, &TStringField::SetSize).Default(20);
  Props.Add("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate).Default(true);
}

String TStringField::GetAsString() {
  Variant Value;
  return GetData(Value) ? storedText(Value) : String();
}

void TStringField::SetAsString(const String& AValue) {
  SetData(Variant(Size() > 0 ? AValue.left(Size()) : AValue));
}

Integer TStringField::GetAsInteger() {
  Variant Value;
  return GetData(Value) ? StrToInt(Value.AsString()) : 0;
}

Int64 TStringField::GetAsLargeInt() {
  Variant Value;
  return GetData(Value) ? StrToInt64(Value.AsString()) : 0;
}

double TStringField::GetAsFloat() {
  Variant Value;
  return GetData(Value) ? StrToFloat(Value.AsString()) : 0;
}

// A text starting with T or Y (either case) is true.
bool TStringField::GetAsBoolean() {
  const String S = GetAsString();
  return !S.isEmpty() && CharInSet(S[0], {u'T', u't', u'Y', u'y'});
}

TDateTime TStringField::GetAsDateTime() {
  Variant Value;
  return GetData(Value) ? StrToDateTime(Value.AsString()) : 0;
}

Variant TStringField::GetAsVariant() {
  Variant Value;
  if (!GetData(Value)) return Null();
  // Stored text is the answer as it is; only other kinds become text.
  if (VarType(Value) != varUString) return Variant(storedText(Value));
  return Value;
}

void TStringField::SetVarValue(const Variant& AValue) { SetAsString(AValue.AsString()); }
void TStringField::SetAsInteger(Integer AValue) { SetAsString(IntToStr(AValue)); }
void TStringField::SetAsLargeInt(Int64 AValue) { SetAsString(IntToStr(AValue)); }
void TStringField::SetAsFloat(double AValue) { SetAsString(FloatToStr(AValue)); }
void TStringField::SetAsBoolean(bool AValue) { SetAsString(AValue ? QStringLiteral("T") : QStringLiteral("F")); }
void TStringField::SetAsDateTime(TDateTime AValue) { SetAsString(DateTimeToStr(AValue)); }

void TStringField::GetText(String& AText, bool DisplayText) {
  AText = DisplayText && !EditMask().isEmpty() ? FormatMaskText(EditMask(), GetAsString()) : GetAsString();
}

void TStringField::SetFieldType(TFieldType Value) {
  if (Value == ftString || Value == ftFixedChar || Value == ftOraInterval) SetDataType(Value);
}

void TStringField::CheckTypeSize(Integer Value) {
  if (Value < 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

Integer TStringField::GetDataSize() const { return (Size() + 1) * Integer(sizeof(Char)); }

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataType(ftWideString); }

void TWideStringField::SetFieldType(TFieldType Value) {
  if (Value == ftWideString || Value == ftFixedWideChar) SetDataType(Value);
}

// ---------------------------------------------------------------------------
// TGuidField

namespace {
constexpr Integer GuidSize = 38;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
}

TGuidField::TGuidField(TComponent* AOwner) : TStringField(AOwner) {
  SetDataType(ftGuid);
  SetSize(GuidSize);
}

void TGuidField::DescribeProperties(TPropertyTable& Props) { Props.Override("Size").Default(GuidSize); }

void TGuidField::CheckTypeSize(Integer Value) {
  if (Value != GuidSize) DatabaseError(DBConsts::SInvalidFieldSize);
}

// ---------------------------------------------------------------------------
// TNumericField

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::DescribeProperties(TPropertyTable& Props) {
  Props.Override("Alignment").Default(taRightJustify);
  Props.Add("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  Props.Add("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

bool TNumericField::IsValidChar(Char Ch) { return isIntegerChar(Ch); }

void TNumericField::SetDisplayFormat(const String& Value) {
  FDisplayFormat = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TNumericField::SetEditFormat(const String& Value) {
  FEditFormat = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

// The edit text falls back to the display format when it has none.
const String& TNumericField::TextFormat(bool DisplayText) const {
  return DisplayText || FEditFormat.isEmpty() ? FDisplayFormat : FEditFormat;
}

// ---------------------------------------------------------------------------
// TIntegerField and the narrower integer classes

TIntegerField::TIntegerField(TComponent* AOwner)
    : TIntegerField(AOwner, ftInteger, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(),
                    varInteger, Integer(sizeof(Integer)), 10) {}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType Type, Integer MinRange, Integer MaxRange,
                             TVarType Kind, Integer DataSize, Integer DefaultWidth)
    : TNumericField(AOwner),
      FMinRange(MinRange),
      FMaxRange(MaxRange),
      FValueKind(Kind),
      FDataSize(DataSize),
      FDefaultWidth(DefaultWidth) {
  SetDataType(Type);
}

void TIntegerField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
  Props.Add("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}

void TIntegerField::SetMinValue(Integer Value) { FMinValue = Value; }
void TIntegerField::SetMaxValue(Integer Value) { FMaxValue = Value; }

Integer TIntegerField::GetAsInteger() {
  Variant Value;
  return GetData(Value) ? storedInteger(this, Value) : 0;
}

Int64 TIntegerField::GetAsLargeInt() {
  Variant Value;
  return GetData(Value) ? storedInt64(this, Value) : 0;
}

double TIntegerField::GetAsFloat() {
  Variant Value;
  return GetData(Value) ? storedFloat(this, Value) : 0;
}

String TIntegerField::GetAsString() {
  Variant Value;
  return GetData(Value) ? integerText(String(), Value) : String();
}

// The value kind when the value fits it, else as stored.
Variant TIntegerField::GetAsVariant() {
  Variant Value;
  if (!GetData(Value)) return Null();
  if (storedKind(Value) != TStoredKind::Integer) return Value;
  const Int64 Stored = Value.AsInt64();
  return Stored >= FMinRange && Stored <= FMaxRange ? VarAsType(Value, FValueKind) : Variant(Stored);
}

void TIntegerField::SetAsInteger(Integer AValue) { SetAsLargeInt(AValue); }

void TIntegerField::SetAsLargeInt(Int64 AValue) {
  if (FLargeValues) {
    checkIntegerRange(this, AValue, FMinValue, FMaxValue, std::numeric_limits<Int64>::min(),
                      std::numeric_limits<Int64>::max());
  } else {
    checkIntegerRange(this, AValue, FMinValue, FMaxValue, FMinRange, FMaxRange);
  }
  const bool InKind = AValue >= FMinRange && AValue <= FMaxRange;
  SetData(InKind ? VarAsType(Variant(Integer(AValue)), FValueKind) : Variant(AValue));
}

void TIntegerField::SetAsFloat(double AValue) {
  SetAsLargeInt(roundToInt64(this, AValue, IntToStr(FMinRange), IntToStr(FMaxRange)));
}

// Parsed as a 32-bit integer: a longer number is not an integer value here,
// unless the field keeps large values.
void TIntegerField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  if (FLargeValues) {
    SetAsLargeInt(parseInt64(this, AValue));
    return;
  }
  Integer Value = 0;
  int Code = 0;
  Val(AValue, Value, Code);
  if (Code != 0) DatabaseErrorFmt(DBConsts::SInvalidIntegerValue, {AValue, DisplayName()});
  SetAsInteger(Value);
}

void TIntegerField::SetVarValue(const Variant& AValue) { SetAsLargeInt(AValue.AsInt64()); }

void TIntegerField::GetText(String& AText, bool DisplayText) {
  Variant Value;
  AText = GetData(Value) ? integerText(TextFormat(DisplayText), Value) : String();
}

TSmallintField::TSmallintField(TComponent* AOwner)
    : TIntegerField(AOwner, ftSmallint, std::numeric_limits<SmallInt>::min(), std::numeric_limits<SmallInt>::max(),
                    varSmallint, Integer(sizeof(SmallInt)), 6) {}

TShortintField::TShortintField(TComponent* AOwner)
    : TIntegerField(AOwner, ftShortint, std::numeric_limits<ShortInt>::min(), std::numeric_limits<ShortInt>::max(),
                    varShortInt, Integer(sizeof(ShortInt)), 4) {}

TByteField::TByteField(TComponent* AOwner)
    : TIntegerField(AOwner, ftByte, 0, std::numeric_limits<Byte>::max(), varByte, Integer(sizeof(Byte)), 3) {}

TWordField::TWordField(TComponent* AOwner)
    : TIntegerField(AOwner, ftWord, 0, std::numeric_limits<Word>::max(), varWord, Integer(sizeof(Word)), 5) {}

TAutoIncField::TAutoIncField(TComponent* AOwner)
    : TIntegerField(AOwner, ftAutoInc, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(),
                    varInteger, Integer(sizeof(Integer)), 10) {}

// ---------------------------------------------------------------------------
// TLongWordField

namespace {
constexpr Int64 MaxLongWord = std::numeric_limits<LongWord>::max();
}

TLongWordField::TLongWordField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLongWord); }

void TLongWordField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("MaxValue", &TLongWordField::MaxValue, &TLongWordField::SetMaxValue).Default(0);
  Props.Add("MinValue", &TLongWordField::MinValue, &TLongWordField::SetMinValue).Default(0);
}

void TLongWordField::SetMinValue(LongWord Value) { FMinValue = Value; }
void TLongWordField::SetMaxValue(LongWord Value) { FMaxValue = Value; }

Int64 TLongWordField::GetAsLargeInt() {
  Variant Value;
  return GetData(Value) ? storedInt64(this, Value) : 0;
}

Integer TLongWordField::GetAsInteger() {
  Variant Value;
  return GetData(Value) ? storedInteger(this, Value) : 0;
}

double TLongWordField::GetAsFloat() {
  Variant Value;
  return GetData(Value) ? storedFloat(this, Value) : 0;
}

String TLongWordField::GetAsString() {
  Variant Value;
  return GetData(Value) ? integerText(String(), Value) : String();
}

// LongWord when the value fits it, else as stored.
Variant TLongWordField::GetAsVariant() {
  Variant Value;
  if (!GetData(Value)) return Null();
  if (storedKind(Value) != TStoredKind::Integer) return Value;
  const Int64 Stored = Value.AsInt64();
  return Stored >= 0 && Stored <= MaxLongWord ? VarAsType(Value, varLongWord) : Variant(Stored);
}

void TLongWordField::SetAsLargeInt(Int64 AValue) {
  checkIntegerRange(this, AValue, FMinValue, FMaxValue, 0, MaxLongWord);
  SetData(Variant(LongWord(AValue)));
}

void TLongWordField::SetAsInteger(Integer AValue) { SetAsLargeInt(AValue); }

void TLongWordField::SetAsFloat(double AValue) {
  SetAsLargeInt(roundToInt64(this, AValue, IntToStr(0), IntToStr(MaxLongWord)));
}

void TLongWordField::SetAsString(const String& AValue) {
  if (AValue.isEmpty())
    Clear();
  else
    SetAsLargeInt(parseInt64(this, AValue));
}

void TLongWordField::SetVarValue(const Variant& AValue) { SetAsLargeInt(AValue.AsInt64()); }

void TLongWordField::GetText(String& AText, bool DisplayText) {
  Variant Value;
  AText = GetData(Value) ? integerText(TextFormat(DisplayText), Value) : String();
}

// ---------------------------------------------------------------------------
// TLargeintField

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLargeint); }

void TLargeintField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("MaxValue", &TLargeintField::MaxValue, &TLargeintField::SetMaxValue).Default(0);
  Props.Add("MinValue", &TLargeintField::MinValue, &TLargeintField::SetMinValue).Default(0);
}

void TLargeintField::SetMinValue(Int64 Value) { FMinValue = Value; }
void TLargeintField::SetMaxValue(Int64 Value) { FMaxValue = Value; }

Int64 TLargeintField::GetAsLargeInt() {
  Variant Value;
  return GetData(Value) ? storedInt64(this, Value) : 0;
}

Integer TLargeintField::GetAsInteger() {
  Variant Value;
  return GetData(Value) ? storedInteger(this, Value) : 0;
}

double TLargeintField::GetAsFloat() {
  Variant Value;
  return GetData(Value) ? storedFloat(this, Value) : 0;
}

String TLargeintField::GetAsString() {
  Variant Value;
  return GetData(Value) ? integerText(String(), Value) : String();
}

Variant TLargeintField::GetAsVariant() {
  Variant Value;
  if (!GetData(Value)) return Null();
  return storedKind(Value) == TStoredKind::Integer ? Variant(Value.AsInt64()) : Value;
}

void TLargeintField::SetAsLargeInt(Int64 AValue) {
  checkIntegerRange(this, AValue, FMinValue, FMaxValue, std::numeric_limits<Int64>::min(),
                    std::numeric_limits<Int64>::max());
  SetData(Variant(AValue));
}

void TLargeintField::SetAsInteger(Integer AValue) { SetAsLargeInt(AValue); }

void TLargeintField::SetAsFloat(double AValue) {
  SetAsLargeInt(roundToInt64(this, AValue, IntToStr(std::numeric_limits<Int64>::min()),
                             IntToStr(std::numeric_limits<Int64>::max())));
}

void TLargeintField::SetAsString(const String& AValue) {
  if (AValue.isEmpty())
    Clear();
  else
    SetAsLargeInt(parseInt64(this, AValue));
}

void TLargeintField::SetVarValue(const Variant& AValue) { SetAsLargeInt(AValue.AsInt64()); }

void TLargeintField::GetText(String& AText, bool DisplayText) {
  Variant Value;
  AText = GetData(Value) ? integerText(TextFormat(DisplayText), Value) : String();
}

// ---------------------------------------------------------------------------
// TFloatField and its classes

namespace {
constexpr Integer MinFloatPrecision = 2;
constexpr Integer MaxFloatPrecision = 15;
}  // namespace

TFloatField::TFloatField(TComponent* AOwner) : TFloatField(AOwner, ftFloat) {}

TFloatField::TFloatField(TComponent* AOwner, TFieldType Type) : TNumericField(AOwner) { SetDataType(Type); }

void TFloatField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
  Props.Add("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
  Props.Add("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
  Props.Add("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(MaxFloatPrecision);
}

bool TFloatField::IsValidChar(Char Ch) { return isFloatChar(Ch); }

void TFloatField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TFloatField::SetPrecision(Integer Value) {
  const Integer Clamped = std::clamp(Value, MinFloatPrecision, MaxFloatPrecision);
  if (Clamped == FPrecision) return;
  FPrecision = Clamped;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TFloatField::SetMinValue(double Value) { FMinValue = Value; }
void TFloatField::SetMaxValue(double Value) { FMaxValue = Value; }

double TFloatField::GetAsFloat() {
  Variant Value;
  return GetData(Value) ? storedFloat(this, Value) : 0;
}

Integer TFloatField::GetAsInteger() {
  Variant Value;
  return GetData(Value) ? storedInteger(this, Value) : 0;
}

Int64 TFloatField::GetAsLargeInt() {
  Variant Value;
  return GetData(Value) ? storedInt64(this, Value) : 0;
}

::Currency TFloatField::GetAsCurrency() { return ::Currency(GetAsFloat()); }

String TFloatField::GetAsString() {
  Variant Value;
  if (!GetData(Value)) return String();
  return storedKind(Value) == TStoredKind::Other ? storedText(Value) : FloatToStr(Value.AsDouble());
}

Variant TFloatField::GetAsVariant() {
  Variant Value;
  if (!GetData(Value)) return Null();
  return storedKind(Value) == TStoredKind::Other ? Value : StoredValue(Value.AsDouble());
}

void TFloatField::SetAsFloat(double AValue) {
  if ((FMinValue != 0 || FMaxValue != 0) && (AValue < FMinValue || AValue > FMaxValue))
    rangeError(this, FloatToStr(AValue), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  SetData(StoredValue(AValue));
}

void TFloatField::SetAsInteger(Integer AValue) { SetAsFloat(AValue); }
void TFloatField::SetAsLargeInt(Int64 AValue) { SetAsFloat(double(AValue)); }
void TFloatField::SetAsCurrency(::Currency AValue) { SetAsFloat(AValue.ToDouble()); }

void TFloatField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  double Value = 0;
  if (!parseFloat(AValue, Value)) DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {AValue, DisplayName()});
  SetAsFloat(Value);
}

void TFloatField::SetVarValue(const Variant& AValue) { SetAsFloat(AValue.AsDouble()); }

void TFloatField::GetText(String& AText, bool DisplayText) {
  Variant Stored;
  if (!GetData(Stored)) {
    AText.clear();
    return;
  }
  if (storedKind(Stored) == TStoredKind::Other) {
    AText = storedText(Stored);
    return;
  }
  const double Value = Stored.AsDouble();
  const String& Format = TextFormat(DisplayText);
  if (!Format.isEmpty()) {
    AText = FormatFloat(Format, Value);
  } else if (FCurrency) {
    AText = FloatToStrF(Value, DisplayText ? ffCurrency : ffFixed, FPrecision, FormatSettings().CurrencyDecimals);
  } else {
    AText = FloatToStrF(Value, ffGeneral, FPrecision, 0);
  }
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner, ftCurrency) { SetCurrency(true); }

void TCurrencyField::DescribeProperties(TPropertyTable& Props) { Props.Override("Currency").Default(true); }

TExtendedField::TExtendedField(TComponent* AOwner) : TFloatField(AOwner, ftExtended) {}

TSingleField::TSingleField(TComponent* AOwner) : TFloatField(AOwner, ftSingle) {}

// ---------------------------------------------------------------------------
// TBCDField

namespace {
constexpr Integer DefaultBcdScale = 4;
}

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftBCD);
  SetSize(DefaultBcdScale);
}

void TBCDField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(false);
  Props.Add("MaxValue", &TBCDField::MaxValue, &TBCDField::SetMaxValue);
  Props.Add("MinValue", &TBCDField::MinValue, &TBCDField::SetMinValue);
  Props.Add("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
  Props.Add("Size", &TBCDField::Size, &TBCDField::SetSize).Default(DefaultBcdScale);
}

bool TBCDField::IsValidChar(Char Ch) { return isFloatChar(Ch); }

void TBCDField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TBCDField::SetPrecision(Integer Value) {
  if (Value == FPrecision) return;
  FPrecision = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TBCDField::SetMinValue(::Currency Value) { FMinValue = Value; }
void TBCDField::SetMaxValue(::Currency Value) { FMaxValue = Value; }

::Currency TBCDField::GetAsCurrency() {
  Variant Value;
  return GetData(Value) ? Value.AsCurrency() : ::Currency();
}

double TBCDField::GetAsFloat() { return GetAsCurrency().ToDouble(); }
Integer TBCDField::GetAsInteger() { return Variant(GetAsCurrency()).AsInteger(); }
Int64 TBCDField::GetAsLargeInt() { return Variant(GetAsCurrency()).AsInt64(); }

String TBCDField::GetAsString() {
  Variant Value;
  return GetData(Value) ? CurrToStr(Value.AsCurrency()) : String();
}

Variant TBCDField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? Variant(Value.AsCurrency()) : Null();
}

void TBCDField::SetAsCurrency(::Currency AValue) {
  const ::Currency None;
  if ((FMinValue != None || FMaxValue != None) && (AValue < FMinValue || AValue > FMaxValue))
    rangeError(this, CurrToStr(AValue), CurrToStr(FMinValue), CurrToStr(FMaxValue));
  SetData(Variant(AValue));
}

void TBCDField::SetAsFloat(double AValue) { SetAsCurrency(::Currency(AValue)); }
void TBCDField::SetAsInteger(Integer AValue) { SetAsCurrency(::Currency(AValue)); }
void TBCDField::SetAsLargeInt(Int64 AValue) { SetAsCurrency(::Currency(AValue)); }

void TBCDField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  ::Currency Value;
  if (!parseCurrency(AValue, Value)) DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {AValue, DisplayName()});
  SetAsCurrency(Value);
}

void TBCDField::SetVarValue(const Variant& AValue) { SetAsCurrency(AValue.AsCurrency()); }

void TBCDField::GetText(String& AText, bool DisplayText) {
  Variant Stored;
  if (!GetData(Stored)) {
    AText.clear();
    return;
  }
  const ::Currency Value = Stored.AsCurrency();
  const String& Format = TextFormat(DisplayText);
  if (!Format.isEmpty())
    AText = FormatFloat(Format, Value.ToDouble());
  else if (FCurrency)
    AText = CurrToStrF(Value, DisplayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
  else
    AText = CurrToStrF(Value, ffGeneral, 0);
}

void TBCDField::CheckTypeSize(Integer Value) {
  if (Value < 0 || Value > MaxBcdScale) DatabaseError(DBConsts::SInvalidFieldSize);
}

// ---------------------------------------------------------------------------
// TFMTBCDField

TFMTBCDField::TFMTBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFMTBcd);
  SetSize(DefaultBcdScale);
}

void TFMTBCDField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Precision", &TFMTBCDField::Precision, &TFMTBCDField::SetPrecision).Default(0);
  Props.Add("Size", &TFMTBCDField::Size, &TFMTBCDField::SetSize).Default(DefaultBcdScale);
}

bool TFMTBCDField::IsValidChar(Char Ch) { return isFloatChar(Ch); }

void TFMTBCDField::SetPrecision(Integer Value) {
  if (Value == FPrecision) return;
  FPrecision = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

TBcd TFMTBCDField::AsBCD() {
  Variant Value;
  return GetData(Value) ? VarToBcd(Value) : TBcd();
}

void TFMTBCDField::SetAsBCD(const TBcd& AValue) { SetData(VarFMTBcdCreate(AValue)); }

double TFMTBCDField::GetAsFloat() { return BcdToDouble(AsBCD()); }
Integer TFMTBCDField::GetAsInteger() { return BcdToInteger(AsBCD()); }
Int64 TFMTBCDField::GetAsLargeInt() { return BcdToInt64(AsBCD()); }

::Currency TFMTBCDField::GetAsCurrency() {
  ::Currency Result;
  if (!BcdToCurr(AsBCD(), Result)) throw EBcdOverflowException(QStringLiteral("BCD overflow"));
  return Result;
}

String TFMTBCDField::GetAsString() {
  Variant Value;
  return GetData(Value) ? BcdToStr(VarToBcd(Value)) : String();
}

Variant TFMTBCDField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? VarFMTBcdCreate(VarToBcd(Value)) : Null();
}

void TFMTBCDField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  TBcd Value;
  if (!TryStrToBcd(AValue, Value, FormatSettings()))
    DatabaseErrorFmt(DBConsts::SInvalidFloatValue, {AValue, DisplayName()});
  SetAsBCD(Value);
}

void TFMTBCDField::SetAsInteger(Integer AValue) { SetAsBCD(IntegerToBcd(AValue)); }
void TFMTBCDField::SetAsLargeInt(Int64 AValue) { SetAsBCD(Int64ToBcd(AValue)); }
void TFMTBCDField::SetAsFloat(double AValue) { SetAsBCD(DoubleToBcd(AValue)); }
void TFMTBCDField::SetAsCurrency(::Currency AValue) { SetAsBCD(CurrencyToBcd(AValue)); }
void TFMTBCDField::SetVarValue(const Variant& AValue) { SetAsBCD(VarToBcd(AValue)); }

void TFMTBCDField::GetText(String& AText, bool DisplayText) {
  Variant Stored;
  if (!GetData(Stored)) {
    AText.clear();
    return;
  }
  const String& Format = TextFormat(DisplayText);
  AText = Format.isEmpty() ? BcdToStr(VarToBcd(Stored)) : FormatBcd(Format, VarToBcd(Stored));
}

Integer TFMTBCDField::GetDataSize() const { return Integer(sizeof(TBcd)); }

void TFMTBCDField::CheckTypeSize(Integer Value) {
  if (Value < 0 || Value > MaxBcdDigits) DatabaseError(DBConsts::SInvalidFieldSize);
}

// ---------------------------------------------------------------------------
// TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBoolean);
  SetDisplayValues(String());
}

void TBooleanField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}

// "" stands for the default texts; otherwise the text before the first ';'
// is the true text and the rest the false text.
void TBooleanField::SetDisplayValues(const String& Value) {
  FDisplayValues = Value;
  if (Value.isEmpty()) {
    FTrueText = QString::fromLatin1(DefaultTrueText);
    FFalseText = QString::fromLatin1(DefaultFalseText);
  } else {
    const qsizetype Separator = Value.indexOf(u';');
    FTrueText = Separator < 0 ? Value : Value.left(Separator);
    FFalseText = Separator < 0 ? String() : Value.mid(Separator + 1);
  }
  PropertyChanged(/*LayoutAffected=*/false);
}

bool TBooleanField::GetAsBoolean() {
  Variant Value;
  return GetData(Value) && Value.AsBoolean();
}

String TBooleanField::GetAsString() {
  Variant Value;
  if (!GetData(Value)) return String();
  return Value.AsBoolean() ? FTrueText : FFalseText;
}

Variant TBooleanField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? Variant(Value.AsBoolean()) : Null();
}

void TBooleanField::SetAsBoolean(bool AValue) { SetData(Variant(AValue)); }

void TBooleanField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    if (FFalseText.isEmpty())
      SetAsBoolean(false);
    else if (FTrueText.isEmpty())
      SetAsBoolean(true);
    else
      Clear();
    return;
  }
  const auto IsPrefixOf = [&AValue](const String& Text) { return AnsiSameText(AValue, Text.left(AValue.size())); };
  if (IsPrefixOf(FFalseText))
    SetAsBoolean(false);
  else if (IsPrefixOf(FTrueText))
    SetAsBoolean(true);
  else
    DatabaseErrorFmt(DBConsts::SInvalidBoolValue, {AValue, DisplayName()});
}

void TBooleanField::SetVarValue(const Variant& AValue) { SetAsBoolean(AValue.AsBoolean()); }

Integer TBooleanField::GetDefaultWidth() const {
  return Integer(std::max(FTrueText.size(), FFalseText.size()));
}

// ---------------------------------------------------------------------------
// TDateTimeField and its classes

TDateTimeField::TDateTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftDateTime) {}

TDateTimeField::TDateTimeField(TComponent* AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }

void TDateTimeField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
  Props.Add("EditMask", &TDateTimeField::EditMask, &TDateTimeField::SetEditMask);
}

void TDateTimeField::SetDisplayFormat(const String& Value) {
  FDisplayFormat = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

TDateTime TDateTimeField::GetAsDateTime() {
  Variant Value;
  return GetData(Value) ? Value.AsDateTime() : 0;
}

double TDateTimeField::GetAsFloat() { return GetAsDateTime(); }

String TDateTimeField::GetAsString() {
  String Result;
  GetText(Result, /*DisplayText=*/false);
  return Result;
}

Variant TDateTimeField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? VarFromDateTime(Value.AsDateTime()) : Null();
}

void TDateTimeField::SetAsDateTime(TDateTime AValue) { SetData(VarFromDateTime(StoredValue(AValue))); }
void TDateTimeField::SetAsFloat(double AValue) { SetAsDateTime(AValue); }
void TDateTimeField::SetVarValue(const Variant& AValue) { SetAsDateTime(AValue.AsDateTime()); }

// Conversion errors of the runtime's parsers (EConvertError) pass unchanged.
void TDateTimeField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  switch (DataType()) {
    case ftDate: SetAsDateTime(StrToDate(AValue)); break;
    case ftTime: SetAsDateTime(StrToTime(AValue)); break;
    default: SetAsDateTime(StrToDateTime(AValue)); break;
  }
}

// An empty format is FormatDateTime's "c": the date, and the time unless it
// is midnight.
void TDateTimeField::GetText(String& AText, bool DisplayText) {
  Variant Value;
  if (!GetData(Value)) {
    AText.clear();
    return;
  }
  String Format;
  if (DisplayText && !FDisplayFormat.isEmpty())
    Format = FDisplayFormat;
  else if (DataType() == ftDate)
    Format = FormatSettings().ShortDateFormat;
  else if (DataType() == ftTime)
    Format = FormatSettings().LongTimeFormat;
  DateTimeToString(AText, Format, Value.AsDateTime());
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner, ftDate) {}

TDateTime TDateField::StoredValue(TDateTime AValue) { return DateOf(AValue); }

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) {}

TDateTime TTimeField::StoredValue(TDateTime AValue) { return TimeOf(AValue); }

// ---------------------------------------------------------------------------
// TBinaryField

namespace {
constexpr Integer DefaultBinarySize = 16;
}

TBinaryField::TBinaryField(TComponent* AOwner, TFieldType Type) : TField(AOwner) {
  SetDataType(Type);
  SetSize(DefaultBinarySize);
}

void TBinaryField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Size", &TBinaryField::Size, &TBinaryField::SetSize).Default(DefaultBinarySize);
}

TBytes TBinaryField::GetAsBytes() {
  Variant Value;
  return GetData(Value) ? toBytes(binaryBytes(Value)) : TBytes();
}

String TBinaryField::GetAsString() {
  Variant Value;
  return GetData(Value) ? QString::fromLatin1(binaryBytes(Value)) : String();
}

Variant TBinaryField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? VarArrayFromBytes(binaryBytes(Value)) : Null();
}

void TBinaryField::SetAsBytes(const TBytes& AValue) { SetData(VarArrayFromBytes(AValue)); }

void TBinaryField::SetAsString(const String& AValue) { SetData(VarArrayFromBytes(AValue.toLatin1())); }

void TBinaryField::SetVarValue(const Variant& AValue) { SetData(VarArrayFromBytes(binaryBytes(AValue))); }

void TBinaryField::GetText(String& AText, bool) { AText = ClassDesc(); }

void TBinaryField::CheckTypeSize(Integer Value) {
  if (Value < 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

TBytesField::TBytesField(TComponent* AOwner) : TBinaryField(AOwner, ftBytes) {}

TVarBytesField::TVarBytesField(TComponent* AOwner) : TBinaryField(AOwner, ftVarBytes) {}

// ---------------------------------------------------------------------------
// TBlobField and its classes

QByteArray TBlobField::StreamBytes(TBlobType Type, const Variant& AValue) {
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) return QByteArray();
  if (!isTextBlob(Type) || VarIsArray(AValue)) return binaryBytes(AValue);
  if (Type == ftWideMemo) return fromBytes(TEncoding::Unicode()->GetBytes(AValue.AsString()));
  return UTF8Encode(AValue.AsString());
}

Variant TBlobField::StreamValue(TBlobType Type, const QByteArray& Bytes) {
  if (Bytes.isEmpty()) return Null();
  if (!isTextBlob(Type)) return VarArrayFromBytes(Bytes);
  if (Type == ftWideMemo)
    return Variant(TEncoding::Unicode()->GetString(reinterpret_cast<const Byte*>(Bytes.constData()),
                                                   Integer(Bytes.size())));
  return Variant(UTF8ToString(Bytes));
}

TBlobField::TBlobField(TComponent* AOwner) : TBlobField(AOwner, ftBlob) {}

TBlobField::TBlobField(TComponent* AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }

void TBlobField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType).Default(ftBlob);
  Props.Add("GraphicHeader", &TBlobField::GraphicHeader, &TBlobField::SetGraphicHeader).Default(true);
  Props.Add("Size", &TBlobField::Size, &TBlobField::SetSize).Default(0);
  Props.Add("Transliterate", &TBlobField::Transliterate, &TBlobField::SetTransliterate).Default(true);
}

void TBlobField::SetBlobType(TBlobType Value) { SetFieldType(Value); }

void TBlobField::SetFieldType(TFieldType Value) {
  if (isBlobType(Value)) SetDataType(Value);
}

void TBlobField::CheckTypeSize(Integer Value) {
  if (Value < 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

// Text blobs give their text; binary ones map each byte to one character.
String TBlobField::GetAsString() {
  Variant Value;
  if (!GetData(Value)) return String();
  return isTextBlob(DataType()) && !VarIsArray(Value) ? Value.AsString() : QString::fromLatin1(binaryBytes(Value));
}

void TBlobField::SetAsString(const String& AValue) {
  if (isTextBlob(DataType()))
    SetData(Variant(AValue));
  else
    SetData(VarArrayFromBytes(AValue.toLatin1()));
}

AnsiString TBlobField::GetAsAnsiString() {
  if (isTextBlob(DataType())) return AnsiString(GetAsString());
  return AnsiString(fromBytes(GetAsBytes()), DefaultSystemCodePage());
}

void TBlobField::SetAsAnsiString(const AnsiString& AValue) {
  if (isTextBlob(DataType()))
    SetAsString(AValue.ToString());
  else
    SetData(VarArrayFromBytes(AValue.Bytes()));
}

TBytes TBlobField::GetAsBytes() {
  Variant Value;
  GetData(Value);
  return toBytes(StreamBytes(DataType(), Value));
}

void TBlobField::SetAsBytes(const TBytes& AValue) { SetData(StreamValue(DataType(), fromBytes(AValue))); }

Variant TBlobField::GetAsVariant() {
  Variant Value;
  GetData(Value);
  return Value;
}

void TBlobField::SetVarValue(const Variant& AValue) {
  if (VarIsArray(AValue))
    SetData(StreamValue(DataType(), binaryBytes(AValue)));
  else if (isTextBlob(DataType()))
    SetData(Variant(AValue.AsString()));
  else
    SetData(VarArrayFromBytes(binaryBytes(AValue)));
}

void TBlobField::GetText(String& AText, bool) { AText = ClassDesc(); }

void TBlobField::Assign(TPersistent* Source) {
  IStreamPersist* Persist = nullptr;
  if (Source && !Is<TField>(Source) && Supports(Source, Persist)) {
    TMemoryStream Bytes;
    Persist->SaveToStream(&Bytes);
    LoadFromStream(&Bytes);
    return;
  }
  TField::Assign(Source);
}

void TBlobField::LoadFromStream(TStream* Stream) {
  TStreamPtr Blob = createBlobStream(this, bmWrite);
  Blob->CopyFrom(Stream, 0);
}

void TBlobField::SaveToStream(TStream* Stream) {
  TStreamPtr Blob = createBlobStream(this, bmRead);
  Stream->CopyFrom(Blob.get(), 0);
}

void TBlobField::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead);
  LoadFromStream(&Stream);
}

void TBlobField::SaveToFile(const String& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream);
}

Integer TBlobField::BlobSize() { return Integer(createBlobStream(this, bmRead)->Size()); }

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner, ftMemo) {}

void TMemoField::DescribeProperties(TPropertyTable& Props) { Props.Override("BlobType").Default(ftMemo); }

TWideMemoField::TWideMemoField(TComponent* AOwner) : TBlobField(AOwner, ftWideMemo) {}

void TWideMemoField::DescribeProperties(TPropertyTable& Props) { Props.Override("BlobType").Default(ftWideMemo); }

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner, ftGraphic) {}

void TGraphicField::DescribeProperties(TPropertyTable& Props) { Props.Override("BlobType").Default(ftGraphic); }

// ---------------------------------------------------------------------------
// TVariantField

TVariantField::TVariantField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftVariant); }

Variant TVariantField::GetAsVariant() {
  Variant Value;
  GetData(Value);
  return Value;
}

// Null reads as Unassigned, which converts to the empty value of each kind.
Variant TVariantField::valueOrEmpty() {
  Variant Value;
  return GetData(Value) ? Value : Unassigned();
}

String TVariantField::GetAsString() { return VarToStr(GetAsVariant()); }
Integer TVariantField::GetAsInteger() { return valueOrEmpty().AsInteger(); }
Int64 TVariantField::GetAsLargeInt() { return valueOrEmpty().AsInt64(); }
double TVariantField::GetAsFloat() { return valueOrEmpty().AsDouble(); }
Currency TVariantField::GetAsCurrency() { return valueOrEmpty().AsCurrency(); }
bool TVariantField::GetAsBoolean() { return valueOrEmpty().AsBoolean(); }
TDateTime TVariantField::GetAsDateTime() { return valueOrEmpty().AsDateTime(); }

void TVariantField::SetVarValue(const Variant& AValue) { SetData(AValue); }
void TVariantField::SetAsString(const String& AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsInteger(Integer AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsLargeInt(Int64 AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsFloat(double AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsCurrency(Currency AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsBoolean(bool AValue) { SetData(Variant(AValue)); }
void TVariantField::SetAsDateTime(TDateTime AValue) { SetData(VarFromDateTime(AValue)); }

// ---------------------------------------------------------------------------
// TSQLTimeStampField

TSQLTimeStampField::TSQLTimeStampField(TComponent* AOwner) : TSQLTimeStampField(AOwner, ftTimeStamp) {}

TSQLTimeStampField::TSQLTimeStampField(TComponent* AOwner, TFieldType Type) : TField(AOwner) { SetDataType(Type); }

void TSQLTimeStampField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("DisplayFormat", &TSQLTimeStampField::DisplayFormat, &TSQLTimeStampField::SetDisplayFormat);
}

TVarType TSQLTimeStampField::valueKind() const {
  return DataType() == ftTimeStampOffset ? varSQLTimeStampOffset : varSQLTimeStamp;
}

Variant TSQLTimeStampField::GetAsVariant() {
  Variant Value;
  return GetData(Value) ? Value : Null();
}

TDateTime TSQLTimeStampField::GetAsDateTime() {
  Variant Value;
  return GetData(Value) ? Value.AsDateTime() : 0;
}

String TSQLTimeStampField::GetAsString() {
  String Text;
  GetText(Text, /*DisplayText=*/false);
  return Text;
}

void TSQLTimeStampField::GetText(String& AText, bool DisplayText) {
  Variant Value;
  if (!GetData(Value)) {
    AText.clear();
    return;
  }
  AText = DisplayText && !FDisplayFormat.isEmpty() ? FormatDateTime(FDisplayFormat, Value.AsDateTime())
                                                  : VarToStr(Value);
}

void TSQLTimeStampField::SetVarValue(const Variant& AValue) { SetData(VarAsType(AValue, valueKind())); }

void TSQLTimeStampField::SetAsDateTime(TDateTime AValue) {
  SetData(VarAsType(VarFromDateTime(AValue), valueKind()));
}

void TSQLTimeStampField::SetAsString(const String& AValue) {
  if (AValue.isEmpty()) {
    Clear();
    return;
  }
  SetAsDateTime(StrToDateTime(AValue));
}

TSQLTimeStampOffsetField::TSQLTimeStampOffsetField(TComponent* AOwner)
    : TSQLTimeStampField(AOwner, ftTimeStampOffset) {}

// ---------------------------------------------------------------------------
// TAggregateField

TAggregateField::TAggregateField(TComponent* AOwner) : TField(AOwner) {
  SetFieldKind(fkAggregate);
  SetVisible(false);
}

void TAggregateField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Active", &TAggregateField::Active, &TAggregateField::SetActive).Default(false);
  Props.Add("Expression", &TAggregateField::Expression, &TAggregateField::SetExpression);
}

Variant TAggregateField::GetAsVariant() { return DataSet() ? DataSet()->GetAggregateValue(this) : Null(); }

String TAggregateField::GetAsString() { return VarToStr(GetAsVariant()); }

void TAggregateField::GetText(String& AText, bool) { AText = GetAsString(); }
