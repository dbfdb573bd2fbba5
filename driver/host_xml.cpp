#include "driver/host_xml.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/xml_wellformed.h"

namespace driver {

namespace {

// The UTF-8 form of Text in a buffer of pugixml's own allocator, so that the
// document can take it over and parse it in place.
struct Utf8Buffer {
  char* Data;
  std::size_t Size;
};

Utf8Buffer ToDocumentBuffer(std::u16string_view Text) {
  const std::size_t Size = base::Utf8Length(Text);
  void* Block = pugi::get_memory_allocation_function()(Size ? Size : 1);
  if (!Block) throw std::bad_alloc();
  return {static_cast<char*>(Block), base::Utf16ToUtf8(Text, static_cast<char*>(Block))};
}

bool HasCharacterReference(const char* Text, std::size_t Size) {
  const char* const End = Text + Size;
  for (const char* P = Text; P < End; ++P) {
    P = static_cast<const char*>(std::memchr(P, '&', static_cast<std::size_t>(End - P)));
    if (!P) return false;
    if (P + 1 < End && P[1] == '#') return true;
  }
  return false;
}

void ThrowUnlessWellFormed(const char* Text, std::size_t Size) {
  if (const XmlCheck Check = CheckWellFormedXml(std::string_view(Text, Size)); !Check)
    throw BadInput(std::string("XML: ") + Check.Fault + " at byte " + std::to_string(Check.Offset));
}

// A byte-order mark at the start of the host's text does not survive the code
// page every host text passes through: a wide U+FEFF arrives as "?", the three
// bytes of UTF-8's mark in an 8-bit text as "п»ї". Either one right before the
// first "<" is left out, as the mark itself would have been. (A text starting
// so is not well-formed otherwise.)
std::size_t ByteOrderMarkLeftover(const char* Text, std::size_t Size) {
  const std::string_view Start(Text, std::min<std::size_t>(Size, 7));
  if (Start.substr(0, 2) == "?<") return 1;
  if (Start == "\xD0\xBF\xC2\xBB\xD1\x97<") return 6;
  return 0;
}

// A document that loaded sets the decimal separator: host documents write
// numbers with ".", and so does everything after them.
void ThrowUnlessParsed(const pugi::xml_parse_result& Result) {
  if (!Result) throw BadInput(std::string("XML: ") + Result.description());
  base::SetDecimalSeparator(u'.');
}

}  // namespace

bool LoadHostXml(pugi::xml_document& Document, std::u16string_view Text) {
  Utf8Buffer Buffer = ToDocumentBuffer(Text);
  if (const std::size_t Leftover = ByteOrderMarkLeftover(Buffer.Data, Buffer.Size)) {
    Buffer.Size -= Leftover;
    std::memmove(Buffer.Data, Buffer.Data + Leftover, Buffer.Size);
  }
  // Looked at before parsing: the parser rewrites the text in place.
  const bool References = HasCharacterReference(Buffer.Data, Buffer.Size);
  try {
    ThrowUnlessWellFormed(Buffer.Data, Buffer.Size);
  } catch (...) {
    pugi::get_memory_deallocation_function()(Buffer.Data);
    throw;
  }
  // The document owns the buffer from here on, whether it parses or not.
  ThrowUnlessParsed(Document.load_buffer_inplace_own(Buffer.Data, Buffer.Size, pugi::parse_default,
                                                     pugi::encoding_utf8));
  return References;
}

bool LoadHostXmlInPlace(pugi::xml_document& Document, std::string& Utf8) {
  Utf8.erase(0, ByteOrderMarkLeftover(Utf8.data(), Utf8.size()));
  const bool References = HasCharacterReference(Utf8.data(), Utf8.size());
  ThrowUnlessWellFormed(Utf8.data(), Utf8.size());
  ThrowUnlessParsed(Document.load_buffer_inplace(Utf8.data(), Utf8.size(), pugi::parse_default,
                                                 pugi::encoding_utf8));
  return References;
}

void StartHostXml(pugi::xml_document& Document, XmlForm Form) {
  Document.reset();
  pugi::xml_node Declaration = Document.append_child(pugi::node_declaration);
  Declaration.append_attribute("version") = "1.0";
  Declaration.append_attribute("encoding") = Form == XmlForm::Bytes ? "utf-8" : "UTF-8";
}

namespace {
struct StringWriter : pugi::xml_writer {
  std::string Out;
  void write(const void* Data, std::size_t Size) override {
    Out.append(static_cast<const char*>(Data), Size);
  }
};
}  // namespace

std::u16string HostXmlText(const pugi::xml_document& Document) {
  StringWriter Writer;
  Document.save(Writer, "", pugi::format_raw, pugi::encoding_utf8);
  return base::Utf8ToUtf16(Writer.Out);
}

std::u16string XmlCharactersOnly(std::u16string_view Text) {
  const auto Allowed = [&Text](std::size_t I) {
    const char16_t C = Text[I];
    if (C < 0x20) return C == u'\t' || C == u'\n' || C == u'\r';
    if (C >= 0xD800 && C <= 0xDBFF)
      return I + 1 < Text.size() && Text[I + 1] >= 0xDC00 && Text[I + 1] <= 0xDFFF;
    if (C >= 0xDC00 && C <= 0xDFFF) return I > 0 && Text[I - 1] >= 0xD800 && Text[I - 1] <= 0xDBFF;
    return C != 0xFFFE && C != 0xFFFF;
  };
  std::u16string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I)
    if (Allowed(I)) Out.push_back(Text[I]);
  return Out;
}

void SetAttribute(pugi::xml_node Node, const char* Name, const std::u16string& Value) {
  Node.append_attribute(Name).set_value(base::Utf16ToUtf8(XmlCharactersOnly(Value)).c_str());
}

void SetAttribute(pugi::xml_node Node, const char* Name, const char* Utf8Value) {
  Node.append_attribute(Name).set_value(Utf8Value);
}

void SetAttribute(pugi::xml_node Node, const char* Name, std::int32_t Value) {
  Node.append_attribute(Name).set_value(std::to_string(Value).c_str());
}

void SetAttribute(pugi::xml_node Node, const char* Name, bool Value) {
  Node.append_attribute(Name).set_value(Value ? "true" : "false");
}

}  // namespace driver
