// A host that passes odd values: every type code (unknown ones and flag bits
// above the type included), wide strings without terminators, interface
// values, and a memory manager that refuses. Every call must come back in
// order, with host memory balanced and nothing sent anywhere: the device
// address is always one that is never used.
#include <gtest/gtest.h>

#include <cstring>

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
};

TEST_F(HostileHost, EveryMethodTakesOddValuesInEveryPlace) {
  FakeInterface Interface{kInterfaceTable};
  for (v8abi::HostLong Method = 0; Method < 23; ++Method) {
    const v8abi::HostLong Count = Object().GetNParams(Method);
    for (int Kind = 0; Kind < 32 * 5; ++Kind) {
      SCOPED_TRACE(Utf8(Object().GetMethodName(Method, 0)) + " kind " + std::to_string(Kind));
      // DeviceTest uses the stored address: one that is never used.
      Call(u"SetParameter", {S(u"IpAddress"), S(u"odd/address")});
      std::vector<V8Variant> Params(v8abi::kParamArrayLength);
      std::memset(Params.data(), 0, Params.size() * sizeof(V8Variant));
      for (v8abi::HostLong P = 0; P < Count; ++P) Params[P] = OddValue(Kind + P, Interface);
      V8Variant Ret = OddValue(Kind, Interface);
      const CallResult R = Object().CallRaw(Method, Params.data(), Count, &Ret);
      (void)R;  // true or false, as long as it came back
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
  V8Variant Ret{};
  EXPECT_FALSE(Object().CallRaw(1, nullptr, 0, &Ret).Routine) << "no parameter array";
  EXPECT_TRUE(Object().CallRaw(0, nullptr, 0, &Ret).Routine) << "none needed";
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
