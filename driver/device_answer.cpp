#include "driver/device_answer.h"

#include <utility>

namespace driver {

std::optional<bool> ReadOk(const json::Value& Answer) {
  try {
    return json::ReadBool(json::Find(Answer, "ok"));
  } catch (const json::ReadError&) {
    return std::nullopt;
  }
}

bool TakeText(const json::Value& Object, const char* Name, std::u16string& Text) {
  const json::Value* V = json::Find(Object, Name);
  if (!V || V->IsAbsent() || V->IsObject() || V->IsArray()) return false;
  Text = json::TextForm(V);
  return true;
}

bool TakeTextForm(const json::Value& Object, const char* Name, std::u16string& Text) {
  const json::Value* V = json::Find(Object, Name);
  if (!V || V->IsAbsent()) return false;
  Text = json::TextForm(V);
  return true;
}

void CopyCodeAndMessage(const json::Value& Answer, ErrorState& Error) {
  std::int32_t Code = 0;
  std::u16string Message;
  if (TryRead([&] { Code = json::ReadInt(json::Find(Answer, "code")); }) &&
      TakeTextForm(Answer, "message", Message)) {
    Error.CopyRefusal(Code, std::move(Message));
  } else {
    Error.Clear();
  }
}

}  // namespace driver
