// The receipt request for "/api/1/receipt": package text in, request text
// out.
#pragma once

#include <string>

#include "driver/documents/receipt_package.h"

namespace driver {

// Items, totals, the cash amount and the six tax totals, in the register's
// tags. The cash amount is what the other payments leave of the total
// whenever the package pays in cash at all. The text is written as the
// positions are read, without a value tree in between. Throws BadInput when
// the totals or the cash amount add up beyond the range of a double.
std::string ReceiptRequestText(const CheckPackage& Package);

// The same from the package text in UTF-8 (taken over). Throws BadInput as
// CheckPackage does.
std::string ReceiptRequestText(std::string PackageUtf8);

}  // namespace driver
