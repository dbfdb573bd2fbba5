// The shift input document through OpenShift and CloseShift, which send the
// cashier differently and write their own output documents.
#include <cstddef>
#include <cstdint>

#include "fuzz/host_call.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const auto Method : {&TMyClass::OpenShift, &TMyClass::CloseShift}) {
    fuzz::HostCall Call;
    Call.String(1, Document);
    if (!Call.Call(Method)) return 0;
  }
  return 0;
}
