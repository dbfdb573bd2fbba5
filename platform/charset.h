// Text of an HTTP answer body, by the charset its Content-Type names.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Decodes Body by the charset parameter of ContentType (name matched without
// regard to case, value optionally quoted): UTF-8 when absent or unknown,
// and Windows-1251, KOI8-R, ASCII / Latin-1 when named. Ill-formed UTF-8
// becomes U+FFFD.
std::u16string DecodeBody(std::string_view Body, std::string_view ContentType);

// The same text in UTF-8 (Utf16ToUtf8(DecodeBody(Body, ContentType))). Every
// charset reads ASCII as itself, so an ASCII body, as most answers are,
// comes back as it is.
std::string DecodeBodyUtf8(std::string_view Body, std::string_view ContentType);

}  // namespace platform
