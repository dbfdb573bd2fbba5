#include "driver/receipt_package.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "driver/host_xml.h"
#include "driver/package_reading.h"

namespace driver {
namespace {

// Tax codes by the text of a position's "Tax" attribute, compared exactly;
// any other text leaves the code as it was.
void TakeTaxRate(std::string_view Text, std::int32_t& Tax) {
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

// Attribute texts as views into the document. Its text is well-formed UTF-8
// (it was made from UTF-16), and only a character reference can put anything
// else into a value: values are checked, and kept repaired where they need
// it, only when the text held one.
class Texts {
 public:
  Texts(bool Check, std::forward_list<std::string>& Repaired)
      : Check_(Check), Repaired_(Repaired) {}
  std::string_view operator()(const pugi::xml_attribute& A) const {
    return Check_ ? AttributeView(A, Repaired_) : std::string_view(A.value());
  }

 private:
  bool Check_;
  std::forward_list<std::string>& Repaired_;
};

void ReadAgentData(const pugi::xml_node& Node, AgentData& Data, const Texts& TextOf) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::string_view* Field =
        base::SameName(N, "PayingAgentOperation")           ? &Data.PayingAgentOperation
        : base::SameName(N, "PayingAgentPhone")             ? &Data.PayingAgentPhone
        : base::SameName(N, "ReceivePaymentsOperatorPhone") ? &Data.ReceivePaymentsOperatorPhone
        : base::SameName(N, "MoneyTransferOperatorPhone")   ? &Data.MoneyTransferOperatorPhone
        : base::SameName(N, "MoneyTransferOperatorName")    ? &Data.MoneyTransferOperatorName
        : base::SameName(N, "MoneyTransferOperatorAddress") ? &Data.MoneyTransferOperatorAddress
        : base::SameName(N, "MoneyTransferOperatorVATIN")   ? &Data.MoneyTransferOperatorVATIN
                                                            : nullptr;
    if (Field) *Field = TextOf(A);
  }
}

void ReadPurveyorData(const pugi::xml_node& Node, PurveyorData& Data, const Texts& TextOf) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::string_view* Field = base::SameName(N, "PurveyorPhone")   ? &Data.PurveyorPhone
                              : base::SameName(N, "PurveyorName")  ? &Data.PurveyorName
                              : base::SameName(N, "PurveyorVATIN") ? &Data.PurveyorVATIN
                                                                   : nullptr;
    if (Field) *Field = TextOf(A);
  }
}

void ReadGoodCodeData(const pugi::xml_node& Node, GoodCodeData& Data, const Texts& TextOf) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    std::string_view* Field = base::SameName(N, "StampType")      ? &Data.StampType
                              : base::SameName(N, "Stamp")        ? &Data.Stamp
                              : base::SameName(N, "GTIN")         ? &Data.GTIN
                              : base::SameName(N, "SerialNumber") ? &Data.SerialNumber
                              : base::SameName(N, "MarkingCode")  ? &Data.MarkingCode
                                                                  : nullptr;
    if (Field) *Field = TextOf(A);
  }
}

void ReadParameters(const pugi::xml_node& Node, CheckHeader& H, const Texts& TextOf) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::string_view Text = TextOf(A);
    if (base::SameName(N, "PaymentType"))
      H.PaymentType = ToInteger(Text, N);
    else if (base::SameName(N, "TaxVariant"))
      H.TaxVariant = ToInteger(Text, N);
    else if (base::SameName(N, "CashierName"))
      H.CashierName = Text;
    else if (base::SameName(N, "CashierVATIN"))
      H.CashierVATIN = Text;
    else if (base::SameName(N, "CustomerEmail"))
      H.CustomerEmail = Text;
    else if (base::SameName(N, "CustomerPhone"))
      H.CustomerPhone = Text;
    else if (base::SameName(N, "CustomerINN"))
      H.CustomerINN = Text;
    else if (base::SameName(N, "AgentSign"))
      H.AgentSign = NumberPlusOne(Text, N);
    else if (base::SameName(N, "AdditionalAttribute"))
      H.AdditionalAttribute = ToNonEmptyText(Text, N);
    else if (base::SameName(N, "CustomerInfo"))
      H.CustomerInfo = Text;
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (base::SameName(Child.name(), "AgentData")) {
      ReadAgentData(Child, H.AgentData, TextOf);
    } else if (base::SameName(Child.name(), "PurveyorData")) {
      if (const pugi::xml_attribute Phone = Child.attribute("PurveyorPhone"))
        H.PurveyorPhone = TextOf(Phone);
    } else if (base::SameName(Child.name(), "UserAttribute")) {
      if (const pugi::xml_attribute Name = Child.attribute("Name"))
        H.UserAttributeName = TextOf(Name);
    }
  }
}

void ReadPayments(const pugi::xml_node& Node, CheckHeader& H) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    double* Field = base::SameName(N, "Cash")                ? &H.Cash
                    : base::SameName(N, "ElectronicPayment") ? &H.ElectronicPayment
                    : base::SameName(N, "Credit")            ? &H.Credit
                    : base::SameName(N, "AdvancePayment")    ? &H.AdvancePayment
                    : base::SameName(N, "CashProvision")     ? &H.CashProvision
                                                             : nullptr;
    if (Field) *Field = ToAmount(A.value(), N);
  }
}

// A position's attributes the driver reads.
enum class PositionField {
  Other,
  Name,
  Quantity,
  PriceWithDiscount,
  SumWithDiscount,
  DiscountSum,
  Department,
  Tax,
  SignMethodCalculation,
  SignCalculationObject,
  SignSubjectCalculationAgent,
  MeasurementUnit,
  TaxSum,
};

// The field an attribute name stands for: its first letters pick the one
// candidate, which is then compared in full. Positions are many, and so are
// their attributes.
PositionField FieldOf(const char* N) {
  using F = PositionField;
  struct Candidate {
    const char* Name;
    F Field;
  };
  Candidate C = {nullptr, F::Other};
  switch (N[0]) {
    case 'N': C = {"Name", F::Name}; break;
    case 'Q': C = {"Quantity", F::Quantity}; break;
    case 'P': C = {"PriceWithDiscount", F::PriceWithDiscount}; break;
    case 'M': C = {"MeasurementUnit", F::MeasurementUnit}; break;
    case 'D':
      if (N[1] == 'i') C = {"DiscountSum", F::DiscountSum};
      if (N[1] == 'e') C = {"Department", F::Department};
      break;
    case 'T':
      C = N[1] == 'a' && N[2] == 'x' && N[3] == '\0' ? Candidate{"Tax", F::Tax}
                                                     : Candidate{"TaxSum", F::TaxSum};
      break;
    case 'S':
      if (N[1] == 'u') C = {"SumWithDiscount", F::SumWithDiscount};
      if (N[1] == 'i' && N[2] == 'g' && N[3] == 'n') {
        if (N[4] == 'M') C = {"SignMethodCalculation", F::SignMethodCalculation};
        if (N[4] == 'C') C = {"SignCalculationObject", F::SignCalculationObject};
        if (N[4] == 'S') C = {"SignSubjectCalculationAgent", F::SignSubjectCalculationAgent};
      }
      break;
    default: break;
  }
  return C.Name && base::SameName(N, C.Name) ? C.Field : F::Other;
}

// Reads a position's attributes and parts over what P already holds. Numbers
// and codes are read from the attribute text as it stands: a character that
// is not ASCII stops them whether it is well-formed or not.
void ReadPosition(const pugi::xml_node& Node, FiscalString& P, const Texts& TextOf) {
  for (pugi::xml_attribute A = Node.first_attribute(); A; A = A.next_attribute()) {
    const char* N = A.name();
    switch (FieldOf(N)) {
      case PositionField::Other: break;
      case PositionField::Name: P.Name = TextOf(A); break;
      case PositionField::Quantity: P.Quantity = ToAmount(A.value(), N); break;
      case PositionField::PriceWithDiscount: P.PriceWithDiscount = ToAmount(A.value(), N); break;
      case PositionField::SumWithDiscount: P.SumWithDiscount = ToAmount(A.value(), N); break;
      case PositionField::DiscountSum: P.DiscountSum = ToAmount(A.value(), N); break;
      case PositionField::Department: P.Department = TextOf(A); break;
      case PositionField::Tax: TakeTaxRate(A.value(), P.Tax); break;
      case PositionField::SignMethodCalculation:
        P.SignMethodCalculation = ToInteger(A.value(), N);
        break;
      case PositionField::SignCalculationObject:
        P.SignCalculationObject = ToInteger(A.value(), N);
        break;
      case PositionField::SignSubjectCalculationAgent: {
        P.SignSubjectCalculationAgent = RegisterCode(ToInteger(A.value(), N), N);
        break;
      }
      case PositionField::MeasurementUnit: P.MeasurementUnit = TextOf(A); break;
      case PositionField::TaxSum: P.TaxSum = ToAmount(A.value(), N); break;
    }
  }
  for (const pugi::xml_node& Child : Node.children()) {
    if (Child.type() != pugi::node_element) continue;
    if (base::SameName(Child.name(), "AgentData"))
      ReadAgentData(Child, P.AgentData, TextOf);
    else if (base::SameName(Child.name(), "PurveyorData"))
      ReadPurveyorData(Child, P.PurveyorData, TextOf);
    else if (base::SameName(Child.name(), "GoodCodeData"))
      ReadGoodCodeData(Child, P.GoodCodeData, TextOf);
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
  const Texts TextOf(CheckTexts_, Repaired_);
  for (const pugi::xml_node& Child : Root.children()) {
    if (base::SameName(Child.name(), "Parameters"))
      ReadParameters(Child, Header_, TextOf);
    else if (base::SameName(Child.name(), "Payments"))
      ReadPayments(Child, Header_);
    else if (base::SameName(Child.name(), "Positions"))
      Lists_.push_back(Child);
  }
  // Children of earlier lists that no final position is read from are still
  // read once here: an attribute there that does not convert ends the method.
  if (Lists_.size() < 2) return;
  const std::vector<std::size_t> Shortest = ShortestFrom(Lists_);
  std::forward_list<std::string> Discarded;
  const Texts Unused(CheckTexts_, Discarded);
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
  const Texts TextOf(CheckTexts_, Repaired);
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
