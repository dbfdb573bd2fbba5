// UTF-8 and UTF-16 conversions, and blank trimming.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// Ill-formed input becomes U+FFFD; nothing is dropped silently.
std::string Utf16ToUtf8(std::u16string_view Text);
std::u16string Utf8ToUtf16(std::string_view Text);

// The length of Utf16ToUtf8(Text), and the conversion into a buffer of at
// least that many bytes (no terminator written); returns the bytes written.
std::size_t Utf8Length(std::u16string_view Text);
std::size_t Utf16ToUtf8(std::u16string_view Text, char* Out);

// Whether Text reads through Utf8ToUtf16 without a U+FFFD put in for
// ill-formed input, that is, whether Utf16ToUtf8(Utf8ToUtf16(Text)) == Text.
bool IsWellFormedUtf8(std::string_view Text);
// Utf16ToUtf8(Utf8ToUtf16(Text)) without the detour when Text is well formed.
std::string WellFormedUtf8(std::string_view Text);

// Removes leading and trailing characters of code 32 or below.
std::u16string TrimBlanks(std::u16string_view Text);
bool IsBlank(std::u16string_view Text);

std::u16string ToU16(std::string_view Ascii);

}  // namespace base
