#include "platform/rtl/variant.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/bcd.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "tests/support/testing.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Equal kind and equal value (Null and Empty compare by kind alone).
void expectSame(const Variant& Actual, const Variant& Expected) {
  ASSERT_EQ(VarTypeAsText(VarType(Actual)), VarTypeAsText(VarType(Expected)));
  if (VarIsNull(Expected) || VarIsEmpty(Expected)) return;
  EXPECT_TRUE(Actual == Expected) << VarToStr(Actual).toStdString() << " vs "
                                  << VarToStr(Expected).toStdString();
}

// A Variant of kind varString holding Text.
Variant ansi(const char* Text) { return Variant(AnsiString(String::fromUtf8(Text))); }

// A varFMTBcd of the decimal Text.
Variant bcd(const char* Text) { return VarFMTBcdCreate(StrToBcd(QString::fromLatin1(Text))); }

TEST(VariantKinds, EachConstructorGivesItsCode) {
  struct Case {
    const char* Name;
    Variant Value;
    TVarType Code;
  } Cases[] = {
      {"default", Variant(), 0},
      {"Unassigned", Unassigned(), 0},
      {"Null", Null(), 1},
      {"int16", Variant(std::int16_t(-2)), 2},
      {"int32", Variant(5), 3},
      {"float", Variant(1.5f), 4},
      {"double", Variant(1.5), 5},
      {"Currency", Variant(Currency(2)), 6},
      {"date", VarFromDateTime(45431.0), 7},
      {"OleStr by cast", VarAsType(Variant("x"), varOleStr), 8},
      {"error", VarAsError(-1), 10},
      {"bool", Variant(true), 11},
      {"interface", Variant(IPtr<IInterface>()), 13},
      {"int8", Variant(std::int8_t(-1)), 16},
      {"uint8", Variant(std::uint8_t(1)), 17},
      {"uint16", Variant(std::uint16_t(1)), 18},
      {"uint32", Variant(std::uint32_t(1)), 19},
      {"int64", Variant(Int64(1)), 20},
      {"long long", Variant(1LL), 20},
      {"uint64", Variant(UInt64(1)), 21},
      {"AnsiString", ansi("a"), 0x100},
      {"String", Variant(QStringLiteral("a")), 0x102},
      {"UTF-8 literal", Variant("a"), 0x102},
      {"VarArrayOf", VarArrayOf({1, 2}), 0x200C},
      {"byte array", VarArrayFromBytes(TBytes{1}), 0x2011},
      {"typed array", VarArrayCreate({0, 1}, varInteger), 0x2003},
      {"TBcd", Variant(TBcd()), varFMTBcd},
      {"VarFMTBcdCreate", bcd("1.5"), varFMTBcd},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VarType(C.Value), C.Code);
    EXPECT_TRUE(VarIsType(C.Value, C.Code));
  }
  EXPECT_LE(sizeof(Variant), 16u);
}

TEST(VariantKinds, Queries) {
  struct Case {
    const char* Name;
    Variant Value;
    bool Null, Empty, Clear, Numeric, Str, Array;
  } Cases[] = {
      {"Empty", Variant(), false, true, true, false, false, false},
      {"Null", Null(), true, false, false, false, false, false},
      {"nil interface", Variant(IPtr<IInterface>()), false, false, true, false, false, false},
      {"Integer", Variant(0), false, false, false, true, false, false},
      {"Boolean is an ordinal", Variant(false), false, false, false, true, false, false},
      {"Currency", Variant(Currency()), false, false, false, true, false, false},
      {"FMT-BCD", bcd("0"), false, false, false, true, false, false},
      {"Date is not numeric", VarFromDateTime(1), false, false, false, false, false, false},
      {"String", Variant(""), false, false, false, false, true, false},
      {"AnsiString", ansi(""), false, false, false, false, true, false},
      {"OleStr", VarAsType(Variant(""), varOleStr), false, false, false, false, true, false},
      {"array", VarArrayOf({}), false, false, false, false, false, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VarIsNull(C.Value), C.Null);
    EXPECT_EQ(VarIsEmpty(C.Value), C.Empty);
    EXPECT_EQ(VarIsClear(C.Value), C.Clear);
    EXPECT_EQ(VarIsNumeric(C.Value), C.Numeric);
    EXPECT_EQ(VarIsStr(C.Value), C.Str);
    EXPECT_EQ(VarIsArray(C.Value), C.Array);
    EXPECT_EQ(VarArrayDimCount(C.Value), C.Array ? 1 : 0);
  }
}

TEST(VariantKinds, TypeNames) {
  struct Case {
    TVarType Type;
    const char* Name;
  } Cases[] = {
      {varEmpty, "Empty"},       {varNull, "Null"},         {varSmallint, "Smallint"},
      {varInteger, "Integer"},   {varSingle, "Single"},     {varDouble, "Double"},
      {varCurrency, "Currency"}, {varDate, "Date"},         {varOleStr, "OleStr"},
      {varBoolean, "Boolean"},   {varShortInt, "ShortInt"}, {varByte, "Byte"},
      {varWord, "Word"},         {varLongWord, "LongWord"}, {varInt64, "Int64"},
      {varUInt64, "UInt64"},     {varString, "String"},     {varUString, "UnicodeString"},
      {varArray | varVariant, "Array Variant"},             {varArray | varByte, "Array Byte"},
      {varFMTBcd, "FMTBcd"},
  };
  for (const Case& C : Cases) EXPECT_EQ(VarTypeAsText(C.Type), QString::fromLatin1(C.Name));
}

TEST(VariantValue, CopiesAreIndependent) {
  Variant A = VarArrayOf({1, "x"});
  Variant B = A;
  VarArrayPut(B, 2, 0);
  EXPECT_TRUE(A[0] == 1);
  EXPECT_TRUE(B[0] == 2);

  Variant S = "text";
  Variant Moved = std::move(S);
  EXPECT_TRUE(VarIsEmpty(S));
  EXPECT_TRUE(Moved == "text");
  Moved = Moved;  // self-assignment keeps the value
  EXPECT_TRUE(Moved == "text");
}

// ---------------------------------------------------------------------------
// comparison

TEST(VariantCompare, CompareValueNeverRaises) {
  const Variant Nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* Name;
    Variant A, B;
    TVariantRelationship Expected;
  } Cases[] = {
      {"Null, Null", Null(), Null(), vrEqual},
      {"Null, 5", Null(), 5, vrLessThan},
      {"5, Null", 5, Null(), vrGreaterThan},
      {"Null, empty text", Null(), "", vrLessThan},
      {"Empty, Empty", Variant(), Variant(), vrEqual},
      {"Empty, 0", Variant(), 0, vrNotEqual},
      {"Empty, empty text", Variant(), "", vrNotEqual},
      {"Empty, Null", Variant(), Null(), vrNotEqual},
      {"abc, 5 (not a number)", "abc", 5, vrNotEqual},
      {"5 text, 5", "5", 5, vrEqual},
      {"5, 10 text", 5, "10", vrLessThan},
      {"ab, B (ordinal)", "ab", "B", vrGreaterThan},
      {"abc, ABC", "abc", "ABC", vrGreaterThan},
      {"AnsiString, String", ansi("b"), "b", vrEqual},
      {"1, 1.0", 1, 1.0, vrEqual},
      {"array, 1", VarArrayOf({1, 2}), 1, vrNotEqual},
      {"array, array", VarArrayOf({1}), VarArrayOf({1}), vrNotEqual},
      {"UInt64 max, Int64 -1", Variant(UInt64(-1)), Variant(Int64(-1)), vrGreaterThan},
      {"Int64 max, Int64 max as double", Variant(INT64_MAX), Variant(9223372036854775807.0), vrEqual},
      {"Currency 1.5, Integer 1", Variant(Currency(1.5)), 1, vrGreaterThan},
      {"Currency 2, Integer 2", Variant(Currency(2)), 2, vrEqual},
      {"Currency 0.25, Double 0.25", Variant(Currency(0.25)), 0.25, vrEqual},
      {"Date, Double", VarFromDateTime(45431.5), 45431.5, vrEqual},
      {"False, True", false, true, vrLessThan},
      {"True, -1", true, -1, vrEqual},
      {"true text, True", "true", true, vrEqual},
      {"date text, Date", "05/19/2024", VarFromDateTime(45431), vrEqual},
      {"NaN, NaN", Nan, Nan, vrNotEqual},
      {"interface, Integer", Variant(IPtr<IInterface>()), 0, vrNotEqual},
      {"BCD 1.50, Double 1.5", bcd("1.50"), 1.5, vrEqual},
      {"BCD 1.5, Currency 1.5", bcd("1.5"), Variant(Currency(1.5)), vrEqual},
      {"BCD 38 digits, Int64 max", bcd("9223372036854775807.5"), INT64_MAX, vrGreaterThan},
      {"BCD, text", bcd("2"), "10", vrLessThan},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VarCompareValue(C.A, C.B), C.Expected);
  }
}

TEST(VariantCompare, EqualityOperators) {
  EXPECT_TRUE(Null() == Null());
  EXPECT_FALSE(Null() == 5);
  EXPECT_FALSE(Null() == Variant());
  EXPECT_TRUE(Variant() == Variant());
  EXPECT_FALSE(Variant() == 0);
  EXPECT_FALSE(Variant() == "");
  EXPECT_TRUE(Variant(1) == 1.0);
  EXPECT_TRUE(Variant("5") == 5);
  EXPECT_TRUE(Variant("abc") != "ABC");
  EXPECT_TRUE(VarSameValue(Variant(std::int8_t(7)), Variant(UInt64(7))));
  EXPECT_FALSE(VarSameValue(Null(), 0));
  EXPECT_RAISES(Variant("abc") == 5, EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Double)");
  EXPECT_RAISES(Variant(5) == ansi("x"), EVariantTypeCastError,
                "Could not convert variant of type (String) into type (Double)");
  EXPECT_RAISES(Variant("x") == true, EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Boolean)");
  EXPECT_RAISES(VarArrayOf({1}) == 1, EVariantInvalidOpError, "Invalid variant operation");
}

TEST(VariantCompare, OrderingOperators) {
  EXPECT_TRUE(Null() < 5);
  EXPECT_TRUE(Null() < "");
  EXPECT_TRUE(Null() <= Null());
  EXPECT_FALSE(Null() < Null());
  EXPECT_TRUE(Variant(5) > Null());
  EXPECT_TRUE(Variant() < 1);   // Empty counts as 0 here
  EXPECT_TRUE(Variant() >= 0);
  EXPECT_TRUE(Variant() < "a");  // ... and as ""
  EXPECT_TRUE(Variant("ab") > "B");
  EXPECT_TRUE(Variant("10") > 9);
  EXPECT_TRUE(Variant(Currency(1.5)) < 2);
  EXPECT_TRUE(Variant(false) < true);
  EXPECT_RAISES((void)(Variant("x") < 5), EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Double)");
  EXPECT_RAISES((void)(VarArrayOf({}) < 5), EVariantInvalidOpError, "Invalid variant operation");
}

// ---------------------------------------------------------------------------
// arithmetic

TEST(VariantOps, ResultsAndKinds) {
  const Variant MaxInt = Variant(Integer(INT32_MAX));
  const Variant Day = VarFromDateTime(45431.25);
  struct Case {
    const char* Name;
    Variant Actual, Expected;
  } Cases[] = {
      {"1 + Null", Variant(1) + Null(), Null()},
      {"Null * text", Null() * "x", Null()},
      {"-Null", -Null(), Null()},
      {"not Null", !Null(), Null()},
      {"Null div 0", VarDiv(Null(), 0), Null()},
      {"'1' + 2", Variant("1") + 2, 3.0},
      {"'a' + 'b'", Variant("a") + "b", "ab"},
      {"ansi + ansi stays ansi", ansi("a") + ansi("b"), ansi("ab")},
      {"ansi + String", ansi("a") + "b", "ab"},
      {"Empty + text", Variant() + "x", "x"},
      {"Empty + 1", Variant() + 1, 1},
      {"Empty - '5'", Variant() - "5", -5.0},
      {"7 / 2", Variant(7) / 2, 3.5},
      {"6 / 3 is real", Variant(6) / 3, 2.0},
      {"7 div 2", VarDiv(7, 2), 3},
      {"-7 div 2", VarDiv(-7, 2), -3},
      {"-7 mod 2", Variant(-7) % 2, -1},
      {"7.5 div 2 rounds first", VarDiv(7.5, 2), 4},
      {"Byte + Byte", Variant(Byte(200)) + Variant(Byte(55)), Variant(Byte(255))},
      {"Byte + Byte widens", Variant(Byte(200)) + Variant(Byte(56)), Variant(Int64(256))},
      {"MaxInt + 1 widens", MaxInt + 1, Variant(Int64(2147483648LL))},
      {"Int64 min * -1", Variant(INT64_MIN) * -1, Variant(UInt64(9223372036854775808ULL))},
      {"Smallint * Integer", Variant(SmallInt(3)) * 4, 12},
      {"-ShortInt min", -Variant(std::int8_t(-128)), Variant(Int64(128))},
      {"True + True", Variant(true) + true, Variant(SmallInt(-2))},
      {"Single * Single", Variant(1.5f) * Variant(2.0f), Variant(3.0f)},
      {"Single + Integer", Variant(1.5f) + 1, 2.5},
      {"Currency + Integer", Variant(Currency(1.5)) + 2, Variant(Currency(3.5))},
      {"Currency * Currency", Variant(Currency(1.5)) * Variant(Currency(2)), Variant(Currency(3))},
      {"Currency / Integer", Variant(Currency(1)) / 4, Variant(Currency(0.25))},
      {"Currency + Double", Variant(Currency(1.5)) + 0.25, 1.75},
      {"-Currency", -Variant(Currency(1.5)), Variant(Currency(-1.5))},
      {"Date + 1", Day + 1, VarFromDateTime(45432.25)},
      {"1 + Date", 1 + Day, VarFromDateTime(45432.25)},
      {"Date - 0.25", Day - 0.25, VarFromDateTime(45431.0)},
      {"Date - Currency", Day - Variant(Currency(1)), VarFromDateTime(45430.25)},
      {"Date - Date", Day - VarFromDateTime(45430.0), 1.25},
      {"Date * 2", Day * 2, 90862.5},
      {"True and Null", Variant(true) & Null(), Null()},
      {"False and Null", Variant(false) & Null(), false},
      {"Null and False", Null() & Variant(false), false},
      {"True or Null", Variant(true) | Null(), true},
      {"False or Null", Variant(false) | Null(), Null()},
      {"True xor Null", Variant(true) ^ Null(), Null()},
      {"0 and Null", Variant(0) & Null(), Null()},
      {"True and False", Variant(true) & false, false},
      {"True xor True", Variant(true) ^ true, false},
      {"'true' and True", Variant("true") & true, true},
      {"12 and 10", Variant(12) & 10, 8},
      {"12 or True", Variant(12) | true, -1},
      {"not True", !Variant(true), false},
      {"not 0", !Variant(0), -1},
      {"not Byte 0", !Variant(Byte(0)), Variant(Byte(255))},
      {"not Word 1", !Variant(Word(1)), Variant(Word(0xFFFE))},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    expectSame(C.Actual, C.Expected);
  }
}

TEST(VariantOps, BcdWithANumberGivesBcd) {
  struct Case {
    const char* Name;
    Variant Actual;
    const char* Expected;
  } Cases[] = {
      {"BCD + Integer", bcd("1.5") + 1, "2.5"},
      {"Integer - BCD", 1 - bcd("1.5"), "-0.5"},
      {"BCD * Double", bcd("1.5") * 0.1, "0.15"},
      {"BCD + Currency", bcd("0.00001") + Variant(Currency(1)), "1.00001"},
      {"BCD + text", bcd("1") + "0.25", "1.25"},
      {"BCD + Date", bcd("1") + VarFromDateTime(2), "3"},
      {"BCD / Integer", bcd("1") / 3, "0.33333333333333333333"},
      {"BCD + BCD keeps 38 digits", bcd("1234567890123456789012345678.1234567891") + bcd("1"),
       "1234567890123456789012345679.1234567891"},
      {"-BCD", -bcd("2.5"), "-2.5"},
      {"Empty + BCD", Variant() + bcd("2"), "2"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VarType(C.Actual), varFMTBcd);
    EXPECT_EQ(VarToStr(C.Actual), QString::fromLatin1(C.Expected));
  }
  expectSame(VarDiv(bcd("7.5"), 2), 4);
  expectSame(bcd("1") + Null(), Null());
  EXPECT_RAISES(bcd("1") / 0, EZeroDivide, "Floating point division by zero");
}

TEST(VariantOps, Errors) {
  EXPECT_RAISES(VarArrayOf({1}) + 1, EVariantInvalidOpError, "Invalid variant operation");
  EXPECT_RAISES(Null() + VarArrayOf({1}), EVariantInvalidOpError, "Invalid variant operation");
  EXPECT_RAISES(-VarArrayOf({1}), EVariantInvalidOpError, "Invalid variant operation");
  EXPECT_RAISES(Variant(IPtr<IInterface>()) & true, EVariantInvalidOpError, "Invalid variant operation");
  EXPECT_RAISES(Variant("a") - "b", EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Double)");
  EXPECT_RAISES(Variant("maybe") & true, EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Boolean)");
  EXPECT_RAISES(VarDiv(1, 0), EDivByZero, "Division by zero");
  EXPECT_RAISES(Variant(1) % Variant(), EDivByZero, "Division by zero");
  EXPECT_RAISES(Variant(1) / 0, EZeroDivide, "Floating point division by zero");
  EXPECT_RAISES(Variant(0.0) / 0, EInvalidOp, "Invalid floating point operation");
  EXPECT_RAISES(Variant(UInt64(-1)) + Variant(UInt64(1)), EIntOverflow, "Integer overflow");
  EXPECT_RAISES(Variant(INT64_MIN) * Variant(UInt64(-1)), EIntOverflow, "Integer overflow");
}

// ---------------------------------------------------------------------------
// casts

TEST(VariantCasts, VarAsType) {
  struct Case {
    const char* Name;
    Variant Value;
    TVarType Type;
    Variant Expected;
  } Cases[] = {
      {"2.5 to Integer (half to even)", 2.5, varInteger, 2},
      {"3.5 to Integer", 3.5, varInteger, 4},
      {"-2.5 to Integer", -2.5, varInteger, -2},
      {"Currency 2.5 to Int64", Variant(Currency(2.5)), varInt64, Variant(Int64(2))},
      {"Currency -3.5 to Int64", Variant(Currency(-3.5)), varInt64, Variant(Int64(-4))},
      {"True to Integer", true, varInteger, -1},
      {"False to Double", false, varDouble, 0.0},
      {"2 to Boolean", 2, varBoolean, true},
      {"0.0 to Boolean", 0.0, varBoolean, false},
      {"Empty to Integer", Variant(), varInteger, 0},
      {"Empty to text", Variant(), varUString, ""},
      {"Empty to Boolean", Variant(), varBoolean, false},
      {"'12' to Integer", "12", varInteger, 12},
      {"'$1F' to Byte", "$1F", varByte, Variant(Byte(31))},
      {"'2.5' to Integer", "2.5", varInteger, 2},
      {"'1.25' to Currency", "1.25", varCurrency, Variant(Currency(1.25))},
      {"'False' to Boolean", "False", varBoolean, false},
      {"'05/19/2024' to Date", "05/19/2024", varDate, VarFromDateTime(45431)},
      {"1.5 to text", 1.5, varUString, "1.5"},
      {"1/3 to text", 1.0 / 3, varUString, "0.333333333333333"},
      {"True to text", true, varUString, "True"},
      {"Currency to text", Variant(Currency(1.25)), varUString, "1.25"},
      {"UInt64 max to text", Variant(UInt64(-1)), varUString, "18446744073709551615"},
      {"Date to text", VarFromDateTime(45431.5), varUString, "05/19/2024 12:00:00"},
      {"midnight to text", VarFromDateTime(45431), varUString, "05/19/2024"},
      {"Integer to OleStr", 7, varOleStr, VarAsType("7", varOleStr)},
      {"text to AnsiString", "abc", varString, ansi("abc")},
      {"AnsiString to text", ansi("abc"), varUString, "abc"},
      {"Integer to Date", 2, varDate, VarFromDateTime(2)},
      {"Integer to Single", 3, varSingle, Variant(3.0f)},
      {"Integer to Currency", 3, varCurrency, Variant(Currency(3))},
      {"Int64 to UInt64", Variant(Int64(5)), varUInt64, Variant(UInt64(5))},
      {"BCD 2.5 to Integer", bcd("2.5"), varInteger, 2},
      {"BCD 3.5 to Integer", bcd("3.5"), varInteger, 4},
      {"BCD -2.5 to Integer", bcd("-2.5"), varInteger, -2},
      {"BCD -2.51 to Integer", bcd("-2.51"), varInteger, -3},
      {"BCD to Currency", bcd("1.23456"), varCurrency, Variant(Currency(1.2346))},
      {"BCD to Double", bcd("0.1"), varDouble, 0.1},
      {"BCD to Boolean", bcd("0.0"), varBoolean, false},
      {"Integer to BCD", -3, varFMTBcd, bcd("-3")},
      {"UInt64 max to BCD", Variant(UInt64(-1)), varFMTBcd, bcd("18446744073709551615")},
      {"Currency to BCD", Variant(Currency(1.5)), varFMTBcd, bcd("1.5")},
      {"text to BCD", "12345678901234567890.5", varFMTBcd, bcd("12345678901234567890.5")},
      {"anything to Null", 5, varNull, Null()},
      {"anything to Empty", "x", varEmpty, Variant()},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    expectSame(VarAsType(C.Value, C.Type), C.Expected);
  }
}

TEST(VariantCasts, Failures) {
  EXPECT_RAISES(VarAsType("x", varInteger), EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Integer)");
  EXPECT_RAISES(VarAsType(Null(), varInteger), EVariantTypeCastError,
                "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_RAISES(Null().AsString(), EVariantTypeCastError,
                "Could not convert variant of type (Null) into type (UnicodeString)");
  EXPECT_RAISES(Null().AsDouble(), EVariantTypeCastError,
                "Could not convert variant of type (Null) into type (Double)");
  EXPECT_RAISES(VarArrayOf({1}).AsInteger(), EVariantTypeCastError,
                "Could not convert variant of type (Array Variant) into type (Integer)");
  EXPECT_RAISES(VarAsType(1, varArray | varInteger), EVariantTypeCastError,
                "Could not convert variant of type (Integer) into type (Array Integer)");
  EXPECT_RAISES(VarAsType("2024-05-19", varDate), EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (Date)");
  EXPECT_RAISES(ansi("maybe").AsBoolean(), EVariantTypeCastError,
                "Could not convert variant of type (String) into type (Boolean)");
  EXPECT_RAISES(VarAsError(-1).AsInteger(), EVariantTypeCastError,
                "Could not convert variant of type (Error) into type (Integer)");
  EXPECT_RAISES(Variant(1).AsInterface(), EVariantTypeCastError,
                "Could not convert variant of type (Integer) into type (Unknown)");
  // both sides of each limit
  EXPECT_EQ(VarAsType(255, varByte).AsInteger(), 255);
  EXPECT_RAISES(VarAsType(256, varByte), EVariantOverflowError,
                "Overflow while converting variant of type (Integer) into type (Byte)");
  EXPECT_RAISES(VarAsType(-1, varWord), EVariantOverflowError,
                "Overflow while converting variant of type (Integer) into type (Word)");
  EXPECT_EQ(Variant(2147483647.0).AsInteger(), INT32_MAX);
  EXPECT_RAISES(Variant(2147483648.0).AsInteger(), EVariantOverflowError,
                "Overflow while converting variant of type (Double) into type (Integer)");
  EXPECT_RAISES(Variant(1e300).AsCurrency(), EVariantOverflowError,
                "Overflow while converting variant of type (Double) into type (Currency)");
  EXPECT_RAISES(VarAsType(1e300, varSingle), EVariantOverflowError,
                "Overflow while converting variant of type (Double) into type (Single)");
  EXPECT_RAISES(Variant(std::nan("")).AsInt64(), EVariantOverflowError,
                "Overflow while converting variant of type (Double) into type (Int64)");
  EXPECT_RAISES(bcd("1e20").AsCurrency(), EVariantOverflowError,
                "Overflow while converting variant of type (FMTBcd) into type (Currency)");
  EXPECT_RAISES(bcd("1e20").AsInt64(), EVariantOverflowError,
                "Overflow while converting variant of type (FMTBcd) into type (Int64)");
  EXPECT_RAISES(VarToBcd("abc"), EVariantTypeCastError,
                "Could not convert variant of type (UnicodeString) into type (FMTBcd)");
  EXPECT_RAISES(VarToBcd(std::nan("")), EVariantOverflowError,
                "Overflow while converting variant of type (Double) into type (FMTBcd)");
  EXPECT_EQ(BcdToStr(VarToBcd(3)), "3");
}

TEST(VariantCasts, TypedGettersAndText) {
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant("9007199254740993").AsInt64(), 9007199254740993LL);  // exact, no detour through double
  EXPECT_EQ(Variant(2.5).AsInt64(), 2);
  EXPECT_EQ(Variant("1.5").AsDouble(), 1.5);
  EXPECT_TRUE(Variant("yes").AsString() == "yes");
  EXPECT_EQ(Variant("05/19/2024").AsDateTime(), 45431.0);
  EXPECT_EQ(Variant(3).AsCurrency(), Currency(3));
  EXPECT_FALSE(Variant().AsBoolean());
  EXPECT_FALSE(Variant().AsInterface());

  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_EQ(VarToStr(Variant()), "");
  EXPECT_EQ(VarToStr(true), "True");
  EXPECT_EQ(VarToStr(false), "False");
  EXPECT_EQ(VarToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(VarToStr(Variant(std::int8_t(-5))), "-5");
  EXPECT_EQ(VarToStrDef(Null(), "none"), "none");
  EXPECT_EQ(VarToStrDef(Variant(), "none"), "");
  EXPECT_EQ(VarToStrDef(5, "none"), "5");
  EXPECT_EQ(VarToAnsiStr("abc").Bytes(), QByteArray("abc"));
  EXPECT_TRUE(VarToAnsiStr(Null()).IsEmpty());
  EXPECT_RAISES(VarToStr(VarArrayOf({})), EVariantTypeCastError,
                "Could not convert variant of type (Array Variant) into type (UnicodeString)");

  FormatSettings().DecimalSeparator = u',';
  EXPECT_EQ(VarToStr(2.5), "2,5");
  EXPECT_EQ(Variant("2,5").AsDouble(), 2.5);
  FormatSettings() = TFormatSettings::Invariant();
}

TEST(VariantCasts, ErrorCodes) {
  Integer Code = 0;
  EXPECT_TRUE(VarIsError(VarAsError(-1), &Code));
  EXPECT_EQ(Code, -1);
  EXPECT_FALSE(VarIsError(-1));
  EXPECT_TRUE(VarAsError(3) == VarAsError(3));
  EXPECT_FALSE(VarAsError(3) == VarAsError(4));
}

// ---------------------------------------------------------------------------
// arrays

TEST(VariantArrays, BoundsAndRedim) {
  Variant A = VarArrayCreate({2, 4}, varInteger);
  EXPECT_EQ(VarArrayLowBound(A, 1), 2);
  EXPECT_EQ(VarArrayHighBound(A, 1), 4);
  expectSame(A[2], 0);  // a typed array starts with its type's zero
  VarArrayPut(A, "7", 2);
  VarArrayPut(A, 8.5, 4);
  expectSame(A[2], 7);  // elements take the element type
  expectSame(VarArrayGet(A, 4), 8);

  VarArrayRedim(A, 6);
  EXPECT_EQ(VarArrayHighBound(A, 1), 6);
  expectSame(A[2], 7);
  expectSame(A[4], 8);
  expectSame(A[6], 0);
  VarArrayRedim(A, 2);
  EXPECT_EQ(VarArrayHighBound(A, 1), 2);
  expectSame(A[2], 7);
  VarArrayRedim(A, 1);  // no elements left
  EXPECT_EQ(VarArrayHighBound(A, 1), 1);

  Variant V = VarArrayOf({"a", 1});
  VarArrayRedim(V, 3);
  expectSame(V[0], "a");
  EXPECT_TRUE(VarIsEmpty(V[3]));

  Variant Empty = VarArrayCreate({0, -1}, varVariant);
  EXPECT_EQ(VarArrayHighBound(Empty, 1), -1);
  EXPECT_RAISES(VarArrayCreate({0, -2}, varVariant), EVariantInvalidArgError, "Invalid argument");
}

TEST(VariantArrays, BadIndexAndNotAnArray) {
  Variant A = VarArrayCreate({-1, 1}, varVariant);
  for (Integer Bad : {-2, 2}) {
    SCOPED_TRACE(Bad);
    EXPECT_RAISES(A[Bad], EVariantBadIndexError, "Variant or safe array index out of bounds");
    EXPECT_RAISES(VarArrayPut(A, 1, Bad), EVariantBadIndexError, "Variant or safe array index out of bounds");
  }
  EXPECT_RAISES(VarArrayLowBound(A, 2), EVariantBadIndexError, "Variant or safe array index out of bounds");
  EXPECT_RAISES(VarArrayHighBound(A, 0), EVariantBadIndexError, "Variant or safe array index out of bounds");
  Variant NotArray = 5;
  EXPECT_RAISES(NotArray[0], EVariantInvalidArgError, "Variant is not an array");
  EXPECT_RAISES(VarArrayRedim(NotArray, 3), EVariantInvalidArgError, "Variant is not an array");
  EXPECT_RAISES(VarArrayLock(NotArray), EVariantInvalidArgError, "Variant is not an array");
  EXPECT_RAISES(VarArrayLock(A), EVariantInvalidArgError, "Invalid argument");
  Variant Bytes = VarArrayCreate({0, 0}, varByte);
  EXPECT_RAISES(VarArrayPut(Bytes, 256, 0), EVariantOverflowError,
                "Overflow while converting variant of type (Integer) into type (Byte)");
}

TEST(VariantArrays, ByteArrayRoundTrip) {
  QByteArray Blob;
  for (int I = 0; I < 256; ++I) Blob.append(char(I));
  Variant V = VarArrayFromBytes(Blob);
  EXPECT_EQ(VarType(V), varArray | varByte);
  EXPECT_EQ(VarArrayLowBound(V, 1), 0);
  EXPECT_EQ(VarArrayHighBound(V, 1), 255);
  expectSame(V[200], Variant(Byte(200)));

  const Variant Before = V;
  auto* Data = static_cast<Byte*>(VarArrayLock(V));
  EXPECT_EQ(std::memcmp(Data, Blob.constData(), 256), 0);
  const Variant CopyWhileLocked = V;
  Data[0] = 0xAA;  // writes through the lock reach V alone
  VarArrayUnlock(V);
  expectSame(V[0], Variant(Byte(0xAA)));
  expectSame(Before[0], Variant(Byte(0)));
  expectSame(CopyWhileLocked[0], Variant(Byte(0)));

  EXPECT_EQ(VarArrayToByteArray(CopyWhileLocked), Blob);
  EXPECT_EQ(VarArrayToBytes(VarArrayFromBytes(TBytes{1, 2, 3})), (TBytes{1, 2, 3}));
  EXPECT_TRUE(VarArrayToBytes(Variant()).empty());
  EXPECT_RAISES(VarArrayToBytes(Null()), EVariantTypeCastError,
                "Could not convert variant of type (Null) into type (Array Byte)");
  EXPECT_RAISES(VarArrayToByteArray(VarArrayOf({1})), EVariantTypeCastError,
                "Could not convert variant of type (Array Variant) into type (Array Byte)");

  VarArrayRedim(V, 257);
  expectSame(V[257], Variant(Byte(0)));
  VarArrayPut(V, 7, 257);
  EXPECT_EQ(VarArrayToBytes(V).back(), 7);
}

// ---------------------------------------------------------------------------
// objects

class TTracked : public TObject {
public:
  ~TTracked() override { Destroyed = true; }
  static inline bool Destroyed = false;
};

class TTrackedWrapper : public TInterfacedObjectWrapper {
public:
  using TInterfacedObjectWrapper::TInterfacedObjectWrapper;
  ~TTrackedWrapper() override { Destroyed = true; }
  static inline bool Destroyed = false;
};

TEST(VariantObjects, WrapperCarriesAnObjectItDoesNotOwn) {
  TTracked* Obj = new TTracked;
  TTracked::Destroyed = false;
  TTrackedWrapper::Destroyed = false;
  {
    Variant V = Variant(IPtr<IInterface>(new TTrackedWrapper(Obj)));
    const Variant Copy = V;
    V = Unassigned();
    EXPECT_EQ(VarType(Copy), varUnknown);
    EXPECT_FALSE(VarIsClear(Copy));
    auto* Wrapper = dynamic_cast<TInterfacedObjectWrapper*>(Copy.AsInterface().Get());
    ASSERT_NE(Wrapper, nullptr);
    EXPECT_EQ(Wrapper->Object(), Obj);
    EXPECT_TRUE(Copy == Variant(Copy.AsInterface()));  // the same interface
    EXPECT_FALSE(TTrackedWrapper::Destroyed);
  }
  EXPECT_TRUE(TTrackedWrapper::Destroyed);  // with the last variant
  EXPECT_FALSE(TTracked::Destroyed);        // the object is not the wrapper's
  Obj->Free();
}

}  // namespace

namespace {

TEST(VariantSQLTimeStamp, ActsAsTheDateTimeItReads) {
  const TDateTime At = EncodeDateTime(2021, 3, 4, 10, 20, 30, 5);
  const TSQLTimeStamp Stamp = DateTimeToSQLTimeStamp(At);
  EXPECT_EQ(Stamp.Year, 2021);
  EXPECT_EQ(Stamp.Fractions, 5u);
  EXPECT_EQ(SQLTimeStampToDateTime(Stamp), At);

  const Variant V(Stamp);
  EXPECT_EQ(VarType(V), varSQLTimeStamp);
  EXPECT_TRUE(VarIsSQLTimeStamp(V));
  EXPECT_EQ(VarTypeAsText(varSQLTimeStamp), QStringLiteral("SQLTimeStamp"));
  EXPECT_EQ(V.AsDateTime(), At);
  EXPECT_EQ(VarToStr(V), DateTimeToStr(At));
  EXPECT_TRUE(V == VarFromDateTime(At));
  EXPECT_TRUE(V < VarFromDateTime(At + 1));
  EXPECT_EQ(VarCompareValue(V, Null()), vrGreaterThan);
  EXPECT_EQ(VarType(V + Variant(1)), varDate);
  EXPECT_EQ((V + Variant(1)).AsDateTime(), At + 1);

  EXPECT_EQ(VarToSQLTimeStamp(VarAsType(VarFromDateTime(At), varSQLTimeStamp)), Stamp);
  EXPECT_RAISES(VarAsType(Null(), varSQLTimeStamp), EVariantTypeCastError,
                "Could not convert variant of type (Null) into type (SQLTimeStamp)");
  EXPECT_THROW(SQLTimeStampToDateTime(TSQLTimeStamp{2021, 13, 1}), EConvertError);
}

TEST(VariantSQLTimeStamp, OffsetKindKeepsItsOffset) {
  TSQLTimeStampOffset Stamp{DateTimeToSQLTimeStamp(EncodeDateTime(2021, 3, 4, 10, 20, 30, 0))};
  Stamp.TimeZoneHour = -5;
  Stamp.TimeZoneMinute = -30;
  const Variant V(Stamp);
  EXPECT_EQ(VarType(V), varSQLTimeStampOffset);
  EXPECT_EQ(VarToSQLTimeStampOffset(V), Stamp);
  const Variant Copy = V;  // shares the cell
  EXPECT_EQ(VarToSQLTimeStampOffset(Copy).TimeZoneMinute, -30);
  // the plain kind drops the offset
  EXPECT_EQ(VarToSQLTimeStampOffset(VarAsType(V, varSQLTimeStamp)).TimeZoneHour, 0);
  EXPECT_TRUE(VarAsType(V, varSQLTimeStamp) == V);
}

}  // namespace
