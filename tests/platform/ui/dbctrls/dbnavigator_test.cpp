#include "platform/ui/dbctrls/dbnavigator.h"

#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/hints.h"
#include "platform/ui/windowing/timers.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QStringList>

using namespace gdi;

namespace {

constexpr TNavigateBtn AllButtons[] = {nbFirst, nbPrior, nbNext,   nbLast,   nbInsert,
                                       nbDelete, nbEdit, nbPost, nbCancel, nbRefresh};

String btnName(TNavigateBtn B) { return GetEnumName(EnumTypeInfo(B), B); }

// A form with a navigator over three rows (ID 1..3, Name).
class DBNavigatorTest : public FormFixture {
protected:
  DBNavigatorTest() : FormFixture(NoClipboard, Bounds(100, 100, 400, 200)) {}
  void SetUp() override {
    FormFixture::SetUp();
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I, String("Row %1").arg(I)});
    Source.SetDataSet(&DataSet);
    Nav = make<TDBNavigator>(Bounds(10, 10, 241, 25));
    Nav->SetDataSource(&Source);
  }
  void TearDown() override {
    Form->Free();
    FormFixture::TearDown();
  }

  // The enabled buttons as "First Prior ..." in button order.
  QStringList enabledButtons() {
    QStringList Result;
    for (TNavigateBtn B : AllButtons)
      if (Nav->ButtonEnabled(B)) Result.append(btnName(B).mid(2));
    return Result;
  }
  TPoint centreOf(TNavigateBtn B) {
    const TRect R = Nav->ButtonRect(B);
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }
  void logActions() {
    Nav->BeforeAction = TNavClick([this](TObject*, TNavigateBtn B) {
      Log.append("before " + btnName(B) + " at " + QString::number(currentId()));
    });
    Nav->OnClick = TNavClick([this](TObject* Sender, TNavigateBtn B) {
      EXPECT_EQ(Sender, Nav);
      Log.append("click " + btnName(B) + " at " + QString::number(currentId()));
    });
  }
  int currentId() { return DataSet.Active() && !DataSet.IsEmpty() ? DataSet.FieldByName("ID")->AsInteger() : 0; }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDBNavigator* Nav = nullptr;
  QStringList Log;
};

TEST_F(DBNavigatorTest, PublishesItsDefaults) {
  auto* Fresh = new TDBNavigator(Form);
  EXPECT_EQ(Fresh->BoundsRect(), Rect(0, 0, 240, 25)) << "241 snaps to ten whole buttons";
  EXPECT_EQ(GetEnumProp(Fresh, "ConfirmDelete"), "True");
  EXPECT_EQ(GetEnumProp(Fresh, "Flat"), "False");
  EXPECT_EQ(GetSetProp(Fresh, "VisibleButtons"),
            "nbFirst,nbPrior,nbNext,nbLast,nbInsert,nbDelete,nbEdit,nbPost,nbCancel,nbRefresh");
  EXPECT_EQ(GetObjectProp(Fresh, "Hints"), Fresh->Hints());
  EXPECT_EQ(GetObjectProp(Fresh, "DataSource"), nullptr);
  ExpectPublishedOnceAtDefaults(Fresh);
  EXPECT_TRUE(IsPublishedProp(Fresh, "BeforeAction"));
  EXPECT_TRUE(IsPublishedProp(Fresh, "OnClick"));
  const char* const Defaults[] = {"First record", "Prior record", "Next record", "Last record", "Insert record",
                                  "Delete record", "Edit record", "Post edit", "Cancel edit", "Refresh data"};
  for (TNavigateBtn B : AllButtons) EXPECT_EQ(Fresh->ButtonHint(B), Defaults[B]);
}

TEST_F(DBNavigatorTest, VisibleButtonsShareTheWidth) {
  struct Case {
    const char* Name;
    TButtonSet Visible;
    TAlign Align;
    int AskedWidth;
    int Width;                // after sizing
    std::vector<int> Widths;  // of the visible buttons, left to right
  };
  const Case Cases[] = {
      {"ten buttons snap", AllNavigateButtons, alNone, 241, 240, std::vector<int>(10, 24)},
      {"four buttons", {nbFirst, nbLast, nbInsert, nbDelete}, alNone, 241, 240, {60, 60, 60, 60}},
      {"one button", {nbPost}, alNone, 37, 37, {37}},
      {"the minimum width holds", {nbFirst, nbPrior}, alNone, 10, 40, {20, 20}},
      {"aligned: the remainder is spread", {nbFirst, nbPrior, nbNext, nbLast}, alTop, 243, 243, {61, 60, 61, 61}},
      {"aligned: no remainder", {nbFirst, nbPrior, nbNext, nbLast}, alTop, 240, 240, {60, 60, 60, 60}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* N = new TDBNavigator(Form);
    N->SetVisibleButtons(C.Visible);
    if (C.Align != alNone) {
      auto* Host = new TForm(Application);
      Host->SetClientWidth(C.AskedWidth);
      N->SetParent(Host);
      N->SetAlign(C.Align);
    } else {
      N->SetBounds(0, 0, C.AskedWidth, 25);
    }
    EXPECT_EQ(N->Width(), C.Width);
    std::vector<int> Widths;
    int Right = 0;
    for (TNavigateBtn B : AllButtons) {
      const TRect R = N->ButtonRect(B);
      if (!C.Visible.Contains(B)) {
        EXPECT_TRUE(R.IsEmpty());
        continue;
      }
      EXPECT_EQ(R.Left, Right) << "buttons sit side by side";
      EXPECT_EQ(R.Height(), N->Height());
      Widths.push_back(R.Width());
      Right = R.Right;
    }
    EXPECT_EQ(Widths, C.Widths);
    EXPECT_EQ(Right, N->Width());
  }
  // Too low a navigator keeps the minimum height.
  Nav->SetBounds(0, 0, 240, 5);
  EXPECT_EQ(Nav->Height(), 18);
  // Changing the buttons re-snaps the width.
  Nav->SetBounds(0, 0, 240, 25);
  Nav->SetVisibleButtons({nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit});
  EXPECT_EQ(Nav->Width(), 238);
}

TEST_F(DBNavigatorTest, ButtonsFollowThePositionAndTheState) {
  struct Case {
    const char* Name;
    std::function<void()> Arrange;
    const char* Enabled;
  };
  const Case Cases[] = {
      {"inactive", [] {}, ""},
      {"first row", [this] { DataSet.Open(); }, "Next Last Insert Delete Edit Refresh"},
      {"middle row", [this] { DataSet.Open(), DataSet.Next(); },
       "First Prior Next Last Insert Delete Edit Refresh"},
      {"last row", [this] { DataSet.Open(), DataSet.Last(); }, "First Prior Insert Delete Edit Refresh"},
      {"editing", [this] { DataSet.Open(), DataSet.Next(), DataSet.Edit(); },
       "First Prior Next Last Insert Delete Post Cancel Refresh"},
      {"read-only dataset", [this] { DataSet.SetReadOnly(true), DataSet.Open(), DataSet.Next(); },
       "First Prior Next Last Refresh"},
      {"navigator disabled", [this] { DataSet.Open(), DataSet.Next(), Nav->SetEnabled(false); }, ""},
      {"source disabled", [this] { DataSet.Open(), Source.SetEnabled(false); }, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    C.Arrange();
    EXPECT_EQ(enabledButtons().join(' '), C.Enabled);
    DataSet.Close();
    DataSet.SetReadOnly(false);
    Nav->SetEnabled(true);
    Source.SetEnabled(true);
  }
  // Without rows there is nothing to delete; Edit inserts.
  TRowListDataSet Empty(nullptr);
  Empty.FieldDefs()->Add("ID", ftInteger);
  Empty.Open();
  Source.SetDataSet(&Empty);
  EXPECT_EQ(enabledButtons().join(' '), "Insert Edit Refresh");
  Source.SetDataSet(&DataSet);
}

TEST_F(DBNavigatorTest, ClicksRunTheActionBetweenBeforeActionAndOnClick) {
  DataSet.Open();
  Form->Show();
  logActions();
  test::Click(Nav, centreOf(nbNext));
  test::Click(Nav, centreOf(nbLast));
  test::Click(Nav, centreOf(nbFirst));
  EXPECT_EQ(Log, QStringList({"before nbNext at 1", "click nbNext at 2", "before nbLast at 2", "click nbLast at 3",
                              "before nbFirst at 3", "click nbFirst at 1"}));
  Log.clear();
  // A disabled button does nothing; a press released elsewhere neither.
  test::Click(Nav, centreOf(nbPrior));
  test::MouseDown(Nav, centreOf(nbNext));
  test::MouseUp(Nav, centreOf(nbLast));
  test::Click(Nav, centreOf(nbNext), mbRight);
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_EQ(currentId(), 1);
  // Insert, post and cancel through the buttons.
  test::Click(Nav, centreOf(nbInsert));
  EXPECT_EQ(DataSet.State(), dsInsert);
  DataSet.FieldByName("ID")->SetAsInteger(9);
  test::Click(Nav, centreOf(nbPost));
  EXPECT_EQ(DataSet.State(), dsBrowse);
  EXPECT_EQ(DataSet.RowCount(), 4);
  test::Click(Nav, centreOf(nbEdit));
  EXPECT_EQ(DataSet.State(), dsEdit);
  test::Click(Nav, centreOf(nbCancel));
  EXPECT_EQ(DataSet.State(), dsBrowse);
  EXPECT_EQ(Log.size(), 8);
  EXPECT_FALSE(Nav->Focused()) << "the buttons leave the focus where it is";
}

// WM_CANCELMODE (a dialog opens, the application deactivates) ends a press:
// a release on the button afterwards is no click.
TEST_F(DBNavigatorTest, CancelModeEndsAPressWithoutAClick) {
  DataSet.Open();
  Form->Show();
  logActions();
  test::MouseDown(Nav, centreOf(nbNext));
  Nav->Perform(WM_CANCELMODE, 0, 0);
  test::MouseUp(Nav, centreOf(nbNext));
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_EQ(currentId(), 1);
  test::Click(Nav, centreOf(nbNext));
  EXPECT_EQ(currentId(), 2);
}

TEST_F(DBNavigatorTest, DeleteAsksFirstWhenConfirmDelete) {
  DataSet.Open();
  DataSet.Next();
  Form->Show();
  logActions();
  {
    test::ModalScript Script;
    Script.Then([](TModalRequest& R) {
      EXPECT_EQ(R.Kind, "dialog");
      EXPECT_EQ(R.Text, "Delete record?");
      EXPECT_EQ(R.Caption, "Confirmation");
      EXPECT_EQ(TMsgDlgButtons::FromBits(UInt64(R.Buttons)), mbOKCancel);
      R.Result = mrCancel;
    });
    Script.Answer(mrOk);
    test::Click(Nav, centreOf(nbDelete));
    EXPECT_EQ(DataSet.RowCount(), 3) << "Cancel keeps the row";
    test::Click(Nav, centreOf(nbDelete));
    EXPECT_EQ(DataSet.RowCount(), 2);
  }
  EXPECT_EQ(Log, QStringList({"before nbDelete at 2", "click nbDelete at 2", "before nbDelete at 2",
                              "click nbDelete at 3"}))
      << "OnClick follows a cancelled delete too";
  // Without ConfirmDelete no question is asked (a script without answers
  // fails the test on any dialog).
  test::ModalScript Silent;
  Nav->SetConfirmDelete(false);
  Nav->BtnClick(nbDelete);
  EXPECT_EQ(DataSet.RowCount(), 1);
  EXPECT_TRUE(Silent.Log().isEmpty());
}

TEST_F(DBNavigatorTest, BtnClickOnAnInactiveDatasetOnlyReportsTheClick) {
  logActions();
  Nav->BtnClick(nbNext);
  Nav->SetDataSource(nullptr);
  Nav->BtnClick(nbInsert);
  EXPECT_EQ(Log, QStringList({"click nbNext at 0", "click nbInsert at 0"}));
}

TEST_F(DBNavigatorTest, EachButtonShowsItsOwnHint) {
  Nav->SetVisibleButtons({nbFirst, nbLast, nbInsert, nbDelete});
  QStringList Hints = {"First", "Previous", "Next", "Last", "Add", "", "Edit", "Accept", "Cancel", "Renewed"};
  auto Lines = std::make_unique<TStringList>();
  for (const String& H : Hints) Lines->Add(H);
  Nav->SetHints(Lines.get());
  struct Case {
    const char* Name;
    TPoint At;
    String Hint;  // empty: none shows
    TRect CursorRect;
  };
  const Case Cases[] = {
      {"first", {5, 5}, "First", Nav->ButtonRect(nbFirst)},
      {"insert: Hints[4], not the third line", centreOf(nbInsert), "Add", Nav->ButtonRect(nbInsert)},
      {"an empty line keeps the default", centreOf(nbDelete), "Delete record", Nav->ButtonRect(nbDelete)},
      {"past the last button", {Nav->Width() + 3, 5}, "", {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    THintInfo Info;
    Info.HintControl = Nav;
    Info.CursorPos = C.At;
    Info.CursorRect = Nav->ClientRect();
    const LRESULT Result = Nav->Perform(CM_HINTSHOW, 0, LPARAM(&Info));
    EXPECT_EQ(Result != 0, C.Hint.isEmpty());
    if (C.Hint.isEmpty()) continue;
    EXPECT_EQ(Info.HintStr, C.Hint);
    EXPECT_EQ(Info.CursorRect, C.CursorRect) << "a new hint cycle starts on the next button";
  }
  // Through the application's hint manager, as the mouse rests on a button.
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  Nav->SetShowHint(true);
  Form->Show();
  test::MouseMove(Nav, centreOf(nbInsert));
  test::AdvanceTime(Application->HintPause());
  ASSERT_TRUE(Application->HintManager()->HintShowing());
  EXPECT_EQ(Application->HintManager()->HintWindow()->Caption(), "Add");
}

TEST_F(DBNavigatorTest, PaintsFacesAndGlyphsByState) {
  DataSet.Open();
  Form->Show();
  std::unique_ptr<TBitmap> Image = test::Snapshot(Nav);
  const TColor Text = TColor(ColorToRGB(clBtnText));
  const TColor Shadow = TColor(ColorToRGB(clBtnShadow));
  const TColor DarkShadow = TColor(ColorToRGB(cl3DDkShadow));
  const TColor Face = TColor(ColorToRGB(clBtnFace));
  // First is disabled at the first row: an embossed glyph, no text colour;
  // Next is enabled: a glyph in the text colour.
  const TRect First = Nav->ButtonRect(nbFirst), Next = Nav->ButtonRect(nbNext);
  EXPECT_EQ(CountPixels(Image.get(), First, Text), 0);
  EXPECT_GT(CountPixels(Image.get(), First, Shadow), 9);
  EXPECT_GT(CountPixels(Image.get(), Next, Text), 20);
  // Raised faces: the dark outer edge at each button's bottom right.
  EXPECT_EQ(PixelAt(Image.get(), Next.Right - 1, Next.Bottom - 1), DarkShadow);
  // Flat faces have no frame until the mouse is over them.
  Nav->SetFlat(true);
  Image = test::Snapshot(Nav);
  EXPECT_EQ(PixelAt(Image.get(), Next.Right - 1, Next.Bottom - 1), Face);
  EXPECT_GT(CountPixels(Image.get(), Next, Text), 20);
  test::MouseMove(Nav, centreOf(nbNext));
  Image = test::Snapshot(Nav);
  EXPECT_EQ(PixelAt(Image.get(), Next.Right - 1, Next.Bottom - 1), Shadow);
  EXPECT_EQ(PixelAt(Image.get(), First.Right - 1, First.Bottom - 1), Face);
}

TEST_F(DBNavigatorTest, GlyphsDifferPerButtonAndAPressedOneMoves) {
  DataSet.Open();
  DataSet.Next();
  DataSet.Edit();
  Form->Show();
  std::unique_ptr<TBitmap> Image = test::Snapshot(Nav);
  // Each glyph, cut out relative to its button, is a drawing of its own.
  std::vector<QImage> Glyphs;
  for (TNavigateBtn B : AllButtons) {
    const TRect R = Nav->ButtonRect(B);
    Glyphs.push_back(Image->Image().copy(R.Left + 2, R.Top + 2, R.Width() - 4, R.Height() - 4));
  }
  for (size_t I = 0; I < Glyphs.size(); ++I)
    for (size_t J = I + 1; J < Glyphs.size(); ++J) EXPECT_NE(Glyphs[I], Glyphs[J]) << I << " and " << J;
  // While pressed, the face is sunken and the glyph one pixel down-right.
  const TRect Next = Nav->ButtonRect(nbNext);
  test::MouseDown(Nav, centreOf(nbNext));
  std::unique_ptr<TBitmap> Pressed = test::Snapshot(Nav);
  test::MouseUp(Nav, {Nav->Width() + 5, 5});
  EXPECT_NE(PixelAt(Pressed.get(), Next.Right - 1, Next.Bottom - 1), TColor(ColorToRGB(cl3DDkShadow)));
  const QImage Up = Image->Image().copy(Next.Left + 3, Next.Top + 3, Next.Width() - 6, Next.Height() - 6);
  const QImage Down = Pressed->Image().copy(Next.Left + 4, Next.Top + 4, Next.Width() - 6, Next.Height() - 6);
  EXPECT_EQ(Up, Down);
}

TEST_F(DBNavigatorTest, AnswersItsDataLink) {
  auto* Link = reinterpret_cast<TDataLink*>(Nav->Perform(CM_GETDATALINK, 0, 0));
  ASSERT_NE(Link, nullptr);
  EXPECT_EQ(Link->DataSource(), &Source);
}

}  // namespace
