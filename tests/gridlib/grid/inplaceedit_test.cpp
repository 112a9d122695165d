#include "gridlib/grid/inplaceedit.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/timers.h"
#include "tests/gridlib/grid/gridfixture.h"

namespace {

using namespace gdi;

// Cells edit "c<col>"; writes are logged and may raise; digits may be
// refused; a read-only cell answers the limit -1.
class TEditGrid : public TCustomGridEh {
public:
  using TCustomGridEh::TCustomGridEh;
  String GetEditText(Integer ACol, Integer) override { return QStringLiteral("c%1").arg(ACol); }
  Integer GetEditLimit() override { return ReadOnly ? -1 : 0; }
  bool EditorCanAcceptChar(Char Ch) override { return !(RefuseDigits && Ch.isDigit()); }
  void SetEditText(Integer ACol, Integer, const String& Value) override {
    Written.push_back(QStringLiteral("%1=%2").arg(ACol).arg(Value));
    if (WriteRaises) throw Exception(QStringLiteral("write"));
  }
  QStringList Written;
  bool ReadOnly = false;
  bool RefuseDigits = false;
  bool WriteRaises = false;
};

class InplaceEditTest : public GridFixtureOf<TEditGrid> {
protected:
  void SetUp() override {
    GridFixtureOf<TEditGrid>::SetUp();
    Grid->HorzScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->VertScrollBar()->SetVisibleMode(sbNeverShowEh);
    Grid->SetOptions(Grid->Options() + TGridOptionsEh{goEditingEh, goTabsEh});
    showGrid(300, 120);
    test::Activate(Form);
    Grid->SetFocus();
  }
  TInplaceEdit* edit() {
    Grid->ShowEditor();
    return Grid->InplaceEditor();
  }
  bool allSelected(TInplaceEdit* E) { return E->SelStart() == 0 && E->SelLength() == E->GetTextLen(); }

  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
};

TEST_F(InplaceEditTest, TheEditorSitsOverTheCellWithTheCellsText) {
  TInplaceEdit* E = edit();
  ASSERT_TRUE(E->Visible());
  EXPECT_EQ(E->Text(), "c1");
  EXPECT_TRUE(allSelected(E));
  EXPECT_EQ(E->BoundsRect(), Grid->CellEditRect(1, 1));
  EXPECT_EQ(E->EditCoreControl()->BoundsRect(), TRect(2, 2, E->Width() - 2, E->Height()));
  EXPECT_EQ(Form->ActiveControl(), Grid) << "the grid stays the active control";
}

// Without goAlwaysShowEditorEh the grid's own Enter closes the editor first.
TEST_F(InplaceEditTest, EnterTogglesTheSelection) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goAlwaysShowEditorEh});
  TInplaceEdit* E = edit();
  ASSERT_TRUE(allSelected(E));
  test::Key(VK_RETURN);
  EXPECT_EQ(E->SelLength(), 0);
  EXPECT_EQ(E->CaretIndex(), 0);
  test::Key(VK_RETURN);
  EXPECT_TRUE(allSelected(E));
  EXPECT_TRUE(Grid->EditorMode()) << "the editor took Enter";
}

TEST_F(InplaceEditTest, EnterClosesTheEditorThatDoesNotAlwaysShow) {
  TInplaceEdit* E = edit();
  test::Key(VK_RETURN);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_FALSE(E->Visible());
}

TEST_F(InplaceEditTest, CtrlASelectsAllButCtrlShiftADoesNot) {
  TInplaceEdit* E = edit();
  E->SetSel(1, 0);
  test::Key('A', {ssCtrl, ssShift});
  EXPECT_EQ(E->SelLength(), 0);
  test::Key('A', {ssCtrl});
  EXPECT_TRUE(allSelected(E));
}

TEST_F(InplaceEditTest, AReadOnlyCellDropsEveryChange) {
  Grid->ReadOnly = true;
  TInplaceEdit* E = edit();
  EXPECT_FALSE(Grid->CanEditModify());
  E->SetSel(0, 0);
  test::Key(VK_DELETE);
  test::Key(VK_INSERT, {ssShift});
  test::Type("x");
  test::Key(VK_BACK);
  E->EditCoreControl()->Perform(WM_PASTE, 0, 0);
  E->EditCoreControl()->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(E->Text(), "c1");
  EXPECT_TRUE(Grid->Written.isEmpty());
}

TEST_F(InplaceEditTest, ARefusedCharacterBeepsAndInsertsNothing) {
  Grid->RefuseDigits = true;
  TInplaceEdit* E = edit();
  E->SetSel(2, 0);
  test::TBeepRecorder Beeps;
  test::Type("5");
  EXPECT_EQ(E->Text(), "c1");
  EXPECT_EQ(Beeps.Count(), 1);
  test::Type("x");
  EXPECT_EQ(E->Text(), "c1x");
  EXPECT_EQ(Grid->Written.back(), "1=c1x") << "every keystroke reaches the grid";
}

TEST_F(InplaceEditTest, TheClickThatOpenedTheEditorAndTheNextMakeADoubleClick) {
  Integer DblClicks = 0;
  Grid->OnDblClick = TNotifyEvent([&DblClicks](TObject*) { ++DblClicks; });
  test::Click(Grid, {75, 30});
  ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
  test::Click(Grid->InplaceEditor()->EditCoreControl(), {10, 5});
  EXPECT_EQ(DblClicks, 1);

  Clock.Advance(GetDoubleClickTime() + 1);
  test::Click(Grid->InplaceEditor()->EditCoreControl(), {12, 5});
  EXPECT_EQ(DblClicks, 1) << "the click time is used once";
}

TEST_F(InplaceEditTest, AnotherColumnWritesBackAndReloads) {
  Grid->SetOptions(Grid->Options() + TGridOptionsEh{goAlwaysShowEditorEh});
  TInplaceEdit* E = edit();
  test::Type("zz");
  Grid->Written.clear();
  test::Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Written, QStringList({"1=zz"}));
  EXPECT_TRUE(E->Visible());
  EXPECT_EQ(E->Text(), "c2");
}

TEST_F(InplaceEditTest, TheSameCellOnlyRepositions) {
  TInplaceEdit* E = edit();
  test::Type("zz");
  Grid->SetColWidths(0, 80);
  Grid->UpdateEditor();
  EXPECT_EQ(E->Text(), "zz");
  EXPECT_EQ(E->BoundsRect(), Grid->CellEditRect(1, 1));
}

TEST_F(InplaceEditTest, AnEmptyRectangleHides) {
  TInplaceEdit* E = edit();
  E->Move(TRect());
  EXPECT_FALSE(E->Visible());
}

TEST_F(InplaceEditTest, HideEditForgetsTheCellEvenWhenTheWriteRaises) {
  TInplaceEdit* E = edit();
  Grid->WriteRaises = true;
  EXPECT_THROW(Grid->HideEdit(), Exception);
  EXPECT_FALSE(E->Visible());
  Grid->WriteRaises = false;
  Grid->Written.clear();
  E->SetText("changed");
  Grid->UpdateEditor();
  EXPECT_EQ(E->Text(), "c1") << "the cell was forgotten, so the editor reloads";
}

}  // namespace
