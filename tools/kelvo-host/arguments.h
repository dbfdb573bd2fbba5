// The command line as UTF-8 text, one file per OS.
#pragma once

#include <string>
#include <vector>

namespace kelvo_host {

// The arguments after the program's name.
std::vector<std::string> Utf8Arguments(int Argc, char** Argv);

}  // namespace kelvo_host
