#include "gridlib/memtable/datastruct.h"

#include "gridlib/base/datasetfeatureshook.h"
#include "gridlib/base/valuetext.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

const char* const SCantAssignDataType = "Can't assign DataType from Field";
const char* const SCanNotAssignDataType = "Can not assign DataType from Field";

[[noreturn]] void raiseKindDataType() { throw Exception(QString::fromLatin1(SCanNotAssignDataType)); }

// Index of DataType in a kind's table of types, or -1.
template <std::size_t N>
Integer kindIndexOf(const TFieldType (&Table)[N], TFieldType DataType) {
  const auto* It = std::find(std::begin(Table), std::end(Table), DataType);
  return It == std::end(Table) ? -1 : Integer(It - std::begin(Table));
}

// The data type of each kind value, in the order of the kind enumerations.
const TFieldType StringTypes[] = {ftString, ftFixedChar, ftWideString, ftGuid, ftFixedWideChar, ftOraInterval};
const TFieldType NumericTypes[] = {ftSmallint, ftInteger, ftWord,    ftFloat,    ftCurrency, ftBCD,      ftAutoInc,
                                   ftLargeint, ftFMTBcd,  ftLongWord, ftShortint, ftByte,     ftExtended, ftSingle};
const TFieldType DateTimeTypes[] = {ftDate, ftTime, ftDateTime};
const TFieldType InterfaceTypes[] = {ftInterface, ftIDispatch};
const TFieldType VariantTypes[] = {ftVariant, ftBytes, ftVarBytes};
const TFieldType SQLTimeStampTypes[] = {ftTimeStamp, ftOraTimeStamp, ftTimeStampOffset};

// A GUID text is 38 characters with its braces.
constexpr Cardinal GuidTextSize = 38;
constexpr Cardinal DefaultStringSize = 20;
constexpr Integer MaxStringDefaultWidth = 100;
constexpr Cardinal DefaultDecimalSize = 4;

bool isTextVarType(TVarType VarType) {
  return VarType == varString || VarType == varUString || VarType == varOleStr;
}

String cleanIdentifier(const String& Text) {
  String Result;
  for (QChar C : Text)
    if ((C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || (C >= u'0' && C <= u'9') || C == u'_')
      Result += C;
  return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// time-stamp texts of the stream
//
//   2021-03-04T10:20:30            fraction 0, no offset
//   2021-03-04T10:20:30.005        fraction (milliseconds) 5
//   2021-03-04T10:20:30.005-05:30  offset -5:30 (the sign applies to both)

namespace {

String timeStampText(const TSQLTimeStampOffset& T, bool WithOffset) {
  String Text = QString::asprintf("%.4d-%.2d-%.2dT%.2d:%.2d:%.2d", T.Year, T.Month, T.Day, T.Hour, T.Minute, T.Second);
  if (T.Fractions != 0) Text += QString::asprintf(".%.3d", int(T.Fractions));
  if (WithOffset && (T.TimeZoneHour != 0 || T.TimeZoneMinute != 0)) {
    const bool Negative = T.TimeZoneHour * 60 + T.TimeZoneMinute < 0;
    Text += QString::asprintf("%c%.2d:%.2d", Negative ? '-' : '+', std::abs(int(T.TimeZoneHour)),
                              std::abs(int(T.TimeZoneMinute)));
  }
  return Text;
}

// Digits at the 1-based Pos .. Pos + Count - 1 of Text; -1 when any is
// missing or not a digit.
int digitsAt(const String& Text, int Pos, int Count) {
  int Value = 0;
  for (int I = Pos - 1; I < Pos - 1 + Count; I++) {
    if (I >= Text.size() || !Text[I].isDigit() || Text[I].unicode() > u'9') return -1;
    Value = Value * 10 + (Text[I].unicode() - u'0');
  }
  return Value;
}

// Stream text is untrusted: a stamp whose parts are missing or out of range
// is the stream's error, never a value that fails later.
TSQLTimeStampOffset parseTimeStampText(const String& Text) {
  const auto invalid = [&Text]() -> EReadError {
    return EReadError(QStringLiteral("Invalid time stamp text \"%1\"").arg(Text));
  };
  const auto optional = [&Text](int Pos) { return Pos - 1 < Text.size() ? digitsAt(Text, Pos, 2) : 0; };
  TSQLTimeStampOffset T;
  const int Year = digitsAt(Text, 1, 4), Month = digitsAt(Text, 6, 2), Day = digitsAt(Text, 9, 2);
  const int Hour = optional(12), Minute = optional(15), Second = optional(18);
  if (Year < 0 || Month < 0 || Day < 0 || Hour < 0 || Minute < 0 || Second < 0) throw invalid();
  T.Year = Word(Year), T.Month = Word(Month), T.Day = Word(Day);
  T.Hour = Word(Hour), T.Minute = Word(Minute), T.Second = Word(Second);
  int SignPos = 20;
  if (Text.size() >= 20 && Text[19] == u'.') {
    const int Fraction = digitsAt(Text, 21, 3);
    if (Fraction < 0) throw invalid();
    T.Fractions = Cardinal(Fraction);
    SignPos = 24;
  }
  if (Text.size() >= SignPos && (Text[SignPos - 1] == u'+' || Text[SignPos - 1] == u'-')) {
    const int OffsetHour = digitsAt(Text, SignPos + 1, 2), OffsetMinute = digitsAt(Text, SignPos + 4, 2);
    if (OffsetHour < 0 || OffsetMinute < 0) throw invalid();
    const int Sign = Text[SignPos - 1] == u'-' ? -1 : 1;
    T.TimeZoneHour = SmallInt(Sign * OffsetHour);
    T.TimeZoneMinute = SmallInt(Sign * OffsetMinute);
  }
  TDateTime Unused = 0;
  if (T.Fractions > 999 || !TryEncodeDateTime(T.Year, T.Month, T.Day, T.Hour, T.Minute, T.Second,
                                              Word(T.Fractions), Unused))
    throw invalid();
  return T;
}

}  // namespace

// ---------------------------------------------------------------------------
// type tables

TClass MTDataFieldClassForType(TFieldType DataType) {
  switch (DataType) {
    case ftUnknown: return TMTRefObjectFieldEh::StaticClass();
    case ftBoolean: return TMTBooleanDataFieldEh::StaticClass();
    case ftBytes: case ftVarBytes: case ftVariant: return TMTVariantDataFieldEh::StaticClass();
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob: case ftOraClob: case ftWideMemo:
      return TMTBlobDataFieldEh::StaticClass();
    default: break;
  }
  if (kindIndexOf(StringTypes, DataType) >= 0) return TMTStringDataFieldEh::StaticClass();
  if (kindIndexOf(NumericTypes, DataType) >= 0) return TMTNumericDataFieldEh::StaticClass();
  if (kindIndexOf(DateTimeTypes, DataType) >= 0) return TMTDateTimeDataFieldEh::StaticClass();
  if (kindIndexOf(InterfaceTypes, DataType) >= 0) return TMTInterfaceDataFieldEh::StaticClass();
  if (kindIndexOf(SQLTimeStampTypes, DataType) >= 0) return TMTSQLTimeStampDataFieldEh::StaticClass();
  return nullptr;
}

TVarType MTVarTypeForDataType(TFieldType DataType) {
  switch (DataType) {
    case ftString: case ftMemo: case ftFmtMemo: case ftFixedChar: case ftOraClob: case ftGuid:
    case ftOraInterval: case ftWideString:
      return varUString;
    case ftFixedWideChar: case ftWideMemo: return varOleStr;
    case ftSmallint: return varSmallint;
    case ftInteger: case ftWord: case ftAutoInc: return varInteger;
    case ftShortint: return varShortInt;
    case ftByte: return varByte;
    case ftLongWord: return varLongWord;
    case ftLargeint: return varInt64;
    case ftBoolean: return varBoolean;
    case ftFloat: case ftExtended: return varDouble;
    case ftSingle: return varSingle;
    case ftCurrency: case ftBCD: return varCurrency;
    case ftDate: case ftTime: case ftDateTime: return varDate;
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob:
      return varArray | varByte;
    case ftVariant: return varVariant;
    case ftInterface: return varUnknown;
    case ftIDispatch: return varDispatch;
    case ftFMTBcd: return varFMTBcd;
    case ftTimeStamp: case ftOraTimeStamp: return varSQLTimeStamp;
    case ftTimeStampOffset: return varSQLTimeStampOffset;
    default: return varEmpty;
  }
}

Variant MTCastValue(const Variant& Value, TVarType VarType) { return MTCastValue(Variant(Value), VarType); }

Variant MTCastValue(Variant&& Value, TVarType VarType) {
  if (VarIsNull(Value) || VarIsEmpty(Value) || VarType == varVariant || ::VarType(Value) == VarType)
    return std::move(Value);
  if (VarType == varEmpty)
    throw EVariantTypeCastError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                    .arg(VarTypeAsText(::VarType(Value)), VarTypeAsText(VarType)));
  if (::VarType(Value) == (varArray | varByte) && isTextVarType(VarType))
    return VarAsType(Variant(AnsiString(VarArrayToByteArray(Value), DefaultSystemCodePage())), VarType);
  return VarAsType(Value, VarType);
}

// ---------------------------------------------------------------------------
// TMTDataFieldEh

TMTDataFieldEh::TMTDataFieldEh(TComponent* AOwner)
    : TComponent(AOwner), FIdentityText(GUIDToString(CreateGUID())) {}

void TMTDataFieldEh::BeforeDestruction() {
  if (FDataStruct) FDataStruct->FList.Remove(this);
  FDataStruct = nullptr;
  TComponent::BeforeDestruction();
}

void TMTDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  Props.Add("FieldName", &TMTDataFieldEh::FieldName, &TMTDataFieldEh::SetFieldName);
  Props.Add("Calculated", &TMTDataFieldEh::Calculated, &TMTDataFieldEh::SetCalculated).Default(false);
}

// The common display properties each kind publishes, in the stream's order;
// Alignment's default follows the kind.
namespace {
template <class T>
void addAlignment(TPropertyTable& Props, TAlignment Default) {
  Props.Add<T>("Alignment", &T::Alignment, &T::SetAlignment).Default(Default);
}
template <class T>
void addDefaultExpression(TPropertyTable& Props) {
  Props.Add<T>("DefaultExpression", &T::DefaultExpression, &T::SetDefaultExpression);
}
template <class T>
void addLabelAndWidth(TPropertyTable& Props) {
  Props.Add<T>("DisplayLabel", &T::DisplayLabel, &T::SetDisplayLabel);
  Props.Add<T>("DisplayWidth", &T::DisplayWidth, &T::SetDisplayWidth).NoDefault().Stored(&T::StoredDisplayWidth);
}
template <class T>
void addEditMask(TPropertyTable& Props) {
  Props.Add<T>("EditMask", &T::EditMask, &T::SetEditMask);
}
template <class T>
void addRequired(TPropertyTable& Props) {
  Props.Add<T>("Required", &T::Required, &T::SetRequired).Default(false);
}
template <class T>
void addVisible(TPropertyTable& Props) {
  Props.Add<T>("Visible", &T::Visible, &T::SetVisible).Default(true);
}
// Alignment, DefaultExpression, DisplayLabel, DisplayWidth, EditMask,
// Required, Visible: the run most kinds share.
template <class T>
void addDisplayRun(TPropertyTable& Props, TAlignment DefaultAlignment) {
  addAlignment<T>(Props, DefaultAlignment);
  addDefaultExpression<T>(Props);
  addLabelAndWidth<T>(Props);
  addEditMask<T>(Props);
  addRequired<T>(Props);
  addVisible<T>(Props);
}
}  // namespace

void TMTDataFieldEh::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TMTDataFieldEh*>(Source);
  if (!Src) {
    TComponent::Assign(Source);
    return;
  }
  SetFieldName(Src->FieldName());
  if (CanDinaSize() && Src->CanDinaSize()) SetSize(Src->Size());
  SetAlignment(Src->Alignment());
  SetDefaultExpression(Src->DefaultExpression());
  SetDisplayLabel(Src->DisplayLabel());
  SetDisplayWidth(Src->DisplayWidth());
  SetEditMask(Src->EditMask());
  SetRequired(Src->Required());
  SetVisible(Src->Visible());
  SetAutoIncrement(Src->AutoIncrement());
  SetCalculated(Src->Calculated());
}

void TMTDataFieldEh::SetDataStruct(TMTDataStructEh* Value) {
  if (Value == FDataStruct) return;
  if (FDataStruct) FDataStruct->RemoveField(this);
  if (Value) Value->InsertField(this);
}

Integer TMTDataFieldEh::Index() const { return FDataStruct ? FDataStruct->FList.IndexOf(const_cast<TMTDataFieldEh*>(this)) : -1; }

void TMTDataFieldEh::SetIndex(Integer Value) {
  const Integer Current = Index();
  if (Current < 0 || Value == Current) return;
  FDataStruct->FList.Move(Current, std::clamp(Value, 0, FDataStruct->Count() - 1));
  Changed();
}

void TMTDataFieldEh::SetCalculated(bool Value) { setAndSignal(FCalculated, Value); }

TComponent* TMTDataFieldEh::GetParentComponent() const { return FDataStruct; }

bool TMTDataFieldEh::HasParent() const { return true; }

void TMTDataFieldEh::SetParentComponent(TComponent* Value) {
  if (auto* Struct = dynamic_cast<TMTDataStructEh*>(Value)) SetDataStruct(Struct);
}

void TMTDataFieldEh::Changed() {
  if (FDataStruct && !FDataStruct->Updating()) FDataStruct->StructChanged();
}

Cardinal TMTDataFieldEh::GetDefaultSize() { return 0; }
TAlignment TMTDataFieldEh::GetDefaultAlignment() { return taLeftJustify; }
TAlignment TMTDataFieldEh::GetAlignment() { return FAlignment; }
bool TMTDataFieldEh::GetAutoIncrement() { return FAutoIncrement; }
TFieldType TMTDataFieldEh::GetDataType() { return ftUnknown; }
String TMTDataFieldEh::GetDefaultExpression() { return FDefaultExpression; }
Integer TMTDataFieldEh::GetDefaultWidth() { return 10; }
String TMTDataFieldEh::GetDisplayLabel() { return FDisplayLabel; }
Integer TMTDataFieldEh::GetDisplayWidth() { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
String TMTDataFieldEh::GetEditMask() { return FEditMask; }
String TMTDataFieldEh::GetFieldName() { return FFieldName; }
bool TMTDataFieldEh::GetReadOnly() { return FReadOnly; }
bool TMTDataFieldEh::GetRequired() { return FRequired; }
Cardinal TMTDataFieldEh::GetSize() { return FSize; }
bool TMTDataFieldEh::GetVisible() { return FVisible; }
void TMTDataFieldEh::SetAlignment(TAlignment Value) { setAndSignal(FAlignment, Value); }
void TMTDataFieldEh::SetAutoIncrement(bool Value) { setAndSignal(FAutoIncrement, Value); }
void TMTDataFieldEh::SetDefaultExpression(const String& Value) { setAndSignal(FDefaultExpression, Value); }
void TMTDataFieldEh::SetDisplayLabel(const String& Value) { setAndSignal(FDisplayLabel, Value); }
void TMTDataFieldEh::SetDisplayWidth(Integer Value) { setAndSignal(FDisplayWidth, Value); }
void TMTDataFieldEh::SetEditMask(const String& Value) { setAndSignal(FEditMask, Value); }
void TMTDataFieldEh::SetReadOnly(bool Value) { setAndSignal(FReadOnly, Value); }
void TMTDataFieldEh::SetRequired(bool Value) { setAndSignal(FRequired, Value); }
void TMTDataFieldEh::SetVisible(bool Value) { setAndSignal(FVisible, Value); }
bool TMTDataFieldEh::CanDinaSize() { return false; }
TVarType TMTDataFieldEh::GetVarDataType() { return MTVarTypeForDataType(GetDataType()); }

void TMTDataFieldEh::SetSize(Cardinal Value) {
  if (!CanDinaSize()) DatabaseError(QString::fromLatin1(DBConsts::SInvalidFieldSize));
  setAndSignal(FSize, Value);
}

void TMTDataFieldEh::SetFieldName(const String& Value) {
  if (Value == FFieldName) return;
  if (FDataStruct && FDataStruct->MemTableData()) FDataStruct->MemTableData()->DataStructChanging();
  if (FDataStruct && !AnsiSameText(Value, FFieldName)) FDataStruct->CheckFieldName(Value);
  FFieldName = Value;
  SetName(uniqueComponentName(Value));
  Changed();
}

String TMTDataFieldEh::uniqueComponentName(const String& FieldNameText) {
  String Base = cleanIdentifier(FieldNameText);
  if (Base.isEmpty() || Base[0].isDigit()) Base = cleanIdentifier(ClassName().mid(1) + Base);
  auto* Struct = dynamic_cast<TMTDataStructEh*>(Owner());
  if (!Struct) Struct = FDataStruct;
  if (!Struct) return Base;
  auto taken = [Struct](const String& Candidate) {
    for (Integer I = 0; I < Struct->Count(); I++)
      if (SameText(Struct->GetDataField(I)->Name(), Candidate)) return true;
    return false;
  };
  String Candidate = Base;
  for (Integer N = 2; taken(Candidate); N++) Candidate = Base + IntToStr(N);
  return Candidate;
}

void TMTDataFieldEh::AssignDataType(TFieldType) { throw Exception(QString::fromLatin1(SCantAssignDataType)); }

void TMTDataFieldEh::AssignProps(TField* Field) {
  SetAlignment(Field->Alignment());
  SetDefaultExpression(Field->DefaultExpression());
  SetDisplayLabel(Field->DisplayLabel());
  SetDisplayWidth(Field->DisplayWidth());
  SetEditMask(Field->EditMask());
  SetRequired(Field->Required());
  if (Field->AutoGenerateValue() == arAutoInc) SetAutoIncrement(true);
  if (CanDinaSize()) SetSize(Cardinal(Field->Size()));
  SetVisible(Field->Visible());
  SetCalculated(Field->FieldKind() == fkInternalCalc);
}

void TMTDataFieldEh::AssignPropsTo(TField* Field) {
  Field->SetAlignment(Alignment());
  Field->SetDefaultExpression(DefaultExpression());
  Field->SetDisplayLabel(DisplayLabel());
  Field->SetDisplayWidth(DisplayWidth());
  Field->SetEditMask(EditMask());
  Field->SetRequired(Required());
  if (AutoIncrement()) Field->SetAutoGenerateValue(arAutoInc);
  if (CanDinaSize()) Field->SetSize(Integer(Size()));
  Field->SetVisible(Visible());
}

namespace {
// The types written as raw bytes, kind-less ones included.
bool isBinaryStreamType(TFieldType Type) {
  switch (Type) {
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftCursor: case ftADT: case ftArray: case ftReference: case ftDataSet:
      return true;
    default: return false;
  }
}
}  // namespace

void TMTDataFieldEh::WriteDataToWriter(const Variant& Value, TWriter* Writer) {
  if (isBinaryStreamType(DataType())) {
    QByteArray Bytes;
    if (VarIsArray(Value))
      Bytes = VarArrayToByteArray(Value);
    else if (VarIsStr(Value))
      Bytes = VarToAnsiStr(Value).Bytes();
    Writer->WriteBinary(Bytes.constData(), Bytes.size());
    return;
  }
  if (VarIsNull(Value)) {
    Writer->WriteValue(vaNil);  // vaNull ends lists, so it never stands for a value
    return;
  }
  if (VarIsEmpty(Value))
    throw Exception(QStringLiteral("\"TMemoryRecordEh.WriteData\" - Invalid variant type - varEmpty"));
  if (VarIsFMTBcd(Value)) {
    Writer->WriteString(VarToInvariantStrEh(Value));
    return;
  }
  if (VarIsSQLTimeStamp(Value) || VarIsSQLTimeStampOffset(Value)) {
    Writer->WriteString(timeStampText(VarToSQLTimeStampOffset(Value), VarIsSQLTimeStampOffset(Value)));
    return;
  }
  Writer->WriteVariant(Value);
}

Variant TMTDataFieldEh::ReadDataFromReader(TReader* Reader) {
  if (isBinaryStreamType(DataType())) {
    if (Reader->NextValue() != vaBinary) {
      Reader->SkipValue();
      throw EReadError(QStringLiteral("Invalid property value"));
    }
    return MTCastValue(VarArrayFromBytes(Reader->ReadBinary()), VarDataType());
  }
  Variant Value = Reader->ReadVariant();
  if (VarIsEmpty(Value)) return Null();
  if (DataType() == ftFMTBcd && VarIsStr(Value)) Value = InvariantStrToVarEh(Value.AsString(), varFMTBcd);
  const bool TimeStamp = VarDataType() == varSQLTimeStamp || VarDataType() == varSQLTimeStampOffset;
  if (TimeStamp && VarIsStr(Value)) Value = Variant(parseTimeStampText(Value.AsString()));
  return MTCastValue(Value, VarDataType());
}

// ---------------------------------------------------------------------------
// string kind

TMTStringDataFieldEh::TMTStringDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  FSize = DefaultStringSize;
  UpdateVarDataType();
}

void TMTStringDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTStringDataFieldEh;
  Props.Add("StringDataType", &T::StringDataType, &T::SetStringDataType).NoDefault();
  addDisplayRun<T>(Props, taLeftJustify);
  Props.Add("FixedChar", &T::FixedChar, &T::SetFixedChar).Default(false);
  Props.Add<T>("Size", &T::Size, &T::SetSize).Default(Cardinal(DefaultStringSize));
  Props.Add("Transliterate", &T::Transliterate, &T::SetTransliterate).Default(false);
}

void TMTStringDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  if (auto* Src = dynamic_cast<TMTStringDataFieldEh*>(Source)) {
    SetStringDataType(Src->StringDataType());
    SetFixedChar(Src->FixedChar());
    SetTransliterate(Src->Transliterate());
  }
}

void TMTStringDataFieldEh::SetStringDataType(TMTStringDataTypeEh Value) {
  if (Value == FStringDataType) return;
  FStringDataType = Value;
  if (Value == fdtGuidEh) FSize = GuidTextSize;
  Changed();
  UpdateVarDataType();
}

Cardinal TMTStringDataFieldEh::GetDefaultSize() {
  return FStringDataType == fdtGuidEh ? GuidTextSize : DefaultStringSize;
}

TFieldType TMTStringDataFieldEh::GetDataType() { return StringTypes[FStringDataType]; }

Integer TMTStringDataFieldEh::GetDefaultWidth() { return std::min(Integer(Size()), MaxStringDefaultWidth); }

void TMTStringDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(StringTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FStringDataType = TMTStringDataTypeEh(Kind);
  UpdateVarDataType();
}

void TMTStringDataFieldEh::AssignProps(TField* Field) {
  TMTDataFieldEh::AssignProps(Field);
  if (auto* F = dynamic_cast<TStringField*>(Field)) {
    SetFixedChar(F->FixedChar());
    SetTransliterate(F->Transliterate());
  }
}

void TMTStringDataFieldEh::AssignPropsTo(TField* Field) {
  TMTDataFieldEh::AssignPropsTo(Field);
  if (auto* F = dynamic_cast<TStringField*>(Field)) {
    F->SetFixedChar(FixedChar());
    F->SetTransliterate(Transliterate());
  }
}

// ---------------------------------------------------------------------------
// numeric kind

TMTNumericDataFieldEh::TMTNumericDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  FAlignment = taRightJustify;
  UpdateVarDataType();
}

void TMTNumericDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTNumericDataFieldEh;
  Props.Add("NumericDataType", &T::NumericDataType, &T::SetNumericDataType).NoDefault();
  Props.Add<T>("AutoIncrement", &T::AutoIncrement, &T::SetAutoIncrement).NoDefault();
  addDisplayRun<T>(Props, taRightJustify);
  Props.Add("DisplayFormat", &T::DisplayFormat, &T::SetDisplayFormat);
  Props.Add("EditFormat", &T::EditFormat, &T::SetEditFormat);
  Props.Add("currency", &T::Currency, &T::SetCurrency).NoDefault();
  Props.Add("MaxValue", &T::MaxValue, &T::SetMaxValue);
  Props.Add("MinValue", &T::MinValue, &T::SetMinValue);
  Props.Add("Precision", &T::Precision, &T::SetPrecision).NoDefault();
  Props.Add("Scale", &T::Scale, &T::SetScale).NoDefault().Stored(&T::StoredSize);
}

void TMTNumericDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  auto* Src = dynamic_cast<TMTNumericDataFieldEh*>(Source);
  if (!Src) return;
  SetNumericDataType(Src->NumericDataType());
  SetDisplayFormat(Src->DisplayFormat());
  SetEditFormat(Src->EditFormat());
  SetCurrency(Src->Currency());
  SetMaxValue(Src->MaxValue());
  SetMinValue(Src->MinValue());
  SetPrecision(Src->Precision());
  if (CanDinaSize()) SetScale(Src->Scale());
}

void TMTNumericDataFieldEh::SetNumericDataType(TMTNumericDataTypeEh Value) {
  if (Value == FNumericDataType) return;
  FNumericDataType = Value;
  if (CanDinaSize() && FSize == 0) FSize = DefaultDecimalSize;
  Changed();
  UpdateVarDataType();
}

Cardinal TMTNumericDataFieldEh::GetDefaultSize() { return CanDinaSize() ? DefaultDecimalSize : 0; }

TFieldType TMTNumericDataFieldEh::GetDataType() { return NumericTypes[FNumericDataType]; }

Integer TMTNumericDataFieldEh::GetDefaultWidth() {
  if (FNumericDataType == fdtLargeintEh) return 15;
  if (CanDinaSize() && FPrecision > 0) return FPrecision + 1;
  return 10;
}

bool TMTNumericDataFieldEh::CanDinaSize() {
  return FNumericDataType == fdtBCDEh || FNumericDataType == fdtFMTBcdEh;
}

void TMTNumericDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(NumericTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FNumericDataType = TMTNumericDataTypeEh(Kind);
  if (CanDinaSize() && FSize == 0) FSize = DefaultDecimalSize;
  UpdateVarDataType();
}

void TMTNumericDataFieldEh::AssignProps(TField* Field) {
  TMTDataFieldEh::AssignProps(Field);
  auto* Numeric = dynamic_cast<TNumericField*>(Field);
  if (!Numeric) return;
  SetDisplayFormat(Numeric->DisplayFormat());
  SetEditFormat(Numeric->EditFormat());
  if (auto* F = dynamic_cast<TIntegerField*>(Field)) {
    SetMaxValue(F->MaxValue());
    SetMinValue(F->MinValue());
  } else if (auto* F = dynamic_cast<TLargeintField*>(Field)) {
    SetMaxValue(double(F->MaxValue()));
    SetMinValue(double(F->MinValue()));
  } else if (auto* F = dynamic_cast<TFloatField*>(Field)) {
    SetCurrency(F->Currency());
    SetMaxValue(F->MaxValue());
    SetMinValue(F->MinValue());
    SetPrecision(F->Precision());
  } else if (auto* F = dynamic_cast<TBCDField*>(Field)) {
    SetCurrency(F->Currency());
    SetMaxValue(F->MaxValue().ToDouble());
    SetMinValue(F->MinValue().ToDouble());
    SetPrecision(F->Precision());
    SetScale(Cardinal(F->Size()));
  }
}

void TMTNumericDataFieldEh::AssignPropsTo(TField* Field) {
  TMTDataFieldEh::AssignPropsTo(Field);
  auto* Numeric = dynamic_cast<TNumericField*>(Field);
  if (!Numeric) return;
  Numeric->SetDisplayFormat(DisplayFormat());
  Numeric->SetEditFormat(EditFormat());
  if (auto* F = dynamic_cast<TIntegerField*>(Field)) {
    F->SetMaxValue(Integer(Trunc(MaxValue())));
    F->SetMinValue(Integer(Trunc(MinValue())));
  } else if (auto* F = dynamic_cast<TLargeintField*>(Field)) {
    F->SetMaxValue(Trunc(MaxValue()));
    F->SetMinValue(Trunc(MinValue()));
  } else if (auto* F = dynamic_cast<TFloatField*>(Field)) {
    F->SetCurrency(Currency());
    F->SetMaxValue(MaxValue());
    F->SetMinValue(MinValue());
    F->SetPrecision(Precision());
  } else if (auto* F = dynamic_cast<TBCDField*>(Field)) {
    F->SetCurrency(Currency());
    F->SetMaxValue(::Currency(MaxValue()));
    F->SetMinValue(::Currency(MinValue()));
    F->SetPrecision(Precision());
  }
}

// ---------------------------------------------------------------------------
// date-time kind

TMTDateTimeDataFieldEh::TMTDateTimeDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarDataType();
}

void TMTDateTimeDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTDateTimeDataFieldEh;
  Props.Add("DateTimeDataType", &T::DateTimeDataType, &T::SetDateTimeDataType).NoDefault();
  addDisplayRun<T>(Props, taLeftJustify);
  Props.Add("DisplayFormat", &T::DisplayFormat, &T::SetDisplayFormat);
}

void TMTDateTimeDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  if (auto* Src = dynamic_cast<TMTDateTimeDataFieldEh*>(Source)) {
    SetDateTimeDataType(Src->DateTimeDataType());
    SetDisplayFormat(Src->DisplayFormat());
  }
}

void TMTDateTimeDataFieldEh::SetDateTimeDataType(TMTDateTimeDataTypeEh Value) {
  if (Value == FDateTimeDataType) return;
  FDateTimeDataType = Value;
  Changed();
  UpdateVarDataType();
}

TFieldType TMTDateTimeDataFieldEh::GetDataType() { return DateTimeTypes[FDateTimeDataType]; }

void TMTDateTimeDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(DateTimeTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FDateTimeDataType = TMTDateTimeDataTypeEh(Kind);
  UpdateVarDataType();
}

void TMTDateTimeDataFieldEh::AssignProps(TField* Field) {
  TMTDataFieldEh::AssignProps(Field);
  if (auto* F = dynamic_cast<TDateTimeField*>(Field)) SetDisplayFormat(F->DisplayFormat());
}

void TMTDateTimeDataFieldEh::AssignPropsTo(TField* Field) {
  TMTDataFieldEh::AssignPropsTo(Field);
  if (auto* F = dynamic_cast<TDateTimeField*>(Field)) F->SetDisplayFormat(DisplayFormat());
}

// ---------------------------------------------------------------------------
// blob kind

TMTBlobDataFieldEh::TMTBlobDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) { UpdateVarDataType(); }

void TMTBlobDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTBlobDataFieldEh;
  addDisplayRun<T>(Props, taLeftJustify);
  Props.Add("BlobType", &T::BlobType, &T::SetBlobType).Default(ftBlob);
  Props.Add("GraphicHeader", &T::GraphicHeader, &T::SetGraphicHeader).Default(true);
  Props.Add("Transliterate", &T::Transliterate, &T::SetTransliterate).NoDefault();
}

void TMTBlobDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  if (auto* Src = dynamic_cast<TMTBlobDataFieldEh*>(Source)) {
    SetBlobType(Src->BlobType());
    SetGraphicHeader(Src->GraphicHeader());
    SetTransliterate(Src->Transliterate());
  }
}

void TMTBlobDataFieldEh::SetBlobType(TBlobType Value) {
  if (Value == FBlobType) return;
  FBlobType = Value;
  Changed();
  UpdateVarDataType();
}

void TMTBlobDataFieldEh::AssignDataType(TFieldType FieldType) {
  if (FieldType < ftBlob || FieldType > ftWideMemo) return;
  FBlobType = FieldType;
  UpdateVarDataType();
}

void TMTBlobDataFieldEh::AssignProps(TField* Field) {
  TMTDataFieldEh::AssignProps(Field);
  if (auto* F = dynamic_cast<TBlobField*>(Field)) {
    SetBlobType(F->BlobType());
    SetGraphicHeader(F->GraphicHeader());
    SetTransliterate(F->Transliterate());
  }
}

void TMTBlobDataFieldEh::AssignPropsTo(TField* Field) {
  TMTDataFieldEh::AssignPropsTo(Field);
  if (auto* F = dynamic_cast<TBlobField*>(Field)) {
    F->SetBlobType(BlobType());
    F->SetGraphicHeader(GraphicHeader());
    F->SetTransliterate(Transliterate());
  }
}

// ---------------------------------------------------------------------------
// Boolean kind

TMTBooleanDataFieldEh::TMTBooleanDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) { UpdateVarDataType(); }

void TMTBooleanDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTBooleanDataFieldEh;
  addDisplayRun<T>(Props, taLeftJustify);
  Props.Add("DisplayValues", &T::DisplayValues, &T::SetDisplayValues);
}

void TMTBooleanDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  if (auto* Src = dynamic_cast<TMTBooleanDataFieldEh*>(Source)) SetDisplayValues(Src->DisplayValues());
}

Integer TMTBooleanDataFieldEh::GetDefaultWidth() {
  return Integer(std::max(QStringLiteral("True").size(), QStringLiteral("False").size()));
}

void TMTBooleanDataFieldEh::AssignDataType(TFieldType FieldType) {
  if (FieldType != ftBoolean) raiseKindDataType();
  UpdateVarDataType();
}

void TMTBooleanDataFieldEh::AssignProps(TField* Field) {
  TMTDataFieldEh::AssignProps(Field);
  if (auto* F = dynamic_cast<TBooleanField*>(Field)) SetDisplayValues(F->DisplayValues());
}

void TMTBooleanDataFieldEh::AssignPropsTo(TField* Field) {
  TMTDataFieldEh::AssignPropsTo(Field);
  if (auto* F = dynamic_cast<TBooleanField*>(Field); F && !DisplayValues().isEmpty())
    F->SetDisplayValues(DisplayValues());
}

// ---------------------------------------------------------------------------
// interface kind

TMTInterfaceDataFieldEh::TMTInterfaceDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarDataType();
}

void TMTInterfaceDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTInterfaceDataFieldEh;
  addAlignment<T>(Props, taLeftJustify);
  addDefaultExpression<T>(Props);
  addLabelAndWidth<T>(Props);
  Props.Add("InterfaceDataType", &T::InterfaceDataType, &T::SetInterfaceDataType).NoDefault();
  addRequired<T>(Props);
  addVisible<T>(Props);
}

void TMTInterfaceDataFieldEh::SetInterfaceDataType(TMTInterfaceDataTypeEh Value) {
  if (Value == FInterfaceDataType) return;
  FInterfaceDataType = Value;
  Changed();
  UpdateVarDataType();
}

TFieldType TMTInterfaceDataFieldEh::GetDataType() { return InterfaceTypes[FInterfaceDataType]; }

void TMTInterfaceDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(InterfaceTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FInterfaceDataType = TMTInterfaceDataTypeEh(Kind);
  UpdateVarDataType();
}

// ---------------------------------------------------------------------------
// variant kind

// The stream's default for the size of a variant field.
constexpr Cardinal VariantStreamDefaultSize = 16;

TMTVariantDataFieldEh::TMTVariantDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) { UpdateVarDataType(); }

void TMTVariantDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTVariantDataFieldEh;
  addAlignment<T>(Props, taLeftJustify);
  addDefaultExpression<T>(Props);
  addLabelAndWidth<T>(Props);
  Props.Add("VariantDataType", &T::VariantDataType, &T::SetVariantDataType).NoDefault();
  addRequired<T>(Props);
  Props.Add<T>("Size", &T::Size, &T::SetSize).Default(VariantStreamDefaultSize).Stored(&T::StoredSize);
  addVisible<T>(Props);
}

void TMTVariantDataFieldEh::SetVariantDataType(TMTVariantDataTypeEh Value) {
  if (Value == FVariantDataType) return;
  FVariantDataType = Value;
  Changed();
  UpdateVarDataType();
}

TFieldType TMTVariantDataFieldEh::GetDataType() { return VariantTypes[FVariantDataType]; }

bool TMTVariantDataFieldEh::CanDinaSize() { return FVariantDataType != fdtVariant; }

void TMTVariantDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(VariantTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FVariantDataType = TMTVariantDataTypeEh(Kind);
  UpdateVarDataType();
}

// ---------------------------------------------------------------------------
// reference-object kind

TMTRefObjectFieldEh::TMTRefObjectFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) { UpdateVarDataType(); }

void TMTRefObjectFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTRefObjectFieldEh;
  addAlignment<T>(Props, taLeftJustify);
  Props.Add<T>("DisplayLabel", &T::DisplayLabel, &T::SetDisplayLabel);
  Props.Add<T>("DisplayWidth", &T::DisplayWidth, &T::SetDisplayWidth).NoDefault().Stored(&T::StoredDisplayWidth);
  addRequired<T>(Props);
  addVisible<T>(Props);
}

void TMTRefObjectFieldEh::AssignDataType(TFieldType FieldType) {
  if (FieldType != ftUnknown) raiseKindDataType();
  UpdateVarDataType();
}

// ---------------------------------------------------------------------------
// SQL time-stamp kind

TMTSQLTimeStampDataFieldEh::TMTSQLTimeStampDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarDataType();
}

void TMTSQLTimeStampDataFieldEh::DescribeProperties(TPropertyTable& Props) {
  using T = TMTSQLTimeStampDataFieldEh;
  Props.Add("SQLTimeStampDataFieldType", &T::SQLTimeStampDataFieldType, &T::SetSQLTimeStampDataFieldType)
      .NoDefault();
  addDisplayRun<T>(Props, taLeftJustify);
  Props.Add("DisplayFormat", &T::DisplayFormat, &T::SetDisplayFormat);
}

void TMTSQLTimeStampDataFieldEh::Assign(TPersistent* Source) {
  TMTDataFieldEh::Assign(Source);
  if (auto* Src = dynamic_cast<TMTSQLTimeStampDataFieldEh*>(Source)) {
    SetSQLTimeStampDataFieldType(Src->SQLTimeStampDataFieldType());
    SetDisplayFormat(Src->DisplayFormat());
  }
}

void TMTSQLTimeStampDataFieldEh::SetSQLTimeStampDataFieldType(TMTSQLTimeStampDataTypeEh Value) {
  FSQLTimeStampDataFieldType = Value;
  UpdateVarDataType();
}

TFieldType TMTSQLTimeStampDataFieldEh::GetDataType() { return SQLTimeStampTypes[FSQLTimeStampDataFieldType]; }

void TMTSQLTimeStampDataFieldEh::AssignDataType(TFieldType FieldType) {
  const Integer Kind = kindIndexOf(SQLTimeStampTypes, FieldType);
  if (Kind < 0) raiseKindDataType();
  FSQLTimeStampDataFieldType = TMTSQLTimeStampDataTypeEh(Kind);
  UpdateVarDataType();
}

// ---------------------------------------------------------------------------
// TMTDataStructEh

TMTDataStructEh::TMTDataStructEh(TComponent* AMemTableData)
    : TComponent(AMemTableData), FMemTableData(dynamic_cast<TMemTableDataEh*>(AMemTableData)) {}

void TMTDataStructEh::BeforeDestruction() {
  FUpdateCount++;  // a structure going away signals nothing
  Clear();
  TComponent::BeforeDestruction();
}

TMTDataFieldEh* TMTDataStructEh::CreateField(TClass FieldClass) {
  auto* Field = static_cast<TMTDataFieldEh*>(FieldClass->Create(this));
  Field->FFieldId = FNextFieldId++;
  Field->SetDataStruct(this);
  return Field;
}

void TMTDataStructEh::InsertField(TMTDataFieldEh* Field) {
  FList.Add(Field);
  Field->FDataStruct = this;
  if (!Field->Owner()) InsertComponent(Field);
  if (!Updating()) StructChanged();
}

void TMTDataStructEh::RemoveField(TMTDataFieldEh* Field) {
  if (Field->FDataStruct != this) return;
  FList.Remove(Field);
  Field->FDataStruct = nullptr;
  if (Field->Owner() == this) RemoveComponent(Field);
  if (!Updating()) StructChanged();
}

void TMTDataStructEh::Clear() {
  for (Integer I = Count() - 1; I >= 0; I--) {
    TMTDataFieldEh* Field = GetDataField(I);
    Field->FDataStruct = nullptr;
    if (Field->Owner() == this) RemoveComponent(Field);
    Field->Free();
  }
  FList.Clear();
  if (!Updating()) StructChanged();
}

TMTDataFieldEh* TMTDataStructEh::GetDataField(Integer Index) const {
  return static_cast<TMTDataFieldEh*>(FList.Items(Index));
}

TMTDataFieldEh* TMTDataStructEh::FindField(const String& FieldName) const {
  for (Integer I = 0; I < Count(); I++)
    if (AnsiSameText(GetDataField(I)->FieldName(), FieldName)) return GetDataField(I);
  return nullptr;
}

TMTDataFieldEh* TMTDataStructEh::FieldByName(const String& FieldName) const {
  TMTDataFieldEh* Field = FindField(FieldName);
  if (!Field)
    DatabaseErrorFmt(QString::fromLatin1(DBConsts::SFieldNotFound), {FieldName},
                     const_cast<TMTDataStructEh*>(this));
  return Field;
}

Integer TMTDataStructEh::FieldIndex(const String& FieldName) const {
  for (Integer I = 0; I < Count(); I++)
    if (SameText(GetDataField(I)->FieldName(), FieldName)) return I;
  return -1;
}

TMTDataFieldEh* TMTDataStructEh::FindFieldByGIUD(const String& IdentityText) const {
  for (Integer I = 0; I < Count(); I++)
    if (GetDataField(I)->IdentityText() == IdentityText) return GetDataField(I);
  return nullptr;
}

void TMTDataStructEh::GetFieldList(TList* List, const String& FieldNames) const {
  int Pos = 1;
  while (Pos <= FieldNames.size()) {
    TMTDataFieldEh* Field = FieldByName(ExtractFieldName(FieldNames, Pos));
    if (List) List->Add(Field);
  }
}

TIntArrayEh TMTDataStructEh::FieldsIndex(const String& FieldNames) const {
  TIntArrayEh Result;
  if (FieldNames.contains(u';')) {
    int Pos = 1;
    while (Pos <= FieldNames.size()) Result.push_back(FieldByName(ExtractFieldName(FieldNames, Pos))->Index());
    return Result;
  }
  const Integer Index = FieldIndex(FieldNames);
  if (Index >= 0) Result.push_back(Index);
  return Result;
}

void TMTDataStructEh::CheckFieldName(const String& FieldName) {
  TComponent* Container = FMemTableData;
  if (FieldName.isEmpty()) DatabaseError(QString::fromLatin1(DBConsts::SFieldNameMissing), Container);
  if (FindField(FieldName))
    DatabaseErrorFmt(QString::fromLatin1(DBConsts::SDuplicateFieldName), {FieldName}, Container);
}

TMTDataFieldEh* TMTDataStructEh::ChangeFieldType(const String& FieldName, TClass FieldClass) {
  TMTDataFieldEh* Old = FieldByName(FieldName);
  const Integer At = Old->Index();
  BeginUpdate();
  auto* New = static_cast<TMTDataFieldEh*>(FieldClass->Create(this));
  New->FFieldId = FNextFieldId++;
  // The old field gives up its name first, so the new one can take it.
  const String Name = Old->FFieldName;
  Old->FFieldName.clear();
  Old->SetName(QString());
  New->FDataStruct = this;
  FList.Insert(At, New);
  New->Assign(Old);
  New->SetFieldName(Name);
  New->FIdentityText = Old->FIdentityText;
  if (Old->GetDefaultAlignment() != New->GetDefaultAlignment()) New->FAlignment = New->GetDefaultAlignment();
  FList.Remove(Old);
  Old->FDataStruct = nullptr;
  Old->Free();
  EndUpdate(/*AStructChanged=*/true);
  return New;
}

TMTDataFieldEh* TMTDataStructEh::BuildDataFieldForField(TField* AField) {
  TClass FieldClass = MTDataFieldClassForType(AField->DataType());
  if (!FieldClass)
    DatabaseErrorFmt(QString::fromLatin1(DBConsts::SUnknownFieldType), {AField->FieldName()}, FMemTableData);
  TMTDataFieldEh* Field = CreateField(FieldClass);
  Field->AssignDataType(AField->DataType());
  return Field;
}

TMTDataFieldEh* TMTDataStructEh::BuildAndCopyDataFieldForField(TField* AField) {
  TMTDataFieldEh* Field = BuildDataFieldForField(AField);
  Field->SetFieldName(AField->FieldName());
  Field->AssignProps(AField);
  return Field;
}

TMTDataFieldEh* TMTDataStructEh::BuildDataFieldForDef(const String& Name, TFieldType DataType, Integer Size,
                                                      Integer Precision) {
  TClass FieldClass = MTDataFieldClassForType(DataType);
  if (!FieldClass) DatabaseErrorFmt(QString::fromLatin1(DBConsts::SUnknownFieldType), {Name}, FMemTableData);
  TMTDataFieldEh* Field = CreateField(FieldClass);
  Field->AssignDataType(DataType);
  Field->SetFieldName(Name);
  if (auto* Numeric = dynamic_cast<TMTNumericDataFieldEh*>(Field); Numeric && Precision != 0)
    Numeric->SetPrecision(Precision);
  if (Field->CanDinaSize()) Field->SetSize(Cardinal(Size));
  return Field;
}

TMTDataFieldEh* TMTDataStructEh::BuildDataFieldForFieldDef(TFieldDef* AFieldDef) {
  TMTDataFieldEh* Field =
      BuildDataFieldForDef(AFieldDef->Name(), AFieldDef->DataType(), AFieldDef->Size(), AFieldDef->Precision());
  Field->SetRequired(AFieldDef->Attributes().Contains(faRequired));
  if (AFieldDef->DataType() == ftAutoInc) Field->SetAutoIncrement(true);
  Field->SetCalculated(AFieldDef->InternalCalcField());
  return Field;
}

void TMTDataStructEh::BuildStructFromFieldDefs(TFieldDefs* FieldDefs) {
  if (FMemTableData) FMemTableData->DestroyTable();
  for (Integer I = 0; I < FieldDefs->Count(); I++) BuildDataFieldForFieldDef(FieldDefs->Items(I));
}

void TMTDataStructEh::BuildStructFromFields(TFields* Fields) {
  if (FMemTableData) FMemTableData->DestroyTable();
  for (Integer I = 0; I < Fields->Count(); I++) {
    TField* Field = Fields->Fields(I);
    if (Field->FieldKind() != fkData && Field->FieldKind() != fkInternalCalc) continue;
    if (IDatasetFeaturesEh* Features = FindDatasetFeaturesForDataSet(Field->DataSet()))
      Features->CreateAndAsignMTDateField(this, Field);
    else
      BuildAndCopyDataFieldForField(Field);
  }
}

void TMTDataStructEh::BuildFieldDefsFromStruct(TFieldDefs* FieldDefs) {
  FieldDefs->BeginUpdate();
  try {
    FieldDefs->Clear();
    for (Integer I = 0; I < Count(); I++) {
      TMTDataFieldEh* Field = GetDataField(I);
      TFieldDef* Def = FieldDefs->AddFieldDef();
      Def->SetName(Field->FieldName());
      Def->SetDataType(Field->DataType());
      Def->SetSize(Integer(Field->Size()));
      Def->SetInternalCalcField(Field->Calculated());
      if (Field->Required()) Def->SetRequired(true);
      if (auto* Numeric = dynamic_cast<TMTNumericDataFieldEh*>(Field)) Def->SetPrecision(Numeric->Precision());
    }
  } catch (...) {
    FieldDefs->EndUpdate();
    throw;
  }
  FieldDefs->EndUpdate();
}

TMTDataStructEh* TMTDataStructEh::GetCopy() {
  auto* Copy = new TMTDataStructEh(nullptr);
  Copy->BeginUpdate();
  for (Integer I = 0; I < Count(); I++) {
    TMTDataFieldEh* Source = GetDataField(I);
    TMTDataFieldEh* Field = Copy->CreateField(Source->ClassType());
    Field->Assign(Source);
    Field->FIdentityText = Source->FIdentityText;
  }
  Copy->EndUpdate(/*AStructChanged=*/false);
  return Copy;
}

void TMTDataStructEh::EndRestructure(TMTDataStructEh* NewStructure, bool ApplyNewStructure) {
  std::unique_ptr<TMTDataStructEh, void (*)(TMTDataStructEh*)> Guard(NewStructure,
                                                                     [](TMTDataStructEh* S) { S->Free(); });
  if (ApplyNewStructure) Assign(NewStructure);
}

void TMTDataStructEh::Assign(TPersistent* Source) {
  auto* Src = dynamic_cast<TMTDataStructEh*>(Source);
  if (!Src) {
    TComponent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    if (FMemTableData && FMemTableData->RecordsList()->Count() > 0) convertRecords(Src);
    Clear();
    for (Integer I = 0; I < Src->Count(); I++) {
      TMTDataFieldEh* SourceField = Src->GetDataField(I);
      TMTDataFieldEh* Field = CreateField(SourceField->ClassType());
      Field->Assign(SourceField);
    }
  } catch (...) {
    FUpdateCount--;
    throw;
  }
  EndUpdate(/*AStructChanged=*/true);
}

namespace {

bool isStringKind(TMTDataFieldEh* Field) { return dynamic_cast<TMTStringDataFieldEh*>(Field) != nullptr; }

// One value of OldField converted to NewField: a failed type cast gives Null;
// text is cut when it moves into a string field that is shorter or new to
// text, except into a UTF-16 (wide string) field, which is never cut.
Variant convertValue(const Variant& Value, TMTDataFieldEh* OldField, TMTDataFieldEh* NewField) {
  Variant Result;
  try {
    Result = MTCastValue(Value, NewField->VarDataType());
  } catch (const EVariantTypeCastError&) {
    return Null();
  }
  if (VarIsNull(Result) || !isStringKind(NewField) || NewField->DataType() == ftWideString) return Result;
  const bool Cut = !isStringKind(OldField) || NewField->Size() < OldField->Size();
  if (Cut && VarIsStr(Result)) {
    const String Text = Result.AsString().left(Integer(NewField->Size()));
    Result = ::VarType(Result) == varOleStr ? VarAsType(Variant(Text), varOleStr) : Variant(Text);
  }
  return Result;
}

TRecDataValues convertRow(const TRecDataValues& Row, const std::vector<TMTDataFieldEh*>& OldFields,
                          const std::vector<Integer>& OldIndexes, TMTDataStructEh* NewStruct) {
  TRecDataValues Result(NewStruct->Count(), Null());
  for (Integer I = 0; I < NewStruct->Count(); I++)
    if (OldIndexes[I] >= 0)
      Result[I] = convertValue(Row[OldIndexes[I]], OldFields[OldIndexes[I]], NewStruct->GetDataField(I));
  return Result;
}

}  // namespace

void TMTDataStructEh::convertRecords(TMTDataStructEh* Source) {
  std::vector<TMTDataFieldEh*> OldFields;
  for (Integer I = 0; I < Count(); I++) OldFields.push_back(GetDataField(I));
  std::vector<Integer> OldIndexes;
  for (Integer I = 0; I < Source->Count(); I++) {
    TMTDataFieldEh* Match = FindFieldByGIUD(Source->GetDataField(I)->IdentityText());
    OldIndexes.push_back(Match ? Match->Index() : -1);
  }
  TRecordsListEh* Records = FMemTableData->RecordsList();
  for (Integer R = 0; R < Records->Count(); R++) {
    TMemoryRecordEh* Rec = Records->GetRec(R);
    Rec->FData = convertRow(Rec->FData, OldFields, OldIndexes, Source);
    if (!Rec->FOldData.empty()) Rec->FOldData = convertRow(Rec->FOldData, OldFields, OldIndexes, Source);
  }
}

void TMTDataStructEh::EndUpdate(bool AStructChanged) {
  FUpdateCount--;
  if (FUpdateCount == 0 && AStructChanged) StructChanged();
}

void TMTDataStructEh::StructChanged() {
  if (FMemTableData)
    FMemTableData->DataStructChanged();
  else
    FStructChanged = true;
  if (OnStructChanged) OnStructChanged(this);
}

void TMTDataStructEh::GetChildren(TGetChildProc Proc, TComponent*) {
  for (Integer I = 0; I < Count(); I++) Proc(GetDataField(I));
}
