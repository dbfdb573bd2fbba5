// The registration document through OperationFN: registration, change of
// registration data and closing of the fiscal storage, each building its own
// request from the document.
#include <cstddef>
#include <cstdint>

#include "fuzz/host_call.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const std::int32_t Operation : {1, 2, 3}) {
    fuzz::HostCall Call;
    Call.Int(1, Operation);
    Call.String(2, Document);
    if (!Call.Call(&TMyClass::OperationFN)) return 0;  // refused: the same for each
  }
  return 0;
}
