#include "driver/device_address.h"

namespace driver {
namespace {

bool IsHostNameChar(char16_t C) {
  return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || (C >= u'0' && C <= u'9') ||
         C == u'-' || C == u'_';
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
    const bool Hex =
        (C >= u'0' && C <= u'9') || (C >= u'a' && C <= u'f') || (C >= u'A' && C <= u'F');
    if (C == u':')
      ++Colons;
    else if (!Hex && C != u'.')
      return false;
  }
  return Colons >= 2;
}

bool IsPort(std::u16string_view Port) {
  if (Port.empty() || Port.size() > 5) return false;
  unsigned Value = 0;
  for (const char16_t C : Port) {
    if (C < u'0' || C > u'9') return false;
    Value = Value * 10 + (C - u'0');
  }
  return Value >= 1 && Value <= 65535;
}

}  // namespace

bool IsUsableDeviceAddress(std::u16string_view Address) {
  std::u16string_view Host = Address;
  std::u16string_view Port;
  bool HasPort = false;
  if (!Address.empty() && Address.front() == u'[') {
    const std::size_t Close = Address.find(u']');
    if (Close == std::u16string_view::npos) return false;
    if (!IsIpv6Literal(Address.substr(1, Close - 1))) return false;
    const std::u16string_view Rest = Address.substr(Close + 1);
    if (Rest.empty()) return true;
    if (Rest.front() != u':') return false;
    return IsPort(Rest.substr(1));
  }
  const std::size_t Colon = Address.find(u':');
  if (Colon != std::u16string_view::npos) {
    Host = Address.substr(0, Colon);
    Port = Address.substr(Colon + 1);
    HasPort = true;
  }
  return IsHostName(Host) && (!HasPort || IsPort(Port));
}

}  // namespace driver
