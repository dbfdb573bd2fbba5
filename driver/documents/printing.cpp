#include "driver/documents/printing.h"

#include <cmath>
#include <utility>

#include <pugixml.hpp>

#include "driver/host_attributes.h"
#include "driver/host_xml.h"
#include "driver/json/json.h"

namespace driver {
namespace {

// The print element model: {"data":[{kind: content}, ...]}.
class PrintDocument {
 public:
  PrintDocument() : Elements_(json::Value::Array()) {}
  void Text(const char* Kind, const std::u16string& Text) { Add(Kind, json::Value::String(Text)); }
  void Rule() { Add("hr", json::Value::Boolean(true)); }
  void Feed(int Lines) { Add("feed", json::Value::StringUtf8(std::to_string(Lines) + " lines")); }
  std::string Body() && {
    json::Value Request = json::Value::Object();
    Request.Add("data", std::move(Elements_));
    return json::Write(Request);
  }

 private:
  void Add(const char* Kind, json::Value Content) {
    json::Value Element = json::Value::Object();
    Element.Add(Kind, std::move(Content));
    Elements_.Push(std::move(Element));
  }
  json::Value Elements_;
};

pugi::xml_attribute RequiredAttribute(const pugi::xml_node& Node, const char* Name) {
  const pugi::xml_attribute A = Node.attribute(Name);
  if (!A) throw BadInput(std::string(Node.name()) + " without \"" + Name + "\"");
  return A;
}

constexpr AttributeRule<CashSlipInput> kCashier[] = {
    {"CashierName", take::TextUnlessEmpty<&CashSlipInput::CashierName>},
    {"CashierVATIN", take::TextUnlessEmpty<&CashSlipInput::CashierVATIN>},
};

}  // namespace

std::string TextDocumentRequest(std::u16string_view Text) {
  pugi::xml_document Input;
  LoadHostXml(Input, Text);
  PrintDocument Print;
  for (const pugi::xml_node& Positions : Input.document_element().children("Positions")) {
    for (const pugi::xml_node& Item : Positions.children()) {
      if (base::SameName(Item.name(), "TextString")) {
        Print.Text("left", AttributeText(RequiredAttribute(Item, "Text")));
      } else if (base::SameName(Item.name(), "Barcode")) {
        RequiredAttribute(Item, "BarcodeType");
        RequiredAttribute(Item, "Barcode");
      }
    }
  }
  Print.Rule();
  Print.Feed(8);
  return std::move(Print).Body();
}

CashSlipInput ReadCashSlipInput(std::u16string_view Text) {
  return ReadRootAttributes(Text, "Parameters", kCashier);
}

std::string CashSlipRequest(const CashSlipInput& Input, double Amount) {
  PrintDocument Slip;
  Slip.Text("center", Amount < 0 ? u"ВЫЕМКА" : u"ВНЕСЕНИЕ");
  Slip.Feed(1);
  Slip.Text("left", Input.CashierName);
  Slip.Text("left", Input.CashierVATIN);
  Slip.Feed(1);
  Slip.Text("right", json::FormatGeneral15(std::fabs(Amount), u'.'));
  Slip.Feed(3);
  return std::move(Slip).Body();
}

bool PrintOutcome(const DeviceReply& Reply, ErrorState& Error) {
  const std::optional<bool> Ok = Reply.HasEnvelope() ? ReadOk(Reply.Answer) : std::nullopt;
  if (Ok && *Ok) {
    Error.Clear();
    return true;
  }
  Error.Set(Ok ? DriverError::PrintRefused : DriverError::NoPrintAnswer);
  return false;
}

}  // namespace driver
