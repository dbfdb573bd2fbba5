// Conversions of attribute texts in the host's input documents. A text that
// does not convert ends the method before anything is sent (BadInput).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include <pugixml.hpp>

namespace driver {

// Element and attribute names are compared exactly, letter case included.
inline bool SameName(const char* Name, const char* Expected) {
  return std::strcmp(Name, Expected) == 0;
}

// The attribute's text as a wide string (an unreadable value gives "").
std::u16string AttributeText(const pugi::xml_attribute& A);

// A double written with "." and no thousands separator.
double ToAmount(const std::u16string& Text, const char* Name);
// A whole number: decimal digits with an optional sign.
std::int32_t ToInteger(const std::u16string& Text, const char* Name);
// A text that must not be empty.
std::u16string ToNonEmptyText(std::u16string Text, const char* Name);

}  // namespace driver
