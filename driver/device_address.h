// Which register addresses may be pasted into a request URL, and in what form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace driver {

// The register's address as it goes into the request URL, or nothing when it
// must never reach the network.
//
// Usable are a host name, a dotted IPv4 literal and a bracketed IPv6 literal,
// each optionally followed by ":" and a port from 1 to 65535. Anything else
// (blanks, control characters, "/", "?", "#", "@", "\" ...) would change the
// URL's meaning.
//
// A host whose last label is a number (all decimal digits, or "0x" or "0X"
// and hexadecimal digits) is an IPv4 literal and must be exactly four
// decimal octets from 0 to 255. Resolvers read "010" as octal 8, "0x7f" as
// hexadecimal, and "127.1" or "2130706433" as 127.0.0.1, so any other numeric
// form could reach another register than the one meant: it is refused, and
// so is a trailing dot after an IPv4 literal. Leading zeros of an octet are
// decimal and go: "192.168.001.010" is 192.168.1.10 and goes out so. The
// port goes out without leading zeros; host names and IPv6 literals go out
// as they are.
std::optional<std::string> DeviceAddressForUrl(std::u16string_view Address);

}  // namespace driver
