#include "gridlib/base/mrulist.h"

#include "gridlib/base/valuetext.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList Texts(TStrings* Strings) {
  QStringList Result;
  for (Integer I = 0; I < Strings->Count(); ++I) Result << Strings->Strings(I);
  return Result;
}

struct MRUListTest : ::testing::Test {
  TMRUListEh List{nullptr};
  void Fill(std::initializer_list<const char*> Entries) {
    for (const char* E : Entries) List.Add(E);
  }
};

TEST_F(MRUListTest, AddRules) {
  Fill({"alpha", "beta", "gamma"});
  List.Add(" \t ");
  EXPECT_EQ(Texts(List.Items()), QStringList({"alpha", "beta", "gamma"}));
  List.Add("alpha");
  EXPECT_EQ(Texts(List.Items()), QStringList({"beta", "gamma", "alpha"}));
  List.Add("BETA");  // moves the present entry, keeping its text
  EXPECT_EQ(Texts(List.Items()), QStringList({"gamma", "alpha", "beta"}));
  List.SetCaseSensitive(true);
  List.Add("GAMMA");
  EXPECT_EQ(Texts(List.Items()), QStringList({"gamma", "alpha", "beta", "GAMMA"}));
}

TEST_F(MRUListTest, LimitDropsTheOldest) {
  for (int I = 1; I <= 101; ++I) List.Add(QString("e%1").arg(I));
  EXPECT_EQ(List.Items()->Count(), 100);
  EXPECT_EQ(List.Items()->Strings(0), "e2");
  List.SetLimit(0);
  EXPECT_EQ(List.Items()->Count(), 0);
}

TEST_F(MRUListTest, FilterByTheTypedStart) {
  Fill({"Moscow", "minsk", "Omsk"});
  TStringList Filtered;
  Filtered.Add("stale");
  EXPECT_TRUE(List.FilterItemsTo(&Filtered, ""));
  EXPECT_EQ(Filtered.Count(), 3);
  EXPECT_TRUE(List.FilterItemsTo(&Filtered, "m"));
  EXPECT_EQ(Texts(&Filtered), QStringList({"Moscow", "minsk"}));
  List.SetCaseSensitive(true);
  List.FilterItemsTo(&Filtered, "m");
  EXPECT_EQ(Texts(&Filtered), QStringList({"minsk"}));
  List.OnFilterItem = [](TObject*, bool& Accept) { Accept = !Accept; };
  List.FilterItemsTo(&Filtered, "m");
  EXPECT_EQ(Texts(&Filtered), QStringList({"Moscow", "Omsk"}));
}

TEST_F(MRUListTest, PendingKeyStopsTheFiltering) {
  List.SetLimit(300);
  for (int I = 0; I < 250; ++I) List.Add(QString("e%1").arg(I));
  gdi::PostMessage(0, gdi::WM_KEYDOWN, 'A', 0);
  TStringList Filtered;
  EXPECT_FALSE(List.FilterItemsTo(&Filtered, ""));
  EXPECT_EQ(Filtered.Count(), 1);  // stopped after the first entry
  List.SetCancelIfKeyInQueue(false);
  EXPECT_TRUE(List.FilterItemsTo(&Filtered, ""));
  EXPECT_EQ(Filtered.Count(), 250);
  test::ResetUi();
}

TEST_F(MRUListTest, OwnerFilledListIsTheActiveOne) {
  List.SetListSourceKind(lskDataSetFieldValuesEh);
  List.OnFillAutogenItems = [](TObject*, TStrings* Items) { Items->Add("from data"); };
  List.PrepareActiveItems();
  List.Add("typed");
  EXPECT_EQ(Texts(List.ActiveItems()), QStringList({"from data"}));
  EXPECT_EQ(Texts(List.Items()), QStringList({"typed"}));
}

TEST(SpecRowEh, CellsSplitting) {
  struct Case {
    const char* Text;
    QStringList Cells;
  } Cases[] = {
      {"a;b", {"a", "b"}},
      {"a;", {"a"}},
      {";;", {"", ""}},
      {"a; b", {"a", " b"}},
      {"  \"x;\"\"y\";z", {"x;\"y", "z"}},
  };
  TSpecRowEh Row(nullptr);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    Row.SetCellsText(C.Text);
    QStringList Got;
    for (int I = 0; I < C.Cells.size(); ++I) Got << Row.GetCellText(I);
    EXPECT_EQ(Got, C.Cells);
    EXPECT_EQ(Row.GetCellText(int(C.Cells.size())), "");
  }
}

TEST(SpecRowEh, FontFollowsTheDefaultUntilAssigned) {
  TFont OwnerFont;
  OwnerFont.SetSize(14);
  struct TRow : TSpecRowEh {
    TFont* Owner;
    explicit TRow(TFont* AOwner) : TSpecRowEh(nullptr), Owner(AOwner) {}
    TFont* DefaultFont() override { return Owner; }
  } Row(&OwnerFont);
  int Changes = 0;
  Row.OnChanged = [&](TObject*) { ++Changes; };
  EXPECT_EQ(Row.Font()->Size(), 14);
  EXPECT_FALSE(Row.FontAssigned());
  EXPECT_EQ(Changes, 0);
  TFont Mine;
  Mine.SetSize(20);
  Row.SetFont(&Mine);
  EXPECT_TRUE(Row.FontAssigned());
  EXPECT_EQ(Changes, 1);
  OwnerFont.SetSize(8);
  EXPECT_EQ(Row.Font()->Size(), 20);
}

TEST(SpecRowEh, LocateKeyNeedsAVisibleRow) {
  TSpecRowEh Row(nullptr);
  Row.SetValue(5);
  EXPECT_FALSE(Row.LocateKey(5));
  Row.SetVisible(true);
  EXPECT_TRUE(Row.LocateKey(5));
  EXPECT_FALSE(Row.LocateKey(6));
}

// A component publishing a special row, as a lookup list does.
class TSpecRowHolder : public TComponent {
  RTL_CLASS(TSpecRowHolder, TComponent)
public:
  explicit TSpecRowHolder(TComponent* AOwner) : TComponent(AOwner), FRow(new TSpecRowEh(this)) {}
  ~TSpecRowHolder() override { FRow->Free(); }
  static void DescribeProperties(TPropertyTable& Props) {
    Props.Add("SpecRow", &TSpecRowHolder::SpecRow, &TSpecRowHolder::SetSpecRow);
  }
  TSpecRowEh* SpecRow() const { return FRow; }
  void SetSpecRow(TSpecRowEh* Value) { FRow->Assign(Value); }

private:
  TSpecRowEh* FRow;
};

String HolderText(TSpecRowHolder* Holder) {
  TMemoryStream Binary;
  Binary.WriteComponent(Holder);
  Binary.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&Binary, &Text);
  return Text.DataString();
}

TEST(SpecRowEh, PublishedPropertiesRoundTripThroughTheComponentStream) {
  struct Case {
    const char* Name;
    std::function<void(TSpecRowEh*)> Change;
    const char* Written;  // a line of the text form; nullptr: nothing of the row is written
  } Cases[] = {
      {"untouched", [](TSpecRowEh*) {}, nullptr},
      {"cells", [](TSpecRowEh* R) { R->SetCellsText("none;-"); }, "SpecRow.CellsText = 'none;-'"},
      {"colour", [](TSpecRowEh* R) { R->SetColor(clRed); }, "SpecRow.Color = 255"},
      {"font", [](TSpecRowEh* R) { R->Font()->SetSize(14); }, "SpecRow.Font.Height = -19"},
      {"shortcut", [](TSpecRowEh* R) { R->SetShortCut(0); }, "SpecRow.ShortCut = 0"},
      {"not shown when outside the keys", [](TSpecRowEh* R) { R->SetShowIfNotInKeyList(false); },
       "SpecRow.ShowIfNotInKeyList = False"},
      {"value", [](TSpecRowEh* R) { R->SetValue(-1); }, "SpecRow.Value = -1"},
      {"visible", [](TSpecRowEh* R) { R->SetVisible(true); }, "SpecRow.Visible = True"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSpecRowHolder Holder(nullptr);
    TSpecRowEh* Row = Holder.SpecRow();
    C.Change(Row);
    const String Text = HolderText(&Holder);
    if (C.Written)
      EXPECT_TRUE(Text.contains(C.Written)) << Text.toStdString();
    else
      EXPECT_FALSE(Text.contains("SpecRow.")) << Text.toStdString();

    TSpecRowHolder Copy(nullptr);
    TStringStream Source(Text);
    TMemoryStream Binary;
    ObjectTextToBinary(&Source, &Binary);
    Binary.SetPosition(0);
    Binary.ReadComponent(&Copy);
    TSpecRowEh* Read = Copy.SpecRow();
    EXPECT_EQ(Read->CellsText(), Row->CellsText());
    EXPECT_EQ(Read->ColorAssigned(), Row->ColorAssigned());
    EXPECT_EQ(Read->Color(), Row->Color());
    EXPECT_EQ(Read->FontAssigned(), Row->FontAssigned());
    EXPECT_EQ(Read->Font()->Size(), Row->Font()->Size());
    EXPECT_EQ(Read->ShortCut(), Row->ShortCut());
    EXPECT_EQ(Read->ShowIfNotInKeyList(), Row->ShowIfNotInKeyList());
    EXPECT_TRUE(VariantsEqualEh(Read->Value(), Row->Value()));
    EXPECT_EQ(Read->Visible(), Row->Visible());
  }
}

}  // namespace
