#include "base/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace base {
namespace {

// Bytes 0x80..0xFF. 0x98 is unassigned in Windows-1251; it maps to U+0098 so
// that it survives a round trip, as the system converter does.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// All 256 bytes, for widening without a branch.
struct WholeTable {
  char16_t Of[256];
  constexpr WholeTable() : Of() {
    for (int B = 0; B < 256; ++B) Of[B] = B < 0x80 ? static_cast<char16_t>(B) : kHighHalf[B - 0x80];
  }
};
constexpr WholeTable kWhole;

// The UTF-8 form of every byte from 0x80: two bytes, or three for the
// characters from U+0800 (punctuation, signs).
struct Utf8Table {
  unsigned char Length[256];
  char Bytes[256][4];  // the form, then zeros
  constexpr Utf8Table() : Length(), Bytes() {
    for (int B = 0; B < 256; ++B) {
      const char16_t C = kWhole.Of[B];
      if (C < 0x80) {
        Length[B] = 1;
        Bytes[B][0] = static_cast<char>(C);
      } else if (C < 0x800) {
        Length[B] = 2;
        Bytes[B][0] = static_cast<char>(0xC0 | (C >> 6));
        Bytes[B][1] = static_cast<char>(0x80 | (C & 0x3F));
      } else {
        Length[B] = 3;
        Bytes[B][0] = static_cast<char>(0xE0 | (C >> 12));
        Bytes[B][1] = static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Bytes[B][2] = static_cast<char>(0x80 | (C & 0x3F));
      }
    }
  }
};
constexpr Utf8Table kUtf8;

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Eight bytes at P, and whether any of them is from 0x80.
bool IsAsciiWord(const unsigned char* P) {
  std::uint64_t Word;
  std::memcpy(&Word, P, 8);
  return (Word & kHighBits) == 0;
}

// (character, byte) pairs sorted by character, for the narrowing direction.
std::array<std::pair<char16_t, unsigned char>, 128> SortedByCharacter() {
  std::array<std::pair<char16_t, unsigned char>, 128> Pairs{};
  for (std::size_t I = 0; I < 128; ++I)
    Pairs[I] = {kHighHalf[I], static_cast<unsigned char>(0x80 + I)};
  std::sort(Pairs.begin(), Pairs.end());
  return Pairs;
}

// Host texts are mostly markup and digits: blocks of sixteen plain ASCII
// bytes widen without the table (with SSE2 where the target has it, every
// x86-64). Returns false, writing nothing, when the block has other bytes.
constexpr std::size_t kBlock = 16;

bool WidenAsciiBlock(const unsigned char* P, char16_t* Out) {
#if defined(__SSE2__)
  const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
  if (_mm_movemask_epi8(Bytes) != 0) return false;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Out), _mm_unpacklo_epi8(Bytes, _mm_setzero_si128()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 8),
                   _mm_unpackhi_epi8(Bytes, _mm_setzero_si128()));
#else
  std::uint64_t A, B;
  std::memcpy(&A, P, 8);
  std::memcpy(&B, P + 8, 8);
  if ((A | B) & 0x8080808080808080u) return false;
  for (std::size_t K = 0; K < kBlock; ++K) Out[K] = P[K];
#endif
  return true;
}

}  // namespace

std::string WideToCp1251(std::u16string_view Text) {
  static const auto Reverse = SortedByCharacter();
  std::string Out(Text.size(), '\0');
  char* O = Out.data();
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    if (C < 0x80) {
      *O++ = static_cast<char>(C);
      continue;
    }
    // A surrogate pair is one character outside the code page: one "?".
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF)
      ++I;
    const auto It = std::lower_bound(Reverse.begin(), Reverse.end(),
                                     std::make_pair(C, static_cast<unsigned char>(0)));
    *O++ = It != Reverse.end() && It->first == C ? static_cast<char>(It->second) : '?';
  }
  Out.resize(static_cast<std::size_t>(O - Out.data()));
  return Out;
}

std::u16string Cp1251ToWide(std::string_view Text) {
  std::u16string Out(Text.size(), u'\0');
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  char16_t* O = Out.data();
  const std::size_t N = Text.size();
  for (std::size_t I = 0; I < N;) {
    if (I + kBlock <= N && WidenAsciiBlock(P + I, O + I)) {
      I += kBlock;
      continue;
    }
    // Half a block of ASCII still widens without the table.
    std::uint64_t Half;
    if (I + kBlock / 2 <= N && (std::memcpy(&Half, P + I, 8), (Half & 0x8080808080808080u) == 0)) {
      for (std::size_t K = 0; K < kBlock / 2; ++K) O[I + K] = P[I + K];
      I += kBlock / 2;
      continue;
    }
    for (const std::size_t End = std::min(I + kBlock / 2, N); I < End; ++I) O[I] = kWhole.Of[P[I]];
  }
  return Out;
}

std::string Cp1251ToUtf8(std::string_view Text) {
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const std::size_t N = Text.size();
  // The exact length first, so that a long text gets no spare room.
  std::size_t Length = N;
  std::size_t I = 0;
  for (; I + 8 <= N; I += 8)
    if (!IsAsciiWord(P + I))
      for (std::size_t K = 0; K < 8; ++K) Length += kUtf8.Length[P[I + K]] - 1u;
  for (; I < N; ++I) Length += kUtf8.Length[P[I]] - 1u;

  // Each byte's form is copied four bytes at a time, its length apart: three
  // bytes of room past the end take the last one's spare zeros.
  std::string Out(Length + 3, '\0');
  char* O = Out.data();
  for (I = 0; I < N;) {
    if (I + 8 <= N && IsAsciiWord(P + I)) {
      std::memcpy(O, P + I, 8);
      O += 8;
      I += 8;
      continue;
    }
    for (const std::size_t End = std::min(I + 8, N); I < End; ++I) {
      std::memcpy(O, kUtf8.Bytes[P[I]], 4);
      O += kUtf8.Length[P[I]];
    }
  }
  Out.resize(Length);
  return Out;
}

}  // namespace base
