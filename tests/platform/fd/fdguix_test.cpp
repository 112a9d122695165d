#include "platform/fd/fdguix.h"

#include "platform/fd/fdconsts.h"
#include "tests/platform/fd/fdfixture.h"

using namespace fdtest;

namespace {

struct TRecordingHook : IFDGUIxWaitCursorHook {
  int Started = 0;
  int Stopped = 0;
  int Depth() const { return Started - Stopped; }
  void StartWait() override { ++Started; }
  void StopWait() override { ++Stopped; }
};

// Installs a recording hook for one test and restores the previous one.
struct TWaitCursorTest : ::testing::Test {
  TRecordingHook Hook;
  IFDGUIxWaitCursorHook* Previous = nullptr;

  void SetUp() override { Previous = FDGUIxSetWaitCursorHook(&Hook); }
  void TearDown() override { FDGUIxSetWaitCursorHook(Previous); }
};

}  // namespace

TEST_F(TWaitCursorTest, SilentWithoutAWaitCursorComponent) {
  { TFDWaitScope Wait; }
  EXPECT_EQ(Hook.Started, 0);
}

TEST_F(TWaitCursorTest, NestedScopesWaitOnce) {
  TFDGUIxWaitCursor Cursor(nullptr);
  EXPECT_EQ(Cursor.Provider(), QStringLiteral("Forms"));
  {
    TFDWaitScope Outer;
    EXPECT_EQ(Hook.Depth(), 1);
    {
      TFDWaitScope Inner;
      EXPECT_EQ(Hook.Started, 1);
    }
    EXPECT_EQ(Hook.Depth(), 1);
  }
  EXPECT_EQ(Hook.Started, 1);
  EXPECT_EQ(Hook.Stopped, 1);
}

TEST_F(TWaitCursorTest, TheHookThatStartedIsTheOneThatStops) {
  auto* Cursor = new TFDGUIxWaitCursor(nullptr);
  TRecordingHook Other;
  {
    TFDWaitScope Wait;
    FDGUIxSetWaitCursorHook(&Other);
    Cursor->Free();
  }
  EXPECT_EQ(Hook.Depth(), 0);
  EXPECT_EQ(Other.Started + Other.Stopped, 0);
}

TEST_F(TWaitCursorTest, LayerWorkWaitsAndStaysBalancedAfterErrors) {
  TFDGUIxWaitCursor Cursor(nullptr);
  TTempDatabase File;
  TFDConnection Connection(nullptr);
  SetParams(Connection, File.Path);
  Connection.Open();
  EXPECT_EQ(Hook.Started, 1);
  Connection.ExecSQL(QStringLiteral("CREATE TABLE t (v)"));
  Connection.StartTransaction();
  Connection.ExecSQL(QStringLiteral("INSERT INTO t VALUES (1)"));
  Connection.Commit();
  EXPECT_EQ(Hook.Started, 4);
  EXPECT_RAISES(Connection.ExecSQL(QStringLiteral("INSERT INTO nowhere VALUES (1)")), EFDDBEngineException,
                "no such table: nowhere");

  auto* Query = new TFDQuery(&Connection);
  Query->SetConnection(&Connection);
  Query->SQL()->SetText(QStringLiteral("SELECT v FROM t"));
  Query->Open();
  Query->Refresh();
  Query->SQL()->SetText(QStringLiteral("SELECT v FROM nowhere"));
  EXPECT_RAISES(Query->Open(), EFDDBEngineException, "no such table: nowhere");
  EXPECT_EQ(Hook.Started, 8);
  EXPECT_EQ(Hook.Depth(), 0);
}
