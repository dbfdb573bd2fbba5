#include "driver/correction_package.h"

#include <cstring>

#include <pugixml.hpp>

#include "driver/host_xml.h"
#include "driver/package_reading.h"
#include "v8napi/text_rules.h"

namespace driver {
namespace {

bool Is(const char* Name, const char* Expected) { return std::strcmp(Name, Expected) == 0; }

// The correction-base attributes begin with the Cyrillic letter Es (U+0421).
constexpr char kBaseDate[] = "\xD0\xA1orrectionBaseDate";
constexpr char kBaseNumber[] = "\xD0\xA1orrectionBaseNumber";

void ReadParameters(const pugi::xml_node& Node, CorrectionPackage& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const std::u16string Text = AttributeText(A);
    if (Is(N, kBaseDate)) {
      P.CorrectionBaseDate = Text;
    } else if (Is(N, kBaseNumber)) {
      P.CorrectionBaseNumber = Text;
    } else if (Is(N, "CashierName")) {
      P.CashierName = ToNonEmptyText(Text, N);
    } else if (Is(N, "CashierVATIN")) {
      P.CashierVATIN = ToNonEmptyText(Text, N);
    } else if (Is(N, "AdditionalAttribute")) {
      P.AdditionalAttribute = ToNonEmptyText(Text, N);
    } else if (Is(N, "CorrectionType")) {
      P.CorrectionType = ToInteger(Text, N);
    } else if (Is(N, "TaxVariant")) {
      const std::int32_t Variant = ToInteger(Text, N);
      if (Variant == INT32_MAX) throw BadInput("out of range \"TaxVariant\"");
      P.TaxVariant = Variant + 1;
    } else if (Is(N, "PaymentType")) {
      P.PaymentType = ToInteger(Text, N);
    } else {
      double* Amount = Is(N, "Sum")          ? &P.Sum
                       : Is(N, "SumTAX20")   ? &P.SumTAX20
                       : Is(N, "SumTAX10")   ? &P.SumTAX10
                       : Is(N, "SumTAX0")    ? &P.SumTAX0
                       : Is(N, "SumTAXNone") ? &P.SumTAXNone
                       : Is(N, "SumTAX120")  ? &P.SumTAX120
                       : Is(N, "SumTAX110")  ? &P.SumTAX110
                                             : nullptr;
      if (Amount) *Amount = ToAmount(Text, N);
    }
  }
}

void ReadPayments(const pugi::xml_node& Node, CorrectionPackage& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    double* Amount = Is(N, "Cash")                ? &P.Cash
                     : Is(N, "ElectronicPayment") ? &P.ElectronicPayment
                     : Is(N, "AdvancePayment")    ? &P.AdvancePayment
                     : Is(N, "Credit")            ? &P.Credit
                     : Is(N, "CashProvision")     ? &P.CashProvision
                                                  : nullptr;
    if (Amount) *Amount = ToAmount(AttributeText(A), N);
  }
}

void AddAmountIfPositive(json::Value& Object, const char* Tag, double Amount) {
  if (Amount > 0) Object.Add(Tag, json::Value::Number(Amount));
}

void AddTextIfAny(json::Value& Object, const char* Tag, const std::u16string& Text) {
  if (!Text.empty()) Object.Add(Tag, json::Value::String(Text));
}

std::u16string Digits(std::int32_t Value) {
  const std::string Text = std::to_string(Value);
  return std::u16string(Text.begin(), Text.end());
}

}  // namespace

CorrectionPackage ReadCorrectionPackage(const std::u16string& PackageText) {
  pugi::xml_document Document;
  LoadHostXml(Document, PackageText);
  v8text::SetDecimalSeparator(u'.');
  CorrectionPackage Package;
  const pugi::xml_node Root = Document.document_element();
  if (!Is(Root.name(), "CheckCorrectionPackage")) return Package;
  for (const pugi::xml_node& Child : Root.children()) {
    if (Is(Child.name(), "Parameters"))
      ReadParameters(Child, Package);
    else if (Is(Child.name(), "Payments"))
      ReadPayments(Child, Package);
  }
  return Package;
}

json::Value BuildCorrectionRequest(const CorrectionPackage& P) {
  json::Value Request = json::Value::Object();
  Request.Add("T1054", json::Value::String(Digits(P.PaymentType)));
  Request.Add("T1055", json::Value::String(Digits(P.TaxVariant)));
  Request.Add("T1020", json::Value::Number(P.Sum));
  Request.Add("T1031", json::Value::Number(P.Cash));
  Request.Add("T1081", json::Value::Number(P.ElectronicPayment));
  AddAmountIfPositive(Request, "T1215", P.AdvancePayment);
  AddAmountIfPositive(Request, "T1216", P.Credit);
  AddAmountIfPositive(Request, "T1217", P.CashProvision);
  AddAmountIfPositive(Request, "T1102", P.SumTAX20);
  AddAmountIfPositive(Request, "T1103", P.SumTAX10);
  AddAmountIfPositive(Request, "T1104", P.SumTAX0);
  AddAmountIfPositive(Request, "T1105", P.SumTAXNone);
  AddAmountIfPositive(Request, "T1106", P.SumTAX120);
  AddAmountIfPositive(Request, "T1107", P.SumTAX110);
  AddTextIfAny(Request, "T1192", P.AdditionalAttribute);
  AddTextIfAny(Request, "T1021", P.CashierName);
  AddTextIfAny(Request, "T1203", P.CashierVATIN);
  Request.Add("T1173", json::Value::Boolean(P.CorrectionType != 0));
  json::Value Base = json::Value::Object();
  Base.Add("T1178", json::Value::String(P.CorrectionBaseDate));
  Base.Add("T1179", json::Value::String(P.CorrectionBaseNumber));
  Request.Add("T1174", std::move(Base));
  return Request;
}

}  // namespace driver
