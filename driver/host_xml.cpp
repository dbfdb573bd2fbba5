#include "driver/host_xml.h"

#include <cstring>
#include <new>
#include <string>

#include "driver/text.h"

namespace driver {

namespace {

// The UTF-8 form of Text in a buffer of pugixml's own allocator, so that the
// document can take it over and parse it in place.
struct Utf8Buffer {
  char* Data;
  std::size_t Size;
};

Utf8Buffer ToDocumentBuffer(std::u16string_view Text) {
  const std::size_t Size = Utf8Length(Text);
  void* Block = pugi::get_memory_allocation_function()(Size ? Size : 1);
  if (!Block) throw std::bad_alloc();
  return {static_cast<char*>(Block), Utf16ToUtf8(Text, static_cast<char*>(Block))};
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

void ThrowUnlessParsed(const pugi::xml_parse_result& Result) {
  if (!Result) throw BadInput(std::string("XML: ") + Result.description());
}

}  // namespace

bool LoadHostXml(pugi::xml_document& Document, std::u16string_view Text) {
  const Utf8Buffer Buffer = ToDocumentBuffer(Text);
  // Looked at before parsing: the parser rewrites the text in place.
  const bool References = HasCharacterReference(Buffer.Data, Buffer.Size);
  // The document owns the buffer from here on, whether it parses or not.
  ThrowUnlessParsed(Document.load_buffer_inplace_own(Buffer.Data, Buffer.Size, pugi::parse_default,
                                                     pugi::encoding_utf8));
  return References;
}

bool LoadHostXmlInPlace(pugi::xml_document& Document, std::string& Utf8) {
  const bool References = HasCharacterReference(Utf8.data(), Utf8.size());
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
  return Utf8ToUtf16(Writer.Out);
}

void SetAttribute(pugi::xml_node Node, const char* Name, const std::u16string& Value) {
  Node.append_attribute(Name).set_value(Utf16ToUtf8(Value).c_str());
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
