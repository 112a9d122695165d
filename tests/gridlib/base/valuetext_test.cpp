#include "gridlib/base/valuetext.h"

#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/os/locales.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/picture.h"
#include "tests/support/testing.h"

#include <QByteArray>
#include <memory>

namespace {

// A locale that formats unlike the invariant text: decimal comma, dotted
// dates, an unpadded hour.
class ValueTextEh : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings().DecimalSeparator = u',';
    FormatSettings().DateSeparator = u'.';
    FormatSettings().ShortDateFormat = QStringLiteral("dd.MM.yyyy");
    FormatSettings().LongTimeFormat = QStringLiteral("H:mm:ss");
  }

  TFormatSettingsScope Keep;
};

TEST_F(ValueTextEh, InvariantText) {
  const TDateTime Day = EncodeDate(2024, 5, 19);
  const TDateTime Moment = EncodeDateTime(2024, 5, 19, 14, 5, 9, 0);
  EXPECT_EQ(VarToInvariantStrEh(VarFromDateTime(Day)), QStringLiteral("2024-05-19"));
  EXPECT_EQ(VarToInvariantStrEh(VarFromDateTime(Moment)), QStringLiteral("2024-05-19 14:05:09"));
  EXPECT_EQ(VarToInvariantStrEh(1.5), QStringLiteral("1.5"));
  EXPECT_EQ(VarToInvariantStrEh(Variant(Currency(2.25))), QStringLiteral("2.25"));
  EXPECT_EQ(VarToInvariantStrEh(Variant(42)), QStringLiteral("42"));
  EXPECT_EQ(FloatToStrPointEh(-0.25), QStringLiteral("-0.25"));
  EXPECT_EQ(FormatSettings().DecimalSeparator, u',');  // the global settings were never touched
  EXPECT_EQ(VarToDisplayStrEh(VarFromDateTime(Day)), QStringLiteral("19.05.2024"));
}

TEST_F(ValueTextEh, InvariantTextReadsBack) {
  for (const char* Locale : {"en_US", "ru_RU", "de_DE"}) {
    SCOPED_TRACE(Locale);
    TUserLocaleScope Scope(QString::fromLatin1(Locale));
    FormatSettings() = TFormatSettings::Create();
    const Variant Date = InvariantStrToVarEh(QStringLiteral("2024-05-19"), varDate);
    EXPECT_EQ(VarType(Date), varDate);
    EXPECT_EQ(Date.AsDateTime(), EncodeDate(2024, 5, 19));
    EXPECT_EQ(InvariantStrToVarEh(QStringLiteral("2024-05-19 14:05:09"), varDate).AsDateTime(),
              EncodeDateTime(2024, 5, 19, 14, 5, 9, 0));
    EXPECT_EQ(InvariantStrToVarEh(QStringLiteral("1.5"), varDouble).AsDouble(), 1.5);
    EXPECT_EQ(InvariantStrToVarEh(QStringLiteral("2.25"), varCurrency).AsCurrency(), Currency(2.25));
    EXPECT_EQ(VarType(InvariantStrToVarEh(QStringLiteral("7"), varInteger)), varInteger);
  }
}

TEST(CompareVariantsEh, Table) {
  const struct {
    const char* Name;
    Variant A, B;
    TVariantRelationship Expected;
  } Cases[] = {
      {"Null below a number", Null(), 5, vrLessThan},
      {"a number above Null", 5, Null(), vrGreaterThan},
      {"Null equals Null", Null(), Null(), vrEqual},
      {"array against integer", VarArrayOf({1, 2}), 5, vrNotEqual},
      {"equal arrays", VarArrayOf({1, 2}), VarArrayOf({1, 2}), vrEqual},
      {"first differing element decides", VarArrayOf({1, 3, 0}), VarArrayOf({1, 2, 9}), vrGreaterThan},
      {"Null element", VarArrayOf({Null()}), VarArrayOf({1}), vrLessThan},
      {"arrays of other shapes", VarArrayOf({1}), VarArrayOf({1, 2}), vrNotEqual},
      {"two empty arrays", VarArrayCreate({0, -1}, varVariant), VarArrayCreate({0, -1}, varVariant), vrNotEqual},
      {"integers", 2, 3, vrLessThan},
      {"doubles", 2.5, 2.5, vrEqual},
      {"strings", Variant("b"), Variant("a"), vrGreaterThan},
      {"text against a number it is not", Variant("x"), 1, vrNotEqual},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(CompareVariantsEh(C.A, C.B), C.Expected);
  }
}

TEST(VariantsEqualEh, Table) {
  const struct {
    const char* Name;
    Variant A, B;
    bool Equal;
  } Cases[] = {
      {"equal integers", 4, 4, true},
      {"integer and double", 4, 4.0, true},
      {"Null and Null", Null(), Null(), true},
      {"Unassigned and Unassigned", Unassigned(), Unassigned(), true},
      {"Unassigned and zero", Unassigned(), 0, false},
      {"array and non-array", VarArrayOf({1}), 1, false},
      {"equal arrays", VarArrayOf({1, "a"}), VarArrayOf({1, "a"}), true},
      {"arrays of other bounds", VarArrayOf({1}), VarArrayOf({1, 1}), false},
      {"different elements", VarArrayOf({1, 2}), VarArrayOf({1, 3}), false},
      {"text against a number it is not", Variant("x"), 1, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(VariantsEqualEh(C.A, C.B), C.Equal);
  }
}

TEST(VarToStrArrayEh, NestedArrays) {
  EXPECT_EQ(VarToStrArrayEh(VarArrayOf({1, 2, VarArrayOf({3, 4})})), QStringLiteral("[1, 2, [3, 4]]"));
  EXPECT_EQ(VarToStrArrayEh(VarArrayCreate({0, -1}, varVariant)), QStringLiteral("[]"));
  EXPECT_EQ(VarToStrArrayEh(Variant("plain")), QStringLiteral("plain"));
}

TEST(DateTimeFormatUnitsEh, Table) {
  using U = TCalendarDateTimeUnitsEh;
  const struct {
    const char* Format;
    U Expected;
  } Cases[] = {
      {"hh:mm 'Day' AM/PM", U{cdtuHourEh, cdtuMonthEh, cdtuAmPmEh}},
      {"yyyy-mm-dd hh:nn:ss", U{cdtuYearEh, cdtuMonthEh, cdtuDayEh, cdtuHourEh, cdtuMinuteEh, cdtuSecondEh}},
      {"h:n a/p", U{cdtuHourEh, cdtuMinuteEh, cdtuAmPmEh}},
      {"hh ampm", U{cdtuHourEh, cdtuAmPmEh}},
      {"\"yyyy\" a d", U{cdtuDayEh}},
      {"'unclosed y", U{}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Format);
    EXPECT_EQ(GetDateTimeFormatUnitsEh(QString::fromLatin1(C.Format)), C.Expected);
  }
}

TEST(LocaleTimeFormatEh, FromTheUserLocale) {
  bool Is24Hour = false, AmPmPrefix = true;
  {
    TUserLocaleScope Scope(QStringLiteral("en_US"));
    GetLocaleTimeFormatEh(Is24Hour, AmPmPrefix);
    EXPECT_FALSE(Is24Hour);
    EXPECT_FALSE(AmPmPrefix);
  }
  TUserLocaleScope Scope(QStringLiteral("de_DE"));
  GetLocaleTimeFormatEh(Is24Hour, AmPmPrefix);
  EXPECT_TRUE(Is24Hour);
}

TEST(DateTimePartsEh, MillisecondsAndTimePart) {
  EXPECT_EQ(TruncMillisecondsEh(EncodeDateTime(2024, 5, 19, 14, 5, 9, 999)), EncodeDateTime(2024, 5, 19, 14, 5, 9, 0));
  TDateTime Value = EncodeDateTime(2024, 5, 19, 8, 0, 0, 0);
  SetTimePartEh(Value, EncodeTime(18, 30, 0, 0));
  EXPECT_EQ(Value, EncodeDateTime(2024, 5, 19, 18, 30, 0, 0));
  TDateTime Old = -2.25;  // 1899-12-28 06:00
  SetTimePartEh(Old, 0.5);
  EXPECT_EQ(Old, -2.5);
}

TEST(FieldTypesEh, Sets) {
  EXPECT_FALSE(IsNumericFieldTypeEh(ftLargeint));
  EXPECT_FALSE(IsTextFieldTypeEh(ftLargeint));
  EXPECT_FALSE(IsNumericFieldTypeEh(ftAutoInc));
  EXPECT_TRUE(IsNumericFieldTypeEh(ftFMTBcd));
  EXPECT_TRUE(IsTextFieldTypeEh(ftGuid));
  EXPECT_FALSE(IsTextFieldTypeEh(ftBlob));
  EXPECT_TRUE(VarIsNumericEh(Variant(Int64(1))));
  EXPECT_FALSE(VarIsNumericEh(Variant(UInt64(1))));
  EXPECT_FALSE(VarIsNumericEh(Variant(true)));
  EXPECT_FALSE(VarIsNumericEh(VarFromDateTime(1)));
}

TEST(ArrayRangesEh, InsertAndDelete) {
  TVariantArrayEh A{"a", "b", "c"};
  ArrayInsertRange(A, 1, 2);
  EXPECT_EQ(A, (TVariantArrayEh{"a", "b", "c", "b", "c"}));
  ArrayInsertRange(A, 5, 1);  // at the end: an Unassigned place
  EXPECT_TRUE(VarIsEmpty(A.back()));
  ArrayDeleteRange(A, 1, 3);
  EXPECT_EQ(A.size(), 3u);
  EXPECT_EQ(A[1], Variant("c"));
  EXPECT_RAISES(ArrayInsertRange(A, 0, -1), Exception, "ArrayInsertRange: (Amount < 0)");
  EXPECT_RAISES(ArrayInsertRange(A, 4, 1), Exception, "ArrayInsertRange: StartIndex > Length(Extents)");
  EXPECT_RAISES(ArrayDeleteRange(A, 0, -1), Exception, "ArrayDeleteRange: (Amount < 0)");
  EXPECT_RAISES(ArrayDeleteRange(A, 2, 2), Exception, "ArrayDeleteRange: StartIndex + Amount > Length(Extents)");
  EXPECT_EQ(A.size(), 3u);
}

// ---------------------------------------------------------------------------
// field values

class FieldValuesEh : public ::testing::Test {
protected:
  void SetUp() override {
    FormatSettings() = TFormatSettings::Invariant();
    for (auto [Name, Type] : {std::pair{"I", ftInteger}, {"F", ftFloat}, {"B", ftBCD}, {"D", ftDate},
                              {"T", ftTime}, {"S", ftString}})
      DataSet.FieldDefs()->Add(QString::fromLatin1(Name), Type, Type == ftString ? 20 : 0);
    DataSet.Open();
  }
  TField* field(const char* Name) { return DataSet.FieldByName(QString::fromLatin1(Name)); }

  TFormatSettingsScope Keep;
  TRowListDataSet DataSet{nullptr};
};

TEST_F(FieldValuesEh, Table) {
  static_cast<TFloatField*>(field("F"))->SetPrecision(3);
  const struct {
    const char* Name;
    const char* Field;
    Variant Value;
    const char* Format;
    const char* Expected;
  } Cases[] = {
      {"Null", "I", Null(), "", ""},
      {"integer", "I", 1234, "", "1234"},
      {"integer with a format", "I", 1234, "#,##0", "1,234"},
      {"float by precision", "F", 3.14159, "", "3.14"},
      {"float with a format", "F", 3.14159, "0.0000", "3.1416"},
      {"bcd", "B", Currency(2.5), "", "2.5"},
      {"date", "D", VarFromDateTime(EncodeDate(2024, 5, 19)), "", "05/19/2024"},
      {"date with a format", "D", VarFromDateTime(EncodeDate(2024, 5, 19)), "yyyy", "2024"},
      {"time", "T", VarFromDateTime(EncodeTime(14, 5, 9, 0)), "", "14:05:09"},
      {"text", "S", Variant("abc"), "", "abc"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(FormatFieldValueEh(C.Value, field(C.Field), QString::fromLatin1(C.Format)),
              QString::fromLatin1(C.Expected));
  }
  static_cast<TNumericField*>(field("I"))->SetDisplayFormat(QStringLiteral("000000"));
  EXPECT_EQ(FormatFieldValueEh(12, field("I"), String()), QStringLiteral("000012"));
  static_cast<TFloatField*>(field("F"))->SetCurrency(true);
  EXPECT_EQ(FormatFieldValueEh(2.5, field("F"), String()), FloatToStrF(2.5, ffCurrency, 3, 2));
}

// ---------------------------------------------------------------------------
// pictures from blob fields

// A 2 x 1 bitmap file: red, blue.
QByteArray bitmapFile() {
  TBitmap Bitmap;
  Bitmap.SetSize(2, 1);
  Bitmap.Canvas()->SetPixels(0, 0, clRed);
  Bitmap.Canvas()->SetPixels(1, 0, clBlue);
  TMemoryStream Stream;
  Bitmap.SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), int(Stream.Size()));
}

QByteArray withHeader(const QByteArray& Data, Cardinal Size) {
  QByteArray Header(8, '\0');
  Header[0] = 1;     // Count
  Header[3] = 1;     // HeaderType $0100
  for (int I = 0; I < 4; ++I) Header[4 + I] = char((Size >> (8 * I)) & 0xFF);
  return Header + Data;
}

class PicturesEh : public ::testing::Test {
protected:
  void SetUp() override {
    DataSet.FieldDefs()->Add(QStringLiteral("P"), ftGraphic);
    DataSet.FieldDefs()->Add(QStringLiteral("N"), ftInteger);
    DataSet.AppendRow({Null(), 1});
    DataSet.Open();
    DataSet.Edit();
  }
  void TearDown() override {
    DataSet.Cancel();
    FreeGraphicProvidersEh();
  }
  TBlobField* blob() { return static_cast<TBlobField*>(DataSet.FieldByName(QStringLiteral("P"))); }
  void store(const QByteArray& Bytes) { blob()->SetAsBytes(TBytes(Bytes.begin(), Bytes.end())); }
  std::unique_ptr<TGraphic, void (*)(TGraphic*)> graphic() {
    return {CreateGraphicFromFieldEh(blob()), [](TGraphic* G) {
              if (G) G->Free();
            }};
  }

  TRowListDataSet DataSet{nullptr};
};

TEST_F(PicturesEh, HeaderSkippedWhenItMatches) {
  const QByteArray File = bitmapFile();
  store(withHeader(File, Cardinal(File.size())));
  auto G = graphic();
  ASSERT_TRUE(Is<TBitmap>(G.get()));
  EXPECT_EQ(G->Width(), 2);
  EXPECT_TRUE(static_cast<TBitmap*>(G.get())->IgnorePalette());
  EXPECT_EQ(static_cast<TBitmap*>(G.get())->Canvas()->Pixels(1, 0), clBlue);
}

TEST_F(PicturesEh, HeaderOffByOneIsReadFromTheStart) {
  const QByteArray File = bitmapFile();
  store(withHeader(File, Cardinal(File.size() + 1)));
  auto G = graphic();
  ASSERT_TRUE(Is<TBitmap>(G.get()));  // no provider knows the bytes: a bitmap
  EXPECT_TRUE(G->Empty());            // that could not read them
}

TEST_F(PicturesEh, HeaderIgnoredWhenTheFieldHasNone) {
  const QByteArray File = bitmapFile();
  blob()->SetGraphicHeader(false);
  store(withHeader(File, Cardinal(File.size())));
  EXPECT_TRUE(graphic()->Empty());
  store(File);
  EXPECT_EQ(graphic()->Width(), 2);
}

TEST_F(PicturesEh, NoPictureWithoutABlobField) {
  EXPECT_EQ(CreateGraphicFromFieldEh(nullptr), nullptr);
  EXPECT_EQ(CreateGraphicFromFieldEh(DataSet.FieldByName(QStringLiteral("N"))), nullptr);
  std::unique_ptr<TPicture, void (*)(TPicture*)> Picture(CreatePictureFromFieldEh(nullptr),
                                                         [](TPicture* P) { P->Free(); });
  EXPECT_EQ(Picture->Graphic(), nullptr);
  store(bitmapFile());
  LoadPictureFromFieldEh(blob(), Picture.get());
  EXPECT_EQ(Picture->Width(), 2);
}

// A provider that claims everything for a graphic class that refuses to load.
class TFailingGraphic : public TBitmap {
  RTL_CLASS_META(TFailingGraphic, TBitmap, TGraphicClassOf<TFailingGraphic>)
public:
  static bool CanLoadFromStream(TStream*) { return false; }
  void LoadFromStream(TStream*) override { throw EReadError(QStringLiteral("Stream read error")); }
};

class TGreedyProvider : public TGraphicProviderEh {
  RTL_CLASS_META(TGreedyProvider, TGraphicProviderEh, TGraphicProviderClassOfEh<TGreedyProvider>)
public:
  static TClass GetImageClassForStream(const Byte*, Integer) { return TFailingGraphic::StaticClass(); }
};

TEST_F(PicturesEh, ProvidersNewestFirstAndOtherErrorsPropagate) {
  EXPECT_EQ(GraphicProviderCountEh(), 1);
  const Byte Bm[] = {'B', 'M'};
  EXPECT_EQ(GetImageClassForStreamEh(Bm, 2), TBitmap::StaticClass());
  EXPECT_EQ(GetImageClassForStreamEh(Bm, 1), nullptr);  // too short to tell
  RegisterGraphicProviderEh(TGreedyProvider::StaticClass());
  RegisterGraphicProviderEh(TGreedyProvider::StaticClass());
  EXPECT_EQ(GraphicProviderCountEh(), 2);
  EXPECT_EQ(GetImageClassForStreamEh(Bm, 2), TFailingGraphic::StaticClass());
  store(bitmapFile());
  EXPECT_THROW(CreateGraphicFromFieldEh(blob()), EReadError);
}

}  // namespace
