#include "driver/documents/receipt_package.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "driver/host_attributes.h"
#include "driver/host_xml.h"
#include "driver/package_reading.h"

namespace driver {
namespace {

// Tax codes by the text of a position's "Tax" attribute, compared exactly;
// any other text leaves the code as it was.
void TakeTax(FiscalString& P, const pugi::xml_attribute& A, const AttributeTexts&) {
  const std::string_view Text = A.value();
  std::int32_t& Tax = P.Tax;
  if (Text == "18" || Text == "20")
    Tax = 1;
  else if (Text == "10")
    Tax = 2;
  else if (Text == "18/118" || Text == "20/120")
    Tax = 3;
  else if (Text == "10/100")
    Tax = 4;
  else if (Text == "0")
    Tax = 5;
  else if (Text == "none" || Text.empty())
    Tax = 6;
}

// "AgentSign": the number with one added, held as a whole number.
std::int32_t NumberPlusOne(std::string_view Text, const char* Name) {
  const double Number = ToAmount(Text, Name) + 1;
  if (!(Number >= -2147483648.0 && Number <= 2147483647.0))
    throw BadInput(std::string("out of range \"") + Name + "\"");
  return static_cast<std::int32_t>(Number);
}

void TakeAgentSign(CheckHeader& H, const pugi::xml_attribute& A, const AttributeTexts& Texts) {
  H.AgentSign = NumberPlusOne(Texts(A), A.name());
}

using take::Amount;
using take::CodePlusOne;
using take::Integer;
using take::Text;

constexpr AttributeRule<AgentData> kAgentData[] = {
    {"PayingAgentOperation", Text<&AgentData::PayingAgentOperation>},
    {"PayingAgentPhone", Text<&AgentData::PayingAgentPhone>},
    {"ReceivePaymentsOperatorPhone", Text<&AgentData::ReceivePaymentsOperatorPhone>},
    {"MoneyTransferOperatorPhone", Text<&AgentData::MoneyTransferOperatorPhone>},
    {"MoneyTransferOperatorName", Text<&AgentData::MoneyTransferOperatorName>},
    {"MoneyTransferOperatorAddress", Text<&AgentData::MoneyTransferOperatorAddress>},
    {"MoneyTransferOperatorVATIN", Text<&AgentData::MoneyTransferOperatorVATIN>},
};

constexpr AttributeRule<PurveyorData> kPurveyorData[] = {
    {"PurveyorPhone", Text<&PurveyorData::PurveyorPhone>},
    {"PurveyorName", Text<&PurveyorData::PurveyorName>},
    {"PurveyorVATIN", Text<&PurveyorData::PurveyorVATIN>},
};

constexpr AttributeRule<GoodCodeData> kGoodCodeData[] = {
    {"StampType", Text<&GoodCodeData::StampType>},
    {"Stamp", Text<&GoodCodeData::Stamp>},
    {"GTIN", Text<&GoodCodeData::GTIN>},
    {"SerialNumber", Text<&GoodCodeData::SerialNumber>},
    {"MarkingCode", Text<&GoodCodeData::MarkingCode>},
};

constexpr AttributeRule<CheckHeader> kParameters[] = {
    {"PaymentType", Integer<&CheckHeader::PaymentType>},
    {"TaxVariant", CodePlusOne<&CheckHeader::TaxVariant>},
    {"CashierName", Text<&CheckHeader::CashierName>},
    {"CashierVATIN", Text<&CheckHeader::CashierVATIN>},
    {"CustomerEmail", Text<&CheckHeader::CustomerEmail>},
    {"CustomerPhone", Text<&CheckHeader::CustomerPhone>},
    {"CustomerINN", Text<&CheckHeader::CustomerINN>},
    {"AgentSign", TakeAgentSign},
    {"AdditionalAttribute", take::NonEmptyText<&CheckHeader::AdditionalAttribute>},
    {"CustomerInfo", Text<&CheckHeader::CustomerInfo>},
};
// Of the receipt's purveyor and user attribute only one attribute each.
constexpr AttributeRule<CheckHeader> kHeaderPurveyor[] = {
    {"PurveyorPhone", Text<&CheckHeader::PurveyorPhone>}};
constexpr AttributeRule<CheckHeader> kUserAttribute[] = {
    {"Name", Text<&CheckHeader::UserAttributeName>}};

constexpr AttributeRule<CheckHeader> kPayments[] = {
    {"Cash", Amount<&CheckHeader::Cash>},
    {"ElectronicPayment", Amount<&CheckHeader::ElectronicPayment>},
    {"Credit", Amount<&CheckHeader::Credit>},
    {"AdvancePayment", Amount<&CheckHeader::AdvancePayment>},
    {"CashProvision", Amount<&CheckHeader::CashProvision>},
};

// Positions are many: the table follows the order in which the host writes
// their attributes.
constexpr AttributeRule<FiscalString> kPosition[] = {
    {"Name", Text<&FiscalString::Name>},
    {"Quantity", Amount<&FiscalString::Quantity>},
    {"PriceWithDiscount", Amount<&FiscalString::PriceWithDiscount>},
    {"SumWithDiscount", Amount<&FiscalString::SumWithDiscount>},
    {"DiscountSum", Amount<&FiscalString::DiscountSum>},
    {"Department", Text<&FiscalString::Department>},
    {"Tax", TakeTax},
    {"TaxSum", Amount<&FiscalString::TaxSum>},
    {"SignMethodCalculation", Integer<&FiscalString::SignMethodCalculation>},
    {"SignCalculationObject", Integer<&FiscalString::SignCalculationObject>},
    {"MeasurementUnit", Text<&FiscalString::MeasurementUnit>},
    {"SignSubjectCalculationAgent", CodePlusOne<&FiscalString::SignSubjectCalculationAgent>},
};

void ReadParameters(const pugi::xml_node& Node, CheckHeader& H, const AttributeTexts& Texts) {
  ReadAttributes(Node, kParameters, H, Texts);
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (base::SameName(Child.name(), "AgentData"))
      ReadAttributes(Child, kAgentData, H.AgentData, Texts);
    else if (base::SameName(Child.name(), "PurveyorData"))
      ReadAttributes(Child, kHeaderPurveyor, H, Texts);
    else if (base::SameName(Child.name(), "UserAttribute"))
      ReadAttributes(Child, kUserAttribute, H, Texts);
  }
}

// Reads a position's attributes and parts over what P already holds.
void ReadPosition(const pugi::xml_node& Node, FiscalString& P, const AttributeTexts& Texts) {
  ReadAttributes(Node, kPosition, P, Texts);
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (base::SameName(Child.name(), "AgentData"))
      ReadAttributes(Child, kAgentData, P.AgentData, Texts);
    else if (base::SameName(Child.name(), "PurveyorData"))
      ReadAttributes(Child, kPurveyorData, P.PurveyorData, Texts);
    else if (base::SameName(Child.name(), "GoodCodeData"))
      ReadAttributes(Child, kGoodCodeData, P.GoodCodeData, Texts);
  }
}

std::size_t CountChildren(const pugi::xml_node& Node) {
  std::size_t Count = 0;
  for (auto It = Node.begin(); It != Node.end(); ++It) ++Count;
  return Count;
}

// How several "Positions" elements combine: each in turn sets the number of
// positions to its own number of child nodes (whatever their kind), keeping
// the positions below that number and adding fresh ones above it, and reads
// its children over the positions of the same index. So the final position
// I is read from child I of each list of the last unbroken run of lists
// that all have more than I children. Shortest[J] is the least number of
// children among lists J and after; position I starts at the first list J
// with Shortest[J] > I.
std::vector<std::size_t> ShortestFrom(const std::vector<pugi::xml_node>& Lists) {
  std::vector<std::size_t> Shortest(Lists.size());
  std::size_t Least = SIZE_MAX;
  for (std::size_t J = Lists.size(); J-- > 0;)
    Shortest[J] = Least = std::min(Least, CountChildren(Lists[J]));
  return Shortest;
}

}  // namespace

CheckPackage::CheckPackage(std::string Utf8Text) : Text_(std::move(Utf8Text)) {
  CheckTexts_ = LoadHostXmlInPlace(Document_, Text_);
  const pugi::xml_node Root = Document_.document_element();
  if (!base::SameName(Root.name(), "CheckPackage")) return;
  const AttributeTexts TextOf(CheckTexts_, Repaired_);
  for (const pugi::xml_node& Child : Root.children()) {
    if (base::SameName(Child.name(), "Parameters"))
      ReadParameters(Child, Header_, TextOf);
    else if (base::SameName(Child.name(), "Payments"))
      ReadAttributes(Child, kPayments, Header_, TextOf);
    else if (base::SameName(Child.name(), "Positions"))
      Lists_.push_back(Child);
  }
  // Children of earlier lists that no final position is read from are still
  // read once here: an attribute there that does not convert ends the method.
  if (Lists_.size() < 2) return;
  const std::vector<std::size_t> Shortest = ShortestFrom(Lists_);
  std::forward_list<std::string> Discarded;
  const AttributeTexts Unused(CheckTexts_, Discarded);
  for (std::size_t J = 0; J + 1 < Lists_.size(); ++J) {
    std::size_t I = 0;
    for (const pugi::xml_node& Child : Lists_[J].children()) {
      FiscalString P;
      if (I++ >= Shortest[J]) ReadPosition(Child, P, Unused);
      Discarded.clear();
    }
  }
}

void CheckPackage::ForEachPosition(const std::function<void(const FiscalString&)>& Visit) const {
  if (Lists_.empty()) return;
  std::forward_list<std::string> Repaired;
  const AttributeTexts TextOf(CheckTexts_, Repaired);
  if (Lists_.size() == 1) {
    for (const pugi::xml_node& Child : Lists_[0].children()) {
      FiscalString P;
      ReadPosition(Child, P, TextOf);
      Visit(P);
      Repaired.clear();
    }
    return;
  }
  const std::vector<std::size_t> Shortest = ShortestFrom(Lists_);
  std::vector<pugi::xml_node> Cursor;
  for (const pugi::xml_node& List : Lists_) Cursor.push_back(List.first_child());
  std::size_t First = 0;
  for (std::size_t I = 0; Cursor.back(); ++I) {
    while (Shortest[First] <= I) ++First;
    FiscalString P;
    for (std::size_t J = First; J < Lists_.size(); ++J) ReadPosition(Cursor[J], P, TextOf);
    for (pugi::xml_node& C : Cursor)
      if (C) C = C.next_sibling();
    Visit(P);
    Repaired.clear();
  }
}

}  // namespace driver
