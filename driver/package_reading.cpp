#include "driver/package_reading.h"

#include <string>

#include "driver/host_xml.h"
#include "driver/text.h"
#include "v8napi/text_rules.h"

namespace driver {

namespace {
[[noreturn]] void Refuse(const char* What, const char* Name, const std::u16string& Text) {
  throw BadInput(std::string(What) + " \"" + Name + "\": \"" + Utf16ToUtf8(Text) + "\"");
}
}  // namespace

std::u16string AttributeText(const pugi::xml_attribute& A) { return Utf8ToUtf16(A.value()); }

double ToAmount(const std::u16string& Text, const char* Name) {
  double Value = 0;
  if (!v8text::TryParseDouble(Text, u'.', Value)) Refuse("not an amount", Name, Text);
  return Value;
}

std::int32_t ToInteger(const std::u16string& Text, const char* Name) {
  std::int32_t Value = 0;
  if (!v8text::TryParseDecimalInt32(Text, Value)) Refuse("not an integer", Name, Text);
  return Value;
}

std::u16string ToNonEmptyText(std::u16string Text, const char* Name) {
  if (Text.empty()) Refuse("empty", Name, Text);
  return Text;
}

}  // namespace driver
