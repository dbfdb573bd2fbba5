// A tiny HTTP server on the loopback interface for the transport tests: plain
// sockets and one thread, so that it runs the same natively, under qemu-i386
// and under Wine. Connections are served one after another, each by the
// handler the test gives; the handler decides what the "server" does.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/sockets.h"

namespace transport_test {

// A request as it arrived: the request line, the header lines as sent
// (without the terminating empty line) and the body by Content-Length.
struct ReceivedRequest {
  std::string RequestLine;
  std::vector<std::string> HeaderLines;
  std::string Body;
};

class Connection {
 public:
  explicit Connection(sockets::Handle Fd) : Fd(Fd) {}
  // Reads one request; false when the peer closed or sent garbage first.
  bool ReadRequest(ReceivedRequest& Request);
  // Reads whatever arrives first; false if nothing does.
  bool ReadSome();
  // False once the peer is gone.
  bool Write(std::string_view Bytes);
  // Waits until the peer closes its end (or Limit passes); true if it did.
  bool WaitForPeerClose(std::chrono::milliseconds Limit = std::chrono::seconds(10));
  // Drops the connection with a reset rather than an orderly close.
  void Reset();
  sockets::Handle Descriptor() const { return Fd; }
  // The peer closed its end (seen while reading).
  bool PeerClosed() const { return Closed; }

 private:
  // Bytes read, 0 once the peer is gone.
  std::size_t Receive(char* Buffer, std::size_t Size);

  sockets::Handle Fd;
  std::string Pending;  // bytes read past the last request
  bool Closed = false;
};

class LoopbackServer {
 public:
  using Handler = std::function<void(Connection&)>;
  // On 127.0.0.1 (Family::V4) or ::1 (Family::V6).
  explicit LoopbackServer(Handler OnConnection, Family F = Family::V4);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool Listening() const { return ListenFd != sockets::kNone; }
  std::string Url(std::string_view Path) const;
  int Connections() const { return Accepted.load(); }

 private:
  void Serve();

  Handler OnConnection;
  sockets::Handle ListenFd = sockets::kNone;
  std::string Host;
  unsigned Port = 0;
  std::atomic<bool> Stopping{false};
  std::atomic<int> Accepted{0};
  std::thread Worker;
};

// A port on 127.0.0.1 that refuses connections: bound, never listening, and
// held for the object's lifetime so nobody else takes it.
class ClosedPort {
 public:
  ClosedPort();
  ~ClosedPort();
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  unsigned Port() const { return Number; }

 private:
  sockets::Handle Fd = sockets::kNone;
  unsigned Number = 0;
};

}  // namespace transport_test
