// The emulator's HTTP server: cpp-httplib's server with the emulator's own
// handling of each connection, so that a handler can
//  - see the exact bytes of the request it handles (as they came over the
//    wire: request line, headers in their order, body), and
//  - end its connection without answering at all,
// neither of which cpp-httplib's handlers offer. The connection reads and
// writes through a stream of its own; cpp-httplib parses the requests from it
// and writes the answers to it.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include <httplib.h>

namespace kelvo_emulator {

class DeviceServer : public httplib::Server {
 public:
  DeviceServer();
  // Ends waits for further requests on open connections; call before stop().
  void BeginStop() { Stopping_ = true; }

  // For the handler running on the calling thread: the bytes of the request
  // it handles, and ending its connection without an answer.
  static std::string CurrentRequestBytes();
  static void DropCurrentConnection();

 private:
  bool process_and_close_socket(socket_t Sock) override;
  std::atomic<bool> Stopping_{false};
};

// Answers with exactly these body bytes (cpp-httplib would otherwise compress
// the body for clients that accept it).
void Reply(httplib::Response& Out, int Status, const std::string& Body,
           const std::string& ContentType);
// Announces the whole body in Content-Length, sends only its first SendBytes
// bytes and closes the connection.
void ReplyTruncated(httplib::Response& Out, int Status, const std::string& Body,
                    const std::string& ContentType, std::size_t SendBytes);

}  // namespace kelvo_emulator
