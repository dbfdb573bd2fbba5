// The system's converters for 8-bit charsets, as one table per charset: what
// each byte decodes to (U+FFFD for a byte the charset leaves undefined).
#pragma once

#include <array>

namespace platform {

using SingleByteTable = std::array<char16_t, 256>;

// Fills Table through the system's converter for the charset, named as iconv
// names it (Linux) and by its code page number (Windows); false when the
// system has no converter for it.
bool MakeSingleByteTable(const char* IconvName, unsigned CodePage, SingleByteTable& Table);

}  // namespace platform
