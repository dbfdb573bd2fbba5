// Text rules shared by the frame and the driver: the integer-text rule, the
// process-wide decimal separator with the conversions that follow it, and the
// case-insensitive comparison of names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// Integer-text rule: leading blanks skipped, an optional "+" or "-", then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X";
// nothing may follow and the value must fit a signed 32-bit integer.
bool TryParseInt32(std::u16string_view Text, std::int32_t& Value);
bool TryParseInt32(std::string_view Text, std::int32_t& Value);

// The decimal separator of the process-wide number format, shared by every
// driver object; reads and writes are atomic. It is "." until set: the frame
// sets the user's regional setting while the library loads.
char16_t DecimalSeparator();
void SetDecimalSeparator(char16_t Separator);

// A floating-point number written with the process-wide decimal separator:
// surrounding blanks allowed, optional sign, digits with an optional
// fraction, optional exponent. No thousands separators.
bool TryParseDouble(std::u16string_view Text, double& Value);
bool TryParseDouble(std::string_view Text, double& Value);
// The same with a given decimal separator instead of the process-wide one.
bool TryParseDouble(std::u16string_view Text, char16_t Separator, double& Value);

// A whole number in decimal digits with an optional sign, nothing else (no
// blanks, no hexadecimal), that fits a signed 32-bit integer.
bool TryParseDecimalInt32(std::u16string_view Text, std::int32_t& Value);

// Whole-name comparison without regard to letter case (Latin, Latin-1 and
// Cyrillic letters); no other folding.
bool EqualIgnoringCase(std::u16string_view A, std::u16string_view B);

}  // namespace base
