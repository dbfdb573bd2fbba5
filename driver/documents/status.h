// The documents of GetCurrentStatus: the shift and the backlog towards the
// fiscal data operator, from two independent reads.
#pragma once

#include <cstdint>
#include <string>

#include "driver/error_state.h"
#include "driver/json/json.h"

namespace driver {

struct StatusOutputs {
  bool Ok = false;  // whether the backlog's answer said "ok"
  std::int32_t ReceiptNumber = 0, ShiftNumber = 0, ShiftState = 0;
  std::u16string Document;  // the status parameters document
};

// The answer of "/api/1/shift/status" into the receipt and shift numbers
// and the shift state. An answer whose "ok" does not read sets BadAnswer.
void ReadShiftStatus(const json::Value& Answer, ErrorState& Error, StatusOutputs& Out);

// The answer of "/api/1/ofd/status" into Ok and the status document.
void ReadExchangeStatus(const json::Value& Answer, ErrorState& Error, StatusOutputs& Out);

}  // namespace driver
