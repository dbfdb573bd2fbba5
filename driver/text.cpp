#include "driver/text.h"

namespace driver {

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size() * 2);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    char32_t C = Text[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = 0xFFFD;
    }
    if (C < 0x80) {
      Out.push_back(static_cast<char>(C));
    } else if (C < 0x800) {
      Out.push_back(static_cast<char>(0xC0 | (C >> 6)));
      Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    } else if (C < 0x10000) {
      Out.push_back(static_cast<char>(0xE0 | (C >> 12)));
      Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
      Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    } else {
      Out.push_back(static_cast<char>(0xF0 | (C >> 18)));
      Out.push_back(static_cast<char>(0x80 | ((C >> 12) & 0x3F)));
      Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
      Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
    }
  }
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Text) {
  std::u16string Out;
  Out.reserve(Text.size());
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const std::size_t N = Text.size();
  std::size_t I = 0;
  while (I < N) {
    const unsigned char B = P[I];
    if (B < 0x80) {
      Out.push_back(B);
      ++I;
      continue;
    }
    std::size_t Extra;
    char32_t C, Min;
    if (B >= 0xC2 && B <= 0xDF) {
      Extra = 1, C = B & 0x1F, Min = 0x80;
    } else if (B >= 0xE0 && B <= 0xEF) {
      Extra = 2, C = B & 0x0F, Min = 0x800;
    } else if (B >= 0xF0 && B <= 0xF4) {
      Extra = 3, C = B & 0x07, Min = 0x10000;
    } else {
      Out.push_back(0xFFFD);
      ++I;
      continue;
    }
    std::size_t K = 1;
    for (; K <= Extra && I + K < N && (P[I + K] & 0xC0) == 0x80; ++K)
      C = (C << 6) | (P[I + K] & 0x3F);
    if (K <= Extra || C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
      Out.push_back(0xFFFD);
      I += K;
      continue;
    }
    I += K;
    if (C >= 0x10000) {
      C -= 0x10000;
      Out.push_back(static_cast<char16_t>(0xD800 + (C >> 10)));
      Out.push_back(static_cast<char16_t>(0xDC00 + (C & 0x3FF)));
    } else {
      Out.push_back(static_cast<char16_t>(C));
    }
  }
  return Out;
}

std::u16string TrimBlanks(std::u16string_view Text) {
  std::size_t B = 0, E = Text.size();
  while (B < E && Text[B] <= u' ') ++B;
  while (E > B && Text[E - 1] <= u' ') --E;
  return std::u16string(Text.substr(B, E - B));
}

bool IsBlank(std::u16string_view Text) {
  for (char16_t C : Text)
    if (C > u' ') return false;
  return true;
}

std::u16string ToU16(std::string_view Ascii) { return std::u16string(Ascii.begin(), Ascii.end()); }

}  // namespace driver
