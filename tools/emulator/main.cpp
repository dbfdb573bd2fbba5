// kelvo-emulator: a KELVO-1F register on the network, for tests and people.
//
//   kelvo-emulator [--host 127.0.0.1] [--port 0] [--state FILE] [--until-stdin-closes]
//
// Prints "listening on HOST:PORT" once it accepts connections, then serves
// until SIGINT or SIGTERM (or, with --until-stdin-closes, until its standard
// input closes, so that a parent that dies takes the emulator with it).
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

#include "tools/emulator/emulator.h"

namespace {

int Usage() {
  std::cerr << "usage: kelvo-emulator [--host HOST] [--port PORT] [--state FILE]"
               " [--until-stdin-closes]\n"
               "  --host HOST  address to listen on (default 127.0.0.1)\n"
               "  --port PORT  port to listen on; 0 takes a free one (default 0)\n"
               "  --state FILE keep the register's state in FILE across restarts\n"
               "  --until-stdin-closes  also stop when standard input closes\n";
  return 2;
}

}  // namespace

int main(int Argc, char** Argv) {
  std::string Host = "127.0.0.1";
  int Port = 0;
  bool UntilStdinCloses = false;
  kelvo_emulator::Options Settings;
  for (int I = 1; I < Argc; ++I) {
    const std::string Arg = Argv[I];
    const bool HasValue = I + 1 < Argc;
    if (Arg == "--host" && HasValue) {
      Host = Argv[++I];
    } else if (Arg == "--port" && HasValue) {
      char* End = nullptr;
      const long Value = std::strtol(Argv[++I], &End, 10);
      if (*End != '\0' || Value < 0 || Value > 65535) return Usage();
      Port = static_cast<int>(Value);
    } else if (Arg == "--state" && HasValue) {
      Settings.StateFile = Argv[++I];
    } else if (Arg == "--until-stdin-closes") {
      UntilStdinCloses = true;
    } else {
      return Usage();
    }
  }

  // The signals are taken by sigwait below; every thread started from here
  // on inherits the mask.
  sigset_t Stopping;
  sigemptyset(&Stopping);
  sigaddset(&Stopping, SIGINT);
  sigaddset(&Stopping, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &Stopping, nullptr);

  kelvo_emulator::Emulator Register(Settings);
  int Bound = 0;
  try {
    Bound = Register.Start(Host, Port);
  } catch (const std::exception& Failure) {
    std::cerr << "kelvo-emulator: " << Failure.what() << "\n";
    return 1;
  }
  const bool V6 = Host.find(':') != std::string::npos;
  std::cout << "listening on " << (V6 ? "[" + Host + "]" : Host) << ":" << Bound << std::endl;

  if (UntilStdinCloses) {
    std::thread([] {
      char Buffer[256];
      while (::read(STDIN_FILENO, Buffer, sizeof Buffer) > 0) {
      }
      ::kill(::getpid(), SIGTERM);
    }).detach();
  }
  int Signal = 0;
  sigwait(&Stopping, &Signal);
  Register.Stop();
  return 0;
}
