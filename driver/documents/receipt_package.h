// The receipt package ("CheckPackage") the host passes to ProcessCheck, and
// what is read from it. Texts are well-formed UTF-8, viewed where they stand
// in the package's document (or in a repaired copy the package keeps): they
// hold as long as the package does.
#pragma once

#include <cstdint>
#include <forward_list>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace driver {

struct GoodCodeData {
  std::string_view StampType, Stamp, GTIN, SerialNumber, MarkingCode;
};

struct AgentData {
  std::string_view PayingAgentOperation, PayingAgentPhone, ReceivePaymentsOperatorPhone,
      MoneyTransferOperatorPhone, MoneyTransferOperatorName, MoneyTransferOperatorAddress,
      MoneyTransferOperatorVATIN;
};

struct PurveyorData {
  std::string_view PurveyorPhone, PurveyorName, PurveyorVATIN;
};

// One position of the receipt.
struct FiscalString {
  std::string_view Name;
  double Quantity = 0;
  double PriceWithDiscount = 0;
  double SumWithDiscount = 0;
  double DiscountSum = 0;
  std::string_view Department;
  std::int32_t Tax = 0;  // tax code 0 to 6
  double TaxSum = 0;
  std::int32_t SignMethodCalculation = 0;
  std::int32_t SignCalculationObject = 0;
  std::int32_t SignSubjectCalculationAgent = 0;  // the package's number plus one; 0: none
  std::string_view Text;
  std::string_view MeasurementUnit;
  std::string_view CountryOfOrigin;
  std::string_view CustomsDeclaration;
  double ExciseAmount = 0;
  driver::GoodCodeData GoodCodeData;
  std::string_view BarcodeType;
  std::string_view Barcode;
  driver::AgentData AgentData;
  driver::PurveyorData PurveyorData;
};

// Receipt-level values. A package that does not say how the buyer pays or
// which tax system applies gets payment type 0 and host tax system 0 (sent
// as "0" and "1"): a sale under the first tax system.
struct CheckHeader {
  std::int32_t PaymentType = 0;
  std::int32_t TaxVariant = 1;  // the package's number plus one
  std::string_view CashierName;
  std::string_view CashierVATIN;
  std::string_view CustomerPhone;
  std::string_view CustomerEmail;
  std::string_view CustomerINN;
  std::string_view CustomerInfo;
  std::string_view AdditionalAttribute;
  std::int32_t AgentSign = 0;  // the package's number plus one; 0: none
  driver::AgentData AgentData;
  std::string_view PurveyorPhone;
  std::string_view UserAttributeName;
  double Cash = 0;
  double ElectronicPayment = 0;
  double AdvancePayment = 0;
  double Credit = 0;
  double CashProvision = 0;
};

// The package, parsed. The receipt-level values are read at once; the
// positions are read as they are visited, one at a time, so that a wholesale
// package of many thousand positions never sits in memory as a list of
// positions next to its document. A document element of another name than
// "CheckPackage" reads as an empty package.
class CheckPackage {
 public:
  // Takes the package text (UTF-8) over and parses it in place; sets the
  // process-wide decimal separator to "." once the text is loaded. Throws
  // BadInput when the text does not parse or when an attribute does not
  // convert: those of the receipt-level values here, those of the positions
  // when they are visited.
  explicit CheckPackage(std::string Utf8Text);
  CheckPackage(const CheckPackage&) = delete;
  CheckPackage& operator=(const CheckPackage&) = delete;

  const CheckHeader& Header() const { return Header_; }
  // The length of the package text.
  std::size_t TextSize() const { return Text_.size(); }
  // Visits the positions in order; the texts of a position hold until Visit
  // returns.
  void ForEachPosition(const std::function<void(const FiscalString&)>& Visit) const;

 private:
  std::string Text_;  // what the document is built over
  pugi::xml_document Document_;
  CheckHeader Header_;
  // Whether attribute texts need checking for UTF-8 that is not well-formed
  // (see LoadHostXml), and repaired copies of receipt-level texts that were.
  bool CheckTexts_ = false;
  std::forward_list<std::string> Repaired_;
  // Every "Positions" element, in document order.
  std::vector<pugi::xml_node> Lists_;
};

}  // namespace driver
