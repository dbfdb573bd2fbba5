// The registration document of OperationFN: registering the register,
// changing its registration data, and closing its fiscal storage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driver/device_answer.h"
#include "driver/error_state.h"

namespace driver {

// The input document, in the vocabulary of the device parameters document
// plus the cashier and the reason code. Code lists hold register codes (the
// host's codes plus one).
struct Registration {
  std::u16string CashierName, CashierVATIN, KKTNumber, OrganizationName, VATIN, AddressSettle,
      PlaceSettle, AutomaticNumber, OFDOrganizationName, OFDVATIN, FNSWebSite, SenderEmail;
  std::vector<std::int32_t> TaxVariant, SignOfAgent;
  bool SignOfAgentGiven = false;
  bool OfflineMode = false, DataEncryption = false, ServiceSign = false, SaleExcisableGoods = false,
       SignOfGambling = false, SignOfLottery = false, BSOSing = false, CalcOnlineSign = false,
       PrinterAutomatic = false, AutomaticMode = false;
  std::int32_t ReasonCode = 0;
};

// The attributes of a "Parameters" document element (another element reads
// as nothing given). Throws BadInput when the text is not a well-formed
// document or a value does not convert.
Registration ReadRegistration(std::u16string_view Text);

struct DeviceRequest {
  const char* Path;
  std::string Body;
};

// Operation 1 registers, 2 changes the registration data, 3 closes the fiscal
// storage; any other type posts {} and lets the register decide.
DeviceRequest RegistrationRequest(std::int32_t Operation, const Registration& R);

// Whether the register carried it out; its code and message go into Error.
bool RegistrationOutcome(const DeviceReply& Reply, ErrorState& Error);

}  // namespace driver
