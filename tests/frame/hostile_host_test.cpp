// A host that passes odd values: every type code (unknown ones and flag bits
// above the type included), wide strings without terminators, interface
// values, and a memory manager that refuses. Every call must come back in
// order, with host memory balanced and nothing sent anywhere: the device
// address is always one that is never used.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "support/addin_fixture.h"

namespace {

using namespace testing_support;

// A reference-counted interface the host may put into a value: the add-in
// releases it when it overwrites the value.
struct FakeInterface {
  const void* Table;
  int Releases = 0;
  static std::uint32_t V8_SLOT_CALL Query(void*) { return 0; }
  static std::uint32_t V8_SLOT_CALL AddRef(void*) { return 1; }
  static std::uint32_t V8_SLOT_CALL Release(void* Self) {
    return static_cast<std::uint32_t>(++static_cast<FakeInterface*>(Self)->Releases);
  }
};

using SlotFn = std::uint32_t(V8_SLOT_CALL*)(void*);
const SlotFn kInterfaceTable[] = {&FakeInterface::Query, &FakeInterface::AddRef,
                                  &FakeInterface::Release};

class HostileHost : public AddinTest {
 protected:
  // One odd value of the given kind; text buffers come from the host's memory.
  V8Variant OddValue(int Kind, FakeInterface& Interface) {
    V8Variant V;
    std::memset(&V, 0, sizeof V);
    const std::uint32_t Flags[] = {0, 0x1000, 0x2000, 0xF000, 0x7FFF0000};
    const std::uint32_t Type = static_cast<std::uint32_t>(Kind % 32);
    V.vt = Type | Flags[Kind / 32 % 5];
    switch (Type) {
      case VTYPE_PSTR: {
        auto* Text = static_cast<char*>(Memory.Allocate(6));
        std::memcpy(Text, "odd/\xC0", 6);
        V.VarEnum.vtRecString = {Text, 5};
        break;
      }
      case VTYPE_BLOB: {
        auto* Bytes = static_cast<char*>(Memory.Allocate(3));
        std::memcpy(Bytes, "\0\1\2", 3);
        V.VarEnum.vtRecString = {Bytes, 3};
        break;
      }
      case VTYPE_PWSTR: {
        // No terminator within the block: the length is all there is.
        auto* Text = static_cast<char16_t*>(Memory.Allocate(4 * sizeof(char16_t)));
        std::memcpy(Text, u"42/\xD800", 4 * sizeof(char16_t));
        V.VarEnum.vtRecWideString = {Text, 4};
        break;
      }
      case VTYPE_INTERFACE:
        V.VarEnum.vtRecInterface.pInterfaceVal = Kind % 2 ? &Interface : nullptr;
        break;
      default:
        std::memset(&V.VarEnum, 0xA5, sizeof V.VarEnum);  // any bit pattern
        break;
    }
    return V;
  }

  std::pair<std::int64_t, std::u16string> LastError() {
    const CallResult R = Call(u"GetLastError", {Out()});
    return {R.Ret.Int, R.Params[0].Text};
  }
};

HostValue Text(const std::u16string& T) {
  HostValue V;
  V.Type = kHostTextType;
  V.Text = T;
  return V;
}

// The same value as the host sees it: type and content (texts by their
// characters, numbers bit for bit).
::testing::AssertionResult Same(const HostValue& Seen, const HostValue& Expected) {
  bool Equal = Seen.Type == Expected.Type;
  if (Equal) {
    switch (Seen.Type) {
      case VTYPE_EMPTY: break;
      case VTYPE_PSTR:
      case VTYPE_PWSTR: Equal = Seen.Text == Expected.Text; break;
      case VTYPE_BLOB: Equal = Seen.Bytes == Expected.Bytes; break;
      case VTYPE_BOOL: Equal = Seen.Bool == Expected.Bool; break;
      case VTYPE_R4:
      case VTYPE_R8:
      case VTYPE_DATE:
        Equal = std::memcmp(&Seen.Number, &Expected.Number, sizeof Seen.Number) == 0;
        break;
      default: Equal = Seen.Int == Expected.Int; break;
    }
  }
  if (Equal) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Seen.Describe() << ", expected " << Expected.Describe();
}

// What the host gets back from a method whatever odd values it passes.
struct Outcome {
  bool Routine = true;
  std::optional<HostValue> Ret;                    // none: the value the host passed
  std::vector<std::pair<int, HostValue>> Outputs;  // every other parameter as passed
  std::optional<std::int64_t> ErrorCode;           // none: GetLastError's code as before
};

TEST_F(HostileHost, EveryMethodTakesOddValuesInEveryPlace) {
  // The documents of plain calls while the register cannot be reached.
  Call(u"SetParameter", {S(u"IpAddress"), S(u"odd/address")});
  const HostValue Settings = Call(u"GetParameters", {Out()}).Params[0];
  const HostValue Registration = Call(u"GetDataKKT", {S(u"odd/address"), Out()}).Params[1];
  const HostValue Status =
      Call(u"GetCurrentStatus", {S(u"odd/address"), Out(), Out(), Out(), Out()}).Params[4];

  // No odd value reads as a usable address (a device method's parameter 1)
  // or as a document: a method that reads a document ends the call there,
  // with every value as the host passed it and the error state untouched.
  const HostValue True = HostValue::Boolean(true), False = HostValue::Boolean(false);
  const Outcome EndsTheCall{false, {}, {}, {}};
  const std::map<std::u16string, Outcome> Expected = {
      {u"GetVersion", {true, Text(u"1.0"), {}, {}}},
      {u"GetDescription",
       {true,
        True,
        {{0, Text(u"KELVO")},
         {1, Text(u"Драйвер ККМ KELVO-1F 1.0")},
         {2, Text(u"ККТ")},
         {3, HostValue::I4(2005)},
         {4, False},
         {5, False},
         {6, Text(u"https://kelvo.example/")}},
        {}}},
      {u"GetLastError", {}},  // what the calls before it left, below
      {u"GetParameters", {true, True, {{0, Settings}}, {}}},
      {u"SetParameter", {true, True, {}, {}}},  // a name it does not know
      {u"GetParameter", {true, {}, {}, {}}},    // ditto: nothing returned
      {u"Open", {true, True, {{0, Text(u"odd/address")}}, {}}},
      {u"Close", {true, True, {}, {}}},
      {u"DeviceTest",
       {true, False, {{0, Text(u"Ошибка подключения устройства.")}, {1, Text(u"")}}, 2}},
      {u"GetAdditionalActions", {true, True, {{0, Text(u"")}}, {}}},
      {u"GetDataKKT", {true, False, {{1, Registration}}, 3}},
      {u"OperationFN", EndsTheCall},
      {u"OpenShift", EndsTheCall},
      {u"CloseShift", EndsTheCall},
      {u"ProcessCheck", EndsTheCall},
      {u"ProcessCorrectionCheck", EndsTheCall},
      {u"PrintTextDocument", EndsTheCall},
      {u"CashInOutcome", EndsTheCall},
      {u"PrintXReport", {true, True, {}, {}}},
      {u"GetCurrentStatus",
       {true,
        False,
        {{1, HostValue::I4(0)}, {2, HostValue::I4(0)}, {3, HostValue::I4(0)}, {4, Status}},
        3}},
      {u"ReportCurrentStatusOfSettlements", {true, True, {}, {}}},
      {u"OpenCashDrawer", {true, True, {}, {}}},
      {u"GetLineLength", {true, True, {{1, HostValue::I4(48)}}, {}}},
  };

  FakeInterface Interface{kInterfaceTable};
  for (v8abi::HostLong Method = 0; Method < 23; ++Method) {
    const v8abi::HostLong Count = Object().GetNParams(Method);
    const std::u16string Name = Object().GetMethodName(Method, 0);
    ASSERT_EQ(Expected.count(Name), 1u) << Utf8(Name);
    for (int Kind = 0; Kind < 32 * 5; ++Kind) {
      SCOPED_TRACE(Utf8(Name) + " kind " + std::to_string(Kind));
      // DeviceTest uses the stored address: one that is never used.
      Call(u"SetParameter", {S(u"IpAddress"), S(u"odd/address")});
      const std::pair<std::int64_t, std::u16string> ErrorBefore = LastError();
      std::vector<V8Variant> Params(v8abi::kParamArrayLength);
      std::memset(Params.data(), 0, Params.size() * sizeof(V8Variant));
      for (v8abi::HostLong P = 0; P < Count; ++P) Params[P] = OddValue(Kind + P, Interface);
      V8Variant Ret = OddValue(Kind, Interface);
      std::vector<HostValue> Passed;
      for (v8abi::HostLong P = 0; P < Count; ++P) Passed.push_back(harness::FromVariant(Params[P]));
      const HostValue PassedRet = harness::FromVariant(Ret);

      const CallResult R = Object().CallRaw(Method, Params.data(), Count, &Ret);

      Outcome E = Expected.at(Name);
      if (Name == u"GetLastError")
        E = {true,
             HostValue::I4(static_cast<std::int32_t>(ErrorBefore.first)),
             {{0, Text(ErrorBefore.second)}},
             {}};
      EXPECT_EQ(R.Routine, E.Routine);
      EXPECT_TRUE(Same(R.Ret, E.Ret.value_or(PassedRet))) << "the return value";
      std::vector<HostValue> Wanted = Passed;
      for (const auto& [Position, Value] : E.Outputs) Wanted[Position] = Value;
      ASSERT_EQ(R.Params.size(), Wanted.size());
      for (std::size_t P = 0; P < Wanted.size(); ++P)
        EXPECT_TRUE(Same(R.Params[P], Wanted[P])) << "parameter " << P + 1;
      EXPECT_EQ(LastError().first, E.ErrorCode.value_or(ErrorBefore.first)) << "GetLastError";
    }
  }
  EXPECT_GT(Interface.Releases, 0) << "overwritten interface values were released";
}

TEST_F(HostileHost, ParameterCountsTheHostGetsWrong) {
  std::vector<V8Variant> Params(v8abi::kParamArrayLength);
  std::memset(Params.data(), 0, Params.size() * sizeof(V8Variant));
  for (v8abi::HostLong Count : {-1, 0, 1, 255, 256, 100000}) {
    V8Variant Ret{};
    const CallResult R = Object().CallRaw(22, Params.data(), Count, &Ret);
    EXPECT_TRUE(R.Routine) << Count;
  }
}

TEST_F(HostileHost, AMemoryManagerThatRefusesEverything) {
  struct Case {
    const char16_t* Method;
    std::vector<HostValue> Args;
  };
  const HostValue Odd = S(u"odd/address");
  const std::vector<Case> Cases = {
      {u"GetVersion", {}},
      {u"GetDescription", std::vector<HostValue>(7)},
      {u"GetLastError", {Out()}},
      {u"GetParameters", {Out()}},
      {u"GetParameter", {S(u"IpAddress")}},
      {u"Open", {Out()}},
      {u"DeviceTest", {Out(), Out()}},
      {u"GetDataKKT", {Odd, Out()}},
      {u"OpenShift", {Odd, S(u"<I/>"), Out(), Out(), Out()}},
      {u"CloseShift", {Odd, S(u"<I/>"), Out(), Out(), Out()}},
      {u"ProcessCheck", {Odd, Out(), S(u"<CheckPackage/>"), Out(), Out(), Out(), Out()}},
      {u"ProcessCorrectionCheck", {Odd, S(u"<X/>"), Out(), Out(), Out(), Out()}},
      {u"GetCurrentStatus", {Odd, Out(), Out(), Out(), Out()}},
      {u"GetAdditionalActions", {Out()}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(Utf8(C.Method));
    Call(u"SetParameter", {S(u"IpAddress"), Odd});
    std::size_t Strings = 0;
    for (const HostValue& A : C.Args) Strings += A.Type == VTYPE_PSTR;
    // The host's own arguments are made first; everything after is refused.
    Memory.RefuseFrom(Strings);
    const CallResult R = Call(C.Method, C.Args);
    Memory.SetRefuseAll(false);
    EXPECT_TRUE(R.Routine);  // texts it could not hand over arrive without buffers
  }
  EXPECT_GT(Memory.Refusals(), 0u);
}

}  // namespace
