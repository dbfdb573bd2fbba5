#include "driver/documents/receipt_answer.h"

#include "base/utf.h"
#include "driver/device_answer.h"

namespace driver {
namespace {

void ReadRefusal(const json::Value& Answer, ErrorState& Error) {
  std::int32_t Code = 0;
  std::u16string Message;
  const json::Value* Errors = json::Find(Answer, "errors");
  const bool Readable = TryRead([&] { Code = json::ReadInt(json::Find(Answer, "code")); }) &&
                        TakeTextForm(Answer, "message", Message) && Errors && !Errors->IsAbsent();
  if (!Readable) {
    Error.Clear();
    return;
  }
  Error.CopyRefusal(Code, Message + u" errors:" + base::Utf8ToUtf16(json::Write(*Errors)));
}

// Reading "data" stops at the first value that is missing or unreadable. (An
// object read strictly reads back the same from its written text, so it is
// read where it stands.)
void ReadAcceptedData(const json::Value& Answer, ReceiptOutcome& Outcome) {
  const json::Value* Data = json::Find(Answer, "data");
  if (!Data || !Data->IsObject()) return;
  (void)(TryRead([&] { Outcome.ReceiptNumber = json::ReadInt(json::Find(*Data, "T1042")); }) &&
         TryRead([&] { Outcome.ShiftNumber = json::ReadInt(json::Find(*Data, "T1038")); }) &&
         TakeText(*Data, "T1077", Outcome.FiscalSign) &&
         TakeText(*Data, "T1060", Outcome.SiteAddress));
}

}  // namespace

ReceiptOutcome ReadReceiptAnswer(const DeviceReply& Reply, ErrorState& Error) {
  ReceiptOutcome Outcome;
  if (!Reply.HasEnvelope()) return Outcome;
  const json::Value& Answer = Reply.Answer;
  const std::optional<bool> Ok = ReadOk(Answer);
  if (!Ok) {
    Error.Set(DriverError::NotResponding);
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
