// iconv, one byte at a time: every charset here maps a byte to one character
// of the Basic Multilingual Plane.
#include <iconv.h>

#include "platform/single_byte.h"

namespace platform {

bool MakeSingleByteTable(const char* IconvName, unsigned /*CodePage*/, SingleByteTable& Table) {
  const iconv_t Converter = iconv_open("UTF-16LE", IconvName);
  if (Converter == reinterpret_cast<iconv_t>(-1)) return false;
  for (unsigned Byte = 0; Byte < 256; ++Byte) {
    char In = static_cast<char>(Byte);
    unsigned char Out[4] = {};
    char* InP = &In;
    char* OutP = reinterpret_cast<char*>(Out);
    std::size_t InLeft = 1, OutLeft = sizeof Out;
    iconv(Converter, nullptr, nullptr, nullptr, nullptr);
    // Some converters (CP1255, CP1258) hold a character back in case a
    // combining mark follows: the flush gives it out.
    const bool Converted =
        iconv(Converter, &InP, &InLeft, &OutP, &OutLeft) != static_cast<std::size_t>(-1) &&
        iconv(Converter, nullptr, nullptr, &OutP, &OutLeft) != static_cast<std::size_t>(-1) &&
        InLeft == 0 && OutLeft == 2;
    Table[Byte] = Converted ? static_cast<char16_t>(Out[0] | (Out[1] << 8)) : u'\uFFFD';
  }
  iconv_close(Converter);
  return true;
}

}  // namespace platform
