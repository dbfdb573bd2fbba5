#include "driver/documents/shift.h"

#include <utility>

#include <pugixml.hpp>

#include "driver/host_attributes.h"
#include "driver/host_xml.h"

namespace driver {
namespace {

constexpr AttributeRule<ShiftInput> kParameters[] = {
    {"CashierName", take::Text<&ShiftInput::CashierName>},
    {"CashierVATIN", take::Text<&ShiftInput::CashierVATIN>},
};

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

bool ReadInt(const json::Value& Data, const char* Tag, std::int32_t& Out) {
  return TryRead([&] { Out = json::ReadInt(json::Find(Data, Tag)); });
}

template <typename F>
std::u16string OutputDocument(F Fill) {
  pugi::xml_document Document;
  StartHostXml(Document, XmlForm::Bytes);
  Fill(Document.append_child("OutputParameters").append_child("Parameters"));
  return HostXmlText(Document);
}

}  // namespace

ShiftInput ReadShiftInput(std::u16string_view Text) {
  pugi::xml_document Document;
  LoadHostXml(Document, Text);
  ShiftInput Input;
  for (const pugi::xml_node& Child : Document.document_element().children("Parameters"))
    ReadAttributes(Child, kParameters, Input);
  return Input;
}

std::string ShiftRequest(const ShiftInput& Input, ShiftAction Action) {
  json::Value Request = json::Value::Object();
  if (!Input.CashierName.empty()) Request.Add("T1021", json::Value::String(Input.CashierName));
  // Closing sends only a person's taxpayer number (12 characters).
  const bool SendVATIN =
      Action == ShiftAction::Open ? !Input.CashierVATIN.empty() : Input.CashierVATIN.size() == 12;
  if (SendVATIN) Request.Add("T1203", json::Value::String(Input.CashierVATIN));
  return json::Write(Request);
}

// An unreadable "ok" is a failure; a shift that opened but whose numbers or
// warnings do not read is one too, and reports no numbers.
ShiftOutputs OpenShiftOutputs(const DeviceReply& Reply, ErrorState& Error) {
  ShiftOutputs Out;
  StorageWarnings W;
  if (Reply.HasEnvelope()) {
    Out.Ok = ReadOk(Reply.Answer).value_or(false);
    CopyCodeAndMessage(Reply.Answer, Error);
  }
  if (Out.Ok) {
    const json::Value* Data = json::Find(Reply.Answer, "data");
    const bool Complete = Data && Data->IsObject() && ReadInt(*Data, "T1038", Out.ShiftNumber) &&
                          ReadInt(*Data, "T1040", Out.DocumentNumber) && ReadWarnings(*Data, W);
    if (!Complete) {
      Out.ShiftNumber = Out.DocumentNumber = 0;
      Out.Ok = false;
    }
  }
  Out.Document = OutputDocument([&](pugi::xml_node P) {
    SetAttribute(P, "UrgentReplacementFN", W.UrgentReplacement);
    SetAttribute(P, "MemoryOverflowFN", W.MemoryOverflow);
    SetAttribute(P, "ResourcesExhaustionFN", W.ResourcesExhaustion);
    SetAttribute(P, "OFDtimeout", W.OFDTimeout);
  });
  return Out;
}

// A refusal's code and message are copied (also from an answer without
// members); an accepted close is read member by member, in this order, and
// the first member that fails ends the reading with what was read so far.
ShiftOutputs CloseShiftOutputs(const DeviceReply& Reply, ErrorState& Error) {
  ShiftOutputs Out;
  std::int32_t Checks = 0, Documents = 0, Backlog = 0;
  std::u16string BacklogFirstDateTime;
  StorageWarnings W;
  if (Reply.HasEnvelope()) Out.Ok = ReadOk(Reply.Answer).value_or(false);
  if (Reply.Answered) {
    if (!Out.Ok) {
      CopyCodeAndMessage(Reply.Answer, Error);
    } else if (const json::Value* Data = json::Find(Reply.Answer, "data");
               Data && Data->IsObject()) {
      (void)(ReadInt(*Data, "T1038", Out.ShiftNumber) && json::Find(*Data, "T1012") != nullptr &&
             ReadInt(*Data, "T1040", Out.DocumentNumber) && ReadInt(*Data, "T1118", Checks) &&
             ReadInt(*Data, "T1111", Documents) && ReadInt(*Data, "T1097", Backlog) &&
             TakeTextForm(*Data, "T1098", BacklogFirstDateTime) && ReadWarnings(*Data, W));
    }
  }
  Out.Document = OutputDocument([&](pugi::xml_node P) {
    SetAttribute(P, "NumberOfChecks", Checks);
    SetAttribute(P, "NumberOfDocuments", Documents);
    SetAttribute(P, "BacklogDocumentsCounter", Backlog);
    SetAttribute(P, "BacklogDocumentFirstNumber", std::int32_t{0});
    SetAttribute(P, "BacklogDocumentFirstDateTime", BacklogFirstDateTime);
    SetAttribute(P, "UrgentReplacementFN", W.UrgentReplacement);
    SetAttribute(P, "MemoryOverflowFN", W.MemoryOverflow);
    SetAttribute(P, "ResourcesExhaustionFN", W.ResourcesExhaustion);
    // The register reports no resource figure; 0 says "not known".
    SetAttribute(P, "ResourcesFN", std::int32_t{0});
    SetAttribute(P, "OFDTimeout", W.OFDTimeout);
  });
  return Out;
}

}  // namespace driver
