// The system's code page conversions, one byte at a time; a byte the code page
// leaves undefined fails with MB_ERR_INVALID_CHARS.
#include <windows.h>

#include "platform/single_byte.h"

namespace platform {

bool MakeSingleByteTable(const char* /*IconvName*/, unsigned CodePage, SingleByteTable& Table) {
  if (!IsValidCodePage(CodePage)) return false;
  for (unsigned Byte = 0; Byte < 256; ++Byte) {
    const char In = static_cast<char>(Byte);
    wchar_t Out[2] = {};
    const int Got = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, &In, 1, Out, 2);
    Table[Byte] = Got == 1 ? static_cast<char16_t>(Out[0]) : u'\uFFFD';
  }
  return true;
}

}  // namespace platform
