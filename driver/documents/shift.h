// The shift documents of OpenShift and CloseShift: the cashier in, the
// shift's numbers, counters and fiscal storage warnings out. The two differ
// in which taxpayer numbers are sent, in how a failed answer touches the
// error state and the outcome, and in their output attributes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/device_answer.h"
#include "driver/error_state.h"

namespace driver {

struct ShiftInput {
  std::u16string CashierName, CashierVATIN;
};

// Every "Parameters" child of the document element, in order. Throws
// BadInput when the text is not a well-formed document.
ShiftInput ReadShiftInput(std::u16string_view Text);

enum class ShiftAction { Open, Close };

// The request body of "/api/1/shift/open" or "/api/1/shift/close".
std::string ShiftRequest(const ShiftInput& Input, ShiftAction Action);

struct ShiftOutputs {
  bool Ok = false;
  std::int32_t ShiftNumber = 0, DocumentNumber = 0;
  std::u16string Document;  // the output parameters document
};

// What the answer to the request gives the host; the register's code and
// message go into Error.
ShiftOutputs OpenShiftOutputs(const DeviceReply& Reply, ErrorState& Error);
ShiftOutputs CloseShiftOutputs(const DeviceReply& Reply, ErrorState& Error);

}  // namespace driver
