// Reading the response envelope of the register's answers: what several
// methods share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "driver/error_state.h"
#include "driver/json/json.h"

namespace driver {

// What one exchange with the register came to.
struct DeviceReply {
  bool Answered = false;  // an answer arrived (its text may still be unusable)
  // The answer object: without members when none arrived or it was unusable.
  json::Value Answer = json::Value::Object();
  // Whether there is an envelope to read: an answer with members.
  bool HasEnvelope() const { return Answered && !Answer.Members().empty(); }
};

// The answer's "ok" read as a Boolean; nothing when it is missing or does not
// read as one.
std::optional<bool> ReadOk(const json::Value& Answer);

// The text of a member that must be there and hold a plain value (not an
// object or array): false when it does not.
bool TakeText(const json::Value& Object, const char* Name, std::u16string& Text);

// The text form of a member that must be present, whatever its value (an
// object or array gives the empty text): false only when the member is
// missing or its value could not be read.
bool TakeTextForm(const json::Value& Object, const char* Name, std::u16string& Text);

// "code" and the text form of "message" into the error state; when either is
// missing or unreadable the error state becomes 0 and empty instead.
void CopyCodeAndMessage(const json::Value& Answer, ErrorState& Error);

// Runs Read and reports whether it got through: typed readers throw on a
// value that does not convert, and callers that leave such a value at its
// default use this.
template <typename F>
bool TryRead(F&& Read) {
  try {
    Read();
    return true;
  } catch (const json::ReadError&) {
    return false;
  }
}

}  // namespace driver
