// Editing sequences: the order of events, link notifications and protocol
// calls of Edit, Post, Cancel, Insert, Append and Delete, their special
// cases, and the error guards around InternalEdit/Post/Delete.
#include "tests/platform/db/datasetfixture.h"

#include <functional>

namespace {

using dbtest::Seq;
using dbtest::TDataSetFixture;

// Records the bookmark flag of the new buffer while InternalInsert runs.
class TInsertProbe : public TRowListDataSet {
public:
  using TRowListDataSet::TRowListDataSet;
  TBookmarkFlag FlagInInternalInsert = bfCurrent;

protected:
  void InternalInsert() override {
    FlagInInternalInsert = GetBookmarkFlag(ActiveBuffer());
    TRowListDataSet::InternalInsert();
  }
};

struct TEditFixture : TDataSetFixture {
  TEditFixture() { DataSet.Open(); }
  TField* Name() { return DataSet.FieldByName("Name"); }
  std::vector<int> Ids() {
    std::vector<int> Result;
    for (int I = 0; I < DataSet.RowCount(); ++I) Result.push_back(DataSet.Row(I)[0].AsInteger());
    return Result;
  }
};

TEST(DataSetEditTest, Sequences) {
  struct Case {
    const char* Name;
    std::function<void(TEditFixture&)> Setup;
    std::function<void(TEditFixture&)> Action;
    std::vector<String> Log;
    TDataSetState State;
  };
  const auto None = [](TEditFixture&) {};
  const auto EditName = [](TEditFixture& F) {
    F.DataSet.Edit();
    F.Name()->SetAsString("Changed");
  };
  const Case Cases[] = {
      {"edit", None, [](TEditFixture& F) { F.DataSet.Edit(); },
       Seq("link:CheckBrowseMode|BeforeEdit|InternalSetToRecord|InternalEdit|link:EditingChanged|"
           "link:RecordChanged|AfterEdit"),
       dsEdit},
      {"edit while editing does nothing", [](TEditFixture& F) { F.DataSet.Edit(); },
       [](TEditFixture& F) { F.DataSet.Edit(); }, Seq(""), dsEdit},
      {"a field change tells the links", [](TEditFixture& F) { F.DataSet.Edit(); },
       [](TEditFixture& F) { F.Name()->SetAsString("Changed"); }, Seq("link:RecordChanged(Name)"), dsEdit},
      {"post", EditName, [](TEditFixture& F) { F.DataSet.Post(); },
       Seq("link:UpdateData|link:CheckBrowseMode|BeforePost|InternalPost|link:EditingChanged|"
           "GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|AfterPost"),
       dsBrowse},
      {"post while browsing does nothing", None, [](TEditFixture& F) { F.DataSet.Post(); }, Seq(""), dsBrowse},
      {"cancel", EditName, [](TEditFixture& F) { F.DataSet.Cancel(); },
       Seq("link:CheckBrowseMode|BeforeCancel|InternalCancel|link:EditingChanged|GetRecord(gmCurrent)|"
           "GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|AfterCancel"),
       dsBrowse},
      {"insert opens a buffer at the active row", [](TEditFixture& F) { F.DataSet.Next(); },
       [](TEditFixture& F) { F.DataSet.Insert(); },
       Seq("link:CheckBrowseMode|BeforeInsert|BeforeScroll|InternalInitRecord|InternalInsert|"
           "link:EditingChanged|OnNewRecord|link:DataSetChanged|AfterInsert|AfterScroll"),
       dsInsert},
      {"cancelling an insert scrolls back", [](TEditFixture& F) { F.DataSet.Insert(); },
       [](TEditFixture& F) { F.DataSet.Cancel(); },
       Seq("link:CheckBrowseMode|BeforeCancel|BeforeScroll|InternalSetToRecord|InternalCancel|"
           "link:EditingChanged|GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|"
           "AfterCancel|AfterScroll"),
       dsBrowse},
      {"append reads the last records above the new one", None, [](TEditFixture& F) { F.DataSet.Append(); },
       Seq("link:CheckBrowseMode|BeforeInsert|BeforeScroll|InternalInitRecord|InternalLast|GetRecord(gmPrior)|"
           "GetRecord(gmPrior)|InternalInsert|link:EditingChanged|OnNewRecord|link:DataSetChanged|AfterInsert|"
           "AfterScroll"),
       dsInsert},
      {"delete", None, [](TEditFixture& F) { F.DataSet.Delete(); },
       Seq("link:CheckBrowseMode|BeforeDelete|BeforeScroll|InternalSetToRecord|InternalDelete|"
           "GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|AfterDelete|AfterScroll"),
       dsBrowse},
      {"delete while inserting cancels", [](TEditFixture& F) { F.DataSet.Insert(); },
       [](TEditFixture& F) { F.DataSet.Delete(); },
       Seq("link:CheckBrowseMode|BeforeCancel|BeforeScroll|InternalSetToRecord|InternalCancel|"
           "link:EditingChanged|GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|"
           "AfterCancel|AfterScroll"),
       dsBrowse},
      {"refresh", None, [](TEditFixture& F) { F.DataSet.Refresh(); },
       Seq("link:CheckBrowseMode|BeforeRefresh|InternalSetToRecord|InternalRefresh|GetRecord(gmCurrent)|"
           "GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|AfterRefresh"),
       dsBrowse},
      {"moving posts a modified record", EditName, [](TEditFixture& F) { F.DataSet.Next(); },
       Seq("link:CheckBrowseMode|link:UpdateData|link:UpdateData|link:CheckBrowseMode|BeforePost|InternalPost|"
           "link:EditingChanged|GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|"
           "AfterPost|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"),
       dsBrowse},
      {"moving cancels an unmodified edit", [](TEditFixture& F) { F.DataSet.Edit(); },
       [](TEditFixture& F) { F.DataSet.Next(); },
       Seq("link:CheckBrowseMode|link:UpdateData|link:CheckBrowseMode|BeforeCancel|InternalCancel|"
           "link:EditingChanged|GetRecord(gmCurrent)|GetRecord(gmNext)|GetRecord(gmNext)|link:DataSetChanged|"
           "AfterCancel|BeforeScroll|link:DataSetScrolled(0)|AfterScroll"),
       dsBrowse},
      {"close discards an edit without cancel events", EditName, [](TEditFixture& F) { F.DataSet.Close(); },
       Seq("BeforeClose|link:ActiveChanged|link:EditingChanged|InternalClose|AfterClose"), dsInactive},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TEditFixture F;
    C.Setup(F);
    F.Reset();
    C.Action(F);
    EXPECT_EQ(F.DataSet.Log(), C.Log);
    EXPECT_EQ(F.DataSet.State(), C.State);
  }
}

TEST(DataSetEditTest, WhereRecordsGo) {
  TEditFixture F;
  F.DataSet.Next();
  F.DataSet.Insert();
  F.DataSet.FieldByName("ID")->SetAsInteger(10);
  F.DataSet.Post();
  EXPECT_EQ(F.Ids(), (std::vector<int>{1, 10, 2, 3, 4, 5, 6}));
  EXPECT_EQ(F.CurrentId(), 10);
  EXPECT_EQ(F.Link.ActiveRecord(), 1);

  F.DataSet.Append();
  F.DataSet.FieldByName("ID")->SetAsInteger(20);
  F.DataSet.Post();
  EXPECT_EQ(F.Ids().back(), 20);
  EXPECT_EQ(F.CurrentId(), 20);

  F.DataSet.First();
  F.DataSet.Edit();
  F.Name()->SetAsString("Changed");
  EXPECT_TRUE(F.DataSet.Modified());
  F.DataSet.Post();
  EXPECT_FALSE(F.DataSet.Modified());
  EXPECT_EQ(F.DataSet.Row(0)[1].AsString(), String("Changed"));

  F.DataSet.Delete();
  EXPECT_EQ(F.CurrentId(), 10);
  EXPECT_EQ(F.Ids().size(), 7u);
}

TEST(DataSetEditTest, SpecialCases) {
  {
    SCOPED_TRACE("edit on an empty dataset inserts");
    TDataSetFixture F(/*RowCount=*/0);
    F.DataSet.Open();
    F.DataSet.Edit();
    EXPECT_EQ(F.DataSet.State(), dsInsert);
  }
  {
    SCOPED_TRACE("append marks the new buffer bfEOF before InternalInsert, insert bfInserted");
    TInsertProbe DataSet(nullptr);
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.AppendRow({1});
    DataSet.Open();
    DataSet.Append();
    EXPECT_EQ(DataSet.FlagInInternalInsert, bfEOF);
    EXPECT_TRUE(DataSet.Eof());
    DataSet.Cancel();
    DataSet.Insert();
    EXPECT_EQ(DataSet.FlagInInternalInsert, bfInserted);
  }
  {
    SCOPED_TRACE("OnNewRecord may post");
    TEditFixture F;
    F.DataSet.OnNewRecord = [](TDataSet* D) {
      D->FieldByName("ID")->SetAsInteger(7);
      D->Post();
    };
    F.DataSet.Append();
    EXPECT_EQ(F.DataSet.State(), dsBrowse);
    EXPECT_EQ(F.DataSet.RowCount(), 7);
    EXPECT_EQ(F.CurrentId(), 7);
  }
  {
    SCOPED_TRACE("an exception in OnNewRecord undoes the insert");
    TEditFixture F;
    F.DataSet.Next();
    F.DataSet.OnNewRecord = [](TDataSet*) { throw EDatabaseError("no new records"); };
    EXPECT_RAISES(F.DataSet.Insert(), EDatabaseError, "no new records");
    EXPECT_EQ(F.DataSet.State(), dsBrowse);
    EXPECT_EQ(F.DataSet.RowCount(), 6);
    EXPECT_EQ(F.CurrentId(), 2);
    EXPECT_EQ(F.Link.ActiveRecord(), 1);
  }
  {
    SCOPED_TRACE("BeforeDelete aborting keeps the row");
    TEditFixture F;
    F.DataSet.BeforeDelete = [](TDataSet*) { Abort(); };
    EXPECT_RAISES(F.DataSet.Delete(), EAbort, "Operation aborted");
    EXPECT_EQ(F.DataSet.RowCount(), 6);
    EXPECT_EQ(F.DataSet.Log().back(), String("BeforeDelete"));
  }
  {
    SCOPED_TRACE("close in dsEdit loses the change");
    TEditFixture F;
    F.DataSet.Edit();
    F.Name()->SetAsString("Changed");
    F.DataSet.Close();
    EXPECT_EQ(F.DataSet.Row(0)[1].AsString(), String("Smith"));
  }
  {
    SCOPED_TRACE("guards");
    TEditFixture F;
    F.DataSet.SetName("ds1");
    F.DataSet.SetReadOnly(true);
    EXPECT_RAISES(F.DataSet.Edit(), EDatabaseError, "ds1: Cannot modify a read-only dataset");
    EXPECT_RAISES(F.DataSet.Append(), EDatabaseError, "ds1: Cannot modify a read-only dataset");
    EXPECT_RAISES(F.Name()->SetAsString("x"), EDatabaseError, "ds1: Dataset not in edit or insert mode");
    EXPECT_RAISES(F.DataSet.UpdateRecord(), EDatabaseError, "ds1: Dataset not in edit or insert mode");
    TDataSetFixture Empty(/*RowCount=*/0);
    Empty.DataSet.Open();
    EXPECT_RAISES(Empty.DataSet.Delete(), EDatabaseError, "Cannot perform this operation on an empty dataset");
  }
  {
    SCOPED_TRACE("read-only fields");
    TEditFixture F;
    F.Name()->SetReadOnly(true);
    F.DataSet.Edit();
    EXPECT_RAISES(F.Name()->SetAsString("x"), EDatabaseError, "Field 'Name' cannot be modified");
  }
}

TEST(DataSetEditTest, ErrorGuards) {
  struct Case {
    const char* Name;
    int Failures;
    bool Silent;
    TDataAction Answer;
    bool Handler;
    const char* Raised;  // "" when the post goes through
    TDataSetState State;
    int PostCalls;
  };
  const String Injected = TRowListDataSet::FaultMessage();
  const Case Cases[] = {
      {"retry twice, then the post goes through", 2, false, daRetry, true, "", dsBrowse, 3},
      {"abort turns the error into EAbort", 1, false, daAbort, true, "EAbort", dsEdit, 1},
      {"fail re-raises", 1, false, daFail, true, "EDatabaseError", dsEdit, 1},
      {"no handler re-raises", 1, false, daRetry, false, "EDatabaseError", dsEdit, 1},
      {"EAbort is not guarded", 1, true, daRetry, true, "EAbort", dsEdit, 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TEditFixture F;
    int HandlerCalls = 0;
    if (C.Handler)
      F.DataSet.OnPostError = [&](TDataSet*, EDatabaseError& E, TDataAction& Action) {
        EXPECT_EQ(E.Message, Injected);
        ++HandlerCalls;
        Action = C.Answer;
      };
    F.DataSet.Edit();
    F.Name()->SetAsString("Changed");
    F.DataSet.FailNext(fpInternalPost, C.Failures, C.Silent);
    F.DataSet.ClearLog();
    String Raised;
    try {
      F.DataSet.Post();
    } catch (const EAbort&) {
      Raised = "EAbort";
    } catch (const EDatabaseError& E) {
      Raised = "EDatabaseError";
      EXPECT_EQ(E.Message, Injected);
    }
    EXPECT_EQ(Raised, String(C.Raised));
    EXPECT_EQ(F.DataSet.State(), C.State);
    EXPECT_EQ(std::count(F.DataSet.Log().begin(), F.DataSet.Log().end(), String("InternalPost")), C.PostCalls);
    EXPECT_EQ(HandlerCalls, C.Handler && !C.Silent ? C.Failures : 0);
  }
}

TEST(DataSetEditTest, EditAndDeleteErrorEvents) {
  TEditFixture F;
  int EditErrors = 0, DeleteErrors = 0;
  F.DataSet.OnEditError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) {
    ++EditErrors;
    Action = daRetry;
  };
  F.DataSet.OnDeleteError = [&](TDataSet*, EDatabaseError&, TDataAction& Action) {
    ++DeleteErrors;
    Action = daAbort;
  };
  F.DataSet.FailNext(fpInternalEdit, 1);
  F.DataSet.Edit();
  EXPECT_EQ(EditErrors, 1);
  EXPECT_EQ(F.DataSet.State(), dsEdit);
  F.DataSet.Cancel();
  F.DataSet.FailNext(fpInternalDelete, 1);
  EXPECT_RAISES(F.DataSet.Delete(), EAbort, "Operation aborted");
  EXPECT_EQ(DeleteErrors, 1);
  EXPECT_EQ(F.DataSet.RowCount(), 6);
}

TEST(DataSetEditTest, RequiredFieldFocusesItsControl) {
  TEditFixture F;
  F.Link.FocusField = F.Name();
  F.Name()->SetRequired(true);
  F.DataSet.Edit();
  F.Name()->Clear();
  F.Link.Clear();
  EXPECT_RAISES(F.DataSet.Post(), EDatabaseError, "Field 'Name' must have a value");
  const std::vector<String> Calls = F.Link.CallNames();
  EXPECT_NE(std::find(Calls.begin(), Calls.end(), String("FocusControl(Name)")), Calls.end());
  EXPECT_EQ(F.DataSet.State(), dsEdit);
  // A read-only field is not the user's to fill.
  F.Name()->SetReadOnly(true);
  F.DataSet.Post();
  EXPECT_EQ(F.DataSet.State(), dsBrowse);
}

TEST(DataSetEditTest, UpdateDataFailureKeepsTheEdit) {
  TEditFixture F;
  F.Link.OnUpdateData = [] { throw EDatabaseError("bad input"); };
  F.DataSet.Edit();
  EXPECT_RAISES(F.DataSet.Post(), EDatabaseError, "bad input");
  EXPECT_EQ(F.DataSet.State(), dsEdit);
}

}  // namespace
