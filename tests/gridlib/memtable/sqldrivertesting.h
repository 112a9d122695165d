// A connection layer for the SQL data driver suites, over the platform's
// SQLite access: commands that own their parameters, a connection provider
// that runs them on a TFDConnection, and a driver that uses both.
//
// A command's parameters are the ":name" markers of its final text, made by
// RebuildParams (and streamed with the command).  RefreshParams fills them
// from a record: ":NAME" takes the record's value of NAME in the version
// asked, ":OLD_NAME" (when the record has no field OLD_NAME) its oldest value
// of NAME.  The provider binds the command's parameters to the statement by
// name; values are never written into the text.
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
  RTL_CLASS(TTestSQLCommand, TCustomSQLCommandEh)
public:
  explicit TTestSQLCommand(TCustomSQLDataDriverEh* ADataDriver) : TCustomSQLCommandEh(ADataDriver) {}
  ~TTestSQLCommand() override { FParams->Free(); }
  static void DescribeProperties(TPropertyTable& Props) {
    Props.Add("Params", &TTestSQLCommand::GetParams, &TTestSQLCommand::SetParams);
  }

  TParams* GetParams() override { return FParams; }
  // As the platform assigns: a nil list raises.
  void SetParams(TParams* AParams) override {
    if (AParams != FParams) FParams->Assign(AParams);
  }
  // Parameters that stay keep their values.
  void RebuildParams() override { FParams->Update(FDParamNames(FinalCommandText()->Text())); }
  void RefreshParams(TMemoryRecordEh* MemRecord, TDataValueVersionEh DataValueVersion) override {
    RebuildParams();
    TMTDataStructEh* Struct = MemRecord->DataStruct();
    for (Integer I = 0; I < FParams->Count(); ++I) {
      TParam* Param = FParams->Items(I);
      TMTDataFieldEh* Field = Struct->FindField(Param->Name());
      TDataValueVersionEh Version = DataValueVersion;
      if (!Field && Param->Name().startsWith(QStringLiteral("OLD_"), Qt::CaseInsensitive)) {
        Field = Struct->FindField(Param->Name().mid(4));
        Version = dvvOldestValue;
      }
      if (Field) Param->SetValue(MemRecord->GetDataValue(Field->Index(), Version));
    }
  }

private:
  TFDParams* FParams = new TFDParams;  // owned
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
    TParams* Params = Command->GetParams();
    Ran.push_back({Text, valuesOf(Params)});
    if (auto Canned = CannedAnswers.find(Text); Canned != CannedAnswers.end()) Text = Canned->second;

    auto* Query = new TFDQuery(nullptr);
    TScopeExit FreeQuery([Query] { Query->Free(); });
    Query->SetConnection(Connection);
    Query->SQL()->SetText(Text);
    for (int I = 0; I < Query->Params()->Count(); ++I) {
      TFDParam* Param = Query->Params()->Items(I);
      if (TParam* Given = Params ? Params->FindParam(Param->Name()) : nullptr) Param->SetValue(Given->Value());
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

  // Upper-cased parameter name -> value.
  static std::map<String, Variant> valuesOf(TParams* Params) {
    std::map<String, Variant> Values;
    for (Integer I = 0; Params && I < Params->Count(); ++I)
      Values[Params->Items(I)->Name().toUpper()] = Params->Items(I)->Value();
    return Values;
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
  RTL_CLASS(TTestSQLDataDriver, TCustomSQLDataDriverEh)
public:
  explicit TTestSQLDataDriver(TComponent* AOwner) : TCustomSQLDataDriverEh(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props) {
    using T = TCustomSQLDataDriverEh;
    Props.Add("SelectCommand", &T::SelectCommand, &T::SetSelectCommand);
    Props.Add("InsertCommand", &T::InsertCommand, &T::SetInsertCommand);
    Props.Add("UpdateCommand", &T::UpdateCommand, &T::SetUpdateCommand);
    Props.Add("DeleteCommand", &T::DeleteCommand, &T::SetDeleteCommand);
    Props.Add("GetrecCommand", &T::GetrecCommand, &T::SetGetrecCommand);
  }

  TCustomSQLCommandEh* CreateCommand() override { return new TTestSQLCommand(this); }
  IConnectionProviderEh* GetConnectionProvider() override { return Provider; }

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
