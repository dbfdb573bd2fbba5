// The loopback address set-up both socket sources share. Included after the
// system's socket headers (sys/socket.h and netinet/in.h, or winsock2.h and
// ws2tcpip.h), which name the same structures everywhere.
#pragma once

#include <string>

#include "support/sockets.h"

namespace transport_test::sockets {

// Address becomes the loopback address of F with port 0 (any free one); Host
// gets its form in a URL. Returns the address's length.
inline int LoopbackAddress(Family F, sockaddr_storage& Address, std::string& Host) {
  Address = {};
  if (F == Family::V6) {
    auto* A = reinterpret_cast<sockaddr_in6*>(&Address);
    A->sin6_family = AF_INET6;
    A->sin6_addr = in6addr_loopback;
    Host = "[::1]";
    return sizeof *A;
  }
  auto* A = reinterpret_cast<sockaddr_in*>(&Address);
  A->sin_family = AF_INET;
  A->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  Host = "127.0.0.1";
  return sizeof *A;
}

inline unsigned PortOf(const sockaddr_storage& Address) {
  return ntohs(Address.ss_family == AF_INET6
                   ? reinterpret_cast<const sockaddr_in6*>(&Address)->sin6_port
                   : reinterpret_cast<const sockaddr_in*>(&Address)->sin_port);
}

}  // namespace transport_test::sockets
