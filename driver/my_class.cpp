#include "driver/my_class.h"

#include <utility>

#include "driver/text.h"
#include "platform/codepage.h"

std::u16string TMyClass::ReadText(const V8Variant* V) const {
  return platform::AnsiToWide(V8GetString(V));
}

std::string TMyClass::ReadTextUtf8(const V8Variant* V) const {
  return platform::AnsiToUtf8(V8GetString(V));
}

void TMyClass::WriteText(V8Variant* V, const std::u16string& Text) {
  V8SetString(V, platform::WideToAnsi(Text));
}

void TMyClass::TakeDeviceAddress(const V8Variant* Params) { IpAddress = ReadText(&Params[0]); }

void TMyClass::ApplyDefaultAddressIfBlank() {
  if (driver::IsBlank(IpAddress)) IpAddress = kDefaultAddress;
}

void TMyClass::SetError(std::int32_t Code, std::u16string Message) {
  LastErrorCode = Code;
  LastErrorMsg = std::move(Message);
}

void TMyClass::WriteReceiptOutputs(const driver::ReceiptOutcome& Outcome, V8Variant* First) {
  V8SetInt(&First[0], Outcome.ReceiptNumber);
  V8SetInt(&First[1], Outcome.ShiftNumber);
  WriteText(&First[2], Outcome.FiscalSign);
  WriteText(&First[3], Outcome.SiteAddress);
}
