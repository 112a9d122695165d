#include "tests/support/httpserver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>

namespace testhttp {

namespace {

constexpr qsizetype MaxRequestBytes = 64 * 1024;

sockaddr_in loopback(int Port) {
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_port = htons(uint16_t(Port));
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return Address;
}

int boundPort(int Socket) {
  sockaddr_in Address{};
  socklen_t Length = sizeof Address;
  getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Length);
  return ntohs(Address.sin_port);
}

QByteArray head(const TScriptedResponse& R) {
  QByteArray Head = "HTTP/1.1 " + QByteArray::number(R.Status) + ' ' + R.Reason + "\r\n";
  for (const auto& [Name, Value] : R.Headers) Head += Name + ": " + Value + "\r\n";
  if (R.Chunked)
    Head += "Transfer-Encoding: chunked\r\n";
  else if (R.SendLength)
    Head += "Content-Length: " + QByteArray::number(R.Body.size()) + "\r\n";
  return Head + "Connection: close\r\n\r\n";
}

// The bytes of the body as they go on the wire, in the pieces they are sent.
std::vector<QByteArray> bodyPieces(const TScriptedResponse& R) {
  std::vector<QByteArray> Pieces;
  const qsizetype Piece = R.DripMs > 0 ? 1 : R.Chunked ? R.ChunkSize : qsizetype(64 * 1024);
  for (qsizetype At = 0; At < R.Body.size(); At += Piece) {
    const QByteArray Part = R.Body.mid(At, Piece);
    Pieces.push_back(R.Chunked ? QByteArray::number(Part.size(), 16) + "\r\n" + Part + "\r\n" : Part);
  }
  if (R.Chunked) Pieces.push_back("0\r\n\r\n");
  return Pieces;
}

}  // namespace

TScriptedResponse TScriptedResponse::Redirect(const QByteArray& Location, int Status) {
  TScriptedResponse R;
  R.Status = Status;
  R.Reason = "Found";
  R.Headers = {{"Location", Location}};
  R.Body = "moved";
  return R;
}

TLoopbackServer::TLoopbackServer() {
  FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in Address = loopback(0);
  const bool Ready = FListen >= 0 && pipe2(FWake, O_CLOEXEC) == 0 &&
                     bind(FListen, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0 &&
                     listen(FListen, 16) == 0;
  assert(Ready && "the loopback server cannot listen");
  (void)Ready;
  FPort = boundPort(FListen);
  FThread = std::thread([this] { serve(); });
}

TLoopbackServer::~TLoopbackServer() {
  FStopping = true;
  const char Byte = 0;
  (void)::write(FWake[1], &Byte, 1);
  FThread.join();
  ::close(FListen);
  ::close(FWake[0]);
  ::close(FWake[1]);
}

QString TLoopbackServer::Url(const QString& Path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(Path);
}

void TLoopbackServer::Script(std::vector<TScriptedResponse> Responses) {
  const std::lock_guard<std::mutex> Guard(FLock);
  for (TScriptedResponse& R : Responses) FScript.push_back(std::move(R));
}

std::vector<QByteArray> TLoopbackServer::Requests() const {
  const std::lock_guard<std::mutex> Guard(FLock);
  return FRequests;
}

int TLoopbackServer::ClosedPort() {
  const int Socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in Address = loopback(0);
  bind(Socket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address);
  const int Port = boundPort(Socket);
  ::close(Socket);  // bound, never listening: connections are refused
  return Port;
}

void TLoopbackServer::serve() {
  while (!FStopping) {
    pollfd Waits[] = {{FListen, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    if (poll(Waits, 2, -1) <= 0 || (Waits[1].revents & POLLIN)) continue;
    const int Socket = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (Socket < 0) continue;
    answer(Socket);
    ::close(Socket);
  }
}

void TLoopbackServer::answer(int Socket) {
  QByteArray Request;
  while (!Request.contains("\r\n\r\n") && Request.size() < MaxRequestBytes) {
    pollfd Waits[] = {{Socket, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    if (poll(Waits, 2, -1) <= 0 || (Waits[1].revents & POLLIN)) return;
    char Buffer[4096];
    const ssize_t Got = ::recv(Socket, Buffer, sizeof Buffer, 0);
    if (Got <= 0) return;
    Request.append(Buffer, Got);
  }
  {
    const std::lock_guard<std::mutex> Guard(FLock);
    FRequests.push_back(Request.left(Request.indexOf("\r\n")));
  }
  const TScriptedResponse R = next();
  if (!send(Socket, head(R))) return;
  qsizetype Sent = 0;
  for (const QByteArray& Piece : bodyPieces(R)) {
    const qsizetype Room = R.CutAfter < 0 ? Piece.size() : std::min(Piece.size(), R.CutAfter - Sent);
    if (Room <= 0) break;
    if (R.DripMs > 0 && Sent > 0 && stopWithin(R.DripMs)) return;
    if (!send(Socket, Piece.left(Room))) return;
    Sent += Room;
  }
  if (R.Stall) waitForClose(Socket);
}

bool TLoopbackServer::send(int Socket, const QByteArray& Bytes) {
  for (qsizetype At = 0; At < Bytes.size();) {
    const ssize_t Put = ::send(Socket, Bytes.constData() + At, size_t(Bytes.size() - At), MSG_NOSIGNAL);
    if (Put <= 0) return false;
    At += Put;
  }
  return true;
}

bool TLoopbackServer::stopWithin(int Ms) {
  pollfd Wait{FWake[0], POLLIN, 0};
  return poll(&Wait, 1, Ms) > 0 || FStopping;
}

void TLoopbackServer::waitForClose(int Socket) {
  for (;;) {
    pollfd Waits[] = {{Socket, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    if (poll(Waits, 2, -1) <= 0 || (Waits[1].revents & POLLIN)) return;
    char Buffer[256];
    if (::recv(Socket, Buffer, sizeof Buffer, 0) <= 0) return;
  }
}

TScriptedResponse TLoopbackServer::next() {
  const std::lock_guard<std::mutex> Guard(FLock);
  if (FNext < FScript.size()) return FScript[FNext++];
  TScriptedResponse Missing;
  Missing.Status = 500;
  Missing.Reason = "No scripted response";
  return Missing;
}

}  // namespace testhttp
