// Text of an HTTP answer body, by the charset its Content-Type names.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Decodes Body by the charset parameter of ContentType (name matched without
// regard to case, value optionally quoted): UTF-8 when absent or unknown;
// UTF-16 (LE, BE, or by its first bytes); Windows-1250 to 1258, KOI8-R,
// KOI8-U, IBM866, x-mac-cyrillic and ISO-8859-1 to 16 (US-ASCII read as
// ISO-8859-1) through the system's converters. A leading byte-order mark
// (UTF-8, UTF-16LE, UTF-16BE) decides the charset whatever the label says and
// is not part of the text. Bytes that do not decode become U+FFFD.
std::u16string DecodeBody(std::string_view Body, std::string_view ContentType);

// The same text in UTF-8 (base::Utf16ToUtf8(DecodeBody(Body, ContentType))). Every
// charset reads ASCII as itself, so an ASCII body, as most answers are,
// comes back as it is.
std::string DecodeBodyUtf8(std::string_view Body, std::string_view ContentType);

}  // namespace platform
