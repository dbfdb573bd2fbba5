// The HTTP exchange with the register's web server: one request, one answer,
// a fresh connection each time. The transport checks nothing about the URL;
// the driver builds it from an address it has already checked.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

struct HttpHeader {
  std::string Name, Value;
};

// Exactly the given headers are sent; the transport adds only Host and, for
// POST, Content-Length. The body goes out with POST only.
struct HttpRequest {
  bool Post = false;
  std::string Url;
  std::vector<HttpHeader> Headers;
  std::string Body;
};

// Connect: name lookup and TCP connection together. Answer: once connected,
// the longest the exchange may stand still (nothing sent, nothing received)
// before it is given up; an answer that keeps arriving is waited for. Zero
// or less means the transport's own limit for Connect (libcurl: 300 s,
// WinHTTP: none), and none for Answer.
struct HttpTimeouts {
  std::chrono::milliseconds Connect{60000};
  std::chrono::milliseconds Answer{60000};
};

struct HttpResponse {
  bool Received = false;  // an answer arrived (any HTTP status)
  long Status = 0;
  std::string ContentType;  // the answer's Content-Type header, as sent
  std::string Body;         // raw bytes
  std::string Error;        // failure text when !Received
};

// A longer answer body is a receive failure.
inline constexpr std::size_t kMaxAnswerBytes = 16u << 20;

// Failure texts:
//   "Error connecting to server: <text>"      no connection was made
//   "Error sending data: (<number>) <text>"   the request could not be sent
//   "Error receiving data: (<number>) <text>" no complete answer came back
// where, on libcurl, the number is the OS error code when the socket reported
// one and libcurl's code otherwise; on WinHTTP (Windows) it is the system's
// error number and the text is the system's message for it. The connect form
// carries the library's or the system's text only. Safe to use from several
// threads at once.
class HttpTransport {
 public:
  explicit HttpTransport(HttpTimeouts Timeouts = {});
  HttpResponse Send(const HttpRequest& Request) const;

 private:
  HttpTimeouts Timeouts;
};

}  // namespace platform
