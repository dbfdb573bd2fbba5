// The add-in must not pull a desktop toolkit into the host's process: on
// Linux the message is written to standard error, one line, and the call
// returns at once.
#include "platform/message_box.h"

namespace platform {

bool SessionIsVisible() { return false; }

MessageRoute ShowMessageBox(const std::u16string& Text, bool /*SessionVisible*/) {
  LogMessage(Text);
  return MessageRoute::Logged;
}

}  // namespace platform
