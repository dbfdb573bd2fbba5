// The text document through PrintTextDocument.
#include <cstddef>
#include <cstdint>

#include "fuzz/host_call.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  fuzz::HostCall Call;
  Call.String(1, fuzz::HostText(Data, Size));
  Call.Call(&TMyClass::PrintTextDocument);
  return 0;
}
