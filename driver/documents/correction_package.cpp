#include "driver/documents/correction_package.h"

#include <pugixml.hpp>

#include "base/utf.h"
#include "driver/host_attributes.h"
#include "driver/host_xml.h"
#include "driver/package_reading.h"
#include "driver/request_fields.h"

namespace driver {
namespace {

// The correction-base attributes begin with the Cyrillic letter Es (U+0421).
constexpr char kBaseDate[] = "\xD0\xA1orrectionBaseDate";
constexpr char kBaseNumber[] = "\xD0\xA1orrectionBaseNumber";

using P = CorrectionPackage;
using take::Amount;
using take::NonEmptyText;

constexpr AttributeRule<P> kParameters[] = {
    {kBaseDate, take::Text<&P::CorrectionBaseDate>},
    {kBaseNumber, take::Text<&P::CorrectionBaseNumber>},
    {"CashierName", NonEmptyText<&P::CashierName>},
    {"CashierVATIN", NonEmptyText<&P::CashierVATIN>},
    {"AdditionalAttribute", NonEmptyText<&P::AdditionalAttribute>},
    {"CorrectionType", take::Integer<&P::CorrectionType>},
    {"TaxVariant", take::CodePlusOne<&P::TaxVariant>},
    {"PaymentType", take::Integer<&P::PaymentType>},
    {"Sum", Amount<&P::Sum>},
    {"SumTAX20", Amount<&P::SumTAX20>},
    {"SumTAX10", Amount<&P::SumTAX10>},
    {"SumTAX0", Amount<&P::SumTAX0>},
    {"SumTAXNone", Amount<&P::SumTAXNone>},
    {"SumTAX120", Amount<&P::SumTAX120>},
    {"SumTAX110", Amount<&P::SumTAX110>},
};

constexpr AttributeRule<P> kPayments[] = {
    {"Cash", Amount<&P::Cash>},
    {"ElectronicPayment", Amount<&P::ElectronicPayment>},
    {"AdvancePayment", Amount<&P::AdvancePayment>},
    {"Credit", Amount<&P::Credit>},
    {"CashProvision", Amount<&P::CashProvision>},
};

}  // namespace

CorrectionPackage ReadCorrectionPackage(const std::u16string& PackageText) {
  pugi::xml_document Document;
  LoadHostXml(Document, PackageText);
  CorrectionPackage Package;
  const pugi::xml_node Root = Document.document_element();
  if (!base::SameName(Root.name(), "CheckCorrectionPackage")) return Package;
  for (const pugi::xml_node& Child : Root.children()) {
    if (base::SameName(Child.name(), "Parameters"))
      ReadAttributes(Child, kParameters, Package);
    else if (base::SameName(Child.name(), "Payments"))
      ReadAttributes(Child, kPayments, Package);
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
