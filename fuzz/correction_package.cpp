// The correction package as ProcessCorrectionCheck takes it: read and turned
// into the correction request; the body must be JSON that reads back to the
// same text.
#include <cstddef>
#include <cstdint>

#include "driver/documents/correction_package.h"
#include "fuzz/host_call.h"
#include "fuzz/json_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::u16string Package = fuzz::ReadHostText(fuzz::HostText(Data, Size));
  driver::CorrectionPackage Correction;
  try {
    Correction = driver::ReadCorrectionPackage(Package);
  } catch (const driver::BadInput&) {
    return 0;
  }
  const std::string Body = driver::json::Write(driver::BuildCorrectionRequest(Correction));
  const std::string Again = driver::json::Write(driver::json::ReadStrictObject(Body));
  if (Again != Body) fuzz::FailJson("the correction request is no JSON object", Body, Again);
  return 0;
}
