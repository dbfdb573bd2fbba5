// OperationFN: registering the register, changing its registration data,
// and closing its fiscal storage.
#include <utility>

#include "driver/documents/registration.h"
#include "driver/my_class.h"

bool TMyClass::OperationFN(V8Variant* RetValue, V8Variant* Params) {
  TakeDeviceAddress(Params);
  const std::int32_t Operation = V8GetInt(&Params[1]);
  const driver::Registration Input = driver::ReadRegistration(ReadText(&Params[2]));
  driver::DeviceRequest Request = driver::RegistrationRequest(Operation, Input);
  const driver::DeviceReply Reply = PostToApi(Request.Path, std::move(Request.Body));
  V8SetBool(RetValue, driver::RegistrationOutcome(Reply, Error));
  return true;
}
