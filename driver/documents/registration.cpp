#include "driver/documents/registration.h"

#include <optional>

#include <pugixml.hpp>

#include "base/text_rules.h"
#include "driver/host_attributes.h"
#include "driver/host_xml.h"
#include "driver/json/json.h"
#include "driver/request_fields.h"

namespace driver {
namespace {

std::int32_t ToIntegerText(const std::u16string& Text, const char* Name) {
  std::int32_t Value = 0;
  if (!base::TryParseInt32(Text, Value))
    throw BadInput(std::string("not an integer \"") + Name + "\"");
  return Value;
}

// "0,1,3" → 1, 2, 4: only the comma separates; each item by the integer-text
// rule, one higher towards the register.
std::vector<std::int32_t> ToCodeList(const std::u16string& Text, const char* Name) {
  std::vector<std::int32_t> Codes;
  if (Text.empty()) return Codes;
  std::size_t Start = 0;
  while (true) {
    const std::size_t Comma = Text.find(u',', Start);
    Codes.push_back(RegisterCode(ToIntegerText(Text.substr(Start, Comma - Start), Name), Name));
    if (Comma == std::u16string::npos) break;
    Start = Comma + 1;
  }
  return Codes;
}

using R = Registration;

template <bool R::*Field>
void Flag(R& Out, const pugi::xml_attribute& A, const AttributeTexts&) {
  const std::optional<bool> Value = json::TextToBoolean(AttributeText(A));
  if (!Value) throw BadInput(std::string("not a Boolean \"") + A.name() + "\"");
  Out.*Field = *Value;
}

void TaxVariant(R& Out, const pugi::xml_attribute& A, const AttributeTexts&) {
  Out.TaxVariant = ToCodeList(AttributeText(A), A.name());
}

void SignOfAgent(R& Out, const pugi::xml_attribute& A, const AttributeTexts&) {
  const std::u16string Value = AttributeText(A);
  Out.SignOfAgent = ToCodeList(Value, A.name());
  Out.SignOfAgentGiven = !Value.empty();
}

void ReasonCode(R& Out, const pugi::xml_attribute& A, const AttributeTexts&) {
  Out.ReasonCode = ToIntegerText(AttributeText(A), A.name());
}

using take::Text;

constexpr AttributeRule<R> kAttributes[] = {
    {"CashierName", Text<&R::CashierName>},
    {"CashierVATIN", Text<&R::CashierVATIN>},
    {"KKTNumber", Text<&R::KKTNumber>},
    {"OrganizationName", Text<&R::OrganizationName>},
    {"VATIN", Text<&R::VATIN>},
    {"AddressSettle", Text<&R::AddressSettle>},
    {"PlaceSettle", Text<&R::PlaceSettle>},
    {"AutomaticNumber", Text<&R::AutomaticNumber>},
    {"OFDOrganizationName", Text<&R::OFDOrganizationName>},
    {"OFDVATIN", Text<&R::OFDVATIN>},
    {"FNSWebSite", Text<&R::FNSWebSite>},
    {"SenderEmail", Text<&R::SenderEmail>},
    {"OfflineMode", Flag<&R::OfflineMode>},
    {"DataEncryption", Flag<&R::DataEncryption>},
    {"ServiceSign", Flag<&R::ServiceSign>},
    {"SaleExcisableGoods", Flag<&R::SaleExcisableGoods>},
    {"SignOfGambling", Flag<&R::SignOfGambling>},
    {"SignOfLottery", Flag<&R::SignOfLottery>},
    {"BSOSing", Flag<&R::BSOSing>},
    {"CalcOnlineSign", Flag<&R::CalcOnlineSign>},
    {"PrinterAutomatic", Flag<&R::PrinterAutomatic>},
    {"AutomaticMode", Flag<&R::AutomaticMode>},
    {"TaxVariant", TaxVariant},
    {"SignOfAgent", SignOfAgent},
    {"ReasonCode", ReasonCode},
};

json::Value CodeArray(const std::vector<std::int32_t>& Codes) {
  json::Value Array = json::Value::Array();
  for (const std::int32_t Code : Codes) Array.Push(json::Value::Integer(Code));
  return Array;
}

// The cashier (when the register is not in automatic mode) and the place of
// settlement close both the registration and the closing request.
void AddCashierAndPlace(json::Value& Request, const R& In) {
  if (!In.AutomaticMode) Request.Add("T1021", json::Value::String(In.CashierName));
  AddTextIfAny(Request, "T1203", In.CashierVATIN);
  AddTextIfAny(Request, "T1009", In.AddressSettle);
  AddTextIfAny(Request, "T1187", In.PlaceSettle);
}

json::Value Registering(const R& In, bool WithReason) {
  json::Value Q = json::Value::Object();
  if (WithReason) Q.Add("T1101", json::Value::Integer(In.ReasonCode));
  Q.Add("T1048", json::Value::String(In.OrganizationName));
  Q.Add("T1018", json::Value::String(In.VATIN));
  Q.Add("T1062", CodeArray(In.TaxVariant));
  Q.Add("T1037", json::Value::String(In.KKTNumber));
  Q.Add("T1002", json::Value::Boolean(In.OfflineMode));
  Q.Add("T1221", json::Value::Boolean(In.PrinterAutomatic));
  Q.Add("T1110", json::Value::Boolean(In.BSOSing));
  Q.Add("T1056", json::Value::Boolean(In.DataEncryption));
  Q.Add("T1001", json::Value::Boolean(In.AutomaticMode));
  Q.Add("T1108", json::Value::Boolean(In.CalcOnlineSign));
  if (In.AutomaticMode) Q.Add("T1036", json::Value::String(In.AutomaticNumber));
  // These flags are sent only when set.
  if (In.SaleExcisableGoods) Q.Add("T1207", json::Value::Boolean(true));
  if (In.ServiceSign) Q.Add("T1109", json::Value::Boolean(true));
  if (In.SignOfGambling) Q.Add("T1193", json::Value::Boolean(true));
  if (In.SignOfLottery) Q.Add("T1126", json::Value::Boolean(true));
  if (In.SignOfAgentGiven) Q.Add("T1057", CodeArray(In.SignOfAgent));
  AddCashierAndPlace(Q, In);
  AddTextIfAny(Q, "T1117", In.SenderEmail);
  AddTextIfAny(Q, "T1017", In.OFDVATIN);
  AddTextIfAny(Q, "T1046", In.OFDOrganizationName);
  AddTextIfAny(Q, "T1060", In.FNSWebSite);
  return Q;
}

json::Value Closing(const R& In) {
  json::Value Q = json::Value::Object();
  AddCashierAndPlace(Q, In);
  return Q;
}

}  // namespace

Registration ReadRegistration(std::u16string_view Text) {
  return ReadRootAttributes(Text, "Parameters", kAttributes);
}

DeviceRequest RegistrationRequest(std::int32_t Operation, const Registration& In) {
  const char* Path = Operation == 3 ? "/api/1/finalize" : "/api/1/register";
  const json::Value Request = Operation == 1 || Operation == 2 ? Registering(In, Operation == 2)
                              : Operation == 3                 ? Closing(In)
                                                               : json::Value::Object();
  return {Path, json::Write(Request)};
}

bool RegistrationOutcome(const DeviceReply& Reply, ErrorState& Error) {
  if (!Reply.HasEnvelope()) return false;
  CopyCodeAndMessage(Reply.Answer, Error);
  return ReadOk(Reply.Answer).value_or(false);
}

}  // namespace driver
