// The one piece of user interface the driver shows by itself: a modal box
// with one OK button, centred on the screen.
#pragma once

#include <string>

namespace platform {

// What became of a message.
enum class MessageRoute {
  Shown,   // a box was shown; the call returned when the user closed it
  Logged,  // nobody could see a box: the text went to standard error only
};

// Shows the box where a person can see it (an interactive session on
// Windows); elsewhere (Linux, a service or server process) the text goes to
// standard error and the call returns at once. Either way the text is also
// written to standard error (and on Windows to the debugger output) first.
MessageRoute ShowMessageBox(const std::u16string& Text);

// The two parts of that decision, apart so that both roads can be taken.
bool SessionIsVisible();
MessageRoute ShowMessageBox(const std::u16string& Text, bool SessionVisible);

// The line every message leaves on standard error.
void LogMessage(const std::u16string& Text);

}  // namespace platform
