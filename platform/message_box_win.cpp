// A real message box: one OK button, no owner window (so the system centres
// it on the screen), modal to every window of the calling thread; but only
// where a person can see it. A service or a server process (the platform's
// server cluster, a web server) runs on a window station that is not visible:
// a box there would wait for ever for a click nobody can make, so the text is
// logged and the call returns at once.
//
// Before anything is shown, the text also goes to standard error as one UTF-8
// line (the same line as on Linux) and to the debugger output. That is how
// tests, and anyone reading a host's logs, see the message without a person
// having to close a box; where the process has no standard error the write
// goes nowhere. Where there is no desktop at all (Wine without a display)
// MessageBoxW returns at once.
#include <windows.h>

#include <string>

#include "platform/message_box.h"

namespace platform {

bool SessionIsVisible() {
  HWINSTA Station = GetProcessWindowStation();
  USEROBJECTFLAGS Flags{};
  if (!Station || !GetUserObjectInformationW(Station, UOI_FLAGS, &Flags, sizeof Flags, nullptr))
    return false;
  return (Flags.dwFlags & WSF_VISIBLE) != 0;
}

MessageRoute ShowMessageBox(const std::u16string& Text, bool SessionVisible) {
  LogMessage(Text);
  const std::u16string Debug = u"[KELVO-1F] " + Text + u"\n";
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(Debug.c_str()));
  if (!SessionVisible) return MessageRoute::Logged;
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(Text.c_str()), L"KELVO-1F",
              MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
  return MessageRoute::Shown;
}

}  // namespace platform
