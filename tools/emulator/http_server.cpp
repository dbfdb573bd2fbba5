#include "tools/emulator/http_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace kelvo_emulator {

namespace {

constexpr int kSliceMs = 50;          // how often waits look at Stopping
constexpr int kReadTimeoutMs = 5000;  // for the rest of a request once it began
constexpr int kWriteTimeoutMs = 5000;
constexpr int kKeepAliveTimeoutMs = 5000;
constexpr int kKeepAliveMaxRequests = 100;

// One accepted connection, as a cpp-httplib stream.
class Connection final : public httplib::Stream {
 public:
  Connection(socket_t Fd, const std::atomic<bool>& Stopping) : Fd_(Fd), Stopping_(Stopping) {}

  bool is_readable() const override {
    return Pos_ < Buffer_.size() || Wait(POLLIN, kReadTimeoutMs);
  }
  bool is_writable() const override { return !Dropped_ && Wait(POLLOUT, kWriteTimeoutMs); }

  ssize_t read(char* Ptr, size_t Size) override {
    if (Dropped_) return -1;
    if (Pos_ == Buffer_.size() && !Fill(kReadTimeoutMs)) return -1;
    if (Pos_ == Buffer_.size()) return 0;  // the peer closed
    const std::size_t Count = std::min(Size, Buffer_.size() - Pos_);
    std::memcpy(Ptr, Buffer_.data() + Pos_, Count);
    Consumed_.append(Buffer_, Pos_, Count);
    Pos_ += Count;
    return static_cast<ssize_t>(Count);
  }

  ssize_t write(const char* Ptr, size_t Size) override {
    if (Dropped_ || !Wait(POLLOUT, kWriteTimeoutMs)) return -1;
    ssize_t Sent;
    do {
      Sent = ::send(Fd_, Ptr, Size, MSG_NOSIGNAL);
    } while (Sent < 0 && errno == EINTR);
    return Sent;
  }

  void get_remote_ip_and_port(std::string& Ip, int& Port) const override {
    sockaddr_storage Address{};
    socklen_t Length = sizeof Address;
    if (getpeername(Fd_, reinterpret_cast<sockaddr*>(&Address), &Length) == 0)
      Describe(Address, Length, Ip, Port);
  }
  void get_local_ip_and_port(std::string& Ip, int& Port) const override {
    sockaddr_storage Address{};
    socklen_t Length = sizeof Address;
    if (getsockname(Fd_, reinterpret_cast<sockaddr*>(&Address), &Length) == 0)
      Describe(Address, Length, Ip, Port);
  }
  socket_t socket() const override { return Fd_; }

  // Waits for the next request of a kept-alive connection.
  bool AwaitRequest() {
    if (Pos_ < Buffer_.size()) return true;
    return Fill(kKeepAliveTimeoutMs) && Pos_ < Buffer_.size();
  }
  void BeginRequest() { Consumed_.clear(); }
  const std::string& Consumed() const { return Consumed_; }

  void Drop() {
    Dropped_ = true;
    ::shutdown(Fd_, SHUT_RDWR);
  }
  bool Dropped() const { return Dropped_; }

 private:
  static void Describe(const sockaddr_storage& Address, socklen_t Length, std::string& Ip,
                       int& Port) {
    char Host[NI_MAXHOST];
    char Service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&Address), Length, Host, sizeof Host, Service,
                    sizeof Service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
      Ip = Host;
      Port = std::atoi(Service);
    }
  }

  // Waits up to TimeoutMs for Events, in slices, giving up when stopping.
  bool Wait(short Events, int TimeoutMs) const {
    for (int Waited = 0; Waited < TimeoutMs && !Stopping_; Waited += kSliceMs) {
      pollfd Poll{Fd_, Events, 0};
      const int Ready = ::poll(&Poll, 1, kSliceMs);
      if (Ready > 0) return true;
      if (Ready < 0 && errno != EINTR) return false;
    }
    return false;
  }

  // Reads what has arrived into the buffer; false on time-out or failure. A
  // closed peer leaves the buffer empty and returns true.
  bool Fill(int TimeoutMs) {
    if (!Wait(POLLIN, TimeoutMs)) return false;
    char Chunk[4096];
    ssize_t Got;
    do {
      Got = ::recv(Fd_, Chunk, sizeof Chunk, 0);
    } while (Got < 0 && errno == EINTR);
    if (Got < 0) return false;
    Buffer_.erase(0, Pos_);
    Pos_ = 0;
    Buffer_.append(Chunk, static_cast<std::size_t>(Got));
    return true;
  }

  socket_t Fd_;
  const std::atomic<bool>& Stopping_;
  std::string Buffer_;
  std::size_t Pos_ = 0;
  std::string Consumed_;  // bytes handed to the parser for the current request
  bool Dropped_ = false;
};

thread_local Connection* CurrentConnection = nullptr;

}  // namespace

DeviceServer::DeviceServer() { set_payload_max_length(std::size_t{64} << 20); }

std::string DeviceServer::CurrentRequestBytes() {
  return CurrentConnection ? CurrentConnection->Consumed() : std::string();
}

void DeviceServer::DropCurrentConnection() {
  if (CurrentConnection) CurrentConnection->Drop();
}

bool DeviceServer::process_and_close_socket(socket_t Sock) {
  bool Ok = false;
  {
    Connection Stream(Sock, Stopping_);
    CurrentConnection = &Stream;
    for (int Left = kKeepAliveMaxRequests; Left > 0 && !Stopping_; --Left) {
      if (!Stream.AwaitRequest()) break;
      Stream.BeginRequest();
      bool Closed = false;
      Ok = process_request(Stream, Left == 1, Closed, nullptr);
      if (!Ok || Closed || Stream.Dropped()) break;
    }
    CurrentConnection = nullptr;
  }
  ::shutdown(Sock, SHUT_RDWR);
  ::close(Sock);
  return Ok;
}

void Reply(httplib::Response& Out, int Status, const std::string& Body,
           const std::string& ContentType) {
  Out.status = Status;
  if (Body.empty()) {
    Out.body.clear();
    Out.set_header("Content-Type", ContentType);
    return;
  }
  auto Shared = std::make_shared<std::string>(Body);
  Out.set_content_provider(Shared->size(), ContentType,
                           [Shared](size_t Offset, size_t Length, httplib::DataSink& Sink) {
                             return Sink.write(Shared->data() + Offset, Length);
                           });
}

void ReplyTruncated(httplib::Response& Out, int Status, const std::string& Body,
                    const std::string& ContentType, std::size_t SendBytes) {
  Out.status = Status;
  auto Shared = std::make_shared<std::string>(Body.substr(0, SendBytes));
  // The announced length is at least one byte more than what is sent.
  const std::size_t Announced = std::max(Body.size(), Shared->size() + 1);
  Out.set_content_provider(Announced, ContentType,
                           [Shared](size_t Offset, size_t, httplib::DataSink& Sink) {
                             if (Offset < Shared->size())
                               Sink.write(Shared->data() + Offset, Shared->size() - Offset);
                             return false;  // ends the answer here: the connection closes
                           });
}

}  // namespace kelvo_emulator
