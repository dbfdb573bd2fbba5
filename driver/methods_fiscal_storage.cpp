// OperationFN: registering the register, changing its registration data,
// and closing its fiscal storage.
#include <cstring>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/device_answer.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"
#include "driver/package_reading.h"
#include "driver/request_fields.h"

namespace json = driver::json;

namespace {

// The registration input document, in the vocabulary of the device
// parameters document plus the cashier and the reason code.
struct Registration {
  std::u16string CashierName, CashierVATIN, KKTNumber, OrganizationName, VATIN, AddressSettle,
      PlaceSettle, AutomaticNumber, OFDOrganizationName, OFDVATIN, FNSWebSite, SenderEmail;
  std::vector<std::int32_t> TaxVariant, SignOfAgent;
  bool SignOfAgentGiven = false;
  bool OfflineMode = false, DataEncryption = false, ServiceSign = false, SaleExcisableGoods = false,
       SignOfGambling = false, SignOfLottery = false, BSOSing = false, CalcOnlineSign = false,
       PrinterAutomatic = false, AutomaticMode = false;
  std::int32_t ReasonCode = 0;
};

bool ToBoolean(const std::u16string& Text, const char* Name) {
  const std::optional<bool> Value = json::TextToBoolean(Text);
  if (!Value) throw driver::BadInput(std::string("not a Boolean \"") + Name + "\"");
  return *Value;
}

std::int32_t ToIntegerText(const std::u16string& Text, const char* Name) {
  std::int32_t Value = 0;
  if (!base::TryParseInt32(Text, Value))
    throw driver::BadInput(std::string("not an integer \"") + Name + "\"");
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
    Codes.push_back(
        driver::RegisterCode(ToIntegerText(Text.substr(Start, Comma - Start), Name), Name));
    if (Comma == std::u16string::npos) break;
    Start = Comma + 1;
  }
  return Codes;
}

Registration ReadRegistration(const std::u16string& Text) {
  pugi::xml_document Document;
  driver::LoadHostXml(Document, Text);
  Registration R;
  const pugi::xml_node Root = Document.document_element();
  if (!base::SameName(Root.name(), "Parameters")) return R;
  const std::pair<const char*, std::u16string*> Texts[] = {
      {"CashierName", &R.CashierName},
      {"CashierVATIN", &R.CashierVATIN},
      {"KKTNumber", &R.KKTNumber},
      {"OrganizationName", &R.OrganizationName},
      {"VATIN", &R.VATIN},
      {"AddressSettle", &R.AddressSettle},
      {"PlaceSettle", &R.PlaceSettle},
      {"AutomaticNumber", &R.AutomaticNumber},
      {"OFDOrganizationName", &R.OFDOrganizationName},
      {"OFDVATIN", &R.OFDVATIN},
      {"FNSWebSite", &R.FNSWebSite},
      {"SenderEmail", &R.SenderEmail}};
  const std::pair<const char*, bool*> Flags[] = {{"OfflineMode", &R.OfflineMode},
                                                 {"DataEncryption", &R.DataEncryption},
                                                 {"ServiceSign", &R.ServiceSign},
                                                 {"SaleExcisableGoods", &R.SaleExcisableGoods},
                                                 {"SignOfGambling", &R.SignOfGambling},
                                                 {"SignOfLottery", &R.SignOfLottery},
                                                 {"BSOSing", &R.BSOSing},
                                                 {"CalcOnlineSign", &R.CalcOnlineSign},
                                                 {"PrinterAutomatic", &R.PrinterAutomatic},
                                                 {"AutomaticMode", &R.AutomaticMode}};
  for (const pugi::xml_attribute& A : Root.attributes()) {
    const char* N = A.name();
    const std::u16string Value = driver::AttributeText(A);
    for (const auto& [Name, Field] : Texts)
      if (base::SameName(N, Name)) *Field = Value;
    for (const auto& [Name, Field] : Flags)
      if (base::SameName(N, Name)) *Field = ToBoolean(Value, Name);
    if (base::SameName(N, "TaxVariant")) R.TaxVariant = ToCodeList(Value, N);
    if (base::SameName(N, "SignOfAgent")) {
      R.SignOfAgent = ToCodeList(Value, N);
      R.SignOfAgentGiven = !Value.empty();
    }
    if (base::SameName(N, "ReasonCode")) R.ReasonCode = ToIntegerText(Value, N);
  }
  return R;
}

json::Value CodeArray(const std::vector<std::int32_t>& Codes) {
  json::Value Array = json::Value::Array();
  for (const std::int32_t Code : Codes) Array.Push(json::Value::Integer(Code));
  return Array;
}

// The cashier (when the register is not in automatic mode) and the place of
// settlement close both the registration and the closing request.
void AddCashierAndPlace(json::Value& Request, const Registration& R) {
  if (!R.AutomaticMode) Request.Add("T1021", json::Value::String(R.CashierName));
  driver::AddTextIfAny(Request, "T1203", R.CashierVATIN);
  driver::AddTextIfAny(Request, "T1009", R.AddressSettle);
  driver::AddTextIfAny(Request, "T1187", R.PlaceSettle);
}

json::Value RegistrationRequest(const Registration& R, bool WithReason) {
  json::Value Q = json::Value::Object();
  if (WithReason) Q.Add("T1101", json::Value::Integer(R.ReasonCode));
  Q.Add("T1048", json::Value::String(R.OrganizationName));
  Q.Add("T1018", json::Value::String(R.VATIN));
  Q.Add("T1062", CodeArray(R.TaxVariant));
  Q.Add("T1037", json::Value::String(R.KKTNumber));
  Q.Add("T1002", json::Value::Boolean(R.OfflineMode));
  Q.Add("T1221", json::Value::Boolean(R.PrinterAutomatic));
  Q.Add("T1110", json::Value::Boolean(R.BSOSing));
  Q.Add("T1056", json::Value::Boolean(R.DataEncryption));
  Q.Add("T1001", json::Value::Boolean(R.AutomaticMode));
  Q.Add("T1108", json::Value::Boolean(R.CalcOnlineSign));
  if (R.AutomaticMode) Q.Add("T1036", json::Value::String(R.AutomaticNumber));
  // These flags are sent only when set.
  if (R.SaleExcisableGoods) Q.Add("T1207", json::Value::Boolean(true));
  if (R.ServiceSign) Q.Add("T1109", json::Value::Boolean(true));
  if (R.SignOfGambling) Q.Add("T1193", json::Value::Boolean(true));
  if (R.SignOfLottery) Q.Add("T1126", json::Value::Boolean(true));
  if (R.SignOfAgentGiven) Q.Add("T1057", CodeArray(R.SignOfAgent));
  AddCashierAndPlace(Q, R);
  driver::AddTextIfAny(Q, "T1117", R.SenderEmail);
  driver::AddTextIfAny(Q, "T1017", R.OFDVATIN);
  driver::AddTextIfAny(Q, "T1046", R.OFDOrganizationName);
  driver::AddTextIfAny(Q, "T1060", R.FNSWebSite);
  return Q;
}

json::Value ClosingRequest(const Registration& R) {
  json::Value Q = json::Value::Object();
  AddCashierAndPlace(Q, R);
  return Q;
}

}  // namespace

bool TMyClass::OperationFN(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const std::int32_t Operation = V8GetInt(&Params[1]);
  const Registration R = ReadRegistration(ReadText(&Params[2]));

  // 1 registration, 2 change of registration data, 3 closing the fiscal
  // storage; any other type posts {} and lets the register decide.
  const char* Path = Operation == 3 ? "/api/1/finalize" : "/api/1/register";
  json::Value Request = Operation == 1 || Operation == 2 ? RegistrationRequest(R, Operation == 2)
                        : Operation == 3                 ? ClosingRequest(R)
                                                         : json::Value::Object();
  const driver::DeviceReply Reply = PostToApi(Path, json::Write(Request));

  bool Ok = false;
  if (Reply.HasEnvelope()) {
    Ok = driver::ReadOk(Reply.Answer).value_or(false);
    driver::CopyCodeAndMessage(Reply.Answer, Error);
  }
  V8SetBool(RetValue, Ok);
  return true;
}
