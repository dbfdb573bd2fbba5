// The correction package as ProcessCorrectionCheck takes it: read and turned
// into the correction request; the body must be JSON that reads back to the
// same text, and that another JSON library reads with the package's texts.
#include <cstddef>
#include <cstdint>

#include "driver/documents/correction_package.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"
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
  const nlohmann::json Request = fuzz::ReadElsewhere(Body);
  fuzz::ExpectText(Request, "T1021", Correction.CashierName, !Correction.CashierName.empty());
  fuzz::ExpectText(Request.at("T1174"), "T1178", Correction.CorrectionBaseDate);
  fuzz::ExpectText(Request.at("T1174"), "T1179", Correction.CorrectionBaseNumber);
  return 0;
}
