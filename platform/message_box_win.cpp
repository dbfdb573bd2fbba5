// A real message box: one OK button, no owner window (so the system centres
// it on the screen), modal to every window of the calling thread.
//
// Before it is shown, the text also goes to standard error as one UTF-8 line
// (the same line as on Linux) and to the debugger output. That is how tests,
// and anyone reading a host's logs, see that the box was shown without a person
// having to close it; where the process has no standard error the write goes
// nowhere. Where there is no desktop (a service, Wine without a display)
// MessageBoxW returns at once.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/text.h"
#include "platform/message_box.h"

namespace platform {

void ShowMessageBox(const std::u16string& Text) {
  const std::string Line = "[KELVO-1F] " + driver::Utf16ToUtf8(Text) + "\n";
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fflush(stderr);
  const std::u16string Debug = u"[KELVO-1F] " + Text + u"\n";
  OutputDebugStringW(reinterpret_cast<const wchar_t*>(Debug.c_str()));
  MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(Text.c_str()), L"KELVO-1F",
              MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace platform
