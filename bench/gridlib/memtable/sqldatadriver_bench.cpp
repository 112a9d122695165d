// Applying 10,000 edited references of the shared 100,000-reference catalog as dynamic
// UPDATE statements through the SQL data driver and a plain connection
// provider (each distinct statement prepared once, values bound), in one
// transaction rolled back after; side by side with the query's own
// ApplyUpdates of the same edits.  Goal: the driver within 3x of the query.
// The edits themselves are untimed.
#include "bench/support/referencecatalog.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/memtabledata.h"
#include "gridlib/memtable/recordslist.h"
#include "gridlib/memtable/serverspecoperations.h"
#include "gridlib/memtable/sqldatadriver.h"
#include "platform/db/fields.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdparams.h"
#include "platform/fd/fdquery.h"
#include "platform/fd/fdsqlite.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/units.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

using refcatalog::ReferenceCount;
constexpr int EditCount = 10000;
constexpr int EditStride = ReferenceCount / EditCount;

refcatalog::TCatalogFile& catalogFile() {
  static const bool Started = [] {
    InitializeUnits({RtlUnit, GridLibSQLDataDriverUnitEh});
    return true;
  }();
  (void)Started;
  return refcatalog::catalogFile();
}

TFDConnection* openConnection() {
  auto* Connection = new TFDConnection(nullptr);
  Connection->Params()->Add(QStringLiteral("DriverID=SQLite"));
  Connection->Params()->Add(QStringLiteral("Database=") + catalogFile().Path());
  Connection->Open();
  return Connection;
}

// A command owning its parameters, as a connection layer's does: the ":name"
// markers of its text take the record's values (":OLD_name" the oldest value
// of name).
class TBenchCommand : public TCustomSQLCommandEh {
public:
  using TCustomSQLCommandEh::TCustomSQLCommandEh;
  ~TBenchCommand() override { FParams->Free(); }
  TParams* GetParams() override { return FParams; }
  void SetParams(TParams* AParams) override {
    if (AParams != FParams) FParams->Assign(AParams);
  }
  void RebuildParams() override { FParams->Update(FDParamNames(FinalCommandText()->Text())); }
  void RefreshParams(TMemoryRecordEh* MemRecord, TDataValueVersionEh Version) override {
    RebuildParams();
    for (Integer I = 0; I < FParams->Count(); ++I) {
      TFDParam* Param = FParams->Items(I);
      const bool Old = Param->Name().startsWith(QStringLiteral("OLD_"));
      TMTDataFieldEh* Field = MemRecord->DataStruct()->FindField(Old ? Param->Name().mid(4) : Param->Name());
      Param->SetValue(MemRecord->GetDataValue(Field->Index(), Old ? dvvOldestValue : Version));
    }
  }

private:
  TFDParams* FParams = new TFDParams;  // owned
};

// Runs each distinct statement through one prepared query of its own.
class TBenchProvider : public IConnectionProviderEh {
public:
  explicit TBenchProvider(TFDConnection* AConnection) : FConnection(AConnection) {}
  ~TBenchProvider() override {
    for (auto& [Text, Query] : FQueries) Query->Free();
  }

  Integer ExecuteCommand(TCustomSQLDataDriverEh*, TCustomSQLCommandEh* Command, TDataSet*& Cursor, bool& FreeOnEof,
                         bool& Processed) override {
    Processed = true;
    TFDQuery* Query = query(Command->FinalCommandText()->Text());
    TParams* Params = Command->GetParams();
    for (Integer I = 0; I < Params->Count(); ++I)
      Query->ParamByName(Params->Items(I)->Name())->SetValue(Params->Items(I)->Value());
    if (Command->CommandType() == cthSelectQuery) {
      Query->Open();
      Cursor = Query;
      FreeOnEof = false;
      return -1;
    }
    Query->ExecSQL();
    return Query->RowsAffected();
  }
  void UpdateRecord(TCustomSQLDataDriverEh*, TMemTableDataEh*, TMemoryRecordEh*, bool& Processed) override {
    Processed = false;
  }
  void GetBackUpdatedValues(TCustomSQLDataDriverEh*, TMemoryRecordEh*, TCustomSQLCommandEh*, TDataSet*,
                            bool& Processed) override {
    Processed = false;
  }
  void AddPostponedActivationDataSet(TDataSet*) override {}
  bool ConnectionIsPostponed() override { return false; }
  TComponent* GetDesignDataBase() override { return nullptr; }
  void GetTableFieldList(const String&, TStrings*) override {}

private:
  TFDQuery* query(const String& Text) {
    TFDQuery*& Query = FQueries[Text];
    if (!Query) {
      Query = new TFDQuery(nullptr);
      Query->SetConnection(FConnection);
      Query->SQL()->SetText(Text);
    }
    return Query;
  }

  TFDConnection* FConnection;
  std::map<String, TFDQuery*> FQueries;
};

class TBenchDriver : public TCustomSQLDataDriverEh {
public:
  explicit TBenchDriver(TComponent* AOwner) : TCustomSQLDataDriverEh(AOwner) {}
  TCustomSQLCommandEh* CreateCommand() override { return new TBenchCommand(this); }
  IConnectionProviderEh* GetConnectionProvider() override { return Provider; }
  IConnectionProviderEh* Provider = nullptr;
};

void BM_DriverAppliesTenThousandDynamicUpdates(benchmark::State& State) {
  TFDConnection* Connection = openConnection();
  auto Provider = std::make_unique<TBenchProvider>(Connection);
  auto* Driver = new TBenchDriver(nullptr);
  Driver->Provider = Provider.get();
  Driver->SelectSQL()->SetText(QStringLiteral("select * from bibliona"));
  Driver->DynaSQLParams()->SetUpdateTable(QStringLiteral("bibliona"));
  Driver->DynaSQLParams()->SetKeyFields(QStringLiteral("number"));
  Driver->DynaSQLParams()->SetUpdateFields(QStringLiteral("source,data_make"));
  Driver->DynaSQLParams()->SetOptions({dsoDynamicSQLUpdateEh});
  auto* Data = new TMemTableDataEh(nullptr);
  Driver->BuildDataStruct(Data->DataStruct());
  Driver->GetDataReader();
  Driver->ReadData(Data, -1);
  TRecordsListEh* List = Data->RecordsList();
  List->SetCachedUpdates(true);
  const Integer Source = Data->DataStruct()->FieldByName(QStringLiteral("source"))->Index();
  for (auto _ : State) {
    State.PauseTiming();
    for (Integer I = 0; I < List->Count(); I += EditStride) {
      TMemoryRecordEh* Rec = List->GetRec(I);
      Rec->Edit();
      Rec->SetDataValue(Source, dvvValueEh, QStringLiteral("edited %1").arg(State.iterations()));
      Rec->Post();
    }
    Connection->StartTransaction();
    State.ResumeTiming();
    const Integer Applied = Driver->ApplyUpdates(Data);
    State.PauseTiming();
    Connection->Rollback();
    if (Applied != EditCount) State.SkipWithError("not every edit was applied");
    State.ResumeTiming();
  }
  State.counters["rows"] = EditCount;
  Data->Free();
  Driver->Free();
  Provider.reset();
  Connection->Free();
}
BENCHMARK(BM_DriverAppliesTenThousandDynamicUpdates)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QueryAppliesTheSameEdits(benchmark::State& State) {
  TFDConnection* Connection = openConnection();
  auto* Query = new TFDQuery(nullptr);
  Query->SetConnection(Connection);
  Query->SQL()->SetText(QStringLiteral("select * from bibliona"));
  Query->SetCachedUpdates(true);
  Query->Open();
  for (auto _ : State) {
    State.PauseTiming();
    Query->First();
    for (int I = 0; !Query->Eof(); ++I, Query->Next()) {
      if (I % EditStride != 0) continue;
      Query->Edit();
      Query->FieldByName(QStringLiteral("source"))->SetValue(QStringLiteral("edited %1").arg(State.iterations()));
      Query->Post();
    }
    Connection->StartTransaction();
    State.ResumeTiming();
    Query->ApplyUpdates();
    State.PauseTiming();
    Connection->Rollback();
    Query->CommitUpdates();
    State.ResumeTiming();
  }
  State.counters["rows"] = EditCount;
  Query->Free();
  Connection->Free();
}
BENCHMARK(BM_QueryAppliesTheSameEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
