// DeviceTest and GetDataKKT: does the register answer, and how is it
// registered.
#include <array>
#include <string>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/device_answer.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"
#include "platform/message_box.h"

namespace json = driver::json;
using driver::TryRead;

namespace {

// The text form of a member that must be there: false when it is missing or
// its value broke off.
bool TakeMemberText(const json::Value& Answer, const char* Name, std::u16string& Text) {
  const json::Value* V = json::Find(Answer, Name);
  if (!V || V->IsAbsent()) return false;
  Text = json::TextForm(V);
  return true;
}

// The device parameters document: one element whose 29 attributes always
// appear, in this order.
enum class AttributeKind { Text, Boolean, Version, TaxSystems, Fixed };

struct Attribute {
  const char* Name;
  const char* Tag;  // nullptr for the attributes no tag feeds
  AttributeKind Kind;
};

constexpr std::array<Attribute, 29> kAttributes = {{
    {"KKTNumber", "T1037", AttributeKind::Text},
    {"KKTSerialNumber", "T1013", AttributeKind::Text},
    {"Fiscal", nullptr, AttributeKind::Fixed},
    {"FFDVersionFN", "T1190", AttributeKind::Version},
    {"FFDVersionKKT", "T1189", AttributeKind::Version},
    {"FNSerialNumber", "T1041", AttributeKind::Text},
    {"DocumentNumber", "T1040", AttributeKind::Text},
    {"DateTime", "T1012", AttributeKind::Text},
    {"OrganizationName", "T1048", AttributeKind::Text},
    {"VATIN", "T1018", AttributeKind::Text},
    {"AddressSettle", "T1009", AttributeKind::Text},
    {"PlaceSettle", "T1187", AttributeKind::Text},
    {"TaxVariant", "T1062", AttributeKind::TaxSystems},
    {"OfflineMode", "T1002", AttributeKind::Boolean},
    {"DataEncryption", "T1056", AttributeKind::Boolean},
    {"ServiceSign", "T1109", AttributeKind::Boolean},
    {"SaleExcisableGoods", "T1207", AttributeKind::Boolean},
    {"SignOfGambling", "T1193", AttributeKind::Boolean},
    {"SignOfLottery", "T1126", AttributeKind::Boolean},
    {"SignOfAgent", nullptr, AttributeKind::Fixed},
    {"BSOSing", "T1110", AttributeKind::Boolean},
    {"CalcOnlineSign", "T1108", AttributeKind::Boolean},
    {"PrinterAutomatic", "T1221", AttributeKind::Boolean},
    {"AutomaticMode", "T1001", AttributeKind::Boolean},
    {"AutomaticNumber", "T1036", AttributeKind::Text},
    {"OFDOrganizationName", "T1046", AttributeKind::Text},
    {"OFDVATIN", "T1017", AttributeKind::Text},
    {"FNSWebSite", "T1060", AttributeKind::Text},
    {"SenderEmail", "T1117", AttributeKind::Text},
}};

constexpr std::size_t kKKTNumber = 0;
constexpr std::size_t kFiscal = 2;

struct AttributeValue {
  std::u16string Text;
  bool Flag = false;
};

// Each tax system code travels to the host one lower, joined by ",".
std::u16string TaxSystemsText(const json::Value* V) {
  std::u16string Text;
  for (const json::Value& Element : json::ReadArray(V).Elements()) {
    if (!Text.empty()) Text += u',';
    Text += base::ToU16(std::to_string(static_cast<std::int64_t>(json::ReadInt(&Element)) - 1));
  }
  return Text;
}

void TakeRegistrationValue(const Attribute& A, const json::Value& V, AttributeValue& Out) {
  switch (A.Kind) {
    case AttributeKind::Text: Out.Text = json::TextForm(&V); break;
    case AttributeKind::Boolean: TryRead([&] { Out.Flag = json::ReadBool(&V); }); break;
    case AttributeKind::Version: {
      std::int32_t Version = 0;
      if (!base::TryParseInt32(json::TextForm(&V), Version)) break;
      if (Version == 2) Out.Text = u"1.0.5";
      if (Version == 3) Out.Text = u"1.1";
      break;
    }
    case AttributeKind::TaxSystems:
    case AttributeKind::Fixed: break;
  }
}

}  // namespace

bool TMyClass::DeviceTest(V8Variant* RetValue, V8Variant* Params) {
  ApplyDefaultAddressIfBlank();
  const driver::DeviceReply Reply = GetFromApi("/api/1/getallinfo");
  const json::Value& Answer = Reply.Answer;

  std::u16string Number, SerialNumber;
  if (Reply.HasEnvelope()) {
    if (!TakeMemberText(Answer, "num", Number) || !TakeMemberText(Answer, "ser_num", SerialNumber))
      platform::ShowMessageBox(
          std::u16string(driver::ErrorText(driver::DriverError::NoAnswerToGet)));
  }

  if (base::IsBlank(Number)) {
    WriteText(&Params[0], u"Ошибка подключения устройства.");
    WriteText(&Params[1], u"");
    V8SetBool(RetValue, false);
  } else {
    WriteText(&Params[0], u"Устройство работает в штатном режиме, полет нормальный. OrlaNumber=" +
                              Number + u" serNumber=" + SerialNumber);
    WriteText(&Params[1], u"");
    V8SetBool(RetValue, true);
  }
  return true;
}

bool TMyClass::GetDataKKT(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const json::Value Answer = GetFromApi("/api/1/register/info").Answer;

  const std::optional<bool> Ok = driver::ReadOk(Answer);
  if (!Ok) Error.Set(driver::DriverError::BadAnswer);

  std::array<AttributeValue, kAttributes.size()> Values;
  if (Ok.value_or(false)) {
    for (const json::Member& M : Answer.Members())
      for (std::size_t I = 0; I < kAttributes.size(); ++I)
        if (kAttributes[I].Tag && M.Name == kAttributes[I].Tag)
          TakeRegistrationValue(kAttributes[I], M.Val, Values[I]);
    // The tax systems come from the first member of that name.
    for (std::size_t I = 0; I < kAttributes.size(); ++I)
      if (kAttributes[I].Kind == AttributeKind::TaxSystems)
        TryRead([&] { Values[I].Text = TaxSystemsText(json::Find(Answer, kAttributes[I].Tag)); });
    Values[kFiscal].Flag = !Values[kKKTNumber].Text.empty();
  }

  // The envelope goes into the error state whatever "ok" said; a member that
  // does not read as its type leaves the error state as it was.
  if (const json::Value* Code = json::Find(Answer, "code"))
    TryRead([&] { Error.CopyRefusalCode(json::ReadInt(Code)); });
  if (const json::Value* Message = json::Find(Answer, "message"))
    TryRead([&] { Error.CopyRefusalMessage(json::ReadString(Message)); });
  if (const json::Value* Errors = json::Find(Answer, "errors"))
    TryRead([&] { Error.CopyRefusalMessage(Error.Message() + u" " + json::ReadString(Errors)); });

  pugi::xml_document Document;
  driver::StartHostXml(Document, driver::XmlForm::Text);
  pugi::xml_node Element = Document.append_child("Parameters");
  for (std::size_t I = 0; I < kAttributes.size(); ++I) {
    const bool IsFlag = kAttributes[I].Kind == AttributeKind::Boolean || I == kFiscal;
    if (IsFlag)
      driver::SetAttribute(Element, kAttributes[I].Name, Values[I].Flag);
    else
      driver::SetAttribute(Element, kAttributes[I].Name, Values[I].Text);
  }
  WriteText(&Params[1], driver::HostXmlText(Document));
  V8SetBool(RetValue, Ok.value_or(false));
  return true;
}
