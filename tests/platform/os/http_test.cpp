#include "platform/os/http.h"

#include "platform/rtl/streams.h"
#include "tests/support/httpserver.h"
#include "tests/support/testing.h"

#include <functional>

namespace {

using testhttp::TLoopbackServer;
using testhttp::TScriptedResponse;

QByteArray bodyOf(const THTTPResponse& Response) {
  TMemoryStream* Content = Response.ContentStream();
  return QByteArray(static_cast<const char*>(Content->Memory()), qsizetype(Content->Size()));
}

QByteArray pattern(qsizetype Size) {
  QByteArray Bytes(Size, Qt::Uninitialized);
  for (qsizetype I = 0; I < Size; ++I) Bytes[I] = char('a' + I % 26);
  return Bytes;
}

TScriptedResponse ok(const QByteArray& Body) {
  TScriptedResponse R;
  R.Body = Body;
  return R;
}

class HttpTest : public ::testing::Test {
protected:
  HttpTest() {
    Client.SetConnectionTimeout(5000);
    Client.SetResponseTimeout(5000);
    Client.OnReceiveData = TReceiveDataEvent([this](TObject* Sender, Int64 Length, Int64 Read, bool& Abort) {
      EXPECT_EQ(Sender, &Client);
      Progress.emplace_back(Length, Read);
      if (AbortAt > 0 && Read >= AbortAt) Abort = true;
    });
  }
  ~HttpTest() override { Client.Free(); }

  TLoopbackServer Server;
  TNetHTTPClient& Client = *new TNetHTTPClient(nullptr);
  std::vector<std::pair<Int64, Int64>> Progress;
  Int64 AbortAt = 0;
};

TEST_F(HttpTest, GetReadsTheBodyWithProgressUpToItsLength) {
  const QByteArray Body = pattern(1024 * 1024);
  Server.Script({ok(Body)});
  const std::unique_ptr<THTTPResponse> Response = Client.Get(Server.Url("/program/bibliona.7z"));
  EXPECT_EQ(Server.Requests(), std::vector<QByteArray>{"GET /program/bibliona.7z HTTP/1.1"});
  EXPECT_EQ(Response->StatusCode(), 200);
  EXPECT_EQ(Response->StatusText(), "OK");
  EXPECT_EQ(Response->ContentStream()->Position(), 0);
  EXPECT_EQ(bodyOf(*Response), Body);
  ASSERT_FALSE(Progress.empty());
  for (std::size_t I = 0; I < Progress.size(); ++I) {
    EXPECT_EQ(Progress[I].first, Body.size());
    if (I > 0) {
      EXPECT_GT(Progress[I].second, Progress[I - 1].second);
    }
  }
  EXPECT_EQ(Progress.back().second, Body.size());
}

TEST_F(HttpTest, AnErrorStatusIsAResponse) {
  TScriptedResponse Missing = ok("no such file");
  Missing.Status = 404;
  Missing.Reason = "Not Found";
  Server.Script({Missing});
  const std::unique_ptr<THTTPResponse> Response = Client.Get(Server.Url("/x"));
  EXPECT_EQ(Response->StatusCode(), 404);
  EXPECT_EQ(Response->StatusText(), "Not Found");
  EXPECT_EQ(bodyOf(*Response), "no such file");
}

TEST_F(HttpTest, SlowChunkedAndRedirectedBodiesArrive) {
  TScriptedResponse Drip = ok("0123456789");
  Drip.DripMs = 100;
  TScriptedResponse Chunked = ok(pattern(5000));
  Chunked.Chunked = true;
  struct Case {
    const char* Name;
    std::vector<TScriptedResponse> Script;
    QByteArray Body;
    Int64 Length;  // as OnReceiveData hears it
    std::size_t Requests;
  } Cases[] = {
      {"a byte every 100 ms inside a 300 ms response time-out", {Drip}, "0123456789", 10, 1},
      {"chunked: no length", {Chunked}, pattern(5000), 0, 1},
      {"302 then 200", {TScriptedResponse::Redirect("/final"), ok("final body")}, "final body", 10, 2},
  };
  Client.SetResponseTimeout(300);
  for (Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const std::size_t Before = Server.Requests().size();
    Progress.clear();
    Server.Script(C.Script);
    const std::unique_ptr<THTTPResponse> Response = Client.Get(Server.Url("/start"));
    EXPECT_EQ(Response->StatusCode(), 200);
    EXPECT_EQ(bodyOf(*Response), C.Body);
    EXPECT_EQ(Server.Requests().size() - Before, C.Requests);
    ASSERT_FALSE(Progress.empty());
    EXPECT_EQ(Progress.back(), std::make_pair(C.Length, Int64(C.Body.size())));
  }
}

TEST_F(HttpTest, IncompleteTransfersRaiseWithLibcurlsText) {
  TScriptedResponse Short = ok(pattern(1000));
  Short.CutAfter = 500;
  TScriptedResponse Stall = ok(pattern(1000));
  Stall.CutAfter = 100;
  Stall.Stall = true;
  std::vector<TScriptedResponse> Redirects(6, TScriptedResponse::Redirect("/again"));
  struct Case {
    const char* Name;
    std::vector<TScriptedResponse> Script;
    QString Url;
    const char* Message;  // a part of it
  } Cases[] = {
      {"body cut short", {Short}, Server.Url("/"), "transfer closed with 500 bytes remaining"},
      {"stall past the response time-out", {Stall}, Server.Url("/"), "Timeout was reached"},
      {"closed port", {}, QStringLiteral("http://127.0.0.1:%1/").arg(TLoopbackServer::ClosedPort()),
       "Couldn't connect to server"},
      {"more than 5 redirects", Redirects, Server.Url("/"), "Maximum (5) redirects followed"},
      {"not HTTP", {}, QStringLiteral("file:///etc/hostname"), "Protocol \"file\" not supported"},
  };
  Client.SetResponseTimeout(300);
  for (Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Server.Script(C.Script);
    try {
      Client.Get(C.Url);
      ADD_FAILURE() << "no error";
    } catch (const ENetHTTPClientException& E) {
      EXPECT_TRUE(E.Message.contains(QLatin1String(C.Message))) << E.Message.toStdString();
    }
  }
}

TEST_F(HttpTest, TheReceiveHandlerCanAbort) {
  Server.Script({ok(pattern(200000))});
  AbortAt = 1;
  EXPECT_RAISES(Client.Get(Server.Url("/")), ENetHTTPClientException,
                "Operation was aborted by an application callback");
  EXPECT_EQ(Progress.size(), 1u);

  // an exception of the handler passes through as it is
  Server.Script({ok(pattern(200000))});
  Client.OnReceiveData = TReceiveDataEvent([](TObject*, Int64, Int64, bool&) { throw EAbort(QStringLiteral("stop")); });
  EXPECT_RAISES(Client.Get(Server.Url("/")), EAbort, "stop");
}

}  // namespace
