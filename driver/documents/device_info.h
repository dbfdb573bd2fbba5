// The documents of DeviceTest and GetDataKKT: whether the register answers,
// and how it is registered (the device parameters document).
#pragma once

#include <string>

#include "driver/device_answer.h"
#include "driver/error_state.h"

namespace driver {

struct DeviceTestOutcome {
  bool Works = false;  // the register gave its number
  std::u16string Description;
  bool AnswerIncomplete = false;  // an answer lacked the number or serial number
};

DeviceTestOutcome ReadDeviceTest(const DeviceReply& Reply);

struct DeviceParameters {
  bool Ok = false;
  std::u16string Document;
};

// The device parameters document from the answer of "/api/1/register/info":
// one element whose 29 attributes always appear, in a fixed order. The
// envelope goes into Error whatever "ok" said.
DeviceParameters ReadDeviceParameters(const json::Value& Answer, ErrorState& Error);

}  // namespace driver
