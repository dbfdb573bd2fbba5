// Methods that need no exchange with the register: version, description,
// error state, settings, open/close, and those that only report success.
#include <pugixml.hpp>

#include "driver/host_xml.h"
#include "driver/my_class.h"

namespace {

constexpr char16_t kVersion[] = u"1.0";
constexpr char16_t kMakerSite[] = u"https://kelvo.example/";

std::u16string SettingsDocument() {
  pugi::xml_document Document;
  driver::StartHostXml(Document, driver::XmlForm::Bytes);
  pugi::xml_node Page = Document.append_child("Settings").append_child("Page");
  driver::SetAttribute(Page, "Caption", u8"Параметры");
  pugi::xml_node Group = Page.append_child("Group");
  driver::SetAttribute(Group, "Caption", u8"Параметры подключения");

  pugi::xml_node Model = Group.append_child("Parameter");
  driver::SetAttribute(Model, "Name", "ModelNumber");
  driver::SetAttribute(Model, "Caption", u8"Модель");
  driver::SetAttribute(Model, "TypeValue", "Number");
  driver::SetAttribute(Model, "DefaultValue", "0");
  pugi::xml_node Item = Model.append_child("ChoiceList").append_child("Item");
  driver::SetAttribute(Item, "Value", "0");
  Item.text().set("KELVO-1F");

  pugi::xml_node Address = Group.append_child("Parameter");
  driver::SetAttribute(Address, "Name", "IpAddress");
  driver::SetAttribute(Address, "Caption", u8"IP Адрес");
  driver::SetAttribute(Address, "TypeValue", "String");
  driver::SetAttribute(Address, "DefaultValue", "192.168.137.137");
  return driver::HostXmlText(Document);
}

}  // namespace

bool TMyClass::GetVersion(V8Variant* RetValue, V8Variant*) {
  WriteFixedText(RetValue, kVersion);
  return true;
}

bool TMyClass::GetDescription(V8Variant* RetValue, V8Variant* Params) {
  WriteFixedText(&Params[0], u"KELVO");
  WriteFixedText(&Params[1], u"Драйвер ККМ KELVO-1F 1.0");
  WriteFixedText(&Params[2], u"ККТ");
  V8SetInt(&Params[3], 2005);
  V8SetBool(&Params[4], false);
  V8SetBool(&Params[5], false);
  WriteFixedText(&Params[6], kMakerSite);
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::GetLastError(V8Variant* RetValue, V8Variant* Params) {
  WriteText(&Params[0], Error.Message());
  V8SetInt(RetValue, Error.Code());
  return true;
}

bool TMyClass::GetParameters(V8Variant* RetValue, V8Variant* Params) {
  ApplyDefaultAddressIfBlank();
  WriteText(&Params[0], SettingsDocument());
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::SetParameter(V8Variant* RetValue, V8Variant* Params) {
  const std::string Name = V8GetString(&Params[0]);
  if (Name == "IpAddress")
    IpAddress = ReadText(&Params[1]);
  else if (Name == "ModelNumber")
    ModelNumber = V8GetInt(&Params[1]);
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::GetParameter(V8Variant* RetValue, V8Variant* Params) {
  const std::string Name = V8GetString(&Params[0]);
  if (Name == "IpAddress")
    WriteText(RetValue, IpAddress);
  else if (Name == "ModelNumber")
    V8SetInt(RetValue, ModelNumber);
  return true;
}

bool TMyClass::Open(V8Variant* RetValue, V8Variant* Params) {
  WriteText(&Params[0], IpAddress);
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::Close(V8Variant* RetValue, V8Variant*) {
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::GetAdditionalActions(V8Variant* RetValue, V8Variant* Params) {
  WriteText(&Params[0], u"");
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::GetLineLength(V8Variant* RetValue, V8Variant* Params) {
  V8SetInt(&Params[1], kLineLength);
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::PrintXReport(V8Variant* RetValue, V8Variant*) {
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::ReportCurrentStatusOfSettlements(V8Variant* RetValue, V8Variant*) {
  V8SetBool(RetValue, true);
  return true;
}

bool TMyClass::OpenCashDrawer(V8Variant* RetValue, V8Variant*) {
  V8SetBool(RetValue, true);
  return true;
}
