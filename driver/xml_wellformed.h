// The well-formedness rules of XML 1.0 that the host's input documents must
// meet before the driver reads them. The XML parser the driver reads with is
// lenient where XML is strict (it takes a duplicate attribute, an unknown or
// bare "&", a "<" in an attribute value, text or a second element after the
// document element, a reference to a character XML forbids): each of those
// can turn a package into another one, so the text is checked first, in one
// pass, and refused as a whole when it breaks a rule.
//
// The host's documents carry no document type declaration, and one is refused
// (no entity is ever declared or expanded, nothing is fetched).
#pragma once

#include <cstddef>
#include <string_view>

namespace driver {

struct XmlCheck {
  const char* Fault = nullptr;  // null when the text is well-formed
  std::size_t Offset = 0;       // byte offset of the fault in the text
  explicit operator bool() const { return Fault == nullptr; }
};

// Checks a document given as UTF-8 (an optional byte-order mark first).
XmlCheck CheckWellFormedXml(std::string_view Utf8);

}  // namespace driver
