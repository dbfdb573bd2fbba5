#include "driver/host_xml.h"

#include <string>

#include "driver/text.h"

namespace driver {

void LoadHostXml(pugi::xml_document& Document, const std::u16string& Text) {
  const std::string Bytes = Utf16ToUtf8(Text);
  const pugi::xml_parse_result Result =
      Document.load_buffer(Bytes.data(), Bytes.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!Result) throw BadInput(std::string("XML: ") + Result.description());
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
