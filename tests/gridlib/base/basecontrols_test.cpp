#include "gridlib/base/basecontrols.h"

#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/cursorres.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QImage>
#include <limits>

namespace {

// An object whose destruction is seen.
class TTracked : public TObject {
public:
  explicit TTracked(int& Freed) : FFreed(Freed) {}
  ~TTracked() override { ++FFreed; }

private:
  int& FFreed;
};

TEST(ObjectListEh, FreesNothingUnlessItOwns) {
  int Freed = 0;
  TTracked A(Freed), B(Freed);
  {
    auto* List = new TObjectListEh;
    List->Add(&A);
    List->Add(&B);
    List->Clear();
    List->Add(&A);
    List->Free();
  }
  EXPECT_EQ(Freed, 0);

  auto* Owning = new TObjectListEh(true);
  Owning->Add(new TTracked(Freed));
  Owning->Free();
  EXPECT_EQ(Freed, 1);
}

// A stream that shows its capacity rule.
class TProbeStream : public TMemoryStreamEh {
public:
  using TMemoryStreamEh::TMemoryStreamEh;
};

TEST(MemoryStreamEh, CapacityGrowsInSteps) {
  TProbeStream Stream;
  Stream.SetCapacity(1);
  EXPECT_EQ(Stream.Capacity(), 8192);
  Stream.SetCapacity(8193);
  EXPECT_EQ(Stream.Capacity(), 16384);

  const char Bytes[100] = {};
  Stream.SetCapacity(0);
  Stream.WriteBuffer(Bytes, sizeof Bytes);
  EXPECT_EQ(Stream.Capacity(), 8192);
  Stream.SetCapacity(Stream.Size());  // exactly the size: trimmed, not rounded
  EXPECT_EQ(Stream.Capacity(), 100);
}

TEST(MemoryStreamEh, FailedGrowthKeepsTheBlock) {
  TProbeStream Stream;
  const char Bytes[3] = {'a', 'b', 'c'};
  Stream.WriteBuffer(Bytes, sizeof Bytes);
  void* const Block = Stream.Memory();
  EXPECT_RAISES(Stream.SetCapacity(Int64(1) << 60), EStreamError, "Out of memory while expanding memory stream");
  EXPECT_EQ(Stream.Memory(), Block);
  EXPECT_EQ(Stream.Capacity(), 8192);
  EXPECT_EQ(QByteArray(static_cast<const char*>(Stream.Memory()), 3), QByteArray("abc"));
}

TEST(FieldListEh, EmptyListCanModify) {
  TFieldListEh List;
  EXPECT_TRUE(List.AllFieldsCanModify());
  EXPECT_TRUE(FieldsCanModifyEh({}));
}

TEST(FieldListEh, ReadOnlyFieldStopsModifying) {
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add(QStringLiteral("A"), ftInteger);
  DataSet.FieldDefs()->Add(QStringLiteral("B"), ftInteger);
  DataSet.AppendRow({1, 2});
  DataSet.Open();
  TFieldListEh List;
  List.Add(DataSet.FieldByName(QStringLiteral("A")));
  List.Add(DataSet.FieldByName(QStringLiteral("B")));
  EXPECT_TRUE(List.AllFieldsCanModify());
  DataSet.FieldByName(QStringLiteral("B"))->SetReadOnly(true);
  EXPECT_FALSE(List.AllFieldsCanModify());
  EXPECT_FALSE(FieldsCanModifyEh({DataSet.FieldByName(QStringLiteral("A")), DataSet.FieldByName(QStringLiteral("B"))}));
}

TEST(BookmarksEh, EmptyBookmarkIsNeverValid) {
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add(QStringLiteral("A"), ftInteger);
  DataSet.AppendRow({1});
  DataSet.AppendRow({2});
  DataSet.Open();
  const TBookmark First = DataSet.Bookmark();
  DataSet.Next();
  const TBookmark Second = DataSet.Bookmark();
  EXPECT_FALSE(BookmarkValidEh(&DataSet, TBookmark()));
  EXPECT_TRUE(BookmarkValidEh(&DataSet, First));
  EXPECT_LT(CompareBookmarksEh(&DataSet, First, Second), 0);
  EXPECT_EQ(CompareBookmarksEh(&DataSet, Second, Second), 0);
}

TEST(LineBreaksToSpacesEh, Table) {
  const struct {
    const char* Name;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"every break kind", "a\r\n\nb\r\n", "a  b"},
      {"LF CR is one break", "a\n\rb", "a b"},
      {"lone CR", "a\rb", "a b"},
      {"only breaks", "\r\n\n\r", ""},
      {"no breaks", "plain", "plain"},
      {"empty", "", ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(LineBreaksToSpacesEh(QString::fromLatin1(C.Text)), QString::fromLatin1(C.Expected));
  }
}

TEST(VariantsEh, RefObjectTravelsInAVariant) {
  int Freed = 0;
  auto* Obj = new TTracked(Freed);
  {
    const Variant V = RefObjectToVarEh(Obj);
    EXPECT_EQ(VarToRefObjectEh(V), Obj);
  }
  EXPECT_EQ(Freed, 0);  // the wrapper never owned it
  Obj->Free();
}

// An interface that is not the wrapper.
class TOtherIntf : public TInterfacedObject {};

TEST(VariantsEh, OtherInterfaceIsNotSupported) {
  const Variant V = Variant(IPtr<IInterface>(new TOtherIntf));
  EXPECT_RAISES(VarToRefObjectEh(V), EIntfCastError, "Interface not supported");
}

TEST(VariantsEh, RedimAndAnsiText) {
  Variant A = VarArrayOf({1, 2});
  VarArrayRedimEh(A, 3);
  EXPECT_EQ(VarArrayHighBound(A, 1), 3);
  EXPECT_EQ(VarToAnsiStrEh(Null()).Length(), 0);
  EXPECT_EQ(VarToAnsiStrEh(Variant(12)), AnsiString("12"));
}

// ---------------------------------------------------------------------------
// property metadata

RTL_ENUM(TProbeMode, pmFirst, pmSecond, pmThird)

class TProbeComponent : public TComponent {
  RTL_CLASS(TProbeComponent, TComponent)
public:
  using TComponent::TComponent;
  static void DescribeProperties(TPropertyTable& Props) {
    Props.Add("Mode", &TProbeComponent::FMode, &TProbeComponent::FMode).Default(pmFirst);
    Props.Add("DataSource", &TProbeComponent::FDataSource, &TProbeComponent::FDataSource);
    Props.Add("Count", &TProbeComponent::FCount, &TProbeComponent::FCount);
    Props.Add<TProbeComponent>("Failing", [](TProbeComponent*) -> TComponent* {
      throw EInvalidOperation(QStringLiteral("no"));
    });
  }

  TProbeMode FMode = pmFirst;
  TDataSource* FDataSource = nullptr;
  Integer FCount = 0;
};

TEST(PropertiesEh, EnumerationByName) {
  TProbeComponent Probe(nullptr);
  SetEnumPropByNameEh(&Probe, QStringLiteral("Mode"), QStringLiteral("pmThird"));
  EXPECT_EQ(Probe.FMode, pmThird);
  EXPECT_EQ(GetEnumPropNameEh(&Probe, QStringLiteral("Mode")), QStringLiteral("pmThird"));
  // An unknown value name leaves the property as it was.
  EXPECT_THROW(SetEnumPropByNameEh(&Probe, QStringLiteral("Mode"), QStringLiteral("pmFourth")),
               EPropertyConvertError);
  EXPECT_EQ(Probe.FMode, pmThird);
  EXPECT_THROW(GetEnumPropNameEh(&Probe, QStringLiteral("Missing")), EPropertyError);
  const TPropInfo* Info = GetPropInfo(&Probe, QStringLiteral("Mode"));
  EXPECT_EQ(GetTypeInfoKindEh(GetPropInfoTypeEh(Info)), tkEnumeration);
}

TEST(PropertiesEh, DataSetOfDataSourceProperty) {
  TProbeComponent Probe(nullptr);
  TRowListDataSet DataSet(nullptr);
  TDataSource Source(nullptr);
  const auto Prop = [&](const char* Name) { return GetPropInfo(&Probe, QString::fromLatin1(Name)); };
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, Prop("DataSource")), nullptr);  // empty
  Probe.FDataSource = &Source;
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, Prop("DataSource")), nullptr);  // a source without a dataset
  Source.SetDataSet(&DataSet);
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, Prop("DataSource")), &DataSet);
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, Prop("Count")), nullptr);    // not a class
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, Prop("Failing")), nullptr);  // the getter raises
  EXPECT_EQ(DataSetOfDataSourcePropEh(&Probe, nullptr), nullptr);
  Probe.FDataSource = nullptr;
}

// ---------------------------------------------------------------------------
// screen, cursors and drawing

class ScreenRoutinesEh : public ::testing::Test {
protected:
  void SetUp() override { InitializeForms(); }
  void TearDown() override {
    test::SetMonitors({});
    FinalizeForms();
    test::ResetMouse();
    FinalizeBaseControlsEh();
  }
};

TEST_F(ScreenRoutinesEh, CanvasScaleFactorFollowsTheMonitor) {
  TMonitorInfo Monitor;
  Monitor.Bounds = Monitor.WorkArea = Rect(0, 0, 1920, 1080);
  Monitor.PixelsPerInch = 144;
  Monitor.Primary = true;
  test::SetMonitors({Monitor});
  TBitmap Bitmap;
  Bitmap.SetSize(4, 4);
  EXPECT_DOUBLE_EQ(GetCanvasScaleFactorEh(Bitmap.Canvas()), 1.5);
  EXPECT_EQ(GetMonitorPixelsPerInchEh(nullptr), 144);
}

TEST_F(ScreenRoutinesEh, CursorsTakeTheFirstFreeIndexes) {
  QImage Image(32, 32, QImage::Format_ARGB32);
  Image.fill(Qt::black);
  RegisterCursorResource(QStringLiteral("PROBECUREH"), Image, {15, 19});
  EXPECT_EQ(LoadRegisterCursorEh(QStringLiteral("ProbeCurEh")), 1);
  EXPECT_EQ(LoadRegisterCursorEh(QStringLiteral("PROBECUREH")), 2);
  EXPECT_EQ(GetCursorHandle(1), gdi::LoadCursor(gdi::MainInstance(), u"PROBECUREH"));
  EXPECT_RAISES(LoadRegisterCursorEh(QStringLiteral("NOSUCHCURSOR")), EOutOfResources,
                "Cannot load cursor resource");
  EXPECT_RAISES(LoadCursorCheckedEh(nullptr, QStringLiteral("PROBECUREH")), EOutOfResources,
                "Cannot load cursor resource");
}

TEST_F(ScreenRoutinesEh, CursorTableFull) {
  QImage Image(32, 32, QImage::Format_ARGB32);
  Image.fill(Qt::black);
  RegisterCursorResource(QStringLiteral("PROBECUREH"), Image, {0, 0});
  const gdi::HCURSOR Cursor = gdi::LoadCursor(gdi::MainInstance(), u"PROBECUREH");
  for (Integer I = 1; I <= std::numeric_limits<TCursor>::max(); ++I) SetCursorHandle(TCursor(I), Cursor);
  EXPECT_RAISES(LoadRegisterCursorEh(QStringLiteral("Probe")), Exception,
                "LoadRegisterCursorEh could not register cursor - \"Probe\"");
}

TEST_F(ScreenRoutinesEh, AlphaFillBlendsAtConstantOpacity) {
  TBitmap Bitmap;
  Bitmap.SetSize(20, 10);
  Bitmap.Canvas()->Brush()->SetColor(clWhite);
  Bitmap.Canvas()->FillRect(Rect(0, 0, 20, 10));

  FillRectAlphaEh(Bitmap.Canvas(), Rect(2, 2, 8, 8), clRed, 0);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 20, 10), clWhite), 200);
  FillRectAlphaEh(Bitmap.Canvas(), Rect(2, 2, 8, 8), clRed, 255);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(2, 2, 8, 8), clRed), 36);
  EXPECT_EQ(CountPixels(&Bitmap, Rect(0, 0, 20, 10), clWhite), 200 - 36);
  // Half way: white + trunc((0 - 255) * 128 / 255) in green and blue.
  FillRectAlphaEh(Bitmap.Canvas(), Rect(10, 0, 20, 10), clRed, 128);
  EXPECT_EQ(PixelAt(&Bitmap, 15, 5), TColor(0x7F7FFF));
}

TEST_F(ScreenRoutinesEh, ScreenCanvasMeasuresWithoutAWindow) {
  TCanvas* Canvas = GetScreenCanvasEh();
  EXPECT_EQ(GetScreenCanvasEh(), Canvas);
  EXPECT_GT(Canvas->TextWidth(QStringLiteral("Wide text")), Canvas->TextWidth(QStringLiteral("W")));
}

}  // namespace
