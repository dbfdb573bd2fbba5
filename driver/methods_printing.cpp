// PrintTextDocument and CashInOutcome: non-fiscal documents printed through
// "/api/1/printany" as a list of print elements.
#include <cmath>
#include <cstring>
#include <string>

#include <pugixml.hpp>

#include "driver/device_answer.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"
#include "driver/package_reading.h"

namespace json = driver::json;

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

// The register's answer to a print request; only "ok" counts. The error
// state is always overwritten: 0 when printed, 5 when refused, 2 when the
// answer says nothing readable.
bool EvaluatePrintAnswer(const driver::DeviceReply& Reply, driver::ErrorState& Error) {
  const std::optional<bool> Ok = Reply.HasEnvelope() ? driver::ReadOk(Reply.Answer) : std::nullopt;
  if (Ok && *Ok) {
    Error.Clear();
    return true;
  }
  Error.Set(Ok ? driver::DriverError::PrintRefused : driver::DriverError::NoPrintAnswer);
  return false;
}

const pugi::xml_attribute RequiredAttribute(const pugi::xml_node& Node, const char* Name) {
  const pugi::xml_attribute A = Node.attribute(Name);
  if (!A) throw driver::BadInput(std::string(Node.name()) + " without \"" + Name + "\"");
  return A;
}

}  // namespace

bool TMyClass::PrintTextDocument(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  pugi::xml_document Input;
  driver::LoadHostXml(Input, ReadText(&Params[1]));

  PrintDocument Print;
  for (const pugi::xml_node& Positions : Input.document_element().children("Positions")) {
    for (const pugi::xml_node& Item : Positions.children()) {
      if (base::SameName(Item.name(), "TextString")) {
        Print.Text("left", driver::AttributeText(RequiredAttribute(Item, "Text")));
      } else if (base::SameName(Item.name(), "Barcode")) {
        // Barcodes are not printed, but must be well-formed.
        RequiredAttribute(Item, "BarcodeType");
        RequiredAttribute(Item, "Barcode");
      }
    }
  }
  Print.Rule();
  Print.Feed(8);

  const driver::DeviceReply Reply = PostToApi("/api/1/printany", std::move(Print).Body());
  V8SetBool(RetValue, EvaluatePrintAnswer(Reply, Error));
  return true;
}

bool TMyClass::CashInOutcome(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const std::u16string InputText = ReadText(&Params[1]);
  // Read before the separator becomes ".": a text amount converts by the
  // setting the process had when the call came.
  const double Amount = V8GetDouble(&Params[2]);
  pugi::xml_document Input;
  driver::LoadHostXml(Input, InputText);

  std::u16string CashierName, CashierVATIN;
  const pugi::xml_node Root = Input.document_element();
  if (base::SameName(Root.name(), "Parameters")) {
    for (const pugi::xml_attribute& A : Root.attributes()) {
      const std::u16string Value = driver::AttributeText(A);
      if (Value.empty()) continue;  // an empty value is passed over
      if (base::SameName(A.name(), "CashierName")) CashierName = Value;
      if (base::SameName(A.name(), "CashierVATIN")) CashierVATIN = Value;
    }
  }

  PrintDocument Slip;
  Slip.Text("center", Amount < 0 ? u"ВЫЕМКА" : u"ВНЕСЕНИЕ");
  Slip.Feed(1);
  Slip.Text("left", CashierName);
  Slip.Text("left", CashierVATIN);
  Slip.Feed(1);
  Slip.Text("right", json::FormatGeneral15(std::fabs(Amount), u'.'));
  Slip.Feed(3);

  const driver::DeviceReply Reply = PostToApi("/api/1/printany", std::move(Slip).Body());
  V8SetBool(RetValue, EvaluatePrintAnswer(Reply, Error));
  return true;
}
