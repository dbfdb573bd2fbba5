#include "base/text_rules.h"

#include <atomic>
#include <charconv>
#include <limits>

namespace base {
namespace {

template <typename Char>
bool ParseInt32(std::basic_string_view<Char> Text, std::int32_t& Value) {
  std::size_t I = 0;
  const std::size_t N = Text.size();
  while (I < N && Text[I] == Char(' ')) ++I;
  bool Negative = false;
  if (I < N && (Text[I] == Char('+') || Text[I] == Char('-'))) {
    Negative = Text[I] == Char('-');
    ++I;
  }
  unsigned Base = 10;
  if (I < N && Text[I] == Char('$')) {
    Base = 16;
    ++I;
  } else if (I < N && (Text[I] == Char('x') || Text[I] == Char('X'))) {
    Base = 16;
    ++I;
  } else if (I + 1 < N && Text[I] == Char('0') &&
             (Text[I + 1] == Char('x') || Text[I + 1] == Char('X'))) {
    Base = 16;
    I += 2;
  }
  if (I == N) return false;
  const std::uint64_t Limit = Negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t Magnitude = 0;
  for (; I < N; ++I) {
    const char32_t C = static_cast<char32_t>(Text[I]);
    unsigned Digit;
    if (C >= U'0' && C <= U'9')
      Digit = C - U'0';
    else if (Base == 16 && C >= U'a' && C <= U'f')
      Digit = C - U'a' + 10;
    else if (Base == 16 && C >= U'A' && C <= U'F')
      Digit = C - U'A' + 10;
    else
      return false;
    Magnitude = Magnitude * Base + Digit;
    if (Magnitude > Limit) return false;
  }
  Value = Negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(Magnitude))
                   : static_cast<std::int32_t>(Magnitude);
  return true;
}

bool IsBlank(char32_t C) { return C <= U' '; }

template <typename Char>
bool ParseDouble(std::basic_string_view<Char> Text, char32_t Separator, double& Value) {
  std::size_t B = 0, E = Text.size();
  while (B < E && IsBlank(static_cast<char32_t>(Text[B]))) ++B;
  while (E > B && IsBlank(static_cast<char32_t>(Text[E - 1]))) --E;
  // Rewrite into the neutral form std::from_chars reads: no "+", "." separator.
  char Buffer[128];
  std::size_t Len = 0;
  std::size_t I = B;
  bool Negative = false;
  if (I < E && (Text[I] == Char('+') || Text[I] == Char('-'))) Negative = Text[I++] == Char('-');
  std::size_t Digits = 0;
  auto Put = [&](char C) {
    if (Len >= sizeof Buffer - 1) return false;
    Buffer[Len++] = C;
    return true;
  };
  if (Negative && !Put('-')) return false;
  for (; I < E && Text[I] >= Char('0') && Text[I] <= Char('9'); ++I, ++Digits)
    if (!Put(static_cast<char>(Text[I]))) return false;
  if (I < E && static_cast<char32_t>(Text[I]) == Separator) {
    ++I;
    if (!Put('.')) return false;
    for (; I < E && Text[I] >= Char('0') && Text[I] <= Char('9'); ++I, ++Digits)
      if (!Put(static_cast<char>(Text[I]))) return false;
  }
  if (Digits == 0) return false;
  if (I < E && (Text[I] == Char('e') || Text[I] == Char('E'))) {
    ++I;
    if (!Put('e')) return false;
    if (I < E && (Text[I] == Char('+') || Text[I] == Char('-')))
      if (!Put(static_cast<char>(Text[I++]))) return false;
    std::size_t ExpDigits = 0;
    for (; I < E && Text[I] >= Char('0') && Text[I] <= Char('9'); ++I, ++ExpDigits)
      if (!Put(static_cast<char>(Text[I]))) return false;
    if (ExpDigits == 0) return false;
  }
  if (I != E) return false;
  double Parsed = 0;
  const auto [End, Error] = std::from_chars(Buffer, Buffer + Len, Parsed);
  if (Error != std::errc() || End != Buffer + Len) return false;
  Value = Parsed;
  return true;
}

char16_t FoldCase(char16_t C) {
  if (C < 0x80) return (C >= u'a' && C <= u'z') ? C - 32 : C;
  if (C >= 0xE0 && C <= 0xFE && C != 0xF7) return C - 32;  // Latin-1
  if (C >= 0x0430 && C <= 0x044F) return C - 32;           // а..я
  if (C >= 0x0450 && C <= 0x045F) return C - 80;           // ѐ..џ
  if (((C >= 0x0460 && C <= 0x0481) || (C >= 0x048A && C <= 0x04BF)) && (C & 1))
    return C - 1;  // paired letters, Ґ/ґ among them
  return C;
}

std::atomic<char16_t>& SeparatorCell() {
  static std::atomic<char16_t> Cell{u'.'};
  return Cell;
}

}  // namespace

bool TryParseInt32(std::u16string_view Text, std::int32_t& Value) {
  return ParseInt32(Text, Value);
}
bool TryParseInt32(std::string_view Text, std::int32_t& Value) { return ParseInt32(Text, Value); }
bool TryParseDouble(std::u16string_view Text, double& Value) {
  return ParseDouble(Text, DecimalSeparator(), Value);
}
bool TryParseDouble(std::string_view Text, double& Value) {
  return ParseDouble(Text, DecimalSeparator(), Value);
}
bool TryParseDouble(std::u16string_view Text, char16_t Separator, double& Value) {
  return ParseDouble(Text, Separator, Value);
}

bool TryParseDecimalInt32(std::u16string_view Text, std::int32_t& Value) {
  std::size_t I = 0;
  if (I < Text.size() && (Text[I] == u'+' || Text[I] == u'-')) ++I;
  if (I == Text.size()) return false;
  for (std::size_t K = I; K < Text.size(); ++K)
    if (Text[K] < u'0' || Text[K] > u'9') return false;
  return ParseInt32(Text, Value);
}

char16_t DecimalSeparator() { return SeparatorCell().load(std::memory_order_relaxed); }
void SetDecimalSeparator(char16_t Separator) {
  SeparatorCell().store(Separator, std::memory_order_relaxed);
}

bool EqualIgnoringCase(std::u16string_view A, std::u16string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (FoldCase(A[I]) != FoldCase(B[I])) return false;
  return true;
}

}  // namespace base
