#include "driver/my_class.h"

#include <utility>

#include "base/cp1251.h"
#include "base/utf.h"
#include "platform/codepage.h"
#include "v8napi/abi.h"

std::u16string TMyClass::ReadText(const V8Variant* V) const {
  return platform::AnsiToWide(V8GetString(V));
}

std::string TMyClass::ReadTextUtf8(const V8Variant* V) const {
  return platform::AnsiToUtf8(V8GetString(V));
}

void TMyClass::WriteText(V8Variant* V, const std::u16string& Text) {
  const std::string Ansi = platform::WideToAnsi(Text);
  // The same characters on every build: what the code page cannot hold is
  // replaced before the text goes out in either container.
  if constexpr (v8abi::kWideTextsToHost)
    V8SetWString(V, platform::AnsiToWide(Ansi));
  else
    V8SetString(V, Ansi);
}

void TMyClass::WriteFixedText(V8Variant* V, std::u16string_view Text) {
  if constexpr (v8abi::kWideTextsToHost)
    V8SetWString(V, std::u16string(Text));
  else
    V8SetString(V, base::WideToCp1251(Text));
}

void TMyClass::TakeDeviceAddress(const V8Variant* Params) { IpAddress = ReadText(&Params[0]); }

void TMyClass::ApplyDefaultAddressIfBlank() {
  if (base::IsBlank(IpAddress)) IpAddress = kDefaultAddress;
}

void TMyClass::WriteReceiptOutputs(const driver::ReceiptOutcome& Outcome, V8Variant* First) {
  V8SetInt(&First[0], Outcome.ReceiptNumber);
  V8SetInt(&First[1], Outcome.ShiftNumber);
  WriteText(&First[2], Outcome.FiscalSign);
  WriteText(&First[3], Outcome.SiteAddress);
}
