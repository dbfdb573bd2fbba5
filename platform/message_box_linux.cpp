// The add-in must not pull a desktop toolkit into the host's process: on
// Linux the message is written to standard error, one line, and the call
// returns at once.
#include <cstdio>
#include <string>

#include "base/utf.h"
#include "platform/message_box.h"

namespace platform {

bool SessionIsVisible() { return false; }

MessageRoute ShowMessageBox(const std::u16string& Text, bool /*SessionVisible*/) {
  const std::string Line = "[KELVO-1F] " + base::Utf16ToUtf8(Text) + "\n";
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fflush(stderr);
  return MessageRoute::Logged;
}

MessageRoute ShowMessageBox(const std::u16string& Text) {
  return ShowMessageBox(Text, SessionIsVisible());
}

}  // namespace platform
