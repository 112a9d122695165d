// Dataset values as text and back, variant comparison as grids, filters and
// lookups need it, field-type classes, variant arrays kept in step with
// inserted and deleted ranges, the units a date-time format shows, and
// pictures made from blob fields.
//
// The invariant text of values written into filter expressions and stored
// settings never depends on the user's locale: decimal point ".", date
// separator "-", date format "YYYY/MM/DD", time separator ":" and short time
// format "HH:NN:SS" (the long time format stays the locale's).  It is made
// with an explicit settings object, so another thread formatting at the same
// time is not disturbed.
//
// Pictures: a small registry of graphic providers, newest first, tells which
// graphic class the first bytes of a blob are; TBMPGraphicProviderEh
// (bitmaps, "BM") is registered when the registry is made.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/component.h"
#include "platform/rtl/typinfo.h"
#include "platform/rtl/variant.h"

#include <vector>

class TField;
class TGraphic;
class TPicture;

using TVariantArrayEh = std::vector<Variant>;

RTL_ENUM(TCalendarDateTimeUnitEh, cdtuYearEh, cdtuMonthEh, cdtuDayEh, cdtuHourEh, cdtuMinuteEh, cdtuSecondEh,
         cdtuAmPmEh)
using TCalendarDateTimeUnitsEh = TSet<TCalendarDateTimeUnitEh>;

// ---------------------------------------------------------------------------
// value text

// Currency through currency text, a date through date-time text ("c"), a
// float with ".", anything else as variant text; all in the invariant format.
String VarToInvariantStrEh(const Variant& V);
// Text read in the invariant format as a variant of VarType; text that is not
// one raises as the conversion does.
Variant InvariantStrToVarEh(const String& Text, TVarType VarType);
// The shortest text of Value with "." as the decimal separator.
String FloatToStrPointEh(double Value);
// A date through date-time text with the global format, else variant text.
String VarToDisplayStrEh(const Variant& V);
// An array as "[a, b, [c, d]]" (nested arrays nest, "[]" when empty), any
// other value as variant text.
String VarToStrArrayEh(const Variant& V);

// ---------------------------------------------------------------------------
// comparison

// Arrays are equal when of the same shape with equal elements; an array never
// equals a non-array, Unassigned only Unassigned; values that cannot be
// compared are unequal.
bool VariantsEqualEh(const Variant& V1, const Variant& V2);
// Null below everything else and equal to Null; arrays of one shape element
// by element (two empty ones: vrNotEqual); an array against a non-array
// vrNotEqual; the rest by the platform's value comparison.
TVariantRelationship CompareVariantsEh(const Variant& V1, const Variant& V2);

// ---------------------------------------------------------------------------
// fields and types

// Value as Field shows it, with DisplayFormat (when not empty) or the field's
// own display format; Unassigned and Null give "".
String FormatFieldValueEh(const Variant& Value, TField* Field, const String& DisplayFormat);
// ftAutoInc and ftLargeint are not numeric here.
bool IsNumericFieldTypeEh(TFieldType Type);
bool IsTextFieldTypeEh(TFieldType Type);
// varUInt64 is not numeric here.
bool VarIsNumericEh(const Variant& V);

// ---------------------------------------------------------------------------
// dates and times

// The units Format shows; quoted text adds nothing, and M is always the
// month, also after H.
TCalendarDateTimeUnitsEh GetDateTimeFormatUnitsEh(const String& Format);
// From the user locale: a 24-hour clock, and the AM/PM designator before the
// time.
void GetLocaleTimeFormatEh(bool& Is24Hour, bool& AmPmPrefix);
TDateTime TruncMillisecondsEh(TDateTime Value);
// Keeps DateTime's whole days and takes Time's time of day.
void SetTimePartEh(TDateTime& DateTime, TDateTime Time);

// ---------------------------------------------------------------------------
// arrays of values and of cell lengths

// Raise the range errors of ArrayInsertRange / ArrayDeleteRange.
void CheckArrayInsertRangeEh(Integer Length, Integer StartIndex, Integer Amount);
void CheckArrayDeleteRangeEh(Integer Length, Integer StartIndex, Integer Amount);

// Opens Amount places at StartIndex (0 .. size): the elements from there move
// up, the opened places keep copies of their former values.  Exception
// "ArrayInsertRange: (Amount < 0)" or "ArrayInsertRange: StartIndex >
// Length(Extents)".
template <class T>
void ArrayInsertRange(std::vector<T>& Extents, Integer StartIndex, Integer Amount) {
  const Integer Length = Integer(Extents.size());
  CheckArrayInsertRangeEh(Length, StartIndex, Amount);
  Extents.resize(std::size_t(Length + Amount));
  if (StartIndex == Length) return;  // appended places stay default
  for (Integer I = Length - 1; I >= StartIndex; --I) Extents[std::size_t(I + Amount)] = Extents[std::size_t(I)];
}
// Removes Amount places at StartIndex.  Exception "ArrayDeleteRange: (Amount
// < 0)" or "ArrayDeleteRange: StartIndex + Amount > Length(Extents)".
template <class T>
void ArrayDeleteRange(std::vector<T>& Extents, Integer StartIndex, Integer Amount) {
  CheckArrayDeleteRangeEh(Integer(Extents.size()), StartIndex, Amount);
  Extents.erase(Extents.begin() + StartIndex, Extents.begin() + StartIndex + Amount);
}

// ---------------------------------------------------------------------------
// graphic providers

// The metaclass of graphic providers: the class-level question.
class TGraphicProviderMetaEh : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  // The graphic class the Size bytes at Data start, or nullptr.
  virtual TClass GetImageClassForStream(const Byte* Data, Integer Size) const = 0;
};

template <class T>
class TGraphicProviderClassOfEh : public TClassOf<T, TGraphicProviderMetaEh> {
public:
  using TClassOf<T, TGraphicProviderMetaEh>::TClassOf;
  TClass GetImageClassForStream(const Byte* Data, Integer Size) const override {
    return T::GetImageClassForStream(Data, Size);
  }
};

// Knows no format.
class TGraphicProviderEh : public TPersistent {
  RTL_CLASS_META(TGraphicProviderEh, TPersistent, TGraphicProviderClassOfEh<TGraphicProviderEh>)
public:
  static TClass GetImageClassForStream(const Byte* Data, Integer Size) { return nullptr; }
};

// Bitmaps: data starting with "BM".
class TBMPGraphicProviderEh : public TGraphicProviderEh {
  RTL_CLASS_META(TBMPGraphicProviderEh, TGraphicProviderEh, TGraphicProviderClassOfEh<TBMPGraphicProviderEh>)
public:
  static TClass GetImageClassForStream(const Byte* Data, Integer Size);
};

// Puts Provider (a TGraphicProviderEh class) first unless it is registered.
void RegisterGraphicProviderEh(TClass Provider);
// The first answer of the providers, newest first; nullptr when none knows.
TClass GetImageClassForStreamEh(const Byte* Data, Integer Size);
Integer GraphicProviderCountEh();
// Frees the registry (the library's shutdown); the next use makes it again.
void FreeGraphicProvidersEh();

// A new graphic (the caller owns it) holding the picture of a blob field, its
// 8-byte graphic header skipped when the field declares one and it matches;
// nullptr for no field or one that is not a blob.  Data the graphic cannot
// read gives an empty graphic; any other failure propagates.
TGraphic* CreateGraphicFromFieldEh(TField* Field);
// Picture takes a copy of the field's graphic (or is emptied).
void LoadPictureFromFieldEh(TField* Field, TPicture* Picture);
// A new picture (the caller owns it) filled from the field.
TPicture* CreatePictureFromFieldEh(TField* Field);
