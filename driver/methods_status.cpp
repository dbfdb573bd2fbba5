// GetCurrentStatus: the shift and the backlog towards the fiscal data
// operator, from two independent reads.
#include <string>

#include "driver/device_answer.h"
#include "driver/host_xml.h"
#include "driver/my_class.h"

namespace json = driver::json;
using driver::TryRead;

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

}  // namespace

bool TMyClass::GetCurrentStatus(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  std::int32_t ReceiptNumber = 0, ShiftNumber = 0, ShiftState = 0;
  std::int32_t BacklogCount = 0, BacklogFirstNumber = 0;
  std::u16string BacklogFirstDateTime;

  const json::Value Shift = GetFromApi("/api/1/shift/status").Answer;
  std::optional<bool> Ok = driver::ReadOk(Shift);
  if (!Ok) Error.Set(driver::DriverError::BadAnswer);
  if (Ok.value_or(false)) {
    TakeInt(Shift, "shiftNo", ShiftNumber);
    if (const json::Value* State = json::Find(Shift, "shiftStatus"))
      TryRead([&] { ShiftState = HostShiftState(json::ReadInt(State)); });
    TakeInt(Shift, "checkNo", ReceiptNumber);
  }

  const json::Value Exchange = GetFromApi("/api/1/ofd/status").Answer;
  Ok = driver::ReadOk(Exchange);
  if (!Ok) Error.Set(driver::DriverError::BadAnswer);
  if (Ok.value_or(false)) {
    TakeInt(Exchange, "msgCountForExch", BacklogCount);
    TakeInt(Exchange, "noOfFirstDocForExch", BacklogFirstNumber);
    // Every member of that name is visited in turn; the last one stays.
    for (const json::Member& M : Exchange.Members())
      if (M.Name == "DateTimeOfFirstDocForExch") BacklogFirstDateTime = json::TextForm(&M.Val);
  }

  pugi::xml_document Document;
  driver::StartHostXml(Document, driver::XmlForm::Text);
  pugi::xml_node Element = Document.append_child("StatusParameters").append_child("Parameters");
  driver::SetAttribute(Element, "BacklogDocumentsCounter", BacklogCount);
  driver::SetAttribute(Element, "BacklogDocumentFirstNumber", BacklogFirstNumber);
  driver::SetAttribute(Element, "BacklogDocumentFirstDateTime", BacklogFirstDateTime);

  V8SetInt(&Params[1], ReceiptNumber);
  V8SetInt(&Params[2], ShiftNumber);
  V8SetInt(&Params[3], ShiftState);
  WriteText(&Params[4], driver::HostXmlText(Document));
  V8SetBool(RetValue, Ok.value_or(false));
  return true;
}
