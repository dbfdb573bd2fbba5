// PrintTextDocument and CashInOutcome: the print elements sent, and how the
// answer becomes the error state.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

class Printing : public DeviceTest {
 protected:
  CallResult Text(const std::string& Document) {
    return Call(u"PrintTextDocument", {Device(), S(U(Document))});
  }
  CallResult Slip(const std::string& Document, const HostValue& Amount) {
    return Call(u"CashInOutcome", {Device(), S(U(Document)), Amount});
  }
};

const char kTail[] = R"({"hr":true},{"feed":"8 lines"}]})";

TEST_F(Printing, TextDocumentElements) {
  struct Case {
    std::string Document, Body;
  };
  const Case Cases[] = {
      {R"(<Document><Positions><TextString Text="A"/><TextString Text="B"/></Positions></Document>)",
       std::string(R"({"data":[{"left":"A"},{"left":"B"},)") + kTail},
      {"<Document/>", std::string(R"({"data":[)") + kTail},
      {"<Document><Positions/></Document>", std::string(R"({"data":[)") + kTail},
      {R"(<D><Positions><TextString Text=""/><Barcode BarcodeType="EAN13" Barcode=""/>)"
       R"(<TextString Text="1/2 &quot;Ёж&quot;" Other="x"/><Other Text="no"/></Positions>)"
       R"(<X><Positions><TextString Text="nested"/></Positions></X>)"
       R"(<Positions><TextString Text="second"/></Positions></D>)",
       std::string(R"({"data":[{"left":""},{"left":"1\/2 \"Ёж\""},{"left":"second"},)") + kTail},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Document);
    EXPECT_TRUE(Text(C.Document).Ret.Bool);
    const ReceivedRequest Sent = LastRequest();
    EXPECT_EQ(Sent.Path, "/api/1/printany");
    EXPECT_EQ(Sent.Body, C.Body);
  }
  EXPECT_NE(Tape().find("second"), std::string::npos) << "the register printed it";
}

TEST_F(Printing, SlipElements) {
  struct Case {
    std::string Document;
    HostValue Amount;
    std::string Body;
  };
  const std::string Cashier = R"(<Parameters CashierName="Иванов" CashierVATIN="500100732259"/>)";
  const Case Cases[] = {
      {Cashier, HostValue::R8(1500),
       R"({"data":[{"center":"ВНЕСЕНИЕ"},{"feed":"1 lines"},{"left":"Иванов"},)"
       R"({"left":"500100732259"},{"feed":"1 lines"},{"right":"1500"},{"feed":"3 lines"}]})"},
      {Cashier, HostValue::R8(0),
       R"({"data":[{"center":"ВНЕСЕНИЕ"},{"feed":"1 lines"},{"left":"Иванов"},)"
       R"({"left":"500100732259"},{"feed":"1 lines"},{"right":"0"},{"feed":"3 lines"}]})"},
      {R"(<Parameters CashierName="A" CashierVATIN=""/>)", HostValue::R8(-250.75),
       R"({"data":[{"center":"ВЫЕМКА"},{"feed":"1 lines"},{"left":"A"},{"left":""},)"
       R"({"feed":"1 lines"},{"right":"250.75"},{"feed":"3 lines"}]})"},
      {R"(<Root><Parameters CashierName="A"/></Root>)", HostValue::I4(-5),
       R"({"data":[{"center":"ВЫЕМКА"},{"feed":"1 lines"},{"left":""},{"left":""},)"
       R"({"feed":"1 lines"},{"right":"5"},{"feed":"3 lines"}]})"},
      {Cashier, W(u"1500.5"),
       R"({"data":[{"center":"ВНЕСЕНИЕ"},{"feed":"1 lines"},{"left":"Иванов"},)"
       R"({"left":"500100732259"},{"feed":"1 lines"},{"right":"1500.5"},{"feed":"3 lines"}]})"},
      {Cashier, S(u"99"),  // an 8-bit text does not convert: a deposit of 0
       R"({"data":[{"center":"ВНЕСЕНИЕ"},{"feed":"1 lines"},{"left":"Иванов"},)"
       R"({"left":"500100732259"},{"feed":"1 lines"},{"right":"0"},{"feed":"3 lines"}]})"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Amount.Describe());
    EXPECT_TRUE(Slip(C.Document, C.Amount).Ret.Bool);
    EXPECT_EQ(LastRequest().Body, C.Body);
  }
  EXPECT_NE(Tape().find("ВЫЕМКА"), std::string::npos);
}

TEST_F(Printing, AnswersBecomeTheErrorState) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::int64_t Code;
    std::u16string Message;
  };
  const Case Cases[] = {
      {R"({"ok":true})", true, 0, u""},
      {R"({"ok":false,"code":3,"message":"M"})", false, 5, u"Ошибка формата передачи данных"},
      {R"({"code":3})", false, 2, u"Ошибка формата передачи данных"},
      {R"({"ok":"perhaps"})", false, 2, u"Ошибка формата передачи данных"},
      {"[]", false, 2, u"Ошибка формата передачи данных"},
      {"<html/>", false, 2, u"Ошибка формата передачи данных"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/printany", C.Answer);
    EXPECT_EQ(Text("<D/>").Ret.Bool, C.Ok);
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
    EXPECT_EQ(Slip("<D/>", HostValue::R8(1)).Ret.Bool, C.Ok) << "a slip never printed is not true";
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
  }
  const HostValue Closed = S(U(ClosedLoopbackAddress()));
  EXPECT_FALSE(Call(u"PrintTextDocument", {Closed, S(u"<D/>")}).Ret.Bool);
  EXPECT_EQ(LastError(),
            std::make_pair(std::int64_t{2}, std::u16string(u"Ошибка формата передачи данных")));
  EXPECT_FALSE(Call(u"CashInOutcome", {Closed, S(u"<D/>"), HostValue::R8(1)}).Ret.Bool);
  EXPECT_EQ(LastError().first, 2);
}

TEST_F(Printing, BadDocumentsSendNothing) {
  const std::string Bad[] = {"<D><Positions><TextString/></Positions></D>",
                             R"(<D><Positions><Barcode Barcode="1"/></Positions></D>)",
                             R"(<D><Positions><Barcode BarcodeType="1"/></Positions></D>)", "<D>"};
  for (const std::string& D : Bad) {
    SCOPED_TRACE(D);
    EXPECT_FALSE(Text(D).Routine);
  }
  EXPECT_FALSE(Slip("not xml", HostValue::R8(1)).Routine);
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
