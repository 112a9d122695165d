// A scripted HTTP server on 127.0.0.1 for the suites that talk HTTP: it
// listens on a port of the system's choice, answers one request per
// connection with the next scripted response, and closes the connection.
//
// Every wait of the server (a drip's pause, a stall) also watches for the
// server's end, so a test that fails early never hangs in the destructor.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace testhttp {

struct TScriptedResponse {
  int Status = 200;
  QByteArray Reason = "OK";
  std::vector<std::pair<QByteArray, QByteArray>> Headers;
  QByteArray Body;
  // Transfer-Encoding: chunked in pieces of ChunkSize bytes, no length.
  bool Chunked = false;
  int ChunkSize = 1000;
  // Announce Content-Length (ignored when Chunked).
  bool SendLength = true;
  // The body one byte at a time with this pause, in milliseconds.
  int DripMs = 0;
  // After this many body bytes: Stall waits (sending nothing) until the
  // client gives up, otherwise the connection closes at once; -1 never.
  qsizetype CutAfter = -1;
  bool Stall = false;

  // A redirect to Location.
  static TScriptedResponse Redirect(const QByteArray& Location, int Status = 302);
};

class TLoopbackServer {
public:
  TLoopbackServer();
  ~TLoopbackServer();
  TLoopbackServer(const TLoopbackServer&) = delete;
  TLoopbackServer& operator=(const TLoopbackServer&) = delete;

  int Port() const { return FPort; }
  // "http://127.0.0.1:<port>" + Path.
  QString Url(const QString& Path) const;
  // Appends responses, answered in order; a request beyond the script gets
  // 500 "No scripted response".
  void Script(std::vector<TScriptedResponse> Responses);
  // The request lines received so far ("GET /a HTTP/1.1").
  std::vector<QByteArray> Requests() const;

  // A port on 127.0.0.1 that nothing listens on.
  static int ClosedPort();

private:
  void serve();
  void answer(int Socket);
  bool send(int Socket, const QByteArray& Bytes);
  // Waits up to Ms for the end of the server; true when it came.
  bool stopWithin(int Ms);
  // Waits until the client closes Socket or the server ends.
  void waitForClose(int Socket);
  TScriptedResponse next();

  int FListen = -1;
  int FWake[2] = {-1, -1};  // a pipe: the destructor writes, the waits wake
  int FPort = 0;
  mutable std::mutex FLock;
  std::vector<TScriptedResponse> FScript;
  std::size_t FNext = 0;
  std::vector<QByteArray> FRequests;
  std::atomic<bool> FStopping{false};
  std::thread FThread;
};

}  // namespace testhttp
