#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/sockets.h"
#include "support/sockets_address.h"

namespace transport_test::sockets {

Handle Bind(Family F, bool Listen, std::string& Host, unsigned& Port) {
  const int Domain = F == Family::V6 ? AF_INET6 : AF_INET;
  const int Fd = socket(Domain, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (Fd < 0) return kNone;
  sockaddr_storage Address;
  socklen_t Length = static_cast<socklen_t>(LoopbackAddress(F, Address, Host));
  if (bind(Fd, reinterpret_cast<sockaddr*>(&Address), Length) != 0 ||
      (Listen && listen(Fd, 16) != 0) ||
      getsockname(Fd, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
    close(Fd);
    return kNone;
  }
  Port = PortOf(Address);
  return Fd;
}

Handle Accept(Handle Listening) {
  const int Fd = accept4(static_cast<int>(Listening), nullptr, nullptr, SOCK_CLOEXEC);
  return Fd < 0 ? kNone : Fd;
}

bool WaitReadable(Handle S, int TimeoutMs) {
  pollfd P{static_cast<int>(S), POLLIN, 0};
  return poll(&P, 1, TimeoutMs) > 0;
}

long Receive(Handle S, char* Buffer, std::size_t Size) {
  return static_cast<long>(recv(static_cast<int>(S), Buffer, Size, 0));
}

long Send(Handle S, const char* Bytes, std::size_t Size) {
  return static_cast<long>(send(static_cast<int>(S), Bytes, Size, MSG_NOSIGNAL));
}

void Close(Handle S) { close(static_cast<int>(S)); }

void Abort(Handle S) {
  const linger Reset{1, 0};
  setsockopt(static_cast<int>(S), SOL_SOCKET, SO_LINGER, &Reset, sizeof Reset);
  close(static_cast<int>(S));
}

}  // namespace transport_test::sockets
