// What every system does with a message: one line on standard error.
#include <cstdio>
#include <string>

#include "base/utf.h"
#include "platform/message_box.h"

namespace platform {

void LogMessage(const std::u16string& Text) {
  const std::string Line = "[KELVO-1F] " + base::Utf16ToUtf8(Text) + "\n";
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fflush(stderr);
}

MessageRoute ShowMessageBox(const std::u16string& Text) {
  return ShowMessageBox(Text, SessionIsVisible());
}

}  // namespace platform
