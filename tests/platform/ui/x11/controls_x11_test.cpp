// Every standard control on one form, shown on the real X11 platform (a
// virtual display with the xcb plugin), captured from the X server as a PNG
// and checked there: each control painted its own face at its place, typing
// reaches the focused edit through the window system, and the controls'
// own images agree with what the server shows.
//
// The capture is written to controls_x11.png in the working folder, so a
// person can look at the whole set after a run.
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/comctrls.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/controls/labelededit.h"
#include "platform/ui/controls/listbox.h"
#include "platform/ui/controls/mask.h"
#include "platform/ui/controls/pages.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/spin.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/dbctrls/dbctrls.h"
#include "platform/ui/dbctrls/dbnavigator.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/menus.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/platform/ui/x11/x11fixture.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

namespace {

using namespace gdi;
using namespace x11test;

template <class T>
T* place(TWinControl* Parent, int Left, int Top, int Width, int Height) {
  T* Control = new T(Parent->Owner() ? Parent->Owner() : Parent);
  Control->SetParent(Parent);
  Control->SetBounds(Left, Top, Width, Height);
  return Control;
}

// The form with one of each control, and what the data-aware ones show.
struct TShowcase {
  TForm* Form;
  TEdit* Edit;
  TMemo* Memo;
  TListBox* List;
  TShape* Shape;
  // Controls drawn whole by the classic painters, with no frame of the window.
  std::vector<TWinControl*> Painted;
  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};

  TShowcase() {
    Form = CreateForm<TForm>(Application);
    Form->SetCaption(QStringLiteral("Controls"));
    Form->SetBounds(40, 40, 720, 560);
    buildMenu();
    buildBars();
    buildEdits();
    buildChoices();
    buildDecoration();
    buildData();
  }

  void buildMenu() {
    auto* Menu = new TMainMenu(Form);
    for (const char* Caption : {"&File", "&Edit", "&Help"}) {
      auto* Item = new TMenuItem(Menu);
      Item->SetCaption(QString::fromLatin1(Caption));
      auto* Sub = new TMenuItem(Menu);
      Sub->SetCaption(QStringLiteral("&Open"));
      Item->Add(Sub);
      Menu->Items()->Add(Item);
    }
    Form->SetMenu(Menu);
  }

  void buildBars() {
    auto* Bar = place<TToolBar>(Form, 0, 0, 700, 26);
    Bar->SetAlign(alTop);
    Bar->SetShowCaptions(true);
    for (const char* Caption : {"New", "Open", "Save"}) {
      auto* Button = new TToolButton(Form);
      Button->SetParent(Bar);
      Button->SetCaption(QString::fromLatin1(Caption));
    }
    auto* Status = place<TStatusBar>(Form, 0, 0, 700, 20);
    Status->Panels()->Add()->SetText(QStringLiteral("Ready"));
    Status->Panels()->Items(0)->SetWidth(90);
    Status->Panels()->Add()->SetText(QStringLiteral("12 references"));
    auto* Progress = place<TProgressBar>(Form, 10, 470, 200, 16);
    Progress->SetPosition(60);
    auto* Scroll = place<TScrollBar>(Form, 220, 470, 200, 17);
    Scroll->SetParams(30, 0, 100);
    Painted.insert(Painted.end(), {Progress, Scroll});
  }

  void buildEdits() {
    Edit = place<TEdit>(Form, 10, 40, 150, 21);
    Edit->SetText(QStringLiteral("Edit"));
    auto* Mask = place<TMaskEdit>(Form, 10, 70, 150, 21);
    Mask->SetEditMask(QStringLiteral("!9999-99-99;1;_"));
    Mask->SetText(QStringLiteral("2024-05-19"));
    auto* Spin = place<TSpinEdit>(Form, 10, 100, 150, 22);
    Spin->SetMinValue(1950);
    Spin->SetMaxValue(2100);
    Spin->SetValue(2024);
    auto* Labeled = place<TLabeledEdit>(Form, 10, 150, 150, 21);
    Labeled->EditLabel()->SetCaption(QStringLiteral("Labeled edit"));
    Memo = place<TMemo>(Form, 10, 180, 150, 80);
    Memo->SetText(QStringLiteral("First line\r\nSecond line"));
    Memo->SetScrollBars(ssVertical);
  }

  void buildChoices() {
    auto* Button = place<TButton>(Form, 180, 40, 90, 25);
    Button->SetCaption(QStringLiteral("&Button"));
    auto* Bit = place<TBitBtn>(Form, 280, 40, 90, 25);
    Bit->SetKind(bkOK);
    auto* Speed = place<TSpeedButton>(Form, 380, 40, 25, 25);
    Speed->SetCaption(QStringLiteral("..."));
    auto* Check = place<TCheckBox>(Form, 180, 75, 120, 17);
    Check->SetCaption(QStringLiteral("Check box"));
    Check->SetChecked(true);
    auto* Radio = place<TRadioButton>(Form, 310, 75, 120, 17);
    Radio->SetCaption(QStringLiteral("Radio button"));
    auto* Group = place<TRadioGroup>(Form, 180, 100, 250, 70);
    Group->SetCaption(QStringLiteral("Start with"));
    Group->SetColumns(2);
    for (const char* Item : {"Catalog", "Search", "Buffer"}) Group->Items()->Add(QString::fromLatin1(Item));
    Group->SetItemIndex(0);
    Painted.insert(Painted.end(), {Button, Bit, Check, Radio, Group});
    auto* Combo = place<TComboBox>(Form, 180, 180, 150, 21);
    for (const char* Item : {"not change", "Journal", "Book"}) Combo->Items()->Add(QString::fromLatin1(Item));
    Combo->SetItemIndex(1);
    List = place<TListBox>(Form, 180, 210, 150, 60);
    for (const char* Item : {"AUTHOR", "TITLE", "YEAR", "JOURNAL", "ABSTRACT"}) List->Items()->Add(QString::fromLatin1(Item));
    List->SetItemIndex(1);
  }

  void buildDecoration() {
    auto* Pages = place<TPageControl>(Form, 450, 40, 250, 150);
    for (const char* Caption : {"General", "Paths"}) {
      auto* Sheet = new TTabSheet(Form);
      Sheet->SetPageControl(Pages);
      Sheet->SetCaption(QString::fromLatin1(Caption));
    }
    auto* Label = place<TLabel>(Pages->Pages(0), 10, 10, 200, 16);
    Label->SetCaption(QStringLiteral("A label on the first page"));
    auto* Panel = place<TPanel>(Form, 450, 200, 250, 80);
    Panel->SetCaption(QStringLiteral("Panel"));
    Panel->SetBevelOuter(bvLowered);
    auto* Box = place<TGroupBox>(Form, 450, 290, 250, 80);
    Box->SetCaption(QStringLiteral("Group box"));
    place<TBevel>(Box, 10, 20, 100, 2)->SetShape(bsTopLine);
    Shape = place<TShape>(Box, 120, 20, 40, 40);
    Shape->Brush()->SetColor(clRed);
    Shape->SetShape(stEllipse);
    auto* Image = place<TImage>(Box, 170, 20, 40, 40);
    Image->Canvas()->Brush()->SetColor(clBlue);
    Image->Canvas()->FillRect(TRect{0, 0, 40, 40});
  }

  void buildData() {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Title", ftString, 40);
    for (int I = 1; I <= 3; ++I) DataSet.AppendRow({I, QStringLiteral("Reference %1").arg(I)});
    DataSet.Open();
    Source.SetDataSet(&DataSet);
    auto* Nav = place<TDBNavigator>(Form, 10, 280, 240, 25);
    Nav->SetDataSource(&Source);
    auto* DBEdit = place<TDBEdit>(Form, 10, 315, 150, 21);
    DBEdit->SetDataSource(&Source);
    DBEdit->SetDataField(QStringLiteral("Title"));
    auto* DBMemo = place<TDBMemo>(Form, 10, 345, 240, 60);
    DBMemo->SetDataSource(&Source);
    DBMemo->SetDataField(QStringLiteral("Title"));
  }

  QWidget* TopLevel() const { return widgetOf(Form); }

  QImage Shot() const {
    return serverShot(TopLevel());
  }

  // A point of Control's client area in the top-level window: the screen
  // point our window model gives, less where the server put the window.
  QPoint At(TControl* Control, QPoint Local) const {
    const TPoint Screen = Control->ClientToScreen({Local.x(), Local.y()});
    return QPoint(Screen.X, Screen.Y) - TopLevel()->mapToGlobal(QPoint(0, 0));
  }

  bool Shown() const {
    QWidget* W = TopLevel();
    if (!W || !W->windowHandle() || !W->windowHandle()->isExposed()) return false;
    const QImage Image = Shot();
    return Image.pixelColor(At(Shape, {20, 20})) == qtColor(clRed);
  }
};

using ControlsX11Test = X11Fixture;

TEST_F(ControlsX11Test, EveryControlIsShownCapturedAndTyped) {
  TShowcase S;
  S.Form->Show();
  ASSERT_TRUE(waitUntil([&] { return S.Shown(); })) << "the form was not mapped and painted on the X server";

  const QImage Shot = S.Shot();
  const QString Path = SaveForReview(Shot, QStringLiteral("controls_x11.png"));
  const QImage Back(Path);
  ASSERT_EQ(Back.size(), Shot.size());

  // The server shows each control's own face: the edit's window colour, the
  // list's highlighted row, the memo's window colour inside its edge.
  EXPECT_EQ(Back.pixelColor(S.At(S.Edit, {S.Edit->ClientWidth() - 3, 3})), qtColor(clWindow));
  EXPECT_EQ(Back.pixelColor(S.At(S.Memo, {S.Memo->ClientWidth() - 3, S.Memo->ClientHeight() - 3})),
            qtColor(clWindow));
  const TRect Row = S.List->ItemRect(1);
  EXPECT_EQ(Back.pixelColor(S.At(S.List, {Row.Right - 3, (Row.Top + Row.Bottom) / 2})), qtColor(clHighlight));

  // One look: the server shows exactly what our painters draw for the
  // buttons, check and radio boxes, the radio group, the progress and the
  // scroll bar, so no Qt-styled pixel is left.
  for (TWinControl* C : S.Painted) {
    SCOPED_TRACE(C->ClassName().toStdString());
    const auto Ours = test::Snapshot(C);
    int Differing = 0;
    for (int Y = 0; Y < C->ClientHeight(); ++Y)
      for (int X = 0; X < C->ClientWidth(); ++X)
        Differing += Back.pixelColor(S.At(C, {X, Y})) != qtColor(PixelAt(Ours.get(), X, Y));
    EXPECT_EQ(Differing, 0);
  }

  // Typing on the server reaches the focused edit.
  S.Edit->SetFocus();
  S.Edit->SelectAll();
  for (char C : std::string("typed")) QTest::keyClick(S.TopLevel()->windowHandle(), C);
  ASSERT_TRUE(waitUntil([&] { return S.Edit->Text() == QStringLiteral("typed"); })) << S.Edit->Text().toStdString();

  S.Form->Close();
  EXPECT_TRUE(waitUntil([&] { return !S.TopLevel()->isVisible(); }));
}

}  // namespace
