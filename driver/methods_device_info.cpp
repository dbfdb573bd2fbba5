// DeviceTest and GetDataKKT: does the register answer, and how is it
// registered.
#include <string>

#include "driver/documents/device_info.h"
#include "driver/my_class.h"
#include "platform/message_box.h"

bool TMyClass::DeviceTest(V8Variant* RetValue, V8Variant* Params) {
  ApplyDefaultAddressIfBlank();
  const driver::DeviceTestOutcome Out = driver::ReadDeviceTest(GetFromApi("/api/1/getallinfo"));
  if (Out.AnswerIncomplete)
    platform::ShowMessageBox(std::u16string(driver::ErrorText(driver::DriverError::NoAnswerToGet)));
  WriteText(&Params[0], Out.Description);
  WriteText(&Params[1], u"");
  V8SetBool(RetValue, Out.Works);
  return true;
}

bool TMyClass::GetDataKKT(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const driver::DeviceParameters Out =
      driver::ReadDeviceParameters(GetFromApi("/api/1/register/info").Answer, Error);
  WriteText(&Params[1], Out.Document);
  V8SetBool(RetValue, Out.Ok);
  return true;
}
