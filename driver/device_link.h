// What the device link does with an answer body before any method reads it.
#pragma once

#include <string>
#include <string_view>

namespace driver {

// The body's text in UTF-8, decoded by the charset its Content-Type names
// (platform::DecodeBody); ill-formed UTF-8 comes out as U+FFFD.
std::string AnswerUtf8(std::string_view Body, std::string_view ContentType);

}  // namespace driver
