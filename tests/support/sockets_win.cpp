#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "support/sockets.h"
#include "support/sockets_address.h"

namespace transport_test::sockets {
namespace {

bool Started() {
  static const bool Ok = [] {
    WSADATA Data;
    return WSAStartup(MAKEWORD(2, 2), &Data) == 0;
  }();
  return Ok;
}

SOCKET Raw(Handle S) { return static_cast<SOCKET>(S); }

int Chunk(std::size_t Size) { return static_cast<int>(std::min<std::size_t>(Size, INT_MAX)); }

}  // namespace

Handle Bind(Family F, bool Listen, std::string& Host, unsigned& Port) {
  if (!Started()) return kNone;
  const SOCKET S = socket(F == Family::V6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (S == INVALID_SOCKET) return kNone;
  sockaddr_storage Address;
  int Length = LoopbackAddress(F, Address, Host);
  if (bind(S, reinterpret_cast<sockaddr*>(&Address), Length) != 0 ||
      (Listen && listen(S, 16) != 0) ||
      getsockname(S, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
    closesocket(S);
    return kNone;
  }
  Port = PortOf(Address);
  return static_cast<Handle>(S);
}

Handle Accept(Handle Listening) {
  const SOCKET S = accept(Raw(Listening), nullptr, nullptr);
  return S == INVALID_SOCKET ? kNone : static_cast<Handle>(S);
}

bool WaitReadable(Handle S, int TimeoutMs) {
  WSAPOLLFD P{Raw(S), POLLRDNORM, 0};
  return WSAPoll(&P, 1, TimeoutMs) > 0;
}

long Receive(Handle S, char* Buffer, std::size_t Size) {
  return recv(Raw(S), Buffer, Chunk(Size), 0);
}

long Send(Handle S, const char* Bytes, std::size_t Size) {
  return send(Raw(S), Bytes, Chunk(Size), 0);
}

void Close(Handle S) { closesocket(Raw(S)); }

void Abort(Handle S) {
  const linger Reset{1, 0};
  setsockopt(Raw(S), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&Reset), sizeof Reset);
  closesocket(Raw(S));
}

}  // namespace transport_test::sockets
