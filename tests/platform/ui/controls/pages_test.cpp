#include "platform/ui/controls/pages.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/focus.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

using namespace gdi;

namespace {

class PagesTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Pages = new TPageControl(Form);
    Pages->SetName("pcMain");
    Pages->SetParent(Form);
    Pages->SetBounds(10, 10, 300, 200);
    for (const char* Caption : {"&General", "Files", "Dates"}) Sheets.push_back(addSheet(Caption));
    Pages->OnChanging = [this](TObject*, bool& Allow) {
      Log.append("changing " + Pages->ActivePage()->Caption());
      Allow = AllowChange;
    };
    Pages->OnChange = [this](TObject*) { Log.append("change " + Pages->ActivePage()->Caption()); };
  }

  TTabSheet* addSheet(const String& Caption, TPageControl* To = nullptr) {
    auto* Sheet = new TTabSheet(Form);
    Sheet->SetPageControl(To ? To : Pages);
    Sheet->SetCaption(Caption);
    return Sheet;
  }
  // A focusable control on Parent.
  TCustomControl* addField(TWinControl* Parent, TRect Bounds) {
    auto* C = make<TCustomControl>(Bounds, Parent);
    C->SetTabStop(true);
    return C;
  }
  QString shown() const {
    QString S;
    for (TTabSheet* Sheet : Sheets) S += Sheet->Visible() ? u'x' : u'.';
    return S;
  }
  TPoint tabCentre(Integer Index) {
    const TRect R = Pages->TabRect(Index);
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }

  TPageControl* Pages = nullptr;
  std::vector<TTabSheet*> Sheets;
  QStringList Log;
  bool AllowChange = true;
};

TEST_F(PagesTest, TheFirstPageIsActiveAndCodeChangesPagesSilently) {
  ASSERT_EQ(Pages->PageCount(), 3);
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  EXPECT_EQ(shown(), "x..");
  for (Integer I = 0; I < 3; ++I) {
    EXPECT_EQ(Pages->Pages(I), Sheets[size_t(I)]);
    EXPECT_EQ(Sheets[size_t(I)]->PageIndex(), I);
    EXPECT_EQ(Sheets[size_t(I)]->PageControl(), Pages);
  }
  Pages->SetActivePageIndex(2);
  EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
  EXPECT_EQ(shown(), "..x");
  Pages->SetActivePage(Sheets[1]);
  EXPECT_EQ(Pages->ActivePageIndex(), 1);
  EXPECT_EQ(shown(), ".x.");
  EXPECT_TRUE(Log.isEmpty());

  // Outside the pages: none active.
  Pages->SetActivePageIndex(3);
  EXPECT_EQ(Pages->ActivePage(), nullptr);
  EXPECT_EQ(Pages->ActivePageIndex(), -1);
  EXPECT_EQ(shown(), "...");
  Pages->SetActivePageIndex(0);

  EXPECT_RAISES(Pages->Pages(3), EListError, "List index out of bounds (3)");
  EXPECT_RAISES(Pages->Pages(-1), EListError, "List index out of bounds (-1)");
  auto* Other = new TPageControl(Form);
  Other->SetName("pcOther");
  Other->SetParent(Form);
  TTabSheet* Stranger = addSheet("Stranger", Other);
  Stranger->SetName("tsStranger");
  EXPECT_RAISES(Pages->SetActivePage(Stranger), EInvalidOperation,
                "Tab sheet tsStranger is not in page control pcMain");
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
}

TEST_F(PagesTest, PagesMoveLeaveAndChangeControl) {
  Sheets[2]->SetPageIndex(0);
  EXPECT_EQ(Pages->Pages(0), Sheets[2]);
  EXPECT_EQ(Sheets[0]->PageIndex(), 1);
  Sheets[2]->SetPageIndex(99);  // clamped
  EXPECT_EQ(Sheets[2]->PageIndex(), 2);

  // The active page freed: the page after it takes over; the last one hands
  // back to the one before.
  Pages->SetActivePage(Sheets[1]);
  Sheets[1]->Free();
  Sheets.erase(Sheets.begin() + 1);
  EXPECT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
  EXPECT_TRUE(Sheets[1]->Visible());

  // Moved to another page control: the first page there becomes its active
  // one and leaves this control's list.
  auto* Other = new TPageControl(Form);
  Other->SetParent(Form);
  Sheets[1]->SetParent(Other);
  EXPECT_EQ(Other->ActivePage(), Sheets[1]);
  EXPECT_EQ(Sheets[1]->PageControl(), Other);
  EXPECT_EQ(Pages->PageCount(), 1);
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  EXPECT_TRUE(Sheets[0]->Visible());

  // A sheet put on a plain parent is no page at all.
  Sheets[1]->SetParent(Form);
  EXPECT_EQ(Sheets[1]->PageControl(), nullptr);
  EXPECT_EQ(Sheets[1]->PageIndex(), -1);
  EXPECT_EQ(Other->PageCount(), 0);
  EXPECT_EQ(Other->ActivePage(), nullptr);
}

TEST_F(PagesTest, SheetsFillTheFrameBelowTheTabs) {
  Form->Show();
  TRect Inside = Pages->ClientRect();
  Pages->AdjustClientRect(Inside);
  const TRect Tab = Pages->TabRect(1);
  EXPECT_GE(Inside.Top, Tab.Bottom);
  EXPECT_GT(Inside.Left, 0);
  EXPECT_LT(Inside.Right, Pages->Width());
  EXPECT_LT(Inside.Bottom, Pages->Height());
  EXPECT_EQ(Inside.Right - Pages->Width(), -Inside.Left);
  EXPECT_EQ(Sheets[0]->BoundsRect(), Inside);
  // A sheet shown later fills the frame as it is then.
  Pages->SetBounds(10, 10, 250, 150);
  Inside = Pages->ClientRect();
  Pages->AdjustClientRect(Inside);
  Pages->SetActivePageIndex(2);
  EXPECT_EQ(Sheets[2]->BoundsRect(), Inside);
}

TEST_F(PagesTest, TabsSitInARowWithTheActiveOneRaised) {
  Form->Show();
  ASSERT_EQ(Pages->TabCount(), 3);
  const TRect A = Pages->TabRect(0), B = Pages->TabRect(1), C = Pages->TabRect(2);
  EXPECT_EQ(A.Top, 0);
  EXPECT_GT(B.Top, A.Top);
  EXPECT_EQ(B.Top, C.Top);
  EXPECT_EQ(A.Bottom, B.Bottom);
  EXPECT_EQ(B.Right, C.Left);
  EXPECT_GT(A.Right, B.Left);  // the raised tab overlaps its neighbour
  EXPECT_GT(C.Width(), 0);
  EXPECT_EQ(Pages->TabRect(3), TRect());
  EXPECT_EQ(Pages->TabRect(-1), TRect());
  // Longer captions make wider tabs.
  const Integer Narrow = B.Width();
  Sheets[1]->SetCaption("Files and folders");
  EXPECT_GT(Pages->TabRect(1).Width(), Narrow);

  struct Case {
    const char* Name;
    TPoint At;
    Integer Tab;
  } Cases[] = {
      {"centre of tab 2", tabCentre(2), 2},
      {"first pixel of tab 1 right of the raised tab", {A.Right, B.Top}, 1},
      {"overlap goes to the active tab", {A.Right - 1, B.Top + 1}, 0},
      {"above the inactive tabs", {tabCentre(1).X, 0}, -1},
      {"right of the last tab", {Pages->TabRect(2).Right + 1, tabCentre(2).Y}, -1},
      {"in the frame", {tabCentre(0).X, A.Bottom + 5}, -1},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Name);
    EXPECT_EQ(Pages->IndexOfTabAt(K.At.X, K.At.Y), K.Tab);
  }

  // A hidden tab leaves the row.
  Sheets[1]->SetTabVisible(false);
  EXPECT_EQ(Pages->TabCount(), 2);
  EXPECT_EQ(Sheets[1]->TabIndex(), -1);
  EXPECT_EQ(Sheets[2]->TabIndex(), 1);
  EXPECT_EQ(Pages->TabRect(1).Left, B.Left);
}

TEST_F(PagesTest, TheActiveTabOpensIntoTheFrame) {
  Form->Show();
  auto Image = test::Snapshot(Pages);
  const TRect Active = Pages->TabRect(0), Inactive = Pages->TabRect(1);
  // The frame's inner highlight line runs under the inactive tab, not under
  // the active one.
  const int Line = Active.Bottom + 1;
  EXPECT_EQ(PixelAt(Image.get(), (Inactive.Left + Inactive.Right) / 2, Line), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), (Active.Left + Active.Right) / 2, Line), ColorToRGB(clBtnFace));
  EXPECT_GT(CountPixels(Image.get(), Active, ColorToRGB(clBtnText)), 10);
  EXPECT_GT(CountPixels(Image.get(), Inactive, ColorToRGB(clBtnText)), 10);
  // Above the inactive tabs the control's own colour shows.
  EXPECT_EQ(PixelAt(Image.get(), (Inactive.Left + Inactive.Right) / 2, 0), ColorToRGB(Pages->Color()));

  // Activating another page moves the opening.
  Pages->SetActivePageIndex(1);
  Image = test::Snapshot(Pages);
  EXPECT_EQ(PixelAt(Image.get(), (Active.Left + Active.Right) / 2, Line), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), (Inactive.Left + Inactive.Right) / 2, Line), ColorToRGB(clBtnFace));
}

TEST_F(PagesTest, AClickOnATabAsksAndChanges) {
  Form->Show();
  test::Click(Pages, tabCentre(1));
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
  EXPECT_EQ(Log, QStringList({"changing &General", "change Files"}));
  EXPECT_TRUE(Pages->Focused());

  // Refused: nothing changes and no OnChange.
  Log.clear();
  AllowChange = false;
  test::Click(Pages, tabCentre(2));
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
  EXPECT_EQ(shown(), ".x.");
  EXPECT_EQ(Log, QStringList({"changing Files"}));

  // The active tab again, or the frame: no events.
  Log.clear();
  AllowChange = true;
  test::Click(Pages, tabCentre(1));
  test::Click(Pages, {50, 100});
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(PagesTest, CtrlTabCyclesThroughVisibleTabsAndTheFocusFollows) {
  TCustomControl* Name = addField(Sheets[0], Rect(5, 5, 100, 25));
  TCustomControl* Path = addField(Sheets[1], Rect(5, 5, 100, 25));
  TCustomControl* Outside = addField(Form, Rect(320, 10, 380, 30));
  Form->Show();
  Name->SetFocus();
  Name->SetText("Smith");
  const HWND NameWindow = Name->Handle();

  test::Key(VK_TAB, {ssCtrl});
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
  EXPECT_TRUE(Path->Focused());
  EXPECT_EQ(Log, QStringList({"changing &General", "change Files"}));
  // A page without a focusable control: the focus goes to the page control.
  test::Key(VK_TAB, {ssCtrl});
  EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
  EXPECT_TRUE(Pages->Focused());
  test::Key(VK_TAB, {ssCtrl});  // wraps round
  EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
  test::Key(VK_TAB, {ssCtrl, ssShift});
  EXPECT_EQ(Pages->ActivePage(), Sheets[2]);

  // Pages without a tab are skipped.
  Sheets[0]->SetTabVisible(false);
  test::Key(VK_TAB, {ssCtrl});
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);

  // The control on the hidden sheet kept its value and its window.
  EXPECT_FALSE(Sheets[0]->Visible());
  EXPECT_EQ(Name->Text(), "Smith");
  EXPECT_EQ(Name->Handle(), NameWindow);

  // Outside the page control Ctrl+Tab is not the page control's.
  Outside->SetFocus();
  test::Key(VK_TAB, {ssCtrl});
  EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
}

TEST_F(PagesTest, PropertiesByNameReachTheSameSetters) {
  for (TObject* Instance : std::initializer_list<TObject*>{Pages, Sheets[0]}) {
    SCOPED_TRACE(Instance->ClassName().toStdString());
    ExpectPublishedOnceAtDefaults(Instance);
  }
  EXPECT_EQ(GetEnumProp(Pages, "TabStop"), "True");
  EXPECT_EQ(GetEnumProp(Sheets[0], "TabVisible"), "True");
  EXPECT_EQ(GetObjectProp(Sheets[1], "PageControl"), Pages);
  EXPECT_TRUE(IsPublishedProp(Pages, "OnChanging"));
  SetObjectProp(Pages, "ActivePage", Sheets[2]);
  EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
  auto* Other = new TPageControl(Form);
  Other->SetParent(Form);
  SetObjectProp(Sheets[2], "PageControl", Other);
  EXPECT_EQ(Other->ActivePage(), Sheets[2]);
  EXPECT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->BoundsRect(), Rect(10, 10, 310, 210));
  EXPECT_EQ(Other->BoundsRect(), Rect(0, 0, 289, 193));
}

TEST_F(PagesTest, FreeingTheFocusedSheetHandsPageAndFocusOn) {
  TCustomControl* Year = addField(Sheets[1], Rect(5, 5, 100, 25));
  TCustomControl* From = addField(Sheets[2], Rect(5, 5, 100, 25));
  Form->Show();
  Pages->SetActivePage(Sheets[1]);
  Year->SetFocus();
  Sheets[1]->Free();
  EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
  EXPECT_TRUE(From->Focused());
  EXPECT_EQ(Form->ActiveControl(), From);
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(PagesTest, FreeingThePageControlFreesItsSheets) {
  TCustomControl* Field = addField(Sheets[1], Rect(5, 5, 100, 25));
  Field->SetName("edField");
  Sheets[1]->SetName("tsFiles");
  Form->Show();
  Pages->Free();
  EXPECT_EQ(Form->FindComponent("tsFiles"), nullptr);
  EXPECT_EQ(Form->FindComponent("edField"), nullptr);
}

TEST_F(PagesTest, OnChangingThatTakesTheChosenPageAwayChangesNothing) {
  auto* Other = new TPageControl(Form);
  Other->SetParent(Form);
  struct Case {
    const char* Name;
    std::function<void(TTabSheet*)> TakeAway;
  };
  const Case Cases[] = {
      {"freed", [](TTabSheet* Sheet) { Sheet->Free(); }},
      {"moved to another page control", [&](TTabSheet* Sheet) { Sheet->SetPageControl(Other); }},
  };
  Form->Show();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Pages->SetActivePageIndex(0);
    Pages->OnChanging = [&](TObject*, bool&) { C.TakeAway(Pages->Pages(1)); };
    Log.clear();
    const Integer Count = Pages->PageCount();
    Pages->SetFocus();
    test::Key(VK_TAB, {ssCtrl});
    EXPECT_EQ(Pages->PageCount(), Count - 1);
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    EXPECT_TRUE(Pages->ActivePage()->Visible());
    EXPECT_TRUE(Log.isEmpty()) << "no OnChange";
  }
}

}  // namespace
