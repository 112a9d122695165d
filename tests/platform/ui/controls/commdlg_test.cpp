#include "platform/ui/controls/commdlg.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/windowing/modaltest.h"
#include "tests/support/testing.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------------------
// filters

TEST(FilterTest, ParsesEntriesAndSplitsPatterns) {
  struct Case {
    const char* Name;
    const char* Filter;
    std::vector<TFilterEntry> Expected;
  } Cases[] = {
      {"empty", "", {}},
      {"two entries",
       "Text file (*.txt)|*.TXT|All files (*.*)|*.*",
       {{"Text file (*.txt)", {"*.TXT"}}, {"All files (*.*)", {"*.*"}}}},
      {"patterns trimmed", "Word|*.DOC; *.DOCX", {{"Word", {"*.DOC", "*.DOCX"}}}},
      {"empty patterns dropped", "A|*.a;;  ;*.b", {{"A", {"*.a", "*.b"}}}},
      {"description without patterns", "A|*.a|B", {{"A", {"*.a"}}, {"B", {}}}},
      {"empty description", "|*.x", {{"", {"*.x"}}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const std::vector<TFilterEntry> Got = ParseFilter(QString::fromUtf8(C.Filter));
    ASSERT_EQ(Got.size(), C.Expected.size());
    for (size_t I = 0; I < Got.size(); ++I) {
      EXPECT_EQ(Got[I].Description, C.Expected[I].Description);
      EXPECT_EQ(Got[I].Patterns, C.Expected[I].Patterns);
    }
  }
}

TEST(FilterTest, PatternsMatchIgnoringCase) {
  struct Case {
    const char* File;
    const char* Pattern;
    bool Matches;
  } Cases[] = {
      {"a.txt", "*.TXT", true},      {"/tmp/dir/A.TxT", "*.txt", true}, {"a.txt.bak", "*.txt", false},
      {"a.doc", "*.DOCX", false},    {"noext", "*.*", true},           {"ab.c", "?b.*", true},
      {"b.c", "?b.*", false},        {"a.b", "*", true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.File) + " " + C.Pattern);
    EXPECT_EQ(MatchesFilterPattern(QString::fromUtf8(C.File), QString::fromUtf8(C.Pattern)), C.Matches);
  }
  EXPECT_EQ(CaseInsensitiveGlob(QStringLiteral("*.Tx1")), QStringLiteral("*.[tT][xX]1"));
  EXPECT_EQ(CaseInsensitiveGlob(QStringLiteral("*.*")), QStringLiteral("*"));
}

TEST(FilterTest, DefaultExtOnlyForNamesWithoutOne) {
  struct Case {
    const char* Name;
    const char* Ext;
    const char* Expected;
  } Cases[] = {
      {"r", "txt", "r.txt"},         {"r.TXT", "txt", "r.TXT"},       {"a.b", "txt", "a.b"},
      {"r", "", "r"},                {"/dir.d/r", "txt", "/dir.d/r.txt"}, {"/dir/r.rtf", "txt", "/dir/r.rtf"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ApplyDefaultExt(QString::fromUtf8(C.Name), QString::fromUtf8(C.Ext)), QString::fromUtf8(C.Expected));
  }
}

// ---------------------------------------------------------------------------
// file dialogs

TEST(OpenDialogTest, DefaultsAreTheOriginalOnes) {
  TOpenDialog Open(nullptr);
  EXPECT_EQ(Open.FilterIndex, 1);
  EXPECT_EQ(Open.Options, (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
  TSaveDialog Save(nullptr);
  EXPECT_FALSE(Save.Options.Contains(ofOverwritePrompt));
  EXPECT_FALSE(Save.Options.Contains(ofFileMustExist));
}

TEST(OpenDialogTest, RequestCarriesTheSettingsAndTheAnswerComesBack) {
  TOpenDialog Dialog(nullptr);
  Dialog.Title = QStringLiteral("Pick");
  Dialog.Filter = QStringLiteral("Text file (*.txt)|*.TXT|All files (*.*)|*.*");
  Dialog.FilterIndex = 2;
  Dialog.InitialDir = QStringLiteral("/data");
  Dialog.FileName = QStringLiteral("old.txt");
  Dialog.DefaultExt = QStringLiteral("txt");
  TModalRequest Asked;
  test::ModalScript Script;
  Script.Then([&](TModalRequest& Request) {
    Asked = Request;
    Request.Value = QStringLiteral("/data/No");
    static_cast<TOpenDialog*>(Request.Dialog)->FilterIndex = 1;
    Request.Result = mrOk;
  });
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Asked.Kind, QStringLiteral("opendialog"));
  EXPECT_EQ(Asked.ClassName, QStringLiteral("TOpenDialog"));
  EXPECT_EQ(Asked.Caption, QStringLiteral("Pick"));
  EXPECT_EQ(Asked.Value, QStringLiteral("old.txt"));
  EXPECT_EQ(Asked.Dialog, &Dialog);
  EXPECT_EQ(Asked.Default, mrCancel);
  // a name that does not exist comes back, with the default extension
  EXPECT_EQ(Dialog.FileName, QStringLiteral("/data/No.txt"));
  EXPECT_EQ(Dialog.FilterIndex, 1);
}

TEST(OpenDialogTest, CancelChangesNothing) {
  TSaveDialog Dialog(nullptr);
  Dialog.FileName = QStringLiteral("keep.txt");
  Dialog.FilterIndex = 2;
  test::ModalScript Script;
  Script.Then([](TModalRequest& Request) {
    EXPECT_EQ(Request.Kind, QStringLiteral("savedialog"));
    Request.Value = QStringLiteral("other");
    static_cast<TOpenDialog*>(Request.Dialog)->FilterIndex = 3;
    Request.Result = mrCancel;
  });
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Dialog.FileName, QStringLiteral("keep.txt"));
  EXPECT_EQ(Dialog.FilterIndex, 2);
}

TEST(OpenDialogTest, SharedInstanceKeepsItsSettings) {
  TOpenDialog Dialog(nullptr);
  Dialog.Title = QStringLiteral("Documents");
  Dialog.Filter = QStringLiteral("Docs|*.doc");
  QStringList Titles, Filters;
  test::ModalScript Script;
  for (const char* Answer : {"/a.doc", "/b.doc"})
    Script.Then([&, Answer](TModalRequest& Request) {
      const auto* Asked = static_cast<TOpenDialog*>(Request.Dialog);
      Titles << Asked->Title;
      Filters << Asked->Filter;
      Request.Value = QString::fromUtf8(Answer);
      Request.Result = mrOk;
    });
  ASSERT_TRUE(Dialog.Execute());
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Titles, QStringList({"Documents", "Documents"}));
  EXPECT_EQ(Filters, QStringList({"Docs|*.doc", "Docs|*.doc"}));
  EXPECT_EQ(Dialog.FileName, QStringLiteral("/b.doc"));
}

TEST(OpenDialogTest, NobodyToAnswerIsCancel) {
  const TDialogBox Previous = SetDialogBox({});
  InstallCommonDialogs();
  TOpenDialog Dialog(nullptr);
  Dialog.FileName = QStringLiteral("x");
  String Folder = QStringLiteral("/start");
  String Text = QStringLiteral("v");
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_FALSE(SelectDirectory(QStringLiteral("Catalog selection"), String(), Folder));
  EXPECT_FALSE(InputQuery(QStringLiteral("C"), QStringLiteral("P"), Text));
  EXPECT_EQ(Dialog.FileName, QStringLiteral("x"));
  EXPECT_EQ(Folder, QStringLiteral("/start"));
  EXPECT_EQ(Text, QStringLiteral("v"));
  SetDialogBox(Previous);
}

TEST(CommonDialogBoxTest, OtherKindsGoToTheBoxBehind) {
  QStringList Seen;
  const TDialogBox Previous = SetDialogBox([&](TModalRequest& Request) {
    Seen << Request.Kind;
    return mrYes;
  });
  InstallCommonDialogs();
  TModalRequest Request;
  Request.Kind = QStringLiteral("dialog");
  EXPECT_EQ(ExecuteModal(Request), mrYes);
  TOpenDialog Dialog(nullptr);
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Seen, QStringList({"dialog"}));
  SetDialogBox(Previous);
}

// Runs Ask while the next QFileDialog to open is handed to Act.
void actOnFileDialog(const std::function<void(QFileDialog*)>& Act, const std::function<void()>& Ask) {
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    auto* Box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!Box || !Box->isVisible()) return;
    Poll.stop();
    Act(Box);
  });
  Poll.start(0);
  Ask();
}

TEST(CommonDialogBoxTest, RealFontBoxOffersEffectsOnlyWithFdEffects) {
  const TModalResponder PreviousResponder = SetModalResponder({});
  const TDialogBox PreviousBox = SetDialogBox(RunCommonDialog);
  TFontDialog Dialog(nullptr);
  Dialog.Font()->SetName(QStringLiteral("Arial"));
  Dialog.Font()->SetColor(clRed);
  struct Case {
    const char* Name;
    TFontDialogOptions Options;
    TFontStyles Expected;
  } Cases[] = {
      {"effects", {fdEffects}, {fsBold, fsUnderline}},
      {"no effects: underline neither offered nor changed", {}, {fsBold}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Dialog.Options = C.Options;
    Dialog.Font()->SetSize(10);
    Dialog.Font()->SetStyle({});
    QTimer Poll;
    QObject::connect(&Poll, &QTimer::timeout, [&] {
      auto* Box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!Box || !Box->isVisible()) return;
      Poll.stop();
      auto* Underline = Box->findChild<QCheckBox*>(QStringLiteral("underline"));
      ASSERT_NE(Underline, nullptr);
      EXPECT_EQ(Underline->isVisible(), C.Options.Contains(fdEffects));
      EXPECT_EQ(Box->findChild<QSpinBox*>(QStringLiteral("size"))->value(), 10);
      Box->findChild<QSpinBox*>(QStringLiteral("size"))->setValue(14);
      Box->findChild<QCheckBox*>(QStringLiteral("bold"))->setChecked(true);
      Underline->setChecked(true);
      Box->accept();
    });
    Poll.start(0);
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.Font()->Name(), QStringLiteral("Arial"));  // the alias stays
    EXPECT_EQ(Dialog.Font()->Size(), 14);
    EXPECT_EQ(Dialog.Font()->Color(), clRed);
    EXPECT_EQ(Dialog.Font()->Style(), C.Expected);
  }
  SetDialogBox(PreviousBox);
  SetModalResponder(PreviousResponder);
}

TEST(CommonDialogBoxTest, RealColorDialogTakesTheCustomColoursByLetter) {
  const TModalResponder PreviousResponder = SetModalResponder({});
  const TDialogBox PreviousBox = SetDialogBox(RunCommonDialog);
  TColorDialog Dialog(nullptr);
  Dialog.Color = clBlue;
  Dialog.CustomColors()->Add(QStringLiteral("ColorC=00FF80"));
  Dialog.CustomColors()->Add(QStringLiteral("ColorZ=123456"));
  QTimer Poll;
  QObject::connect(&Poll, &QTimer::timeout, [&] {
    auto* Box = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    if (!Box || !Box->isVisible()) return;
    Poll.stop();
    EXPECT_EQ(Box->currentColor(), QColor(0, 0, 255));
    EXPECT_EQ(QColorDialog::customColor(2), QColor(0x00, 0xFF, 0x80));
    Box->setCurrentColor(QColor(0x10, 0x20, 0x30));
    QColorDialog::setCustomColor(15, QColor(0xAB, 0xCD, 0xEF));
    Box->accept();
  });
  Poll.start(0);
  EXPECT_TRUE(Dialog.Execute());
  EXPECT_EQ(Dialog.Color, TColor(0x302010));
  // confirmed, the box's custom colours come back, every slot by its letter
  EXPECT_EQ(Dialog.CustomColors()->Values(QStringLiteral("ColorC")), QStringLiteral("00FF80"));
  EXPECT_EQ(Dialog.CustomColors()->Values(QStringLiteral("ColorP")), QStringLiteral("ABCDEF"));
  EXPECT_EQ(Dialog.CustomColors()->Values(QStringLiteral("ColorZ")), QStringLiteral("123456")) << "no slot: kept";
  SetDialogBox(PreviousBox);
  SetModalResponder(PreviousResponder);
}

TEST(CommonDialogBoxTest, RealFileDialogShowsTheSettingsAndReturnsTheTypedName) {
  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  const TModalResponder PreviousResponder = SetModalResponder({});
  const TDialogBox PreviousBox = SetDialogBox(RunCommonDialog);
  TOpenDialog Dialog(nullptr);
  Dialog.Title = QStringLiteral("Open report");
  Dialog.Filter = QStringLiteral("Text file (*.txt)|*.TXT|Word|*.DOC; *.DOCX");
  Dialog.FilterIndex = 2;
  Dialog.InitialDir = Dir.path();
  Dialog.DefaultExt = QStringLiteral("txt");
  bool Answered = false;
  actOnFileDialog(
      [&](QFileDialog* Box) {
        EXPECT_EQ(Box->windowTitle(), QStringLiteral("Open report"));
        EXPECT_EQ(Box->directory().absolutePath(), QDir(Dir.path()).absolutePath());
        EXPECT_EQ(Box->nameFilters(), QStringList({"Text file (*.txt) (*.[tT][xX][tT])",
                                                   "Word (*.[dD][oO][cC] *.[dD][oO][cC][xX])"}));
        EXPECT_EQ(Box->selectedNameFilter(), QStringLiteral("Word (*.[dD][oO][cC] *.[dD][oO][cC][xX])"));
        Box->selectNameFilter(Box->nameFilters().front());
        Box->selectFile(QStringLiteral("r"));
        static_cast<QDialog*>(Box)->accept();  // virtual: the file dialog takes the typed name
      },
      [&] { Answered = Dialog.Execute(); });
  SetDialogBox(PreviousBox);
  SetModalResponder(PreviousResponder);
  ASSERT_TRUE(Answered);
  EXPECT_EQ(Dialog.FileName, QDir(Dir.path()).absoluteFilePath(QStringLiteral("r.txt")));
  EXPECT_EQ(Dialog.FilterIndex, 1);
}

// ---------------------------------------------------------------------------
// folder, font, colour, input

TEST(SelectDirectoryTest, AnswerComesBackWithoutTrailingDelimiter) {
  struct Case {
    const char* Name;
    const char* Root;
    const char* Start;
    const char* Answer;
    const char* Asked;
    const char* Expected;
  } Cases[] = {
      {"trailing delimiter dropped", "", "/home", "/data/cat/", "/home", "/data/cat"},
      {"empty start asks at the root", "/root", "", "/root/x", "/root", "/root/x"},
      {"the root folder stays", "", "/a", "/", "/a", "/"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    String Directory = QString::fromUtf8(C.Start);
    String Asked;
    test::ModalScript Script;
    Script.Then([&](TModalRequest& Request) {
      EXPECT_EQ(Request.Kind, QStringLiteral("selectdirectory"));
      EXPECT_EQ(Request.Caption, QStringLiteral("Catalog selection"));
      Asked = Request.Value;
      Request.Value = QString::fromUtf8(C.Answer);
      Request.Result = mrOk;
    });
    ASSERT_TRUE(SelectDirectory(QStringLiteral("Catalog selection"), QString::fromUtf8(C.Root), Directory));
    EXPECT_EQ(Asked, QString::fromUtf8(C.Asked));
    EXPECT_EQ(Directory, QString::fromUtf8(C.Expected));
  }
}

TEST(FontDialogTest, FontInAndOutCancelRestores) {
  TFontDialog Dialog(nullptr);
  EXPECT_EQ(Dialog.Device, fdScreen);
  EXPECT_TRUE(Dialog.Options.Contains(fdEffects));
  TFont Start;
  Start.SetName(QStringLiteral("Arial"));
  Start.SetSize(10);
  Dialog.SetFont(&Start);
  test::ModalScript Script;
  auto Choose = [](TModalResult Result) {
    return [Result](TModalRequest& Request) {
      EXPECT_EQ(Request.Kind, QStringLiteral("fontdialog"));
      TFont* Font = static_cast<TFontDialog*>(Request.Dialog)->Font();
      EXPECT_EQ(Font->Name(), QStringLiteral("Arial"));
      Font->SetName(QStringLiteral("Tahoma"));
      Font->SetSize(14);
      Font->SetColor(clRed);
      Font->SetStyle(TFontStyles{fsBold, fsUnderline});
      Request.Result = Result;
    };
  };
  Script.Then(Choose(mrCancel)).Then(Choose(mrOk));
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Dialog.Font()->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(Dialog.Font()->Size(), 10);
  EXPECT_TRUE(Dialog.Font()->Style().Empty());
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Dialog.Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(Dialog.Font()->Size(), 14);
  EXPECT_EQ(Dialog.Font()->Color(), clRed);
  EXPECT_EQ(Dialog.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
}

TEST(ColorDialogTest, ColorInAndOutCancelRestores) {
  TColorDialog Dialog(nullptr);
  Dialog.Color = clBlue;
  Dialog.CustomColors()->Add(QStringLiteral("ColorA=FF0000"));
  test::ModalScript Script;
  auto Choose = [](TModalResult Result) {
    return [Result](TModalRequest& Request) {
      EXPECT_EQ(Request.Kind, QStringLiteral("colordialog"));
      auto* Asked = static_cast<TColorDialog*>(Request.Dialog);
      EXPECT_EQ(Asked->Color, clBlue);
      EXPECT_EQ(Asked->CustomColors()->Values(QStringLiteral("ColorA")), QStringLiteral("FF0000"));
      Asked->Color = clLime;
      Request.Result = Result;
    };
  };
  Script.Then(Choose(mrCancel)).Then(Choose(mrOk));
  EXPECT_FALSE(Dialog.Execute());
  EXPECT_EQ(Dialog.Color, clBlue);
  ASSERT_TRUE(Dialog.Execute());
  EXPECT_EQ(Dialog.Color, clLime);
}

TEST(InputQueryTest, AnswerOrCancel) {
  test::ModalScript Script;
  Script.Then([](TModalRequest& Request) {
    EXPECT_EQ(Request.Kind, QStringLiteral("inputquery"));
    EXPECT_EQ(Request.Caption, QStringLiteral("Width"));
    EXPECT_EQ(Request.Text, QStringLiteral("Column width"));
    EXPECT_EQ(Request.Value, QStringLiteral("64"));
    Request.Value = QStringLiteral("80");
    Request.Result = mrOk;
  });
  Script.Then([](TModalRequest& Request) {
    Request.Value = QStringLiteral("ignored");
    Request.Result = mrCancel;
  });
  Script.Then([](TModalRequest& Request) {
    Request.Value = QStringLiteral("typed");
    Request.Result = mrOk;
  });
  String Value = QStringLiteral("64");
  ASSERT_TRUE(InputQuery(QStringLiteral("Width"), QStringLiteral("Column width"), Value));
  EXPECT_EQ(Value, QStringLiteral("80"));
  EXPECT_EQ(InputBox(QStringLiteral("C"), QStringLiteral("P"), QStringLiteral("dflt")), QStringLiteral("dflt"));
  EXPECT_EQ(InputBox(QStringLiteral("C"), QStringLiteral("P"), QStringLiteral("dflt")), QStringLiteral("typed"));
}

}  // namespace
