// A cashier's whole day against the emulated register's own state: every
// document must reach the tape and the counters must follow.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

std::string Demo(const char* Name) {
  std::ifstream File(std::string(KELVO_SOURCE_DIR) + "/tools/demo/" + Name, std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

class CashierDay : public DeviceTest {};

TEST_F(CashierDay, FromOpeningToClosingTheShift) {
  const HostValue Shift = S(U(Demo("shift.xml")));
  CallResult R = Call(u"OpenShift", {Device(), Shift, Out(), Out(), Out()});
  ASSERT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  const std::int64_t ShiftNo = R.Params[3].Int;

  R = Call(u"ProcessCheck", {Device(), HostValue::Boolean(false), S(U(Demo("sale.xml"))), Out(),
                             Out(), Out(), Out()});
  ASSERT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  EXPECT_EQ(R.Params[3].Int, 1);
  EXPECT_EQ(R.Params[4].Int, ShiftNo);
  EXPECT_FALSE(R.Params[5].Text.empty()) << "a fiscal sign";
  EXPECT_EQ(R.Params[6].Text, u"www.nalog.gov.ru");

  R = Call(u"ProcessCheck", {Device(), HostValue::Boolean(false), S(U(Demo("refund.xml"))), Out(),
                             Out(), Out(), Out()});
  ASSERT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  EXPECT_EQ(R.Params[3].Int, 2);

  R = Call(u"ProcessCorrectionCheck",
           {Device(), S(U(Demo("correction.xml"))), Out(), Out(), Out(), Out()});
  ASSERT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  EXPECT_EQ(R.Params[2].Int, 3);

  // A sale whose payments do not cover the total is refused like a register does.
  R = Call(
      u"ProcessCheck",
      {Device(), HostValue::Boolean(false),
       S(U(R"(<CheckPackage><Parameters PaymentType="1" TaxVariant="0"/><Positions>)"
           R"(<P Name="X" Quantity="1" PriceWithDiscount="10" SumWithDiscount="10" Tax="none"/>)"
           R"(</Positions><Payments Cash="0" ElectronicPayment="5"/></CheckPackage>)")),
       Out(), Out(), Out(), Out()});
  EXPECT_FALSE(R.Ret.Bool);
  EXPECT_NE(LastError().first, 0);
  EXPECT_NE(Utf8(LastError().second).find(" errors:["), std::string::npos);

  EXPECT_TRUE(
      Call(u"CashInOutcome", {Device(), S(U(Demo("cash.xml"))), HostValue::R8(5000)}).Ret.Bool);
  EXPECT_TRUE(
      Call(u"CashInOutcome", {Device(), S(U(Demo("cash.xml"))), HostValue::R8(-1200.5)}).Ret.Bool);
  EXPECT_TRUE(Call(u"PrintTextDocument", {Device(), S(U(Demo("text.xml")))}).Ret.Bool);

  R = Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()});
  EXPECT_TRUE(R.Ret.Bool);
  EXPECT_EQ(R.Params[1].Int, 3) << "receipts in the shift";
  EXPECT_EQ(R.Params[2].Int, ShiftNo);
  EXPECT_EQ(R.Params[3].Int, 2) << "open";

  R = Call(u"CloseShift", {Device(), Shift, Out(), Out(), Out()});
  EXPECT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  EXPECT_EQ(R.Params[3].Int, ShiftNo);
  EXPECT_NE(Utf8(R.Params[2].Text).find("NumberOfChecks=\"3\""), std::string::npos);
  EXPECT_EQ(Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()}).Params[3].Int, 1);

  const std::string Tape = this->Tape();
  for (const char* Line :
       {"ПРИХОД", "ВОЗВРАТ ПРИХОДА", "КАССОВЫЙ ЧЕК КОРРЕКЦИИ", "Молоко 3,2% 1 л", "ИТОГ", "=250.00",
        "ВНЕСЕНИЕ", "ВЫЕМКА", "1200.5", "Дисконтная карта № 0042", "ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ"})
    EXPECT_NE(Tape.find(Line), std::string::npos) << Line << "\n" << Tape;
}

}  // namespace
