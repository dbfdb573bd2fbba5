// A receipt whose answer is lost: the register may have printed it or not,
// and the driver cannot tell. It reports the failure (code 1, the transport's
// text); the integrator then asks GetCurrentStatus: a receipt number that has
// advanced means the receipt exists and must not be repeated. Runs on the
// build of the add-in that waits only briefly for the register.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

const char kSale[] =
    R"(<CheckPackage><Parameters CashierName="Иванова" PaymentType="1" TaxVariant="0"/>)"
    R"(<Payments Cash="150"/><Positions><FiscalString Name="Хлеб" Quantity="1" )"
    R"(PriceWithDiscount="150" SumWithDiscount="150" Tax="none"/></Positions></CheckPackage>)";

class LostAnswer : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    const HostValue Shift = S(U(R"(<InputParameters><Parameters CashierName="Иванова"/>)"
                                R"(</InputParameters>)"));
    ASSERT_TRUE(Call(u"OpenShift", {Device(), Shift, Out(), Out(), Out()}).Ret.Bool);
  }
  // The receipt number GetCurrentStatus reports.
  std::int64_t ReceiptNumber() {
    const CallResult R = Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()});
    EXPECT_TRUE(R.Ret.Bool);
    return R.Params[1].Int;
  }
  CallResult Sale() {
    return Call(u"ProcessCheck",
                {Device(), HostValue::Boolean(false), S(U(kSale)), Out(), Out(), Out(), Out()});
  }
};

struct Loss {
  const char* Name;
  const char* Script;  // the emulator's fault for the one receipt request
  bool CarriedOut;     // whether the register printed the receipt
};

const Loss kLosses[] = {
    {"closed after printing",
     R"({"path":"/api/1/receipt","action":"close","perform":true,"times":1})", true},
    {"answered after the time-out", R"({"path":"/api/1/receipt","answerDelayMs":2000,"times":1})",
     true},
    {"closed before printing", R"({"path":"/api/1/receipt","action":"close","times":1})", false},
};

TEST_F(LostAnswer, TheReceiptNumberTellsWhetherToRepeat) {
  for (const Loss& L : kLosses) {
    SCOPED_TRACE(L.Name);
    const std::int64_t Before = ReceiptNumber();
    Fault(L.Script);

    const CallResult Lost = Sale();
    EXPECT_TRUE(Lost.Routine);
    EXPECT_FALSE(Lost.Ret.Bool);
    const auto [Code, Message] = LastError();
    EXPECT_EQ(Code, 1);
    EXPECT_EQ(Utf8(Message).rfind("Error ", 0), 0u) << Utf8(Message);
    EXPECT_EQ(Lost.Params[3].Int, 0) << "no receipt number without an answer";

    // Reconciliation: the number has advanced exactly when the receipt exists.
    const std::int64_t After = ReceiptNumber();
    EXPECT_EQ(After, L.CarriedOut ? Before + 1 : Before);
    if (L.CarriedOut) continue;  // repeating would print it twice

    const CallResult Repeated = Sale();
    EXPECT_TRUE(Repeated.Ret.Bool) << Utf8(LastError().second);
    EXPECT_EQ(ReceiptNumber(), Before + 1);
  }
}

}  // namespace
