// Faults seen at the host boundary, one test each, named after the fault:
// the add-in loaded through the harness, the register emulated on loopback.
#include <cstring>
#include <string>
#include <vector>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

class FoundAtTheBoundary : public DeviceTest {
 protected:
  // ProcessCheck with a package holding Inside: the call must fail, with the
  // outputs and the error state untouched, and the register must have
  // received nothing.
  void ExpectRefusedBeforeSending(const std::string& Inside) {
    Answer("/api/1/register/info", "{}", "application/json", 200, 1);
    Call(u"GetDataKKT", {Device(), Out()});
    const auto ErrorBefore = LastError();
    ASSERT_EQ(ErrorBefore.first, 3) << "a recognisable error state";
    const std::size_t Before = Requests().size();
    const std::string Package =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CheckPackage>" + Inside + "</CheckPackage>";
    const CallResult R = Call(u"ProcessCheck", {Device(), HostValue::Boolean(false), S(U(Package)),
                                                Out(), Out(), Out(), Out()});
    EXPECT_FALSE(R.Routine) << "the host's call fails";
    EXPECT_EQ(R.Ret.Type, VTYPE_EMPTY);
    for (std::size_t I = 3; I < 7; ++I) EXPECT_EQ(R.Params[I].Type, VTYPE_EMPTY) << I;
    EXPECT_EQ(Requests().size(), Before) << "nothing was sent";
    EXPECT_EQ(LastError(), ErrorBefore);
  }
};

// Fuzzing: one was added to the largest 32-bit integer (undefined behaviour).
TEST_F(FoundAtTheBoundary, SignSubjectCalculationAgentAtTheMaximumOverflowed) {
  ExpectRefusedBeforeSending(
      R"(<Positions><P SignSubjectCalculationAgent="2147483647"/></Positions>)");
}

// Fuzzing: the totals were written as INF, which is no JSON.
TEST_F(FoundAtTheBoundary, AmountsAddingUpPastTheRangeOfADoubleWereSentAsINF) {
  ExpectRefusedBeforeSending(
      R"(<Positions><P SumWithDiscount="1e308"/><P SumWithDiscount="1e308"/></Positions>)");
}

// Review: the receipt's tax system was raised by one only when written, as
// a 64-bit number, and went out as "2147483648"; a correction package
// refused the same code.
TEST_F(FoundAtTheBoundary, AReceiptsTaxSystemAtTheMaximumWasSentOutOfRange) {
  ExpectRefusedBeforeSending(R"(<Parameters TaxVariant="2147483647"/>)");
}

// The hostile host: a null parameter array reached a method that reads its
// parameters. The call is refused; a method without parameters still runs.
TEST_F(FoundAtTheBoundary, ANullParameterArrayReachedAMethodWithParameters) {
  V8Variant Ret;
  std::memset(&Ret, 0, sizeof Ret);
  EXPECT_FALSE(Object().CallRaw(1, nullptr, 0, &Ret).Routine) << "GetDescription, 7 parameters";
  EXPECT_TRUE(Object().CallRaw(0, nullptr, 0, &Ret).Routine) << "GetVersion, none";
}

}  // namespace
