#include "driver/correction_package.h"

#include <cstring>

#include <pugixml.hpp>

#include "base/utf.h"
#include "driver/host_xml.h"
#include "driver/package_reading.h"
#include "driver/request_fields.h"

namespace driver {
namespace {

// The correction-base attributes begin with the Cyrillic letter Es (U+0421).
constexpr char kBaseDate[] = "\xD0\xA1orrectionBaseDate";
constexpr char kBaseNumber[] = "\xD0\xA1orrectionBaseNumber";

void ReadParameters(const pugi::xml_node& Node, CorrectionPackage& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    const char* Text = A.value();
    const auto NonEmpty = [&] {
      return base::Utf8ToUtf16(ToNonEmptyText(std::string_view(Text), N));
    };
    if (base::SameName(N, kBaseDate)) {
      P.CorrectionBaseDate = AttributeText(A);
    } else if (base::SameName(N, kBaseNumber)) {
      P.CorrectionBaseNumber = AttributeText(A);
    } else if (base::SameName(N, "CashierName")) {
      P.CashierName = NonEmpty();
    } else if (base::SameName(N, "CashierVATIN")) {
      P.CashierVATIN = NonEmpty();
    } else if (base::SameName(N, "AdditionalAttribute")) {
      P.AdditionalAttribute = NonEmpty();
    } else if (base::SameName(N, "CorrectionType")) {
      P.CorrectionType = ToInteger(Text, N);
    } else if (base::SameName(N, "TaxVariant")) {
      P.TaxVariant = RegisterCode(ToInteger(Text, N), N);
    } else if (base::SameName(N, "PaymentType")) {
      P.PaymentType = ToInteger(Text, N);
    } else {
      double* Amount = base::SameName(N, "Sum")          ? &P.Sum
                       : base::SameName(N, "SumTAX20")   ? &P.SumTAX20
                       : base::SameName(N, "SumTAX10")   ? &P.SumTAX10
                       : base::SameName(N, "SumTAX0")    ? &P.SumTAX0
                       : base::SameName(N, "SumTAXNone") ? &P.SumTAXNone
                       : base::SameName(N, "SumTAX120")  ? &P.SumTAX120
                       : base::SameName(N, "SumTAX110")  ? &P.SumTAX110
                                                         : nullptr;
      if (Amount) *Amount = ToAmount(Text, N);
    }
  }
}

void ReadPayments(const pugi::xml_node& Node, CorrectionPackage& P) {
  for (const pugi::xml_attribute& A : Node.attributes()) {
    const char* N = A.name();
    double* Amount = base::SameName(N, "Cash")                ? &P.Cash
                     : base::SameName(N, "ElectronicPayment") ? &P.ElectronicPayment
                     : base::SameName(N, "AdvancePayment")    ? &P.AdvancePayment
                     : base::SameName(N, "Credit")            ? &P.Credit
                     : base::SameName(N, "CashProvision")     ? &P.CashProvision
                                                              : nullptr;
    if (Amount) *Amount = ToAmount(A.value(), N);
  }
}

}  // namespace

CorrectionPackage ReadCorrectionPackage(const std::u16string& PackageText) {
  pugi::xml_document Document;
  LoadHostXml(Document, PackageText);
  CorrectionPackage Package;
  const pugi::xml_node Root = Document.document_element();
  if (!base::SameName(Root.name(), "CheckCorrectionPackage")) return Package;
  for (const pugi::xml_node& Child : Root.children()) {
    if (base::SameName(Child.name(), "Parameters"))
      ReadParameters(Child, Package);
    else if (base::SameName(Child.name(), "Payments"))
      ReadPayments(Child, Package);
  }
  return Package;
}

json::Value BuildCorrectionRequest(const CorrectionPackage& P) {
  json::Value Request = json::Value::Object();
  Request.Add("T1054", DigitsString(P.PaymentType));
  Request.Add("T1055", DigitsString(P.TaxVariant));
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
