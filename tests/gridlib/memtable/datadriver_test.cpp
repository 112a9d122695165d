// The data driver over a real query on an SQLite file: reading in portions,
// the table reading on demand, refreshing, and cached changes resolved back
// to the provider with every update-error action.
#include "gridlib/memtable/datadriver.h"

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/memtableunit.h"
#include "gridlib/memtable/recordslist.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/params.h"
#include "platform/rtl/scopeexit.h"
#include "tests/platform/fd/fdfixture.h"

#include <algorithm>
#include <functional>
#include <map>
#include <random>

namespace {

using fdtest::TCatalogFixture;
using fdtest::TRawConnection;

// Rows 1..Count of bibliona, author "A<n>", subgroup n % 3.
std::string biblionaRows(int Count) {
  std::string Sql;
  for (int N = 1; N <= Count; ++N)
    Sql += "INSERT INTO bibliona (number, sbgr4_nmb, author) VALUES (" + std::to_string(N) + ", " +
           std::to_string(N % 3) + ", 'A" + std::to_string(N) + "');\n";
  return Sql;
}

class DataDriverTest : public ::testing::Test {
protected:
  explicit DataDriverTest(int Rows = 13) : Db(biblionaRows(Rows).c_str()), Raw(Db.File.Path) {
    Query = Db.Query("SELECT number, sbgr4_nmb, author FROM bibliona ORDER BY number", /*Open=*/false);
    Driver = new TDataDriverEh(nullptr);
    Driver->SetProviderDataSet(Query);
    Table = new TMemTableEh(nullptr);
  }
  ~DataDriverTest() override {
    Table->Free();
    Driver->Free();
  }

  // The table over the driver, open.
  void OpenTable(bool FetchAll = false, bool Cached = true) {
    Table->SetFetchAllOnOpen(FetchAll);
    Table->SetDataDriver(Driver);
    Table->Open();
    Table->SetCachedUpdates(Cached);
  }
  Integer LoadedRecords() { return Table->MemTableData()->RecordsList()->Count(); }
  String Author(Integer Number) {
    const std::vector<String> R =
        Raw.Rows(QStringLiteral("SELECT author FROM bibliona WHERE number = %1").arg(Number).toUtf8().constData());
    return R.empty() ? QStringLiteral("<none>") : R.front();
  }
  void EditAuthor(Integer Number, const char* Author) {
    ASSERT_TRUE(Table->Locate(QStringLiteral("number"), Number, {}));
    Table->Edit();
    Table->FieldByName(QStringLiteral("author"))->SetValue(String::fromUtf8(Author));
    Table->Post();
  }

  TCatalogFixture Db;
  TRawConnection Raw;
  TFDQuery* Query;
  TDataDriverEh* Driver;
  TMemTableEh* Table;
};

// ---------------------------------------------------------------------------
// the driver alone

TEST_F(DataDriverTest, ReadDataReadsInPortionsUntilTheProviderEnds) {
  auto* Data = new TMemTableDataEh(nullptr);
  const TScopeExit FreeData([Data] { Data->Free(); });
  TDataSet* Reader = Driver->GetDataReader();
  ASSERT_EQ(Reader, Query);
  Driver->BuildDataStruct(Data->DataStruct());
  EXPECT_EQ(Data->DataStruct()->Count(), 3);

  EXPECT_EQ(Driver->ReadData(Data, 10), 10);
  EXPECT_FALSE(Driver->ProviderEOF());
  // Another request before the end keeps the reader where it stands.
  EXPECT_EQ(Driver->GetDataReader(), Reader);
  EXPECT_EQ(Driver->ReadData(Data, 10), 3);
  EXPECT_TRUE(Driver->ProviderEOF());
  EXPECT_EQ(Driver->ReadData(Data, 10), 0);
  TRecordsListEh* Records = Data->RecordsList();
  ASSERT_EQ(Records->Count(), 13);
  EXPECT_EQ(Records->Rec(12)->GetDataValues(QStringLiteral("AUTHOR"), dvvValueEh).AsString(), QStringLiteral("A13"));
  EXPECT_FALSE(Records->HasCachedChanges());
}

TEST_F(DataDriverTest, AFailingReadHandlerLeavesNoHalfReadRecord) {
  auto* Data = new TMemTableDataEh(nullptr);
  const TScopeExit FreeData([Data] { Data->Free(); });
  Driver->GetDataReader();
  Driver->BuildDataStruct(Data->DataStruct());
  int Calls = 0;
  Driver->OnReadRecord = TDataDriverReadRecordEhEvent(
      [&](TDataDriverEh* D, TMemTableDataEh* MemTableData, TMemoryRecordEh* MemRec, bool& ProviderEOF) {
        if (++Calls == 3) {
          MemRec->SetDataValue(0, dvvValueEh, 99);
          throw EDatabaseError(QStringLiteral("read failed"));
        }
        D->DefaultReadRecord(MemTableData, MemRec, ProviderEOF);
      });
  EXPECT_THROW(Driver->ReadData(Data, 5), EDatabaseError);
  EXPECT_EQ(Data->RecordsList()->Count(), 2);
}

TEST_F(DataDriverTest, ConsumerClosedClosesTheProviderAndEndsReading) {
  Driver->GetDataReader();
  EXPECT_TRUE(Query->Active());
  Driver->ConsumerClosed(nullptr);
  EXPECT_FALSE(Query->Active());
  EXPECT_TRUE(Driver->ProviderEOF());
}

// ---------------------------------------------------------------------------
// a table over the driver

TEST_F(DataDriverTest, TheTableReadsRowsAsTheyAreNeeded) {
  OpenTable();
  EXPECT_LT(LoadedRecords(), 13);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("author"))->AsString(), QStringLiteral("A1"));
  // A far record is fetched by the search itself.
  ASSERT_TRUE(Table->Locate(QStringLiteral("author"), QStringLiteral("A9"), {}));
  EXPECT_EQ(Table->FieldByName(QStringLiteral("number"))->AsInteger(), 9);
  EXPECT_LT(LoadedRecords(), 13);
  Table->Last();
  EXPECT_EQ(LoadedRecords(), 13);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("number"))->AsInteger(), 13);
  EXPECT_TRUE(Driver->ProviderEOF());
}

TEST_F(DataDriverTest, FetchAllOnOpenReadsEverythingAtOnce) {
  OpenTable(/*FetchAll=*/true);
  EXPECT_EQ(LoadedRecords(), 13);
  EXPECT_EQ(Table->RecordCount(), 13);
}

TEST_F(DataDriverTest, FetchDriverRecordsCountsOnlyRowsTheViewShows) {
  OpenTable();
  Table->SetFilter(QStringLiteral("sbgr4_nmb = 1"));  // numbers 1, 4, 7, 10, 13
  Table->SetFiltered(true);
  const Integer RowsBefore = Table->RecordCount();
  const Integer Read = Table->FetchDriverRecords(2);
  EXPECT_EQ(Table->RecordCount(), RowsBefore + 2);
  EXPECT_GE(Read, 2);
  // Asking for more than is left stops at the provider's end.
  Table->FetchDriverRecords(10);
  EXPECT_TRUE(Driver->ProviderEOF());
  EXPECT_EQ(Table->RecordCount(), 5);
}

TEST_F(DataDriverTest, AppendingBeforeEverythingIsReadIsRefused) {
  OpenTable();
  try {
    Table->Append();
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, QStringLiteral("Attempt to append a record before all records have been read from DataDriver."));
  }
  EXPECT_EQ(Table->State(), dsBrowse);
  Table->Last();
  Table->Append();
  EXPECT_EQ(Table->State(), dsInsert);
  Table->Cancel();
}

TEST_F(DataDriverTest, RefreshReadsTheProviderAgain) {
  OpenTable(/*FetchAll=*/true);
  ASSERT_EQ(Raw.Exec("INSERT INTO bibliona (number, sbgr4_nmb, author) VALUES (14, 2, 'A14')"), 0);
  Table->Refresh();
  Table->Last();
  EXPECT_EQ(Table->RecordCount(), 14);
  EXPECT_EQ(Table->FieldByName(QStringLiteral("author"))->AsString(), QStringLiteral("A14"));
}

TEST_F(DataDriverTest, CloseTellsTheDriverAndReopeningReadsAgain) {
  OpenTable(/*FetchAll=*/true);
  Table->Close();
  EXPECT_FALSE(Query->Active());
  Table->Open();
  EXPECT_EQ(Table->RecordCount(), 13);
}

// ---------------------------------------------------------------------------
// refreshing one record

TEST_F(DataDriverTest, RefreshRecordNeedsKeyFieldsAndAKnownKey) {
  OpenTable(/*FetchAll=*/true);
  Table->Last();
  Query->Last();
  const TBookmark ProviderPlace = Query->GetBookmark();
  Table->First();
  try {
    Table->RefreshRecord();
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, QStringLiteral("It is required to set DataDriver.KeyFields to refresh record values"));
  }
  EXPECT_EQ(Query->CompareBookmarks(Query->GetBookmark(), ProviderPlace), 0);

  Driver->SetKeyFields(QStringLiteral("number"));
  ASSERT_EQ(Raw.Exec("UPDATE bibliona SET author = 'fresh' WHERE number = 1"), 0);
  ASSERT_EQ(Raw.Exec("DELETE FROM bibliona WHERE number = 2"), 0);
  Query->Refresh();
  Query->Last();
  Table->RefreshRecord();
  EXPECT_EQ(Table->FieldByName(QStringLiteral("author"))->AsString(), QStringLiteral("fresh"));
  EXPECT_FALSE(Table->HasCachedChanges());
  Table->Next();
  try {
    Table->RefreshRecord();
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, QStringLiteral("Key is not found in ProviderDataSet"));
  }
  EXPECT_EQ(Query->FieldByName(QStringLiteral("number"))->AsInteger(), 13);
}

// ---------------------------------------------------------------------------
// resolving cached changes

TEST_F(DataDriverTest, ApplyUpdatesWritesEditsInsertsAndDeletes) {
  OpenTable(/*FetchAll=*/true);
  EditAuthor(5, "Пушкин");
  ASSERT_TRUE(Table->Locate(QStringLiteral("number"), 7, {}));
  Table->Delete();
  Table->Append();
  Table->FieldByName(QStringLiteral("sbgr4_nmb"))->SetValue(2);
  Table->FieldByName(QStringLiteral("author"))->SetValue(QStringLiteral("new"));
  Table->Post();
  EXPECT_LT(Table->FieldByName(QStringLiteral("number"))->AsInteger(), 0);

  EXPECT_EQ(Table->ApplyUpdates(-1), 3);
  EXPECT_FALSE(Table->HasCachedChanges());
  EXPECT_EQ(Author(5), QStringLiteral("Пушкин"));
  EXPECT_EQ(Author(7), QStringLiteral("<none>"));
  // The inserted record trades its own counter value for the file's key.
  EXPECT_EQ(Table->FieldByName(QStringLiteral("number"))->AsInteger(), 14);
  EXPECT_EQ(Author(14), QStringLiteral("new"));
  EXPECT_EQ(Raw.Count("bibliona"), 13);
}

TEST_F(DataDriverTest, WithoutCachedUpdatesEachPostIsWrittenAtOnce) {
  OpenTable(/*FetchAll=*/true, /*Cached=*/false);
  EditAuthor(3, "direct");
  EXPECT_EQ(Author(3), QStringLiteral("direct"));
  EXPECT_FALSE(Table->HasCachedChanges());
}

// Edits of numbers 2, 5 and 8; the file refuses the author "bad".
class UpdateErrorTest : public DataDriverTest {
protected:
  void SetUp() override {
    ASSERT_EQ(Raw.Exec("CREATE TRIGGER refuse_bad BEFORE UPDATE ON bibliona WHEN NEW.author = 'bad' "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"),
              0);
    OpenTable(/*FetchAll=*/true);
    EditAuthor(2, "ok2");
    EditAuthor(5, "bad");
    EditAuthor(8, "ok8");
  }
  TMemoryRecordEh* RecordOf(Integer Number) {
    EXPECT_TRUE(Table->Locate(QStringLiteral("number"), Number, {}));
    return Table->Rec();
  }
  std::vector<String> Authors() { return {Author(2), Author(5), Author(8)}; }
};

TEST_F(UpdateErrorTest, EachActionDecidesTheFailingRecordsFate) {
  struct Case {
    const char* Name;
    TUpdateErrorActionEh Action;
    Integer Resolved;
    bool FailingStaysLogged;
    bool LaterWritten;
  } Cases[] = {
      {"skip keeps the change logged, the others go on", ueaCountinueSkip, 2, true, true},
      {"continue accepts the change locally, the others go on", ueaCountinueEh, 2, false, true},
      {"abort stops with the failing and later records logged", ueaBreakAbortEh, 1, true, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    int Calls = 0;
    Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent(
        [&](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh*, TUpdateErrorActionEh& Action) {
          ++Calls;
          Action = C.Action;
        });
    EXPECT_EQ(Table->ApplyUpdates(-1), C.Resolved);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Author(2), QStringLiteral("ok2"));
    EXPECT_EQ(Author(5), QStringLiteral("A5"));
    EXPECT_EQ(Author(8), C.LaterWritten ? QStringLiteral("ok8") : QStringLiteral("A8"));
    TMemoryRecordEh* Failing = RecordOf(5);
    EXPECT_EQ(Failing->UpdateStatus() == usModified, C.FailingStaysLogged);
    // Accepting a change forgets its error with it.
    if (C.FailingStaysLogged) {
      ASSERT_NE(Failing->UpdateError(), nullptr);
      EXPECT_TRUE(Failing->UpdateError()->GetException()->Message.contains(QStringLiteral("refused")));
    }
    EXPECT_EQ(RecordOf(8)->UpdateStatus() == usModified, !C.LaterWritten);
    // The next case starts from the same three edits.
    Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent();
    Table->CancelUpdates();
    ASSERT_EQ(Raw.Exec("UPDATE bibliona SET author = 'A' || number"), 0);
    Query->Refresh();
    Table->Refresh();
    EditAuthor(2, "ok2");
    EditAuthor(5, "bad");
    EditAuthor(8, "ok8");
  }
}

TEST_F(UpdateErrorTest, RetryUpdatesTheRecordAgain) {
  int Calls = 0;
  Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent(
      [&](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh* MemRec, TUpdateErrorActionEh& Action) {
        ++Calls;
        MemRec->SetDataValue(MemRec->DataStruct()->FieldIndex(QStringLiteral("author")), dvvValueEh,
                             QStringLiteral("fixed"));
        Action = ueaRetryEh;
      });
  EXPECT_EQ(Table->ApplyUpdates(-1), 3);
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(Authors(), (std::vector<String>{QStringLiteral("ok2"), QStringLiteral("fixed"), QStringLiteral("ok8")}));
  EXPECT_FALSE(Table->HasCachedChanges());
}

TEST_F(UpdateErrorTest, WithoutAHandlerTheFirstDatabaseErrorPropagates) {
  EXPECT_THROW(Table->ApplyUpdates(-1), EDatabaseError);
  EXPECT_EQ(Authors(), (std::vector<String>{QStringLiteral("ok2"), QStringLiteral("A5"), QStringLiteral("A8")}));
  EXPECT_EQ(RecordOf(2)->UpdateStatus(), usUnmodified);
  EXPECT_EQ(RecordOf(5)->UpdateStatus(), usModified);
  EXPECT_EQ(RecordOf(8)->UpdateStatus(), usModified);
  // The provider is not left half-way in an edit.
  EXPECT_EQ(Query->State(), dsBrowse);
}

TEST_F(UpdateErrorTest, ANonDatabaseExceptionPropagatesPastTheHandler) {
  int Calls = 0;
  Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent(
      [&](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh*, TUpdateErrorActionEh& Action) {
        ++Calls;
        Action = ueaCountinueSkip;
      });
  Driver->OnUpdateRecord = TDataDriverRecordEhEvent(
      [](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh*) { throw EConvertError(QStringLiteral("not a db error")); });
  EXPECT_THROW(Table->ApplyUpdates(-1), EConvertError);
  EXPECT_EQ(Calls, 0);
  EXPECT_TRUE(Table->HasCachedChanges());
}

// A modification whose row another user removed must not vanish as if it
// had been written: the error handler hears of it.
TEST_F(DataDriverTest, AModificationOfAVanishedRowIsAnUpdateError) {
  OpenTable(/*FetchAll=*/true);
  EditAuthor(4, "lost?");
  ASSERT_TRUE(Table->Locate(QStringLiteral("number"), 6, {}));
  Table->Delete();
  ASSERT_EQ(Raw.Exec("DELETE FROM bibliona WHERE number IN (4, 6)"), 0);
  Query->Refresh();
  std::vector<TUpdateStatus> Failed;
  Driver->OnUpdateError = TDataDriverUpdateErrorEhEvent(
      [&](TDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh* MemRec, TUpdateErrorActionEh& Action) {
        Failed.push_back(MemRec->UpdateStatus());
        Action = ueaCountinueSkip;
      });
  EXPECT_EQ(Table->ApplyUpdates(-1), 1);
  // The delete of a row already gone has nothing left to do.
  EXPECT_EQ(Failed, std::vector<TUpdateStatus>{usModified});
  ASSERT_TRUE(Table->Locate(QStringLiteral("number"), 4, {}));
  EXPECT_EQ(Table->UpdateError()->GetException()->Message, QStringLiteral("Record not found"));
}

// Random edits, inserts and deletes with cached updates: after ApplyUpdates
// the file holds exactly the model's rows and the change log is empty.
TEST_F(DataDriverTest, RandomChangesReachTheFileExactly) {
  OpenTable(/*FetchAll=*/true);
  std::map<Integer, String> Model;
  for (int N = 1; N <= 13; ++N) Model[N] = QStringLiteral("A%1").arg(N);
  std::mt19937 Random(20261211);
  std::vector<Integer> Inserted;  // table rows not yet in the model, by author
  for (int Step = 0; Step < 60; ++Step) {
    const int Op = int(Random() % 3);
    if (Op == 0 || Table->RecordCount() == 0) {
      Table->Last();
      Table->Append();
      Table->FieldByName(QStringLiteral("author"))->SetValue(QStringLiteral("N%1").arg(Step));
      Table->Post();
      continue;
    }
    Table->SetRecNo(int(Random() % Table->RecordCount()) + 1);
    if (Op == 1) {
      Table->Edit();
      Table->FieldByName(QStringLiteral("author"))->SetValue(QStringLiteral("E%1").arg(Step));
      Table->Post();
    } else {
      Table->Delete();
    }
  }
  Table->ApplyUpdates(-1);
  EXPECT_FALSE(Table->HasCachedChanges());
  std::vector<String> Expected;
  Table->First();
  while (!Table->Eof()) {
    Expected.push_back(QStringLiteral("%1|%2").arg(Table->FieldByName(QStringLiteral("number"))->AsInteger())
                           .arg(Table->FieldByName(QStringLiteral("author"))->AsString()));
    EXPECT_GT(Table->FieldByName(QStringLiteral("number"))->AsInteger(), 0);
    Table->Next();
  }
  std::sort(Expected.begin(), Expected.end());
  std::vector<String> Actual = Raw.Rows("SELECT number, author FROM bibliona");
  std::sort(Actual.begin(), Actual.end());
  EXPECT_EQ(Actual, Expected);
}

// ---------------------------------------------------------------------------
// reader parameters from a cursor

// A provider whose parameters are its own Params.
class TParamProvider : public TMemTableEh {
public:
  explicit TParamProvider(TComponent* AOwner) : TMemTableEh(AOwner) {}
  TParams* PSGetParams() override { return Params(); }
};

TEST(DataDriverParams, UnboundParametersFollowTheCursor) {
  auto* Provider = new TParamProvider(nullptr);
  auto* Master = new TMemTableEh(nullptr);
  auto* Driver = new TDataDriverEh(nullptr);
  const TScopeExit Free([&] {
    Driver->Free();
    Master->Free();
    Provider->Free();
  });
  Master->FieldDefs()->Add(QStringLiteral("sbgr4_nmb"), ftInteger);
  Master->FieldDefs()->Add(QStringLiteral("Name"), ftString, 10);
  Master->CreateDataSet();
  for (int N : {5, 6}) {
    Master->Append();
    Master->Fields()->Fields(0)->SetValue(N);
    Master->Post();
  }
  Master->First();
  TParam* Group = Provider->Params()->CreateParam(ftUnknown, QStringLiteral("SBGR4_NMB"), ptInput);
  TParam* Fixed = Provider->Params()->CreateParam(ftString, QStringLiteral("Name"), ptInput);
  Fixed->SetValue(QStringLiteral("kept"));
  Driver->SetProviderDataSet(Provider);

  EXPECT_TRUE(Driver->RefreshReaderParamsFromCursor(Master));
  Driver->SetReaderParamsFromCursor(Master);
  EXPECT_EQ(Group->Value().AsInteger(), 5);
  EXPECT_EQ(Group->DataType(), ftInteger);
  EXPECT_FALSE(Group->Bound());
  EXPECT_EQ(Fixed->Value().AsString(), QStringLiteral("kept"));
  // "kept" differs from the master's Null name, so the bound one counts too.
  Fixed->SetValue(Null());
  EXPECT_FALSE(Driver->RefreshReaderParamsFromCursor(Master));
  Master->Next();
  EXPECT_TRUE(Driver->RefreshReaderParamsFromCursor(Master));
  Driver->SetReaderParamsFromCursor(Master);
  EXPECT_EQ(Group->Value().AsInteger(), 6);

  Provider->Params()->CreateParam(ftInteger, QStringLiteral("missing"), ptInput);
  EXPECT_THROW(Driver->SetReaderParamsFromCursor(Master), EDatabaseError);
}

// ---------------------------------------------------------------------------
// the table's driver property

TEST_F(DataDriverTest, ADriverServesOneTableAtATime) {
  auto* Second = new TMemTableEh(nullptr);
  const TScopeExit FreeSecond([Second] { Second->Free(); });
  Table->SetDataDriver(Driver);
  Second->SetDataDriver(Driver);
  EXPECT_EQ(Table->DataDriver(), nullptr);
  EXPECT_EQ(Second->DataDriver(), Driver);
  EXPECT_EQ(Driver->GetDataDriverConsumer(), Second);
}

TEST_F(DataDriverTest, AFreedDriverLeavesTheTable) {
  Table->SetDataDriver(Driver);
  Driver->Free();
  EXPECT_EQ(Table->DataDriver(), nullptr);
  Driver = new TDataDriverEh(nullptr);
}

TEST_F(DataDriverTest, DriverExternalDataAndCircularProviderExcludeEachOther) {
  auto* Other = new TMemTableEh(nullptr);
  const TScopeExit FreeOther([Other] { Other->Free(); });
  struct Case {
    const char* Name;
    std::function<void()> Act;
    String Text;
  } Cases[] = {
      {"driver on a table showing external data",
       [&] {
         Other->SetExternalMemData(Table);
         const TScopeExit Undo([&] { Other->SetExternalMemData(nullptr); });
         Other->SetDataDriver(Driver);
       },
       QStringLiteral("Assigning to DataDriver is not allowed if ExternalMemData is assigned")},
      {"external data on a table with a driver",
       [&] {
         Other->SetDataDriver(Driver);
         const TScopeExit Undo([&] { Other->SetDataDriver(nullptr); });
         Other->SetExternalMemData(Table);
       },
       QStringLiteral("Assigning to ExternalMemData is not allowed if DataDriver is assigned")},
      {"the table as its own driver's provider",
       [&] {
         Other->SetDataDriver(Driver);
         const TScopeExit Undo([&] { Other->SetDataDriver(nullptr); });
         Driver->SetProviderDataSet(Other);
       },
       QStringLiteral("Circular of ProviderDataSet and TMemTableEh.DataDriver assigning is not allowed")},
      {"a driver reading from the table it is given to",
       [&] {
         auto* Own = new TDataDriverEh(nullptr);
         const TScopeExit FreeOwn([Own] { Own->Free(); });
         Own->SetProviderDataSet(Other);
         Other->SetDataDriver(Own);
       },
       QStringLiteral("Circular of ProviderDataSet and TMemTableEh.DataDriver assigning is not allowed")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    try {
      C.Act();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
      EXPECT_TRUE(E.Message.endsWith(C.Text)) << E.Message.toStdString();
    }
  }
  EXPECT_EQ(Driver->ProviderDataSet(), Query);
}

TEST_F(DataDriverTest, WithAPersistentStructureOnlyTheStructureIsStored) {
  OpenTable(/*FetchAll=*/true);
  Table->Close();
  Table->SetOptions(TMemTableOptionsEh{mtoPersistentStructEh});
  std::vector<TComponent*> Children;
  Table->GetChildren(TGetChildProc([&](TComponent* Child) { Children.push_back(Child); }), nullptr);
  ASSERT_FALSE(Children.empty());
  EXPECT_EQ(Children.back(), Table->MemTableData());
  EXPECT_TRUE(Table->MemTableData()->StoreStructInStream());
  EXPECT_FALSE(Table->MemTableData()->StoreRecordsInStream());
  // Opening keeps that structure and reads the records again.
  Table->Open();
  EXPECT_EQ(Table->FieldCount(), 3);
}

}  // namespace

namespace {

// A root that streams the components it owns, as a form does.
class TDriverStreamRoot : public TComponent {
public:
  explicit TDriverStreamRoot(TComponent* AOwner) : TComponent(AOwner) {}

protected:
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (Integer I = 0; I < ComponentCount(); ++I)
      if (Components(I)->Owner() == Root) Proc(Components(I));
  }
};

TEST(DataDriverStreaming, TheTableKeepsItsDriverAndMasterSettings) {
  InitializeGridLibMemTableEh();
  const TScopeExit Finalize([] { FinalizeGridLibMemTableEh(); });
  TDriverStreamRoot Root(nullptr);
  auto* Driver = new TDataDriverEh(&Root);
  Driver->SetName(QStringLiteral("Driver"));
  Driver->SetResolveToDataSet(false);
  auto* Table = new TMemTableEh(&Root);
  Table->SetName(QStringLiteral("Detail"));
  Table->SetDataDriver(Driver);
  Table->SetMasterFields(QStringLiteral("Id"));
  Table->SetDetailFields(QStringLiteral("MasterId"));
  Table->SetMasterDetailSide(mdsOnSelfAfterProviderEh);
  Table->Params()->CreateParam(ftInteger, QStringLiteral("sbgr4_nmb"), ptInput);
  TMemoryStream Stream;
  Stream.WriteComponent(&Root);

  TDriverStreamRoot Copy(nullptr);
  Stream.SetPosition(0);
  Stream.ReadComponent(&Copy);
  auto* ReadDriver = dynamic_cast<TDataDriverEh*>(Copy.FindComponent(QStringLiteral("Driver")));
  auto* ReadTable = dynamic_cast<TMemTableEh*>(Copy.FindComponent(QStringLiteral("Detail")));
  ASSERT_NE(ReadDriver, nullptr);
  ASSERT_NE(ReadTable, nullptr);
  EXPECT_FALSE(ReadDriver->ResolveToDataSet());
  EXPECT_EQ(ReadTable->DataDriver(), ReadDriver);
  EXPECT_EQ(ReadDriver->GetDataDriverConsumer(), ReadTable);
  EXPECT_EQ(ReadTable->MasterFields(), QStringLiteral("Id"));
  EXPECT_EQ(ReadTable->DetailFields(), QStringLiteral("MasterId"));
  EXPECT_EQ(ReadTable->MasterDetailSide(), mdsOnSelfAfterProviderEh);
  ASSERT_EQ(ReadTable->Params()->Count(), 1);
  EXPECT_EQ(ReadTable->Params()->Items(0)->Name(), QStringLiteral("sbgr4_nmb"));
  EXPECT_EQ(ReadTable->Params()->Items(0)->DataType(), ftInteger);
  EXPECT_EQ(ReadTable->Params()->Items(0)->ParamType(), ptInput);
}

}  // namespace
