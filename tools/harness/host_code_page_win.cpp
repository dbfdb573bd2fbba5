// Windows' code page 1251, one byte at a time.
#include <windows.h>

#include "tools/harness/host_code_page.h"

namespace harness {

char16_t SystemCp1251Char(unsigned char Byte) {
  const char In = static_cast<char>(Byte);
  wchar_t Out[2] = {};
  const int Got = MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &In, 1, Out, 2);
  return Got == 1 ? static_cast<char16_t>(Out[0]) : u'\uFFFD';
}

}  // namespace harness
