#include "driver/receipt_request.h"

#include "driver/host_xml.h"
#include "driver/request_fields.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace driver {
namespace {

json::Value ArrayOfOne(std::int32_t Value) {
  json::Value Array = json::Value::Array();
  Array.Push(json::Value::Integer(Value));
  return Array;
}

// The agent data a position sends depends on what kind of agent it names.
json::Value PositionAgentData(const FiscalString& P) {
  json::Value Agent = json::Value::Object();
  const AgentData& A = P.AgentData;
  switch (P.SignSubjectCalculationAgent) {
    case 1:
    case 2:
      AddTextIfAny(Agent, "T1073", A.PayingAgentPhone);
      AddTextIfAny(Agent, "T1074", A.ReceivePaymentsOperatorPhone);
      break;
    case 3:
    case 4:
      AddTextIfAny(Agent, "T1044", A.PayingAgentOperation);
      AddTextIfAny(Agent, "T1073", A.PayingAgentPhone);
      AddTextIfAny(Agent, "T1026", A.MoneyTransferOperatorName);
      AddTextIfAny(Agent, "T1005", A.MoneyTransferOperatorAddress);
      AddTextIfAny(Agent, "T1016", A.MoneyTransferOperatorVATIN);
      AddTextIfAny(Agent, "T1075", A.MoneyTransferOperatorPhone);
      break;
    default: break;
  }
  return Agent;
}

json::Value Item(const FiscalString& P) {
  json::Value Item = json::Value::Object();
  Item.Reserve(13);
  Item.Add("T1214", json::Value::Integer(P.SignMethodCalculation));
  Item.Add("T1212", json::Value::Integer(P.SignCalculationObject));
  if (P.SignSubjectCalculationAgent > 0)
    Item.Add("T1222", ArrayOfOne(P.SignSubjectCalculationAgent));
  json::Value Agent = PositionAgentData(P);
  if (!Agent.Members().empty()) Item.Add("T1223", std::move(Agent));
  json::Value Purveyor = json::Value::Object();
  AddTextIfAny(Purveyor, "T1171", P.PurveyorData.PurveyorPhone);
  AddTextIfAny(Purveyor, "T1225", P.PurveyorData.PurveyorName);
  if (!Purveyor.Members().empty()) Item.Add("T1224", std::move(Purveyor));
  AddTextIfAny(Item, "T1226", P.PurveyorData.PurveyorVATIN);
  AddTextIfAny(Item, "T1030", P.Name);
  AddTextIfAny(Item, "T1197", P.MeasurementUnit);
  Item.Add("T1079", json::Value::Number(P.PriceWithDiscount));
  Item.Add("T1023", json::Value::Number(P.Quantity));
  Item.Add("T1199", json::Value::Integer(P.Tax));
  Item.Add("T1200", json::Value::Number(P.TaxSum));
  Item.Add("T1043", json::Value::Number(P.SumWithDiscount));
  return Item;
}

}  // namespace

json::Value BuildReceiptRequest(const ReceiptModel& Model) {
  const CheckHeader& H = Model.Header;
  json::Value Request = json::Value::Object();
  Request.Reserve(31);
  Request.Add("T1054", DigitsString(H.PaymentType));
  Request.Add("T1055", DigitsString(std::int64_t{H.TaxVariant} + 1));
  AddTextIfAny(Request, "T1227", H.CustomerInfo);
  AddTextIfAny(Request, "T1228", H.CustomerINN);
  AddTextIfAny(Request, "T1008", H.CustomerPhone.empty() ? H.CustomerEmail : H.CustomerPhone);

  // Totals per tax code 1..6, in position order without rounding.
  std::array<double, 7> TaxTotals{};
  double Total = 0;
  json::Value Items = json::Value::Array();
  Items.Reserve(Model.Positions.size());
  for (const FiscalString& P : Model.Positions) {
    Items.Push(Item(P));
    Total += P.SumWithDiscount;
    if (P.Tax >= 1 && P.Tax <= 4)
      TaxTotals[P.Tax] += P.TaxSum;
    else if (P.Tax == 5 || P.Tax == 6)
      TaxTotals[P.Tax] += P.SumWithDiscount;
  }
  Request.Add("T1059", std::move(Items));
  Request.Add("T1020", json::Value::Number(Total));

  double Cash = H.Cash;
  if (H.Cash > 0)
    Cash = Total - H.ElectronicPayment - H.AdvancePayment - H.Credit - H.CashProvision;
  // Sums beyond what a double holds have no JSON form: such a package is
  // refused before anything is sent.
  const bool Finite =
      std::isfinite(Total) && std::isfinite(Cash) &&
      std::all_of(TaxTotals.begin(), TaxTotals.end(), [](double V) { return std::isfinite(V); });
  if (!Finite) throw BadInput("amounts out of range");
  Request.Add("T1031", json::Value::Number(Cash));
  Request.Add("T1081", json::Value::Number(H.ElectronicPayment));
  AddAmountIfPositive(Request, "T1215", H.AdvancePayment);
  AddAmountIfPositive(Request, "T1216", H.Credit);
  AddAmountIfPositive(Request, "T1217", H.CashProvision);
  AddAmountIfPositive(Request, "T1102", TaxTotals[1]);
  AddAmountIfPositive(Request, "T1103", TaxTotals[2]);
  AddAmountIfPositive(Request, "T1104", TaxTotals[5]);
  AddAmountIfPositive(Request, "T1105", TaxTotals[6]);
  AddAmountIfPositive(Request, "T1106", TaxTotals[3]);
  AddAmountIfPositive(Request, "T1107", TaxTotals[4]);
  if (H.AgentSign > 0) Request.Add("T1057", ArrayOfOne(H.AgentSign));
  const AgentData& A = H.AgentData;
  AddTextIfAny(Request, "T1075", A.MoneyTransferOperatorPhone);
  AddTextIfAny(Request, "T1044", A.PayingAgentOperation);
  AddTextIfAny(Request, "T1073", A.PayingAgentPhone);
  AddTextIfAny(Request, "T1074", A.ReceivePaymentsOperatorPhone);
  AddTextIfAny(Request, "T1026", A.MoneyTransferOperatorName);
  AddTextIfAny(Request, "T1005", A.MoneyTransferOperatorAddress);
  AddTextIfAny(Request, "T1016", A.MoneyTransferOperatorVATIN);
  AddTextIfAny(Request, "T1171", H.PurveyorPhone);
  AddTextIfAny(Request, "T1192", H.AdditionalAttribute);
  AddTextIfAny(Request, "T1084", H.UserAttributeName);
  AddTextIfAny(Request, "T1021", H.CashierName);
  AddTextIfAny(Request, "T1203", H.CashierVATIN);
  return Request;
}

}  // namespace driver
