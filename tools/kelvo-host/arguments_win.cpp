// main's arguments are in the ANSI code page, which cannot hold every
// character: the wide command line is read instead. Output is UTF-8, so a
// console shows it as such.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "base/utf.h"
#include "tools/kelvo-host/arguments.h"

namespace kelvo_host {

std::vector<std::string> Utf8Arguments(int Argc, char** Argv) {
  SetConsoleOutputCP(CP_UTF8);
  int Count = 0;
  wchar_t** Wide = CommandLineToArgvW(GetCommandLineW(), &Count);
  if (!Wide) return std::vector<std::string>(Argv + 1, Argv + Argc);
  std::vector<std::string> Args;
  for (int I = 1; I < Count; ++I)
    Args.push_back(base::Utf16ToUtf8(reinterpret_cast<const char16_t*>(Wide[I])));
  LocalFree(Wide);
  return Args;
}

}  // namespace kelvo_host
