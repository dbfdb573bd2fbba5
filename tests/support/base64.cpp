#include "support/base64.h"

namespace testing_support {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64Encode(const std::string& Bytes) {
  std::string Out;
  std::size_t I = 0;
  for (; I + 2 < Bytes.size(); I += 3) {
    const unsigned V = (static_cast<unsigned char>(Bytes[I]) << 16) |
                       (static_cast<unsigned char>(Bytes[I + 1]) << 8) |
                       static_cast<unsigned char>(Bytes[I + 2]);
    Out += {kAlphabet[V >> 18], kAlphabet[(V >> 12) & 63], kAlphabet[(V >> 6) & 63],
            kAlphabet[V & 63]};
  }
  if (I + 1 == Bytes.size()) {
    const unsigned V = static_cast<unsigned char>(Bytes[I]) << 16;
    Out += {kAlphabet[V >> 18], kAlphabet[(V >> 12) & 63], '=', '='};
  } else if (I + 2 == Bytes.size()) {
    const unsigned V = (static_cast<unsigned char>(Bytes[I]) << 16) |
                       (static_cast<unsigned char>(Bytes[I + 1]) << 8);
    Out += {kAlphabet[V >> 18], kAlphabet[(V >> 12) & 63], kAlphabet[(V >> 6) & 63], '='};
  }
  return Out;
}

std::string Base64Decode(const std::string& Text) {
  std::string Out;
  unsigned Bits = 0;
  int Count = 0;
  for (const char C : Text) {
    const char* P = C ? std::char_traits<char>::find(kAlphabet, 64, C) : nullptr;
    if (!P) continue;
    Bits = (Bits << 6) | static_cast<unsigned>(P - kAlphabet);
    if ((Count += 6) >= 8) {
      Count -= 8;
      Out.push_back(static_cast<char>((Bits >> Count) & 0xFF));
    }
  }
  return Out;
}

}  // namespace testing_support
