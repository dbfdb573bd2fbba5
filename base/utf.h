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

// Each byte as the character of the same number (ISO 8859-1): ASCII texts
// made wide, and byte texts handed on as wide text. Out holds Bytes.size()
// characters.
template <typename Char>
void WidenBytes(std::string_view Bytes, Char* Out) {
  for (const char C : Bytes) *Out++ = static_cast<Char>(static_cast<unsigned char>(C));
}
template <typename Char = char16_t>
std::basic_string<Char> WidenBytes(std::string_view Bytes) {
  std::basic_string<Char> Out(Bytes.size(), Char());
  WidenBytes(Bytes, Out.data());
  return Out;
}

}  // namespace base
