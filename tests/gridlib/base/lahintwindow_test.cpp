#include "gridlib/base/lahintwindow.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/gridlib/base/dbtestsupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace basetest;

// A grid without a memory table: instant read moves the data link's active
// record and puts it back.
class TFakeGrid : public IDataHintGridEh {
public:
  TFakeGrid() {
    FillDataSet(DataSet, 10);
    Source.SetDataSet(&DataSet);
    Link.SetBufferCount(10);
    Link.SetDataSource(&Source);
  }
  ~TFakeGrid() override { Link.SetDataSource(nullptr); }
  void InstantReadDataRowEnter(Integer Index) override {
    Log.push_back(QString("enter(%1)").arg(Index));
    Saved.push_back(Link.ActiveRecord());
    Link.SetActiveRecord(Index);
  }
  void InstantReadDataRowLeave() override {
    Log.push_back("leave");
    Link.SetActiveRecord(Saved.back());
    Saved.pop_back();
  }
  TDataSource* GetDataSource() override { return &Source; }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;
  std::vector<int> Saved;
  std::vector<String> Log;
};

class TParams : public TObject, public IDataHintParamsEh {
public:
  TLaObjectEh* Root = nullptr;
  IDataHintGridEh* GridIntf = nullptr;
  Integer Row = 5;
  TLaObjectEh* LaHintObject() override { return Root; }
  IDataHintGridEh* Grid() override { return GridIntf; }
  Integer DataRowNum() override { return Row; }
};

// Needs a fixed size, reads the ID of the record it is drawn for, and may
// raise.
class TRowProbe : public TLaControlEh {
  RTL_CLASS(TRowProbe, TLaControlEh)
public:
  explicit TRowProbe(TComponent* AOwner) : TLaControlEh(AOwner) {}
  TDataSet* Data = nullptr;
  std::vector<int> Seen;
  bool Fail = false;
  TSize DoQueryLayoutClientArea(TSize, TCanvas*) override {
    if (Fail) throw Exception(QStringLiteral("measure failed"));
    Seen.push_back(CurrentId(*Data));
    return {120, 40};
  }
  void DrawClientForeground(TRect, TCanvas*) override {
    Seen.push_back(CurrentId(*Data));
    if (Fail) throw Exception(QStringLiteral("paint failed"));
  }
};

struct LaHintWindowTest : ::testing::Test {
  TFakeGrid Grid;
  TParams Params;
  TComponent Owner{nullptr};
  TRowProbe* Probe = nullptr;
  TLaHintWindowEh* Window = nullptr;

  void SetUp() override {
    InitializeForms();
    Probe = new TRowProbe(&Owner);
    Probe->Data = &Grid.DataSet;
    Params.Root = Probe;
    Params.GridIntf = &Grid;
    Window = new TLaHintWindowEh(nullptr);
  }
  void TearDown() override {
    Window->Free();
    FinalizeForms();
    test::ResetUi();
  }
};

TEST_F(LaHintWindowTest, OtherDataGivesAPlainTextHint) {
  TObject NotParams;
  const TRect R = Window->CalcHintRect(300, "Plain", &NotParams);
  EXPECT_FALSE(Window->LaHost()->Visible());
  EXPECT_EQ(Window->LaHost()->LaObject(), nullptr);
  EXPECT_EQ(R, Window->CalcHintRect(300, "Plain", nullptr));
  Params.Root = nullptr;
  Window->CalcHintRect(300, "Plain", &Params);
  EXPECT_FALSE(Window->LaHost()->Visible());
}

TEST_F(LaHintWindowTest, TreeIsMeasuredForTheHintedRow) {
  Grid.DataSet.MoveBy(2);
  const TRect R = Window->CalcHintRect(300, "", &Params);
  EXPECT_EQ(R, TRect(0, 0, 122, 40));
  EXPECT_TRUE(Window->LaHost()->Visible());
  EXPECT_EQ(Window->LaHost()->DataRowNum, 5);
  EXPECT_EQ(Window->LaHost()->DataSource(), &Grid.Source);
  EXPECT_EQ(Probe->Seen, std::vector<int>({6}));  // row 5 of the link's window
  EXPECT_EQ(CurrentId(Grid.DataSet), 3);
  EXPECT_EQ(Grid.Log, std::vector<String>({"enter(5)", "leave"}));
}

TEST_F(LaHintWindowTest, MeasuringThatRaisesStillLeavesTheRow) {
  Probe->Fail = true;
  EXPECT_THROW(Window->CalcHintRect(300, "", &Params), Exception);
  EXPECT_EQ(Grid.Log, std::vector<String>({"enter(5)", "leave"}));
  EXPECT_TRUE(Grid.Saved.empty());
}

TEST_F(LaHintWindowTest, PaintingReadsTheHintedRowWithoutMovingTheGrid) {
  const TRect R = Window->CalcHintRect(300, "", &Params);
  Probe->Seen.clear();
  Grid.Log.clear();
  Window->ActivateHintData(TRect(50, 50, 50 + R.Width(), 50 + R.Height()), "", &Params);
  Window->Update();
  ASSERT_FALSE(Probe->Seen.empty());
  EXPECT_EQ(Probe->Seen.back(), 6);
  EXPECT_EQ(CurrentId(Grid.DataSet), 1);
  EXPECT_EQ(Grid.Log.front(), "enter(5)");
  EXPECT_EQ(Grid.Log.back(), "leave");
}

// Style services that are off but would draw if asked.
class TDisabledStyle : public TCustomStyleServices {
public:
  int Draws = 0;
  bool DrawElement(gdi::HDC, const TThemedElementDetails&, const TRect&, const TRect*) override {
    ++Draws;
    return true;
  }
};

TEST_F(LaHintWindowTest, NoBackgroundWithStyleServicesOff) {
  TDisabledStyle Style;
  TCustomStyleServices* Old = SetStyleServices(&Style);
  const TRect R = Window->CalcHintRect(300, "", &Params);
  Window->ActivateHintData(TRect(50, 50, 50 + R.Width(), 50 + R.Height()), "", &Params);
  Window->Update();
  SetStyleServices(Old);
  EXPECT_EQ(Style.Draws, 0);
  EXPECT_FALSE(Probe->Seen.empty());  // the tree itself was drawn
}

TEST_F(LaHintWindowTest, ThemedBackgroundOnlyWithStyleServices) {
  TRecordingStyleServices Style;
  TCustomStyleServices* Old = SetStyleServices(&Style);
  const TRect R = Window->CalcHintRect(300, "", &Params);
  Window->ActivateHintData(TRect(50, 50, 50 + R.Width(), 50 + R.Height()), "", &Params);
  Window->Update();
  SetStyleServices(Old);
  ASSERT_FALSE(Style.Calls.isEmpty());
  EXPECT_TRUE(Style.Calls.join(" ").contains("DrawElement")) << Style.Calls.join(" ").toStdString();
}

}  // namespace

namespace {

TEST_F(LaHintWindowTest, PaintingThatRaisesStillLeavesTheRow) {
  const TRect R = Window->CalcHintRect(300, "", &Params);
  Probe->Fail = true;
  Grid.Log.clear();
  try {
    Window->ActivateHintData(TRect(50, 50, 50 + R.Width(), 50 + R.Height()), "", &Params);
    Window->Update();
  } catch (const Exception&) {
    // the paint's error may reach the caller or the application's handler
  }
  ASSERT_FALSE(Grid.Log.empty());
  EXPECT_EQ(Grid.Log.back(), "leave");
  EXPECT_TRUE(Grid.Saved.empty());
  EXPECT_EQ(CurrentId(Grid.DataSet), 1);
}

}  // namespace
