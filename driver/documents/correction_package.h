// The correction package ("CheckCorrectionPackage") and the correction
// receipt request for "/api/1/correctivereceipt".
#pragma once

#include <cstdint>
#include <string>

#include "driver/json/json.h"

namespace driver {

// Values of a correction package. When the package does not carry the
// payment type, tax system or correction type, a sale ("0") under the first
// tax system ("1") as an independent correction (false) is sent.
struct CorrectionPackage {
  std::u16string CashierName, CashierVATIN, AdditionalAttribute;
  std::u16string CorrectionBaseDate, CorrectionBaseNumber;
  std::int32_t CorrectionType = 0;
  std::int32_t TaxVariant = 1;  // the package's number plus one
  std::int32_t PaymentType = 0;
  double Sum = 0;
  double SumTAX20 = 0, SumTAX10 = 0, SumTAX0 = 0, SumTAXNone = 0, SumTAX120 = 0, SumTAX110 = 0;
  double Cash = 0, ElectronicPayment = 0, AdvancePayment = 0, Credit = 0, CashProvision = 0;
};

// Throws BadInput when the text does not parse or a listed attribute does not
// convert (an empty value included, but for the two correction-base texts).
// Sets the process-wide decimal separator to "." once the text is loaded.
CorrectionPackage ReadCorrectionPackage(const std::u16string& PackageText);

json::Value BuildCorrectionRequest(const CorrectionPackage& Package);

}  // namespace driver
