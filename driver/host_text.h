// Host texts that go on as UTF-8 (package documents), read without a UTF-16
// copy of the whole text.
#pragma once

#include <string>
#include <string_view>

namespace driver {

// Utf16ToUtf8(platform::AnsiToWide(Text)), converted piece by piece: each
// piece ends after a ">" (a byte that is never part of a multi-byte
// character in any system code page), so a long package never exists as
// UTF-16 in full.
std::string AnsiToUtf8(std::string_view Text);

}  // namespace driver
