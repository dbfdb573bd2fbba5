// The non-fiscal documents of PrintTextDocument and CashInOutcome, printed
// through "/api/1/printany" as a list of print elements.
#pragma once

#include <string>
#include <string_view>

#include "driver/device_answer.h"
#include "driver/error_state.h"

namespace driver {

// The text lines of every "Positions" child, then a rule and a feed. Throws
// BadInput when the text is not a well-formed document, or a text string or
// barcode lacks one of its attributes (barcodes are not printed).
std::string TextDocumentRequest(std::u16string_view Text);

struct CashSlipInput {
  std::u16string CashierName, CashierVATIN;
};

// The attributes of a "Parameters" document element; an empty value is
// passed over. Throws BadInput when the text is not a well-formed document.
CashSlipInput ReadCashSlipInput(std::u16string_view Text);

// A deposit (Amount ≥ 0) or withdrawal slip of |Amount|.
std::string CashSlipRequest(const CashSlipInput& Input, double Amount);

// Whether the register printed it: only "ok" counts. The error state is
// always overwritten: cleared when printed, PrintRefused when refused,
// NoPrintAnswer when the answer says nothing readable.
bool PrintOutcome(const DeviceReply& Reply, ErrorState& Error);

}  // namespace driver
