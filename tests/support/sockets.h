// The few socket calls the loopback server makes, one implementation per OS
// (sockets_posix.cpp, sockets_win.cpp), so that the server itself is the same
// everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace transport_test {

enum class Family { V4, V6 };

namespace sockets {

// A socket, or kNone. Wide enough for a Windows SOCKET.
using Handle = std::intptr_t;
inline constexpr Handle kNone = -1;

// A TCP socket bound to the loopback address of Family on a free port;
// listening when Listen is set. Host gets "127.0.0.1" or "[::1]".
Handle Bind(Family F, bool Listen, std::string& Host, unsigned& Port);
Handle Accept(Handle Listening);
// True when data (or the peer's close) is there within TimeoutMs.
bool WaitReadable(Handle S, int TimeoutMs);
// Bytes received: more than 0, 0 when the peer closed, less on an error.
long Receive(Handle S, char* Buffer, std::size_t Size);
// Bytes sent, or less than 1 once the peer is gone (no signal raised).
long Send(Handle S, const char* Bytes, std::size_t Size);
void Close(Handle S);
// Closes with a reset rather than an orderly close.
void Abort(Handle S);

}  // namespace sockets
}  // namespace transport_test
