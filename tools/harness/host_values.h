// Host values as the harness builds and reads them. A HostValue is the
// harness's own copy; it becomes a V8Variant (with host-owned buffers) only
// for the length of a call.
#pragma once

#include <cstdint>
#include <string>

#include "tools/harness/host_memory.h"
#include "v8napi/variant.h"

namespace harness {

struct HostValue {
  std::uint32_t Type = VTYPE_EMPTY;
  std::int64_t Int = 0;  // I2, I4, UI1, UI4, UINT, ERROR
  double Number = 0;     // R4, R8, DATE
  bool Bool = false;     // BOOL
  std::string Bytes;     // PSTR (code page bytes) and BLOB
  std::u16string Text;   // PSTR decoded from Windows-1251, PWSTR

  static HostValue Empty() { return {}; }
  // 8-bit text in Windows-1251, as the host passes strings to this add-in.
  static HostValue Str(const std::u16string& Text);
  static HostValue StrBytes(std::string Bytes);
  static HostValue WStr(const std::u16string& Text);
  static HostValue I4(std::int32_t V);
  static HostValue R8(double V);
  static HostValue Boolean(bool V);
  static HostValue Date(double Days);
  static HostValue OfType(std::uint32_t Type, std::int64_t Int);

  // Text of a string value (PSTR or PWSTR); empty for other types.
  std::string Utf8() const;
  // A short readable form: type and value.
  std::string Describe() const;
};

// Builds the variant in V, allocating text buffers from the host's memory.
void ToVariant(const HostValue& Value, V8Variant& V, TrackingMemoryManager& Memory);
// Reads a variant the add-in wrote.
HostValue FromVariant(const V8Variant& V);
// Returns a variant's buffer to the host's memory and empties it, as a host does.
void ReleaseVariant(V8Variant& V, TrackingMemoryManager& Memory);

std::string ToUtf8(const std::u16string& Text);
std::u16string FromUtf8(const std::string& Text);

}  // namespace harness
