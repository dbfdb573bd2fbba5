// GetCurrentStatus: the shift and the backlog towards the fiscal data
// operator, from two independent reads.
#include "driver/documents/status.h"
#include "driver/my_class.h"

bool TMyClass::GetCurrentStatus(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  driver::StatusOutputs Out;
  driver::ReadShiftStatus(GetFromApi("/api/1/shift/status").Answer, Error, Out);
  driver::ReadExchangeStatus(GetFromApi("/api/1/ofd/status").Answer, Error, Out);
  V8SetInt(&Params[1], Out.ReceiptNumber);
  V8SetInt(&Params[2], Out.ShiftNumber);
  V8SetInt(&Params[3], Out.ShiftState);
  WriteText(&Params[4], Out.Document);
  V8SetBool(RetValue, Out.Ok);
  return true;
}
