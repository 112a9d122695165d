// The buffer's reports on a real catalog file: the text file's bytes, the
// Word calls as a recording Word sees them, and the RTF document read back.
#include "app/reports.h"

#include "app/settings.h"
#include "platform/os/shell.h"
#include "platform/os/wordapp.h"
#include "platform/rtl/formatsettings.h"
#include "tests/app/datamodulefixture.h"
#include "tests/support/rtfreader.h"

#include <QDir>

using namespace dmtest;

namespace {

class TRecordingShell : public IShell {
public:
  Integer Open(const String& Verb, const String& Target, Integer) override {
    Opened.push_back(Verb + u' ' + Target);
    return ShellLaunched;
  }
  std::vector<String> Opened;
};

// The buffer holds R1 ("Smith J. T. Lancet. 2020;1:2.", "Abs") and R2
// ("Иванов И. Статья. 2021.", Null); today is 2024-05-19 10:20:30.
class ReportsTest : public DataModuleTest {
protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    TRawConnection(Path).Exec(
        "DELETE FROM cat_arc;"
        "INSERT INTO cat_arc (number, sbgr4_nmb, source, summary) VALUES (1, 874, 'Smith J. T. Lancet. 2020;1:2.', 'Abs'),"
        "(2, 874, 'Иванов И. Статья. 2021.', NULL);");
    ASSERT_TRUE(Open());
    Today.SetNow(EncodeDateTime(2024, 5, 19, 10, 20, 30, 0));
    FormatSettings().LongTimeFormat = QStringLiteral("hh:nn:ss");
    Settings.prFontName = QStringLiteral("Arial");
    Settings.prFontSize = 10;
    Settings.ReferatOut = true;
    Settings.ReportEdit = false;
    Settings.ReportCatalog = Reports;
    QDir().mkpath(Reports);
  }

  TFormatSettingsScope KeepFormats;
  TRecordingShell Shell;
  TShellScope ShellScope{Shell};
  TSettings Settings;
  String Reports = Dir.filePath(QStringLiteral("reports")) + u'/';
  TComponent Owner{nullptr};
};

TEST_F(ReportsTest, TheTextReportIsUtf8WithAMark) {
  const QByteArray Mark = "\xEF\xBB\xBF";
  struct Case {
    const char* Name;
    bool ReferatOut;
    bool Empty;
    QByteArray Bytes;
  } Cases[] = {
      {"with abstracts", true, false,
       Mark + "Smith J. T. Lancet. 2020;1:2.\r\n\r\nABSTRACT\r\nAbs\r\n\r\n"
              "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2 \xD0\x98. \xD0\xA1\xD1\x82\xD0\xB0\xD1\x82\xD1\x8C"
              "\xD1\x8F. 2021.\r\n\r\n"},
      {"without abstracts", false, false,
       Mark + "Smith J. T. Lancet. 2020;1:2.\r\n\r\n" + QString::fromUtf8("Иванов И. Статья. 2021.").toUtf8() + "\r\n\r\n"},
      {"an empty buffer", true, true, Mark},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.Empty) {
      TRawConnection(Path).Exec("DELETE FROM cat_arc");
      Dm->fdqSelected->Refresh();
    }
    Settings.ReferatOut = C.ReferatOut;
    const String File = Dir.filePath(QStringLiteral("report.txt"));
    LiterToFile(Dm->fdqSelected, File, Settings);
    EXPECT_EQ(FileBytes(File), C.Bytes);
  }
  EXPECT_TRUE(Shell.Opened.empty());

  Settings.ReportEdit = true;
  LiterToFile(Dm->fdqSelected, Dir.filePath(QStringLiteral("shown.txt")), Settings);
  EXPECT_EQ(Shell.Opened, std::vector<String>{"open " + Dir.filePath(QStringLiteral("shown.txt"))});
}

TEST_F(ReportsTest, TheWordReportCallForCall) {
  TRecordingWordServer Word;
  TWordServerScope Scope(Word);
  Integer Cnt = 0;
  const String File = Reports + QStringLiteral("report1.doc");
  EXPECT_EQ(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), File);
  EXPECT_EQ(Cnt, 1);
  const std::vector<String> Heading = {"Connect", "Visible=False", "Documents.Add", "ActiveDocument", "Alignment=1",
                                       "Font.Name=Arial", "Font.Size=16", "Font.Bold=True",
                                       "TypeText(\r\nLiterature\r\n)", "Font.Bold=False", "Font.Size=10",
                                       "Alignment=0"};
  std::vector<String> Expected = Heading;
  for (const char* Call : {"TypeText(Smith J. T. Lancet. 2020;1:2.)", "TypeText(\r\n)", "TypeText(ABSTRACT)",
                           "TypeText(\r\n)", "TypeText(Abs)", "TypeText(\r\n)", "TypeText(Иванов И. Статья. 2021.)",
                           "TypeText(\r\n)", "TypeText(2024-05-19  10:20:30)", "Saved"})
    Expected.push_back(String::fromUtf8(Call));
  Expected.push_back("SaveAs(" + File + ")");
  Expected.push_back("Close(True)");
  Expected.push_back("Quit");
  EXPECT_EQ(Word.Log, Expected);

  // shown: Word stays visible with the document, and no abstract is typed without ReferatOut
  Word.Log.clear();
  Settings.ReportEdit = true;
  Settings.ReferatOut = false;
  EXPECT_EQ(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), Reports + QStringLiteral("report2.doc"));
  EXPECT_EQ(Word.Log[1], "Visible=True");
  EXPECT_EQ(std::count(Word.Log.begin(), Word.Log.end(), String("TypeText(ABSTRACT)")), 0);
  EXPECT_EQ(Word.Log.back(), "SaveAs(" + Reports + "report2.doc)") << "no Close, no Quit";
}

TEST_F(ReportsTest, TheWordDocumentReadsBackWithItsCyrillicText) {
  Integer Cnt = 0;
  const String File = MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt);
  std::vector<String> Texts;
  for (const rtftest::Paragraph& P : rtftest::RtfReader(FileBytes(File)).Read()) Texts.push_back(P.Text());
  EXPECT_EQ(Texts, Lines({"", "Literature", "Smith J. T. Lancet. 2020;1:2.", "ABSTRACT", "Abs",
                          "Иванов И. Статья. 2021.", "2024-05-19  10:20:30"}));
  const std::vector<rtftest::Paragraph> Paragraphs = rtftest::RtfReader(FileBytes(File)).Read();
  ASSERT_GE(Paragraphs.size(), 3u);
  EXPECT_TRUE(Paragraphs[1].Centred);
  EXPECT_EQ(Paragraphs[1].Runs.front().Font, "Arial");
  EXPECT_EQ(Paragraphs[1].Runs.front().HalfPoints, 32);
  EXPECT_TRUE(Paragraphs[1].Runs.front().Bold);
  EXPECT_FALSE(Paragraphs[2].Centred);
  EXPECT_EQ(Paragraphs[2].Runs.front().HalfPoints, 20);
  EXPECT_FALSE(Paragraphs[2].Runs.front().Bold);
  EXPECT_TRUE(Owner.ComponentCount() == 0) << "Word quit and its components went";
}

TEST_F(ReportsTest, ReportsAreNumberedOnToAnUnusedName) {
  TRecordingWordServer Word;
  TWordServerScope Scope(Word);
  for (const char* Old : {"report1.doc", "report2.doc"}) {
    QFile File(Reports + QString::fromLatin1(Old));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Old);
  }
  Integer Cnt = 0;
  EXPECT_EQ(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), Reports + QStringLiteral("report3.doc"));
  EXPECT_EQ(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), Reports + QStringLiteral("report4.doc"));
  EXPECT_EQ(FileBytes(Reports + QStringLiteral("report1.doc")), "report1.doc");
  EXPECT_EQ(FileBytes(Reports + QStringLiteral("report2.doc")), "report2.doc");

  EXPECT_EQ(ReportFileName(String(), 1), "report1.doc") << "Word's current folder";
  EXPECT_EQ(ReportFileName(QStringLiteral("c:\\rep\\"), 12), "c:\\rep\\report12.doc");
}

TEST_F(ReportsTest, WithoutWordOrWithAFailingCall) {
  TRecordingWordServer Word;
  TWordServerScope Scope(Word);
  Word.Absent = true;
  Integer Cnt = 0;
  EXPECT_EQ(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), String());
  EXPECT_EQ(Shown, Lines({"MS Word not installed"}));
  EXPECT_EQ(ShownKinds, std::vector<TMessageKind>{TMessageKind::Plain});
  EXPECT_TRUE(Word.Log.empty());
  EXPECT_FALSE(IsWordInstalled());

  Word.Absent = false;
  Word.FailAtCall = 7;
  Word.FailMessage = QStringLiteral("The remote procedure call failed");
  EXPECT_RAISES(MakeText1(&Owner, Dm->fdqSelected, Settings, Cnt), EOleException, "The remote procedure call failed");
  ASSERT_EQ(Word.Log.size(), 7u);
  EXPECT_EQ(Word.Log.back(), "Quit") << "the instance is not left running";
  EXPECT_EQ(Owner.ComponentCount(), 0);
}

}  // namespace
