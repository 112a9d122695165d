#include "platform/ui/dbctrls/dbctrls.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/forms.h"
#include "platform/ui/modaltest.h"
#include "platform/ui/uitest.h"
#include "tests/support/testing.h"

#include <QStringList>

using namespace gdi;

namespace {

// Three rows (ID 1..3, Name, Amount) behind a data source.
class DataFixture : public ::testing::Test {
protected:
  DataFixture() {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.FieldDefs()->Add("Amount", ftFloat);
    const char* const Names[] = {"Smith", "Jones", "Brown"};
    for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I, String(Names[I - 1]), I * 1.5});
    Source.SetDataSet(&DataSet);
  }

  TField* field(const char* Name) { return DataSet.FieldByName(Name); }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  QStringList Log;
};

// ---------------------------------------------------------------------------
// TFieldDataLink

class FieldDataLinkTest : public DataFixture {
protected:
  FieldDataLinkTest() {
    Owner.SetName("Editor");
    Link.SetControl(&Owner);
    Link.OnDataChange = TNotifyEvent([this](TObject* Sender) {
      EXPECT_EQ(Sender, &Link);
      Log.append("data " + (Link.Field() ? Link.Field()->AsString() : String("-")));
    });
    Link.OnEditingChange = TNotifyEvent([this](TObject*) { Log.append(Link.Editing() ? "editing" : "browsing"); });
    Link.OnActiveChange = TNotifyEvent([this](TObject*) { Log.append(Link.Active() ? "active" : "inactive"); });
    Link.OnUpdateData = TNotifyEvent([this](TObject*) {
      Log.append("update");
      Link.Field()->SetAsString(Pending);
    });
  }

  TComponent Owner{nullptr};
  TFieldDataLink Link;
  String Pending;  // what OnUpdateData writes
};

TEST_F(FieldDataLinkTest, ResolvesItsFieldWhileActive) {
  Link.SetFieldName("Name");
  Link.SetDataSource(&Source);
  EXPECT_EQ(Link.Field(), nullptr);
  EXPECT_TRUE(Log.isEmpty());
  DataSet.Open();
  EXPECT_EQ(Link.Field(), field("Name"));
  EXPECT_EQ(Log, QStringList({"data Smith", "active"})) << "the field shows before OnActiveChange";
  Log.clear();
  Link.SetFieldName("ID");
  EXPECT_EQ(Log, QStringList({"data 1"}));
  DataSet.Close();
  EXPECT_EQ(Link.Field(), nullptr);
  EXPECT_EQ(Log, QStringList({"data 1", "data -", "inactive"}));
  // An unknown name raises on an active link, naming the control, and
  // leaves no field behind.
  DataSet.Open();
  EXPECT_RAISES(Link.SetFieldName("Nope"), EDatabaseError, "Editor: Field 'Nope' not found");
  EXPECT_EQ(Link.Field(), nullptr);
  EXPECT_EQ(Link.FieldName(), "Nope");
  // No name: no field, no error.
  Link.SetFieldName("");
  EXPECT_EQ(Link.Field(), nullptr);
}

TEST_F(FieldDataLinkTest, EditsOnlyWhenItCanModify) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    bool CanModify;
  };
  const Case Cases[] = {
      {"plain", [] {}, true},
      {"link read-only", [this] { Link.SetReadOnly(true); }, false},
      {"dataset read-only", [this] { DataSet.SetReadOnly(true); }, false},
      {"field read-only", [this] { field("Name")->SetReadOnly(true); }, false},
      {"no field", [this] { Link.SetFieldName(""); }, false},
      {"source does not auto-edit", [this] { Source.SetAutoEdit(false); }, true},
  };
  Link.SetDataSource(&Source);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Link.SetFieldName("Name");
    DataSet.Open();
    C.Arrange();
    Log.clear();
    EXPECT_EQ(Link.CanModify(), C.CanModify);
    const bool AutoEdit = Source.AutoEdit();
    EXPECT_EQ(Link.Edit(), C.CanModify && AutoEdit);
    EXPECT_EQ(DataSet.State(), C.CanModify && AutoEdit ? dsEdit : dsBrowse);
    EXPECT_EQ(Log, C.CanModify && AutoEdit ? QStringList({"editing", "data Smith"}) : QStringList());
    DataSet.Close();
    Link.SetReadOnly(false);
    DataSet.SetReadOnly(false);
    Source.SetAutoEdit(true);
    if (DataSet.FindField("Name")) field("Name")->SetReadOnly(false);
  }
  // A dataset put into edit by someone else makes the link edit too, unless
  // the link cannot modify.
  DataSet.Open();
  Link.SetFieldName("Name");
  Log.clear();
  DataSet.Edit();
  EXPECT_TRUE(Link.Editing());
  Link.SetReadOnly(true);
  EXPECT_FALSE(Link.Editing());
  EXPECT_EQ(Log, QStringList({"editing", "data Smith", "browsing"}));
}

TEST_F(FieldDataLinkTest, AModifiedLinkWritesBeforeThePost) {
  Link.SetFieldName("Name");
  Link.SetDataSource(&Source);
  DataSet.Open();
  ASSERT_TRUE(Link.Edit());
  Link.Modified();
  Pending = "Smythe";
  Log.clear();
  DataSet.Post();
  EXPECT_EQ(Log, QStringList({"update", "browsing", "data Smythe"}))
      << "the write does not come back as a data change; the posted record does";
  EXPECT_EQ(DataSet.Row(0)[1].AsString(), "Smythe");
  // Unmodified: nothing is written.
  Link.Edit();
  Log.clear();
  DataSet.Post();
  EXPECT_EQ(Log, QStringList({"browsing", "data Smythe"}));
  // CheckBrowseMode (a scroll) posts what the link wrote.
  Link.Edit();
  Link.Modified();
  Pending = "Smith";
  DataSet.Next();
  EXPECT_EQ(DataSet.Row(0)[1].AsString(), "Smith");
  // UpdateRecord writes once: a second call finds nothing modified.
  Link.Edit();
  Link.Modified();
  Log.clear();
  Link.UpdateRecord();
  Link.UpdateRecord();
  EXPECT_EQ(Log, QStringList({"update"}));
  EXPECT_FALSE(Link.IsModified());
}

TEST_F(FieldDataLinkTest, RecordChangesShowTheFieldAndForgetTheChange) {
  Link.SetFieldName("Name");
  Link.SetDataSource(&Source);
  DataSet.Open();
  Log.clear();
  DataSet.Next();
  EXPECT_EQ(Log, QStringList({"data Jones"}));
  // Another field's change is not this control's business; its own is.
  DataSet.Edit();
  Log.clear();
  field("Amount")->SetAsFloat(7);
  EXPECT_TRUE(Log.isEmpty());
  Link.Modified();
  field("Name")->SetAsString("Changed");
  EXPECT_EQ(Log.last(), "data Changed");
  EXPECT_FALSE(Link.IsModified());
  // Reset shows the field again and drops the pending change.
  Link.Modified();
  Log.clear();
  Link.Reset();
  EXPECT_EQ(Log, QStringList({"data Changed"}));
  EXPECT_FALSE(Link.IsModified());
  // Cancel shows the stored value; leaving the edit state forgets the change.
  Link.Modified();
  DataSet.Cancel();
  EXPECT_TRUE(Log.contains("data Jones"));
  EXPECT_FALSE(Link.IsModified());
}

TEST(FieldDataLinkFocusTest, TheDatasetFocusesTheControlOfAField) {
  InitializeForms();
  test::SetFailureReporter([](const String& Message) { ADD_FAILURE() << Message.toStdString(); });
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.FieldDefs()->Add("Name", ftString, 20);
  DataSet.AppendRow({1, String("A")});
  TDataSource Source(nullptr);
  Source.SetDataSet(&DataSet);
  auto* Form = new TForm(Application);
  auto* First = new TButton(Form);
  First->SetParent(Form);
  auto* Second = new TButton(Form);
  Second->SetParent(Form);
  Second->SetTop(40);
  TFieldDataLink Link;
  Link.SetControl(Second);
  Link.SetFieldName("Name");
  Link.SetDataSource(&Source);
  DataSet.Open();
  Form->Show();
  First->SetFocus();
  DataSet.FieldByName("ID")->FocusControl();
  EXPECT_TRUE(First->Focused()) << "another field's request is not this link's";
  DataSet.FieldByName("Name")->FocusControl();
  EXPECT_TRUE(Second->Focused());
  Link.SetDataSource(nullptr);
  Form->Free();
  test::SetFailureReporter({});
  FinalizeForms();
  test::ResetUi();
}

}  // namespace
