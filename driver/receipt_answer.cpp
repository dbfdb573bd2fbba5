#include "driver/receipt_answer.h"

#include "driver/device_answer.h"
#include "driver/text.h"

namespace driver {
namespace {

constexpr char16_t kNotResponding[] =
    u"Timeout. Device is not responding. Таймаут. Устройство не отвечает";

void ReadRefusal(const json::Value& Answer, ErrorState Error) {
  std::int32_t Code = 0;
  std::u16string Message;
  const json::Value* Errors = json::Find(Answer, "errors");
  const bool Readable = TryRead([&] { Code = json::ReadInt(json::Find(Answer, "code")); }) &&
                        TakeText(Answer, "message", Message) && Errors && !Errors->IsAbsent();
  if (!Readable) {
    Error.Code = 0;
    Error.Message.clear();
    return;
  }
  Error.Code = Code;
  Error.Message = Message + u" errors:" + Utf8ToUtf16(json::Write(*Errors));
}

// "data" goes through its JSON text once more, as the register's own answer
// would; reading stops at the first value that is missing or unreadable.
void ReadAcceptedData(const json::Value& Answer, ReceiptOutcome& Outcome) {
  const json::Value* Data = json::Find(Answer, "data");
  if (!Data || !Data->IsObject()) return;
  const json::Value Copy = json::ReadStrictObject(json::Write(*Data));
  (void)(TryRead([&] { Outcome.ReceiptNumber = json::ReadInt(json::Find(Copy, "T1042")); }) &&
         TryRead([&] { Outcome.ShiftNumber = json::ReadInt(json::Find(Copy, "T1038")); }) &&
         TakeText(Copy, "T1077", Outcome.FiscalSign) &&
         TakeText(Copy, "T1060", Outcome.SiteAddress));
}

}  // namespace

ReceiptOutcome ReadReceiptAnswer(const json::Value& Answer, bool Answered, ErrorState Error) {
  ReceiptOutcome Outcome;
  if (!Answered) return Outcome;
  Error.Code = 0;
  if (Answer.Members().empty()) return Outcome;
  const std::optional<bool> Ok = ReadOk(Answer);
  if (!Ok) {
    Error.Code = 2;
    Error.Message = kNotResponding;
    return Outcome;
  }
  Outcome.Accepted = *Ok;
  if (*Ok)
    ReadAcceptedData(Answer, Outcome);
  else
    ReadRefusal(Answer, Error);
  return Outcome;
}

}  // namespace driver
