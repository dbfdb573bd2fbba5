// What the register's answer to a receipt (ordinary or correction) says, and
// the error state it leaves. Both receipt methods read answers this way.
#pragma once

#include <cstdint>
#include <string>

#include "driver/device_answer.h"
#include "driver/json/json.h"

namespace driver {

struct ReceiptOutcome {
  bool Accepted = false;  // "ok" was read and is true
  std::int32_t ReceiptNumber = 0;
  std::int32_t ShiftNumber = 0;
  std::u16string FiscalSign;
  std::u16string SiteAddress;
};

// Reads the reply to a receipt POST. After a transport failure the error
// state keeps the failure. A refusal leaves its code and "message
// errors:<errors JSON>"; an answer without a readable "ok" leaves the
// device-not-responding error.
ReceiptOutcome ReadReceiptAnswer(const DeviceReply& Reply, ErrorState& Error);

}  // namespace driver
