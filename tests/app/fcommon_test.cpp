#include "app/fcommon.h"

#include "platform/os/program.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/dialogs.h"
#include <QStringList>
#include "platform/ui/windowing/modaltest.h"  // after <QStringList>, which it uses unincluded
#include "tests/support/testing.h"

#include <QFile>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace {

TEST(ColorTextTest, ColorToHexTextWritesRedGreenBlue) {
  struct Case {
    const char* Name;
    TColor Color;
    const char* Expected;
  } Cases[] = {
      {"pure red", clRed, "#FF0000"},
      {"pure green", clLime, "#00FF00"},
      {"pure blue", clBlue, "#0000FF"},
      {"channels in reverse byte order", 0x123456, "#563412"},
      {"black", clBlack, "#000000"},
      // A system colour would otherwise give its index as the red channel.
      {"system window colour resolved", clWindow, "#FFFFFF"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ColorToHexText(C.Color), QString::fromUtf8(C.Expected));
  }
}

TEST(ColorTextTest, HexTextToColorReadsSixDigits) {
  struct Case {
    const char* Name;
    const char* Text;
    TColor Expected;
  } Cases[] = {
      {"with mark", "#FF0000", clRed},
      {"without mark", "FF0000", clRed},
      {"lower case", "#ff8000", 0x0080FF},
      {"channels in reverse byte order", "#563412", 0x123456},
      {"every mark dropped after a leading one", "##FF#0000", clRed},
      {"digits after the sixth ignored", "#0000FF99", clBlue},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(HexTextToColor(QString::fromUtf8(C.Text)), C.Expected);
  }
}

TEST(ColorTextTest, HexTextToColorRoundTripsColorToHexText) {
  for (const TColor Color : {clRed, clNavy, clTeal, TColor(0xA1B2C3), clWhite})
    EXPECT_EQ(HexTextToColor(ColorToHexText(Color)), Color);
}

TEST(ColorTextTest, HexTextToColorRejectsTextThatIsNotSixHexDigits) {
  EXPECT_RAISES(HexTextToColor(QString()), EConvertError,
                "'' is not a valid colour text: \"#\" and six hexadecimal digits expected");
  EXPECT_RAISES(HexTextToColor(QStringLiteral("#12345")), EConvertError,
                "'#12345' is not a valid colour text: \"#\" and six hexadecimal digits expected");
  EXPECT_THROW(HexTextToColor(QStringLiteral("#GG0000")), EConvertError);
  EXPECT_THROW(HexTextToColor(QStringLiteral("#00ZZ00")), EConvertError);
  // Without a leading "#" a later one stays and spoils its pair.
  EXPECT_THROW(HexTextToColor(QStringLiteral("FF#0000")), EConvertError);
}

TEST(TextRoutinesTest, TextBefore) {
  struct Case {
    const char* Name;
    const char* Text;
    const char* Sub;
    const char* Expected;
  } Cases[] = {
      {"archiver path", "c:\\tools\\winrar\\winrar.exe m -ep", "exe", "c:\\tools\\winrar\\winrar."},
      {"sub-text at the very start", "exe m", "exe", ""},
      {"sub-text absent", "7z a", "exe", "7z a"},
      {"empty sub-text", "abc", "", "abc"},
      {"first of two", "a.exe b.exe", "exe", "a."},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(TextBefore(QString::fromUtf8(C.Text), QString::fromUtf8(C.Sub)), QString::fromUtf8(C.Expected));
  }
}

TEST(TextRoutinesTest, DeleteAllCharsAndDeleteFirstText) {
  EXPECT_EQ(DeleteAllChars(QStringLiteral("O'Brien's''"), u'\''), QStringLiteral("OBriens"));
  EXPECT_EQ(DeleteAllChars(QStringLiteral("..a..b."), u'.'), QStringLiteral("ab"));
  EXPECT_EQ(DeleteAllChars(QStringLiteral("none"), u'.'), QStringLiteral("none"));
  EXPECT_EQ(DeleteAllChars(QString(), u'.'), QString());

  EXPECT_EQ(DeleteFirstText(QStringLiteral("TI  - TI  - Title"), QStringLiteral("TI  - ")),
            QStringLiteral("TI  - Title"));
  EXPECT_EQ(DeleteFirstText(QStringLiteral("AU  - Smith"), QStringLiteral("TI  - ")), QStringLiteral("AU  - Smith"));
  EXPECT_EQ(DeleteFirstText(QStringLiteral("abc"), QString()), QStringLiteral("abc"));
}

TEST(TextRoutinesTest, CaseChangesCoverEveryAlphabet) {
  String Text = QStringLiteral("ИВАНОВ И.И., SMITH J., ÆSOP");
  LowerCaseText(Text);
  EXPECT_EQ(Text, QStringLiteral("иванов и.и., smith j., æsop"));

  String Blank = QStringLiteral(" \t ");
  LowerCaseText(Blank);
  EXPECT_EQ(Blank, QStringLiteral(" \t "));

  EXPECT_EQ(UpperCaseChar(u'я'), QChar(u'Я'));
  EXPECT_EQ(UpperCaseChar(u'ё'), QChar(u'Ё'));
  EXPECT_EQ(UpperCaseChar(u'a'), QChar(u'A'));
  EXPECT_EQ(UpperCaseChar(u'7'), QChar(u'7'));
}

TEST(TextRoutinesTest, CapitalizeWords) {
  struct Case {
    const char* Name;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {"empty", "", ""},
      {"surnames with initials", "smith j.a., jones k.l., brown a.", "Smith J.A., Jones K.L., Brown A."},
      {"upper case input lowered first", "SMITH JA, JONES KL", "Smith Ja, Jones Kl"},
      {"apostrophe does not start a word", "o'brien j", "O'brien J"},
      {"hyphen does not start a word", "jean-luc picard", "Jean-luc Picard"},
      {"Cyrillic", "иванов и.и., петров п.п.", "Иванов И.И., Петров П.П."},
      {"brackets and quotes", "(dapa-hf) \"emperor\" [x]{y}", "(Dapa-hf) \"Emperor\" [X]{Y}"},
      {"slash colon semicolon backslash", "a/b:c;d\\e", "A/B:C;D\\E"},
      {"tab and line breaks", "a\tb\nc\rd", "A\tB\nC\rD"},
      {"leading blank", " x", " X"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(CapitalizeWords(QString::fromUtf8(C.Text)), QString::fromUtf8(C.Expected));
  }
}

class FileRoutinesTest : public ::testing::Test {
protected:
  String path(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }
  QTemporaryDir Dir;
};

TEST_F(FileRoutinesTest, FileSizeBytes) {
  QFile Small(path("five.bin"));
  ASSERT_TRUE(Small.open(QIODevice::WriteOnly));
  Small.write("12345");
  Small.close();
  EXPECT_EQ(FileSizeBytes(Small.fileName()), 5);

  QFile Empty(path("empty.bin"));
  ASSERT_TRUE(Empty.open(QIODevice::WriteOnly));
  Empty.close();
  EXPECT_EQ(FileSizeBytes(Empty.fileName()), 0);

  EXPECT_THROW(FileSizeBytes(path("missing.bin")), EInOutError);
}

// A catalog past 2 GiB would wrap to a negative 32-bit size.
TEST_F(FileRoutinesTest, FileSizeBytesIsRightPastTwoGigabytes) {
  constexpr Int64 ThreeGiB = Int64(3) << 30;
  QFile Big(path("big.sqlite"));
  ASSERT_TRUE(Big.open(QIODevice::WriteOnly));
  if (!Big.resize(ThreeGiB)) GTEST_SKIP() << "the temporary folder holds no sparse 3 GiB file";
  Big.close();
  EXPECT_EQ(FileSizeBytes(Big.fileName()), ThreeGiB);
}

TEST_F(FileRoutinesTest, GetExeVersionSplitsTheProgramVersion) {
  Cardinal MS = 0;
  Cardinal LS = 0;
  ASSERT_TRUE(GetFileVersion(ExecutablePath(), MS, LS));
  Integer Major = -1, Minor = -1, Release = -1, Build = -1;
  GetExeVersion(ExecutablePath(), Major, Minor, Release, Build);
  EXPECT_EQ(Major, Integer(MS >> 16));
  EXPECT_EQ(Minor, Integer(MS & 0xFFFF));
  EXPECT_EQ(Release, Integer(LS >> 16));
  EXPECT_EQ(Build, Integer(LS & 0xFFFF));
}

TEST_F(FileRoutinesTest, GetExeVersionOfAFileWithoutVersion) {
  QFile Other(path("other.exe"));
  ASSERT_TRUE(Other.open(QIODevice::WriteOnly));
  Other.close();
  Integer Major = 0, Minor = 0, Release = 0, Build = 0;
  EXPECT_RAISES(GetExeVersion(Other.fileName(), Major, Minor, Release, Build), Exception,
                QStringLiteral("Ошибка версии файла ") + Other.fileName());
  EXPECT_RAISES(GetExeVersion(path("missing.exe"), Major, Minor, Release, Build), Exception,
                QStringLiteral("Ошибка версии файла ") + path("missing.exe"));
}

TEST(RunAndWaitTest, AnswersTheExitCodeOrMinusOne) {
  EXPECT_EQ(RunAndWait(QStringLiteral("no-such-archiver-program m -ep a.rar b.sqlite"), SW_HIDE), -1);
  EXPECT_EQ(RunAndWait(QStringLiteral("sh -c \"exit 3\""), SW_HIDE), 3);
  EXPECT_EQ(RunAndWait(QStringLiteral("true"), SW_HIDE), 0);
}

// A command line cut at 512 characters would run a different command.
TEST(RunAndWaitTest, RunsALongCommandLineWhole) {
  const String Word(300, u'x');
  const String Line = QStringLiteral("test ") + Word + QStringLiteral(" != ") + Word;
  ASSERT_GT(Line.size(), 512);
  EXPECT_EQ(RunAndWait(Line, SW_HIDE), 1);  // the two words are equal
}

TEST(MessageBoxTest, GoesToTheInstalledHandlerThenBackToThePlatformBox) {
  std::vector<std::pair<TMessageKind, String>> Shown;
  const TMessageBoxHandler Previous =
      SetMessageHandler([&](TMessageKind Kind, const String& Text) { Shown.emplace_back(Kind, Text); });
  ShowMessageBox(TMessageKind::Warning, QStringLiteral("Программа уже запущена"));
  ShowMessageBox(TMessageKind::Information, QStringLiteral("done"));
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[0].first, TMessageKind::Warning);
  EXPECT_EQ(Shown[0].second, QStringLiteral("Программа уже запущена"));
  EXPECT_EQ(Shown[1].first, TMessageKind::Information);
  SetMessageHandler(Previous);

  struct Case {
    TMessageKind Kind;
    const char* Caption;
  } Cases[] = {{TMessageKind::Warning, "Warning"},
               {TMessageKind::Information, "Information"},
               {TMessageKind::Error, "Error"},
               {TMessageKind::Confirmation, "Confirmation"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Caption);
    TModalRequest Asked;
    test::ModalScript Script;
    Script.Then([&](TModalRequest& Request) {
      Asked = Request;
      Request.Result = mrOk;
    });
    ShowMessageBox(C.Kind, QStringLiteral("Файл не указан"));
    EXPECT_EQ(Asked.Kind, QStringLiteral("dialog"));
    EXPECT_EQ(Asked.Caption, QString::fromLatin1(C.Caption));
    EXPECT_EQ(Asked.Text, QStringLiteral("Файл не указан"));
    EXPECT_EQ(Asked.Buttons, Integer(TMsgDlgButtons{mbOK}.Bits()));
  }
  EXPECT_EQ(Shown.size(), 2u);
}

TEST(QuestionTest, TheInstalledHandlerAnswersWithKindCaptionAndButtons) {
  struct TAsked {
    TMessageKind Kind;
    String Caption;
    String Text;
    TMessageButtons Buttons;
  };
  std::vector<TAsked> Asked;
  const TQuestionHandler Previous =
      SetQuestionHandler([&](TMessageKind Kind, const String& Caption, const String& Text, TMessageButtons Buttons) {
        Asked.push_back({Kind, Caption, Text, Buttons});
        return Buttons == TMessageButtons::YesNo ? TMessageAnswer::Yes : TMessageAnswer::OK;
      });
  EXPECT_EQ(AskQuestion(TMessageKind::Warning, QStringLiteral("Are you sure you want to delete?"),
                        TMessageButtons::YesNo),
            TMessageAnswer::Yes);
  EXPECT_EQ(AskQuestion(TMessageKind::Error, QStringLiteral("database is locked"), TMessageButtons::OKCancel,
                        QStringLiteral("Database communication error")),
            TMessageAnswer::OK);
  SetQuestionHandler(Previous);

  ASSERT_EQ(Asked.size(), 2u);
  EXPECT_EQ(Asked[0].Kind, TMessageKind::Warning);
  EXPECT_EQ(Asked[0].Caption, String()) << "the box's usual caption";
  EXPECT_EQ(Asked[0].Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(Asked[1].Caption, QStringLiteral("Database communication error"));
  EXPECT_EQ(Asked[1].Text, QStringLiteral("database is locked"));
  EXPECT_EQ(Asked[1].Buttons, TMessageButtons::OKCancel);
}

TEST(QuestionTest, WithoutAHandlerThePlatformBoxAsksWithTheRefusingButtonAsDefault) {
  struct Case {
    const char* Name;
    TMessageKind Kind;
    TMessageButtons Buttons;
    const char* Caption;
    TModalResult Answer;
    TMessageAnswer Expected;
    const char* AskedCaption;
    TMsgDlgButtons AskedButtons;
    TModalResult AskedDefault;
  } Cases[] = {
      {"yes or no, accepted", TMessageKind::Warning, TMessageButtons::YesNo, "", mrYes, TMessageAnswer::Yes,
       "Warning", {mbYes, mbNo}, mrNo},
      {"yes or no, refused", TMessageKind::Confirmation, TMessageButtons::YesNo, "", mrNo, TMessageAnswer::No,
       "Confirmation", {mbYes, mbNo}, mrNo},
      {"ok or cancel, accepted", TMessageKind::Information, TMessageButtons::OKCancel, "", mrOk, TMessageAnswer::OK,
       "Information", mbOKCancel, mrCancel},
      {"a caption: the message box, cancelled", TMessageKind::Error, TMessageButtons::OKCancel,
       "Database communication error", IDCANCEL, TMessageAnswer::Cancel, "Database communication error", mbOKCancel,
       IDCANCEL},
      {"a caption, yes or no", TMessageKind::Warning, TMessageButtons::YesNo, "Delete", IDYES, TMessageAnswer::Yes,
       "Delete", {mbYes, mbNo}, IDNO},
      {"an answer that is no button refuses", TMessageKind::Warning, TMessageButtons::YesNo, "", mrCancel,
       TMessageAnswer::No, "Warning", {mbYes, mbNo}, mrNo},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TModalRequest Asked;
    test::ModalScript Script;
    Script.Then([&](TModalRequest& Request) {
      Asked = Request;
      Request.Result = C.Answer;
    });
    EXPECT_EQ(AskQuestion(C.Kind, QStringLiteral("Удалить?"), C.Buttons, QString::fromUtf8(C.Caption)), C.Expected);
    EXPECT_EQ(Asked.Kind, QStringLiteral("dialog"));
    EXPECT_EQ(Asked.Caption, QString::fromUtf8(C.AskedCaption));
    EXPECT_EQ(Asked.Text, QStringLiteral("Удалить?"));
    EXPECT_EQ(Asked.Buttons, Integer(C.AskedButtons.Bits()));
    EXPECT_EQ(Asked.Default, C.AskedDefault);
  }
}

TEST(QuestionTest, WithNoOneToAnswerTheRefusingButtonAnswers) {
  ASSERT_FALSE(ModalResponderInstalled());
  EXPECT_EQ(AskQuestion(TMessageKind::Warning, QStringLiteral("Удалить?"), TMessageButtons::YesNo),
            TMessageAnswer::No);
  EXPECT_EQ(AskQuestion(TMessageKind::Error, QStringLiteral("database is locked"), TMessageButtons::OKCancel,
                        QStringLiteral("Database communication error")),
            TMessageAnswer::Cancel);
}

}  // namespace
