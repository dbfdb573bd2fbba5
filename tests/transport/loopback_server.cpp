#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace transport_test {
namespace {

constexpr int kIoWaitMs = 10000;  // a test that got this far has failed anyway

bool WaitReadable(int Fd, int TimeoutMs) {
  pollfd P{Fd, POLLIN, 0};
  return poll(&P, 1, TimeoutMs) > 0;
}

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool StartsWithName(std::string_view Line, std::string_view Name) {
  if (Line.size() <= Name.size() || Line[Name.size()] != ':') return false;
  for (std::size_t I = 0; I < Name.size(); ++I)
    if (Lower(Line[I]) != Lower(Name[I])) return false;
  return true;
}

}  // namespace

std::size_t Connection::Receive(char* Buffer, std::size_t Size) {
  const ssize_t N = recv(Fd, Buffer, Size, 0);
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
    const ssize_t N = send(Fd, Bytes.data(), Bytes.size(), MSG_NOSIGNAL);
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
  const linger Abort{1, 0};
  setsockopt(Fd, SOL_SOCKET, SO_LINGER, &Abort, sizeof Abort);
  close(Fd);
  Fd = -1;
}

LoopbackServer::LoopbackServer(Handler OnConnection, int Family)
    : OnConnection(std::move(OnConnection)) {
  const int Fd = socket(Family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (Fd < 0) return;
  sockaddr_storage Address{};
  socklen_t Length;
  if (Family == AF_INET6) {
    auto* A = reinterpret_cast<sockaddr_in6*>(&Address);
    A->sin6_family = AF_INET6;
    A->sin6_addr = in6addr_loopback;
    Length = sizeof *A;
    Host = "[::1]";
  } else {
    auto* A = reinterpret_cast<sockaddr_in*>(&Address);
    A->sin_family = AF_INET;
    A->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Length = sizeof *A;
    Host = "127.0.0.1";
  }
  if (bind(Fd, reinterpret_cast<sockaddr*>(&Address), Length) != 0 || listen(Fd, 16) != 0 ||
      getsockname(Fd, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
    close(Fd);
    return;
  }
  Port = ntohs(Family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&Address)->sin6_port
                                  : reinterpret_cast<sockaddr_in*>(&Address)->sin_port);
  ListenFd = Fd;
  Worker = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  Stopping = true;
  if (Worker.joinable()) Worker.join();
  if (ListenFd >= 0) close(ListenFd);
}

std::string LoopbackServer::Url(std::string_view Path) const {
  return "http://" + Host + ":" + std::to_string(Port) + std::string(Path);
}

void LoopbackServer::Serve() {
  while (!Stopping) {
    if (!WaitReadable(ListenFd, 20)) continue;
    const int Fd = accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (Fd < 0) continue;
    ++Accepted;
    Connection C(Fd);
    OnConnection(C);
    if (C.Descriptor() >= 0) close(C.Descriptor());
  }
}

ClosedPort::ClosedPort() {
  Fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in A{};
  A.sin_family = AF_INET;
  A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t Length = sizeof A;
  if (Fd >= 0 && bind(Fd, reinterpret_cast<sockaddr*>(&A), Length) == 0 &&
      getsockname(Fd, reinterpret_cast<sockaddr*>(&A), &Length) == 0)
    Number = ntohs(A.sin_port);
}

ClosedPort::~ClosedPort() {
  if (Fd >= 0) close(Fd);
}

}  // namespace transport_test
