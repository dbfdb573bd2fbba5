#include "driver/receipt_package.h"

#include <cstring>

#include <pugixml.hpp>

#include "driver/host_xml.h"
#include "driver/package_reading.h"
#include "v8napi/text_rules.h"

namespace driver {
namespace {

bool Is(const char* Name, const char* Expected) { return std::strcmp(Name, Expected) == 0; }

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
        Is(N, "PayingAgentOperation")           ? &Data.PayingAgentOperation
        : Is(N, "PayingAgentPhone")             ? &Data.PayingAgentPhone
        : Is(N, "ReceivePaymentsOperatorPhone") ? &Data.ReceivePaymentsOperatorPhone
        : Is(N, "MoneyTransferOperatorPhone")   ? &Data.MoneyTransferOperatorPhone
        : Is(N, "MoneyTransferOperatorName")    ? &Data.MoneyTransferOperatorName
        : Is(N, "MoneyTransferOperatorAddress") ? &Data.MoneyTransferOperatorAddress
        : Is(N, "MoneyTransferOperatorVATIN")   ? &Data.MoneyTransferOperatorVATIN
                                                : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadPurveyorData(const pugi::xml_node& Node, PurveyorData& Data) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::u16string* Field = Is(N, "PurveyorPhone")   ? &Data.PurveyorPhone
                            : Is(N, "PurveyorName")  ? &Data.PurveyorName
                            : Is(N, "PurveyorVATIN") ? &Data.PurveyorVATIN
                                                     : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadGoodCodeData(const pugi::xml_node& Node, GoodCodeData& Data) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::u16string* Field = Is(N, "StampType")      ? &Data.StampType
                            : Is(N, "Stamp")        ? &Data.Stamp
                            : Is(N, "GTIN")         ? &Data.GTIN
                            : Is(N, "SerialNumber") ? &Data.SerialNumber
                            : Is(N, "MarkingCode")  ? &Data.MarkingCode
                                                    : nullptr;
    if (Field) *Field = AttributeText(A);
  }
}

void ReadParameters(const pugi::xml_node& Node, CheckHeader& H) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::u16string Text = AttributeText(A);
    if (Is(N, "PaymentType"))
      H.PaymentType = ToInteger(Text, N);
    else if (Is(N, "TaxVariant"))
      H.TaxVariant = ToInteger(Text, N);
    else if (Is(N, "CashierName"))
      H.CashierName = Text;
    else if (Is(N, "CashierVATIN"))
      H.CashierVATIN = Text;
    else if (Is(N, "CustomerEmail"))
      H.CustomerEmail = Text;
    else if (Is(N, "CustomerPhone"))
      H.CustomerPhone = Text;
    else if (Is(N, "CustomerINN"))
      H.CustomerINN = Text;
    else if (Is(N, "AgentSign"))
      H.AgentSign = NumberPlusOne(Text, N);
    else if (Is(N, "AdditionalAttribute"))
      H.AdditionalAttribute = ToNonEmptyText(Text, N);
    else if (Is(N, "CustomerInfo"))
      H.CustomerInfo = Text;
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (Is(Child.name(), "AgentData")) {
      ReadAgentData(Child, H.AgentData);
    } else if (Is(Child.name(), "PurveyorData")) {
      if (const pugi::xml_attribute Phone = Child.attribute("PurveyorPhone"))
        H.PurveyorPhone = AttributeText(Phone);
    } else if (Is(Child.name(), "UserAttribute")) {
      if (const pugi::xml_attribute Name = Child.attribute("Name"))
        H.UserAttributeName = AttributeText(Name);
    }
  }
}

void ReadPayments(const pugi::xml_node& Node, CheckHeader& H) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    double* Field = Is(N, "Cash")                ? &H.Cash
                    : Is(N, "ElectronicPayment") ? &H.ElectronicPayment
                    : Is(N, "Credit")            ? &H.Credit
                    : Is(N, "AdvancePayment")    ? &H.AdvancePayment
                    : Is(N, "CashProvision")     ? &H.CashProvision
                                                 : nullptr;
    if (Field) *Field = ToAmount(AttributeText(A), N);
  }
}

void ReadPosition(const pugi::xml_node& Node, FiscalString& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::u16string Text = AttributeText(A);
    if (Is(N, "Name"))
      P.Name = Text;
    else if (Is(N, "Quantity"))
      P.Quantity = ToAmount(Text, N);
    else if (Is(N, "PriceWithDiscount"))
      P.PriceWithDiscount = ToAmount(Text, N);
    else if (Is(N, "SumWithDiscount"))
      P.SumWithDiscount = ToAmount(Text, N);
    else if (Is(N, "DiscountSum"))
      P.DiscountSum = ToAmount(Text, N);
    else if (Is(N, "Department"))
      P.Department = Text;
    else if (Is(N, "Tax"))
      TakeTaxRate(Text, P.Tax);
    else if (Is(N, "SignMethodCalculation"))
      P.SignMethodCalculation = ToInteger(Text, N);
    else if (Is(N, "SignCalculationObject"))
      P.SignCalculationObject = ToInteger(Text, N);
    else if (Is(N, "SignSubjectCalculationAgent"))
      P.SignSubjectCalculationAgent = ToInteger(Text, N) + 1;
    else if (Is(N, "MeasurementUnit"))
      P.MeasurementUnit = Text;
    else if (Is(N, "TaxSum"))
      P.TaxSum = ToAmount(Text, N);
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (Is(Child.name(), "AgentData"))
      ReadAgentData(Child, P.AgentData);
    else if (Is(Child.name(), "PurveyorData"))
      ReadPurveyorData(Child, P.PurveyorData);
    else if (Is(Child.name(), "GoodCodeData"))
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
  if (!Is(Root.name(), "CheckPackage")) return Model;
  for (const pugi::xml_node& Child : Root.children()) {
    if (Is(Child.name(), "Parameters"))
      ReadParameters(Child, Model.Header);
    else if (Is(Child.name(), "Payments"))
      ReadPayments(Child, Model.Header);
    else if (Is(Child.name(), "Positions"))
      ReadPositions(Child, Model.Positions);
  }
  return Model;
}

}  // namespace driver
