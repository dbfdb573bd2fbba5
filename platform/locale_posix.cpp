#include <langinfo.h>
#include <locale.h>

#include "platform/locale.h"

namespace platform {

char16_t UserDecimalSeparator() {
  // An empty name takes the user's LC_ALL / LC_NUMERIC / LANG, as a program
  // that called setlocale would see them; the host's own locale is untouched.
  locale_t User = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (User == static_cast<locale_t>(nullptr)) return u'.';
  const char* Radix = nl_langinfo_l(RADIXCHAR, User);
  char16_t Separator = u'.';
  if (Radix && Radix[0] && !Radix[1]) Separator = static_cast<unsigned char>(Radix[0]);
  freelocale(User);
  return Separator;
}

}  // namespace platform
