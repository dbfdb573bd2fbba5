// Small text helpers of the emulator: base64, UTF-8 columns, HTML escaping,
// and the JSON type with its one way of writing text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kelvo_emulator {

// Members keep the order in which they were added, as the register writes them.
using Json = nlohmann::ordered_json;

// Compact JSON text; invalid UTF-8 in strings becomes U+FFFD instead of failing.
std::string Dump(const Json& Value);

std::string Base64Encode(const std::string& Bytes);
// Standard alphabet, padding optional; whitespace is not allowed.
std::optional<std::string> Base64Decode(const std::string& Text);

// Number of characters (code points) of a UTF-8 text; this is the number of
// columns it takes on the tape.
std::size_t Columns(const std::string& Utf8);
// The first Count characters of a UTF-8 text, and the rest.
std::string TakeColumns(const std::string& Utf8, std::size_t Count);
std::string DropColumns(const std::string& Utf8, std::size_t Count);

std::string HtmlEscape(const std::string& Text);

// Reads a whole decimal number with an optional sign ("12", "-3"); false for
// anything else, the empty text included.
bool ParseInt(const std::string& Text, long long& Value);

}  // namespace kelvo_emulator
