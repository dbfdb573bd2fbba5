// The receipt package as ProcessCheck takes it: read and turned into the
// receipt request; the body must be a JSON object that reads back to the same
// text, and that another JSON library reads too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/documents/receipt_request.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"
#include "fuzz/json_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // The package as ProcessCheck reads it from the host's string, in UTF-8.
  std::string Package = base::Utf16ToUtf8(fuzz::ReadHostText(fuzz::HostText(Data, Size)));
  std::string Body;
  try {
    Body = driver::ReceiptRequestText(std::move(Package));
  } catch (const driver::BadInput&) {
    return 0;
  }
  const fuzz::json::Value Request = fuzz::json::ReadStrictObject(Body);
  const std::string Again = fuzz::json::Write(Request);
  if (Request.Members().empty() || Again != Body)
    fuzz::FailJson("the receipt request is no JSON object", Body, Again);
  (void)fuzz::ReadElsewhere(Body);
  return 0;
}
