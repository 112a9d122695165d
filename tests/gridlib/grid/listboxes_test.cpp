#include "gridlib/grid/listboxes.h"

#include "gridlib/base/textsearch.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "tests/gridlib/grid/gridfixture.h"

namespace {

using namespace gdi;

// Fills its row with a colour of its own, so a test sees which object drew.
class TColorItem : public TCustomListboxItemEh {
public:
  explicit TColorItem(TColor AColor) : Color(AColor) {}
  void DrawItem(TCustomListboxEh* Listbox, Integer, const TRect& ARect, TGridDrawState) override {
    Listbox->Canvas()->Brush()->SetColor(Color);
    Listbox->Canvas()->FillRect(ARect);
  }
  TColor Color;
};

// The list at 200 x 100 with rows of 20.
class ListboxTest : public GridFixtureOf<TCustomListboxEh> {
protected:
  void SetUp() override {
    GridFixtureOf<TCustomListboxEh>::SetUp();
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->SetItemHeight(20);
    // The case-insensitive search subsystem 11 installs later.
    Previous = SetFindSubstringFuncEh(&FindSubstringEh);
  }
  void TearDown() override {
    SetFindSubstringFuncEh(Previous);
    GridFixtureOf<TCustomListboxEh>::TearDown();
  }
  void fill(std::initializer_list<const char*> Texts) {
    for (const char* T : Texts) Grid->Items()->Add(QString::fromUtf8(T));
  }
  QStringList visible() {
    QStringList Result;
    for (Integer I = 0; I < Grid->VisibleItems()->Count(); ++I) Result << Grid->VisibleItems()->Strings(I);
    return Result;
  }
  void show() {
    showGrid(200, 100);
    test::Activate(Form);
    Grid->SetFocus();
  }
  // Pixels of Color inside row Row.
  int countIn(Integer Row, TColor Color) {
    int N = 0;
    for (int Y = Row * 20; Y < Row * 20 + 20; ++Y)
      for (int X = 0; X < 190; ++X) N += pixel(X, Y) == Color;
    return N;
  }

  TFindSubstringFuncEh Previous = nullptr;
};

TEST_F(ListboxTest, FiltersPickTheVisibleRows) {
  fill({"apple", "Banana", "grape"});
  struct Case {
    const char* Name;
    const char* Filter;
    TLSAutoFilterTypeEh Type;
    bool CaseInsensitive;
    QStringList Visible;
  } Cases[] = {
      {"begins-with, any case", "AP", lsftBeginsWithEh, true, {"apple"}},
      {"contains, any case", "AP", lsftContainsEh, true, {"apple", "grape"}},
      {"contains, exact case", "an", lsftContainsEh, false, {"Banana"}},
      {"begins-with, exact case", "AP", lsftBeginsWithEh, false, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Grid->ApplyFilter(C.Filter, C.Type, C.CaseInsensitive);
    EXPECT_EQ(visible(), C.Visible);
    EXPECT_EQ(Grid->RowCount(), std::max<Integer>(C.Visible.size(), 1));
  }
  Grid->ApplyFilter("an", lsftContainsEh, false);
  EXPECT_EQ(Grid->VisibleIndexToDataIndex(0), 1);
  EXPECT_EQ(Grid->DataIndexToVisibleIndex(1), 0);
  EXPECT_EQ(Grid->DataIndexToVisibleIndex(0), -1);
  EXPECT_EQ(Grid->Items()->Count(), 3) << "filtering never touches the items";
}

TEST_F(ListboxTest, TheSelectionThroughFiltering) {
  fill({"apple", "Banana", "grape"});
  show();
  EXPECT_EQ(Grid->ItemIndex(), -1) << "nothing is selected at first";
  Grid->SetItemIndex(2);
  Grid->ApplyFilter("AP", lsftContainsEh, true);
  EXPECT_EQ(Grid->ItemIndex(), 2) << "grape stays selected";
  EXPECT_EQ(Grid->ItemVisibleIndex(), 1) << "on its new row";
  Grid->ApplyFilter("an", lsftContainsEh, false);
  EXPECT_EQ(Grid->ItemIndex(), -1);
  Grid->ClearFilter();
  EXPECT_EQ(Grid->ItemIndex(), -1) << "clearing does not restore it";
  EXPECT_EQ(visible().size(), 3);
}

TEST_F(ListboxTest, DownSelectsTheFirstItemThenMoves) {
  fill({"apple", "Banana", "grape"});
  show();
  test::Key(VK_DOWN);
  EXPECT_EQ(Grid->ItemIndex(), 0);
  test::Key(VK_DOWN);
  EXPECT_EQ(Grid->ItemIndex(), 1);
}

TEST_F(ListboxTest, AnEmptyListShowsOneEmptyRow) {
  show();
  EXPECT_EQ(Grid->RowCount(), 1);
  test::Key(VK_DOWN);
  EXPECT_EQ(Grid->ItemIndex(), -1);
  Grid->Repaint();
  EXPECT_EQ(pixel(10, 10), ColorToRGB(clWindow));
}

TEST_F(ListboxTest, CountIsSetOnlyInVirtualMode) {
  EXPECT_THROW(
      {
        try {
          Grid->SetCount(5);
        } catch (const Exception& E) {
          EXPECT_EQ(E.Message, "Can't assign Count when list is not virtual");
          throw;
        }
      },
      Exception);
  EXPECT_EQ(Grid->Count(), 0);
  Grid->SetVirtualItems(true);
  Grid->SetCount(5);
  EXPECT_EQ(Grid->Count(), 5);
}

TEST_F(ListboxTest, ItemObjectsDrawTheirOwnRowsUnderAFilter) {
  const TColor Colors[] = {TColor(0x0000C0), TColor(0x00C000), TColor(0xC00000)};
  TColorItem Items[] = {TColorItem(Colors[0]), TColorItem(Colors[1]), TColorItem(Colors[2])};
  Grid->SetUseItemObjects(true);
  Grid->Items()->AddObject("apple", &Items[0]);
  Grid->Items()->AddObject("Banana", &Items[1]);
  Grid->Items()->AddObject("grape", &Items[2]);
  show();
  Grid->ApplyFilter("AP", lsftContainsEh, true);
  Grid->Repaint();
  EXPECT_EQ(pixel(100, 10), ColorToRGB(Colors[0]));
  EXPECT_EQ(pixel(100, 30), ColorToRGB(Colors[2]));
}

TEST_F(ListboxTest, MatchesAreHighlightedWhereTheTextIsDrawn) {
  fill({"apple", "Banana", "grape"});
  show();
  Grid->ApplyFilter("AP", lsftContainsEh, true);
  Grid->Repaint();
  EXPECT_GT(countIn(0, clYellow), 0);
  EXPECT_GT(countIn(1, clYellow), 0);
  // "ap" starts grape's third character: the highlight begins to its right.
  int FirstYellow = -1;
  for (int X = 0; X < 190 && FirstYellow < 0; ++X)
    if (pixel(X, 30) == clYellow) FirstYellow = X;
  EXPECT_GT(FirstYellow, 8);
  Grid->ClearFilter();
  Grid->Repaint();
  EXPECT_EQ(countIn(0, clYellow), 0);
}

TEST_F(ListboxTest, StrictIndexesMapPointsOutsideToTheEnds) {
  fill({"a", "b", "c", "d", "e", "f", "g", "h"});
  show();
  EXPECT_EQ(Grid->StrictVisibleIndexToClient(10, -5), 0);
  EXPECT_EQ(Grid->StrictVisibleIndexToClient(10, 500), 4) << "the last row on screen";
  EXPECT_EQ(Grid->StrictIndexToClient(-3, 30), 1);
}

TEST_F(ListboxTest, ClickingSelectsAndTheColumnFillsTheWidth) {
  fill({"apple", "Banana", "grape"});
  show();
  Grid->SetBounds(0, 0, 180, 100);
  EXPECT_EQ(Grid->ColWidths(0), Grid->GridClientWidth());
  test::Click(Grid, {20, 30});
  EXPECT_EQ(Grid->ItemIndex(), 1);
  test::Click(Grid, {20, 5});
  EXPECT_EQ(Grid->ItemIndex(), 0);
}

}  // namespace
