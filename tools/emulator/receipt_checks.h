// What the register checks in a receipt or correction receipt request before
// it issues the document: first the members' types and values, then the
// arithmetic (each item's price times quantity, the items against the
// total, the payments against the total).
#pragma once

#include <optional>
#include <string>

#include "tools/emulator/request_members.h"

namespace kelvo_emulator {

struct Complaint {
  int Code = 0;  // a refusal code of device_api.h
  std::string Message;
  Errors Details;
};

// None: the request may be issued.
std::optional<Complaint> CheckReceipt(const Json& Request);
std::optional<Complaint> CheckCorrection(const Json& Request);

}  // namespace kelvo_emulator
