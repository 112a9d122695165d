// A connection layer for the SQL data driver suites, over the platform's
// SQLite access: commands that carry parameters, a connection provider that
// runs them on a TFDConnection, and a driver that uses both.
//
// Parameters are the statement's ":name" markers: ":NAME" takes the record's
// value of NAME in the version asked, ":OLD_NAME" (when the record has no
// field OLD_NAME) its oldest value of NAME.  Values are always bound, never
// written into the text.
#pragma once

#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/sqldatadriver.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdparams.h"
#include "platform/fd/fdquery.h"
#include "platform/fd/fdsqlite.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "tests/support/testing.h"

#include <map>
#include <vector>

namespace sqldrivertest {

class TTestSQLCommand : public TCustomSQLCommandEh {
public:
  using TCustomSQLCommandEh::TCustomSQLCommandEh;

  void RefreshParams(TMemoryRecordEh* MemRecord, TDataValueVersionEh DataValueVersion) override {
    Values.clear();
    TMTDataStructEh* Struct = MemRecord->DataStruct();
    for (const String& Name : FDParamNames(FinalCommandText()->Text())) {
      String FieldName = Name;
      TDataValueVersionEh Version = DataValueVersion;
      if (!Struct->FindField(Name) && Name.startsWith(QStringLiteral("OLD_"), Qt::CaseInsensitive)) {
        FieldName = Name.mid(4);
        Version = dvvOldestValue;
      }
      if (TMTDataFieldEh* Field = Struct->FindField(FieldName))
        Values[Name.toUpper()] = MemRecord->GetDataValue(Field->Index(), Version);
    }
  }
  void SetParams(TParams*) override { Values.clear(); }

  // Upper-cased parameter name -> value.
  std::map<String, Variant> Values;
};

// One statement as the provider ran it.
struct TRanStatement {
  String Text;
  std::map<String, Variant> Values;
};

class TSQLiteConnectionProvider : public IConnectionProviderEh {
public:
  explicit TSQLiteConnectionProvider(TFDConnection* AConnection) : Connection(AConnection) {}

  Integer ExecuteCommand(TCustomSQLDataDriverEh*, TCustomSQLCommandEh* Command, TDataSet*& Cursor,
                         bool& FreeOnEof, bool& Processed) override {
    Processed = true;
    // Lines joined by "\n" so that suites can compare whole statements.
    String Text = Command->FinalCommandText()->Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed();
    auto* TestCommand = dynamic_cast<TTestSQLCommand*>(Command);
    Ran.push_back({Text, TestCommand ? TestCommand->Values : std::map<String, Variant>{}});
    if (auto Canned = CannedAnswers.find(Text); Canned != CannedAnswers.end()) Text = Canned->second;

    auto* Query = new TFDQuery(nullptr);
    TScopeExit FreeQuery([Query] { Query->Free(); });
    Query->SetConnection(Connection);
    Query->SQL()->SetText(Text);
    for (int I = 0; I < Query->Params()->Count(); ++I) {
      TFDParam* Param = Query->Params()->Items(I);
      if (!TestCommand) continue;
      if (auto Value = TestCommand->Values.find(Param->Name().toUpper()); Value != TestCommand->Values.end())
        Param->SetValue(Value->second);
    }
    if (Command->CommandType() == cthSelectQuery) {
      Query->Open();
      FreeQuery.Release();
      Cursor = Query;
      FreeOnEof = true;
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
  void GetTableFieldList(const String& TableName, TStrings* FieldList) override {
    auto* Query = new TFDQuery(nullptr);
    Query->SetConnection(Connection);
    Query->SQL()->SetText(QStringLiteral("SELECT name FROM pragma_table_info(:T) ORDER BY cid"));
    Query->ParamByName(QStringLiteral("T"))->SetValue(TableName);
    Query->Open();
    for (; !Query->Eof(); Query->Next()) FieldList->Add(Query->Fields()->Fields(0)->Value().AsString());
    Query->Free();
  }

  std::vector<String> Texts() const {
    std::vector<String> Result;
    for (const TRanStatement& S : Ran) Result.push_back(S.Text);
    return Result;
  }

  TFDConnection* Connection;
  std::vector<TRanStatement> Ran;
  // Statement text -> the SQLite statement that stands in for it.
  std::map<String, String> CannedAnswers;
};

class TTestSQLDataDriver : public TCustomSQLDataDriverEh {
public:
  explicit TTestSQLDataDriver(TComponent* AOwner) : TCustomSQLDataDriverEh(AOwner) {}

  TCustomSQLCommandEh* CreateCommand() override { return new TTestSQLCommand(this); }
  IConnectionProviderEh* GetConnectionProvider() override { return Provider; }

  TTestSQLCommand* Command(TCustomSQLCommandEh* C) { return static_cast<TTestSQLCommand*>(C); }

  IConnectionProviderEh* Provider = nullptr;
};

// Sets a command's text from one string (lines split at line breaks).
inline void SetSQL(TCustomSQLCommandEh* Command, const String& Text) { Command->CommandText()->SetText(Text); }

inline std::vector<String> Lines(TStrings* Strings) {
  std::vector<String> Result;
  for (Integer I = 0; I < Strings->Count(); ++I) Result.push_back(Strings->Strings(I));
  return Result;
}

}  // namespace sqldrivertest
