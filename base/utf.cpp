#include "base/utf.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace base {
namespace {

// Runs of plain ASCII are the bulk of every text the driver handles (XML
// markup, JSON, numbers): they are checked and copied a word (eight bytes) at
// a time.
constexpr std::uint64_t kHighBits8 = 0x8080808080808080u;
constexpr std::uint64_t kHighBits16 = 0xFF80FF80FF80FF80u;

bool IsAsciiWord(const unsigned char* P) {
  std::uint64_t W;
  std::memcpy(&W, P, 8);
  return (W & kHighBits8) == 0;
}

// Four UTF-16 code units.
bool IsAsciiWord(const char16_t* P) {
  std::uint64_t W;
  std::memcpy(&W, P, 8);
  return (W & kHighBits16) == 0;
}

std::size_t AsciiRun(const unsigned char* P, std::size_t N) {
  std::size_t I = 0;
  while (I + 8 <= N && IsAsciiWord(P + I)) I += 8;
  while (I < N && P[I] < 0x80) ++I;
  return I;
}

bool IsHighSurrogate(char32_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(char32_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

// One UTF-8 sequence at P[0..N) (P[0] >= 0x80): its code point, or U+FFFD
// for an ill-formed one, and how many bytes it takes.
struct Sequence {
  char32_t Code;
  std::size_t Length;
  bool WellFormed;
};

Sequence ReadSequence(const unsigned char* P, std::size_t N) {
  const unsigned char B = P[0];
  std::size_t Extra;
  char32_t C, Min;
  if (B >= 0xC2 && B <= 0xDF) {
    Extra = 1, C = B & 0x1F, Min = 0x80;
  } else if (B >= 0xE0 && B <= 0xEF) {
    Extra = 2, C = B & 0x0F, Min = 0x800;
  } else if (B >= 0xF0 && B <= 0xF4) {
    Extra = 3, C = B & 0x07, Min = 0x10000;
  } else {
    return {0xFFFD, 1, false};
  }
  std::size_t K = 1;
  for (; K <= Extra && K < N && (P[K] & 0xC0) == 0x80; ++K) C = (C << 6) | (P[K] & 0x3F);
  if (K <= Extra || C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF))
    return {0xFFFD, K, false};
  return {C, K, true};
}

}  // namespace

std::size_t Utf8Length(std::u16string_view Text) {
  const char16_t* P = Text.data();
  const std::size_t N = Text.size();
  std::size_t Length = 0;
  for (std::size_t I = 0; I < N; ++I) {
    if (I + 4 <= N && IsAsciiWord(P + I)) {
      Length += 4;
      I += 3;
      continue;
    }
    const char32_t C = P[I];
    if (C < 0x80) {
      ++Length;
    } else if (C < 0x800) {
      Length += 2;
    } else if (IsHighSurrogate(C) && I + 1 < N && IsLowSurrogate(P[I + 1])) {
      Length += 4;
      ++I;
    } else {
      Length += 3;  // a lone surrogate becomes U+FFFD, three bytes as well
    }
  }
  return Length;
}

std::size_t Utf16ToUtf8(std::u16string_view Text, char* Out) {
  const char16_t* P = Text.data();
  const std::size_t N = Text.size();
  char* O = Out;
  for (std::size_t I = 0; I < N; ++I) {
    if (I + 4 <= N && IsAsciiWord(P + I)) {
      for (std::size_t K = 0; K < 4; ++K) O[K] = static_cast<char>(P[I + K]);
      O += 4;
      I += 3;
      continue;
    }
    char32_t C = P[I];
    if (C < 0x80) {
      *O++ = static_cast<char>(C);
      continue;
    }
    if (IsHighSurrogate(C) && I + 1 < N && IsLowSurrogate(P[I + 1])) {
      C = 0x10000 + ((C - 0xD800) << 10) + (P[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = 0xFFFD;
    }
    if (C < 0x800) {
      *O++ = static_cast<char>(0xC0 | (C >> 6));
      *O++ = static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
      *O++ = static_cast<char>(0xE0 | (C >> 12));
      *O++ = static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      *O++ = static_cast<char>(0x80 | (C & 0x3F));
    } else {
      *O++ = static_cast<char>(0xF0 | (C >> 18));
      *O++ = static_cast<char>(0x80 | ((C >> 12) & 0x3F));
      *O++ = static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      *O++ = static_cast<char>(0x80 | (C & 0x3F));
    }
  }
  return static_cast<std::size_t>(O - Out);
}

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string Out(Utf8Length(Text), '\0');
  Utf16ToUtf8(Text, Out.data());
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Text) {
  // Never more code units than bytes.
  std::u16string Out(Text.size(), u'\0');
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const std::size_t N = Text.size();
  char16_t* O = Out.data();
  for (std::size_t I = 0; I < N;) {
    if (I + 8 <= N && IsAsciiWord(P + I)) {
      for (std::size_t K = 0; K < 8; ++K) O[K] = P[I + K];
      O += 8;
      I += 8;
      continue;
    }
    if (P[I] < 0x80) {
      *O++ = P[I++];
      continue;
    }
    const Sequence S = ReadSequence(P + I, N - I);
    I += S.Length;
    if (S.Code >= 0x10000) {
      const char32_t C = S.Code - 0x10000;
      *O++ = static_cast<char16_t>(0xD800 + (C >> 10));
      *O++ = static_cast<char16_t>(0xDC00 + (C & 0x3FF));
    } else {
      *O++ = static_cast<char16_t>(S.Code);
    }
  }
  Out.resize(static_cast<std::size_t>(O - Out.data()));
  return Out;
}

bool IsWellFormedUtf8(std::string_view Text) {
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const std::size_t N = Text.size();
  for (std::size_t I = AsciiRun(P, N); I < N; I += AsciiRun(P + I, N - I)) {
    // Two-byte sequences (Cyrillic among them) are checked on the spot.
    if (P[I] >= 0xC2 && P[I] <= 0xDF && I + 1 < N && (P[I + 1] & 0xC0) == 0x80) {
      I += 2;
      continue;
    }
    const Sequence S = ReadSequence(P + I, N - I);
    if (!S.WellFormed) return false;
    I += S.Length;
  }
  return true;
}

std::string WellFormedUtf8(std::string_view Text) {
  if (IsWellFormedUtf8(Text)) return std::string(Text);
  return Utf16ToUtf8(Utf8ToUtf16(Text));
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

}  // namespace base
