// The shift input document through OpenShift and CloseShift, which send the
// cashier differently and write their own output documents; and the request
// bodies built from it, read by another JSON library.
#include <cstddef>
#include <cstdint>

#include "driver/documents/shift.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  for (const auto Method : {&TMyClass::OpenShift, &TMyClass::CloseShift}) {
    fuzz::HostCall Call;
    Call.String(1, Document);
    if (!Call.Call(Method)) return 0;
  }
  const driver::ShiftInput In = driver::ReadShiftInput(fuzz::ReadHostText(Document));
  for (const auto Action : {driver::ShiftAction::Open, driver::ShiftAction::Close}) {
    const nlohmann::json Body = fuzz::ReadElsewhere(driver::ShiftRequest(In, Action));
    fuzz::ExpectText(Body, "T1021", In.CashierName, !In.CashierName.empty());
    const bool VATIN = Action == driver::ShiftAction::Open ? !In.CashierVATIN.empty()
                                                           : In.CashierVATIN.size() == 12;
    fuzz::ExpectText(Body, "T1203", In.CashierVATIN, VATIN);
  }
  return 0;
}
