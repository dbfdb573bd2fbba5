// The receipt package ("CheckPackage") the host passes to ProcessCheck, and
// the receipt model it is read into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

struct GoodCodeData {
  std::u16string StampType, Stamp, GTIN, SerialNumber, MarkingCode;
};

struct AgentData {
  std::u16string PayingAgentOperation, PayingAgentPhone, ReceivePaymentsOperatorPhone,
      MoneyTransferOperatorPhone, MoneyTransferOperatorName, MoneyTransferOperatorAddress,
      MoneyTransferOperatorVATIN;
};

struct PurveyorData {
  std::u16string PurveyorPhone, PurveyorName, PurveyorVATIN;
};

// One position of the receipt.
struct FiscalString {
  std::u16string Name;
  double Quantity = 0;
  double PriceWithDiscount = 0;
  double SumWithDiscount = 0;
  double DiscountSum = 0;
  std::u16string Department;
  std::int32_t Tax = 0;  // tax code 0 to 6
  double TaxSum = 0;
  std::int32_t SignMethodCalculation = 0;
  std::int32_t SignCalculationObject = 0;
  std::int32_t SignSubjectCalculationAgent = 0;  // the package's number plus one; 0: none
  std::u16string Text;
  std::u16string MeasurementUnit;
  std::u16string CountryOfOrigin;
  std::u16string CustomsDeclaration;
  double ExciseAmount = 0;
  driver::GoodCodeData GoodCodeData;
  std::u16string BarcodeType;
  std::u16string Barcode;
  driver::AgentData AgentData;
  driver::PurveyorData PurveyorData;
};

// Receipt-level values. A package that does not say how the buyer pays or
// which tax system applies gets payment type 0 and tax system 0 (sent as "0"
// and "1"): a sale under the first tax system.
struct CheckHeader {
  std::int32_t PaymentType = 0;
  std::int32_t TaxVariant = 0;
  std::u16string CashierName;
  std::u16string CashierVATIN;
  std::u16string CustomerPhone;
  std::u16string CustomerEmail;
  std::u16string CustomerINN;
  std::u16string CustomerInfo;
  std::u16string AdditionalAttribute;
  std::int32_t AgentSign = 0;  // the package's number plus one; 0: none
  driver::AgentData AgentData;
  std::u16string PurveyorPhone;
  std::u16string UserAttributeName;
  double Cash = 0;
  double ElectronicPayment = 0;
  double AdvancePayment = 0;
  double Credit = 0;
  double CashProvision = 0;
};

struct ReceiptModel {
  CheckHeader Header;
  std::vector<FiscalString> Positions;
};

// Reads the package text. Throws BadInput when it does not parse or when an
// attribute does not convert; a document element of another name than
// "CheckPackage" reads nothing. Sets the process-wide decimal separator to
// "." once the text is loaded.
ReceiptModel ReadCheckPackage(const std::u16string& PackageText);

}  // namespace driver
