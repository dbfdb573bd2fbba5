#include "driver/documents/receipt_request.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/host_xml.h"
#include "driver/json/json.h"

namespace driver {
namespace {

// Members written only when they say something.
template <std::size_t N>
void TextIfAny(json::TextWriter& W, const char (&Tag)[N], std::string_view Text) {
  if (Text.empty()) return;
  W.Key(Tag);
  W.String(Text);
}

template <std::size_t N>
void AmountIfPositive(json::TextWriter& W, const char (&Tag)[N], double Amount) {
  if (!(Amount > 0)) return;
  W.Key(Tag);
  W.Number(Amount);
}

template <std::size_t N>
void ArrayOfOne(json::TextWriter& W, const char (&Tag)[N], std::int32_t Value) {
  W.Key(Tag);
  W.BeginArray();
  W.Integer(Value);
  W.EndArray();
}

// The agent data a position sends depends on what kind of agent it names;
// the object is left out when it would be empty.
void PositionAgentData(json::TextWriter& W, const FiscalString& P) {
  const AgentData& A = P.AgentData;
  switch (P.SignSubjectCalculationAgent) {
    case 1:
    case 2:
      if (A.PayingAgentPhone.empty() && A.ReceivePaymentsOperatorPhone.empty()) return;
      W.Key("T1223");
      W.BeginObject();
      TextIfAny(W, "T1073", A.PayingAgentPhone);
      TextIfAny(W, "T1074", A.ReceivePaymentsOperatorPhone);
      W.EndObject();
      return;
    case 3:
    case 4:
      if (A.PayingAgentOperation.empty() && A.PayingAgentPhone.empty() &&
          A.MoneyTransferOperatorName.empty() && A.MoneyTransferOperatorAddress.empty() &&
          A.MoneyTransferOperatorVATIN.empty() && A.MoneyTransferOperatorPhone.empty())
        return;
      W.Key("T1223");
      W.BeginObject();
      TextIfAny(W, "T1044", A.PayingAgentOperation);
      TextIfAny(W, "T1073", A.PayingAgentPhone);
      TextIfAny(W, "T1026", A.MoneyTransferOperatorName);
      TextIfAny(W, "T1005", A.MoneyTransferOperatorAddress);
      TextIfAny(W, "T1016", A.MoneyTransferOperatorVATIN);
      TextIfAny(W, "T1075", A.MoneyTransferOperatorPhone);
      W.EndObject();
      return;
    default: return;
  }
}

void Item(json::TextWriter& W, const FiscalString& P) {
  W.BeginObject();
  W.Key("T1214");
  W.Integer(P.SignMethodCalculation);
  W.Key("T1212");
  W.Integer(P.SignCalculationObject);
  if (P.SignSubjectCalculationAgent > 0) ArrayOfOne(W, "T1222", P.SignSubjectCalculationAgent);
  PositionAgentData(W, P);
  const PurveyorData& Purveyor = P.PurveyorData;
  if (!Purveyor.PurveyorPhone.empty() || !Purveyor.PurveyorName.empty()) {
    W.Key("T1224");
    W.BeginObject();
    TextIfAny(W, "T1171", Purveyor.PurveyorPhone);
    TextIfAny(W, "T1225", Purveyor.PurveyorName);
    W.EndObject();
  }
  TextIfAny(W, "T1226", Purveyor.PurveyorVATIN);
  TextIfAny(W, "T1030", P.Name);
  TextIfAny(W, "T1197", P.MeasurementUnit);
  W.Key("T1079");
  W.Number(P.PriceWithDiscount);
  W.Key("T1023");
  W.Number(P.Quantity);
  W.Key("T1199");
  W.Integer(P.Tax);
  W.Key("T1200");
  W.Number(P.TaxSum);
  W.Key("T1043");
  W.Number(P.SumWithDiscount);
  W.EndObject();
}

// The request is written in pieces of about this size while the package is
// read, and joined once the package is gone: a wholesale package, its
// document and its request never stand in memory together with spare room
// for the request to grow into.
constexpr std::size_t kPiece = 64 * 1024;

std::vector<std::string> RequestPieces(const CheckPackage& Package) {
  // A request is mostly shorter than its package (its members are shorter
  // than the attributes they come from): that much room to start with.
  const std::size_t Room = std::min(kPiece + 4096, Package.TextSize() + 4096);
  std::vector<std::string> Pieces;
  std::string Out;
  Out.reserve(Room);
  json::TextWriter W(Out);
  const CheckHeader& H = Package.Header();
  W.BeginObject();
  W.Key("T1054");
  W.String(std::to_string(H.PaymentType));
  W.Key("T1055");
  W.String(std::to_string(H.TaxVariant));
  TextIfAny(W, "T1227", H.CustomerInfo);
  TextIfAny(W, "T1228", H.CustomerINN);
  TextIfAny(W, "T1008", H.CustomerPhone.empty() ? H.CustomerEmail : H.CustomerPhone);

  // Totals per tax code 1..6, in position order without rounding.
  std::array<double, 7> TaxTotals{};
  double Total = 0;
  W.Key("T1059");
  W.BeginArray();
  Package.ForEachPosition([&](const FiscalString& P) {
    Item(W, P);
    if (W.Size() >= kPiece) {
      Pieces.push_back(W.TakeText());
      Out.reserve(Room);
    }
    Total += P.SumWithDiscount;
    if (P.Tax >= 1 && P.Tax <= 4)
      TaxTotals[P.Tax] += P.TaxSum;
    else if (P.Tax == 5 || P.Tax == 6)
      TaxTotals[P.Tax] += P.SumWithDiscount;
  });
  W.EndArray();
  W.Key("T1020");
  W.Number(Total);

  double Cash = H.Cash;
  if (H.Cash > 0)
    Cash = Total - H.ElectronicPayment - H.AdvancePayment - H.Credit - H.CashProvision;
  // Amounts that add up beyond the range of a double have no JSON form.
  if (!std::isfinite(Total) || !std::isfinite(Cash) ||
      !std::all_of(TaxTotals.begin(), TaxTotals.end(), [](double V) { return std::isfinite(V); }))
    throw BadInput("amounts out of range");
  W.Key("T1031");
  W.Number(Cash);
  W.Key("T1081");
  W.Number(H.ElectronicPayment);
  AmountIfPositive(W, "T1215", H.AdvancePayment);
  AmountIfPositive(W, "T1216", H.Credit);
  AmountIfPositive(W, "T1217", H.CashProvision);
  AmountIfPositive(W, "T1102", TaxTotals[1]);
  AmountIfPositive(W, "T1103", TaxTotals[2]);
  AmountIfPositive(W, "T1104", TaxTotals[5]);
  AmountIfPositive(W, "T1105", TaxTotals[6]);
  AmountIfPositive(W, "T1106", TaxTotals[3]);
  AmountIfPositive(W, "T1107", TaxTotals[4]);
  if (H.AgentSign > 0) ArrayOfOne(W, "T1057", H.AgentSign);
  const AgentData& A = H.AgentData;
  TextIfAny(W, "T1075", A.MoneyTransferOperatorPhone);
  TextIfAny(W, "T1044", A.PayingAgentOperation);
  TextIfAny(W, "T1073", A.PayingAgentPhone);
  TextIfAny(W, "T1074", A.ReceivePaymentsOperatorPhone);
  TextIfAny(W, "T1026", A.MoneyTransferOperatorName);
  TextIfAny(W, "T1005", A.MoneyTransferOperatorAddress);
  TextIfAny(W, "T1016", A.MoneyTransferOperatorVATIN);
  TextIfAny(W, "T1171", H.PurveyorPhone);
  TextIfAny(W, "T1192", H.AdditionalAttribute);
  TextIfAny(W, "T1084", H.UserAttributeName);
  TextIfAny(W, "T1021", H.CashierName);
  TextIfAny(W, "T1203", H.CashierVATIN);
  W.EndObject();
  Pieces.push_back(W.TakeText());
  return Pieces;
}

std::string Joined(std::vector<std::string>& Pieces) {
  if (Pieces.size() == 1) return std::move(Pieces[0]);
  std::size_t Size = 0;
  for (const std::string& Piece : Pieces) Size += Piece.size();
  std::string Text;
  Text.reserve(Size);
  for (const std::string& Piece : Pieces) Text += Piece;
  return Text;
}

}  // namespace

std::string ReceiptRequestText(const CheckPackage& Package) {
  std::vector<std::string> Pieces = RequestPieces(Package);
  return Joined(Pieces);
}

std::string ReceiptRequestText(std::string PackageUtf8) {
  std::vector<std::string> Pieces;
  {
    const CheckPackage Package(std::move(PackageUtf8));
    Pieces = RequestPieces(Package);
  }
  return Joined(Pieces);
}

}  // namespace driver
