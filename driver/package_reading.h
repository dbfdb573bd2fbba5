// Conversions of attribute texts in the host's input documents. A text that
// does not convert ends the method before anything is sent (BadInput).
#pragma once

#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "base/ascii.h"

namespace driver {

// The attribute's text as a wide string (an unreadable value gives "").
std::u16string AttributeText(const pugi::xml_attribute& A);
// The same text in UTF-8 (base::Utf16ToUtf8(AttributeText(A))): the attribute's
// own text when it is well-formed, else a repaired copy kept in Repaired.
std::string_view AttributeView(const pugi::xml_attribute& A,
                               std::forward_list<std::string>& Repaired);

// A double written with "." and no thousands separator; also for an
// attribute's value as it stands (zero-terminated).
double ToAmount(std::string_view Text, const char* Name);
double ToAmount(const char* Text, const char* Name);
// A whole number: decimal digits with an optional sign.
std::int32_t ToInteger(std::string_view Text, const char* Name);
std::int32_t ToInteger(const char* Text, const char* Name);
// A host code whose register code is one higher (the agent sign, a tax
// variant, a code list's entries): Code + 1, refusing the one code that has no
// successor.
std::int32_t RegisterCode(std::int32_t Code, const char* Name);
// A text that must not be empty.
std::string_view ToNonEmptyText(std::string_view Text, const char* Name);

}  // namespace driver
