// The one piece of user interface the driver shows by itself: a modal box
// with one OK button, centred on the screen.
#pragma once

#include <string>

namespace platform {

// Returns when the user has closed the box. Where there is no desktop, the
// text goes to standard error and the call returns at once.
void ShowMessageBox(const std::u16string& Text);

}  // namespace platform
