// The decimal separator of the user's regional settings, as the system's
// number formatting sees it (user overrides included).
#include <windows.h>

#include "platform/locale.h"

namespace platform {

char16_t UserDecimalSeparator() {
  wchar_t Separator[8] = {};
  const int Length =
      GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, Separator, ARRAYSIZE(Separator));
  // The length counts the terminator: one character means 2.
  if (Length != 2 || Separator[0] == 0) return u'.';
  return static_cast<char16_t>(Separator[0]);
}

}  // namespace platform
