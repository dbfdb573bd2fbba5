// The frame as the host sees it: exports, component record, interface tables
// and the registry lookups.
#include <gtest/gtest.h>

#include <cstring>

#include "support/addin_fixture.h"

namespace {

using namespace testing_support;

TEST(Exports, ClassNamesAndObjectCreationByExactName) {
  const auto& Lib = Library();
  EXPECT_EQ(Lib.GetClassNames(), u"TMyClass");

  void* const Untouched = reinterpret_cast<void*>(0x1234);
  for (const char16_t* Name : {u"tmyclass", u"TMYCLASS", u"TKelvoKKM", u"", u"TMyClass "}) {
    void* Component = Untouched;
    EXPECT_EQ(Lib.GetClassObject(Name, &Component), 0) << Utf8(Name);
    EXPECT_EQ(Component, Untouched) << "the host's pointer must stay untouched";
  }

  void* Component = nullptr;
  ASSERT_EQ(Lib.GetClassObject(u"TMyClass", &Component), 1);
  ASSERT_NE(Component, nullptr);
  // Record: four tables, then the object four times.
  auto* Words = static_cast<void**>(Component);
  for (int Table = 0; Table < v8abi::kInterfaceCount; ++Table) {
    SCOPED_TRACE(Table);
    EXPECT_NE(Words[Table], nullptr);
    EXPECT_NE(Words[Table + v8abi::kUserObjectDistance], nullptr);
    EXPECT_EQ(Words[Table + v8abi::kUserObjectDistance], Words[v8abi::kUserObjectDistance]);
    // Every destructor place is filled, and the words a compiler puts before a
    // table lead from each interface back to the record.
    const auto* Slots = static_cast<void* const*>(Words[Table]);
    for (int Place = 0; Place < v8abi::kDestructorSlots; ++Place) EXPECT_NE(Slots[Place], nullptr);
    v8abi::TablePrefix Prefix;
    std::memcpy(&Prefix, reinterpret_cast<const char*>(Slots) - sizeof Prefix, sizeof Prefix);
#if defined(KELVO_ABI_WINDOWS)
    EXPECT_EQ(Prefix.CompleteObjectLocator, nullptr);
#else
    EXPECT_EQ(Prefix.OffsetToTop, -static_cast<std::intptr_t>(Table * sizeof(void*)));
    EXPECT_NE(Prefix.TypeInfo, nullptr);
#endif
  }

  EXPECT_EQ(Lib.DestroyObject(&Component), 0);
  EXPECT_EQ(Component, nullptr);
  EXPECT_EQ(Lib.DestroyObject(&Component), -1) << "a null host pointer is left alone";
  EXPECT_EQ(Lib.DestroyObject(nullptr), -1);
  EXPECT_EQ(Lib.GetClassObject(nullptr, &Component), 0);
}

TEST(Exports, SetPlatformCapabilitiesIgnoresItsArgument) {
  for (std::int32_t Capabilities : {0, 1, 2, 3, -1, 0x7FFFFFFF})
    EXPECT_EQ(Library().SetPlatformCapabilities(Capabilities), 1);
}

class Frame : public AddinTest {};

// A host may release the object with its compiler's `delete` on any of the four
// interface pointers, or destroy it in place through any of them and free the
// record afterwards; either way the object ends exactly once (the sanitizer
// builds see a leak or a double free) and host memory balances.
class ReleasePaths : public AddinTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReleasePaths, DeleteThroughTheInterface) {
  EXPECT_EQ(Call(u"GetVersion").Ret.Text, u"1.0");
  Object().DeleteThroughInterface(GetParam());
  EXPECT_FALSE(Object().Valid());
}

TEST_P(ReleasePaths, DestroyInPlaceThenDestroyObject) {
  Call(u"SetParameter", {S(u"IpAddress"), S(u"127.0.0.1:1")});
  Object().DestroyInPlaceThenRelease(GetParam());
  EXPECT_FALSE(Object().Valid());
}

INSTANTIATE_TEST_SUITE_P(EveryInterface, ReleasePaths, ::testing::Range(0, v8abi::kInterfaceCount));

TEST_F(Frame, UserInterfaceLanguageIsTakenAndTheObjectGoesOn) {
  for (const char16_t* Code : {u"ru", u"en", u"", u"kk-KZ"}) {
    Object().SetUserInterfaceLanguageCode(Code);
    EXPECT_EQ(Call(u"GetVersion").Ret.Text, u"1.0");
  }
}

TEST_F(Frame, InitDoneAndExtensionName) {
  EXPECT_TRUE(Object().Init(Connection.HostObject()));
  EXPECT_TRUE(Object().SetMemManager(Memory.HostObject()));
  EXPECT_EQ(Object().GetInfo(), 2000);
  std::u16string Name;
  bool Got = false;
  EXPECT_TRUE(Object().RegisterExtensionAs(Name, Got));
  EXPECT_TRUE(Got);
  EXPECT_EQ(Name, u"TKelvoKKM");
  Object().SetLocale(u"");
  Object().Done();
}

TEST_F(Frame, CountsAndPropertyLookups) {
  EXPECT_EQ(Object().GetNMethods(), 23);
  EXPECT_EQ(Object().GetNProps(), 0);
  for (const char16_t* Name : {u"IpAddress", u"", u"GetVersion"})
    EXPECT_EQ(Object().FindProp(Name), -1);
  bool Got = true;
  Object().GetPropName(0, 0, &Got);
  EXPECT_FALSE(Got);
  HostValue Value = HostValue::I4(5);
  EXPECT_FALSE(Object().GetPropVal(0, Value));
  EXPECT_EQ(Value.Type, VTYPE_EMPTY);
  EXPECT_FALSE(Object().SetPropVal(0, HostValue::I4(1)));
  EXPECT_FALSE(Object().IsPropReadable(0));
  EXPECT_FALSE(Object().IsPropWritable(0));
}

TEST_F(Frame, FindMethodIgnoresLetterCaseOfWholeNames) {
  struct Case {
    std::u16string Name;
    v8abi::HostLong Expected;
  };
  const Case Cases[] = {
      {u"GetVersion", 0},
      {u"getversion", 0},
      {u"GETVERSION", 0},
      {u"ПолучитьНомерВерсии", 0},
      {u"ПОЛУЧИТЬНОМЕРВЕРСИИ", 0},
      {u"получитьномерверсии", 0},
      {u"ПОЛУЧИТЬОПИСАНИЕ", 1},
      {u"getDESCRIPTION", 1},
      {u"GetDescriptio", -1},
      {u"GetDescriptions", -1},
      {u"Get", -1},
      {u"", -1},
      {u"ПолучитьОписани", -1},
      {u"GetLineLength", 22},
      {u"ОТКРЫТЬДЕНЕЖНЫЙЯЩИК", 21},
  };
  for (const Case& C : Cases) EXPECT_EQ(Object().FindMethod(C.Name), C.Expected) << Utf8(C.Name);
}

struct MethodRow {
  const char16_t* Name;
  const char16_t* Russian;
  v8abi::HostLong Params;
};

const MethodRow kMethodTable[] = {
    {u"GetVersion", u"ПолучитьНомерВерсии", 0},
    {u"GetDescription", u"ПолучитьОписание", 7},
    {u"GetLastError", u"ПолучитьОшибку", 1},
    {u"GetParameters", u"ПолучитьПараметры", 1},
    {u"SetParameter", u"УстановитьПараметр", 2},
    {u"GetParameter", u"ПолучитьПараметр", 1},
    {u"Open", u"Подключить", 1},
    {u"Close", u"Отключить", 1},
    {u"DeviceTest", u"ТестУстройства", 2},
    {u"GetAdditionalActions", u"ПолучитьДополнительныеДействия", 1},
    {u"GetDataKKT", u"ПолучитьПараметрыККТ", 2},
    {u"OperationFN", u"ОперацияФН", 3},
    {u"OpenShift", u"ОткрытьСмену", 5},
    {u"CloseShift", u"ЗакрытьСмену", 5},
    {u"ProcessCheck", u"СформироватьЧек", 7},
    {u"ProcessCorrectionCheck", u"СформироватьЧекКоррекции", 6},
    {u"PrintTextDocument", u"НапечататьТекстовыйДокумент", 2},
    {u"CashInOutcome", u"НапечататьЧекВнесенияВыемки", 3},
    {u"PrintXReport", u"НапечататьОтчетБезГашения", 2},
    {u"GetCurrentStatus", u"ПолучитьТекущееСостояние", 5},
    {u"ReportCurrentStatusOfSettlements", u"ОтчетОТекущемСостоянииРасчетов", 3},
    {u"OpenCashDrawer", u"ОткрытьДенежныйЯщик", 1},
    {u"GetLineLength", u"ПолучитьШиринуСтроки", 2},
};

TEST_F(Frame, MethodTableNamesCountsAndDefaults) {
  ASSERT_EQ(Object().GetNMethods(), static_cast<v8abi::HostLong>(std::size(kMethodTable)));
  for (v8abi::HostLong N = 0; N < 23; ++N) {
    const MethodRow& Row = kMethodTable[N];
    SCOPED_TRACE(Utf8(Row.Name));
    EXPECT_EQ(Object().GetMethodName(N, 0), Row.Name);
    EXPECT_EQ(Object().GetMethodName(N, 1), Row.Russian);
    EXPECT_EQ(Object().GetMethodName(N, 7), Row.Russian) << "any alias but 0 is the localized name";
    EXPECT_EQ(Object().GetNParams(N), Row.Params);
    EXPECT_TRUE(Object().HasRetVal(N));
    EXPECT_EQ(Object().FindMethod(Row.Name), N);
    EXPECT_EQ(Object().FindMethod(Row.Russian), N);
    for (v8abi::HostLong P = 0; P < 8; ++P) {
      HostValue Default = HostValue::I4(1);
      EXPECT_TRUE(Object().GetParamDefValue(N, P, Default));
      EXPECT_EQ(Default.Type, VTYPE_EMPTY);
    }
  }
}

TEST_F(Frame, NumbersOutsideTheTablesAreRefusedNotFollowed) {
  for (v8abi::HostLong N : {-1, 23, 1000}) {
    bool Got = true;
    Object().GetMethodName(N, 0, &Got);
    EXPECT_FALSE(Got);
    EXPECT_FALSE(Object().HasRetVal(N));
    EXPECT_EQ(Object().GetNParams(N), 0);
    std::vector<V8Variant> Params(v8abi::kParamArrayLength);
    std::memset(Params.data(), 0, Params.size() * sizeof(V8Variant));
    V8Variant Ret{};
    EXPECT_FALSE(Object().CallRaw(N, Params.data(), 0, &Ret).Routine);
  }
  // Every method is a function: the procedure slot refuses them.
  std::vector<V8Variant> Params(v8abi::kParamArrayLength);
  std::memset(Params.data(), 0, Params.size() * sizeof(V8Variant));
  EXPECT_FALSE(Object().CallAsProc(0, Params.data(), 0));
}

TEST_F(Frame, NamesHandedToTheHostAreHostBlocks) {
  const std::size_t Before = Memory.Allocations();
  Object().GetMethodName(0, 0);
  std::u16string Name;
  bool Got = false;
  Object().RegisterExtensionAs(Name, Got);
  EXPECT_EQ(Memory.Allocations(), Before + 2);
}

TEST_F(Frame, RefusedHostMemoryGivesNullNamesAndStillReturns) {
  Memory.SetRefuseAll(true);
  std::u16string Name = u"x";
  bool Got = true;
  EXPECT_TRUE(Object().RegisterExtensionAs(Name, Got));
  EXPECT_FALSE(Got);
  Object().GetMethodName(0, 1, &Got);
  EXPECT_FALSE(Got);
  // Methods still end in order; their texts arrive without buffers.
  const CallResult R = Call(u"GetDescription", std::vector<HostValue>(7));
  EXPECT_TRUE(R.Routine);
  EXPECT_EQ(R.Params[0].Type, kHostTextType);
  EXPECT_TRUE(R.Params[0].Text.empty());
  EXPECT_EQ(R.Params[3].Int, 2005);
  EXPECT_TRUE(R.Ret.Bool);
  Memory.SetRefuseAll(false);
  EXPECT_GT(Memory.Refusals(), 0u);
}

TEST_F(Frame, ObjectsKeepTheirOwnState) {
  harness::TrackingMemoryManager OtherMemory;
  harness::RecordingConnection OtherConnection;
  {
    harness::AddinObject Other(Library(), OtherMemory, OtherConnection);
    ASSERT_TRUE(Other.Valid());
    Call(u"SetParameter", {S(u"IpAddress"), S(u"127.0.0.1:1")});
    Other.Call(u"SetParameter", {S(u"IpAddress"), S(u"127.0.0.2:2")});
    EXPECT_EQ(Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"127.0.0.1:1");
    EXPECT_EQ(Other.Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text, u"127.0.0.2:2");
  }
  EXPECT_TRUE(OtherMemory.Balanced()) << OtherMemory.Report();
}

}  // namespace
