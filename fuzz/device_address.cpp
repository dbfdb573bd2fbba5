// The register address rule. For any address the host may pass:
// - what goes into the URL holds only the characters of a host name, a
//   bracketed IPv6 literal and a port;
// - it is its own URL form (the rule applied again changes nothing);
// - the system resolver reads an IPv4 host exactly as the four decimal
//   octets written, and reads no other host going out as a number, so no
//   numeric form can reach another register than the one meant.
//
// Bytes below 0x80 stand for themselves; every other byte stands for one
// character of a small set that looks like a digit, a dot or a letter to
// a person or to an internationalising resolver.
#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "driver/device_address.h"

namespace {

const char16_t kPalette[] = {
    u'\u0430',  // Cyrillic a
    u'\uFF0E',  // fullwidth full stop
    u'\uFF11',  // fullwidth digit one
    u'\u3002',  // ideographic full stop
    u'\u0661',  // Arabic-Indic digit one
    u'\u00B9',  // superscript one
    static_cast<char16_t>(0xD800),  // a lone surrogate
    u'\u0000',
};

[[noreturn]] void Fail(const std::u16string& In, const std::string& Out, const char* What) {
  std::fprintf(stderr, "%s\n  input (code units):", What);
  for (const char16_t C : In) std::fprintf(stderr, " %04x", static_cast<unsigned>(C));
  std::fprintf(stderr, "\n  URL form: %s\n", Out.c_str());
  std::abort();
}

bool UrlSafe(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-' ||
         C == '_' || C == '.' || C == ':' || C == '[' || C == ']';
}

// The host of a URL form: up to "]" for an IPv6 literal, else up to ":".
std::string HostOf(const std::string& Out) {
  if (!Out.empty() && Out.front() == '[') return Out.substr(0, Out.find(']') + 1);
  return Out.substr(0, Out.find(':'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::u16string In;
  for (std::size_t I = 0; I < Size; ++I)
    In += Data[I] < 0x80 ? static_cast<char16_t>(Data[I])
                         : kPalette[Data[I] % (sizeof kPalette / sizeof kPalette[0])];

  const std::optional<std::string> Out = driver::DeviceAddressForUrl(In);
  if (!Out) return 0;
  for (const char C : *Out)
    if (!UrlSafe(C)) Fail(In, *Out, "a character that changes the URL's meaning went out");
  if (driver::DeviceAddressForUrl(std::u16string(Out->begin(), Out->end())) != Out)
    Fail(In, *Out, "the URL form is not its own URL form");

  const std::string Host = HostOf(*Out);
  if (Host.front() == '[') return 0;
  in_addr Resolved{};
  if (inet_aton(Host.c_str(), &Resolved) == 0) return 0;  // a host name
  // The resolver reads it as a number: it must be the dotted quad written.
  in_addr Written{};
  if (inet_pton(AF_INET, Host.c_str(), &Written) != 1 || Written.s_addr != Resolved.s_addr)
    Fail(In, *Out, "the resolver reads the host as another address");
  char Text[INET_ADDRSTRLEN];
  if (inet_ntop(AF_INET, &Written, Text, sizeof Text) == nullptr || Host != Text)
    Fail(In, *Out, "an IPv4 host went out in another form than its normal one");
  return 0;
}
