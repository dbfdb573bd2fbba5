#include "driver/receipt_package.h"

#include <cstring>

#include <pugixml.hpp>

#include "driver/host_xml.h"
#include "driver/package_reading.h"
#include "v8napi/text_rules.h"

namespace driver {
namespace {

// Tax codes by the text of a position's "Tax" attribute, compared exactly;
// any other text leaves the code as it was.
void TakeTaxRate(const std::u16string& Text, std::int32_t& Tax) {
  if (Text == u"18" || Text == u"20")
    Tax = 1;
  else if (Text == u"10")
    Tax = 2;
  else if (Text == u"18/118" || Text == u"20/120")
    Tax = 3;
  else if (Text == u"10/100")
    Tax = 4;
  else if (Text == u"0")
    Tax = 5;
  else if (Text == u"none" || Text.empty())
    Tax = 6;
}

// The package's number plus one, refused where that no longer fits.
std::int32_t PlusOne(std::int32_t Value, const char* Name) {
  if (Value == INT32_MAX) throw BadInput(std::string("out of range \"") + Name + "\"");
  return Value + 1;
}

// "AgentSign": the number with one added, held as a whole number.
std::int32_t NumberPlusOne(const std::u16string& Text, const char* Name) {
  const double Number = ToAmount(Text, Name) + 1;
  if (!(Number >= -2147483648.0 && Number <= 2147483647.0))
    throw BadInput(std::string("out of range \"") + Name + "\"");
  return static_cast<std::int32_t>(Number);
}

void ReadAgentData(const pugi::xml_node& Node, AgentData& Data) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::u16string* Field =
        SameName(N, "PayingAgentOperation")           ? &Data.PayingAgentOperation
        : SameName(N, "PayingAgentPhone")             ? &Data.PayingAgentPhone
        : SameName(N, "ReceivePaymentsOperatorPhone") ? &Data.ReceivePaymentsOperatorPhone
        : SameName(N, "MoneyTransferOperatorPhone")   ? &Data.MoneyTransferOperatorPhone
        : SameName(N, "MoneyTransferOperatorName")    ? &Data.MoneyTransferOperatorName
        : SameName(N, "MoneyTransferOperatorAddress") ? &Data.MoneyTransferOperatorAddress
        : SameName(N, "MoneyTransferOperatorVATIN")   ? &Data.MoneyTransferOperatorVATIN
                                                      : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadPurveyorData(const pugi::xml_node& Node, PurveyorData& Data) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::u16string* Field = SameName(N, "PurveyorPhone")   ? &Data.PurveyorPhone
                            : SameName(N, "PurveyorName")  ? &Data.PurveyorName
                            : SameName(N, "PurveyorVATIN") ? &Data.PurveyorVATIN
                                                           : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadGoodCodeData(const pugi::xml_node& Node, GoodCodeData& Data) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::u16string* Field = SameName(N, "StampType")      ? &Data.StampType
                            : SameName(N, "Stamp")        ? &Data.Stamp
                            : SameName(N, "GTIN")         ? &Data.GTIN
                            : SameName(N, "SerialNumber") ? &Data.SerialNumber
                            : SameName(N, "MarkingCode")  ? &Data.MarkingCode
                                                          : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadParameters(const pugi::xml_node& Node, CheckHeader& H) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::u16string Text = AttributeText(A);
    if (SameName(N, "PaymentType"))
      H.PaymentType = ToInteger(Text, N);
    else if (SameName(N, "TaxVariant"))
      H.TaxVariant = ToInteger(Text, N);
    else if (SameName(N, "CashierName"))
      H.CashierName = Text;
    else if (SameName(N, "CashierVATIN"))
      H.CashierVATIN = Text;
    else if (SameName(N, "CustomerEmail"))
      H.CustomerEmail = Text;
    else if (SameName(N, "CustomerPhone"))
      H.CustomerPhone = Text;
    else if (SameName(N, "CustomerINN"))
      H.CustomerINN = Text;
    else if (SameName(N, "AgentSign"))
      H.AgentSign = NumberPlusOne(Text, N);
    else if (SameName(N, "AdditionalAttribute"))
      H.AdditionalAttribute = ToNonEmptyText(Text, N);
    else if (SameName(N, "CustomerInfo"))
      H.CustomerInfo = Text;
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (SameName(Child.name(), "AgentData")) {
      ReadAgentData(Child, H.AgentData);
    } else if (SameName(Child.name(), "PurveyorData")) {
      if (const pugi::xml_attribute Phone = Child.attribute("PurveyorPhone"))
        H.PurveyorPhone = AttributeText(Phone);
    } else if (SameName(Child.name(), "UserAttribute")) {
      if (const pugi::xml_attribute Name = Child.attribute("Name"))
        H.UserAttributeName = AttributeText(Name);
    }
  }
}

void ReadPayments(const pugi::xml_node& Node, CheckHeader& H) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    double* Field = SameName(N, "Cash")                ? &H.Cash
                    : SameName(N, "ElectronicPayment") ? &H.ElectronicPayment
                    : SameName(N, "Credit")            ? &H.Credit
                    : SameName(N, "AdvancePayment")    ? &H.AdvancePayment
                    : SameName(N, "CashProvision")     ? &H.CashProvision
                                                       : nullptr;
    if (Field) *Field = ToAmount(AttributeText(A), N);
  }
}

void ReadPosition(const pugi::xml_node& Node, FiscalString& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::u16string Text = AttributeText(A);
    if (SameName(N, "Name"))
      P.Name = Text;
    else if (SameName(N, "Quantity"))
      P.Quantity = ToAmount(Text, N);
    else if (SameName(N, "PriceWithDiscount"))
      P.PriceWithDiscount = ToAmount(Text, N);
    else if (SameName(N, "SumWithDiscount"))
      P.SumWithDiscount = ToAmount(Text, N);
    else if (SameName(N, "DiscountSum"))
      P.DiscountSum = ToAmount(Text, N);
    else if (SameName(N, "Department"))
      P.Department = Text;
    else if (SameName(N, "Tax"))
      TakeTaxRate(Text, P.Tax);
    else if (SameName(N, "SignMethodCalculation"))
      P.SignMethodCalculation = ToInteger(Text, N);
    else if (SameName(N, "SignCalculationObject"))
      P.SignCalculationObject = ToInteger(Text, N);
    else if (SameName(N, "SignSubjectCalculationAgent"))
      P.SignSubjectCalculationAgent = PlusOne(ToInteger(Text, N), N);
    else if (SameName(N, "MeasurementUnit"))
      P.MeasurementUnit = Text;
    else if (SameName(N, "TaxSum"))
      P.TaxSum = ToAmount(Text, N);
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (SameName(Child.name(), "AgentData"))
      ReadAgentData(Child, P.AgentData);
    else if (SameName(Child.name(), "PurveyorData"))
      ReadPurveyorData(Child, P.PurveyorData);
    else if (SameName(Child.name(), "GoodCodeData"))
      ReadGoodCodeData(Child, P.GoodCodeData);
  }
}

void ReadPositions(const pugi::xml_node& Node, std::vector<FiscalString>& Positions) {
  std::size_t Count = 0;
  for (auto It = Node.begin(); It != Node.end(); ++It) ++Count;
  Positions.resize(Count);
  std::size_t I = 0;
  for (const pugi::xml_node& Child : Node.children()) ReadPosition(Child, Positions[I++]);
}

}  // namespace

ReceiptModel ReadCheckPackage(const std::u16string& PackageText) {
  pugi::xml_document Document;
  LoadHostXml(Document, PackageText);
  v8text::SetDecimalSeparator(u'.');
  ReceiptModel Model;
  const pugi::xml_node Root = Document.document_element();
  if (!SameName(Root.name(), "CheckPackage")) return Model;
  for (const pugi::xml_node& Child : Root.children()) {
    if (SameName(Child.name(), "Parameters"))
      ReadParameters(Child, Model.Header);
    else if (SameName(Child.name(), "Payments"))
      ReadPayments(Child, Model.Header);
    else if (SameName(Child.name(), "Positions"))
      ReadPositions(Child, Model.Positions);
  }
  return Model;
}

}  // namespace driver
