// iconv's CP1251, one byte at a time.
#include <iconv.h>

#include "tools/harness/host_code_page.h"

namespace harness {

char16_t SystemCp1251Char(unsigned char Byte) {
  const iconv_t Converter = iconv_open("UTF-16LE", "CP1251");
  if (Converter == reinterpret_cast<iconv_t>(-1)) return u'\uFFFD';
  char In = static_cast<char>(Byte);
  unsigned char Out[4] = {};
  char* InP = &In;
  char* OutP = reinterpret_cast<char*>(Out);
  std::size_t InLeft = 1, OutLeft = sizeof Out;
  const bool Converted =
      iconv(Converter, &InP, &InLeft, &OutP, &OutLeft) != static_cast<std::size_t>(-1) &&
      InLeft == 0 && OutLeft == 2;
  iconv_close(Converter);
  return Converted ? static_cast<char16_t>(Out[0] | (Out[1] << 8)) : u'\uFFFD';
}

}  // namespace harness
