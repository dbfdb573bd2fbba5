// ProcessCheck: a sale or refund receipt from the host's receipt package.
#include <string>
#include <utility>

#include "driver/documents/receipt_answer.h"
#include "driver/documents/receipt_request.h"
#include "driver/my_class.h"

namespace json = driver::json;

bool TMyClass::ProcessCheck(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  (void)V8GetBool(&Params[1]);  // read and not used
  std::string Request = driver::ReceiptRequestText(ReadTextUtf8(&Params[2]));

  const driver::ReceiptOutcome Outcome =
      driver::ReadReceiptAnswer(PostToApi("/api/1/receipt", std::move(Request)), Error);

  WriteReceiptOutputs(Outcome, &Params[3]);
  V8SetBool(RetValue, Outcome.Accepted);
  return true;
}
