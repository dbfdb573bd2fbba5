// OpenShift and CloseShift: twins that post the cashier and read the shift's
// numbers, counters and fiscal storage warnings. Where they differ (which
// taxpayer numbers are sent, how answer failures touch the error state and
// the outcome, the output attributes) the difference is spelled out here.
#include <cstring>
#include <string>

#include <pugixml.hpp>

#include "driver/device_answer.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"
#include "driver/package_reading.h"

namespace json = driver::json;
using driver::TakeTextForm;
using driver::TryRead;

namespace {

struct Cashier {
  std::u16string Name, VATIN;
};

// Every "Parameters" child of the document element, in order; a later
// attribute replaces an earlier one.
Cashier ReadShiftInput(const std::u16string& Text) {
  pugi::xml_document Document;
  driver::LoadHostXml(Document, Text);
  Cashier C;
  for (const pugi::xml_node& Child : Document.document_element().children("Parameters")) {
    for (const pugi::xml_attribute& A : Child.attributes()) {
      if (base::SameName(A.name(), "CashierName")) C.Name = driver::AttributeText(A);
      if (base::SameName(A.name(), "CashierVATIN")) C.VATIN = driver::AttributeText(A);
    }
  }
  return C;
}

enum class Shift { Open, Close };

std::string ShiftRequest(const Cashier& C, Shift Kind) {
  json::Value Request = json::Value::Object();
  if (!C.Name.empty()) Request.Add("T1021", json::Value::String(C.Name));
  // Closing sends only a person's taxpayer number (12 characters).
  const bool SendVATIN = Kind == Shift::Open ? !C.VATIN.empty() : C.VATIN.size() == 12;
  if (SendVATIN) Request.Add("T1203", json::Value::String(C.VATIN));
  return json::Write(Request);
}

struct StorageWarnings {
  bool ResourcesExhaustion = false;  // T1050
  bool UrgentReplacement = false;    // T1051
  bool MemoryOverflow = false;       // T1052
  bool OFDTimeout = false;           // T1053
};

// The optional flags are read only when present; false when the first
// present one does not read as a Boolean (those read before it stay).
bool ReadWarnings(const json::Value& Data, StorageWarnings& W) {
  const std::pair<const char*, bool*> Flags[] = {{"T1050", &W.ResourcesExhaustion},
                                                 {"T1051", &W.UrgentReplacement},
                                                 {"T1052", &W.MemoryOverflow},
                                                 {"T1053", &W.OFDTimeout}};
  for (const auto& [Tag, Flag] : Flags) {
    const json::Value* V = json::Find(Data, Tag);
    if (V && !TryRead([&, Flag = Flag] { *Flag = json::ReadBool(V); })) return false;
  }
  return true;
}

void ReadInt(const json::Value& Data, const char* Tag, std::int32_t& Out) {
  Out = json::ReadInt(json::Find(Data, Tag));
}

template <typename F>
std::u16string OutputDocument(F Fill) {
  pugi::xml_document Document;
  driver::StartHostXml(Document, driver::XmlForm::Bytes);
  Fill(Document.append_child("OutputParameters").append_child("Parameters"));
  return driver::HostXmlText(Document);
}

}  // namespace

bool TMyClass::OpenShift(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const Cashier C = ReadShiftInput(ReadText(&Params[1]));
  const driver::DeviceReply Reply = PostToApi("/api/1/shift/open", ShiftRequest(C, Shift::Open));
  const json::Value& Answer = Reply.Answer;

  bool Ok = false, Readable = false;
  std::int32_t ShiftNumber = 0, DocumentNumber = 0;
  StorageWarnings W;
  if (Reply.HasEnvelope()) {
    const std::optional<bool> Read = driver::ReadOk(Answer);
    Readable = Read.has_value();
    Ok = Read.value_or(false);
    driver::CopyCodeAndMessage(Answer, Error);
  }
  if (Ok && Readable) {
    const json::Value* Data = json::Find(Answer, "data");
    const bool Complete =
        Data && Data->IsObject() && TryRead([&] { ReadInt(*Data, "T1038", ShiftNumber); }) &&
        TryRead([&] { ReadInt(*Data, "T1040", DocumentNumber); }) && ReadWarnings(*Data, W);
    if (!Complete) {
      ShiftNumber = DocumentNumber = 0;
      Ok = false;
    }
  }

  WriteText(&Params[2], OutputDocument([&](pugi::xml_node P) {
    driver::SetAttribute(P, "UrgentReplacementFN", W.UrgentReplacement);
    driver::SetAttribute(P, "MemoryOverflowFN", W.MemoryOverflow);
    driver::SetAttribute(P, "ResourcesExhaustionFN", W.ResourcesExhaustion);
    driver::SetAttribute(P, "OFDtimeout", W.OFDTimeout);
  }));
  V8SetInt(&Params[3], ShiftNumber);
  V8SetInt(&Params[4], DocumentNumber);
  V8SetBool(RetValue, Ok);
  return true;
}

bool TMyClass::CloseShift(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const Cashier C = ReadShiftInput(ReadText(&Params[1]));
  const driver::DeviceReply Reply = PostToApi("/api/1/shift/close", ShiftRequest(C, Shift::Close));
  const json::Value& Answer = Reply.Answer;

  bool Ok = false;
  std::int32_t ShiftNumber = 0, DocumentNumber = 0, Checks = 0, Documents = 0, Backlog = 0;
  std::u16string BacklogFirstDateTime;
  StorageWarnings W;
  if (Reply.HasEnvelope()) Ok = driver::ReadOk(Answer).value_or(false);
  if (Reply.Answered) {
    if (!Ok) {
      driver::CopyCodeAndMessage(Answer, Error);
    } else if (const json::Value* Data = json::Find(Answer, "data"); Data && Data->IsObject()) {
      // In this order; the first member that fails ends the reading.
      (void)(TryRead([&] { ReadInt(*Data, "T1038", ShiftNumber); }) &&
             json::Find(*Data, "T1012") != nullptr &&
             TryRead([&] { ReadInt(*Data, "T1040", DocumentNumber); }) &&
             TryRead([&] { ReadInt(*Data, "T1118", Checks); }) &&
             TryRead([&] { ReadInt(*Data, "T1111", Documents); }) &&
             TryRead([&] { ReadInt(*Data, "T1097", Backlog); }) &&
             TakeTextForm(*Data, "T1098", BacklogFirstDateTime) && ReadWarnings(*Data, W));
    }
  }

  WriteText(&Params[2], OutputDocument([&](pugi::xml_node P) {
    driver::SetAttribute(P, "NumberOfChecks", Checks);
    driver::SetAttribute(P, "NumberOfDocuments", Documents);
    driver::SetAttribute(P, "BacklogDocumentsCounter", Backlog);
    driver::SetAttribute(P, "BacklogDocumentFirstNumber", std::int32_t{0});
    driver::SetAttribute(P, "BacklogDocumentFirstDateTime", BacklogFirstDateTime);
    driver::SetAttribute(P, "UrgentReplacementFN", W.UrgentReplacement);
    driver::SetAttribute(P, "MemoryOverflowFN", W.MemoryOverflow);
    driver::SetAttribute(P, "ResourcesExhaustionFN", W.ResourcesExhaustion);
    // The register reports no resource figure; 0 says "not known".
    driver::SetAttribute(P, "ResourcesFN", std::int32_t{0});
    driver::SetAttribute(P, "OFDTimeout", W.OFDTimeout);
  }));
  V8SetInt(&Params[3], ShiftNumber);
  V8SetInt(&Params[4], DocumentNumber);
  V8SetBool(RetValue, Ok);
  return true;
}
