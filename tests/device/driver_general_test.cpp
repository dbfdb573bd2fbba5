// Methods of the driver object that need no register: version, description,
// error state, settings, open/close and the methods that only report success.
#include <gtest/gtest.h>

#include "support/addin_fixture.h"

namespace {

using namespace testing_support;

class DriverGeneral : public AddinTest {};

TEST_F(DriverGeneral, VersionAndDescription) {
  const CallResult Version = Call(u"GetVersion");
  EXPECT_TRUE(Version.Routine);
  EXPECT_EQ(Version.Ret.Type, kHostTextType);
  EXPECT_EQ(Version.Ret.Text, u"1.0");

  const CallResult D = Call(u"ПолучитьОписание", std::vector<HostValue>(7));
  ASSERT_TRUE(D.Routine);
  ASSERT_EQ(D.Params.size(), 7u);
  EXPECT_EQ(D.Params[0].Text, u"KELVO");
  // As 8-bit text: Windows-1251 bytes whatever the system code page.
  if (!v8abi::kWideTextsToHost) {
    EXPECT_EQ(D.Params[1].Bytes, "\xC4\xF0\xE0\xE9\xE2\xE5\xF0 \xCA\xCA\xCC KELVO-1F 1.0");
  }
  for (int Text : {0, 1, 2, 6}) EXPECT_EQ(D.Params[Text].Type, kHostTextType);
  EXPECT_EQ(D.Params[1].Text, u"Драйвер ККМ KELVO-1F 1.0");
  EXPECT_EQ(D.Params[2].Text, u"ККТ");
  EXPECT_EQ(D.Params[3].Type, VTYPE_I4);
  EXPECT_EQ(D.Params[3].Int, 2005);
  EXPECT_EQ(D.Params[4].Type, VTYPE_BOOL);
  EXPECT_FALSE(D.Params[4].Bool);
  EXPECT_EQ(D.Params[5].Type, VTYPE_BOOL);
  EXPECT_FALSE(D.Params[5].Bool);
  EXPECT_EQ(D.Params[6].Text, u"https://kelvo.example/");
  EXPECT_EQ(D.Ret.Type, VTYPE_BOOL);
  EXPECT_TRUE(D.Ret.Bool);
}

TEST_F(DriverGeneral, LastErrorOfANewObject) {
  const CallResult R = Call(u"GetLastError", {Out()});
  EXPECT_EQ(R.Ret.Type, VTYPE_I4);
  EXPECT_EQ(R.Ret.Int, 0);
  EXPECT_EQ(R.Params[0].Type, kHostTextType);
  EXPECT_EQ(R.Params[0].Text, u"");
}

const char kSettingsDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<Settings><Page Caption=\"Параметры\"><Group Caption=\"Параметры подключения\">"
    "<Parameter Name=\"ModelNumber\" Caption=\"Модель\" TypeValue=\"Number\" DefaultValue=\"0\">"
    "<ChoiceList><Item Value=\"0\">KELVO-1F</Item></ChoiceList></Parameter>"
    "<Parameter Name=\"IpAddress\" Caption=\"IP Адрес\" TypeValue=\"String\" "
    "DefaultValue=\"192.168.137.137\"/>"
    "</Group></Page></Settings>";

TEST_F(DriverGeneral, SettingsDocumentAndDefaultAddress) {
  EXPECT_EQ(Call(u"Open", {Out()}).Params[0].Text, u"") << "Open applies no default";

  const CallResult R = Call(u"GetParameters", {Out()});
  EXPECT_TRUE(R.Ret.Bool);
  EXPECT_EQ(R.Params[0].Type, kHostTextType);
  EXPECT_EQ(Utf8(R.Params[0].Text), kSettingsDocument);
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"192.168.137.137");
  EXPECT_EQ(Call(u"Open", {Out()}).Params[0].Text, u"192.168.137.137");
}

TEST_F(DriverGeneral, BlankAddressIsReplacedByGetParameters) {
  for (const std::u16string Blank : {u"   ", u"\t\r\n ", u""}) {
    Call(u"SetParameter", {S(u"IpAddress"), S(Blank)});
    Call(u"GetParameters", {Out()});
    EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"192.168.137.137");
  }
  Call(u"SetParameter", {S(u"IpAddress"), S(u" 10.0.0.5 ")});
  Call(u"GetParameters", {Out()});
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u" 10.0.0.5 ");
}

TEST_F(DriverGeneral, SetAndGetParameterByExactName) {
  EXPECT_TRUE(Call(u"SetParameter", {S(u"IpAddress"), S(u"10.0.0.5:8080")}).Ret.Bool);
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"10.0.0.5:8080");
  EXPECT_EQ(Call(u"Open", {Out()}).Params[0].Text, u"10.0.0.5:8080");
  EXPECT_EQ(Call(u"GetParameter", {S(u"ipaddress")}).Ret.Type, VTYPE_EMPTY);
  EXPECT_EQ(Call(u"GetParameter", {S(u"Other")}).Ret.Type, VTYPE_EMPTY);
  EXPECT_TRUE(Call(u"SetParameter", {S(u"IPADDRESS"), S(u"1.1.1.1")}).Ret.Bool);
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"10.0.0.5:8080");
  // The name may come as a wide string too; a value that is no string empties the address.
  Call(u"SetParameter", {W(u"IpAddress"), I(5)});
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"");
}

TEST_F(DriverGeneral, AddressCrossesTheCodePage) {
  Call(u"SetParameter", {S(u"IpAddress"), W(u"Касса №1 ☃")});
  const CallResult R = Call(u"GetParameter", {S(u"IpAddress")});
  // Through Windows-1251 on every build: the snowman is not in it.
  EXPECT_EQ(R.Ret.Text, u"Касса №1 ?");
  if (!v8abi::kWideTextsToHost) {
    EXPECT_EQ(R.Ret.Bytes,
              "\xCA\xE0\xF1\xF1\xE0 \xB9"
              "1 ?");
  }
}

TEST_F(DriverGeneral, ModelNumberTakesTheHostIntegerReading) {
  struct Case {
    HostValue Value;
    std::int32_t Expected;
  };
  const Case Cases[] = {
      {I(0), 0},
      {I(7), 7},
      {S(u"0"), 0},
      {S(u"5"), 0},  // 8-bit texts do not convert to integers
      {W(u"42"), 42},
      {W(u"  -42"), -42},
      {W(u"$1F"), 31},
      {W(u"0x10"), 16},
      {W(u"4.2"), 0},
      {W(u"abc"), 0},
      {W(u"2147483648"), 0},
      {HostValue::R8(7.9), 7},
      {HostValue::R8(-7.9), -7},
      {HostValue::R8(1e20), 2147483647},
      {HostValue::Boolean(true), 0},
      {HostValue::OfType(VTYPE_I2, 300), 300},
      {HostValue::OfType(VTYPE_I2, -2), -2},
      {HostValue::OfType(VTYPE_UI1, 200), 200},
      {HostValue::OfType(VTYPE_ERROR, -5), -5},
      {HostValue::Date(45000.75), 45000},
      {Out(), 0},
  };
  for (const Case& C : Cases) {
    Call(u"SetParameter", {S(u"ModelNumber"), I(99)});
    Call(u"SetParameter", {S(u"ModelNumber"), C.Value});
    const CallResult R = Call(u"GetParameter", {S(u"ModelNumber")});
    EXPECT_EQ(R.Ret.Type, VTYPE_I4);
    EXPECT_EQ(R.Ret.Int, C.Expected) << C.Value.Describe();
  }
}

TEST_F(DriverGeneral, MethodsThatOnlyReportSuccess) {
  const HostValue Marker = I(77);
  for (const auto& [Method, Count] :
       std::vector<std::pair<std::u16string, int>>{{u"PrintXReport", 2},
                                                   {u"ReportCurrentStatusOfSettlements", 3},
                                                   {u"OpenCashDrawer", 1},
                                                   {u"Close", 1}}) {
    const CallResult R = Call(Method, std::vector<HostValue>(Count, Marker));
    EXPECT_TRUE(R.Routine);
    EXPECT_TRUE(R.Ret.Bool) << Utf8(Method);
    for (const HostValue& P : R.Params) EXPECT_EQ(P.Int, 77) << "parameters are not touched";
  }
  const CallResult Actions = Call(u"GetAdditionalActions", {Marker});
  EXPECT_TRUE(Actions.Ret.Bool);
  EXPECT_EQ(Actions.Params[0].Type, kHostTextType);
  EXPECT_EQ(Actions.Params[0].Text, u"");
}

TEST_F(DriverGeneral, LineLengthIs48WhateverTheDevice) {
  for (const HostValue& Device : {S(u""), S(u"10.0.0.1"), I(3), Out()}) {
    const CallResult R = Call(u"GetLineLength", {Device, Out()});
    EXPECT_TRUE(R.Ret.Bool);
    EXPECT_EQ(R.Params[1].Type, VTYPE_I4);
    EXPECT_EQ(R.Params[1].Int, 48);
  }
}

TEST_F(DriverGeneral, OutputOverAHostStringReturnsItsBlockFirst) {
  // The host passes a string in an output place: the add-in frees it before writing.
  const CallResult R = Call(u"Open", {S(u"old identifier, host-owned")});
  EXPECT_EQ(R.Params[0].Text, u"");
  // TearDown checks that every block, the host's own included, was freed once.
}

}  // namespace
