#include "driver/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace driver {
namespace {

// Runs of plain ASCII are the bulk of every text the driver handles (XML
// markup, JSON, numbers). They are checked and copied sixteen code units at a
// time: with SSE2 where the target has it (every x86-64), else a word at a
// time.
constexpr std::size_t kBlock = 16;
constexpr std::uint64_t kHighBits8 = 0x8080808080808080u;
constexpr std::uint64_t kHighBits16 = 0xFF80FF80FF80FF80u;

#if defined(__SSE2__)
__m128i Load(const void* P) { return _mm_loadu_si128(static_cast<const __m128i*>(P)); }
#endif

bool IsAsciiBlock(const unsigned char* P) {
#if defined(__SSE2__)
  return _mm_movemask_epi8(Load(P)) == 0;
#else
  std::uint64_t A, B;
  std::memcpy(&A, P, 8);
  std::memcpy(&B, P + 8, 8);
  return ((A | B) & kHighBits8) == 0;
#endif
}

bool IsAsciiBlock(const char16_t* P) {
#if defined(__SSE2__)
  const __m128i High =
      _mm_and_si128(_mm_or_si128(Load(P), Load(P + 8)), _mm_set1_epi16(static_cast<short>(0xFF80)));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(High, _mm_setzero_si128())) == 0xFFFF;
#else
  std::uint64_t W[4];
  std::memcpy(W, P, sizeof W);
  return ((W[0] | W[1] | W[2] | W[3]) & kHighBits16) == 0;
#endif
}

bool IsBelow0800Block(const char16_t* P) {
#if defined(__SSE2__)
  const __m128i High =
      _mm_and_si128(_mm_or_si128(Load(P), Load(P + 8)), _mm_set1_epi16(static_cast<short>(0xF800)));
  return _mm_movemask_epi8(_mm_cmpeq_epi16(High, _mm_setzero_si128())) == 0xFFFF;
#else
  std::uint64_t W[4];
  std::memcpy(W, P, sizeof W);
  return ((W[0] | W[1] | W[2] | W[3]) & 0xF800F800F800F800u) == 0;
#endif
}

bool IsAsciiHalfBlock(const char16_t* P) {
  std::uint64_t W[2];
  std::memcpy(W, P, sizeof W);
  return ((W[0] | W[1]) & kHighBits16) == 0;
}

// Copies a block that IsAsciiBlock accepted.
void NarrowAsciiBlock(const char16_t* P, char* Out) {
#if defined(__SSE2__)
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Out), _mm_packus_epi16(Load(P), Load(P + 8)));
#else
  for (std::size_t K = 0; K < kBlock; ++K) Out[K] = static_cast<char>(P[K]);
#endif
}

void WidenAsciiBlock(const unsigned char* P, char16_t* Out) {
#if defined(__SSE2__)
  const __m128i Bytes = Load(P);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Out), _mm_unpacklo_epi8(Bytes, _mm_setzero_si128()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 8),
                   _mm_unpackhi_epi8(Bytes, _mm_setzero_si128()));
#else
  for (std::size_t K = 0; K < kBlock; ++K) Out[K] = P[K];
#endif
}

std::size_t AsciiRun(const unsigned char* P, std::size_t N) {
  std::size_t I = 0;
  while (I + kBlock <= N && IsAsciiBlock(P + I)) I += kBlock;
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
  for (std::size_t I = 0; I < N;) {
    if (I + kBlock <= N && IsAsciiBlock(P + I)) {
      Length += kBlock;
      I += kBlock;
      continue;
    }
    // Without surrogates a block counts without a branch per code unit:
    // one byte each, one more from U+0080, one more from U+0800.
    if (I + kBlock <= N) {
      std::size_t Extra = 0;
      bool Surrogates = false;
      for (std::size_t K = 0; K < kBlock; ++K) {
        const char16_t C = P[I + K];
        Extra += (C >= 0x80) + (C >= 0x800);
        Surrogates |= (C & 0xF800) == 0xD800;
      }
      if (!Surrogates) {
        Length += kBlock + Extra;
        I += kBlock;
        continue;
      }
    }
    for (const std::size_t End = std::min(I + kBlock, N); I < End; ++I) {
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
  }
  return Length;
}

std::size_t Utf16ToUtf8(std::u16string_view Text, char* Out) {
  const char16_t* P = Text.data();
  const std::size_t N = Text.size();
  char* O = Out;
  for (std::size_t I = 0; I < N;) {
    if (I + kBlock <= N && IsAsciiBlock(P + I)) {
      NarrowAsciiBlock(P + I, O);
      O += kBlock;
      I += kBlock;
      continue;
    }
    // Letters of the alphabets below U+0800 (Cyrillic among them) mixed with
    // ASCII: each code unit writes two bytes and keeps one or both, without a
    // branch. The second byte of an ASCII unit lands where the next code
    // unit's output goes, so a block that ends the text is left out.
    if (I + kBlock < N && IsBelow0800Block(P + I)) {
      for (std::size_t Half = 0; Half < kBlock; Half += kBlock / 2) {
        const char16_t* H = P + I + Half;
        if (IsAsciiHalfBlock(H)) {
          for (std::size_t K = 0; K < kBlock / 2; ++K) O[K] = static_cast<char>(H[K]);
          O += kBlock / 2;
          continue;
        }
        for (std::size_t K = 0; K < kBlock / 2; ++K) {
          const char16_t C = H[K];
          const bool Two = C >= 0x80;
          O[0] = static_cast<char>(Two ? 0xC0 | (C >> 6) : C);
          O[1] = static_cast<char>(0x80 | (C & 0x3F));
          O += 1 + Two;
        }
      }
      I += kBlock;
      continue;
    }
    for (const std::size_t End = std::min(I + kBlock, N); I < End; ++I) {
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
    if (I + kBlock <= N && IsAsciiBlock(P + I)) {
      WidenAsciiBlock(P + I, O);
      O += kBlock;
      I += kBlock;
      continue;
    }
    for (const std::size_t End = std::min(I + kBlock, N); I < End;) {
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

std::u16string ToU16(std::string_view Ascii) { return std::u16string(Ascii.begin(), Ascii.end()); }

}  // namespace driver
