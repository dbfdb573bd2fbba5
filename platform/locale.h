// The user's regional number format, read without changing the process locale.
#pragma once

namespace platform {

// Decimal separator of the user's regional settings; "." when none can be read.
char16_t UserDecimalSeparator();

}  // namespace platform
