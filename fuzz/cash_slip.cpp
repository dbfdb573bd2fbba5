// The cash slip's input document through CashInOutcome, as a deposit and as
// a withdrawal; and the slip's print request read by another JSON library.
#include <cstddef>
#include <cstdint>

#include "driver/documents/printing.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const double Amount : {1500.5, -200.0}) {
    fuzz::HostCall Call;
    Call.String(1, Document);
    Call.Double(2, Amount);
    if (!Call.Call(&TMyClass::CashInOutcome)) return 0;
  }
  const driver::CashSlipInput In = driver::ReadCashSlipInput(fuzz::ReadHostText(Document));
  const nlohmann::json Body = fuzz::ReadElsewhere(driver::CashSlipRequest(In, -200.0));
  const nlohmann::json& Elements = Body.at("data");
  if (!Elements.is_array() || Elements.size() != 7 ||
      Elements[0] != nlohmann::json{{"center", "ВЫЕМКА"}} ||
      Elements[5] != nlohmann::json{{"right", "200"}})
    fuzz::Fail("the slip is not a withdrawal of 200", Body.dump());
  fuzz::ExpectText(Elements[2], "left", In.CashierName);
  fuzz::ExpectText(Elements[3], "left", In.CashierVATIN);
  return 0;
}
