#include "driver/documents/device_info.h"

#include <array>
#include <string>

#include <pugixml.hpp>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/host_xml.h"

namespace driver {
namespace {

// The text form of a member that must be there: false when it is missing or
// its value broke off.
bool TakeMemberText(const json::Value& Answer, const char* Name, std::u16string& Text) {
  const json::Value* V = json::Find(Answer, Name);
  if (!V || V->IsAbsent()) return false;
  Text = json::TextForm(V);
  return true;
}

// The device parameters document's attributes, in their order.
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
    Text +=
        base::WidenBytes(std::to_string(static_cast<std::int64_t>(json::ReadInt(&Element)) - 1));
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

DeviceTestOutcome ReadDeviceTest(const DeviceReply& Reply) {
  DeviceTestOutcome Out;
  std::u16string Number, SerialNumber;
  if (Reply.HasEnvelope())
    Out.AnswerIncomplete = !TakeMemberText(Reply.Answer, "num", Number) ||
                           !TakeMemberText(Reply.Answer, "ser_num", SerialNumber);
  Out.Works = !base::IsBlank(Number);
  if (Out.Works)
    Out.Description = u"Устройство работает в штатном режиме, полет нормальный. OrlaNumber=" +
                      Number + u" serNumber=" + SerialNumber;
  else
    Out.Description = u"Ошибка подключения устройства.";
  return Out;
}

DeviceParameters ReadDeviceParameters(const json::Value& Answer, ErrorState& Error) {
  const std::optional<bool> Ok = ReadOk(Answer);
  if (!Ok) Error.Set(DriverError::BadAnswer);

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

  // A member of the envelope that does not read as its type leaves the error
  // state as it was.
  if (const json::Value* Code = json::Find(Answer, "code"))
    TryRead([&] { Error.CopyRefusalCode(json::ReadInt(Code)); });
  if (const json::Value* Message = json::Find(Answer, "message"))
    TryRead([&] { Error.CopyRefusalMessage(json::ReadString(Message)); });
  if (const json::Value* Errors = json::Find(Answer, "errors"))
    TryRead([&] { Error.CopyRefusalMessage(Error.Message() + u" " + json::ReadString(Errors)); });

  pugi::xml_document Document;
  StartHostXml(Document, XmlForm::Text);
  pugi::xml_node Element = Document.append_child("Parameters");
  for (std::size_t I = 0; I < kAttributes.size(); ++I) {
    const bool IsFlag = kAttributes[I].Kind == AttributeKind::Boolean || I == kFiscal;
    if (IsFlag)
      SetAttribute(Element, kAttributes[I].Name, Values[I].Flag);
    else
      SetAttribute(Element, kAttributes[I].Name, Values[I].Text);
  }
  return {Ok.value_or(false), HostXmlText(Document)};
}

}  // namespace driver
