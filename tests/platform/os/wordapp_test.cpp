#include "platform/os/wordapp.h"

#include "platform/os/shell.h"
#include "tests/support/rtfreader.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cctype>
#include <map>
#include <utility>

namespace {

using rtftest::Paragraph;
using rtftest::RtfReader;
using rtftest::TextRun;

std::vector<Paragraph> readRtf(const QString& Path) { return RtfReader(FileBytes(Path)).Read(); }

// --------------------------------------------------------- the report

struct Row {
  String Citation;
  String Abstract;
};

const String Citation1 = QStringLiteral("Иванов И. И. Клинические исследования {том 2} \\ C:\\docs. — М.: Медицина, 2001.");
const String Abstract1 = QStringLiteral("Цель: оценить эффект.\tResults: ёлка, 𝄞, café.");
const String Citation2 = QStringLiteral("Smith J. Clinical trials. London, 1999.");

// The catalog's literature report, call for call: a centred bold heading,
// then one paragraph per citation with its abstract block, then the date.
struct ReportRun {
  bool Visible = false;
  String FileName;
};

void writeReport(TComponent& Owner, const ReportRun& How, const std::vector<Row>& Rows) {
  auto* Application = new TWordApplication(&Owner);
  auto* Document = new TWordDocument(&Owner);
  auto* Format = new TWordParagraphFormat(&Owner);
  Application->SetConnectKind(ckNewInstance);
  Application->Connect();
  Application->SetVisible(How.Visible);
  Application->Documents().Add();
  Document->ConnectTo(Application->ActiveDocument());
  Format->ConnectTo(Application->Selection().ParagraphFormat());
  Format->SetAlignment(wdAlignParagraphCenter);
  WordSelection Selection = Application->Selection();
  Selection.Font().SetName("Arial");
  Selection.Font().SetSize(16);
  Selection.Font().SetBold(true);
  Selection.TypeText("\r\nLiterature\r\n");
  Selection.Font().SetBold(false);
  Selection.Font().SetSize(10);
  Format->SetAlignment(wdAlignParagraphLeft);
  for (const Row& R : Rows) {
    Selection.TypeText(R.Citation);
    if (!R.Abstract.isEmpty()) {
      Selection.TypeText("\r\n");
      Selection.TypeText("ABSTRACT");
      Selection.TypeText("\r\n");
      Selection.TypeText(R.Abstract);
    }
    Selection.TypeText("\r\n");
  }
  Selection.TypeText("01.02.2024  10:20:30");
  if (!Document->Saved()) Document->SaveAs(How.FileName);
  if (How.Visible) return;  // the user goes on editing
  Document->Close(true);
  Application->Quit();
}

class TRecordingShell : public IShell {
public:
  Integer Open(const String& Verb, const String& Target, Integer) override {
    Calls.push_back(Verb + " " + Target + (QFile::exists(Target) ? "" : " (missing)"));
    return ShellLaunched;
  }
  std::vector<String> Calls;
};

QStringList filesIn(const QString& Path) { return QDir(Path).entryList(QDir::Files | QDir::Hidden); }

}  // namespace

// ------------------------------------------------------------------ tests

TEST(WordAppTest, ReportBecomesRtfWithHeadingBodyAndCyrillicText) {
  QTemporaryDir Dir;
  TComponent Owner(nullptr);
  ASSERT_TRUE(WordServer().Installed());
  writeReport(Owner, {false, Dir.filePath("report1.doc")}, {{Citation1, Abstract1}, {Citation2, ""}});

  const QByteArray Rtf = FileBytes(Dir.filePath("report1.doc"));
  for (const char C : Rtf) ASSERT_LT(uchar(C), 0x80) << "RTF is plain ASCII";
  EXPECT_TRUE(Rtf.contains("\\u1048?\\u1074?")) << "И в as signed 16-bit escapes with a fallback";

  const std::vector<Paragraph> Paragraphs = readRtf(Dir.filePath("report1.doc"));
  struct Expected {
    bool Centred;
    String Text;
  };
  const std::vector<Expected> Wanted = {{true, ""},         {true, "Literature"}, {false, Citation1},
                                        {false, "ABSTRACT"}, {false, Abstract1},   {false, Citation2},
                                        {false, "01.02.2024  10:20:30"}};
  ASSERT_EQ(Paragraphs.size(), Wanted.size());
  for (size_t I = 0; I < Wanted.size(); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Paragraphs[I].Centred, Wanted[I].Centred);
    EXPECT_EQ(Paragraphs[I].Text(), Wanted[I].Text);
  }
  ASSERT_EQ(Paragraphs[1].Runs.size(), 1u);
  const TextRun& Heading = Paragraphs[1].Runs[0];
  EXPECT_EQ(Heading.Font, "Arial");
  EXPECT_EQ(Heading.HalfPoints, 32);
  EXPECT_TRUE(Heading.Bold);
  for (size_t I = 2; I < Paragraphs.size(); ++I)
    for (const TextRun& R : Paragraphs[I].Runs) {
      EXPECT_EQ(R.Font, "Arial");
      EXPECT_EQ(R.HalfPoints, 20);
      EXPECT_FALSE(R.Bold);
    }
}

TEST(WordAppTest, TypedLineBreaksMakeParagraphs) {
  struct Case {
    const char* Name;
    String Typed;
    std::vector<String> Paragraphs;
  };
  const Case Cases[] = {
      {"CR LF", "a\r\nb", {"a", "b"}},
      {"CR", "a\rb", {"a", "b"}},
      {"LF", "a\nb", {"a", "b"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"two CR LF", "\r\n\r\n", {"", "", ""}},
      {"trailing break", "a\r\n", {"a", ""}},
      {"nothing", "", {""}},
      {"RTF specials and a tab", "{x}\\y\tz;", {"{x}\\y\tz;"}},
  };
  QTemporaryDir Dir;
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TWordApplication Application(nullptr);
    TWordDocument Document(nullptr);
    Application.Documents().Add();
    Document.ConnectTo(Application.ActiveDocument());
    Application.Selection().TypeText(C.Typed);
    EXPECT_EQ(Document.Saved(), C.Typed.isEmpty());
    Document.SaveAs(Dir.filePath("breaks.doc"));
    std::vector<String> Texts;
    for (const Paragraph& P : readRtf(Dir.filePath("breaks.doc"))) Texts.push_back(P.Text());
    EXPECT_EQ(Texts, C.Paragraphs);
  }
}

TEST(WordAppTest, VisibleOpensTheSavedFileOnce) {
  for (const bool Visible : {true, false}) {
    SCOPED_TRACE(Visible);
    QTemporaryDir Dir;
    TRecordingShell Shell;
    TShellScope Scope(Shell);
    TComponent Owner(nullptr);
    const String Path = Dir.filePath("report2.doc");
    writeReport(Owner, {Visible, Path}, {{Citation2, ""}});
    EXPECT_TRUE(QFile::exists(Path));
    if (Visible)
      EXPECT_EQ(Shell.Calls, std::vector<String>{"open " + Path});
    else
      EXPECT_TRUE(Shell.Calls.empty());
  }
}

TEST(WordAppTest, SavingReplacesFilesAndReportsFailures) {
  QTemporaryDir Dir;
  const QString Previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(Dir.path()));
  TWordApplication Application(nullptr);
  for (const char* Text : {"first version, which is the longer one", "second"}) {
    WordDocument Document = Application.Documents().Add();
    Application.Selection().TypeText(Text);
    Document.SaveAs("report.doc");  // relative to the current folder
    EXPECT_TRUE(Document.Saved());
  }
  QDir::setCurrent(Previous);
  EXPECT_EQ(filesIn(Dir.path()), QStringList{"report.doc"}) << "no temporary file is left";
  const std::vector<Paragraph> Paragraphs = readRtf(Dir.filePath("report.doc"));
  ASSERT_EQ(Paragraphs.size(), 1u);
  EXPECT_EQ(Paragraphs[0].Text(), "second");

  const String Missing = Dir.filePath("missing/report.doc");
  EXPECT_RAISES(Application.ActiveDocument().SaveAs(Missing), EOleException,
                "Cannot save \"" + Missing + "\": No such file or directory");
}

TEST(WordAppTest, QuitWithoutSavingWritesNothingAndEndsTheInterfaces) {
  QTemporaryDir Dir;
  TWordApplication Application(nullptr);
  TWordDocument Document(nullptr);
  EXPECT_RAISES(Document.Saved(), EOleException, "The object invoked has disconnected from its clients");
  WordDocument First = Application.Documents().Add();
  WordSelection Selection = Application.Selection();
  Selection.TypeText("never saved");
  EXPECT_RAISES(First.Close(true), EOleException, "The document has changes and has never been saved");
  First.Close(false);
  EXPECT_RAISES(First.Saved(), EOleException, "Object has been deleted");
  EXPECT_RAISES(Selection.TypeText("x"), EOleException,
                "This command is not available because no document is open");

  Application.Documents().Add();
  Document.ConnectTo(Application.ActiveDocument());
  Selection.TypeText("dropped");
  Application.Quit();
  EXPECT_TRUE(filesIn(Dir.path()).isEmpty());
  EXPECT_RAISES(Selection.TypeText("x"), EOleException, "The object invoked has disconnected from its clients");
  EXPECT_RAISES(Document.SaveAs(Dir.filePath("late.doc")), EOleException,
                "The object invoked has disconnected from its clients");
}

TEST(WordAppTest, BadValuesRaise) {
  TWordApplication Application(nullptr);
  TWordParagraphFormat Format(nullptr);
  EXPECT_RAISES(Format.SetAlignment(wdAlignParagraphLeft), EOleException,
                "The object invoked has disconnected from its clients");
  EXPECT_RAISES(Application.Selection().TypeText("x"), EOleException,
                "This command is not available because no document is open");
  Application.Documents().Add();
  Format.ConnectTo(Application.Selection().ParagraphFormat());
  EXPECT_RAISES(Format.SetAlignment(2), EOleException, "Paragraph alignment 2 is not supported");
  struct Case {
    double Size;
    const char* Expected;  // "" = accepted
  };
  for (const Case& C : {Case{0.5, "Font size 0.5 is out of range (1 to 1638)"}, Case{1, ""}, Case{1638, ""},
                        Case{1638.5, "Font size 1638.5 is out of range (1 to 1638)"}}) {
    SCOPED_TRACE(C.Size);
    if (*C.Expected)
      EXPECT_RAISES(Application.Selection().Font().SetSize(C.Size), EOleException, C.Expected);
    else
      Application.Selection().Font().SetSize(C.Size);
  }
}

TEST(WordAppTest, RecordingServerLogsTheReportAndFailsOnDemand) {
  TRecordingWordServer Server;
  TWordServerScope Scope(Server);
  TComponent Owner(nullptr);
  writeReport(Owner, {false, "report3.doc"}, {{"C", "A"}});
  const std::vector<String> Expected = {
      "Connect", "Visible=False", "Documents.Add", "ActiveDocument", "Alignment=1", "Font.Name=Arial",
      "Font.Size=16", "Font.Bold=True", "TypeText(\r\nLiterature\r\n)", "Font.Bold=False", "Font.Size=10",
      "Alignment=0", "TypeText(C)", "TypeText(\r\n)", "TypeText(ABSTRACT)", "TypeText(\r\n)", "TypeText(A)",
      "TypeText(\r\n)", "TypeText(01.02.2024  10:20:30)", "Saved", "SaveAs(report3.doc)", "Close(True)", "Quit"};
  EXPECT_EQ(Server.Log, Expected);

  Server.Log.clear();
  Server.FailAtCall = 6;
  Server.FailMessage = "The remote procedure call failed";
  EXPECT_RAISES(writeReport(Owner, {false, "report4.doc"}, {}), EOleException, "The remote procedure call failed");
  EXPECT_EQ(Server.Log.size(), 5u) << "the report stops at the failing call";

  Server.Absent = true;
  TWordApplication Application(nullptr);
  EXPECT_FALSE(WordServer().Installed());
  EXPECT_RAISES(Application.Connect(), EOleException, "Invalid class string");
}

TEST(WordAppTest, WordProcessorConvertsTheReport) {
  const QString Office = QStandardPaths::findExecutable("libreoffice");
  if (Office.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  QTemporaryDir Dir;
  TComponent Owner(nullptr);
  writeReport(Owner, {false, Dir.filePath("report5.doc")}, {{Citation1, Abstract1}});
  QProcess Process;
  Process.start(Office, {"-env:UserInstallation=file://" + Dir.filePath("profile"), "--headless", "--convert-to",
                         "pdf", "--outdir", Dir.path(), Dir.filePath("report5.doc")});
  ASSERT_TRUE(Process.waitForFinished(180000));
  EXPECT_EQ(Process.exitCode(), 0);
  EXPECT_GT(QFileInfo(Dir.filePath("report5.pdf")).size(), 1000);
}
