// Reading the response envelope of the register's answers: what several
// methods share.
#pragma once

#include <optional>

#include "driver/json/json.h"

namespace driver {

// The answer's "ok" read as a Boolean; nothing when it is missing or does not
// read as one.
std::optional<bool> ReadOk(const json::Value& Answer);

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
