#include "driver/documents/status.h"

#include <optional>

#include <pugixml.hpp>

#include "driver/device_answer.h"
#include "driver/host_xml.h"

namespace driver {
namespace {

// Register shift states as the host counts them: 0 closed → 1, 1 open → 2,
// anything else passed on.
std::int32_t HostShiftState(std::int32_t RegisterState) {
  if (RegisterState == 0) return 1;
  if (RegisterState == 1) return 2;
  return RegisterState;
}

// Reads the integer of the first top-level member of that name into Out; a
// member that does not read as an integer leaves Out as it was.
void TakeInt(const json::Value& Answer, const char* Name, std::int32_t& Out) {
  if (const json::Value* V = json::Find(Answer, Name)) TryRead([&] { Out = json::ReadInt(V); });
}

bool ReadOkOrBadAnswer(const json::Value& Answer, ErrorState& Error) {
  const std::optional<bool> Ok = ReadOk(Answer);
  if (!Ok) Error.Set(DriverError::BadAnswer);
  return Ok.value_or(false);
}

}  // namespace

void ReadShiftStatus(const json::Value& Answer, ErrorState& Error, StatusOutputs& Out) {
  if (!ReadOkOrBadAnswer(Answer, Error)) return;
  TakeInt(Answer, "shiftNo", Out.ShiftNumber);
  if (const json::Value* State = json::Find(Answer, "shiftStatus"))
    TryRead([&] { Out.ShiftState = HostShiftState(json::ReadInt(State)); });
  TakeInt(Answer, "checkNo", Out.ReceiptNumber);
}

void ReadExchangeStatus(const json::Value& Answer, ErrorState& Error, StatusOutputs& Out) {
  std::int32_t BacklogCount = 0, BacklogFirstNumber = 0;
  std::u16string BacklogFirstDateTime;
  Out.Ok = ReadOkOrBadAnswer(Answer, Error);
  if (Out.Ok) {
    TakeInt(Answer, "msgCountForExch", BacklogCount);
    TakeInt(Answer, "noOfFirstDocForExch", BacklogFirstNumber);
    // Every member of that name is visited in turn; the last one stays.
    for (const json::Member& M : Answer.Members())
      if (M.Name == "DateTimeOfFirstDocForExch") BacklogFirstDateTime = json::TextForm(&M.Val);
  }
  pugi::xml_document Document;
  StartHostXml(Document, XmlForm::Text);
  pugi::xml_node Element = Document.append_child("StatusParameters").append_child("Parameters");
  SetAttribute(Element, "BacklogDocumentsCounter", BacklogCount);
  SetAttribute(Element, "BacklogDocumentFirstNumber", BacklogFirstNumber);
  SetAttribute(Element, "BacklogDocumentFirstDateTime", BacklogFirstDateTime);
  Out.Document = HostXmlText(Document);
}

}  // namespace driver
