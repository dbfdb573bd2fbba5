// Windows-1251, the code page of the registers' Russian-language hosts, as a
// fixed table: used where that code page is meant whatever the system's is.
#pragma once

#include <string>
#include <string_view>

namespace base {

// Characters Windows-1251 lacks become "?".
std::string WideToCp1251(std::u16string_view Text);
std::u16string Cp1251ToWide(std::string_view Text);
// Utf16ToUtf8(Cp1251ToWide(Text)) in one pass.
std::string Cp1251ToUtf8(std::string_view Text);

}  // namespace base
