// The field classes, one per kind of value, and the table that picks a class
// for a field type.
//
//   class               types                          value kind (Variant)
//   TStringField        ftString ftFixedChar ftOraInterval   String
//   TWideStringField    ftWideString ftFixedWideChar   String
//   TGuidField          ftGuid                         String (38 characters)
//   TIntegerField       ftInteger                      Integer
//     TSmallintField    ftSmallint                     SmallInt
//     TShortintField    ftShortint                     ShortInt
//     TByteField        ftByte                         Byte
//     TWordField        ftWord                         Word
//     TAutoIncField     ftAutoInc                      Integer
//   TLongWordField      ftLongWord                     LongWord
//   TLargeintField      ftLargeint                     Int64
//   TFloatField         ftFloat                        Double
//     TCurrencyField    ftCurrency                     Double (Currency true)
//     TExtendedField    ftExtended                     Double
//     TSingleField      ftSingle                       Single
//   TBCDField           ftBCD                          Currency
//   TBooleanField       ftBoolean                      Boolean
//   TDateTimeField      ftDateTime                     Date
//     TDateField        ftDate                         Date (no time)
//     TTimeField        ftTime                         Date (time only)
//   TBinaryField
//     TBytesField       ftBytes                        byte array
//     TVarBytesField    ftVarBytes                     byte array
//   TBlobField          ftBlob ftParadoxOle ftDBaseOle ftTypedBinary ftOraBlob   byte array
//     TMemoField        ftMemo ftFmtMemo ftOraClob     String
//     TWideMemoField    ftWideMemo                     String
//     TGraphicField     ftGraphic                      byte array
//   TVariantField       ftVariant                      as stored
//
// Texts: integer and float fields format with DisplayFormat (display text)
// or EditFormat (edit text, falling back to DisplayFormat); parsing an empty
// text clears the field; parse failures and values outside MinValue..MaxValue
// (or the type's own range) raise EDatabaseError with the field's display name.
//
// Values of another kind: a dynamically typed store keeps whatever was
// written to a column, so a numeric field may be handed a wider integer, a
// real, a text or bytes.  Reading never refuses them: AsString, the texts and
// AsVariant give the value as stored (integers exactly, bytes 1:1), and the
// number getters convert it (reals round, texts parse).  A value without
// such a number, or AsInteger of one beyond 32 bits, raises "'%s' is not a
// valid integer value for field '%s'" (or the floating point one).
#pragma once

#include "platform/db/fields.h"

class TStream;
struct TBcd;

// The class the base dataset makes for a field type; nullptr for the types
// that have none here.
TFieldClass DefaultFieldClass(TFieldType FieldType);

// Enters every field class that makes fields into the class registry (and
// takes them out again), so component streams create fields by class name.
// For the dataset layer's unit start-up and shutdown.
void RegisterFieldClasses();
void UnRegisterFieldClasses();

// Text: UTF-16, Size counts characters (0: any length).  Longer values are cut
// to Size.  The display text shows the value through EditMask when one is set
// (FormatMaskText).
class TStringField : public TField {
  RTL_CLASS(TStringField, TField)
public:
  explicit TStringField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsBoolean(bool AValue) override;
  void SetAsDateTime(TDateTime AValue) override;

  // Values of a fixed width padded with blanks by the database.
  bool FixedChar() const { return FFixedChar; }
  void SetFixedChar(bool Value) { FFixedChar = Value; }
  // No effect: every string is Unicode.
  bool Transliterate() const { return FTransliterate; }
  void SetTransliterate(bool Value) { FTransliterate = Value; }

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  void SetFieldType(TFieldType Value) override;
  void CheckTypeSize(Integer Value) override;
  Integer GetDataSize() const override;
  Integer GetDefaultWidth() const override { return Size(); }

private:
  bool FFixedChar = false;
  bool FTransliterate = true;
};

class TWideStringField : public TStringField {
  RTL_CLASS(TWideStringField, TStringField)
public:
  explicit TWideStringField(TComponent* AOwner);

protected:
  void SetFieldType(TFieldType Value) override;
};

// A GUID as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; Size is always 38.
class TGuidField : public TStringField {
  RTL_CLASS(TGuidField, TStringField)
public:
  explicit TGuidField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

protected:
  void SetFieldType(TFieldType) override {}
  void CheckTypeSize(Integer Value) override;
};

// Numbers: right-aligned, formatted with DisplayFormat/EditFormat masks of
// FormatFloat.  Editors accept signs and digits.
class TNumericField : public TField {
  RTL_CLASS(TNumericField, TField)
public:
  explicit TNumericField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool IsValidChar(Char Ch) override;

  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  const String& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value);

protected:
  // The mask for the display or edit text; "" for the plain form.
  const String& TextFormat(bool DisplayText) const;

private:
  String FDisplayFormat;
  String FEditFormat;
};

// 32-bit and narrower integers.  MinValue = MaxValue = 0 means the type's
// own range.
class TIntegerField : public TNumericField {
  RTL_CLASS(TIntegerField, TNumericField)
public:
  explicit TIntegerField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;

  Integer MinValue() const { return FMinValue; }
  void SetMinValue(Integer Value);
  Integer MaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value);

protected:
  // A class of a narrower type: its type, range, value kind and sizes.
  TIntegerField(TComponent* AOwner, TFieldType Type, Integer MinRange, Integer MaxRange, TVarType Kind,
                Integer DataSize, Integer DefaultWidth);
  // For a dataset whose integers are 64-bit: the type's range becomes the
  // 64-bit one, and values beyond the value kind are written and kept as
  // Int64 (AsInteger still refuses them).
  void SetLargeValues(bool Value) { FLargeValues = Value; }
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return FDataSize; }
  Integer GetDefaultWidth() const override { return FDefaultWidth; }

private:
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
  Integer FMinRange;  // of the value kind
  Integer FMaxRange;
  TVarType FValueKind;
  bool FLargeValues = false;
  Integer FDataSize;
  Integer FDefaultWidth;
};

class TSmallintField : public TIntegerField {
  RTL_CLASS(TSmallintField, TIntegerField)
public:
  explicit TSmallintField(TComponent* AOwner);
};

class TShortintField : public TIntegerField {
  RTL_CLASS(TShortintField, TIntegerField)
public:
  explicit TShortintField(TComponent* AOwner);
};

class TByteField : public TIntegerField {
  RTL_CLASS(TByteField, TIntegerField)
public:
  explicit TByteField(TComponent* AOwner);
};

class TWordField : public TIntegerField {
  RTL_CLASS(TWordField, TIntegerField)
public:
  explicit TWordField(TComponent* AOwner);
};

class TAutoIncField : public TIntegerField {
  RTL_CLASS(TAutoIncField, TIntegerField)
public:
  explicit TAutoIncField(TComponent* AOwner);
};

// Unsigned 32-bit integers.
class TLongWordField : public TNumericField {
  RTL_CLASS(TLongWordField, TNumericField)
public:
  explicit TLongWordField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;

  LongWord MinValue() const { return FMinValue; }
  void SetMinValue(LongWord Value);
  LongWord MaxValue() const { return FMaxValue; }
  void SetMaxValue(LongWord Value);

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return Integer(sizeof(LongWord)); }

private:
  LongWord FMinValue = 0;
  LongWord FMaxValue = 0;
};

// 64-bit integers.
class TLargeintField : public TNumericField {
  RTL_CLASS(TLargeintField, TNumericField)
public:
  explicit TLargeintField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;

  Int64 MinValue() const { return FMinValue; }
  void SetMinValue(Int64 Value);
  Int64 MaxValue() const { return FMaxValue; }
  void SetMaxValue(Int64 Value);

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return Integer(sizeof(Int64)); }
  Integer GetDefaultWidth() const override { return 15; }

private:
  Int64 FMinValue = 0;
  Int64 FMaxValue = 0;
};

// Floating point.  Without a format the display text is the general form
// with Precision digits, or with Currency the currency form (edit text: fixed)
// with CurrencyDecimals.  Parsing takes the settings' DecimalSeparator and '.'.
class TFloatField : public TNumericField {
  RTL_CLASS(TFloatField, TNumericField)
public:
  explicit TFloatField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool IsValidChar(Char Ch) override;
  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsCurrency(::Currency AValue) override;

  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  // Significant digits of the general form, 2..15.
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  // 0 and 0: no range.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value);
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value);

protected:
  TFloatField(TComponent* AOwner, TFieldType Type);
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  ::Currency GetAsCurrency() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return Integer(sizeof(double)); }
  // The stored form of a checked value (Single for TSingleField).
  virtual Variant StoredValue(double AValue) { return Variant(AValue); }

private:
  bool FCurrency = false;
  Integer FPrecision = 15;
  double FMinValue = 0;
  double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
  RTL_CLASS(TCurrencyField, TFloatField)
public:
  explicit TCurrencyField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
};

class TExtendedField : public TFloatField {
  RTL_CLASS(TExtendedField, TFloatField)
public:
  explicit TExtendedField(TComponent* AOwner);
};

class TSingleField : public TFloatField {
  RTL_CLASS(TSingleField, TFloatField)
public:
  explicit TSingleField(TComponent* AOwner);

protected:
  Integer GetDataSize() const override { return Integer(sizeof(float)); }
  Variant StoredValue(double AValue) override { return Variant(float(AValue)); }
};

// Fixed-point decimals held as Currency (four decimals); Size is the scale.
class TBCDField : public TNumericField {
  RTL_CLASS(TBCDField, TNumericField)
public:
  explicit TBCDField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool IsValidChar(Char Ch) override;
  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsCurrency(::Currency AValue) override;

  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  // Total digits; 0: not limited.
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  ::Currency MinValue() const { return FMinValue; }
  void SetMinValue(::Currency Value);
  ::Currency MaxValue() const { return FMaxValue; }
  void SetMaxValue(::Currency Value);

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  ::Currency GetAsCurrency() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  void CheckTypeSize(Integer Value) override;
  Integer GetDataSize() const override { return Integer(sizeof(::Currency)); }

private:
  bool FCurrency = false;
  Integer FPrecision = 0;
  ::Currency FMinValue;
  ::Currency FMaxValue;
};

// Exact decimals of up to 38 digits held as FMT-BCD variants; Size is the
// scale, Precision the total digits (0: not limited).  The value is never
// rounded to Currency's four decimals.
class TFMTBCDField : public TNumericField {
  RTL_CLASS(TFMTBCDField, TNumericField)
public:
  explicit TFMTBCDField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool IsValidChar(Char Ch) override;
  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsCurrency(::Currency AValue) override;

  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  // The stored decimal; zero for Null.
  TBcd AsBCD();
  void SetAsBCD(const TBcd& AValue);

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  ::Currency GetAsCurrency() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  void CheckTypeSize(Integer Value) override;
  Integer GetDataSize() const override;

private:
  Integer FPrecision = 0;
};

// DisplayValues "true text;false text" (either may be empty) name the two
// values in texts; parsing takes a case-insensitive prefix of the false text
// first, then of the true text.  An empty text selects the value whose text
// is empty, else clears the field.
class TBooleanField : public TField {
  RTL_CLASS(TBooleanField, TField)
public:
  explicit TBooleanField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsBoolean(bool AValue) override;

  const String& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const String& Value);

protected:
  String GetAsString() override;
  bool GetAsBoolean() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  Integer GetDataSize() const override { return Integer(sizeof(Word)); }
  // The longer of the two texts.
  Integer GetDefaultWidth() const override;

private:
  bool isDisplayValuesStored() const;

  String FDisplayValues;
  String FTrueText;
  String FFalseText;
};

// Date and time values.  Texts use DisplayFormat (display text only) or the
// settings: ShortDateFormat for dates, LongTimeFormat for times, both for
// date-times (no time at exact midnight).
class TDateTimeField : public TField {
  RTL_CLASS(TDateTimeField, TField)
public:
  explicit TDateTimeField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsDateTime(TDateTime AValue) override;

  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);

protected:
  TDateTimeField(TComponent* AOwner, TFieldType Type);
  String GetAsString() override;
  double GetAsFloat() override;
  TDateTime GetAsDateTime() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return Integer(sizeof(TDateTime)); }
  Integer GetDefaultWidth() const override { return 18; }
  // The part of a value the type keeps.
  virtual TDateTime StoredValue(TDateTime AValue) { return AValue; }

private:
  String FDisplayFormat;
};

class TDateField : public TDateTimeField {
  RTL_CLASS(TDateField, TDateTimeField)
public:
  explicit TDateField(TComponent* AOwner);

protected:
  Integer GetDataSize() const override { return Integer(sizeof(Integer)); }
  Integer GetDefaultWidth() const override { return 10; }
  TDateTime StoredValue(TDateTime AValue) override;
};

class TTimeField : public TDateTimeField {
  RTL_CLASS(TTimeField, TDateTimeField)
public:
  explicit TTimeField(TComponent* AOwner);

protected:
  Integer GetDataSize() const override { return Integer(sizeof(Integer)); }
  Integer GetDefaultWidth() const override { return 10; }
  TDateTime StoredValue(TDateTime AValue) override;
};

// Bytes.  AsString maps each byte to the character of the same code
// (Latin-1) and back.
class TBinaryField : public TField {
  RTL_CLASS(TBinaryField, TField)
public:
  static void DescribeProperties(TPropertyTable& Props);

  void SetAsString(const String& AValue) override;
  void SetAsBytes(const TBytes& AValue) override;

protected:
  TBinaryField(TComponent* AOwner, TFieldType Type);
  String GetAsString() override;
  TBytes GetAsBytes() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  void CheckTypeSize(Integer Value) override;
  Integer GetDataSize() const override { return Size(); }
};

class TBytesField : public TBinaryField {
  RTL_CLASS(TBytesField, TBinaryField)
public:
  explicit TBytesField(TComponent* AOwner);
};

class TVarBytesField : public TBinaryField {
  RTL_CLASS(TVarBytesField, TBinaryField)
public:
  explicit TVarBytesField(TComponent* AOwner);

protected:
  Integer GetDataSize() const override { return Size() + Integer(sizeof(Word)); }
};

// Large values read and written through the dataset's blob streams as well
// as directly.  Binary blobs hold bytes, memos text (their stream form is
// UTF-8, UTF-16LE for wide memos).  Texts are the class description:
// "(BLOB)", "(MEMO)", "(WIDEMEMO)", "(GRAPHIC)", lower case when Null.
class TBlobField : public TField {
  RTL_CLASS(TBlobField, TField)
public:
  explicit TBlobField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool IsBlob() const override { return true; }
  // A TField copies its value; a persistent with IStreamPersist writes its
  // stream bytes into the field.
  void Assign(TPersistent* Source) override;
  void SetAsString(const String& AValue) override;
  void SetAsAnsiString(const AnsiString& AValue) override;
  void SetAsBytes(const TBytes& AValue) override;

  // streams: through the dataset's CreateBlobStream
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // The byte size of the stream form.
  Integer BlobSize();

  // properties
  TBlobType BlobType() const { return DataType(); }
  // Blob types only (ftBlob .. ftTypedBinary, ftOraBlob, ftOraClob, ftWideMemo).
  void SetBlobType(TBlobType Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  // Whether graphics are stored with a header; metadata for the graphics
  // layer only.
  bool GraphicHeader() const { return FGraphicHeader; }
  void SetGraphicHeader(bool Value) { FGraphicHeader = Value; }
  // No effect: every string is Unicode.
  bool Transliterate() const { return FTransliterate; }
  void SetTransliterate(bool Value) { FTransliterate = Value; }

  // The stream form of a value of a blob type, and the value of a stream
  // form: the bytes for binary blobs, UTF-8 for memos, UTF-16LE for wide
  // memos.  No bytes stand for Null.
  static QByteArray StreamBytes(TBlobType Type, const Variant& AValue);
  static Variant StreamValue(TBlobType Type, const QByteArray& Bytes);

protected:
  TBlobField(TComponent* AOwner, TFieldType Type);
  String GetAsString() override;
  AnsiString GetAsAnsiString() override;
  TBytes GetAsBytes() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  void SetFieldType(TFieldType Value) override;
  void CheckTypeSize(Integer Value) override;

private:
  bool FModified = false;
  bool FGraphicHeader = true;
  bool FTransliterate = true;
};

class TMemoField : public TBlobField {
  RTL_CLASS(TMemoField, TBlobField)
public:
  explicit TMemoField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
};

class TWideMemoField : public TBlobField {
  RTL_CLASS(TWideMemoField, TBlobField)
public:
  explicit TWideMemoField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
};

class TGraphicField : public TBlobField {
  RTL_CLASS(TGraphicField, TBlobField)
public:
  explicit TGraphicField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);
};

// Any Variant, stored as given.
class TVariantField : public TField {
  RTL_CLASS(TVariantField, TField)
public:
  explicit TVariantField(TComponent* AOwner);

  void SetAsString(const String& AValue) override;
  void SetAsInteger(Integer AValue) override;
  void SetAsLargeInt(Int64 AValue) override;
  void SetAsFloat(double AValue) override;
  void SetAsCurrency(Currency AValue) override;
  void SetAsBoolean(bool AValue) override;
  void SetAsDateTime(TDateTime AValue) override;

protected:
  String GetAsString() override;
  Integer GetAsInteger() override;
  Int64 GetAsLargeInt() override;
  double GetAsFloat() override;
  Currency GetAsCurrency() override;
  bool GetAsBoolean() override;
  TDateTime GetAsDateTime() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  Integer GetDataSize() const override { return Integer(sizeof(Variant)); }

private:
  Variant valueOrEmpty();
};

// A database time stamp, held as a varSQLTimeStamp (or, for the offset
// class, varSQLTimeStampOffset); read and written as a date-time too.
class TSQLTimeStampField : public TField {
  RTL_CLASS(TSQLTimeStampField, TField)
public:
  explicit TSQLTimeStampField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // An empty text clears the field; others go through StrToDateTime.
  void SetAsString(const String& AValue) override;
  void SetAsDateTime(TDateTime AValue) override;

  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value) { FDisplayFormat = Value; }

protected:
  TSQLTimeStampField(TComponent* AOwner, TFieldType Type);
  String GetAsString() override;
  TDateTime GetAsDateTime() override;
  Variant GetAsVariant() override;
  void SetVarValue(const Variant& AValue) override;
  void GetText(String& AText, bool DisplayText) override;
  Integer GetDataSize() const override { return Integer(sizeof(Variant)); }
  Integer GetDefaultWidth() const override { return 24; }

private:
  TVarType valueKind() const;
  String FDisplayFormat;
};

class TSQLTimeStampOffsetField : public TSQLTimeStampField {
  RTL_CLASS(TSQLTimeStampOffsetField, TSQLTimeStampField)
public:
  explicit TSQLTimeStampOffsetField(TComponent* AOwner);
};

// A value computed over the records of its dataset by the dataset itself
// (an in-memory table's aggregates): it lives in the dataset's AggFields, not
// in Fields, holds no record data, and reads its value from
// TDataSet::GetAggregateValue.  Handle is the dataset's own object behind
// the field (not owned); ResultType the value's type once it is known.
class TAggregateField : public TField {
  RTL_CLASS(TAggregateField, TField)
public:
  explicit TAggregateField(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  const String& Expression() const { return FExpression; }
  void SetExpression(const String& Value) { FExpression = Value; }
  TObject* Handle() const { return FHandle; }
  void SetHandle(TObject* Value) { FHandle = Value; }
  TFieldType ResultType() const { return FResultType; }
  void SetResultType(TFieldType Value) { FResultType = Value; }

protected:
  String GetAsString() override;
  Variant GetAsVariant() override;
  void GetText(String& AText, bool DisplayText) override;

private:
  bool FActive = false;
  String FExpression;
  TObject* FHandle = nullptr;
  TFieldType FResultType = ftUnknown;
};
