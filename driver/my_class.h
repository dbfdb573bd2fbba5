// TMyClass: the driver object, one per connected register. It keeps the
// register's address, the chosen model and the last error, and carries the
// 23 methods of the cash-register interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/documents/receipt_answer.h"
#include "driver/error_state.h"
#include "driver/json/json.h"
#include "v8napi/user_object.h"

namespace driver {
struct ShiftOutputs;
}  // namespace driver

class TMyClass : public TV8UserObject {
 public:
  static TV8UserObject* Create() { return new TMyClass(); }
  bool Init() override { return true; }

  // Methods in registration order. Each reads its parameters from Params
  // (parameter k at position k - 1) and writes its outputs and RetValue.
  bool GetVersion(V8Variant* RetValue, V8Variant* Params);
  bool GetDescription(V8Variant* RetValue, V8Variant* Params);
  bool GetLastError(V8Variant* RetValue, V8Variant* Params);
  bool GetParameters(V8Variant* RetValue, V8Variant* Params);
  bool SetParameter(V8Variant* RetValue, V8Variant* Params);
  bool GetParameter(V8Variant* RetValue, V8Variant* Params);
  bool Open(V8Variant* RetValue, V8Variant* Params);
  bool Close(V8Variant* RetValue, V8Variant* Params);
  bool DeviceTest(V8Variant* RetValue, V8Variant* Params);
  bool GetAdditionalActions(V8Variant* RetValue, V8Variant* Params);
  bool GetDataKKT(V8Variant* RetValue, V8Variant* Params);
  bool OperationFN(V8Variant* RetValue, V8Variant* Params);
  bool OpenShift(V8Variant* RetValue, V8Variant* Params);
  bool CloseShift(V8Variant* RetValue, V8Variant* Params);
  bool ProcessCheck(V8Variant* RetValue, V8Variant* Params);
  bool ProcessCorrectionCheck(V8Variant* RetValue, V8Variant* Params);
  bool PrintTextDocument(V8Variant* RetValue, V8Variant* Params);
  bool CashInOutcome(V8Variant* RetValue, V8Variant* Params);
  bool PrintXReport(V8Variant* RetValue, V8Variant* Params);
  bool GetCurrentStatus(V8Variant* RetValue, V8Variant* Params);
  bool ReportCurrentStatusOfSettlements(V8Variant* RetValue, V8Variant* Params);
  bool OpenCashDrawer(V8Variant* RetValue, V8Variant* Params);
  bool GetLineLength(V8Variant* RetValue, V8Variant* Params);

  std::u16string IpAddress;
  std::int32_t ModelNumber = 0;

 protected:
  // Host texts: read as 8-bit in the system code page and widened here.
  std::u16string ReadText(const V8Variant* V) const;
  // base::Utf16ToUtf8(ReadText(V)), for long texts that go on as UTF-8 (package
  // documents), without a UTF-16 copy of the whole text.
  std::string ReadTextUtf8(const V8Variant* V) const;
  // A text to the host: a wide string where the host's strings are UTF-16
  // (Linux), an 8-bit string in the system code page otherwise.
  void WriteText(V8Variant* V, const std::u16string& Text);
  // A fixed text of the driver's own: as WriteText, but in Windows-1251
  // whatever the system code page when it goes out as 8-bit text.
  void WriteFixedText(V8Variant* V, std::u16string_view Text);

  // Parameter 1 of a device method is the register's address.
  void TakeDeviceAddress(const V8Variant* Params);
  // The register's address, or the default address when it is blank.
  void ApplyDefaultAddressIfBlank();

  // What GetLastError reports.
  driver::ErrorState Error;

  // One request to the register at IpAddress. A transport failure is left in
  // the error state (GET: NoAnswerToGet; POST: code 1 and the failure's own
  // text); an answer clears the error code, here and nowhere else.
  driver::DeviceReply GetFromApi(std::string_view Path);
  driver::DeviceReply PostToApi(std::string_view Path, std::string JsonData);

  // Receipt number, shift number, fiscal sign and site address into four
  // consecutive parameters starting at First.
  void WriteReceiptOutputs(const driver::ReceiptOutcome& Outcome, V8Variant* First);
  // A shift's output document, shift and document numbers and outcome.
  void WriteShiftOutputs(const driver::ShiftOutputs& Out, V8Variant* RetValue, V8Variant* Params);
};

inline constexpr char16_t kDefaultAddress[] = u"192.168.137.137";
inline constexpr std::int32_t kLineLength = 48;
