// OperationFN: the registration and closing requests and their answers.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

class FiscalStorage : public DeviceTest {
 protected:
  CallResult Operation(std::int32_t Type, const std::string& Document) {
    return Call(u"OperationFN", {Device(), I(Type), S(U(Document))});
  }
};

std::string Parameters(const std::string& Attributes) { return "<Parameters " + Attributes + "/>"; }

const std::string kAllFalse =
    R"("T1002":false,"T1221":false,"T1110":false,"T1056":false,"T1001":false,"T1108":false)";

TEST_F(FiscalStorage, Requests) {
  struct Case {
    std::int32_t Type;
    std::string Document;
    std::string Path, Body;
  };
  const Case Cases[] = {
      {1,
       Parameters(R"(CashierName="A" OrganizationName="B" VATIN="C" KKTNumber="D" )"
                  R"(TaxVariant="0" AutomaticMode="false")"),
       "/api/1/register",
       R"({"T1048":"B","T1018":"C","T1062":[1],"T1037":"D",)" + kAllFalse + R"(,"T1021":"A"})"},
      {2, Parameters(R"(ReasonCode="4" TaxVariant="0,5")"), "/api/1/register",
       R"({"T1101":4,"T1048":"","T1018":"","T1062":[1,6],"T1037":"",)" + kAllFalse +
           R"(,"T1021":""})"},
      {2, Parameters(R"(TaxVariant="")"), "/api/1/register",
       R"({"T1101":0,"T1048":"","T1018":"","T1062":[],"T1037":"",)" + kAllFalse +
           R"(,"T1021":""})"},
      {1,
       Parameters(R"(AutomaticMode="true" AutomaticNumber="77" PrinterAutomatic="1" )"
                  R"(SaleExcisableGoods="1" ServiceSign="TRUE" SignOfGambling="false" )"
                  R"(SignOfLottery="2" SignOfAgent="0,6" CashierVATIN="500100732259" )"
                  R"(AddressSettle="г. Москва" PlaceSettle="Магазин" SenderEmail="a@b.ru" )"
                  R"(OFDVATIN="7704211201" OFDOrganizationName="ОФД" FNSWebSite="nalog.gov.ru" )"
                  R"(InfoChangesReasonsCodes="1")"),
       "/api/1/register",
       R"({"T1048":"","T1018":"","T1062":[],"T1037":"","T1002":false,"T1221":true,"T1110":false,)"
       R"("T1056":false,"T1001":true,"T1108":false,"T1036":"77","T1207":true,"T1109":true,)"
       R"("T1126":true,"T1057":[1,7],"T1203":"500100732259","T1009":"г. Москва",)"
       R"("T1187":"Магазин","T1117":"a@b.ru","T1017":"7704211201","T1046":"ОФД",)"
       R"("T1060":"nalog.gov.ru"})"},
      {3,
       Parameters(R"(CashierName="A" TaxVariant="1" OfflineMode="true" AddressSettle="X" )"
                  R"(PlaceSettle="Y" CashierVATIN="Z")"),
       "/api/1/finalize", R"({"T1021":"A","T1203":"Z","T1009":"X","T1187":"Y"})"},
      {3, Parameters(R"(AutomaticMode="1")"), "/api/1/finalize", "{}"},
      {0, Parameters(R"(CashierName="A")"), "/api/1/register", "{}"},
      {4, Parameters(R"(CashierName="A")"), "/api/1/register", "{}"},
      {1, R"(<Settings CashierName="A" OfflineMode="true"/>)", "/api/1/register",
       R"({"T1048":"","T1018":"","T1062":[],"T1037":"",)" + kAllFalse + R"(,"T1021":""})"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Document);
    Answer(C.Path, R"({"ok":true,"code":0,"message":""})");
    const CallResult R = Operation(C.Type, C.Document);
    EXPECT_TRUE(R.Ret.Bool);
    const ReceivedRequest Sent = LastRequest();
    EXPECT_EQ(Sent.Path, C.Path);
    EXPECT_EQ(Sent.Body, C.Body);
  }
}

TEST_F(FiscalStorage, AnswersIntoTheErrorState) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::int64_t Code;
    std::u16string Message;
  };
  const Case Cases[] = {
      {R"({"ok":true,"code":0,"message":""})", true, 0, u""},
      {R"({"ok":true})", true, 0, u""},
      {R"({"ok":false,"code":11,"message":"ККТ уже зарегистрирована"})", false, 11,
       u"ККТ уже зарегистрирована"},
      {R"({"ok":false,"message":"M"})", false, 0, u""},
      {R"({"code":4,"message":5})", false, 4, u"5"},
      {R"({"ok":false,"code":11,"message":{"a":1}})", false, 11, u""},
      {R"({"ok":false,"code":12,"message":[1,2]})", false, 12, u""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/register", C.Answer);
    EXPECT_EQ(Operation(1, Parameters("")).Ret.Bool, C.Ok);
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
  }
  const CallResult R =
      Call(u"OperationFN", {S(U(ClosedLoopbackAddress())), I(1), S(U(Parameters("")))});
  EXPECT_FALSE(R.Ret.Bool);
  EXPECT_EQ(LastError().first, 1);
}

TEST_F(FiscalStorage, AttributesThatDoNotConvertEndTheCall) {
  const std::string Bad[] = {
      Parameters(R"(OfflineMode="maybe")"), Parameters(R"(ReasonCode="4.0")"),
      Parameters(R"(TaxVariant="0,")"),     Parameters(R"(SignOfAgent="a")"),
      Parameters(R"(AutomaticMode="")"),    "<Parameters"};
  for (const std::string& D : Bad) {
    SCOPED_TRACE(D);
    const CallResult R = Operation(2, D);
    EXPECT_FALSE(R.Routine);
    EXPECT_EQ(R.Ret.Type, VTYPE_EMPTY);
  }
  EXPECT_TRUE(Requests().empty());
}

TEST_F(FiscalStorage, CloseTheRegistersFiscalStorage) {
  // The emulated register starts registered with its shift closed.
  CallResult R = Operation(3, Parameters(R"(CashierName="Иванов")"));
  EXPECT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  const std::string Doc = Utf8(Call(u"GetDataKKT", {Device(), Out()}).Params[1].Text);
  R = Operation(3, Parameters(R"(CashierName="Иванов")"));
  EXPECT_FALSE(R.Ret.Bool) << "a closed fiscal storage cannot be closed again";
  EXPECT_NE(LastError().first, 0);
}

}  // namespace
