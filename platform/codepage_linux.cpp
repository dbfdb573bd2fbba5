// Linux has no system ANSI code page; the hosts the driver serves use
// Windows-1251, so that is the 8-bit code page here.
#include "base/cp1251.h"
#include "platform/codepage.h"

namespace platform {

std::string WideToAnsi(std::u16string_view Text) { return base::WideToCp1251(Text); }
std::u16string AnsiToWide(std::string_view Text) { return base::Cp1251ToWide(Text); }
std::string AnsiToUtf8(std::string_view Text) { return base::Cp1251ToUtf8(Text); }

}  // namespace platform
