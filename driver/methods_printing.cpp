// PrintTextDocument and CashInOutcome: non-fiscal documents.
#include <string>
#include <utility>

#include "driver/documents/printing.h"
#include "driver/my_class.h"

bool TMyClass::PrintTextDocument(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  std::string Request = driver::TextDocumentRequest(ReadText(&Params[1]));
  const driver::DeviceReply Reply = PostToApi("/api/1/printany", std::move(Request));
  V8SetBool(RetValue, driver::PrintOutcome(Reply, Error));
  return true;
}

bool TMyClass::CashInOutcome(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const std::u16string InputText = ReadText(&Params[1]);
  // Read before the separator becomes ".": a text amount converts by the
  // setting the process had when the call came.
  const double Amount = V8GetDouble(&Params[2]);
  const driver::CashSlipInput Input = driver::ReadCashSlipInput(InputText);
  const driver::DeviceReply Reply =
      PostToApi("/api/1/printany", driver::CashSlipRequest(Input, Amount));
  V8SetBool(RetValue, driver::PrintOutcome(Reply, Error));
  return true;
}
