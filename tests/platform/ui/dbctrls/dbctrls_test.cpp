#include "platform/ui/dbctrls/dbctrls.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/listbox.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/beep.h"
#include "tests/platform/ui/formfixture.h"

#include <QStringList>

using namespace gdi;

namespace {

// Three rows (ID 1..3, Name, Amount) behind a data source, for a fixture
// to take in beside its test base.
class DataFixture {
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

class FieldDataLinkTest : public ::testing::Test, protected DataFixture {
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
  // leaves no field behind: the control shows nothing and cannot edit.
  DataSet.Open();
  DataSet.Edit();
  EXPECT_TRUE(Link.Editing());
  Log.clear();
  EXPECT_RAISES(Link.SetFieldName("Nope"), EDatabaseError, "Editor: Field 'Nope' not found");
  EXPECT_EQ(Link.Field(), nullptr);
  EXPECT_EQ(Link.FieldName(), "Nope");
  EXPECT_EQ(Log, QStringList({"browsing", "data -"}));
  EXPECT_FALSE(Link.Edit());
  DataSet.Cancel();
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

class FieldDataLinkFocusTest : public FormFixture {};

TEST_F(FieldDataLinkFocusTest, TheDatasetFocusesTheControlOfAField) {
  TRowListDataSet DataSet(nullptr);
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.FieldDefs()->Add("Name", ftString, 20);
  DataSet.AppendRow({1, String("A")});
  TDataSource Source(nullptr);
  Source.SetDataSet(&DataSet);
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
}

// ---------------------------------------------------------------------------
// the controls

// A shown form over the three rows with an OK button to take the focus;
// the fields' texts tell DisplayText ("Smith.") from Text ("Smith") and the
// ID field refuses a text that is no integer.
class DBControlsTest : public FormFixture, protected DataFixture {
protected:
  DBControlsTest() : FormFixture(MemoryClipboard) {}
  void SetUp() override {
    FormFixture::SetUp();
    Ok = make<TButton>(Bounds(300, 250, 75, 25));
    DataSet.Open();
    field("Name")->SetOnGetText(
        TFieldGetTextEvent([](TField* F, String& Text, bool Display) { Text = F->AsString() + (Display ? "." : ""); }));
  }
  void TearDown() override {
    Form->Free();
    FormFixture::TearDown();
  }

  using FormFixture::make;
  // A T on FieldName of the rows, logging its changes.
  template <class T>
  T* make(const char* FieldName, int Top = 10) {
    auto* C = make<T>(Bounds(10, Top, 200, 60));
    C->SetDataField(FieldName);
    C->SetDataSource(&Source);
    C->OnChange = TNotifyEvent([this, C](TObject*) { Log.append("change " + C->Text()); });
    return C;
  }
  // Shows the form with C focused and the caret at the end of its text.
  void focusAtEnd(TWinControl* C) {
    Form->Show();
    C->SetFocus();
    test::Key(VK_END);
    Log.clear();
  }
  static TFieldDataLink* linkOf(TControl* C) {
    return reinterpret_cast<TFieldDataLink*>(C->Perform(CM_GETDATALINK, 0, 0));
  }

  TButton* Ok = nullptr;
  test::TBeepRecorder Beeps;
};

TEST_F(DBControlsTest, ControlsPublishTheirPropertiesOnce) {
  for (TObject* C : std::initializer_list<TObject*>{new TDBEdit(Form), new TDBMemo(Form), new TDBComboBox(Form)}) {
    SCOPED_TRACE(C->ClassName().toStdString());
    ExpectPublishedOnceAtDefaults(C);
    for (const char* Name : {"DataSource", "DataField", "ReadOnly", "OnChange", "OnKeyDown"})
      EXPECT_TRUE(IsPublishedProp(C, Name)) << Name;
  }
  auto* Memo = new TDBMemo(Form);
  for (const char* Name : {"AutoDisplay", "BevelKind", "BorderStyle", "Alignment", "ScrollBars", "WordWrap"})
    EXPECT_TRUE(IsPublishedProp(Memo, Name)) << Name;
  auto* Combo = new TDBComboBox(Form);
  for (const char* Name : {"Items", "DropDownCount", "Sorted", "Style"}) EXPECT_TRUE(IsPublishedProp(Combo, Name)) << Name;
  EXPECT_TRUE(IsPublishedProp(new TDBEdit(Form), "CharCase"));
}

TEST_F(DBControlsTest, EditShowsDisplayTextUnfocusedAndTextFocused) {
  auto* Edit = make<TDBEdit>("Name");
  EXPECT_EQ(Edit->Text(), "Smith.");
  DataSet.Next();
  EXPECT_EQ(Edit->Text(), "Jones.");
  Form->Show();
  Edit->SetFocus();
  EXPECT_EQ(Edit->Text(), "Jones");
  DataSet.Next();
  EXPECT_EQ(Edit->Text(), "Brown");
  Ok->SetFocus();
  EXPECT_EQ(Edit->Text(), "Brown.");
  EXPECT_EQ(Log, QStringList({"change Jones.", "change Jones", "change Brown", "change Brown."}))
      << "each shown value fires OnChange once";
  EXPECT_FALSE(linkOf(Edit)->IsModified()) << "showing the field is no change of it";
  EXPECT_EQ(DataSet.State(), dsBrowse);
  // Without an active field the edit is empty.
  Edit->SetDataField("");
  EXPECT_EQ(Edit->Text(), "");
  Edit->SetDataField("Name");
  DataSet.Close();
  EXPECT_EQ(Edit->Text(), "");
}

TEST_F(DBControlsTest, EditTypesIntoTheFieldAndWritesOnExitAndPost) {
  auto* Edit = make<TDBEdit>("Name");
  focusAtEnd(Edit);
  test::Type("y");
  EXPECT_EQ(DataSet.State(), dsEdit) << "the first key puts the dataset into edit";
  EXPECT_EQ(Edit->Text(), "Smithy");
  EXPECT_TRUE(linkOf(Edit)->IsModified());
  EXPECT_EQ(field("Name")->AsString(), "Smith") << "nothing written while typing";
  Ok->SetFocus();
  EXPECT_EQ(field("Name")->AsString(), "Smithy");
  EXPECT_EQ(Edit->Text(), "Smithy.");
  EXPECT_EQ(DataSet.State(), dsEdit) << "leaving writes the field; posting is the dataset's";
  DataSet.Post();
  EXPECT_EQ(DataSet.Row(0)[1].AsString(), "Smithy");
  // Posting while the edit still has the focus writes its text first.
  focusAtEnd(Edit);
  test::Key(VK_BACK);
  DataSet.Post();
  EXPECT_EQ(DataSet.Row(0)[1].AsString(), "Smith");
  EXPECT_EQ(Edit->Text(), "Smith");
  EXPECT_EQ(Beeps.Count(), 0);
}

TEST_F(DBControlsTest, EscapeShowsTheFieldsValueAgain) {
  auto* Edit = make<TDBEdit>("Name");
  focusAtEnd(Edit);
  test::Type("xx");
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Edit->Text(), "Smith");
  EXPECT_EQ(Edit->SelLength(), 5) << "the restored value is selected";
  EXPECT_FALSE(linkOf(Edit)->IsModified());
  Ok->SetFocus();
  EXPECT_EQ(field("Name")->AsString(), "Smith");
}

TEST_F(DBControlsTest, EditsThatCannotModifyDropInputWithABeep) {
  struct Case {
    const char* Name;
    std::function<void(TDBEdit*)> Arrange;
  };
  const Case Cases[] = {
      {"read-only dataset", [this](TDBEdit*) { DataSet.Close(), DataSet.SetReadOnly(true), DataSet.Open(); }},
      {"read-only control", [](TDBEdit* E) { E->SetReadOnly(true); }},
      {"read-only field", [this](TDBEdit*) { field("Name")->SetReadOnly(true); }},
      {"inactive dataset", [this](TDBEdit*) { DataSet.Close(); }},
  };
  Clipboard()->SetAsText("Pasted");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Edit = make<TDBEdit>("Name");
    C.Arrange(Edit);
    focusAtEnd(Edit);
    const String Before = Edit->Text();
    Beeps.Clear();
    test::Type("q");
    Edit->Perform(WM_PASTE, 0, 0);
    Edit->SelectAll();
    Edit->Perform(WM_CUT, 0, 0);
    test::Key(VK_BACK);
    EXPECT_EQ(Edit->Text(), Before);
    EXPECT_EQ(Beeps.Count(), Before.isEmpty() ? 2 : 4) << "an empty edit has nothing to cut or delete";
    EXPECT_NE(DataSet.State(), dsEdit);
    EXPECT_TRUE(Log.isEmpty());
    Ok->SetFocus();
    Edit->Free();
    DataSet.Close();
    DataSet.SetReadOnly(false);
    DataSet.Open();
  }
  // A writable edit takes the paste as its first change.
  auto* Edit = make<TDBEdit>("Name");
  focusAtEnd(Edit);
  Edit->SelectAll();
  Edit->PasteFromClipboard();
  EXPECT_EQ(DataSet.State(), dsEdit);
  EXPECT_EQ(Edit->Text(), "Pasted");
  EXPECT_TRUE(linkOf(Edit)->IsModified());
}

TEST_F(DBControlsTest, ARefusedTextKeepsTheFocusAndRaises) {
  auto* Edit = make<TDBEdit>("ID");
  focusAtEnd(Edit);
  Beeps.Clear();
  test::Type("x");
  EXPECT_EQ(Beeps.Count(), 1) << "a letter is no character of an integer field";
  EXPECT_EQ(Edit->Text(), "1");
  test::Type("-2");
  EXPECT_RAISES(Ok->SetFocus(), EDatabaseError, "'1-2' is not a valid integer value for field 'ID'");
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Edit->Text(), "1-2");
  EXPECT_EQ(Edit->SelLength(), 3);
  test::Key(VK_ESCAPE);
  Ok->SetFocus();
  EXPECT_EQ(field("ID")->AsInteger(), 1);
  EXPECT_TRUE(Ok->Focused());
}

TEST_F(DBControlsTest, EditTakesMaxLengthAndEditMaskFromTheField) {
  field("Name")->SetEditMask(">LLLLL;1;_");
  auto* Edit = make<TDBEdit>("Name");
  EXPECT_EQ(Edit->MaxLength(), 20);
  EXPECT_EQ(Edit->EditMask(), ">LLLLL;1;_");
  EXPECT_TRUE(Edit->IsMasked());
  // Another field: the MaxLength that came from Name goes, and so does the mask.
  Edit->SetDataField("ID");
  EXPECT_EQ(Edit->MaxLength(), 0);
  EXPECT_FALSE(Edit->IsMasked());
  EXPECT_EQ(Edit->Text(), "1");
  // A MaxLength of the program's own stays.
  Edit->SetMaxLength(5);
  Edit->SetDataField("Name");
  EXPECT_EQ(Edit->MaxLength(), 5);
  Edit->SetDataField("ID");
  EXPECT_EQ(Edit->MaxLength(), 5);
}

// A field chosen while the dataset is closed, or reopened with another Size,
// gives its own MaxLength: the old one would cut the user's typing short.
TEST_F(DBControlsTest, EditTakesTheMaxLengthOfTheFieldItFindsOnOpening) {
  TRowListDataSet Refs(nullptr);
  Refs.FieldDefs()->Add("Short", ftString, 5);
  Refs.FieldDefs()->Add("Long", ftString, 50);
  Refs.AppendRow({String("abc"), String("def")});
  Source.SetDataSet(&Refs);
  Refs.Open();
  auto* Edit = make<TDBEdit>("Short");
  EXPECT_EQ(Edit->MaxLength(), 5);
  Refs.Close();
  Edit->SetDataField("Long");
  Refs.Open();
  EXPECT_EQ(Edit->MaxLength(), 50);
  focusAtEnd(Edit);
  test::Type("ghijk");
  EXPECT_EQ(Edit->Text(), "defghijk");
  Ok->SetFocus();
  Refs.Cancel();
  Edit->SetDataSource(nullptr);
  Source.SetDataSet(&DataSet);
}

TEST_F(DBControlsTest, MemoFollowsTheRecordsAndEditsItsField) {
  // The three-row table of the catalog's reference viewer, with a notes blob.
  TRowListDataSet Refs(nullptr);
  Refs.FieldDefs()->Add("ID", ftInteger);
  Refs.FieldDefs()->Add("Notes", ftMemo);
  Refs.AppendRow({1, String("first\r\nnote")});
  Refs.AppendRow({2, String("second")});
  Refs.AppendRow({3, String("third")});
  Source.SetDataSet(&Refs);
  Refs.Open();
  auto* Memo = make<TDBMemo>("Notes");
  EXPECT_EQ(Memo->Text(), "first\r\nnote");
  EXPECT_EQ(Memo->Lines()->Count(), 2);
  Refs.Next();
  EXPECT_EQ(Log, QStringList({"change second"}));
  focusAtEnd(Memo);
  test::Type("!");
  EXPECT_EQ(Refs.State(), dsEdit);
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Memo->Text(), "second");
  test::Key(VK_END);
  test::Type("?");
  Ok->SetFocus();
  EXPECT_EQ(Refs.FieldByName("Notes")->AsString(), "second?");
  Refs.Post();
  EXPECT_EQ(Refs.Row(1)[1].AsString(), "second?");
  // Read-only: the key goes with a beep.
  Refs.Close();
  Refs.SetReadOnly(true);
  Refs.Open();
  focusAtEnd(Memo);
  Beeps.Clear();
  test::Type("z");
  EXPECT_EQ(Memo->Text(), "first\r\nnote");
  EXPECT_EQ(Beeps.Count(), 1);
  Ok->SetFocus();
  Memo->SetDataSource(nullptr);
  EXPECT_EQ(Memo->Text(), "");
  Source.SetDataSet(&DataSet);
}

TEST_F(DBControlsTest, MemoWithoutAutoDisplayLoadsOnDemand) {
  TRowListDataSet Refs(nullptr);
  Refs.FieldDefs()->Add("Notes", ftMemo);
  Refs.AppendRow({String("long text")});
  Source.SetDataSet(&Refs);
  Refs.Open();
  auto* Memo = make<TDBMemo>("Notes");
  Memo->SetAutoDisplay(false);
  EXPECT_EQ(Memo->Text(), "long text") << "a shown text stays until the next record";
  Refs.Refresh();
  EXPECT_EQ(Memo->Text(), "(Notes)");
  focusAtEnd(Memo);
  test::Type("a");
  EXPECT_EQ(Memo->Text(), "(Notes)") << "no input before the text is loaded";
  EXPECT_EQ(Refs.State(), dsBrowse);
  test::Key(VK_RETURN);
  EXPECT_EQ(Memo->Text(), "long text");
  test::Key(VK_END);
  test::Type("!");
  EXPECT_EQ(Memo->Text(), "long text!");
  Refs.Cancel();
  Refs.Refresh();
  EXPECT_EQ(Memo->Text(), "(Notes)");
  test::DblClick(Memo, {5, 5});
  EXPECT_EQ(Memo->Text(), "long text");
  Refs.Refresh();
  Memo->SetAutoDisplay(true);
  EXPECT_EQ(Memo->Text(), "long text");
  Ok->SetFocus();
  Memo->SetDataSource(nullptr);
  Source.SetDataSet(&DataSet);
}

TEST_F(DBControlsTest, MemoBevelKindSwitchesAtRunTime) {
  auto* Memo = make<TDBMemo>("Name");
  Form->Show();
  const int Plain = Memo->ClientWidth();
  for (TBevelKind Kind : {bkSoft, bkTile, bkFlat}) {
    Memo->SetBevelKind(Kind);
    EXPECT_LT(Memo->ClientWidth(), Plain) << "the edge takes its room: " << int(Kind);
  }
  Memo->SetBevelKind(bkNone);
  EXPECT_EQ(Memo->ClientWidth(), Plain);
  EXPECT_EQ(GetEnumProp(Memo, "BevelKind"), "bkNone");
}

TEST_F(DBControlsTest, ComboBoxTypingAndChoosingChangeTheField) {
  auto* Combo = make<TDBComboBox>("Name");
  for (const char* Item : {"Brown", "Jones", "Smith"}) Combo->Items()->Add(Item);
  EXPECT_EQ(Combo->Text(), "Smith");
  DataSet.Next();
  EXPECT_EQ(Combo->Text(), "Jones");
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_TRUE(Log.isEmpty()) << "showing the field fires nothing";
  // Choosing the next item with Down marks the link modified.
  focusAtEnd(Combo);
  test::Key(VK_DOWN);
  EXPECT_EQ(Combo->Text(), "Smith");
  EXPECT_EQ(DataSet.State(), dsEdit);
  EXPECT_TRUE(linkOf(Combo)->IsModified());
  EXPECT_EQ(Log, QStringList({"change Smith"}));
  Ok->SetFocus();
  EXPECT_EQ(field("Name")->AsString(), "Smith");
  DataSet.Post();
  // Typing a text that is no item.
  focusAtEnd(Combo);
  test::Type("ie");
  EXPECT_EQ(Combo->Text(), "Smithie");
  Ok->SetFocus();
  EXPECT_EQ(field("Name")->AsString(), "Smithie");
  DataSet.Cancel();
  EXPECT_EQ(Combo->Text(), "Smith");
  // Esc goes back to the field's value.
  focusAtEnd(Combo);
  test::Type("zz");
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Combo->Text(), "Smith");
  EXPECT_FALSE(linkOf(Combo)->IsModified());
  DataSet.Cancel();
  // Read-only: typing and choosing are undone with a beep.
  Combo->SetReadOnly(true);
  Beeps.Clear();
  test::Type("q");
  test::Key(VK_UP);
  EXPECT_EQ(Combo->Text(), "Smith");
  EXPECT_EQ(Beeps.Count(), 2);
  EXPECT_EQ(DataSet.State(), dsBrowse);
  EXPECT_FALSE(linkOf(Combo)->IsModified());
}

// OnChange comes after the link is modified: a handler that posts at once
// writes the user's choice.
TEST_F(DBControlsTest, ComboBoxOnChangeMayPostTheChoice) {
  auto* Combo = make<TDBComboBox>("Name");
  for (const char* Item : {"Brown", "Jones", "Smith"}) Combo->Items()->Add(Item);
  DataSet.Next();
  Combo->OnChange = TNotifyEvent([this](TObject*) { DataSet.Post(); });
  focusAtEnd(Combo);
  test::Key(VK_UP);
  EXPECT_EQ(DataSet.State(), dsBrowse);
  EXPECT_EQ(DataSet.Row(1)[1].AsString(), "Brown");
  EXPECT_EQ(Combo->Text(), "Brown");
  EXPECT_FALSE(linkOf(Combo)->IsModified());
  Ok->SetFocus();
  EXPECT_TRUE(Ok->Focused());
}

// A dataset that refuses to edit (BeforeEdit aborts) leaves the combo box
// following the records as before.
TEST_F(DBControlsTest, ComboBoxFollowsTheRecordsAfterARefusedEdit) {
  auto* Combo = make<TDBComboBox>("Name");
  DataSet.BeforeEdit = TDataSetNotifyEvent([](TDataSet*) { Abort(); });
  focusAtEnd(Combo);
  test::Type("x");
  EXPECT_EQ(DataSet.State(), dsBrowse);
  DataSet.BeforeEdit = {};
  DataSet.Next();
  EXPECT_EQ(Combo->Text(), "Jones");
}

TEST_F(DBControlsTest, ComboBoxChoiceByMouse) {
  auto* Combo = make<TDBComboBox>("Name");
  for (const char* Item : {"Brown", "Jones", "Smith"}) Combo->Items()->Add(Item);
  Form->Show();
  const TPoint Button{Combo->ClientWidth() - 4, Combo->ClientHeight() / 2};
  auto chooseRow = [&](int Row) {
    test::Click(Combo, Button);
    ASSERT_TRUE(Combo->DroppedDown());
    TCustomListBox* List = Combo->DropDownList();
    test::Click(List, {10, Row * List->ItemHeight() + List->ItemHeight() / 2});
    EXPECT_FALSE(Combo->DroppedDown());
  };
  chooseRow(0);
  EXPECT_EQ(Combo->Text(), "Brown");
  EXPECT_EQ(DataSet.State(), dsEdit);
  EXPECT_TRUE(linkOf(Combo)->IsModified());
  DataSet.Post();
  EXPECT_EQ(DataSet.Row(0)[1].AsString(), "Brown");
  // A read-only link undoes the choice with a beep.
  Combo->SetReadOnly(true);
  chooseRow(1);
  EXPECT_EQ(Combo->Text(), "Brown");
  EXPECT_EQ(Beeps.Count(), 1);
  EXPECT_EQ(DataSet.State(), dsBrowse);
}

TEST_F(DBControlsTest, ControlsAnswerTheirLinkAndSurviveTheirSourceGoing) {
  auto* Edit = make<TDBEdit>("Name");
  auto* Memo = make<TDBMemo>("Name", 80);
  auto* Combo = make<TDBComboBox>("Name", 150);
  auto* Other = new TDataSource(nullptr);
  Other->SetDataSet(&DataSet);
  for (TWinControl* C : std::initializer_list<TWinControl*>{Edit, Memo, Combo}) {
    SCOPED_TRACE(C->ClassName().toStdString());
    TFieldDataLink* Link = linkOf(C);
    ASSERT_NE(Link, nullptr);
    EXPECT_EQ(Link->Control(), C);
    EXPECT_EQ(Link->Field(), field("Name"));
    SetObjectProp(C, "DataSource", Other);
    EXPECT_EQ(Link->DataSource(), Other);
    EXPECT_EQ(GetStrProp(C, "DataField"), "Name");
  }
  Other->Free();
  for (TWinControl* C : std::initializer_list<TWinControl*>{Edit, Memo, Combo}) {
    EXPECT_EQ(linkOf(C)->DataSource(), nullptr);
    EXPECT_EQ(C->Text(), "");
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// right-to-left alignment

TEST(DBUseRightToLeftAlignmentTest, OnlyAMiddleEastLocaleAndARightToLeftControl) {
  const TSysLocale Saved = SysLocale;
  struct Case {
    const char* Name;
    bool MiddleEast;
    TBiDiMode Mode;
    bool Expected;
  } const Cases[] = {
      {"left to right, western", false, bdLeftToRight, false},
      {"right to left, western", false, bdRightToLeft, false},
      {"left to right, middle east", true, bdLeftToRight, false},
      {"reading only, middle east", true, bdRightToLeftReadingOnly, false},
      {"right to left, middle east", true, bdRightToLeft, true},
  };
  TWinControl Control(nullptr);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SysLocale.MiddleEast = C.MiddleEast;
    Control.SetBiDiMode(C.Mode);
    EXPECT_EQ(DBUseRightToLeftAlignment(&Control, nullptr), C.Expected);
  }
  SysLocale = Saved;
}
