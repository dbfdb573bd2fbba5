// The receipt request for "/api/1/receipt", built from the receipt model.
#pragma once

#include "driver/json/json.h"
#include "driver/receipt_package.h"

namespace driver {

// Items, totals, the cash amount and the six tax totals, in the register's
// tags. The cash amount is what the other payments leave of the total
// whenever the package pays in cash at all.
json::Value BuildReceiptRequest(const ReceiptModel& Model);

}  // namespace driver
