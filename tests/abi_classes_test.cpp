// The host's interfaces declared the way the platform publishes them: C++
// abstract classes with a virtual destructor at the head. Driving the add-in
// through them lets the compiler itself check the table layout, the calling
// convention and the value record against v8napi/abi.h.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "support/addin_fixture.h"

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

class IComponentBase : public IInitDoneBase, public ILanguageExtenderBase, public LocaleBase {
 public:
  virtual ~IComponentBase() {}
};

}  // namespace published_interface

namespace {

using namespace published_interface;

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

TEST(PublishedInterfaceClasses, DriveTheAddinThroughVirtualCalls) {
  void* Raw = nullptr;
  ASSERT_EQ(testing_support::Library().GetClassObject(u"TMyClass", &Raw), 1);
  auto* Component = static_cast<IComponentBase*>(Raw);
  CountingMemoryManager Memory;
  EXPECT_TRUE(Component->Init(nullptr));
  EXPECT_TRUE(Component->setMemManager(&Memory));
  EXPECT_EQ(Component->GetInfo(), 2000);
  Component->SetLocale(u"ru_RU");

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
  EXPECT_EQ(Ret.vt, VTYPE_PSTR);
  EXPECT_EQ(std::string(Ret.pstrVal, Ret.strLen), "1.0");
  Memory.FreeMemory(reinterpret_cast<void**>(&Ret.pstrVal));

  HostVariant Default;
  std::memset(&Default, 0xAB, sizeof Default);
  EXPECT_TRUE(Component->GetParamDefValue(1, 0, &Default));
  EXPECT_EQ(Default.vt, VTYPE_EMPTY);
  EXPECT_FALSE(Component->CallAsProc(0, Params, 0));

  Component->Done();
  EXPECT_EQ(testing_support::Library().DestroyObject(&Raw), 0);
  EXPECT_EQ(Memory.Live, 0);
}

}  // namespace

#endif
