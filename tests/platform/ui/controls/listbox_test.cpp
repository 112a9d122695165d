#include "platform/ui/controls/listbox.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

using namespace gdi;

namespace {

class ListBoxTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    List = make<TListBox>(Bounds(10, 10, 150, 100));
    List->OnClick = TNotifyEvent([this](TObject*) { logEvent("click"); });
    List->OnDblClick = TNotifyEvent([this](TObject*) { logEvent("dblclick"); });
  }

  void logEvent(const String& Name) { Log.append(Name + " " + QString::number(List->ItemIndex())); }
  void addNumbered(Integer Count) {
    for (Integer I = 0; I < Count; ++I) List->Items()->Add("item " + QString::number(I));
  }
  // A point inside row Row counted from the top row shown.
  TPoint rowPoint(Integer Row) { return {20, Row * List->ItemHeight() + List->ItemHeight() / 2}; }

  TListBox* List = nullptr;
  QStringList Log;
};

// The frame in the non-client area: the edge painter's sunken 2-pixel client
// edge, or, without Ctl3D, a one-pixel frame in clWindowFrame.
TEST_F(ListBoxTest, ClientEdgeIsTheClassicSunkenEdgeOrAFlatFrame) {
  for (bool Ctl3D : {true, false}) {
    SCOPED_TRACE(Ctl3D ? "Ctl3D" : "flat");
    auto* Box = new TListBox(Form);
    Box->SetCtl3D(Ctl3D);
    Box->SetParent(Form);
    Box->SetBoundsRect(Bounds(180, 10, 100, 60));
    Form->Show();
    auto Image = test::Snapshot(Box);
    auto Painter = PainterImage(100, 60, clWindow, [&](HDC DC) {
      TRect R = Rect(0, 0, 100, 60);
      if (Ctl3D)
        DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT);
      else
        FrameRect(DC, R, GetSysColorBrush(COLOR_WINDOWFRAME));
    });
    // The left, top and bottom sides; the scroll bar takes the right.
    const int Band = Ctl3D ? 2 : 1;
    for (const TRect& Side : {Rect(0, 0, Band, 60), Rect(0, 0, 80, Band), Rect(0, 60 - Band, 80, 60)})
      EXPECT_TRUE(RectsEqual(Image.get(), Painter.get(), Side)) << Side.Left << "," << Side.Top;
    EXPECT_EQ(Box->ClientRect().Height(), 60 - 2 * Band);
    Box->Free();
  }
}

TEST_F(ListBoxTest, SortedAddAnswersWhereTheLineWentIgnoringCase) {
  List->SetSorted(true);
  struct Case {
    const char* Line;
    Integer Expected;
  };
  const Case Cases[] = {
      {"m", 0}, {"B", 0}, {"a", 0}, {"Z", 3}, {"b", 1},  // equal keys go before their equals
      {"Ё", 5}, {"ж", 6}, {"а", 5},                       // Cyrillic after Latin, case ignored
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Line);
    EXPECT_EQ(List->Items()->Add(QString::fromUtf8(C.Line)), C.Expected);
  }
  EXPECT_EQ(List->Items()->CommaText(), QString::fromUtf8("a,b,B,m,Z,а,Ё,ж"));
  EXPECT_RAISES(List->Items()->Insert(0, "x"), EStringListError, "Operation not allowed on sorted list");
}

TEST_F(ListBoxTest, SortingKeepsObjectsAndTheSelectedItem) {
  TObject Ant, Bee, Cat, Bee2;
  List->Items()->AddObject("cat", &Cat);
  List->Items()->AddObject("Bee", &Bee);
  List->Items()->AddObject("ant", &Ant);
  List->Items()->AddObject("bee", &Bee2);
  List->SetItemIndex(3);
  List->SetSorted(true);
  EXPECT_EQ(List->Items()->CommaText(), "ant,Bee,bee,cat");
  EXPECT_EQ(List->Items()->Objects(0), &Ant);
  EXPECT_EQ(List->Items()->Objects(1), &Bee);
  EXPECT_EQ(List->Items()->Objects(2), &Bee2);
  EXPECT_EQ(List->Items()->Objects(3), &Cat);
  EXPECT_EQ(List->ItemIndex(), 2) << "the second of two equal keys stays second";
  EXPECT_EQ(List->Items()->IndexOfObject(&Cat), 3);
}

TEST_F(ListBoxTest, SelectionFollowsItsItemAndSettersFireNothing) {
  addNumbered(5);
  List->SetItemIndex(2);
  EXPECT_EQ(List->ItemIndex(), 2);
  List->Items()->Insert(0, "new");
  EXPECT_EQ(List->ItemIndex(), 3) << "inserted above";
  List->Items()->Add("last");
  EXPECT_EQ(List->ItemIndex(), 3) << "appended below";
  List->Items()->Delete(0);
  EXPECT_EQ(List->ItemIndex(), 2) << "deleted above";
  EXPECT_EQ(List->Items()->Strings(List->ItemIndex()), "item 2");
  List->Items()->Delete(2);
  EXPECT_EQ(List->ItemIndex(), -1) << "the selected item went";
  List->SetItemIndex(4);
  List->Items()->Delete(4);
  EXPECT_EQ(List->ItemIndex(), -1);

  struct Case {
    Integer Value;
    Integer Expected;
  };
  ASSERT_EQ(List->Count(), 4);
  const Case Cases[] = {{-1, -1}, {0, 0}, {3, 3}, {4, -1}, {-7, -1}, {1, 1}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    List->SetItemIndex(C.Value);
    EXPECT_EQ(List->ItemIndex(), C.Expected);
  }
  List->Clear();
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(List->Count(), 0);
  EXPECT_TRUE(Log.isEmpty()) << Log.join(", ").toStdString();
}

TEST_F(ListBoxTest, ItemIndexScrollsIntoViewAndTopIndexStopsAtTheLastPage) {
  Form->Show();
  addNumbered(30);
  const Integer Rows = List->VisibleRows();
  ASSERT_GT(Rows, 2);
  ASSERT_LT(Rows, 30);
  EXPECT_EQ(Rows, List->ClientHeight() / List->ItemHeight());

  List->SetItemIndex(20);
  EXPECT_EQ(List->TopIndex(), 20 - Rows + 1) << "the row comes in at the bottom";
  List->SetItemIndex(3);
  EXPECT_EQ(List->TopIndex(), 3) << "and at the top";
  List->SetItemIndex(3 + Rows - 1);
  EXPECT_EQ(List->TopIndex(), 3) << "already in view: no scroll";

  List->SetTopIndex(1000);
  EXPECT_EQ(List->TopIndex(), 30 - Rows);
  List->SetTopIndex(-5);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(List->ItemAtPos(rowPoint(1), true), 1);
  List->SetTopIndex(7);
  EXPECT_EQ(List->ItemAtPos(rowPoint(1), true), 8);
  EXPECT_EQ(List->ItemRect(7).Top, 0);

  // Deleting from the end pulls the top row back so the last page stays full.
  List->SetTopIndex(30 - Rows);
  for (Integer I = 0; I < 5; ++I) List->Items()->Delete(List->Count() - 1);
  EXPECT_EQ(List->TopIndex(), 25 - Rows);
}

TEST_F(ListBoxTest, ScrollBarShowsOnlyWhenTheItemsDoNotFit) {
  Form->Show();
  const Integer Full = List->ClientWidth();
  addNumbered(List->VisibleRows());
  EXPECT_EQ(List->ItemAtPos({Full - 2, 2}, true), 0) << "rows span the whole width";
  List->Items()->Add("one more");
  EXPECT_EQ(List->ItemAtPos({Full - 2, 2}, true), -1) << "the bar takes the right edge";
  EXPECT_EQ(List->ItemRect(0).Right, Full - GetSystemMetrics(SM_CXVSCROLL));
  List->Items()->Delete(0);
  EXPECT_EQ(List->ItemRect(0).Right, Full);
}

TEST_F(ListBoxTest, NavigationKeysMoveTheSelectionAndFireOnClick) {
  Form->Show();
  addNumbered(30);
  List->SetFocus();
  const Integer Page = List->VisibleRows() - 1;
  struct Case {
    Word Key;
    Integer Expected;
  };
  const Case Cases[] = {
      {VK_DOWN, 0},  // nothing selected: the first item
      {VK_DOWN, 1},         {VK_END, 29},          {VK_DOWN, 29},  // at the end: stays, no click
      {VK_PRIOR, 29 - Page}, {VK_HOME, 0},         {VK_UP, 0},    {VK_NEXT, Page},
      {VK_UP, Page - 1},
  };
  QStringList Expected;
  Integer Last = -1;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Key);
    test::Key(C.Key);
    EXPECT_EQ(List->ItemIndex(), C.Expected);
    if (C.Expected != Last) Expected.append("click " + QString::number(C.Expected));
    Last = C.Expected;
  }
  EXPECT_EQ(Log, Expected);
  EXPECT_GE(List->ItemIndex(), List->TopIndex());
  EXPECT_LT(List->ItemIndex(), List->TopIndex() + List->VisibleRows());

  // OnKeyDown sees the key first and may swallow it.
  List->OnKeyDown = TKeyEvent([](TObject*, Word& Key, TShiftState) {
    if (Key == VK_DOWN) Key = 0;
  });
  const Integer Before = List->ItemIndex();
  test::Key(VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), Before);
}

TEST_F(ListBoxTest, TypedCharacterSelectsTheNextItemStartingWithItWrappingRound) {
  Form->Show();
  List->SetFocus();
  struct Case {
    const char* Name;
    const char* Items;
    Integer Current;
    const char* Typed;
    Integer Expected;
  };
  const Case Cases[] = {
      {"none selected: from the top", "apple,Banana,berry,cherry", -1, "b", 1},
      {"the next after the current", "apple,Banana,berry,cherry", 1, "b", 2},
      {"wraps round, case ignored", "apple,Banana,berry,cherry", 2, "B", 1},
      {"wraps past the last item", "apple,Banana,berry,cherry", 3, "a", 0},
      {"the last item", "apple,Banana,berry,cherry", 0, "C", 3},
      {"no match: unchanged", "apple,Banana,berry,cherry", 1, "z", 1},
      {"the current item is the only match", "apple,Banana,cherry", 1, "b", 1},
      {"the first character only", "xb,ab,b", -1, "b", 2},
      {"empty items match nothing", ",b,", 0, "b", 1},
      {"digits", "10,2,20", 1, "2", 2},
      {"Cyrillic, case ignored", "яблоко,Ёлка,жук,ёж", 1, "ё", 3},
      {"Cyrillic wraps", "яблоко,Ёлка,жук,ёж", 3, "Ё", 1},
      {"Cyrillic capital typed", "яблоко,Ёлка,жук,ёж", -1, "Ж", 2},
      {"empty list", "", -1, "a", -1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    List->Items()->SetCommaText(QString::fromUtf8(C.Items));
    List->SetItemIndex(C.Current);
    Log.clear();
    test::Type(QString::fromUtf8(C.Typed));
    EXPECT_EQ(List->ItemIndex(), C.Expected);
    const QStringList Clicks{"click " + QString::number(C.Expected)};
    EXPECT_EQ(Log, C.Expected == C.Current ? QStringList() : Clicks);
  }
}

TEST_F(ListBoxTest, TypedCharacterScrollsIntoViewAfterOnKeyPress) {
  Form->Show();
  addNumbered(30);
  List->Items()->Add("zebra");
  List->SetFocus();
  test::Type("Z");
  EXPECT_EQ(List->ItemIndex(), 30);
  EXPECT_EQ(List->TopIndex(), 31 - List->VisibleRows()) << "scrolled to the bottom";

  // OnKeyPress sees the character first: it may swallow or replace it.
  List->OnKeyPress = TKeyPressEvent([](TObject*, Char& Key) { Key = Key == 'q' ? Char(0) : Char('i'); });
  Log.clear();
  test::Type("q");
  EXPECT_EQ(List->ItemIndex(), 30);
  test::Type("z");
  EXPECT_EQ(List->ItemIndex(), 0) << "the replaced character chooses";
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(Log, QStringList({"click 0"}));
}

TEST_F(ListBoxTest, MouseSelectsClicksAndScrolls) {
  Form->Show();
  addNumbered(30);
  test::Click(List, rowPoint(2));
  EXPECT_TRUE(List->Focused()) << "a click focuses the list";
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(Log, QStringList({"click 2"}));

  Log.clear();
  test::DblClick(List, rowPoint(4));
  EXPECT_EQ(List->ItemIndex(), 4);
  EXPECT_EQ(Log, QStringList({"click 4", "dblclick 4"}));

  // Dragging with the button down moves the selection; one click at the end.
  Log.clear();
  test::MouseDown(List, rowPoint(1));
  test::MouseMove(List, rowPoint(3));
  EXPECT_EQ(List->ItemIndex(), 3);
  test::MouseUp(List, rowPoint(3));
  EXPECT_EQ(Log, QStringList({"click 3"}));

  // The wheel scrolls three rows a notch and leaves the selection alone.
  Log.clear();
  test::Wheel(List, rowPoint(0), -120);
  EXPECT_EQ(List->TopIndex(), 3);
  test::Wheel(List, rowPoint(0), 240);
  EXPECT_EQ(List->TopIndex(), 0);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_TRUE(Log.isEmpty());

  // The window's bar beside the rows: its down arrow scrolls a row.
  ASSERT_TRUE(GetWindowLong(List->Handle(), GWL_STYLE) & WS_VSCROLL);
  test::Click(List, {List->ClientWidth() + 8, List->ClientHeight() - 3});
  EXPECT_EQ(List->TopIndex(), 1);
  EXPECT_EQ(GetScrollPos(List->Handle(), SB_VERT), 1);
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(ListBoxTest, EmptyListTakesClicksWithoutOnClick) {
  Form->Show();
  test::Click(List, rowPoint(0));
  test::Key(VK_DOWN);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_TRUE(Log.isEmpty());
  // Below the last item: the last one.
  addNumbered(2);
  test::Click(List, rowPoint(5));
  EXPECT_EQ(List->ItemIndex(), 1);
}

TEST_F(ListBoxTest, SelectedRowPaintsInHighlightColours) {
  List->SetBounds(10, 10, 120, 80);
  addNumbered(3);
  List->Items()->Add("");  // a row without text: its colour alone
  List->SetItemIndex(3);
  Form->Show();
  auto Image = test::Snapshot(List);
  const Integer H = List->ItemHeight();
  // The client area starts inside the two-pixel sunken edge.
  const TRect Row3 = Bounds(2, 2 + 3 * H, List->ClientWidth(), H);
  EXPECT_EQ(CountPixels(Image.get(), Row3, ColorToRGB(clHighlight)), Row3.Width() * Row3.Height());
  const TRect Row1 = Bounds(2, 2 + H, List->ClientWidth(), H);
  EXPECT_EQ(CountPixels(Image.get(), Row1, ColorToRGB(clHighlight)), 0);
  EXPECT_GT(CountPixels(Image.get(), Row1, ColorToRGB(clWindowText)), 0) << "item text";
  EXPECT_EQ(PixelAt(Image.get(), Row1.Right - 2, Row1.Top + 1), ColorToRGB(clWindow));

  List->SetItemIndex(1);
  Image = test::Snapshot(List);
  EXPECT_GT(CountPixels(Image.get(), Row1, ColorToRGB(clHighlight)), 0);
  EXPECT_GT(CountPixels(Image.get(), Row1, ColorToRGB(clHighlightText)), 0) << "text in the highlight text colour";
  EXPECT_EQ(CountPixels(Image.get(), Row3, ColorToRGB(clHighlight)), 0);

  // Focused: a dotted frame around the selected row breaks its top line.
  const TRect TopLine = Rect(Row1.Left, Row1.Top, Row1.Right, Row1.Top + 1);
  EXPECT_EQ(CountPixels(Image.get(), TopLine, ColorToRGB(clHighlight)), TopLine.Width());
  List->SetFocus();
  Image = test::Snapshot(List);
  const int Dotted = CountPixels(Image.get(), TopLine, ColorToRGB(clHighlight));
  EXPECT_GT(Dotted, TopLine.Width() / 3);
  EXPECT_LT(Dotted, TopLine.Width() * 2 / 3);
}

TEST_F(ListBoxTest, ItemChangesRepaintTheWindow) {
  addNumbered(3);
  List->SetItemIndex(2);
  Form->Show();
  const Integer H = List->ItemHeight();
  const TRect Row2 = Bounds(0, 2 * H, List->ClientWidth(), H);  // client coordinates
  auto Image = GrabWindow(List, List->ClientRect());
  EXPECT_GT(CountPixels(Image.get(), Row2, ColorToRGB(clHighlight)), 0);
  List->Items()->Delete(0);  // the selected row moves up
  Image = GrabWindow(List, List->ClientRect());
  EXPECT_EQ(CountPixels(Image.get(), Row2, ColorToRGB(clHighlight)), 0);
  EXPECT_GT(CountPixels(Image.get(), Bounds(0, H, List->ClientWidth(), H), ColorToRGB(clHighlight)), 0);
  List->Items()->SetStrings(0, "");
  Image = GrabWindow(List, List->ClientRect());
  EXPECT_EQ(CountPixels(Image.get(), Bounds(0, 0, List->ClientWidth(), H), ColorToRGB(clWindowText)), 0);
}

TEST_F(ListBoxTest, PublishesItsProperties) {
  EXPECT_EQ(GetEnumProp(List, "Sorted"), "False");
  EXPECT_EQ(GetObjectProp(List, "Items"), List->Items());
  EXPECT_EQ(GetEnumProp(List, "TabStop"), "True");
  EXPECT_TRUE(IsPublishedProp(List, "OnKeyDown"));
  EXPECT_TRUE(IsPublishedProp(List, "ItemHeight"));
  EXPECT_EQ(List->Color(), clWindow);
}

}  // namespace
