// The reader of POST answers: any bytes, read strictly; what it gives goes
// through the typed readers, the text form and the writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/json_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
  const fuzz::json::Value Strict = fuzz::json::ReadStrictObject(Text);
  if (!Strict.IsObject()) fuzz::FailJson("not an object", std::string(Text), "");
  fuzz::CheckValue(Strict);
  return 0;
}
