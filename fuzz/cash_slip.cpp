// The cash slip's input document through CashInOutcome, as a deposit and as
// a withdrawal.
#include <cstddef>
#include <cstdint>

#include "fuzz/host_call.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const double Amount : {1500.5, -200.0}) {
    fuzz::HostCall Call;
    Call.String(1, Document);
    Call.Double(2, Amount);
    if (!Call.Call(&TMyClass::CashInOutcome)) return 0;
  }
  return 0;
}
