// What the XML and host value targets share: fuzzer bytes turned into the
// 8-bit text a host passes, and one call of a driver method as the host makes
// it, with the host's memory checked afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/cp1251.h"
#include "base/utf.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"
#include "platform/codepage.h"
#include "tools/harness/host_memory.h"
#include "tools/harness/host_values.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* What, const std::string& Detail) {
  std::fprintf(stderr, "fuzz check failed: %s\n%s\n", What, Detail.c_str());
  std::abort();
}

// The input read as UTF-8 text (ill-formed bytes become U+FFFD) and narrowed
// to Windows-1251, as the host hands texts to this add-in.
inline std::string HostText(const std::uint8_t* Data, std::size_t Size) {
  return base::WideToCp1251(
      base::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(Data), Size)));
}

// The wide text a method reads from a host string holding Bytes: up to the
// terminator, through the system code page (TMyClass::ReadText).
inline std::u16string ReadHostText(const std::string& Bytes) {
  V8Variant V{};
  V.vt = VTYPE_PSTR;
  V.VarEnum.vtRecString.pstrVal = const_cast<char*>(Bytes.c_str());
  V.VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(Bytes.size());
  return platform::AnsiToWide(V8GetString(&V));
}

// A driver object with a host memory manager, its parameter array and return
// value. The device address is one the driver refuses to put into a URL, so
// a method fails like an unreachable register and nothing reaches the
// network. On destruction every value is released as the host does, and the
// host's memory must balance.
class HostCall {
 public:
  HostCall() {
    std::memset(&RetValue, 0, sizeof RetValue);
    std::memset(Params, 0, sizeof Params);
    Object.V8MM = Memory.HostObject();
    String(0, "bad/addr");
  }
  HostCall(const HostCall&) = delete;
  HostCall& operator=(const HostCall&) = delete;

  ~HostCall() {
    harness::ReleaseVariant(RetValue, Memory);
    for (V8Variant& V : Params) harness::ReleaseVariant(V, Memory);
    if (!Memory.Balanced()) Fail("host memory does not balance", Memory.Report());
  }

  // An 8-bit host string in a block of the host's memory, terminated.
  void String(int Index, const std::string& Bytes) {
    harness::ToVariant(harness::HostValue::StrBytes(Bytes), Params[Index], Memory);
  }
  void Int(int Index, std::int32_t Value) {
    harness::ToVariant(harness::HostValue::I4(Value), Params[Index], Memory);
  }
  void Double(int Index, double Value) {
    harness::ToVariant(harness::HostValue::R8(Value), Params[Index], Memory);
  }

  // Calls the method as the frame does. Input the driver refuses (BadInput)
  // ends the call, which the frame reports to the host as a failed call; any
  // other exception escapes and is a finding.
  bool Call(bool (TMyClass::*Method)(V8Variant*, V8Variant*)) {
    try {
      if (!(Object.*Method)(&RetValue, Params)) Fail("a method returned false", "");
      return true;
    } catch (const driver::BadInput&) {
      return false;
    }
  }

  harness::TrackingMemoryManager Memory;
  TMyClass Object;
  V8Variant RetValue;
  TV8ParamArray Params;
};

}  // namespace fuzz
