#include "driver/device_answer.h"

namespace driver {

std::optional<bool> ReadOk(const json::Value& Answer) {
  try {
    return json::ReadBool(json::Find(Answer, "ok"));
  } catch (const json::ReadError&) {
    return std::nullopt;
  }
}

}  // namespace driver
