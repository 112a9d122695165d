#include "platform/rtl/format.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/variant.h"
#include "tests/support/testing.h"

namespace {

TEST(FormatTest, IntegersPadAndKeepTheSignFirst) {
  EXPECT_EQ(Format("%.2d", {5}), "05");
  EXPECT_EQ(Format("%.4d", {-5}), "-0005");
  EXPECT_EQ(Format("%3d|%-3d|", {5, 5}), "  5|5  |");
  EXPECT_EQ(Format("%D", {7}), "7");
  EXPECT_EQ(Format("%d", {-2147483647 - 1}), "-2147483648");
  EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
  EXPECT_EQ(Format("%d %d", {4000000000u, UINT64_MAX}), "4000000000 18446744073709551615");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("%x|%.4X|%x", {255, 10, Int64(-1)}), "FF|000A|FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%*d|%-*d|%.*d", {4, 1, 3, 2, 3, 7}), "   1|2  |007");
  EXPECT_EQ(Format("%d", {Byte(200)}), "200");
}

TEST(FormatTest, StringsIndexesAndLiterals) {
  EXPECT_EQ(Format(" %s = :%0:s%1:s", {"A", ","}), " A = :A,");
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
  EXPECT_EQ(Format("%.2s|%5s|%-5s|", {"abcdef", "ab", "ab"}), "ab|   ab|ab   |");
  EXPECT_EQ(Format("%s%s", {u'x', Char(u'я')}), "xя");
  EXPECT_EQ(Format("%s", {String("ёж")}), "ёж");
  EXPECT_EQ(Format("100%% %s", {"done"}), "100% done");
  EXPECT_EQ(Format("no args", {}), "no args");
}

TEST(FormatTest, Floats) {
  EXPECT_EQ(Format("%f", {2.5}), "2.50");
  EXPECT_EQ(Format("%.1f|%.0f", {0.25, 2.5}), "0.3|3");
  EXPECT_EQ(Format("%4.1f", {5.0}), " 5.0");
  EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
  EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
  EXPECT_EQ(Format("%.3e", {-0.0012345}), "-1.23E-003");
  EXPECT_EQ(Format("%g|%g|%.3g", {0.1 + 0.2, 1e20, 1234.5}), "0.3|1E20|1.23E3");
  EXPECT_EQ(Format("%m", {-5.0}), "(\u00A45.00)");
  EXPECT_EQ(Format("%.3f|%m", {Currency(1.2345), Currency::MaxValue()}), "1.235|\u00A4922,337,203,685,477.58");
  TFormatSettings S = TFormatSettings::Invariant();
  S.DecimalSeparator = u',';
  S.ThousandSeparator = u'.';
  EXPECT_EQ(Format("%.2f %n", {1.5, 1234.5}, S), "1,50 1.234,50");
}

TEST(FormatTest, VariantsAndEightBitText) {
  EXPECT_EQ(Format("%s|%d|%.1f|%s|%x", {Variant("x"), Variant(5), Variant(2.25), Variant(true), Variant("31")}),
            "x|5|2.3|True|1F");
  EXPECT_EQ(Format("%s|%5s|", {Variant(), Null()}), "|     |");
  EXPECT_EQ(Format("%.2f", {Variant(Currency::MaxValue())}), "922337203685477.58");
  EXPECT_THROW(Format("%d", {Variant("abc")}), EVariantTypeCastError);
  EXPECT_THROW(Format("%f", {Null()}), EVariantTypeCastError);

  const Cardinal Saved = DefaultSystemCodePage();
  SetDefaultSystemCodePage(1251);
  EXPECT_EQ(Format("%s|%s|%.3s", {'a', '\xCF', AnsiString(String("Привет"))}), "a|П|При");
  SetDefaultSystemCodePage(Saved);
}

TEST(FormatTest, PointersAndBooleansNeedTheirOwnTypes) {
  int X = 0;
  EXPECT_EQ(Format("%p", {static_cast<const void*>(nullptr)}), "0000000000000000");
  EXPECT_EQ(Format("%p", {&X}).size(), 16);
  EXPECT_RAISES(Format("%s", {true}), EConvertError, "Format '%s' invalid or incompatible with argument");
}

TEST(FormatTest, BadFormatsAndArguments) {
  struct Case {
    const char* Fmt;
    std::initializer_list<TVarRec> Args;
    const char* Message;
  };
  const Case Cases[] = {
      {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
      {"%s", {5}, "Format '%s' invalid or incompatible with argument"},
      {"%f", {5}, "Format '%f' invalid or incompatible with argument"},
      {"%x", {1.5}, "Format '%x' invalid or incompatible with argument"},
      {"%p", {5}, "Format '%p' invalid or incompatible with argument"},
      {"a %5", {5}, "Format 'a %5' invalid or incompatible with argument"},
      {"%", {}, "Format '%' invalid or incompatible with argument"},
      {"%k", {5}, "Format '%k' invalid or incompatible with argument"},
      {"%*d", {"w", 5}, "Format '%*d' invalid or incompatible with argument"},
      {"%d %d", {5}, "No argument for format '%d %d'"},
      {"%2:d", {1, 2}, "No argument for format '%2:d'"},
      {"%s", {}, "No argument for format '%s'"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Fmt);
    EXPECT_RAISES(Format(C.Fmt, C.Args), EConvertError, C.Message);
  }
}

TEST(FormatTest, ExceptionFormatsItsMessage) {
  const EConvertError E(QStringLiteral("'%s' at %d"), {"x", 3});
  EXPECT_EQ(E.Message, "'x' at 3");
  EXPECT_STREQ(E.what(), "'x' at 3");
}

}  // namespace
