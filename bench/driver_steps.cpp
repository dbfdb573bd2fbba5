#include "bench/driver_steps.h"

#include <utility>

#include "driver/documents/receipt_answer.h"
#include "driver/documents/receipt_request.h"
#include "platform/charset.h"
#include "platform/codepage.h"

namespace bench {

namespace json = driver::json;

// As ProcessCheck reads its package parameter (TMyClass::ReadTextUtf8).
std::string PackageFromHost(const std::string& HostText) { return platform::AnsiToUtf8(HostText); }

// As ProcessCheck builds the request.
std::string RequestFromPackage(std::string PackageText) {
  return driver::ReceiptRequestText(std::move(PackageText));
}

// As PostToApi reads the answer and ProcessCheck writes its outputs.
int OutputsFromAnswer(const std::string& Body, const std::string& ContentType) {
  const driver::DeviceReply Reply{
      true, json::ReadStrictObject(platform::DecodeBodyUtf8(Body, ContentType))};
  driver::ErrorState Error;
  const driver::ReceiptOutcome Outcome = driver::ReadReceiptAnswer(Reply, Error);
  const std::string Sign = platform::WideToAnsi(Outcome.FiscalSign);
  const std::string Site = platform::WideToAnsi(Outcome.SiteAddress);
  return Sign.empty() || Site.empty() ? -1 : Outcome.ReceiptNumber;
}

}  // namespace bench
