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

}  // namespace platform
