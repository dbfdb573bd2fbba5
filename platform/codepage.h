// The system's 8-bit code page, through which every host text passes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Wide text to the system 8-bit code page; characters it lacks become "?"
// (or the system's best-fit character).
std::string WideToAnsi(std::u16string_view Text);
// System 8-bit code page to wide text.
std::u16string AnsiToWide(std::string_view Text);
// System 8-bit code page to UTF-8: the UTF-8 form of AnsiToWide(Text),
// without a wide copy of a long text.
std::string AnsiToUtf8(std::string_view Text);

}  // namespace platform
