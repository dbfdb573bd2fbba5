#include "driver/device_address.h"

#include <algorithm>

namespace driver {
namespace {

bool IsDigit(char16_t C) { return C >= u'0' && C <= u'9'; }

bool IsHexDigit(char16_t C) {
  return IsDigit(C) || (C >= u'a' && C <= u'f') || (C >= u'A' && C <= u'F');
}

bool IsHostNameChar(char16_t C) {
  return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || IsDigit(C) || C == u'-' ||
         C == u'_';
}

bool IsHostName(std::u16string_view Host) {
  if (Host.empty() || Host.size() > 253) return false;
  std::size_t LabelLength = 0;
  for (const char16_t C : Host) {
    if (C == u'.') {
      if (LabelLength == 0) return false;
      LabelLength = 0;
    } else if (!IsHostNameChar(C) || ++LabelLength > 63) {
      return false;
    }
  }
  return LabelLength > 0 || Host.size() > 1;  // a single trailing dot is allowed
}

bool IsIpv6Literal(std::u16string_view Inner) {
  if (Inner.size() < 2 || Inner.size() > 45) return false;
  std::size_t Colons = 0;
  for (const char16_t C : Inner) {
    if (C == u':')
      ++Colons;
    else if (!IsHexDigit(C) && C != u'.')
      return false;
  }
  return Colons >= 2;
}

// Whether a resolver would read the host as a number or an IPv4 address: its
// last label, before a trailing dot, is all decimal digits, or "0x" or "0X"
// followed by hexadecimal digits (none at all read as 0).
bool LooksNumeric(std::u16string_view Host) {
  if (!Host.empty() && Host.back() == u'.') Host.remove_suffix(1);
  const std::size_t Dot = Host.rfind(u'.');
  std::u16string_view Last = Dot == std::u16string_view::npos ? Host : Host.substr(Dot + 1);
  if (Last.size() >= 2 && Last[0] == u'0' && (Last[1] == u'x' || Last[1] == u'X')) {
    Last.remove_prefix(2);
    return std::all_of(Last.begin(), Last.end(), IsHexDigit);
  }
  return !Last.empty() && std::all_of(Last.begin(), Last.end(), IsDigit);
}

// A run of decimal digits at Text[At...] with a value up to Max, read
// without regard to leading zeros; At moves past it.
std::optional<unsigned> ReadDecimal(std::u16string_view Text, std::size_t& At, unsigned Max) {
  const std::size_t Start = At;
  unsigned Value = 0;
  for (; At < Text.size() && IsDigit(Text[At]); ++At) {
    Value = Value * 10 + static_cast<unsigned>(Text[At] - u'0');
    if (Value > Max) return std::nullopt;
  }
  if (At == Start) return std::nullopt;
  return Value;
}

// Four decimal octets separated by dots and nothing else, written without
// leading zeros.
std::optional<std::string> DecimalIpv4(std::u16string_view Host) {
  std::string Out;
  std::size_t At = 0;
  for (int Part = 0; Part < 4; ++Part) {
    if (Part > 0) {
      if (At == Host.size() || Host[At] != u'.') return std::nullopt;
      ++At;
      Out += '.';
    }
    const std::optional<unsigned> Octet = ReadDecimal(Host, At, 255);
    if (!Octet) return std::nullopt;
    Out += std::to_string(*Octet);
  }
  if (At != Host.size()) return std::nullopt;
  return Out;
}

std::optional<unsigned> ReadPort(std::u16string_view Port) {
  std::size_t At = 0;
  const std::optional<unsigned> Value = ReadDecimal(Port, At, 65535);
  if (!Value || At != Port.size() || *Value == 0) return std::nullopt;
  return Value;
}

// The host part, checked for what it must be, in its URL form.
std::optional<std::string> UrlHost(std::u16string_view Host) {
  if (Host.empty()) return std::nullopt;
  if (Host.front() == u'[') {
    if (!IsIpv6Literal(Host.substr(1, Host.size() - 2))) return std::nullopt;
  } else {
    if (!IsHostName(Host)) return std::nullopt;
    if (LooksNumeric(Host)) return DecimalIpv4(Host);
  }
  // Only ASCII characters passed the checks above.
  return std::string(Host.begin(), Host.end());
}

}  // namespace

std::optional<std::string> DeviceAddressForUrl(std::u16string_view Address) {
  if (Address.empty()) return std::nullopt;
  // The host ends at the "]" of an IPv6 literal, else at the first ":".
  std::size_t HostEnd = Address.find(Address.front() == u'[' ? u']' : u':');
  if (Address.front() == u'[') {
    if (HostEnd == std::u16string_view::npos) return std::nullopt;
    ++HostEnd;
  }
  const std::u16string_view Host = Address.substr(0, HostEnd);
  std::optional<std::string> Out = UrlHost(Host);
  if (!Out || Host.size() == Address.size()) return Out;
  if (Address[Host.size()] != u':') return std::nullopt;
  const std::optional<unsigned> Port = ReadPort(Address.substr(Host.size() + 1));
  if (!Port) return std::nullopt;
  return *Out + ":" + std::to_string(*Port);
}

}  // namespace driver
