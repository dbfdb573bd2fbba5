#include "driver/package_reading.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/powers_of_ten.h"
#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/host_xml.h"

namespace driver {

namespace {
[[noreturn]] void Refuse(const char* What, const char* Name, std::string_view Utf8) {
  throw BadInput(std::string(What) + " \"" + Name + "\": \"" + base::WellFormedUtf8(Utf8) + "\"");
}

// Numbers and whole numbers are ASCII: a UTF-8 text is widened byte by byte
// for the text rules, which stop at the first byte that is not ASCII just as
// they stop at the character it begins. Short texts (all that convert) stay
// on the stack.
template <typename Convert>
bool ConvertWidened(std::string_view Text, Convert&& Converted) {
  char16_t Buffer[64];
  if (Text.size() > sizeof Buffer / sizeof Buffer[0]) return Converted(base::WidenBytes(Text));
  base::WidenBytes(Text, Buffer);
  return Converted(std::u16string_view(Buffer, Text.size()));
}

// Most amounts in a package are plain: digits with a point and a few more
// digits. With at most 15 digits such a text is a whole number below 2^53
// over a power of ten up to 10^15, both exact doubles, so their quotient is
// the double nearest the text: exactly what the general rule gives. (Not
// where arithmetic has excess precision, the x87 unit: the quotient would be
// rounded twice.)
bool TryPlainAmount(const char* Text, double& Value) {
#if FLT_EVAL_METHOD == 0
  using base::kPowersOfTen;
  const auto IsDigit = [](char C) { return static_cast<unsigned char>(C - '0') < 10; };
  const char* P = Text;
  const bool Negative = *P == '-';
  if (*P == '-' || *P == '+') ++P;
  const char* const Start = P;
  std::uint64_t Whole = 0;  // wraps for long texts, which are turned down below
  for (; IsDigit(*P); ++P) Whole = Whole * 10 + static_cast<unsigned>(*P - '0');
  const std::ptrdiff_t WholeDigits = P - Start;
  std::ptrdiff_t Fraction = 0;
  if (*P == '.') {
    const char* const First = ++P;
    for (; IsDigit(*P); ++P) Whole = Whole * 10 + static_cast<unsigned>(*P - '0');
    Fraction = P - First;
    if (Fraction == 0) return false;
  }
  if (*P != '\0' || WholeDigits == 0 || WholeDigits + Fraction > 15) return false;
  const double Magnitude = static_cast<double>(Whole) / kPowersOfTen[Fraction];
  Value = Negative ? -Magnitude : Magnitude;
  return true;
#else
  (void)Text;
  (void)Value;
  return false;
#endif
}

// A sign and up to nine digits always fit a 32-bit integer.
bool TryShortInteger(const char* Text, std::int32_t& Value) {
  const bool Negative = *Text == '-';
  if (*Text == '-' || *Text == '+') ++Text;
  std::int32_t Magnitude = 0;
  int Digits = 0;
  for (; *Text; ++Text) {
    if (*Text < '0' || *Text > '9' || ++Digits > 9) return false;
    Magnitude = Magnitude * 10 + (*Text - '0');
  }
  if (Digits == 0) return false;
  Value = Negative ? -Magnitude : Magnitude;
  return true;
}

}  // namespace

std::u16string AttributeText(const pugi::xml_attribute& A) { return base::Utf8ToUtf16(A.value()); }
std::string_view AttributeView(const pugi::xml_attribute& A,
                               std::forward_list<std::string>& Repaired) {
  const std::string_view Text = A.value();
  if (base::IsWellFormedUtf8(Text)) return Text;
  return Repaired.emplace_front(base::WellFormedUtf8(Text));
}

double ToAmount(std::string_view Text, const char* Name) {
  double Value = 0;
  if (!ConvertWidened(
          Text, [&](std::u16string_view Wide) { return base::TryParseDouble(Wide, u'.', Value); }))
    Refuse("not an amount", Name, Text);
  return Value;
}

std::int32_t ToInteger(std::string_view Text, const char* Name) {
  std::int32_t Value = 0;
  if (!ConvertWidened(
          Text, [&](std::u16string_view Wide) { return base::TryParseDecimalInt32(Wide, Value); }))
    Refuse("not an integer", Name, Text);
  return Value;
}

std::string_view ToNonEmptyText(std::string_view Text, const char* Name) {
  if (Text.empty()) Refuse("empty", Name, Text);
  return Text;
}

double ToAmount(const char* Text, const char* Name) {
  double Value = 0;
  if (TryPlainAmount(Text, Value)) return Value;
  return ToAmount(std::string_view(Text), Name);
}

std::int32_t ToInteger(const char* Text, const char* Name) {
  std::int32_t Value = 0;
  if (TryShortInteger(Text, Value)) return Value;
  return ToInteger(std::string_view(Text), Name);
}

std::int32_t RegisterCode(std::int32_t Code, const char* Name) {
  if (Code == INT32_MAX) throw BadInput(std::string("out of range \"") + Name + "\"");
  return Code + 1;
}

}  // namespace driver
