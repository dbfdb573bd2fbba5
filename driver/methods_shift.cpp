// OpenShift and CloseShift: the cashier posted, the shift's numbers and the
// output parameters document back.
#include "driver/documents/shift.h"
#include "driver/my_class.h"

bool TMyClass::OpenShift(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const driver::ShiftInput Input = driver::ReadShiftInput(ReadText(&Params[1]));
  const driver::DeviceReply Reply =
      PostToApi("/api/1/shift/open", driver::ShiftRequest(Input, driver::ShiftAction::Open));
  WriteShiftOutputs(driver::OpenShiftOutputs(Reply, Error), RetValue, Params);
  return true;
}

bool TMyClass::CloseShift(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const driver::ShiftInput Input = driver::ReadShiftInput(ReadText(&Params[1]));
  const driver::DeviceReply Reply =
      PostToApi("/api/1/shift/close", driver::ShiftRequest(Input, driver::ShiftAction::Close));
  WriteShiftOutputs(driver::CloseShiftOutputs(Reply, Error), RetValue, Params);
  return true;
}

void TMyClass::WriteShiftOutputs(const driver::ShiftOutputs& Out, V8Variant* RetValue,
                                 V8Variant* Params) {
  WriteText(&Params[2], Out.Document);
  V8SetInt(&Params[3], Out.ShiftNumber);
  V8SetInt(&Params[4], Out.DocumentNumber);
  V8SetBool(RetValue, Out.Ok);
}
