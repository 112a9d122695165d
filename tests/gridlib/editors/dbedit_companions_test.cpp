#include "gridlib/editors/dbedit.h"

#include "gridlib/base/datasetfeatureshook.h"
#include "gridlib/base/mrulist.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "gridlib/grid/popuplistboxes.h"
#include "platform/db/dataset.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/windowing/hints.h"
#include "tests/gridlib/editors/editorsfixture.h"

using namespace gdi;

namespace {

// An edit whose value is a number, as the number and date edits' are.
class TNumberValueEdit : public TDBEditEh {
public:
  explicit TNumberValueEdit(TComponent* AOwner) : TDBEditEh(AOwner) {}
  Variant GetVariantValue() override { return Number; }
  Variant Number;
};

// Fills a field's distinct values as the dataset features of the grid
// services would.
class TFeaturesStandIn : public IDatasetFeaturesEh {
public:
  void FillFieldUniqueValues(TField* Field, TStrings* Values) override {
    TDataSet* Data = Field->DataSet();
    Values->Clear();
    for (Data->First(); !Data->Eof(); Data->Next())
      if (Values->IndexOf(Field->AsString()) < 0) Values->Add(Field->AsString());
  }
  TMTDataFieldEh* CreateAndAsignMTDateField(TMTDataStructEh*, TField*) override { return nullptr; }
  Integer WriteDataSetToMemTable(TDataSet*, TCustomMemTableEh*, Integer, TLoadMode, bool) override { return 0; }
};
TFeaturesStandIn StandIn;
IDatasetFeaturesEh* findStandIn(TDataSet*) { return &StandIn; }

class DBEditEhCompanionsTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    for (const char* N : {"Smith", "Jones", "Smith", "Brown"}) DataSet.AppendRow({String(N)});
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    Other = make<TDBEditEh>(Bounds(10, 200, 100, 21));
  }
  void TearDown() override {
    Form->Free();
    EditorsFixture::TearDown();
  }
  template <class T = TDBEditEh>
  T* edit() {
    auto* E = make<T>(Bounds(10, 10, 200, 21));
    Form->Show();
    return E;
  }
  // An unbound edit with the entries abc and xyz, focused.
  TDBEditEh* listEdit() {
    TDBEditEh* E = edit();
    E->MRUList()->SetActive(true);
    E->MRUList()->Items()->Add("abc");
    E->MRUList()->Items()->Add("xyz");
    E->SetFocus();
    return E;
  }
  TMRUListboxEh* list(TDBEditEh* E) { return static_cast<TMRUListboxEh*>(E->GetMRUListControl()); }
  bool listShown(TDBEditEh* E) { return E->MRUList()->DroppedDown && list(E)->Visible(); }
  LRESULT hintShow(TDBEditEh* E, THintInfo& Info) {
    Info.HintControl = E;
    return E->Perform(CM_HINTSHOW, 0, LPARAM(&Info));
  }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDBEditEh* Other = nullptr;
};

// ---------------------------------------------------------------------------
// image

TEST_F(DBEditEhCompanionsTest, AnImageListWithoutAnIndexReservesTheWidthAndDrawsNothing) {
  TDBEditEh* E = edit();
  E->SetImages(SolidImageListEh(Form, {clRed}));
  EXPECT_EQ(E->EditImage()->DrawWidth(), 20);
  EXPECT_EQ(E->ImageWidth(), 20);
  EXPECT_FALSE(E->EditImage()->Showing());
  TRect R;
  E->CalcEditRect(R);
  EXPECT_EQ(R.Left, 20);
  std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
  EXPECT_EQ(CountPixels(Shot.get(), TRect(2, 2, 22, 19), clRed), 0);
}

TEST_F(DBEditEhCompanionsTest, TheImageFollowsANumericValueRoundedHalfToEven) {
  auto* E = edit<TNumberValueEdit>();
  E->SetImages(SolidImageListEh(Form, {clRed, clLime, clBlue, clYellow}));
  const struct {
    const char* Name;
    Variant Value;
    Integer Index;
  } Cases[] = {{"3", Variant(3), 3},
               {"2.5", Variant(2.5), 2},
               {"3.5", Variant(3.5), 4},
               {"text", Variant(String("3")), -1},
               {"Null", Null(), -1}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    E->Number = C.Value;
    E->UpdateImageIndex();
    EXPECT_EQ(E->EditImage()->ImageIndex(), C.Index);
  }
  E->Number = Variant(3);
  E->SetOnGetImageIndex([](TObject*, Integer& Index) { --Index; });
  EXPECT_EQ(E->EditImage()->ImageIndex(), 2) << "the event has the last word";
  std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
  // Frame 2, image rectangle 20 wide, the 16-pixel image centred in it.
  EXPECT_EQ(PixelAt(Shot.get(), 2 + 10, 2 + 8), ColorToRGB(clBlue));
}

// ---------------------------------------------------------------------------
// placeholder

TEST_F(DBEditEhCompanionsTest, ThePlaceholderShowsOnlyWhileTheEditIsEmpty) {
  TDBEditEh* E = edit();
  TControlEmptyDataInfoEh* P = E->EmptyDataInfo();
  EXPECT_EQ(P->Font()->Color(), clSilver);
  EXPECT_TRUE(P->Font()->Style().Contains(fsItalic));
  EXPECT_FALSE(P->Showing()) << "no text, no colour";
  auto silver = [&] { return CountPixels(test::Snapshot(E).get(), TRect(2, 2, 198, 19), ColorToRGB(clSilver)); };
  EXPECT_EQ(silver(), 0);
  P->SetText("Search");
  EXPECT_TRUE(P->Showing());
  EXPECT_GT(silver(), 0);
  E->SetText("x");
  EXPECT_FALSE(P->Showing());
  EXPECT_EQ(silver(), 0);

  E->SetText("");
  E->SetEditMask("!99/99;1;_");
  EXPECT_TRUE(P->Showing()) << "masked: the empty mask text is empty";
  E->SetText("1212");
  EXPECT_FALSE(P->Showing());
}

TEST_F(DBEditEhCompanionsTest, APlaceholderFontOfItsOwnIsPassedByTheEditsFontChanges) {
  TDBEditEh* E = edit();
  TControlEmptyDataInfoEh* P = E->EmptyDataInfo();
  E->Font()->SetSize(14);
  EXPECT_EQ(P->Font()->Size(), 14) << "following the edit";
  EXPECT_EQ(P->Font()->Color(), clSilver) << "but not its colour";
  TFont Own;
  Own.SetSize(9);
  P->SetFont(&Own);
  EXPECT_FALSE(P->ParentFont());
  E->Font()->SetSize(20);
  EXPECT_EQ(P->Font()->Size(), 9);
}

// ---------------------------------------------------------------------------
// tooltips

TEST_F(DBEditEhCompanionsTest, OnlyAClippedTextShowsAsATooltipInTheEditsFont) {
  TDBEditEh* E = edit();
  E->SetTooltips(true);
  E->SetText("fits");
  THintInfo Fits;
  EXPECT_EQ(hintShow(E, Fits), 1) << "fitting, and ShowHint False: no hint";
  EXPECT_TRUE(Fits.HintStr.isEmpty());

  const String Long = String(60, u'W');
  E->SetText(Long);
  THintInfo Clipped;
  EXPECT_EQ(hintShow(E, Clipped), 0);
  EXPECT_EQ(Clipped.HintStr, Long);
  EXPECT_EQ(Clipped.HintPos, E->ClientToScreen(TPoint{0, E->Height()}));
  EXPECT_EQ(Clipped.HintWindowClass, TToolTipsWindow::StaticClass());
  EXPECT_EQ(Clipped.HintData, E->Font());

  auto* Window = new TToolTipsWindow(Form);
  TFont Big;
  Big.SetSize(20);
  const TRect Small = Window->CalcHintRect(500, "W", nullptr);
  EXPECT_GT(Window->CalcHintRect(500, "W", &Big).Height(), Small.Height()) << "measured in the data font";
}

// ---------------------------------------------------------------------------
// recent entries

TEST_F(DBEditEhCompanionsTest, TypingOpensTheFilteredListUnderTheText) {
  TDBEditEh* E = listEdit();
  test::Type("a");
  ASSERT_TRUE(listShown(E));
  TMRUListboxEh* L = list(E);
  ASSERT_EQ(L->Items()->Count(), 1);
  EXPECT_EQ(L->Items()->Strings(0), "abc");
  EXPECT_EQ(L->ItemIndex(), -1);
  TRect R;
  E->CalcEditRect(R);
  EXPECT_EQ(L->Width(), R.Width());
  EXPECT_EQ(L->RowCountFitting(), 1);
  EXPECT_EQ(L->Top(), E->ClientToScreen(R.BottomRight()).Y);
  EXPECT_EQ(L->Left(), E->ClientToScreen(R.TopLeft()).X);

  test::Type("q");
  EXPECT_FALSE(listShown(E)) << "nothing left to show";
}

TEST_F(DBEditEhCompanionsTest, EscClosesKeepingTheTextEnterTakesTheSelectedEntry) {
  TDBEditEh* E = listEdit();
  test::Type("a");
  test::Key(VK_ESCAPE);
  EXPECT_FALSE(listShown(E));
  EXPECT_EQ(E->Text(), "a");

  test::Type("b");
  ASSERT_TRUE(listShown(E));
  EXPECT_EQ(E->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 0) << "nothing selected yet";
  test::Key(VK_DOWN);
  EXPECT_EQ(list(E)->ItemIndex(), 0) << "Down moves the selection";
  EXPECT_EQ(E->Text(), "ab") << "the edit did not take the key";
  EXPECT_NE(E->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 0);
  EXPECT_NE(E->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 0);
  test::Key(VK_RETURN);
  EXPECT_FALSE(listShown(E));
  EXPECT_EQ(E->Text(), "abc");
  EXPECT_TRUE(VarIsNull(E->DataLink()->DataIndependentValue)) << "written on leaving only";
  Other->SetFocus();
  EXPECT_EQ(E->DataLink()->DataIndependentValue.AsString(), "abc");
}

TEST_F(DBEditEhCompanionsTest, ABackspaceThatEmptiesTheTextOpensTheWholeList) {
  TDBEditEh* E = listEdit();
  test::Type("x");
  test::Key(VK_ESCAPE);
  ASSERT_FALSE(listShown(E));
  test::Key(VK_BACK);
  EXPECT_TRUE(E->Text().isEmpty());
  ASSERT_TRUE(listShown(E));
  EXPECT_EQ(list(E)->Items()->Count(), 2);
}

TEST_F(DBEditEhCompanionsTest, ATypedCharacterIsTextEvenWithANavigationKeysCode) {
  TDBEditEh* E = listEdit();
  E->MRUList()->Items()->Add("a(b");
  test::Type("a(");
  EXPECT_EQ(E->Text(), "a(") << "'(' has VK_DOWN's code";
  EXPECT_TRUE(listShown(E));
}

TEST_F(DBEditEhCompanionsTest, ASizeChosenWithTheGripIsKeptForTheNextOpening) {
  TDBEditEh* E = listEdit();
  E->MRUList()->Items()->Add("abd");
  E->MRUList()->Items()->Add("abe");
  test::Type("a");
  TMRUListboxEh* L = list(E);
  ASSERT_EQ(L->RowCountFitting(), 3);
  const Integer Row = L->ItemHeight();
  L->SetBounds(L->Left(), L->Top(), 150, L->Height() - Row);  // as the grip does
  test::Key(VK_ESCAPE);
  EXPECT_EQ(E->MRUList()->Rows(), 2);
  EXPECT_EQ(E->MRUList()->Width(), 150);
  test::Type("b");
  EXPECT_EQ(L->Width(), 150);
  EXPECT_EQ(L->RowCountFitting(), 2);
}

TEST_F(DBEditEhCompanionsTest, TheFocusLeavingOrACancelFromElsewhereClosesTheList) {
  TDBEditEh* E = listEdit();
  test::Type("a");
  E->Perform(CM_CANCELMODE, 0, LPARAM(E));
  EXPECT_TRUE(listShown(E)) << "from the edit itself";
  E->Perform(CM_CANCELMODE, 0, LPARAM(Other));
  EXPECT_FALSE(listShown(E));
  test::Type("b");
  ASSERT_TRUE(listShown(E));
  Other->SetFocus();
  EXPECT_FALSE(listShown(E));
}

TEST_F(DBEditEhCompanionsTest, LeavingAddsTheTextWithAutoAdd) {
  TDBEditEh* E = listEdit();
  test::Type("new");
  Other->SetFocus();
  EXPECT_EQ(E->MRUList()->Items()->IndexOf("new"), 2);
}

TEST_F(DBEditEhCompanionsTest, AutomaticEntriesAreTheFieldsDistinctValuesWithFeaturesInstalled) {
  auto* E = edit();
  E->SetDataSource(&Source);
  E->SetDataField("Name");
  E->MRUList()->SetActive(true);
  E->MRUList()->SetListSourceKind(lskDataSetFieldValuesEh);
  TStringList Values;
  E->FillMRUAutogenItems(E->MRUList(), &Values);
  EXPECT_EQ(Values.Count(), 0) << "no features registered";
  const TFindDatasetFeaturesHookEh Saved = SetFindDatasetFeaturesHookEh(&findStandIn);
  E->FillMRUAutogenItems(E->MRUList(), &Values);
  SetFindDatasetFeaturesHookEh(Saved);
  EXPECT_EQ(Values.CommaText(), "Smith,Jones,Brown");
}

TEST_F(DBEditEhCompanionsTest, FilterMRUItemComparesTheTextsHeadByCase) {
  TDBEditEh* E = edit();
  E->SetText("ab");
  const struct {
    const char* Item;
    bool CaseSensitive, Accept;
  } Cases[] = {{"abc", false, true}, {"ABC", false, true}, {"ABC", true, false}, {"xab", false, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Item);
    E->MRUList()->SetCaseSensitive(C.CaseSensitive);
    bool Accept = false;
    E->FilterMRUItem(C.Item, Accept);
    EXPECT_EQ(Accept, C.Accept);
  }
}

}  // namespace
