#include "loopback_server.h"

#include <cstring>

namespace transport_test {
namespace {

using sockets::WaitReadable;

constexpr int kIoWaitMs = 10000;  // a test that got this far has failed anyway

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool StartsWithName(std::string_view Line, std::string_view Name) {
  if (Line.size() <= Name.size() || Line[Name.size()] != ':') return false;
  for (std::size_t I = 0; I < Name.size(); ++I)
    if (Lower(Line[I]) != Lower(Name[I])) return false;
  return true;
}

}  // namespace

std::size_t Connection::Receive(char* Buffer, std::size_t Size) {
  const long N = sockets::Receive(Fd, Buffer, Size);
  if (N == 0) Closed = true;
  return N > 0 ? static_cast<std::size_t>(N) : 0;
}

bool Connection::ReadRequest(ReceivedRequest& Request) {
  std::size_t HeadEnd;
  char Buffer[65536];
  while ((HeadEnd = Pending.find("\r\n\r\n")) == std::string::npos) {
    if (!WaitReadable(Fd, kIoWaitMs)) return false;
    const std::size_t N = Receive(Buffer, sizeof Buffer);
    if (N == 0) return false;
    Pending.append(Buffer, N);
  }
  Request = {};
  std::size_t LineStart = 0;
  bool First = true;
  std::size_t ContentLength = 0;
  while (LineStart < HeadEnd) {
    const std::size_t LineEnd = Pending.find("\r\n", LineStart);
    std::string Line = Pending.substr(LineStart, LineEnd - LineStart);
    LineStart = LineEnd + 2;
    if (First) {
      Request.RequestLine = std::move(Line);
      First = false;
      continue;
    }
    if (StartsWithName(Line, "Content-Length"))
      ContentLength = std::stoul(Line.substr(std::strlen("Content-Length:")));
    Request.HeaderLines.push_back(std::move(Line));
  }
  Pending.erase(0, HeadEnd + 4);
  while (Pending.size() < ContentLength) {
    if (!WaitReadable(Fd, kIoWaitMs)) return false;
    const std::size_t N = Receive(Buffer, sizeof Buffer);
    if (N == 0) return false;
    Pending.append(Buffer, N);
  }
  Request.Body = Pending.substr(0, ContentLength);
  Pending.erase(0, ContentLength);
  return true;
}

bool Connection::ReadSome() {
  char Buffer[4096];
  return WaitReadable(Fd, kIoWaitMs) && Receive(Buffer, sizeof Buffer) > 0;
}

bool Connection::Write(std::string_view Bytes) {
  while (!Bytes.empty()) {
    const long N = sockets::Send(Fd, Bytes.data(), Bytes.size());
    if (N <= 0) return false;
    Bytes.remove_prefix(static_cast<std::size_t>(N));
  }
  return true;
}

bool Connection::WaitForPeerClose(std::chrono::milliseconds Limit) {
  const auto Until = std::chrono::steady_clock::now() + Limit;
  char Buffer[4096];
  for (;;) {
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
        Until - std::chrono::steady_clock::now());
    if (Left.count() <= 0 || !WaitReadable(Fd, static_cast<int>(Left.count()))) return false;
    if (Receive(Buffer, sizeof Buffer) == 0) return true;
  }
}

void Connection::Reset() {
  sockets::Abort(Fd);
  Fd = sockets::kNone;
}

LoopbackServer::LoopbackServer(Handler OnConnection, Family F)
    : OnConnection(std::move(OnConnection)) {
  ListenFd = sockets::Bind(F, true, Host, Port);
  if (ListenFd != sockets::kNone) Worker = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  Stopping = true;
  if (Worker.joinable()) Worker.join();
  if (ListenFd != sockets::kNone) sockets::Close(ListenFd);
}

std::string LoopbackServer::Url(std::string_view Path) const {
  return "http://" + Host + ":" + std::to_string(Port) + std::string(Path);
}

void LoopbackServer::Serve() {
  while (!Stopping) {
    if (!WaitReadable(ListenFd, 20)) continue;
    const sockets::Handle Fd = sockets::Accept(ListenFd);
    if (Fd == sockets::kNone) continue;
    ++Accepted;
    Connection C(Fd);
    OnConnection(C);
    if (C.Descriptor() != sockets::kNone) sockets::Close(C.Descriptor());
  }
}

ClosedPort::ClosedPort() {
  std::string Host;
  Fd = sockets::Bind(Family::V4, false, Host, Number);
  if (Fd == sockets::kNone) Number = 0;
}

ClosedPort::~ClosedPort() {
  if (Fd != sockets::kNone) sockets::Close(Fd);
}

}  // namespace transport_test
