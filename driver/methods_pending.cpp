// Device methods whose exchange with the register is not built yet. They take
// the device address like every device method and report failure through the
// return value, leaving the error state as it was.
#include "driver/my_class.h"

#define PENDING_DEVICE_METHOD(Name)                             \
  bool TMyClass::Name(V8Variant* RetValue, V8Variant* Params) { \
    TakeDeviceAddress(Params);                                  \
    V8SetBool(RetValue, false);                                 \
    return true;                                                \
  }

PENDING_DEVICE_METHOD(OperationFN)
PENDING_DEVICE_METHOD(OpenShift)
PENDING_DEVICE_METHOD(CloseShift)
PENDING_DEVICE_METHOD(PrintTextDocument)
PENDING_DEVICE_METHOD(CashInOutcome)
