// Text conversions of the driver: UTF-8 and UTF-16, and blank trimming.
#pragma once

#include <string>
#include <string_view>

namespace driver {

// Ill-formed input becomes U+FFFD; nothing is dropped silently.
std::string Utf16ToUtf8(std::u16string_view Text);
std::u16string Utf8ToUtf16(std::string_view Text);

// Removes leading and trailing characters of code 32 or below.
std::u16string TrimBlanks(std::u16string_view Text);
bool IsBlank(std::u16string_view Text);

std::u16string ToU16(std::string_view Ascii);

}  // namespace driver
