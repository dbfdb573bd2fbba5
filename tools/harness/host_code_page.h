// The host's 8-bit code page, Windows-1251, as the harness reads and writes
// it: built from the system's converters (iconv, MultiByteToWideChar), apart
// from the add-in's own table, so that the tests check that table rather
// than share it. Byte 0x98, which Windows-1251 leaves undefined, stands for
// U+0098 as on Windows.
#pragma once

#include <string>
#include <string_view>

namespace harness {

// Characters the code page lacks become "?".
std::string ToHostCodePage(std::u16string_view Text);
std::u16string FromHostCodePage(std::string_view Bytes);

// The system's character for a byte of 0x80 or more; U+FFFD when the system
// leaves it undefined.
char16_t SystemCp1251Char(unsigned char Byte);

}  // namespace harness
