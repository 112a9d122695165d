#include "gridlib/editors/fielddatalink.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/controls/edits.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <QStringList>

namespace {

// Two rows (A, B, Name, Notes) behind a data source and a link that logs
// what it tells its control.
class FieldDataLinkEhTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    DataSet.FieldDefs()->Add("A", ftInteger);
    DataSet.FieldDefs()->Add("B", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.FieldDefs()->Add("Notes", ftMemo);
    DataSet.AppendRow({1, 2, String("Smith"), String("long")});
    DataSet.AppendRow({3, 4, String("Jones"), String("text")});
    Source.SetDataSet(&DataSet);
    Owner.SetName("Editor");
    Link.SetControl(&Owner);
    Link.OnDataChange = [this](TObject*) { Log.append("data"); };
    Link.OnEditingChange = [this](TObject*) { Log.append(Link.Editing() ? "editing" : "browsing"); };
    Link.OnUpdateData = [this](TObject*) { Log.append("update"); };
  }
  // Bound to FieldName on the open dataset, the log cleared.
  void bind(const String& FieldName) {
    DataSet.Open();
    Link.SetDataSource(&Source);
    Link.SetFieldName(FieldName);
    Log.clear();
  }
  TField* field(const char* Name) { return DataSet.FieldByName(Name); }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TComponent Owner{nullptr};
  TFieldDataLinkEh Link;
  QStringList Log;
};

TEST_F(FieldDataLinkEhTest, AFreshLinkHoldsItsOwnValue) {
  EXPECT_TRUE(Link.DataIndepended());
  EXPECT_TRUE(Link.Active());
  EXPECT_TRUE(Link.CanModify());
  EXPECT_TRUE(Link.VisualControl());
  EXPECT_TRUE(VarIsNull(Link.DataIndependentValue));
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(Log, QStringList({"editing"}));
  Link.SetText("ab");
  EXPECT_EQ(Link.DataIndependentValue.AsString(), "ab");
  EXPECT_EQ(VarType(Link.DataIndependentValue), varUString);
  EXPECT_EQ(Log, QStringList({"editing", "data"}));

  TFieldDataLinkEh ReadOnly;
  ReadOnly.SetReadOnly(true);
  EXPECT_FALSE(ReadOnly.Edit());
}

TEST_F(FieldDataLinkEhTest, ADataSourceLeavesDataIndependenceAndForgetsTheValue) {
  Link.SetText("kept");
  Link.SetDataSource(&Source);
  EXPECT_FALSE(Link.DataIndepended());
  EXPECT_TRUE(VarIsNull(Link.DataIndependentValue));
  EXPECT_FALSE(Link.Active()) << "no field";
  Link.SetDataSource(nullptr);
  EXPECT_TRUE(Link.DataIndepended());
}

TEST_F(FieldDataLinkEhTest, TheSameNameBindsOnceAndOnlyBoundFieldsNotify) {
  bind("Name");
  Link.SetFieldName("Name");
  EXPECT_TRUE(Log.isEmpty()) << "the same name twice binds once";
  EXPECT_EQ(Link.Field(), field("Name"));
  Link.RecordChanged(field("A"));
  EXPECT_TRUE(Log.isEmpty()) << "an unbound field changed";
  Link.RecordChanged(field("Name"));
  EXPECT_EQ(Log, QStringList({"data"}));
  Log.clear();
  Link.UpdateData();
  EXPECT_TRUE(Log.isEmpty()) << "not modified: nothing to write";
  Link.Modified();
  Link.UpdateData();
  EXPECT_EQ(Log, QStringList({"update"}));
  EXPECT_FALSE(Link.IsModified());
}

TEST_F(FieldDataLinkEhTest, AnUnknownNameUnbindsBeforeItRaises) {
  bind("Name");
  EXPECT_RAISES(Link.SetFieldName("Nope"), EDatabaseError, "Editor: Field 'Nope' not found");
  EXPECT_EQ(Link.Field(), nullptr) << "the old field no longer bound";
  EXPECT_EQ(Log, QStringList({"data"})) << "the control re-read";
  Link.SetFieldName("");
  Link.SetControl(nullptr);
  Link.SetMultiFields(true);
  EXPECT_RAISES(Link.SetFieldName("A;Nope"), EDatabaseError, "Field 'Nope' not found");
  EXPECT_EQ(Link.FieldsCount(), 0);
}

TEST_F(FieldDataLinkEhTest, SeveralFieldsTakeNullOrOneElementEach) {
  Link.SetMultiFields(true);
  bind("A;B");
  ASSERT_EQ(Link.FieldsCount(), 2);
  DataSet.Edit();
  Link.SetValue(VarArrayOf({10, 20}));
  EXPECT_EQ(field("A")->AsInteger(), 10);
  EXPECT_EQ(field("B")->AsInteger(), 20);
  Link.SetValue(Null());
  EXPECT_TRUE(field("A")->IsNull());
  EXPECT_TRUE(field("B")->IsNull());

  // Checked before anything is written.
  Link.SetValue(VarArrayOf({5, 6}));
  EXPECT_THROW(Link.SetValue(Variant(7)), EVariantInvalidArgError);
  EXPECT_THROW(Link.SetValue(VarArrayOf({8})), EVariantBadIndexError);
  EXPECT_EQ(field("A")->AsInteger(), 5);
  EXPECT_EQ(field("B")->AsInteger(), 6);
  DataSet.Cancel();
}

TEST_F(FieldDataLinkEhTest, SetTextWritesABlobAsStringAndOtherFieldsAsText) {
  int ParsedTexts = 0;
  auto Parse = [&](TField* Sender, const String& Text) {
    ++ParsedTexts;
    Sender->SetAsString(Text + "!");
  };
  bind("Name");
  field("Name")->SetOnSetText(Parse);
  field("Notes")->SetOnSetText(Parse);
  DataSet.Edit();
  Link.SetText("new");
  EXPECT_EQ(field("Name")->AsString(), "new!") << "Text: the field's own parsing";
  Link.SetFieldName("Notes");
  Link.SetText("memo");
  EXPECT_EQ(field("Notes")->AsString(), "memo") << "a blob: AsString";
  EXPECT_EQ(ParsedTexts, 1);
  DataSet.Cancel();
}

TEST_F(FieldDataLinkEhTest, DisabledStateChangeUnbindsAndBindsAgain) {
  bind("Name");
  Link.DataEvent(deDisabledStateChange, 0);
  EXPECT_EQ(Link.FieldsCount(), 0);
  Link.DataEvent(deDisabledStateChange, 1);
  EXPECT_EQ(Link.Field(), field("Name"));
}

TEST_F(FieldDataLinkEhTest, FocusControlOfABoundFieldFocusesTheControl) {
  auto* Edit = make<TEdit>(Bounds(10, 10, 80, 20));
  Form->Show();
  Link.SetControl(Edit);
  bind("Name");
  TField* Asked = field("A");
  Link.FocusControl(Asked);
  EXPECT_EQ(Asked, field("A")) << "not bound: left alone";
  Asked = field("Name");
  Link.FocusControl(Asked);
  EXPECT_EQ(Asked, nullptr);
  EXPECT_TRUE(Edit->Focused());
}

}  // namespace
