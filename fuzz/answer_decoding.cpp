// An answer as it arrives: a Content-Type line, then the body's raw bytes.
// The body is decoded by the charset the type names (a byte-order mark
// first), then read leniently and strictly as JSON; what the readers give
// goes through the typed readers, the text form and the writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/utf.h"
#include "fuzz/json_checks.h"
#include "platform/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Input(reinterpret_cast<const char*>(Data), Size);
  const std::size_t LineEnd = Input.find('\n');
  const std::string_view ContentType = Input.substr(0, LineEnd);
  const std::string_view Body =
      LineEnd == std::string_view::npos ? std::string_view() : Input.substr(LineEnd + 1);

  const std::string Text = platform::DecodeBodyUtf8(Body, ContentType);
  if (!base::IsWellFormedUtf8(Text)) fuzz::FailJson("decoded text is not UTF-8", Text, "");
  if (base::Utf16ToUtf8(platform::DecodeBody(Body, ContentType)) != Text)
    fuzz::FailJson("the two decodings differ", Text, "");
  const fuzz::json::Value Lenient = fuzz::json::ReadLenientObject(Text);
  const fuzz::json::Value Strict = fuzz::json::ReadStrictObject(Text);
  if (!Lenient.IsObject() || !Strict.IsObject()) fuzz::FailJson("not an object", Text, "");
  fuzz::CheckValue(Lenient);
  fuzz::CheckValue(Strict);
  return 0;
}
