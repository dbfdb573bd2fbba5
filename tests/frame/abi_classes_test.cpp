// The host's interfaces declared the way the platform's newer published
// interface has them: C++ abstract classes with a virtual destructor at the
// head, four bases for the component object. Driving the add-in through them
// lets the compiler itself check the table layout, the calling convention, the
// value record, the words before each table (dynamic_cast<void*>) and the
// destructor places (`delete`) against v8napi/abi.h.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "support/addin_fixture.h"
#include "support/emulator_process.h"

#if !defined(KELVO_ABI_WINDOWS)

// Not in an anonymous namespace: the compiler must not assume it sees every
// class that implements these interfaces, since the add-in implements them.
namespace published_interface {

using WCHAR_T = char16_t;

// The host's value record: the value union holds the C library's struct tm.
struct HostVariant {
  union {
    std::int32_t lVal;
    double dblVal;
    bool bVal;
    struct {
      char* pstrVal;
      std::uint32_t strLen;
    };
    struct {
      WCHAR_T* pwstrVal;
      std::uint32_t wstrLen;
    };
    struct tm tmVal;
  };
  std::uint32_t cbElements;
  std::uint16_t vt;
};
static_assert(sizeof(HostVariant) == sizeof(V8Variant));
static_assert(offsetof(HostVariant, cbElements) == offsetof(V8Variant, cbElements));
static_assert(offsetof(HostVariant, vt) == offsetof(V8Variant, vt));

class IMemoryManager {
 public:
  virtual ~IMemoryManager() {}
  virtual bool AllocMemory(void** pMemory, unsigned long ulCountByte) = 0;
  virtual void FreeMemory(void** pMemory) = 0;
};

class IInitDoneBase {
 public:
  virtual ~IInitDoneBase() {}
  virtual bool Init(void* disp) = 0;
  virtual bool setMemManager(void* mem) = 0;
  virtual long GetInfo() = 0;
  virtual void Done() = 0;
};

class ILanguageExtenderBase {
 public:
  virtual ~ILanguageExtenderBase() {}
  virtual bool RegisterExtensionAs(WCHAR_T** wsExtensionName) = 0;
  virtual long GetNProps() = 0;
  virtual long FindProp(const WCHAR_T* wsPropName) = 0;
  virtual const WCHAR_T* GetPropName(long lPropNum, long lPropAlias) = 0;
  virtual bool GetPropVal(const long lPropNum, HostVariant* pvarPropVal) = 0;
  virtual bool SetPropVal(const long lPropNum, HostVariant* varPropVal) = 0;
  virtual bool IsPropReadable(const long lPropNum) = 0;
  virtual bool IsPropWritable(const long lPropNum) = 0;
  virtual long GetNMethods() = 0;
  virtual long FindMethod(const WCHAR_T* wsMethodName) = 0;
  virtual const WCHAR_T* GetMethodName(const long lMethodNum, const long lMethodAlias) = 0;
  virtual long GetNParams(const long lMethodNum) = 0;
  virtual bool GetParamDefValue(const long lMethodNum, const long lParamNum,
                                HostVariant* pvarParamDefValue) = 0;
  virtual bool HasRetVal(const long lMethodNum) = 0;
  virtual bool CallAsProc(const long lMethodNum, HostVariant* paParams, const long lSizeArray) = 0;
  virtual bool CallAsFunc(const long lMethodNum, HostVariant* pvarRetValue, HostVariant* paParams,
                          const long lSizeArray) = 0;
};

class LocaleBase {
 public:
  virtual ~LocaleBase() {}
  virtual void SetLocale(const WCHAR_T* loc) = 0;
};

class UserLanguageBase {
 public:
  virtual ~UserLanguageBase() {}
  virtual void SetUserInterfaceLanguageCode(const WCHAR_T* lang) = 0;
};

class IComponentBase : public IInitDoneBase,
                       public ILanguageExtenderBase,
                       public LocaleBase,
                       public UserLanguageBase {
 public:
  virtual ~IComponentBase() {}
};

}  // namespace published_interface

namespace {

using namespace published_interface;
using testing_support::EmulatorProcess;

class CountingMemoryManager : public IMemoryManager {
 public:
  bool AllocMemory(void** pMemory, unsigned long ulCountByte) override {
    *pMemory = std::malloc(ulCountByte);
    ++Live;
    return *pMemory != nullptr;
  }
  void FreeMemory(void** pMemory) override {
    std::free(*pMemory);
    *pMemory = nullptr;
    --Live;
  }
  int Live = 0;
};

IComponentBase* NewComponent(const char16_t* ClassName = u"TMyClass") {
  void* Raw = nullptr;
  if (testing_support::Library().GetClassObject(ClassName, &Raw) != 1) return nullptr;
  return static_cast<IComponentBase*>(Raw);
}

TEST(PublishedInterfaceClasses, DriveTheAddinThroughVirtualCalls) {
  void* Raw = nullptr;
  ASSERT_EQ(testing_support::Library().GetClassObject(u"TMyClass", &Raw), 1);
  auto* Component = static_cast<IComponentBase*>(Raw);
  CountingMemoryManager Memory;
  EXPECT_TRUE(Component->Init(nullptr));
  EXPECT_TRUE(Component->setMemManager(&Memory));
  EXPECT_EQ(Component->GetInfo(), 2000);
  Component->SetLocale(u"ru_RU");
  Component->SetUserInterfaceLanguageCode(u"ru");

  WCHAR_T* Extension = nullptr;
  EXPECT_TRUE(Component->RegisterExtensionAs(&Extension));
  EXPECT_EQ(std::u16string(Extension), u"TKelvoKKM");
  Memory.FreeMemory(reinterpret_cast<void**>(&Extension));

  EXPECT_EQ(Component->GetNMethods(), 23);
  EXPECT_EQ(Component->FindMethod(u"getlinelength"), 22);
  EXPECT_EQ(Component->FindMethod(u"nothing"), -1) << "-1 must survive the host's long";
  EXPECT_EQ(Component->FindProp(u"nothing"), -1);
  EXPECT_EQ(Component->GetNParams(14), 7);
  const WCHAR_T* Name = Component->GetMethodName(1, 1);
  EXPECT_EQ(std::u16string(Name), u"ПолучитьОписание");
  Memory.FreeMemory(reinterpret_cast<void**>(const_cast<WCHAR_T**>(&Name)));

  HostVariant Params[255] = {};
  HostVariant Ret = {};
  ASSERT_TRUE(Component->CallAsFunc(22, &Ret, Params, 2));
  EXPECT_EQ(Params[1].vt, VTYPE_I4);
  EXPECT_EQ(Params[1].lVal, 48);
  EXPECT_EQ(Ret.vt, VTYPE_BOOL);
  EXPECT_TRUE(Ret.bVal);

  ASSERT_TRUE(Component->CallAsFunc(0, &Ret, Params, 0));
  ASSERT_EQ(Ret.vt, VTYPE_PWSTR);
  EXPECT_EQ(std::u16string(Ret.pwstrVal, Ret.wstrLen), u"1.0");
  Memory.FreeMemory(reinterpret_cast<void**>(&Ret.pwstrVal));

  HostVariant Default;
  std::memset(&Default, 0xAB, sizeof Default);
  EXPECT_TRUE(Component->GetParamDefValue(1, 0, &Default));
  EXPECT_EQ(Default.vt, VTYPE_EMPTY);
  EXPECT_FALSE(Component->CallAsProc(0, Params, 0));

  Component->Done();
  EXPECT_EQ(testing_support::Library().DestroyObject(&Raw), 0);
  EXPECT_EQ(Memory.Live, 0);
}

TEST(PublishedInterfaceClasses, EveryInterfacePointerCastsBackToTheObject) {
  IComponentBase* Component = NewComponent();
  ASSERT_NE(Component, nullptr);
  void* Whole = Component;
  IInitDoneBase* InitDone = Component;
  ILanguageExtenderBase* Extender = Component;
  LocaleBase* Locale = Component;
  UserLanguageBase* Language = Component;
  // The interface pointers are the record's words 0 to 3.
  EXPECT_EQ(static_cast<void*>(Extender), static_cast<void**>(Whole) + 1);
  EXPECT_EQ(static_cast<void*>(Language), static_cast<void**>(Whole) + 3);
  EXPECT_EQ(dynamic_cast<void*>(InitDone), Whole);
  EXPECT_EQ(dynamic_cast<void*>(Extender), Whole);
  EXPECT_EQ(dynamic_cast<void*>(Locale), Whole);
  EXPECT_EQ(dynamic_cast<void*>(Language), Whole);
  Language->SetUserInterfaceLanguageCode(u"en");
  EXPECT_EQ(Extender->GetNMethods(), 23);
  EXPECT_EQ(testing_support::Library().DestroyObject(&Whole), 0);
}

// A host's `delete` on any of the four interface pointers ends the object
// (the sanitizer builds see a leak or a double free).
TEST(PublishedInterfaceClasses, DeleteThroughEachInterfacePointer) {
  CountingMemoryManager Memory;
  const auto Prepared = [&Memory] {
    IComponentBase* Component = NewComponent();
    EXPECT_NE(Component, nullptr);
    if (Component) {
      Component->Init(nullptr);
      Component->setMemManager(&Memory);
      Component->SetUserInterfaceLanguageCode(u"ru");
    }
    return Component;
  };
  if (IComponentBase* C = Prepared()) delete C;
  if (IComponentBase* C = Prepared()) delete static_cast<IInitDoneBase*>(C);
  if (IComponentBase* C = Prepared()) delete static_cast<ILanguageExtenderBase*>(C);
  if (IComponentBase* C = Prepared()) delete static_cast<LocaleBase*>(C);
  if (IComponentBase* C = Prepared()) delete static_cast<UserLanguageBase*>(C);
  // An explicit destructor call ends the object and leaves the record, which
  // DestroyObject then frees without ending the object again.
  if (IComponentBase* C = Prepared()) {
    static_cast<LocaleBase*>(C)->~LocaleBase();
    void* Raw = C;
    EXPECT_EQ(testing_support::Library().DestroyObject(&Raw), 0);
  }
  EXPECT_EQ(Memory.Live, 0);
}

// A script runtime's native add-in host, as widely used outside the platform:
// it creates objects by the class names of GetClassNames, passes every text
// as a wide string, takes only wide strings as texts (anything else reads as
// undefined) and releases objects with `delete`.
class ScriptRuntimeHost {
 public:
  explicit ScriptRuntimeHost(CountingMemoryManager& Memory) : Memory_(Memory) {}

  // One object per class name offered.
  std::vector<IComponentBase*> CreateAll() {
    std::vector<IComponentBase*> Objects;
    std::u16string Names = testing_support::Library().GetClassNames();
    for (std::size_t Start = 0; Start <= Names.size();) {
      std::size_t End = Names.find(u'|', Start);
      if (End == std::u16string::npos) End = Names.size();
      if (IComponentBase* C = NewComponent(Names.substr(Start, End - Start).c_str())) {
        C->Init(nullptr);
        C->setMemManager(&Memory_);
        Objects.push_back(C);
      }
      Start = End + 1;
    }
    return Objects;
  }

  struct Outcome {
    bool Called = false;
    std::optional<std::u16string> Ret;  // as a text; nullopt: undefined
    std::vector<std::optional<std::u16string>> Texts;
  };

  // Calls a method by name with wide-string arguments (nullopt: an empty
  // out parameter) and reads back every value as a text.
  Outcome Call(IComponentBase* C, const char16_t* Method,
               const std::vector<std::optional<std::u16string>>& Args) {
    Outcome O;
    const long Num = C->FindMethod(Method);
    if (Num < 0) return O;
    const long Count = C->GetNParams(Num);
    std::vector<HostVariant> Params(static_cast<std::size_t>(Count) + 1);
    for (std::size_t I = 0; I < Args.size() && I < Params.size(); ++I)
      if (Args[I]) SetWide(Params[I], *Args[I]);
    HostVariant Ret = {};
    O.Called = C->CallAsFunc(Num, &Ret, Params.data(), Count);
    O.Ret = Take(Ret);
    for (long I = 0; I < Count; ++I) O.Texts.push_back(Take(Params[static_cast<std::size_t>(I)]));
    return O;
  }

 private:
  void SetWide(HostVariant& V, const std::u16string& Text) {
    void* Block = nullptr;
    Memory_.AllocMemory(&Block, static_cast<unsigned long>((Text.size() + 1) * 2));
    std::memcpy(Block, Text.c_str(), (Text.size() + 1) * 2);
    V.pwstrVal = static_cast<WCHAR_T*>(Block);
    V.wstrLen = static_cast<std::uint32_t>(Text.size());
    V.vt = VTYPE_PWSTR;
  }
  std::optional<std::u16string> Take(HostVariant& V) {
    std::optional<std::u16string> Text;
    if ((V.vt & VTYPE_TYPEMASK) == VTYPE_PWSTR && V.pwstrVal)
      Text = std::u16string(V.pwstrVal, V.wstrLen);
    if ((V.vt == VTYPE_PWSTR || V.vt == VTYPE_PSTR || V.vt == VTYPE_BLOB) && V.pstrVal)
      Memory_.FreeMemory(reinterpret_cast<void**>(&V.pstrVal));
    V = HostVariant{};
    return Text;
  }
  CountingMemoryManager& Memory_;
};

TEST(ScriptRuntimeHost, EveryTextResultReadsBackAsAWideString) {
  EmulatorProcess::Instance().Reset();
  CountingMemoryManager Memory;
  ScriptRuntimeHost Host(Memory);
  std::vector<IComponentBase*> Objects = Host.CreateAll();
  ASSERT_EQ(Objects.size(), 1u);
  IComponentBase* Driver = Objects[0];
  const auto None = std::nullopt;
  const std::u16string Address = EmulatorProcess::Instance().Address16();

  EXPECT_EQ(Host.Call(Driver, u"GetVersion", {}).Ret, u"1.0");
  const auto Description = Host.Call(Driver, u"ПолучитьОписание", {None, None, None, None});
  EXPECT_EQ(Description.Texts[0], u"KELVO");
  EXPECT_EQ(Description.Texts[1], u"Драйвер ККМ KELVO-1F 1.0");
  EXPECT_EQ(Description.Texts[2], u"ККТ");
  EXPECT_EQ(Description.Texts[6], u"https://kelvo.example/");

  EXPECT_TRUE(Host.Call(Driver, u"SetParameter", {u"IpAddress", Address}).Called);
  EXPECT_EQ(Host.Call(Driver, u"GetParameter", {u"IpAddress"}).Ret, Address);
  const auto Settings = Host.Call(Driver, u"GetParameters", {None});
  ASSERT_TRUE(Settings.Texts[0]);
  EXPECT_NE(Settings.Texts[0]->find(u"Параметры подключения"), std::u16string::npos);
  EXPECT_EQ(Host.Call(Driver, u"Open", {None}).Texts[0], Address);

  const auto Test = Host.Call(Driver, u"DeviceTest", {None, None});
  ASSERT_TRUE(Test.Texts[0]);
  EXPECT_EQ(Test.Texts[0]->rfind(u"Устройство работает в штатном режиме", 0), 0u) << "starts so";
  EXPECT_EQ(Test.Texts[1], u"");
  const auto Data = Host.Call(Driver, u"GetDataKKT", {Address, None, None});
  ASSERT_TRUE(Data.Texts[1]);
  EXPECT_NE(Data.Texts[1]->find(u"<Parameters"), std::u16string::npos);
  const auto Status = Host.Call(Driver, u"GetCurrentStatus", {Address, None, None, None, None});
  ASSERT_TRUE(Status.Texts[4]);
  EXPECT_NE(Status.Texts[4]->find(u"<StatusParameters"), std::u16string::npos);

  // A refusal's text, through GetLastError.
  const auto Shift = Host.Call(
      Driver, u"CloseShift",
      {Address, u"<InputParameters><Parameters CashierName=\"Иванова\"/></InputParameters>", None,
       None});
  ASSERT_TRUE(Shift.Texts[2]);
  const auto Error = Host.Call(Driver, u"GetLastError", {None});
  ASSERT_TRUE(Error.Texts[0]);
  EXPECT_FALSE(Error.Texts[0]->empty());

  for (IComponentBase* C : Objects) delete C;
  EXPECT_EQ(Memory.Live, 0);
}

}  // namespace

#endif
