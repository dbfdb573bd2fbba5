// The registration document through OperationFN: registration, change of
// registration data and closing of the fiscal storage, each building its own
// request from the document; and those requests read by another JSON
// library.
#include <cstddef>
#include <cstdint>

#include "driver/documents/registration.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"

namespace {

void CheckRequest(std::int32_t Operation, const driver::Registration& R) {
  const nlohmann::json Body = fuzz::ReadElsewhere(driver::RegistrationRequest(Operation, R).Body);
  if (Operation == 3) {
    fuzz::ExpectText(Body, "T1021", R.CashierName, !R.AutomaticMode);
    return;
  }
  if (Operation != 1 && Operation != 2) {
    if (!Body.empty()) fuzz::Fail("another operation sends more than {}", Body.dump());
    return;
  }
  fuzz::ExpectText(Body, "T1048", R.OrganizationName);
  fuzz::ExpectText(Body, "T1018", R.VATIN);
  fuzz::ExpectText(Body, "T1037", R.KKTNumber);
  fuzz::ExpectText(Body, "T1046", R.OFDOrganizationName, !R.OFDOrganizationName.empty());
  const auto Taxes = Body.find("T1062");
  if (Taxes == Body.end() || *Taxes != nlohmann::json(R.TaxVariant))
    fuzz::Fail("the tax systems are not the document's", Body.dump());
  if ((Body.find("T1101") != Body.end()) != (Operation == 2))
    fuzz::Fail("the reason code is sent for the wrong operation", Body.dump());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const std::int32_t Operation : {1, 2, 3}) {
    fuzz::HostCall Call;
    Call.Int(1, Operation);
    Call.String(2, Document);
    if (!Call.Call(&TMyClass::OperationFN)) return 0;  // refused: the same for each
  }
  const driver::Registration R = driver::ReadRegistration(fuzz::ReadHostText(Document));
  for (const std::int32_t Operation : {1, 2, 3, 7}) CheckRequest(Operation, R);
  return 0;
}
