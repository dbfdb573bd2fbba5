// The Windows parts of the test support. The emulator is a native Linux
// program that a Windows test program under Wine cannot start: its CTest
// fixture starts it and passes the address in KELVO_EMULATOR_ADDRESS.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>
#include <string>

#include "support/emulator_process.h"

namespace testing_support {

void EmulatorProcess::Launch() {
  throw std::runtime_error(
      "KELVO_EMULATOR_ADDRESS is not set: start kelvo-emulator and give its address there");
}

void EmulatorProcess::Stop() {}

std::string ClosedLoopbackAddress() {
  static const bool Started = [] {
    WSADATA Data;
    return WSAStartup(MAKEWORD(2, 2), &Data) == 0;
  }();
  if (!Started) throw std::runtime_error("WSAStartup failed");
  // Bind a port, then let it go: nothing listens there afterwards.
  const SOCKET Socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
  int Length = sizeof Address;
  getsockname(Socket, reinterpret_cast<sockaddr*>(&Address), &Length);
  closesocket(Socket);
  return "127.0.0.1:" + std::to_string(ntohs(Address.sin_port));
}

}  // namespace testing_support
