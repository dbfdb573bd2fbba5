// Writing values in the fixed text form of request bodies.
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/powers_of_ten.h"
#include "driver/json/json.h"

namespace driver::json {
namespace {

// Characters a string escapes: 0 none, 'u' as \u00xx, otherwise the letter
// after the backslash.
constexpr char EscapeOf(unsigned char C) {
  switch (C) {
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\f': return 'f';
    case '\r': return 'r';
    case '"': return '"';
    case '/': return '/';
    case '\\': return '\\';
    default: return C < 0x20 ? 'u' : 0;
  }
}

struct EscapeTable {
  char Of[256];
  constexpr EscapeTable() : Of() {
    for (int C = 0; C < 256; ++C) Of[C] = EscapeOf(static_cast<unsigned char>(C));
  }
};
constexpr EscapeTable kEscapes;

// Whether any of the eight bytes in Word needs an escape (exact for every byte).
bool AnyEscape(std::uint64_t Word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  auto AnyZero = [](std::uint64_t W) { return (W - kOnes) & ~W & kHighs; };
  return ((Word - kOnes * 0x20) & ~Word & kHighs) | AnyZero(Word ^ (kOnes * '"')) |
         AnyZero(Word ^ (kOnes * '/')) | AnyZero(Word ^ (kOnes * '\\'));
}

void WriteString(std::string_view Text, std::string& Out) {
  static constexpr char kHex[] = "0123456789abcdef";
  Out.push_back('"');
  std::size_t Run = 0;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    // Plain stretches are passed over eight bytes at a time.
    for (std::uint64_t Word; I + 8 <= Text.size(); I += 8) {
      std::memcpy(&Word, Text.data() + I, 8);
      if (AnyEscape(Word)) break;
    }
    if (I == Text.size()) break;
    const auto C = static_cast<unsigned char>(Text[I]);
    const char E = kEscapes.Of[C];
    if (E == 0) continue;
    Out.append(Text.data() + Run, I - Run);
    Run = I + 1;
    const char Escape[] = {'\\', E, '0', '0', kHex[C >> 4], kHex[C & 15]};
    Out.append(Escape, E == 'u' ? 6 : 2);
  }
  Out.append(Text.data() + Run, Text.size() - Run);
  Out.push_back('"');
}

// Significant digits (no trailing zeros) and the decimal exponent of the first
// of them, for a finite positive value rounded to 15 significant digits.
struct Decimal {
  char Digits[24];
  int Count;
  int Exponent;
};

void StripTrailingZeros(Decimal& D) {
  while (D.Count > 1 && D.Digits[D.Count - 1] == '0') --D.Count;
}

// Reads to_chars' scientific form: d[.ddd]e(+|-)xx.
void TakeScientific(const char* Begin, const char* End, Decimal& D) {
  D.Count = 0;
  const char* P = Begin;
  for (; P < End && *P != 'e'; ++P)
    if (*P != '.') D.Digits[D.Count++] = *P;
  ++P;  // 'e'
  const bool Negative = *P == '-';
  ++P;  // sign
  int Exponent = 0;
  std::from_chars(P, End, Exponent);
  D.Exponent = Negative ? -Exponent : Exponent;
  StripTrailingZeros(D);
}

using base::kPowersOfTen;

// Amounts and quantities: when V is the double nearest to N / 10^K for a
// whole N below 10^15 (and the least such K up to 4), V rounds to exactly the
// digits of N (see ToDecimal15).
bool TryScaled(double V, std::int64_t& N, int& K) {
  for (K = 0; K < 5; ++K) {
    const double Product = V * kPowersOfTen[K];
    if (!(Product < 1e15)) return false;
#if FLT_EVAL_METHOD == 0
    // Rounded to a whole number by adding and taking away 2^52, which is
    // exact below 2^52 and needs no call. It rounds halves to even where
    // std::round rounds them up, but a product ending in .5 matches no K
    // either way: the step of N / 10^K is far coarser than V's.
    const double Scaled = (Product + 0x1p52) - 0x1p52;
#else
    // Arithmetic with excess precision (the x87 unit) keeps the fraction.
    const double Scaled = std::round(Product);
#endif
    if (!(Scaled < 1e15)) return false;
    if (Scaled / kPowersOfTen[K] == V) {
      N = static_cast<std::int64_t>(Scaled);
      return true;
    }
  }
  return false;
}

// Other values from 10^-5 up to 10^15 (sums of amounts, mostly): V times a
// power of ten is rounded to a whole number of 15 digits. Below 2^53 the
// product is off by at most half a unit in its last place, 1/16, so the
// whole number is V rounded to 15 significant digits unless the product lies
// about that close to a half, or to either end of the 15-digit range (where
// a power of ten below 1, not exact, may have picked the wrong exponent):
// those take the exact route. (Not where arithmetic has excess precision.)
bool TryRounded15(double V, Decimal& D) {
#if FLT_EVAL_METHOD == 0
  if (!(V >= 1e-5 && V < 1e15)) return false;
  int Exponent = 14;
  if (V >= 1) {
    while (V < kPowersOfTen[Exponent]) --Exponent;
  } else {
    Exponent = -1;
    while (Exponent > -5 && V * kPowersOfTen[-Exponent] < 1) --Exponent;
  }
  const double Product = V * kPowersOfTen[14 - Exponent];
  if (!(Product >= 1e14 + 1 && Product < 1e15 - 1)) return false;
  const auto Whole = static_cast<std::int64_t>(Product);
  const double Fraction = Product - static_cast<double>(Whole);
  if (Fraction > 0.375 && Fraction < 0.625) return false;
  const std::int64_t N = Whole + (Fraction > 0.5 ? 1 : 0);
  const auto R = std::to_chars(D.Digits, D.Digits + sizeof D.Digits, N);
  D.Count = static_cast<int>(R.ptr - D.Digits);
  D.Exponent = Exponent;
  StripTrailingZeros(D);
  return D.Count <= 15;
#else
  (void)V;
  (void)D;
  return false;
#endif
}

void ToDecimal15(double V, Decimal& D) {
  std::int64_t N;
  int K;
  if (TryScaled(V, N, K)) {
    const auto R = std::to_chars(D.Digits, D.Digits + sizeof D.Digits, N);
    D.Count = static_cast<int>(R.ptr - D.Digits);
    D.Exponent = D.Count - 1 - K;
    StripTrailingZeros(D);
    return;
  }
  if (TryRounded15(V, D)) return;
  char Buffer[48];
  // The shortest digits that read back as a normal V are V rounded to 15
  // significant digits whenever there are at most 15 of them: a normal double
  // is finer than the 15-digit grid, so V lies closer to them than half a step
  // of that grid. (Subnormal values are coarser and take the long way.)
  if (V >= std::numeric_limits<double>::min()) {
    const auto R = std::to_chars(Buffer, Buffer + sizeof Buffer, V, std::chars_format::scientific);
    TakeScientific(Buffer, R.ptr, D);
    if (D.Count <= 15) return;
  }
  const auto R =
      std::to_chars(Buffer, Buffer + sizeof Buffer, V, std::chars_format::scientific, 14);
  TakeScientific(Buffer, R.ptr, D);
}

constexpr std::size_t kNumberRoom = 48;

// Writes V into Out (room for kNumberRoom characters) and returns the length.
std::size_t FormatGeneral15Ascii(double V, char Separator, char* Out) {
  char* P = Out;
  auto Put = [&P](std::string_view S) {
    for (char C : S) *P++ = C;
  };
  if (std::isnan(V)) {
    Put("NAN");
    return 3;
  }
  if (V == 0) {
    *P = '0';
    return 1;
  }
  if (V < 0) *P++ = '-';
  if (std::isinf(V)) {
    Put("INF");
    return static_cast<std::size_t>(P - Out);
  }
  // N / 10^K always falls in the fixed notation (exponent -4 to 14): its
  // digits go out as they are, with the separator K places from the right.
  std::int64_t N;
  int K;
  if (TryScaled(std::fabs(V), N, K)) {
    // N has at most 15 digits: they are moved 16 at a time (the room and
    // the digit buffer allow it), which needs no call.
    char Digits[32] = {};
    const int Count = static_cast<int>(std::to_chars(Digits, Digits + 16, N).ptr - Digits);
    int Last = Count;  // without trailing zeros of the fraction
    while (K > 0 && Last > 1 && Digits[Last - 1] == '0' && Count - Last < K) --Last;
    const int Whole = Count - K;
    if (Whole <= 0) {
      *P++ = '0';
      *P++ = Separator;
      for (int I = Whole; I < 0; ++I) *P++ = '0';
      std::memcpy(P, Digits, 16);
      P += Last;
    } else {
      std::memcpy(P, Digits, 16);
      P += Whole;
      if (Last > Whole) {
        *P++ = Separator;
        std::memcpy(P, Digits + Whole, 16);
        P += Last - Whole;
      }
    }
    return static_cast<std::size_t>(P - Out);
  }
  Decimal D;
  ToDecimal15(std::fabs(V), D);
  if (D.Exponent > -5 && D.Exponent < 15) {
    if (D.Exponent < 0) {
      *P++ = '0';
      *P++ = Separator;
      for (int I = -1; I > D.Exponent; --I) *P++ = '0';
      Put(std::string_view(D.Digits, static_cast<std::size_t>(D.Count)));
    } else {
      for (int I = 0; I <= D.Exponent; ++I) *P++ = I < D.Count ? D.Digits[I] : '0';
      if (D.Count > D.Exponent + 1) {
        *P++ = Separator;
        Put(std::string_view(D.Digits + D.Exponent + 1,
                             static_cast<std::size_t>(D.Count - D.Exponent - 1)));
      }
    }
  } else {
    *P++ = D.Digits[0];
    if (D.Count > 1) {
      *P++ = Separator;
      Put(std::string_view(D.Digits + 1, static_cast<std::size_t>(D.Count - 1)));
    }
    *P++ = 'E';
    P = std::to_chars(P, P + 8, D.Exponent).ptr;
  }
  return static_cast<std::size_t>(P - Out);
}

}  // namespace

void WriteTo(const Value& V, std::string& Out) {
  switch (V.GetKind()) {
    case Kind::Absent: return;
    case Kind::Null: Out.append("null", 4); return;
    case Kind::False: Out.append("false", 5); return;
    case Kind::True: Out.append("true", 4); return;
    case Kind::Number: Out.append(V.Text()); return;
    case Kind::String: WriteString(V.Text(), Out); return;
    case Kind::Array: {
      Out.push_back('[');
      bool First = true;
      for (const Value& E : V.Elements()) {
        if (E.IsAbsent()) continue;
        if (!First) Out.push_back(',');
        First = false;
        WriteTo(E, Out);
      }
      Out.push_back(']');
      return;
    }
    case Kind::Object: {
      Out.push_back('{');
      bool First = true;
      for (const Member& M : V.Members()) {
        if (M.Val.IsAbsent()) continue;
        if (!First) Out.push_back(',');
        First = false;
        WriteString(M.Name, Out);
        Out.push_back(':');
        WriteTo(M.Val, Out);
      }
      Out.push_back('}');
      return;
    }
  }
}

std::string Write(const Value& V) {
  std::string Out;
  WriteTo(V, Out);
  return Out;
}

void TextWriter::Grow(std::size_t Count) {
  // Room is opened a step at a time (resize fills it with zeros), within the
  // capacity Out already has; past it the capacity doubles as the string
  // grows, but only the step is filled.
  constexpr std::size_t kStep = 1024;
  std::size_t Size = Size_ + Count + kStep;
  if (Size_ + Count <= Out_.capacity()) Size = std::min(Size, Out_.capacity());
  Out_.resize(Size);
}

// A string, quoted and escaped; plain strings (nearly all) in one copy.
void TextWriter::Quoted(std::string_view Text) {
  bool Plain = true;
  std::size_t I = 0;
  for (std::uint64_t Word; Plain && I + 8 <= Text.size(); I += 8) {
    std::memcpy(&Word, Text.data() + I, 8);
    Plain = !AnyEscape(Word);
  }
  for (; Plain && I < Text.size(); ++I)
    Plain = kEscapes.Of[static_cast<unsigned char>(Text[I])] == 0;
  if (Plain) {
    char* P = Room(Text.size() + 2);
    *P++ = '"';
    std::memcpy(P, Text.data(), Text.size());
    P += Text.size();
    *P++ = '"';
    Wrote(P);
    return;
  }
  std::string Escaped;
  WriteString(Text, Escaped);
  std::memcpy(Room(Escaped.size()), Escaped.data(), Escaped.size());
  Size_ += Escaped.size();
}

void TextWriter::Key(std::string_view Name) {
  Wrote(BeforeValue(0));
  Quoted(Name);
  char* P = Room(1);
  *P++ = ':';
  Wrote(P);
  NeedComma_ = false;
}

void TextWriter::String(std::string_view Utf8) {
  Wrote(BeforeValue(0));
  Quoted(Utf8);
}

void TextWriter::Number(double V) {
  char* P = BeforeValue(kNumberRoom);
  Wrote(P + FormatGeneral15Ascii(V, '.', P));
}

void TextWriter::Integer(std::int64_t V) {
  char* P = BeforeValue(24);
  Wrote(std::to_chars(P, P + 24, V).ptr);
}

std::string FormatGeneral15(double V, char Separator) {
  char Buffer[kNumberRoom];
  return std::string(Buffer, FormatGeneral15Ascii(V, Separator, Buffer));
}

std::u16string FormatGeneral15(double V, char16_t Separator) {
  char Buffer[kNumberRoom];
  const std::size_t Length = FormatGeneral15Ascii(V, '.', Buffer);
  std::u16string Out(Length, u'\0');
  for (std::size_t I = 0; I < Length; ++I) Out[I] = Buffer[I] == '.' ? Separator : Buffer[I];
  return Out;
}

}  // namespace driver::json
