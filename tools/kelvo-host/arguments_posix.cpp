// The arguments are the bytes the shell passed: UTF-8 in a UTF-8 locale.
#include "tools/kelvo-host/arguments.h"

namespace kelvo_host {

std::vector<std::string> Utf8Arguments(int Argc, char** Argv) {
  return std::vector<std::string>(Argv + 1, Argv + Argc);
}

}  // namespace kelvo_host
