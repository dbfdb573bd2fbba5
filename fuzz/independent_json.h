// The driver's request bodies read by a JSON library other than its own, so
// that its writer is never its own oracle.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/utf.h"
#include "fuzz/host_call.h"

namespace fuzz {

// The body as a JSON object; anything else is a finding.
inline nlohmann::json ReadElsewhere(const std::string& Body) {
  nlohmann::json Value;
  try {
    Value = nlohmann::json::parse(Body);
  } catch (const nlohmann::json::exception& E) {
    Fail("a request body does not read as JSON", Body + "\n" + E.what());
  }
  if (!Value.is_object()) Fail("a request body is no JSON object", Body);
  return Value;
}

// Member Name holds exactly Text, or is absent when Present is false.
inline void ExpectText(const nlohmann::json& Body, const char* Name, std::u16string_view Text,
                       bool Present = true) {
  const auto Member = Body.find(Name);
  if (!Present) {
    if (Member != Body.end()) Fail("a request has a member it should not", Body.dump());
    return;
  }
  if (Member == Body.end() || !Member->is_string() ||
      Member->get<std::string>() != base::Utf16ToUtf8(Text))
    Fail(Name, "expected [" + base::Utf16ToUtf8(Text) + "] in " + Body.dump());
}

}  // namespace fuzz
