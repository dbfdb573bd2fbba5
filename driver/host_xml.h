// Host XML documents: loading the host's input and writing the two output
// forms (byte form with version and "utf-8"; text form with "UTF-8").
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace driver {

// Input the host sent that cannot be used (XML that does not parse, a value
// that does not convert). It ends the method before anything is sent.
class BadInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Loads Text as UTF-8 whatever its declaration names; throws BadInput when it
// is not a well-formed XML 1.0 document (a document type declaration
// included) or does not parse. The document holds the text's UTF-8 form and
// is built over it in place. A loaded document sets the process-wide decimal
// separator to "." for good (host documents write numbers so). Returns
// whether the text holds a character reference ("&#"): the UTF-8 form is
// well-formed, and a reference is the one way a name or value of the
// document can come out otherwise.
bool LoadHostXml(pugi::xml_document& Document, std::u16string_view Text);
// The same for a text already in UTF-8, which the document is built over in
// place: it must outlive the document, and the parser rewrites it.
bool LoadHostXmlInPlace(pugi::xml_document& Document, std::string& Utf8);

enum class XmlForm {
  Bytes,  // declaration version "1.0", encoding "utf-8"; serialised to UTF-8
  Text,   // declaration encoding "UTF-8"; the document's own text
};

// A new document holding just the declaration of the given form.
void StartHostXml(pugi::xml_document& Document, XmlForm Form);
// The document as text, without indentation.
std::u16string HostXmlText(const pugi::xml_document& Document);

// Text without the characters XML 1.0 does not allow (controls other than
// tab, line feed and carriage return; lone surrogates; U+FFFE, U+FFFF): texts
// taken from the register's answers may hold them, and every document handed
// to the host must parse.
std::u16string XmlCharactersOnly(std::u16string_view Text);

// Attribute value helpers in the host's vocabulary; a text value keeps only
// the characters XML allows.
void SetAttribute(pugi::xml_node Node, const char* Name, const std::u16string& Value);
void SetAttribute(pugi::xml_node Node, const char* Name, const char* Utf8Value);
void SetAttribute(pugi::xml_node Node, const char* Name, std::int32_t Value);
void SetAttribute(pugi::xml_node Node, const char* Name, bool Value);

}  // namespace driver
