// Members of the register's requests that several methods add the same way.
#pragma once

#include <cstdint>
#include <string>

#include "driver/json/json.h"

namespace driver {

// A string member, only when the text is not empty.
inline void AddTextIfAny(json::Value& Object, const char* Tag, const std::u16string& Text) {
  if (!Text.empty()) Object.Add(Tag, json::Value::String(Text));
}

// A number member, only when the amount is greater than 0 (not for 0,
// negative amounts or a value that is not a number).
inline void AddAmountIfPositive(json::Value& Object, const char* Tag, double Amount) {
  if (Amount > 0) Object.Add(Tag, json::Value::Number(Amount));
}

// A JSON string of decimal digits, as the payment type and tax system travel.
inline json::Value DigitsString(std::int64_t Value) {
  return json::Value::StringUtf8(std::to_string(Value));
}

}  // namespace driver
