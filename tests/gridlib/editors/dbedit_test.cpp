#include "gridlib/editors/dbedit.h"

#include "gridlib/base/mrulist.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/controllabel.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/beep.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <QStringList>

using namespace gdi;

namespace {

// Three rows (ID, Name of 20 characters, Amount shown with two decimals)
// and a form with an OK button to leave the edit for.
class DBEditEhTest : public EditorsFixture {
protected:
  DBEditEhTest() : EditorsFixture(MemoryClipboard) {}
  void SetUp() override {
    EditorsFixture::SetUp();
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.FieldDefs()->Add("Amount", ftFloat);
    const char* const Names[] = {"Smith", "Jones", "Brown"};
    for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I, String(Names[I - 1]), I * 1234.5});
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    auto* Amount = static_cast<TFloatField*>(DataSet.FieldByName("Amount"));
    Amount->SetDisplayFormat("#,##0.00");
    Amount->SetEditFormat("0.0");
    Ok = make<TButton>(Bounds(300, 250, 75, 25));
  }
  void TearDown() override {
    Form->Free();
    EditorsFixture::TearDown();
  }
  // An edit on FieldName ("": unbound), shown.
  TDBEditEh* edit(const char* FieldName = "", bool Bound = true) {
    auto* E = make<TDBEditEh>(Bounds(10, 10, 200, 21));
    if (Bound) E->SetDataSource(&Source);
    E->SetDataField(FieldName);
    Form->Show();
    return E;
  }
  bool windowReadOnly(TDBEditEh* E) { return E->TCustomEdit::ReadOnly(); }
  TField* field(const char* Name) { return DataSet.FieldByName(Name); }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TButton* Ok = nullptr;
  test::TBeepRecorder Beeps;
};

TEST_F(DBEditEhTest, AnUnboundEditKeepsWhatIsTypedAndAnswersItAsValue) {
  auto* E = edit("", /*Bound=*/false);
  EXPECT_TRUE(E->DataLink()->DataIndepended());
  E->SetFocus();
  test::Type("abc1");
  EXPECT_EQ(E->Text(), "abc1");
  EXPECT_EQ(E->Value().AsString(), "abc1");
  Ok->SetFocus();
  EXPECT_EQ(E->DataLink()->DataIndependentValue.AsString(), "abc1") << "leaving writes to the link";
  EXPECT_TRUE(E->IsTextStored());
  E->SetText("");
  EXPECT_FALSE(E->IsTextStored());
}

TEST_F(DBEditEhTest, ADataSourceWithoutFieldShowsNothingReadOnly) {
  auto* E = edit("");
  EXPECT_EQ(E->Text(), "");
  EXPECT_TRUE(windowReadOnly(E));
  EXPECT_FALSE(E->IsTextStored()) << "not data-independent";
  EXPECT_FALSE(E->IsValueStored());
}

TEST_F(DBEditEhTest, TheLabelCaptionIsTheFieldsDisplayNameElseTheControlsName) {
  field("Amount")->SetDisplayLabel("Sum");
  auto* E = edit("Amount");
  E->SetName("AmountEdit");
  EXPECT_EQ(E->GetControlLabelCaption(), "Sum");
  E->SetDataField("");
  EXPECT_EQ(E->GetControlLabelCaption(), "AmountEdit");
}

TEST_F(DBEditEhTest, ABoundEditIsReadOnlyUntilTheFirstKeyAndReadOnlyWins) {
  auto* E = edit("Name");
  EXPECT_TRUE(windowReadOnly(E));
  E->SetFocus();
  test::Key(VK_END);
  test::Type("x");
  EXPECT_EQ(DataSet.State(), dsEdit);
  EXPECT_FALSE(windowReadOnly(E));
  EXPECT_EQ(E->Text(), "Smithx");
  EXPECT_EQ(field("Name")->AsString(), "Smith") << "typing never writes";
  DataSet.Cancel();
  EXPECT_TRUE(windowReadOnly(E)) << "browsing again";

  E->OnUpdateData = [](TObject*, bool&) {};
  DataSet.Edit();
  E->UpdateEditReadOnly();
  EXPECT_FALSE(windowReadOnly(E)) << "writable with OnUpdateData in dsEdit";
  E->SetReadOnly(true);
  EXPECT_TRUE(windowReadOnly(E)) << "ReadOnly wins";
  DataSet.Cancel();
}

TEST_F(DBEditEhTest, AFarEastLocaleMakesTheWindowWritableOnEntryForComposition) {
  const TSysLocale Saved = SysLocale;
  SysLocale.FarEast = true;
  auto* E = edit("Name");
  ASSERT_TRUE(windowReadOnly(E));
  E->SetFocus();
  EXPECT_FALSE(windowReadOnly(E)) << "the window's flag is the control's ReadOnly";
  SysLocale = Saved;
}

TEST_F(DBEditEhTest, DisplayFormatUnfocusedEditFormatFocusedAndMaxLengthFromTheField) {
  auto* Amount = edit("Amount");
  EXPECT_EQ(Amount->Text(), "1,234.50");
  Amount->SetFocus();
  EXPECT_EQ(Amount->Text(), "1234.5") << "the edit format";
  Ok->SetFocus();
  EXPECT_EQ(Amount->Text(), "1,234.50");

  auto* Name = make<TDBEditEh>(Bounds(10, 40, 200, 21));
  Name->SetDataSource(&Source);
  Name->SetDataField("Name");
  EXPECT_EQ(Name->MaxLength(), 20);
  Name->SetDataField("ID");
  EXPECT_EQ(Name->MaxLength(), 0) << "the field's length goes with it";
  Name->SetMaxLength(7);
  Name->SetDataField("Name");
  EXPECT_EQ(Name->MaxLength(), 7) << "a user's length stays";
}

TEST_F(DBEditEhTest, TheFieldsLengthIsForgottenWhenTheDatasetCloses) {
  auto* Name = edit("Name");
  ASSERT_EQ(Name->MaxLength(), 20);
  DataSet.Close();
  EXPECT_EQ(Name->MaxLength(), 0) << "used to cut the next, longer field at 20";
}

TEST_F(DBEditEhTest, LeavingWritesOnceAndAHandledUpdateWritesNothing) {
  auto* E = edit("Name");
  int Updates = 0;
  bool Handle = false;
  E->OnUpdateData = [&](TObject*, bool& Handled) {
    ++Updates;
    Handled = Handle;
  };
  E->SetFocus();
  test::Key(VK_END);
  test::Type("a");
  EXPECT_EQ(field("Name")->AsString(), "Smith");
  Ok->SetFocus();
  EXPECT_EQ(Updates, 1);
  EXPECT_EQ(field("Name")->AsString(), "Smitha");
  Ok->SetFocus();
  EXPECT_EQ(Updates, 1) << "once";

  Handle = true;
  E->SetFocus();
  test::Key(VK_END);
  test::Type("b");
  Ok->SetFocus();
  EXPECT_EQ(Updates, 2);
  EXPECT_EQ(field("Name")->AsString(), "Smitha") << "the handler wrote instead";
  DataSet.Cancel();
}

TEST_F(DBEditEhTest, ACharacterTheFieldRefusesBeepsUnboundItIsTaken) {
  auto* E = edit("ID");
  E->SetFocus();
  test::Key(VK_END);
  test::Type("x");
  EXPECT_EQ(E->Text(), "1");
  EXPECT_EQ(Beeps.Count(), 1);
  DataSet.Cancel();

  auto* Free = make<TDBEditEh>(Bounds(10, 40, 200, 21));
  Free->SetFocus();
  test::Type("x");
  EXPECT_EQ(Free->Text(), "x");
  EXPECT_EQ(Beeps.Count(), 1);
}

TEST_F(DBEditEhTest, EscRestoresTheFieldAndASecondEscGoesToTheForm) {
  auto* Cancel = make<TButton>(Bounds(200, 250, 75, 25));
  Cancel->SetCancel(true);
  int Cancels = 0;
  Cancel->OnClick = [&](TObject*) { ++Cancels; };
  auto* E = edit("Name");
  E->SetFocus();
  test::Key(VK_END);
  test::Type("zz");
  test::Key(VK_ESCAPE);
  EXPECT_EQ(E->Text(), "Smith");
  EXPECT_EQ(E->SelLength(), 5) << "all selected";
  EXPECT_EQ(Cancels, 0);
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Cancels, 1) << "nothing modified: the key is not wanted";
  DataSet.Cancel();
}

TEST_F(DBEditEhTest, CtrlASelectsAllAndAMaskedEditLetsItPass) {
  auto* E = edit("Name");
  E->SetFocus();
  test::Key(VK_HOME);
  test::Key('A', {ssCtrl});
  EXPECT_EQ(E->SelLength(), 5);
  auto* Masked = make<TDBEditEh>(Bounds(10, 40, 200, 21));
  Masked->SetEditMask("000;1;_");
  Masked->SetFocus();
  Masked->Perform(WM_CHAR, 1, 0);
  EXPECT_EQ(Masked->EditText(), "___") << "#1 passes the masked typing by";
}

TEST_F(DBEditEhTest, ARejectedTextKeepsTheFocusAndRaisesWithoutOnExit) {
  auto* E = edit("ID");
  int Exits = 0;
  E->OnExit = [&](TObject*) { ++Exits; };
  E->SetFocus();
  E->SelectAll();
  test::Type("12");
  field("ID")->SetOnSetText([](TField*, const String&) { throw EDatabaseError(String("refused")); });
  EXPECT_THROW(Ok->SetFocus(), EDatabaseError);
  EXPECT_TRUE(E->Focused());
  EXPECT_EQ(E->Text(), "12");
  EXPECT_EQ(E->SelLength(), 2);
  EXPECT_EQ(Exits, 0);
  field("ID")->SetOnSetText({});
  DataSet.Cancel();
}

TEST_F(DBEditEhTest, ASetTextThatFailsShowsTheFieldAgainAndRaises) {
  auto* E = edit("ID");
  EXPECT_THROW(E->SetText("not a number"), EDatabaseError);
  EXPECT_EQ(field("ID")->AsInteger(), 1);
  EXPECT_EQ(E->Text(), "1");
  DataSet.Cancel();
}

TEST_F(DBEditEhTest, SetTextWithoutDataSourceOrDatasetShowsAndWritesNothing) {
  // Used to put a missing dataset into edit state: a null dereference.
  auto* NoSource = make<TDBEditEh>(Bounds(10, 40, 200, 21));
  NoSource->SetDataField("Name");
  NoSource->SetText("shown");
  EXPECT_EQ(NoSource->Text(), "shown");
  TDataSource Empty(nullptr);
  auto* NoDataSet = edit("Name");
  NoDataSet->SetDataSource(&Empty);
  NoDataSet->SetValue(Variant(String("also")));
  EXPECT_EQ(NoDataSet->Text(), "also");
  EXPECT_EQ(field("Name")->AsString(), "Smith");
  NoDataSet->SetDataSource(nullptr);
}

TEST_F(DBEditEhTest, PasteJoinsLinesInAnAutoSizeEditAndStopsAtMaxLength) {
  auto* E = edit("", /*Bound=*/false);
  E->SetAutoSize(true);
  E->SetFocus();
  Clipboard()->SetAsText("ab\r\ncd\r\n");
  E->PasteFromClipboard();
  EXPECT_EQ(E->Text(), "ab cd");

  E->SetText("xyz");
  E->SetMaxLength(5);
  E->SetSelStart(3);
  Clipboard()->SetAsText("12\r\n34");
  E->PasteFromClipboard();
  EXPECT_EQ(E->Text(), "xyz12");

  E->SetText("xyz");
  E->SetSelStart(3);
  Clipboard()->SetAsText(String("1") + QChar(0xD83D) + QChar(0xDE00) + "\r\n");
  E->PasteFromClipboard();
  EXPECT_EQ(E->Text(), "xyz1") << "a surrogate pair is never split";
}

TEST_F(DBEditEhTest, DialogCodesAndCharactersFollowWantTabsAndWantReturns) {
  auto* E = edit("", /*Bound=*/false);
  const LRESULT Base = DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS;
  EXPECT_EQ(E->Perform(WM_GETDLGCODE, 0, 0), Base);
  E->SetWantTabs(true);
  E->SetWantReturns(true);
  EXPECT_EQ(E->Perform(WM_GETDLGCODE, 0, 0), Base | DLGC_WANTTAB | DLGC_WANTALLKEYS);
  E->SetWantTabs(false);
  E->SetWantReturns(false);
  E->SetFocus();
  for (ushort C : {ushort(13), ushort(9), ushort(10)}) E->Perform(WM_CHAR, C, 0);
  EXPECT_EQ(E->Text(), "");
}

TEST_F(DBEditEhTest, AFreedImageListLeavesTheButtonsImages) {
  auto* E = edit("", false);
  auto* List = new TImageList(Form);
  E->EditButton()->Images()->SetHotImages(List);
  E->EditButtons()->Add()->Images()->SetNormalImages(List);
  List->Free();
  EXPECT_EQ(E->EditButton()->Images()->HotImages(), nullptr);
  EXPECT_EQ(E->EditButtons()->EditButton(0)->Images()->NormalImages(), nullptr);
}

TEST_F(DBEditEhTest, AFreedDataSourceDetachesAndDestructionDetachesFirst) {
  auto* Own = new TDataSource(Form);
  Own->SetDataSet(&DataSet);
  auto* E = edit("Name", false);
  E->SetDataSource(Own);
  EXPECT_EQ(E->Text(), "Smith");
  Own->Free();
  EXPECT_EQ(E->DataSource(), nullptr);
  E->SetDataSource(&Source);
  E->Free();
  EXPECT_EQ(DataSet.State(), dsBrowse) << "the source lived on without the link";
}

// ---------------------------------------------------------------------------
// in place

class TTestHolder : public TWinControl, public IInplaceEditHolderEh {
public:
  explicit TTestHolder(TComponent* AOwner) : TWinControl(AOwner) {}
  bool InplaceEditCanModify(TControl*) override { return CanModify; }
  void GetMouseDownInfo(TPoint& Pos, Cardinal& Time) override {
    Pos = DownPos;
    Time = DownTime;
  }
  void InplaceEditWndProc(TControl*, TMessage& Message) override {
    if (Message.Msg == SwallowedMsg) Message.Result = 1;
    if (Message.Msg == CM_CANCELMODE) CancelModeFrom = Message.LParam;
  }
  void InplaceEditKeyDown(TControl*, Word& Key, TShiftState) override {
    if (Key == ZeroedKey) Key = 0;
  }
  void InplaceEditKeyPress(TControl*, Char&) override {}
  void InplaceEditKeyUp(TControl*, Word&, TShiftState) override {}

  bool CanModify = true;
  TPoint DownPos;
  Cardinal DownTime = 0;
  UINT SwallowedMsg = 0;
  Word ZeroedKey = 0;
  LPARAM CancelModeFrom = 0;
};

TEST_F(DBEditEhTest, AHolderWithoutTheInterfaceIsRefused) {
  auto* E = edit("", false);
  auto* Plain = make<TWinControl>(Bounds(0, 0, 10, 10));
  EXPECT_RAISES(E->SetInplaceEditHolder(Plain), Exception,
                "InplaceEditHolder have to support IInplaceEditHolderEh interface");
  EXPECT_FALSE(E->InplaceMode());
}

TEST_F(DBEditEhTest, InPlaceTheHolderSeesMessagesAndKeysFirst) {
  auto* Holder = make<TTestHolder>(Bounds(0, 50, 300, 150));
  auto* E = new TDBEditEh(Form);
  E->SetParent(Holder);
  E->SetInplaceEditHolder(Holder);
  ASSERT_TRUE(E->InplaceMode());
  Form->Show();

  E->Move(TRect{});
  EXPECT_FALSE(E->Visible()) << "an empty rectangle hides";
  E->Move(Bounds(10, 10, 100, 20));
  EXPECT_TRUE(E->Visible());
  EXPECT_EQ(Holder->CancelModeFrom, LPARAM(Holder));

  EXPECT_FALSE(E->TCustomEdit::ReadOnly()) << "the holder lifts read-only";
  EXPECT_EQ(E->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1) << "Enter is wanted";

  E->SetFocus();
  test::Type("abc");
  test::Key(VK_HOME);
  Holder->ZeroedKey = VK_DELETE;
  test::Key(VK_DELETE);
  EXPECT_EQ(E->Text(), "abc") << "a key the holder zeroes goes no further";
  Holder->SwallowedMsg = WM_CHAR;
  E->Perform(WM_CHAR, 'w', 0);
  EXPECT_EQ(E->Text(), "abc") << "handled by the holder";
  Holder->SwallowedMsg = 0;

  int DoubleClicks = 0;
  E->OnDblClick = [&](TObject*) { ++DoubleClicks; };
  Holder->DownPos = E->ClientToScreen({5, 5});
  Holder->DownTime = Cardinal(GetMessageTimeEh());
  test::MouseDown(E, {5, 5});
  test::MouseUp(E, {5, 5});
  EXPECT_EQ(DoubleClicks, 1) << "the click that opened the editor and this one";

  ASSERT_TRUE(E->Focused());
  E->Hide();
  EXPECT_FALSE(E->Visible());
  EXPECT_TRUE(Holder->Focused()) << "the holder takes the focus";
}

// ---------------------------------------------------------------------------
// streaming


TEST_F(DBEditEhTest, AFormWithTheEditRoundTripsThroughTheComponentStream) {
  auto* E = make<TDBEditEh>(Bounds(10, 10, 200, 21));
  E->SetName("Edit1");
  E->SetEditMask("!99/99/9999;1;_");
  E->SetText("01022026");
  E->EditButtons()->Add()->SetHint("more");
  E->EditButton()->SetStyle(ebsEllipsisEh);
  const String Text = ComponentToTextEh(E);
  E->SetName("Original");
  EXPECT_TRUE(Text.contains("EditMask = '!99/99/9999;1;_'")) << Text.toStdString();
  EXPECT_TRUE(Text.contains("Text = '01/02/2026'")) << Text.toStdString();
  EXPECT_TRUE(Text.contains("Value = '01/02/2026'")) << Text.toStdString();
  auto* Copy = static_cast<TDBEditEh*>(TextToComponentEh(Text, Form));
  EXPECT_EQ(Copy->EditMask(), "!99/99/9999;1;_");
  EXPECT_EQ(Copy->Text(), "01/02/2026");
  ASSERT_EQ(Copy->EditButtons()->Count(), 1);
  EXPECT_EQ(Copy->EditButtons()->EditButton(0)->Hint(), "more");
  EXPECT_EQ(Copy->EditButton()->Style(), ebsEllipsisEh);

  auto* Plain = make<TDBEditEh>(Bounds(10, 40, 200, 21));
  Plain->SetName("Edit2");
  EXPECT_FALSE(ComponentToTextEh(Plain).contains("EditMask")) << "not set on the control";
}

TEST_F(DBEditEhTest, TheCompanionsArePublishedAtTheirDefaultsAndRoundTrip) {
  auto* E = make<TDBEditEh>(Bounds(10, 10, 200, 21));
  E->SetName("Edit1");
  E->SetText("");  // naming it captioned it
  ExpectPublishedOnceAtDefaults(E, {"ShowHint", "DynProps", "MRUList", "PasswordChar", "Images", "ControlLabel",
                                    "ControlLabelLocation", "EmptyDataInfo"});
  ExpectPublishedOnceAtDefaults(E->MRUList(), {"Active", "AutoAdd", "CancelIfKeyInQueue", "CaseSensitive", "Items",
                                                "Limit", "ListSourceKind", "Rows", "Width"});
  EXPECT_FALSE(ComponentToTextEh(E).contains("Value =")) << "an empty unbound edit has no value to store";
  EXPECT_FALSE(ComponentToTextEh(E).contains("MRUList.")) << "an untouched list has nothing to store";
  E->SetShowHint(true);
  E->SetPasswordChar(u'*');
  E->EmptyDataInfo()->SetText("Search");
  E->ControlLabel()->SetVisible(true);
  E->ControlLabel()->SetCaption("Find");
  E->ControlLabelLocation()->SetPosition(lpLeftCenterEh);
  TMRUListEh* List = E->MRUList();
  List->SetActive(true);
  List->SetAutoAdd(false);
  List->SetCancelIfKeyInQueue(false);
  List->SetCaseSensitive(true);
  List->Items()->Add("abc");
  List->Items()->Add("xyz");
  List->SetLimit(5);
  List->SetListSourceKind(lskDataSetFieldValuesEh);
  List->SetRows(3);
  List->SetWidth(150);
  const String Text = ComponentToTextEh(E);
  E->SetName("Original");
  auto* Copy = static_cast<TDBEditEh*>(TextToComponentEh(Text, Form));
  Copy->SetParent(Form);
  EXPECT_TRUE(Copy->ShowHint());
  EXPECT_EQ(Copy->PasswordChar(), u'*');
  EXPECT_EQ(Copy->EmptyDataInfo()->Text(), "Search");
  EXPECT_TRUE(Copy->ControlLabel()->Visible());
  EXPECT_EQ(Copy->ControlLabel()->Caption(), "Find");
  EXPECT_EQ(Copy->ControlLabelLocation()->Position(), lpLeftCenterEh);
  EXPECT_EQ(Copy->ControlLabel()->Parent(), Form);
  TMRUListEh* Read = Copy->MRUList();
  EXPECT_TRUE(Read->Active());
  EXPECT_FALSE(Read->AutoAdd());
  EXPECT_FALSE(Read->CancelIfKeyInQueue());
  EXPECT_TRUE(Read->CaseSensitive());
  EXPECT_EQ(Read->Items()->Text(), List->Items()->Text());
  EXPECT_EQ(Read->Limit(), 5);
  EXPECT_EQ(Read->ListSourceKind(), lskDataSetFieldValuesEh);
  EXPECT_EQ(Read->Rows(), 3);
  EXPECT_EQ(Read->Width(), 150);
}

}  // namespace
