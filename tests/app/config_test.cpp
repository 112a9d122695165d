// The settings dialog's actions: the update download against a loopback
// server into a temporary folder, and the bulk replacement on a catalog file.
#include "app/config.h"

#include "platform/os/http.h"
#include "tests/app/datamodulefixture.h"
#include "tests/support/httpserver.h"

#include <QDir>

using namespace dmtest;
using testhttp::TLoopbackServer;
using testhttp::TScriptedResponse;

namespace {

QByteArray body(qsizetype Size) {
  QByteArray Bytes(Size, Qt::Uninitialized);
  for (qsizetype I = 0; I < Size; ++I) Bytes[I] = char(I * 7 % 251);
  return Bytes;
}

TScriptedResponse ok(const QByteArray& Body) {
  TScriptedResponse R;
  R.Body = Body;
  return R;
}

QStringList filesIn(const String& Folder) { return QDir(Folder).entryList(QDir::Files | QDir::Hidden); }

class DownloadTest : public ::testing::Test {
protected:
  DownloadTest() {
    Client->SetConnectionTimeout(5000);
    Client->SetResponseTimeout(5000);
    FPrevious = SetMessageHandler([this](TMessageKind Kind, const String& Text) { Shown.emplace_back(Kind, Text); });
  }
  ~DownloadTest() override {
    Client->Free();
    SetMessageHandler(FPrevious);
  }

  TDownloadOrder order(const char* Name = "bibliona.7z") const {
    return {Dir.path(), Server.Url(QStringLiteral("/program")), QString::fromUtf8(Name)};
  }
  String download(const TDownloadOrder& Order) {
    return DownloadDatabase(Client, Order, Cnt, [this](Int64 Max, Int64 Position) { Progress.emplace_back(Max, Position); });
  }

  QTemporaryDir Dir;
  TLoopbackServer Server;
  TNetHTTPClient* Client = new TNetHTTPClient(nullptr);
  Integer Cnt = 0;
  std::vector<std::pair<Int64, Int64>> Progress;
  std::vector<std::pair<TMessageKind, String>> Shown;

private:
  TMessageBoxHandler FPrevious;
};

TEST_F(DownloadTest, TheBodyIsSavedUnderTheServersName) {
  const QByteArray Body = body(1024 * 1024);
  Server.Script({ok(Body)});
  const String Saved = download(order(" bibliona.7z "));
  EXPECT_EQ(Saved, Dir.filePath(QStringLiteral("bibliona.7z")));
  EXPECT_EQ(Server.Requests(), std::vector<QByteArray>{"GET /program/bibliona.7z HTTP/1.1"});
  EXPECT_EQ(FileBytes(Saved), Body);
  EXPECT_EQ(filesIn(Dir.path()), QStringList{"bibliona.7z"}) << "no temporary file is left";
  ASSERT_GE(Progress.size(), 2u);
  EXPECT_EQ(Progress[Progress.size() - 2], std::make_pair(Int64(Body.size()), Int64(Body.size())));
  EXPECT_EQ(Progress.back(), std::make_pair(Int64(Body.size()), Int64(0))) << "the bar goes back to 0";
  EXPECT_EQ(Shown, (std::vector<std::pair<TMessageKind, String>>{
                       {TMessageKind::Information, "Extract and replace catalog.sqlite."}}));
}

TEST_F(DownloadTest, NoDownloadReplacesAFile) {
  Server.Script({ok("first"), ok("second"), ok("third")});
  for (const char* Name : {"bibliona.7z", "bibliona1.7z", "bibliona2.7z"}) {
    SCOPED_TRACE(Name);
    EXPECT_EQ(download(order()), Dir.filePath(QString::fromUtf8(Name)));
  }
  EXPECT_EQ(FileBytes(Dir.filePath(QStringLiteral("bibliona.7z"))), "first");
  EXPECT_EQ(FileBytes(Dir.filePath(QStringLiteral("bibliona2.7z"))), "third");

  // the dialog opened again: its count starts at 0 and counts on past the files
  ASSERT_TRUE(QFile::remove(Dir.filePath(QStringLiteral("bibliona2.7z"))));
  Cnt = 0;
  Server.Script({ok("fourth")});
  EXPECT_EQ(download(order()), Dir.filePath(QStringLiteral("bibliona2.7z")));
  EXPECT_EQ(FileBytes(Dir.filePath(QStringLiteral("bibliona.7z"))), "first");
  EXPECT_EQ(FileBytes(Dir.filePath(QStringLiteral("bibliona1.7z"))), "second");

  // a folder typed without its delimiter, a name without a dot
  Server.Script({ok("a"), ok("b")});
  TDownloadOrder Plain = order("catalog");
  Plain.Folder = Dir.path();
  ASSERT_FALSE(Plain.Folder.endsWith(u'/'));
  EXPECT_EQ(download(Plain), Dir.path() + QStringLiteral("/catalog"));
  EXPECT_EQ(download(Plain), Dir.path() + QStringLiteral("/catalog3")) << "the count goes on";
}

TEST_F(DownloadTest, AnErrorStatusShowsItsTextAndSavesNothing) {
  TScriptedResponse Missing = ok("<html>not here</html>");
  Missing.Status = 404;
  Missing.Reason = "Not Found";
  Server.Script({Missing});
  EXPECT_EQ(download(order()), String());
  EXPECT_EQ(Shown, (std::vector<std::pair<TMessageKind, String>>{{TMessageKind::Error, "Not Found"}}));
  EXPECT_TRUE(filesIn(Dir.path()).isEmpty());
}

TEST_F(DownloadTest, FailedTransfersRaiseAndLeaveNoFile) {
  TScriptedResponse Short = ok(body(100000));
  Short.CutAfter = 5000;
  TScriptedResponse Stall = ok(body(100000));
  Stall.CutAfter = 100;
  Stall.Stall = true;
  Client->SetResponseTimeout(300);
  struct Case {
    const char* Name;
    std::vector<TScriptedResponse> Script;
    String Server;
  } Cases[] = {
      {"body cut short", {Short}, Server.Url(QStringLiteral("/p"))},
      {"stall past the response time-out", {Stall}, Server.Url(QStringLiteral("/p"))},
      {"closed port", {}, QStringLiteral("http://127.0.0.1:%1/p").arg(TLoopbackServer::ClosedPort())},
  };
  for (Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Server.Script(C.Script);
    TDownloadOrder Order = order();
    Order.Server = C.Server;
    EXPECT_THROW(download(Order), ENetHTTPClientException);
    EXPECT_TRUE(filesIn(Dir.path()).isEmpty());
    EXPECT_TRUE(Shown.empty());
  }
}

TEST_F(DownloadTest, SlowRedirectedAndChunkedBodiesArriveWhole) {
  TScriptedResponse Drip = ok("0123456789");
  Drip.DripMs = 100;
  TScriptedResponse Chunked = ok(body(50000));
  Chunked.Chunked = true;
  Client->SetResponseTimeout(300);
  Server.Script({Drip, TScriptedResponse::Redirect("/mirror/bibliona.7z"), ok("final"), Chunked});
  EXPECT_EQ(FileBytes(download(order())), "0123456789");
  EXPECT_EQ(FileBytes(download(order())), "final");
  Progress.clear();
  EXPECT_EQ(FileBytes(download(order())), body(50000));
  EXPECT_EQ(Progress[Progress.size() - 2], std::make_pair(Int64(0), Int64(50000))) << "no length announced";
}

// ---------------------------------------------------------------- replacement

class ReplaceStringTest : public DataModuleTest {
protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    ASSERT_TRUE(Open());
    Dm->StartProgramTransaction();
    Dm->PositionLevels({1, 101, 1011, 10111, 627});
  }
};

TEST_F(ReplaceStringTest, TheTextColumnsOfTheReferencesAreOffered) {
  EXPECT_EQ(ReplaceableFields(Dm->fdqCatalog),
            Lines({"source", "summary", "author", "journal", "file_doc", "file_doc1", "data_input", "file_type", "doi"}));
}

TEST_F(ReplaceStringTest, AQuoteIsStoredInEverySubgroupAfterThePendingEdit) {
  TRawConnection(Path).Exec("UPDATE bibliona SET author = 'Smith A., Smith B.' WHERE number = 21");
  Dm->fdqCatalog->Refresh();
  ASSERT_TRUE(Dm->fdqCatalog->Locate(QStringLiteral("number"), 12, {}));
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("author"))->SetAsString(QStringLiteral("Lee S., Smith C."));

  ReplaceString(Dm, QStringLiteral("AUTHOR"), QStringLiteral(" Smith "), QStringLiteral("O'Neil"));
  EXPECT_EQ(Durable("SELECT number, author FROM bibliona WHERE author LIKE '%O''Neil%' ORDER BY number"),
            Lines({"11|O'Neil J.", "12|Lee S., O'Neil C.", "21|O'Neil A., O'Neil B."}));
  EXPECT_EQ(Durable("SELECT count(*) FROM bibliona WHERE author LIKE '%Smith%'"), Lines({"0"}));
  EXPECT_EQ(Value(Dm->fdqCatalog, "author"), "Lee S., O'Neil C.") << "the grid shows it at once";
  EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1);
  EXPECT_FALSE(Dm->fdqCatalog->UpdatesPending());
}

TEST_F(ReplaceStringTest, OnlyATextColumnIsAccepted) {
  const std::vector<String> Before = Durable("SELECT * FROM bibliona ORDER BY number");
  for (const char* Field : {"number", "sbgr4_nmb", "no_such", "author = 'x', source", "author\"", ""}) {
    SCOPED_TRACE(Field);
    EXPECT_THROW(ReplaceString(Dm, QString::fromUtf8(Field), QStringLiteral("a"), QStringLiteral("b")), EDatabaseError);
    EXPECT_EQ(Dm->myFDConnection1->TransactionLevel(), 1);
  }
  EXPECT_EQ(Durable("SELECT * FROM bibliona ORDER BY number"), Before);
}

TEST_F(ReplaceStringTest, AnEmptyTextReplacesNothingButStoresThePendingEdit) {
  ASSERT_TRUE(Dm->fdqCatalog->Locate(QStringLiteral("number"), 11, {}));
  Dm->fdqCatalog->Edit();
  Dm->fdqCatalog->FieldByName(QStringLiteral("journal"))->SetAsString(QStringLiteral("NEJM"));
  Dm->fdqCatalog->Post();
  ReplaceString(Dm, QStringLiteral("journal"), QStringLiteral("BMJ"), QStringLiteral("  "));
  EXPECT_EQ(Durable("SELECT journal FROM bibliona WHERE number IN (11, 12) ORDER BY number"), Lines({"NEJM", "BMJ"}));
}

}  // namespace
