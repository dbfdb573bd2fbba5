// Which register addresses may be pasted into a request URL.
#pragma once

#include <string_view>

namespace driver {

// A host name, an IPv4 address or a bracketed IPv6 literal, optionally
// followed by ":" and a port from 1 to 65535. Anything else (blanks, control
// characters, "/", "?", "#", "@", "\" ...) would change the URL's meaning, so
// such an address never reaches the network.
bool IsUsableDeviceAddress(std::u16string_view Address);

}  // namespace driver
