// ProcessCheck and ProcessCorrectionCheck: the request bytes the register
// receives for a package, the packages that end the call, and what each kind
// of answer leaves in the outputs and the error state.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

constexpr char16_t kNotResponding[] =
    u"Timeout. Device is not responding. Таймаут. Устройство не отвечает";
const char kAccepted[] =
    R"({"ok":true,"data":{"T1042":7,"T1038":12,"T1077":3826186040,"T1060":"www.nalog.gov.ru"}})";

class Receipts : public DeviceTest {
 protected:
  CallResult Check(const std::string& Package) {
    return Call(u"ProcessCheck",
                {Device(), HostValue::Boolean(false), S(U(Package)), Out(), Out(), Out(), Out()});
  }
  CallResult Correction(const std::string& Package) {
    return Call(u"ProcessCorrectionCheck", {Device(), S(U(Package)), Out(), Out(), Out(), Out()});
  }
  // The receipt outputs: number, shift, fiscal sign, site, and the return value.
  static std::string Outputs(const CallResult& R, std::size_t First) {
    return std::to_string(R.Params[First].Int) + "|" + std::to_string(R.Params[First + 1].Int) +
           "|" + Utf8(R.Params[First + 2].Text) + "|" + Utf8(R.Params[First + 3].Text) + "|" +
           (R.Ret.Bool ? "true" : "false");
  }
  // Sets a recognisable error state: a GET whose answer lacks "ok".
  void MarkErrorState() {
    Answer("/api/1/register/info", "{}", "application/json", 200, 1);
    Call(u"GetDataKKT", {Device(), Out()});
    ASSERT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(u"Неверный ответ!")));
  }
};

std::string Package(const std::string& Inside) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CheckPackage>" + Inside + "</CheckPackage>";
}

const std::string kOnePosition =
    R"(<Parameters PaymentType="1" TaxVariant="0"/><Payments Cash="50"/><Positions>)"
    R"(<FiscalString Name="Молоко" Quantity="2" PriceWithDiscount="10.5" SumWithDiscount="21" )"
    R"(Tax="10" TaxSum="1.91" SignMethodCalculation="4" SignCalculationObject="1"/></Positions>)";

TEST_F(Receipts, RequestBodies) {
  struct Case {
    const char* What;
    std::string Package;
    std::string Body;
  };
  const Case Cases[] = {
      {"one position, cash", Package(kOnePosition),
       R"({"T1054":"1","T1055":"1","T1059":[{"T1214":4,"T1212":1,"T1030":"Молоко","T1079":10.5,)"
       R"("T1023":2,"T1199":2,"T1200":1.91,"T1043":21}],"T1020":21,"T1031":21,"T1081":0,"T1103":1.91})"},
      {"cash and card",
       Package(R"(<Parameters PaymentType="2" TaxVariant="3"/>)"
               R"(<Payments Cash="100" ElectronicPayment="30"/><Positions>)"
               R"(<FiscalString Name="A" Quantity="1" PriceWithDiscount="120" )"
               R"(SumWithDiscount="120" Tax="none" TaxSum="0" )"
               R"(SignMethodCalculation="4" SignCalculationObject="1"/></Positions>)"),
       R"({"T1054":"2","T1055":"4","T1059":[{"T1214":4,"T1212":1,"T1030":"A","T1079":120,"T1023":1,)"
       R"("T1199":6,"T1200":0,"T1043":120}],"T1020":120,"T1031":90,"T1081":30,"T1105":120})"},
      {"card only, zero payments left out",
       Package(R"(<Payments Cash="0" ElectronicPayment="21" AdvancePayment="0" Credit="0" )"
               R"(CashProvision="0"/><Positions><P SumWithDiscount="21"/></Positions>)"),
       R"({"T1054":"0","T1055":"1","T1059":[{"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":0,)"
       R"("T1200":0,"T1043":21}],"T1020":21,"T1031":0,"T1081":21})"},
      {"no positions", Package(R"(<Parameters PaymentType="1" TaxVariant="0"/><Positions/>)"),
       R"({"T1054":"1","T1055":"1","T1059":[],"T1020":0,"T1031":0,"T1081":0})"},
      {"a text line is a position with starting values",
       Package(R"(<Positions><TextString Text="Спасибо"/><FiscalString Name="B" Quantity="1" )"
               R"(PriceWithDiscount="5" SumWithDiscount="5" Tax="20" TaxSum="0.83"/></Positions>)"),
       R"({"T1054":"0","T1055":"1","T1059":[{"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":0,)"
       R"("T1200":0,"T1043":0},{"T1214":0,"T1212":0,"T1030":"B","T1079":5,"T1023":1,"T1199":1,)"
       R"("T1200":0.83,"T1043":5}],"T1020":5,"T1031":0,"T1081":0,"T1102":0.83})"},
      {"tax codes add up into their keys",
       Package(
           R"(<Positions><P SumWithDiscount="10" Tax="20" TaxSum="1.5"/>)"
           R"(<P SumWithDiscount="20" Tax="18" TaxSum="2.25"/><P SumWithDiscount="7" Tax="0"/>)"
           R"(<P SumWithDiscount="3" Tax="none"/><P SumWithDiscount="4" Tax=""/>)"
           R"(<P SumWithDiscount="8" Tax="20/120" TaxSum="1"/><P SumWithDiscount="9" Tax="10/100" )"
           R"(TaxSum="0.5"/><P SumWithDiscount="1" Tax="10/110" TaxSum="9"/></Positions>)"),
       R"({"T1054":"0","T1055":"1","T1059":[)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":1,"T1200":1.5,"T1043":10},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":1,"T1200":2.25,"T1043":20},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":5,"T1200":0,"T1043":7},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":6,"T1200":0,"T1043":3},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":6,"T1200":0,"T1043":4},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":3,"T1200":1,"T1043":8},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":4,"T1200":0.5,"T1043":9},)"
       R"({"T1214":0,"T1212":0,"T1079":0,"T1023":0,"T1199":0,"T1200":9,"T1043":1}],)"
       R"("T1020":62,"T1031":0,"T1081":0,"T1102":3.75,"T1104":7,"T1105":7,"T1106":1,"T1107":0.5})"},
      {"agent data chosen by the agent sign",
       Package(R"(<Parameters AgentSign="5"><AgentData PayingAgentPhone="+7900" )"
               R"(MoneyTransferOperatorName="Банк"/><PurveyorData PurveyorPhone="+7800" )"
               R"(PurveyorName="ignored"/><UserAttribute Name="Склад" Value="1"/></Parameters>)"
               R"(<Positions><P SignSubjectCalculationAgent="4"><AgentData PayingAgentPhone="1"/>)"
               R"(</P><P SignSubjectCalculationAgent="0"><AgentData PayingAgentPhone="+7111" )"
               R"(PayingAgentOperation="op"/><PurveyorData PurveyorPhone="+7222" )"
               R"(PurveyorVATIN="7700000000"/></P><P SignSubjectCalculationAgent="2">)"
               R"(<AgentData PayingAgentOperation="Оплата" MoneyTransferOperatorPhone="+7333" )"
               R"(MoneyTransferOperatorVATIN="123"/></P></Positions>)"),
       R"({"T1054":"0","T1055":"1","T1059":[)"
       R"({"T1214":0,"T1212":0,"T1222":[5],"T1079":0,"T1023":0,"T1199":0,"T1200":0,"T1043":0},)"
       R"({"T1214":0,"T1212":0,"T1222":[1],"T1223":{"T1073":"+7111"},"T1224":{"T1171":"+7222"},)"
       R"("T1226":"7700000000","T1079":0,"T1023":0,"T1199":0,"T1200":0,"T1043":0},)"
       R"({"T1214":0,"T1212":0,"T1222":[3],"T1223":{"T1044":"Оплата","T1016":"123","T1075":"+7333"},)"
       R"("T1079":0,"T1023":0,"T1199":0,"T1200":0,"T1043":0}],"T1020":0,"T1031":0,"T1081":0,)"
       R"("T1057":[6],"T1073":"+7900","T1026":"Банк","T1171":"+7800","T1084":"Склад"})"},
      {"customer phone before e-mail, texts escaped",
       Package(R"(<Parameters CashierName="Иванов И.И." CashierVATIN="500100732259" )"
               R"(CustomerPhone="+79001234567" CustomerEmail="a/b@example.com" CustomerINN="7700" )"
               R"(CustomerInfo="ООО &quot;Ромашка&quot;" AdditionalAttribute="a\b&#9;c"/>)"),
       R"({"T1054":"0","T1055":"1","T1227":"ООО \"Ромашка\"","T1228":"7700","T1008":"+79001234567",)"
       R"("T1059":[],"T1020":0,"T1031":0,"T1081":0,"T1192":"a\\b\tc","T1021":"Иванов И.И.",)"
       R"("T1203":"500100732259"})"},
      {"e-mail when there is no phone; later Parameters replace earlier",
       Package(R"(<Parameters PaymentType="1" CustomerEmail="x/y@example.com" CashierName="A"/>)"
               R"(<Parameters PaymentType="2" CashierName=""/>)"),
       R"({"T1054":"2","T1055":"1","T1008":"x\/y@example.com","T1059":[],"T1020":0,"T1031":0,)"
       R"("T1081":0})"},
      {"another document element reads nothing",
       "<checkpackage><Parameters PaymentType=\"1\"/></checkpackage>",
       R"({"T1054":"0","T1055":"1","T1059":[],"T1020":0,"T1031":0,"T1081":0})"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    Answer("/api/1/receipt", kAccepted);
    const CallResult R = Check(C.Package);
    ASSERT_TRUE(R.Routine);
    const ReceivedRequest Sent = LastRequest();
    EXPECT_EQ(Sent.Method, "POST");
    EXPECT_EQ(Sent.Path, "/api/1/receipt");
    EXPECT_EQ(Sent.Body, C.Body);
    EXPECT_EQ(Outputs(R, 3), "7|12|3826186040|www.nalog.gov.ru|true");
  }
  const ReceivedRequest Sent = LastRequest();
  EXPECT_EQ(Sent.Header("Content-Type"), "application/json");
  EXPECT_EQ(Sent.Header("Accept-Encoding"), "UTF-8");
  EXPECT_TRUE(Sent.HasHeader("User-Agent"));
}

TEST_F(Receipts, PackagesThatEndTheCallSendNothing) {
  const std::string Bad[] = {
      "",
      "<CheckPackage><Parameters></CheckPackage>",
      Package(R"(<Positions><P Quantity="1,5"/></Positions>)"),
      Package(R"(<Positions><P Quantity=""/></Positions>)"),
      Package(R"(<Positions><P SumWithDiscount="1 000"/></Positions>)"),
      Package(R"(<Positions><P SignMethodCalculation="4.0"/></Positions>)"),
      Package(R"(<Positions><P SignCalculationObject=" 1"/></Positions>)"),
      Package(R"(<Positions><P SignSubjectCalculationAgent="x"/></Positions>)"),
      Package(R"(<Positions><P TaxSum="-"/></Positions>)"),
      Package(R"(<Parameters PaymentType=""/>)"),
      Package(R"(<Parameters TaxVariant="0x1"/>)"),
      Package(R"(<Parameters AgentSign=""/>)"),
      Package(R"(<Parameters AdditionalAttribute=""/>)"),
      Package(R"(<Payments Cash="12,50"/>)"),
      Package(R"(<Payments ElectronicPayment="abc"/>)"),
  };
  MarkErrorState();
  const std::size_t Before = Requests().size();
  for (const std::string& P : Bad) {
    SCOPED_TRACE(P);
    const CallResult R = Check(P);
    EXPECT_FALSE(R.Routine) << "the host's call fails";
    EXPECT_EQ(R.Ret.Type, VTYPE_EMPTY);
    for (std::size_t I = 3; I < 7; ++I) EXPECT_EQ(R.Params[I].Type, VTYPE_EMPTY) << I;
  }
  EXPECT_EQ(Requests().size(), Before) << "nothing was sent";
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(u"Неверный ответ!")));
}

TEST_F(Receipts, AnswersAndTheErrorStateTheyLeave) {
  struct Case {
    const char* What;
    std::string Answer;
    std::string Outputs;
    std::int64_t Code;
    std::u16string Message;  // "=" keeps the marked text
  };
  const Case Cases[] = {
      {"accepted", kAccepted, "7|12|3826186040|www.nalog.gov.ru|true", 0, u"="},
      {"accepted, data partly readable",
       R"({"ok":true,"data":{"T1042":7,"T1038":"x","T1077":1,"T1060":"s"}})", "7|0|||true", 0,
       u"="},
      {"accepted, data missing", R"({"ok":true})", "0|0|||true", 0, u"="},
      {"accepted, data not an object", R"({"ok":true,"data":[1]})", "0|0|||true", 0, u"="},
      {"accepted, fiscal sign an object",
       R"({"ok":true,"data":{"T1042":1,"T1038":2,"T1077":{},"T1060":"s"}})", "1|2|||true", 0, u"="},
      {"refused", R"({"ok":false,"code":5,"message":"Смена закрыта","errors":["Откройте смену"]})",
       "0|0|||false", 5, u"Смена закрыта errors:[\"Откройте смену\"]"},
      {"refused, errors an object", R"({"ok":false,"code":3,"message":"M","errors":{"a/b":1.50}})",
       "0|0|||false", 3, u"M errors:{\"a\\/b\":1.50}"},
      {"refused without errors", R"({"ok":false,"code":5,"message":"M"})", "0|0|||false", 0, u""},
      // A message that is an object or array has the empty text; the code stays.
      {"refused, message an object", R"({"ok":false,"code":5,"message":{"ru":"M"},"errors":[]})",
       "0|0|||false", 5, u" errors:[]"},
      {"refused, message an array", R"({"ok":false,"code":6,"message":["M"],"errors":1})",
       "0|0|||false", 6, u" errors:1"},
      {"refused without message", R"({"ok":false,"code":5,"errors":[]})", "0|0|||false", 0, u""},
      {"refused without code", R"({"ok":false,"message":"M","errors":[]})", "0|0|||false", 0, u""},
      {"refused, code not an integer", R"({"ok":false,"code":"5x","message":"M","errors":[]})",
       "0|0|||false", 0, u""},
      {"no ok", R"({"data":{"T1042":7}})", "0|0|||false", 2, kNotResponding},
      {"ok not a Boolean", R"({"ok":"maybe"})", "0|0|||false", 2, kNotResponding},
      {"ok as a number text", R"({"ok":"1","data":{"T1042":9}})", "9|0|||true", 0, u"="},
      {"empty object", "{}", "0|0|||false", 0, u"="},
      {"an array", "[1,2]", "0|0|||false", 0, u"="},
      {"object then text", R"({"ok":true} trailing)", "0|0|||false", 0, u"="},
      {"HTML error page", "<html><body>502</body></html>", "0|0|||false", 0, u"="},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    MarkErrorState();
    Answer("/api/1/receipt", C.Answer);
    const CallResult R = Check(Package(kOnePosition));
    EXPECT_TRUE(R.Routine);
    EXPECT_EQ(Outputs(R, 3), C.Outputs);
    const std::u16string Message = C.Message == u"=" ? u"Неверный ответ!" : C.Message;
    EXPECT_EQ(LastError(), std::make_pair(C.Code, Message));
  }
}

TEST_F(Receipts, NoAnswerLeavesTheTransportFailure) {
  const HostValue Closed = S(U(ClosedLoopbackAddress()));
  const std::string Wanted = "Error connecting to server: ";
  CallResult R = Call(u"ProcessCheck", {Closed, HostValue::Boolean(true),
                                        S(U(Package(kOnePosition))), Out(), Out(), Out(), Out()});
  EXPECT_TRUE(R.Routine);
  EXPECT_EQ(Outputs(R, 3), "0|0|||false");
  auto [Code, Message] = LastError();
  EXPECT_EQ(Code, 1) << "the transport failure stays (not 0)";
  EXPECT_EQ(Utf8(Message).rfind(Wanted, 0), 0u) << Utf8(Message);

  // A successful POST afterwards resets the code and keeps the old text.
  Answer("/api/1/receipt", "[]");
  Check(Package(kOnePosition));
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{0}, Message));

  // An address that must not be pasted into a URL fails the same way, by name.
  R = Call(u"ProcessCheck", {S(U(Register().Address() + "/x")), HostValue::Boolean(false),
                             S(U(Package(kOnePosition))), Out(), Out(), Out(), Out()});
  std::tie(Code, Message) = LastError();
  EXPECT_EQ(Code, 1);
  EXPECT_NE(Utf8(Message).find(Register().Address() + "/x"), std::string::npos) << Utf8(Message);
  EXPECT_EQ(Requests().size(), 1u) << "only the good request reached the register";
}

// Correction receipts ----------------------------------------------------------

std::string CorrectionPackage(const std::string& Inside) {
  return "<CheckCorrectionPackage>" + Inside + "</CheckCorrectionPackage>";
}

TEST_F(Receipts, CorrectionRequestBodies) {
  struct Case {
    const char* What;
    std::string Package;
    std::string Body;
  };
  const Case Cases[] = {
      {"minimal",
       CorrectionPackage(R"(<Parameters Sum="100" PaymentType="1" TaxVariant="0" )"
                         R"(CorrectionType="0"/><Payments Cash="100"/>)"),
       R"({"T1054":"1","T1055":"1","T1020":100,"T1031":100,"T1081":0,"T1173":false,)"
       R"("T1174":{"T1178":"","T1179":""}})"},
      {"everything",
       CorrectionPackage(
           R"(<Parameters CashierName="Петров" CashierVATIN="500100732259" CorrectionType="1" )"
           R"(TaxVariant="2" PaymentType="2" СorrectionBaseDate="2024.05.17" )"
           R"(СorrectionBaseNumber="№ 12/3" Sum="12.5" SumTAX20="1" SumTAX10="2" SumTAX0="3" )"
           R"(SumTAXNone="4" SumTAX120="5" SumTAX110="6" AdditionalAttribute="доп"/>)"
           R"(<Payments Cash="0" ElectronicPayment="0" AdvancePayment="1.5" Credit="2" )"
           R"(CashProvision="3"/>)"),
       R"({"T1054":"2","T1055":"3","T1020":12.5,"T1031":0,"T1081":0,"T1215":1.5,"T1216":2,)"
       R"("T1217":3,"T1102":1,"T1103":2,"T1104":3,"T1105":4,"T1106":5,"T1107":6,"T1192":"доп",)"
       R"("T1021":"Петров","T1203":"500100732259","T1173":true,)"
       R"("T1174":{"T1178":"2024.05.17","T1179":"№ 12\/3"}})"},
      {"Latin C base names are ignored; zero amounts left out; later Parameters win",
       CorrectionPackage(R"(<Parameters CorrectionBaseDate="x" CorrectionBaseNumber="y" )"
                         R"(SumTAX20="0" Sum="1"/><Parameters Sum="-5" СorrectionBaseDate=""/>)"
                         R"(<Payments AdvancePayment="0" Credit="-1"/>)"),
       R"({"T1054":"0","T1055":"1","T1020":-5,"T1031":0,"T1081":0,"T1173":false,)"
       R"("T1174":{"T1178":"","T1179":""}})"},
      {"another document element", R"(<CheckPackage><Parameters Sum="1"/></CheckPackage>)",
       R"({"T1054":"0","T1055":"1","T1020":0,"T1031":0,"T1081":0,"T1173":false,)"
       R"("T1174":{"T1178":"","T1179":""}})"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    Answer("/api/1/correctivereceipt", kAccepted);
    const CallResult R = Correction(C.Package);
    ASSERT_TRUE(R.Routine);
    const ReceivedRequest Sent = LastRequest();
    EXPECT_EQ(Sent.Path, "/api/1/correctivereceipt");
    EXPECT_EQ(Sent.Body, C.Body);
    EXPECT_EQ(Outputs(R, 2), "7|12|3826186040|www.nalog.gov.ru|true");
  }
}

TEST_F(Receipts, CorrectionPackagesThatEndTheCall) {
  const std::string Bad[] = {
      "not xml",
      CorrectionPackage(R"(<Parameters Sum=""/>)"),
      CorrectionPackage(R"(<Parameters Sum="1,5"/>)"),
      CorrectionPackage(R"(<Parameters CashierVATIN=""/>)"),
      CorrectionPackage(R"(<Parameters CashierName=""/>)"),
      CorrectionPackage(R"(<Parameters AdditionalAttribute=""/>)"),
      CorrectionPackage(R"(<Parameters TaxVariant="x"/>)"),
      CorrectionPackage(R"(<Parameters CorrectionType=""/>)"),
      CorrectionPackage(R"(<Payments Cash=""/>)"),
  };
  MarkErrorState();
  const std::size_t Before = Requests().size();
  for (const std::string& P : Bad) {
    SCOPED_TRACE(P);
    const CallResult R = Correction(P);
    EXPECT_FALSE(R.Routine);
    EXPECT_EQ(R.Ret.Type, VTYPE_EMPTY);
    for (std::size_t I = 2; I < 6; ++I) EXPECT_EQ(R.Params[I].Type, VTYPE_EMPTY);
  }
  EXPECT_EQ(Requests().size(), Before) << "nothing was sent";
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(u"Неверный ответ!")));
}

TEST_F(Receipts, CorrectionReturnsWhetherTheRegisterIssuedIt) {
  const std::string P = CorrectionPackage(R"(<Parameters Sum="1" PaymentType="1" TaxVariant="0" )"
                                          R"(CorrectionType="0"/>)");
  struct Case {
    std::string Answer;
    std::string Outputs;
    std::int64_t Code;
    std::u16string Message;
  };
  const Case Cases[] = {
      {R"({"ok":true,"data":{"T1042":3}})", "3|0|||true", 0, u"Неверный ответ!"},
      {R"({"ok":false,"code":5,"message":"M","errors":["e"]})", "0|0|||false", 5,
       u"M errors:[\"e\"]"},
      {R"({"ok":false})", "0|0|||false", 0, u""},
      {R"({"ok":false,"code":7,"message":{},"errors":[]})", "0|0|||false", 7, u" errors:[]"},
      {R"({"code":1})", "0|0|||false", 2, kNotResponding},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    MarkErrorState();
    Answer("/api/1/correctivereceipt", C.Answer);
    const CallResult R = Correction(P);
    EXPECT_EQ(Outputs(R, 2), C.Outputs);
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
  }
  const CallResult R = Call(u"ProcessCorrectionCheck",
                            {S(U(ClosedLoopbackAddress())), S(U(P)), Out(), Out(), Out(), Out()});
  EXPECT_EQ(Outputs(R, 2), "0|0|||false");
  EXPECT_EQ(LastError().first, 1);
}

}  // namespace

namespace {

std::string Utf16(const std::string& Utf8, bool BigEndian) {
  std::string Out;
  for (const char16_t C : U(Utf8)) {
    const char High = static_cast<char>(C >> 8), Low = static_cast<char>(C & 0xFF);
    Out += BigEndian ? std::string{High, Low} : std::string{Low, High};
  }
  return Out;
}

// An accepted receipt reads as accepted whatever charset, byte-order mark or
// odd value its answer comes with: a cashier must never be told to repeat a
// receipt the register made.
TEST_F(Receipts, AcceptedReceiptsInEveryAnswerForm) {
  const std::string Accepted =
      R"({"ok":true,"message":"Чек","data":{"T1042":7,"T1038":12,"T1077":3826186040,)"
      R"("T1060":"www.nalog.gov.ru"}})";
  const struct {
    const char* What;
    std::string Body;
    std::string ContentType;
  } Cases[] = {
      {"UTF-16LE with a mark", "\xFF\xFE" + Utf16(Accepted, false),
       "application/json; charset=utf-16"},
      {"UTF-16BE without a mark", Utf16(Accepted, true), "application/json; charset=UTF-16BE"},
      {"UTF-16 without a mark", Utf16(Accepted, false), "application/json; charset=utf-16"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + Accepted, "application/json; charset=utf-8"},
      {"a lone surrogate in the message",
       R"({"ok":true,"message":"cut \ud83d","data":{"T1042":7,"T1038":12,"T1077":3826186040,)"
       R"("T1060":"www.nalog.gov.ru"}})",
       "application/json"},
      {"a number beyond a double",
       R"({"ok":true,"data":{"T1042":7,"T1038":12,"T1077":3826186040,"T9999":1e400,)"
       R"("T1060":"www.nalog.gov.ru"}})",
       "application/json"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    Answer("/api/1/receipt", C.Body, C.ContentType, 200, 1);
    const CallResult R = Check(Package(kOnePosition));
    EXPECT_EQ(Outputs(R, 3), "7|12|3826186040|www.nalog.gov.ru|true");
  }
}

// Refusals in 8-bit Cyrillic charsets keep their letters.
TEST_F(Receipts, RefusalsInCyrillicCharsets) {
  const struct {
    std::string Message;  // "Смена закрыта" in the charset
    std::string Charset;
  } Cases[] = {
      {"\xC1\xDC\xD5\xDD\xD0 \xD7\xD0\xDA\xE0\xEB\xE2\xD0", "ISO-8859-5"},
      {"\x91\xac\xa5\xad\xa0 \xa7\xa0\xaa\xe0\xeb\xe2\xa0", "IBM866"},
      {"\xF3\xCD\xC5\xCE\xC1 \xDA\xC1\xCB\xD2\xD9\xD4\xC1", "koi8-r"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Charset);
    Answer("/api/1/receipt",
           R"({"ok":false,"code":5,"message":")" + C.Message + R"(","errors":[]})",
           "application/json; charset=" + C.Charset, 200, 1);
    Check(Package(kOnePosition));
    EXPECT_EQ(LastError(),
              std::make_pair(std::int64_t{5}, std::u16string(u"Смена закрыта errors:[]")));
  }
}

}  // namespace
