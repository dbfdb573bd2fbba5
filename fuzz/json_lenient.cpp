// The reader of GET answers: any bytes, read leniently; what it gives goes
// through the typed readers, the text form and the writer. When the text is
// also a strict answer, both readers must agree.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/json_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
  const fuzz::json::Value Lenient = fuzz::json::ReadLenientObject(Text);
  if (!Lenient.IsObject()) fuzz::FailJson("not an object", std::string(Text), "");
  fuzz::CheckValue(Lenient);

  const fuzz::json::Value Strict = fuzz::json::ReadStrictObject(Text);
  if (!Strict.Members().empty() && fuzz::json::Write(Strict) != fuzz::json::Write(Lenient))
    fuzz::FailJson("the readers disagree", fuzz::json::Write(Strict), fuzz::json::Write(Lenient));
  return 0;
}
