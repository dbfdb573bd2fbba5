// DeviceTest, GetDataKKT and GetCurrentStatus against the emulated register,
// and the transport situations every device method meets.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

constexpr char16_t kTimeout[] = u"Timeout. Время ожидания истекло";
constexpr char16_t kBadAnswer[] = u"Неверный ответ!";
const std::u16string kWorking =
    u"Устройство работает в штатном режиме, полет нормальный. OrlaNumber=";

class DeviceInfo : public DeviceTest {
 protected:
  // DeviceTest uses the stored address.
  CallResult RunDeviceTest(bool* BoxShown = nullptr) {
    Call(u"SetParameter", {S(u"IpAddress"), Device()});
    ::testing::internal::CaptureStderr();
    CallResult R = Call(u"DeviceTest", {Out(), Out()});
    const std::string Err = ::testing::internal::GetCapturedStderr();
    if (BoxShown) *BoxShown = Err.find("Timeout. Время ожидания истекло") != std::string::npos;
    return R;
  }
  std::string DataKKT(bool* Ok = nullptr) {
    const CallResult R = Call(u"GetDataKKT", {Device(), Out()});
    if (Ok) *Ok = R.Ret.Bool;
    EXPECT_EQ(R.Ret.Type, VTYPE_BOOL);
    return Utf8(R.Params[1].Text);
  }
};

// Builds the device parameters document the driver hands out, from the
// attributes that differ from their defaults.
std::string ParametersDocument(std::vector<std::pair<std::string, std::string>> Set) {
  const char* Names[] = {"KKTNumber",
                         "KKTSerialNumber",
                         "Fiscal",
                         "FFDVersionFN",
                         "FFDVersionKKT",
                         "FNSerialNumber",
                         "DocumentNumber",
                         "DateTime",
                         "OrganizationName",
                         "VATIN",
                         "AddressSettle",
                         "PlaceSettle",
                         "TaxVariant",
                         "OfflineMode",
                         "DataEncryption",
                         "ServiceSign",
                         "SaleExcisableGoods",
                         "SignOfGambling",
                         "SignOfLottery",
                         "SignOfAgent",
                         "BSOSing",
                         "CalcOnlineSign",
                         "PrinterAutomatic",
                         "AutomaticMode",
                         "AutomaticNumber",
                         "OFDOrganizationName",
                         "OFDVATIN",
                         "FNSWebSite",
                         "SenderEmail"};
  const std::string Flags =
      " Fiscal OfflineMode DataEncryption ServiceSign SaleExcisableGoods "
      "SignOfGambling SignOfLottery BSOSing CalcOnlineSign PrinterAutomatic "
      "AutomaticMode ";
  std::string Doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Parameters";
  for (const char* Name : Names) {
    std::string Value =
        Flags.find(std::string(" ") + Name + " ") != std::string::npos ? "false" : "";
    for (const auto& [N, V] : Set)
      if (N == Name) Value = V;
    Doc += std::string(" ") + Name + "=\"" + Value + "\"";
  }
  return Doc + "/>";
}

TEST_F(DeviceInfo, DeviceTestLine) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::u16string Line;
    bool Box;
  };
  const Case Cases[] = {
      {R"({"num":7,"ser_num":"A1"})", true, kWorking + u"7 serNumber=A1", false},
      {R"({"num":" 7 "})", true, kWorking + u" 7  serNumber=", true},
      {R"({"ser_num":"A1"})", false, u"Ошибка подключения устройства.", true},
      {R"({"num":"","ser_num":"A1"})", false, u"Ошибка подключения устройства.", false},
      {R"({})", false, u"Ошибка подключения устройства.", false},
      {R"({"num":12.50,"ser_num":true})", true, kWorking + u"12.5 serNumber=true", false},
      {R"({"num":"K-1","ser_num":"S)", true, kWorking + u"K-1 serNumber=", true},
      {R"(<html>500</html>)", false, u"Ошибка подключения устройства.", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/getallinfo", C.Answer);
    bool Box = false;
    const CallResult R = RunDeviceTest(&Box);
    EXPECT_EQ(R.Ret.Bool, C.Ok);
    EXPECT_EQ(R.Params[0].Text, C.Line);
    EXPECT_EQ(R.Params[1].Type, kHostTextType);
    EXPECT_EQ(R.Params[1].Text, u"");
    EXPECT_EQ(Box, C.Box);
    EXPECT_EQ(LastError().first, 0) << "an answer resets the code";
  }
}

TEST_F(DeviceInfo, DeviceTestAgainstTheRegister) {
  const CallResult R = RunDeviceTest();
  EXPECT_TRUE(R.Ret.Bool);
  EXPECT_EQ(R.Params[0].Text.rfind(kWorking, 0), 0u) << Utf8(R.Params[0].Text);
  const ReceivedRequest Sent = LastRequest();
  EXPECT_EQ(Sent.Method, "GET");
  EXPECT_EQ(Sent.Path, "/api/1/getallinfo");
}

TEST_F(DeviceInfo, NoAnswerIsATimeoutWithoutMessageBox) {
  Call(u"SetParameter", {S(u"IpAddress"), S(harness::FromUtf8(ClosedLoopbackAddress()))});
  ::testing::internal::CaptureStderr();
  const CallResult R = Call(u"DeviceTest", {Out(), Out()});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(R.Ret.Bool);
  EXPECT_EQ(R.Params[0].Text, u"Ошибка подключения устройства.");
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{2}, std::u16string(kTimeout)));

  // GetDataKKT then finds no "ok".
  const CallResult D = Call(u"GetDataKKT", {S(harness::FromUtf8(ClosedLoopbackAddress())), Out()});
  EXPECT_FALSE(D.Ret.Bool);
  EXPECT_EQ(Utf8(D.Params[1].Text), ParametersDocument({}));
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(kBadAnswer)));
}

TEST_F(DeviceInfo, RegistrationDocument) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::vector<std::pair<std::string, std::string>> Expected;
  };
  const Case Cases[] = {
      {R"({"ok":true,"T1037":"0001","T1189":3,"T1190":2,"T1062":[1,2,6]})",
       true,
       {{"KKTNumber", "0001"},
        {"Fiscal", "true"},
        {"FFDVersionKKT", "1.1"},
        {"FFDVersionFN", "1.0.5"},
        {"TaxVariant", "0,1,5"}}},
      {R"({"ok":true,"data":{"T1037":"0001"}})", true, {}},
      {R"({"ok":true,"T1189":4,"T1190":"x"})", true, {}},
      {R"({"ok":true,"T1002":"1","T1056":"FALSE","T1109":true,"T1207":0,"T1193":"2.5"})",
       true,
       {{"OfflineMode", "true"}, {"ServiceSign", "true"}, {"SignOfGambling", "true"}}},
      {R"({"ok":true,"T1037":"A","T1037":"B","T1062":[2],"T1062":[3]})",
       true,
       {{"KKTNumber", "B"}, {"Fiscal", "true"}, {"TaxVariant", "1"}}},
      {R"({"ok":true,"T1062":[],"T1048":"ООО \"Ромашка\" & <Co>","T1041":9999078900012345})",
       true,
       {{"OrganizationName", "ООО &quot;Ромашка&quot; &amp; &lt;Co>"},
        {"FNSerialNumber", "9999078900012345"}}},
      // Values that do not convert keep their defaults; the rest is read.
      {R"({"ok":true,"T1002":"maybe","T1062":"1,2","T1013":"S1","T1190":3,"T1190":7})",
       true,
       {{"KKTSerialNumber", "S1"}, {"FFDVersionFN", "1.1"}}},
      {R"({"ok":true,"T1062":[1,"x"],"T1001":null,"T1036":{"a":1}})", true, {}},
      {R"({"ok":false,"T1037":"0001"})", false, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/register/info", C.Answer);
    bool Ok = !C.Ok;
    EXPECT_EQ(DataKKT(&Ok), ParametersDocument(C.Expected));
    EXPECT_EQ(Ok, C.Ok);
  }
}

TEST_F(DeviceInfo, RegistrationEnvelopeGoesToTheErrorState) {
  struct Case {
    std::string Answer;
    std::int64_t Code;
    std::u16string Message;
  };
  const Case Cases[] = {
      {R"({"ok":false,"code":12,"message":"X","errors":"Y"})", 12, u"X Y"},
      {R"({"ok":true,"code":0,"message":"Готово"})", 0, u"Готово"},
      {R"({"code":5})", 5, kBadAnswer},
      {R"({"T1037":"1"})", 3, kBadAnswer},
      {R"({"ok":"yes"})", 3, kBadAnswer},
      // Members that do not read as their type leave the error state as it was.
      {R"({"ok":false,"code":"x","message":["m"],"errors":["e"]})", 0, kBadAnswer},
      {R"({"ok":false,"message":"M","errors":[1]})", 0, u"M"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/register/info", C.Answer);
    DataKKT();
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
  }
}

TEST_F(DeviceInfo, RegistrationOfTheEmulatedRegister) {
  bool Ok = false;
  const std::string Doc = DataKKT(&Ok);
  EXPECT_TRUE(Ok);
  EXPECT_NE(Doc.find("Fiscal=\"true\""), std::string::npos) << Doc;
  EXPECT_EQ(Doc.find("KKTNumber=\"\""), std::string::npos) << Doc;
  EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, Register().Address16());
}

TEST_F(DeviceInfo, AnswerBodyIsDecodedByItsCharset) {
  struct Case {
    std::string Body, ContentType;
  };
  const std::string Utf8Body = Utf8(u"{\"ok\":true,\"T1048\":\"ООО \\\"Ромашка\\\"\"}");
  const Case Cases[] = {
      {Utf8Body, "application/json"},
      {Utf8Body, "application/json; charset=utf-8"},
      {"{\"ok\":true,\"T1048\":\"\xCE\xCE\xCE \\\"\xD0\xEE\xEC\xE0\xF8\xEA\xE0\\\"\"}",
       "application/json; charset=windows-1251"},
      {"{\"ok\":true,\"T1048\":\"\xEF\xEF\xEF \\\"\xF2\xCF\xCD\xC1\xDB\xCB\xC1\\\"\"}",
       "application/json;charset=\"KOI8-R\""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.ContentType);
    Answer("/api/1/register/info", C.Body, C.ContentType);
    EXPECT_NE(DataKKT().find("OrganizationName=\"ООО &quot;Ромашка&quot;\""), std::string::npos);
  }
}

TEST_F(DeviceInfo, LenientReadingOfGetAnswers) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::string KKTNumber;
  };
  const Case Cases[] = {
      {R"({"ok":true,"T1037":"0001"} and then some text)", true, "0001"},
      {R"(  {"ok":true,"T1037":"0001","T1013":)", true, "0001"},
      {R"({"ok":true,"T1037":"0001","T10)", true, "0001"},
      {R"([{"ok":true,"T1037":"0001"}])", false, ""},
      {R"(<!DOCTYPE html><html><body>Internal error</body></html>)", false, ""},
      {"", false, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/register/info", C.Answer, "text/html", 500);
    bool Ok = !C.Ok;
    const std::string Doc = DataKKT(&Ok);
    EXPECT_EQ(Ok, C.Ok);
    EXPECT_NE(Doc.find("KKTNumber=\"" + C.KKTNumber + "\""), std::string::npos) << Doc;
  }
}

TEST_F(DeviceInfo, RequestHeadersOfAGet) {
  DataKKT();
  const ReceivedRequest Sent = LastRequest();
  EXPECT_EQ(Sent.Method, "GET");
  EXPECT_EQ(Sent.Path, "/api/1/register/info");
  EXPECT_EQ(Sent.Header("Content-Type"), "application/json");
  EXPECT_EQ(Sent.Header("User-Agent"),
            "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
            "Chrome/87.0.4280.66 Safari/537.36");
  EXPECT_FALSE(Sent.HasHeader("Accept-Encoding"));
  EXPECT_EQ(Sent.Body, "");
}

TEST_F(DeviceInfo, UnusableAddressesNeverReachTheNetwork) {
  const std::string Good = Register().Address();
  const std::string Bad[] = {Good + "/x",
                             Good + "?a=1",
                             Good + "#f",
                             "user@" + Good,
                             " " + Good,
                             Good + " ",
                             Good + "\r\nX: y",
                             Good + "\\",
                             Good + ":1",
                             "127.0.0.1:0",
                             "127.0.0.1:65536",
                             "[::1",
                             "",
                             "127.0.0.1:",
                             std::string("127.0.0.1\0:1", 11)};
  for (const std::string& Address : Bad) {
    SCOPED_TRACE(Address);
    const CallResult R = Call(u"GetDataKKT", {S(harness::FromUtf8(Address)), Out()});
    EXPECT_FALSE(R.Ret.Bool);
    EXPECT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(kBadAnswer)));
  }
  EXPECT_TRUE(Requests().empty()) << "no request reached the register";
}

TEST_F(DeviceInfo, CurrentStatus) {
  struct Case {
    std::string Shift, Exchange;
    bool Ok;
    std::int64_t Receipt, ShiftNo, State;
    std::string Counter, First, DateTime;
  };
  const Case Cases[] = {
      {R"({"ok":true,"shiftNo":15,"shiftStatus":1,"checkNo":3})",
       R"({"ok":true,"msgCountForExch":2,"noOfFirstDocForExch":101,"DateTimeOfFirstDocForExch":"X"})",
       true, 3, 15, 2, "2", "101", "X"},
      {R"({"ok":true,"shiftStatus":0})", R"({"ok":true})", true, 0, 0, 1, "0", "0", ""},
      {R"({"ok":true,"shiftStatus":2})", R"({"ok":false})", false, 0, 0, 2, "0", "0", ""},
      {R"({"ok":true,"shiftStatus":5})", R"({"ok":true,"msgCountForExch":"7"})", true, 0, 0, 5, "7",
       "0", ""},
      {R"({"shiftNo":15})", R"({"ok":true,"msgCountForExch":1})", true, 0, 0, 0, "1", "0", ""},
      {R"({"ok":false,"shiftNo":15})", R"({"ok":true})", true, 0, 0, 0, "0", "0", ""},
      {R"({"ok":true})", R"({"ok":true,"DateTimeOfFirstDocForExch":12.50})", true, 0, 0, 0, "0",
       "0", "12.5"},
      // Members that do not read as integers stay at 0; the others are read.
      {R"({"ok":true,"shiftNo":"x","shiftStatus":[1],"checkNo":4})",
       R"({"ok":true,"msgCountForExch":1.5,"noOfFirstDocForExch":9})", true, 4, 0, 0, "0", "9", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Shift + " / " + C.Exchange);
    Answer("/api/1/shift/status", C.Shift);
    Answer("/api/1/ofd/status", C.Exchange);
    const CallResult R = Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()});
    EXPECT_EQ(R.Ret.Bool, C.Ok);
    EXPECT_EQ(R.Params[1].Int, C.Receipt);
    EXPECT_EQ(R.Params[2].Int, C.ShiftNo);
    EXPECT_EQ(R.Params[3].Int, C.State);
    EXPECT_EQ(Utf8(R.Params[4].Text),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><StatusParameters><Parameters "
              "BacklogDocumentsCounter=\"" +
                  C.Counter + "\" BacklogDocumentFirstNumber=\"" + C.First +
                  "\" BacklogDocumentFirstDateTime=\"" + C.DateTime + "\"/></StatusParameters>");
  }
}

TEST_F(DeviceInfo, CurrentStatusErrorState) {
  Answer("/api/1/shift/status", R"({"shiftNo":1})");
  Answer("/api/1/ofd/status", R"({"ok":false})");
  Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()});
  // The second GET succeeded (code 0); the message stays from the first read.
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{0}, std::u16string(kBadAnswer)));
}

TEST_F(DeviceInfo, CurrentStatusOfTheEmulatedRegister) {
  const CallResult R = Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()});
  EXPECT_TRUE(R.Ret.Bool);
  EXPECT_EQ(R.Params[3].Int, 1) << "the register starts with its shift closed";
  const std::vector<ReceivedRequest> Sent = Requests();
  ASSERT_EQ(Sent.size(), 2u);
  EXPECT_EQ(Sent[0].Path, "/api/1/shift/status");
  EXPECT_EQ(Sent[1].Path, "/api/1/ofd/status");
}

}  // namespace
