// Host texts arrive as 8-bit strings in the system code page, which the hosts
// this driver serves have as Windows-1251 (on Windows the process's ANSI code
// page: the Windows tests run with it set to 1251), or as wide strings read
// through that code page. Cyrillic must arrive at the register as the same
// characters, and come back to the host as the same characters: as the same
// bytes in 8-bit texts (Windows), as UTF-16 in wide texts (Linux).
#include <gtest/gtest.h>

#include "base/cp1251.h"
#include "support/device_fixture.h"
#include "tools/harness/host_code_page.h"

namespace {

using namespace testing_support;

class HostCodePage : public DeviceTest {};

TEST_F(HostCodePage, CyrillicFromTheHostReachesTheRegister) {
  const std::u16string Cashier = u"Иванова Ёлка №7";
  const HostValue Input =
      S(u"<InputParameters><Parameters CashierName=\"" + Cashier + u"\"/></InputParameters>");
  ASSERT_NE(Input.Bytes.find("\xC8\xE2\xE0\xED\xEE\xE2\xE0 \xA8\xEB\xEA\xE0 \xB9"
                             "7"),
            std::string::npos)
      << "the host's bytes are Windows-1251";
  Answer("/api/1/shift/open", R"({"ok":false})");
  Call(u"OpenShift", {Device(), Input, Out(), Out(), Out()});
  EXPECT_EQ(LastRequest().Body, "{\"T1021\":\"" + Utf8(Cashier) + "\"}");
}

TEST_F(HostCodePage, CyrillicToTheHostKeepsItsCharacters) {
  Answer("/api/1/getallinfo", R"({"num":7,"ser_num":"Ж1"})");
  Call(u"SetParameter", {S(u"IpAddress"), Device()});
  const CallResult R = Call(u"DeviceTest", {Out(), Out()});
  ASSERT_EQ(R.Params[0].Type, kHostTextType);
  const std::u16string Line =
      u"Устройство работает в штатном режиме, полет нормальный. OrlaNumber=7 serNumber=Ж1";
  EXPECT_EQ(R.Params[0].Text, Line);
  if (!v8abi::kWideTextsToHost) {
    EXPECT_EQ(R.Params[0].Bytes, harness::ToHostCodePage(Line));
  }
}

TEST_F(HostCodePage, HostBytesComeBackUnchanged) {
  // Every byte but NUL, through a text setting and back.
  std::string All;
  for (int B = 1; B < 256; ++B) All.push_back(static_cast<char>(B));
  Call(u"SetParameter", {S(u"IpAddress"), HostValue::StrBytes(All)});
  const CallResult R = Call(u"GetParameter", {S(u"IpAddress")});
  ASSERT_EQ(R.Ret.Type, kHostTextType);
  if (v8abi::kWideTextsToHost) {
    EXPECT_EQ(R.Ret.Text, harness::FromHostCodePage(All));
  } else {
    EXPECT_EQ(R.Ret.Bytes, All);
  }
}

// The add-in's fixed table against the system's converter, byte for byte and
// back; 0x98, undefined in Windows-1251, stands for U+0098 on both sides.
TEST(Cp1251Table, IsTheSystemsCodePage) {
  for (unsigned Byte = 0x80; Byte < 0x100; ++Byte) {
    const std::string One(1, static_cast<char>(Byte));
    SCOPED_TRACE(Byte);
    const char16_t System = harness::SystemCp1251Char(static_cast<unsigned char>(Byte));
    EXPECT_EQ(base::Cp1251ToWide(One), harness::FromHostCodePage(One));
    if (Byte != 0x98) {
      EXPECT_EQ(base::Cp1251ToWide(One), std::u16string(1, System));
    }
    EXPECT_EQ(base::WideToCp1251(base::Cp1251ToWide(One)), One);
  }
  EXPECT_EQ(base::WideToCp1251(u"\u4E2D\U0001F600"), harness::ToHostCodePage(u"\u4E2D\U0001F600"));
}

}  // namespace
