// Typed readers and the text form: how methods take values out of an answer.
#include <algorithm>
#include <charconv>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/json/json.h"

namespace driver::json {
namespace {

Kind KindOf(const Value* V) { return V ? V->GetKind() : Kind::Absent; }

[[noreturn]] void FailConversion(const Value* V, const char* Target) {
  throw ReadError(std::string("Conversion from ") + KindName(KindOf(V)) + " to " + Target +
                  " is not supported");
}

[[noreturn]] void FailText(const std::string& Text, const char* What) {
  throw ReadError("'" + Text + "' is not a valid " + What + " value");
}

bool EqualsAsciiIgnoringCase(std::string_view Text, std::string_view Word) {
  if (Text.size() != Word.size()) return false;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    char C = Text[I];
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    if (C != Word[I]) return false;
  }
  return true;
}

// Whether a number text out of the range of a double is too small for one
// rather than too large: its first significant digit stands below the units.
bool TooSmallForDouble(std::string_view Text) {
  const std::size_t E = std::min(Text.find_first_of("eE"), Text.size());
  const std::string_view Mantissa = Text.substr(0, E);
  const std::size_t Point = std::min(Mantissa.find('.'), Mantissa.size());
  const std::size_t First = Mantissa.find_first_of("123456789");
  if (First == std::string_view::npos) return true;
  long Magnitude =
      First < Point ? static_cast<long>(Point - First) - 1 : -static_cast<long>(First - Point);
  if (E < Text.size()) {
    const char* P = Text.data() + E + 1;
    const char* const End = Text.data() + Text.size();
    if (P < End && *P == '+') ++P;
    // Beyond a billion the verdict is the exponent's sign alone (a mantissa
    // is shorter than that), and the sum stays within a 32-bit long.
    constexpr long kFar = 1000000000;
    long Exponent = 0;
    if (std::from_chars(P, End, Exponent).ec != std::errc())
      Exponent = P < End && *P == '-' ? -kFar : kFar;
    Magnitude += std::clamp(Exponent, -kFar, kFar);
  }
  return Magnitude < 0;
}

std::u16string NumberTextForm(const std::string& Text) {
  const char* const Begin = Text.data();
  const char* const End = Begin + Text.size();
  if (Text.size() > 11 && Text.find('.') == std::string::npos) {
    std::int64_t Integer = 0;
    const auto R = std::from_chars(Begin, End, Integer);
    if (R.ec == std::errc() && R.ptr == End) return base::WidenBytes(std::to_string(Integer));
  }
  double Number = 0;
  const auto R = std::from_chars(Begin, End, Number);
  if (R.ptr == End && R.ec == std::errc()) return FormatGeneral15(Number, base::DecimalSeparator());
  if (R.ptr == End && R.ec == std::errc::result_out_of_range && TooSmallForDouble(Text))
    return u"0";
  return base::Utf8ToUtf16(Text);
}

}  // namespace

const char* KindName(Kind K) {
  switch (K) {
    case Kind::Absent: return "Absent";
    case Kind::Null: return "Null";
    case Kind::False: return "False";
    case Kind::True: return "True";
    case Kind::Number: return "Number";
    case Kind::String: return "String";
    case Kind::Array: return "Array";
    case Kind::Object: return "Object";
  }
  return "";
}

std::optional<bool> TextToBoolean(std::string_view Utf8) {
  double Number = 0;
  if (base::TryParseDouble(Utf8, Number)) return Number != 0;
  if (EqualsAsciiIgnoringCase(Utf8, "TRUE")) return true;
  if (EqualsAsciiIgnoringCase(Utf8, "FALSE")) return false;
  return std::nullopt;
}

std::optional<bool> TextToBoolean(std::u16string_view Text) {
  double Number = 0;
  if (base::TryParseDouble(Text, Number)) return Number != 0;
  if (base::EqualIgnoringCase(Text, u"True")) return true;
  if (base::EqualIgnoringCase(Text, u"False")) return false;
  return std::nullopt;
}

bool ReadBool(const Value* V) {
  switch (KindOf(V)) {
    case Kind::True: return true;
    case Kind::False: return false;
    case Kind::Number:
    case Kind::String:
      if (const std::optional<bool> B = TextToBoolean(std::string_view(V->Text()))) return *B;
      FailText(V->Text(), "boolean");
    default: FailConversion(V, "Boolean");
  }
}

std::int32_t ReadInt(const Value* V) {
  switch (KindOf(V)) {
    case Kind::True: return 1;
    case Kind::False: return 0;
    case Kind::Number:
    case Kind::String: {
      std::int32_t Integer = 0;
      if (base::TryParseInt32(std::string_view(V->Text()), Integer)) return Integer;
      FailText(V->Text(), "integer");
    }
    default: FailConversion(V, "Integer");
  }
}

std::u16string ReadString(const Value* V) {
  switch (KindOf(V)) {
    case Kind::True: return u"true";
    case Kind::False: return u"false";
    case Kind::Null: return {};
    case Kind::Number:
    case Kind::String: return base::Utf8ToUtf16(V->Text());
    default: FailConversion(V, "string");
  }
}

const Value& ReadArray(const Value* V) {
  if (KindOf(V) != Kind::Array) throw ReadError("Invalid class typecast");
  return *V;
}

std::u16string TextForm(const Value* V) {
  switch (KindOf(V)) {
    case Kind::String: return base::Utf8ToUtf16(V->Text());
    case Kind::Number: return NumberTextForm(V->Text());
    case Kind::True: return u"true";
    case Kind::False: return u"false";
    case Kind::Null: return u"null";
    default: return {};
  }
}

}  // namespace driver::json
