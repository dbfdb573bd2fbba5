// ProcessCorrectionCheck: a correction receipt from the host's correction
// package. The return value tells whether the register issued it.
#include "driver/documents/correction_package.h"
#include "driver/documents/receipt_answer.h"
#include "driver/my_class.h"

namespace json = driver::json;

bool TMyClass::ProcessCorrectionCheck(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const driver::CorrectionPackage Package = driver::ReadCorrectionPackage(ReadText(&Params[1]));

  const driver::ReceiptOutcome Outcome = driver::ReadReceiptAnswer(
      PostToApi("/api/1/correctivereceipt", json::Write(driver::BuildCorrectionRequest(Package))),
      Error);

  WriteReceiptOutputs(Outcome, &Params[2]);
  V8SetBool(RetValue, Outcome.Accepted);
  return true;
}
