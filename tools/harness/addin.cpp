#include "tools/harness/addin.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "tools/harness/dynamic_library.h"

namespace harness {

using v8abi::HostLong;
using v8abi::WChar;

namespace {

// Slot positions after the destructor places.
enum InitDoneSlot { kInit, kSetMemManager, kGetInfo, kDone };
enum LanguageExtenderSlot {
  kRegisterExtensionAs,
  kGetNProps,
  kFindProp,
  kGetPropName,
  kGetPropVal,
  kSetPropVal,
  kIsPropReadable,
  kIsPropWritable,
  kGetNMethods,
  kFindMethod,
  kGetMethodName,
  kGetNParams,
  kGetParamDefValue,
  kHasRetVal,
  kCallAsProc,
  kCallAsFunc,
};
enum LocaleSlot { kSetLocale };
enum UserLanguageSlot { kSetUserInterfaceLanguageCode };

// Calls slot Index of the interface at Self, with `this` first, as the host does.
template <typename Result, typename... Args>
Result CallSlot(void* Self, int Index, Args... A) {
  using Fn = Result(V8_SLOT_CALL*)(void*, Args...);
  const auto* Table = *static_cast<void (*const* const*)()>(Self);
  return reinterpret_cast<Fn>(Table[v8abi::kDestructorSlots + Index])(Self, A...);
}

template <typename T>
T Export(void* Handle, const char* Name) {
  void* Address = FindExport(Handle, Name);
  if (!Address) throw std::runtime_error(std::string("export not found: ") + Name);
  T Function;
  std::memcpy(&Function, &Address, sizeof Function);
  return Function;
}

}  // namespace

AddinLibrary::AddinLibrary(const std::string& Path) {
  std::string Error;
  Handle_ = OpenLibrary(Path, Error);
  if (!Handle_) throw std::runtime_error("cannot load " + Path + ": " + Error);
  GetClassObject_ = Export<GetClassObjectFn>(Handle_, "GetClassObject");
  DestroyObject_ = Export<DestroyObjectFn>(Handle_, "DestroyObject");
  GetClassNames_ = Export<GetClassNamesFn>(Handle_, "GetClassNames");
  SetPlatformCapabilities_ = Export<SetPlatformCapabilitiesFn>(Handle_, "SetPlatformCapabilities");
}

AddinLibrary::~AddinLibrary() {
  if (Handle_) CloseLibrary(Handle_);
}

std::u16string AddinLibrary::GetClassNames() const {
  const WChar* Names = GetClassNames_();
  return Names ? std::u16string(Names) : std::u16string();
}

HostLong AddinLibrary::GetClassObject(const char16_t* Name, void** Component) const {
  return GetClassObject_(Name, Component);
}

HostLong AddinLibrary::DestroyObject(void** Component) const { return DestroyObject_(Component); }

std::int32_t AddinLibrary::SetPlatformCapabilities(std::int32_t Capabilities) const {
  return SetPlatformCapabilities_(Capabilities);
}

std::string CallResult::Describe() const {
  std::ostringstream Out;
  Out << "routine=" << (Routine ? "true" : "false") << " ret=" << Ret.Describe();
  for (std::size_t I = 0; I < Params.size(); ++I)
    Out << " p" << I + 1 << "=" << Params[I].Describe();
  return Out.str();
}

AddinObject::AddinObject(const AddinLibrary& Library, TrackingMemoryManager& Memory,
                         RecordingConnection& Connection, const char16_t* ClassName)
    : Library_(Library), Memory_(Memory) {
  if (Library_.GetClassObject(ClassName, &Component_) != 1 || !Component_) {
    Component_ = nullptr;
    return;
  }
  Init(Connection.HostObject());
  SetMemManager(Memory.HostObject());
  SetLocale(u"ru_RU");
  SetUserInterfaceLanguageCode(u"ru");
}

AddinObject::~AddinObject() {
  if (!Component_) return;
  Done();
  Library_.DestroyObject(&Component_);
}

bool AddinObject::Init(void* Connection) { return CallSlot<bool>(InitDone(), kInit, Connection); }
bool AddinObject::SetMemManager(void* MemoryManager) {
  return CallSlot<bool>(InitDone(), kSetMemManager, MemoryManager);
}
HostLong AddinObject::GetInfo() { return CallSlot<HostLong>(InitDone(), kGetInfo); }
void AddinObject::Done() { CallSlot<void>(InitDone(), kDone); }

std::u16string AddinObject::TakeHostName(WChar* Name, bool* Got) {
  if (Got) *Got = Name != nullptr;
  if (!Name) return {};
  std::u16string Copy(Name);
  Memory_.Free(Name);
  return Copy;
}

bool AddinObject::RegisterExtensionAs(std::u16string& Name, bool& GotName) {
  WChar* Raw = nullptr;
  const bool Result = CallSlot<bool>(LanguageExtender(), kRegisterExtensionAs, &Raw);
  Name = TakeHostName(Raw, &GotName);
  return Result;
}

HostLong AddinObject::GetNProps() { return CallSlot<HostLong>(LanguageExtender(), kGetNProps); }
HostLong AddinObject::FindProp(const std::u16string& Name) {
  return CallSlot<HostLong>(LanguageExtender(), kFindProp, Name.c_str());
}
HostLong AddinObject::GetNMethods() { return CallSlot<HostLong>(LanguageExtender(), kGetNMethods); }
HostLong AddinObject::FindMethod(const std::u16string& Name) {
  return CallSlot<HostLong>(LanguageExtender(), kFindMethod, Name.c_str());
}

std::u16string AddinObject::GetMethodName(HostLong Num, HostLong Alias, bool* Got) {
  return TakeHostName(CallSlot<WChar*>(LanguageExtender(), kGetMethodName, Num, Alias), Got);
}

std::u16string AddinObject::GetPropName(HostLong Num, HostLong Alias, bool* Got) {
  return TakeHostName(CallSlot<WChar*>(LanguageExtender(), kGetPropName, Num, Alias), Got);
}

HostLong AddinObject::GetNParams(HostLong Num) {
  return CallSlot<HostLong>(LanguageExtender(), kGetNParams, Num);
}

bool AddinObject::GetParamDefValue(HostLong Num, HostLong Param, HostValue& Value) {
  V8Variant Raw;
  std::memset(&Raw, 0xAB, sizeof Raw);  // the add-in must overwrite it
  const bool Result = CallSlot<bool>(LanguageExtender(), kGetParamDefValue, Num, Param, &Raw);
  Value = FromVariant(Raw);
  ReleaseVariant(Raw, Memory_);
  return Result;
}

bool AddinObject::HasRetVal(HostLong Num) {
  return CallSlot<bool>(LanguageExtender(), kHasRetVal, Num);
}

bool AddinObject::GetPropVal(HostLong Num, HostValue& Value) {
  V8Variant Raw;
  std::memset(&Raw, 0xAB, sizeof Raw);
  const bool Result = CallSlot<bool>(LanguageExtender(), kGetPropVal, Num, &Raw);
  Value = FromVariant(Raw);
  ReleaseVariant(Raw, Memory_);
  return Result;
}

bool AddinObject::SetPropVal(HostLong Num, const HostValue& Value) {
  V8Variant Raw;
  ToVariant(Value, Raw, Memory_);
  const bool Result = CallSlot<bool>(LanguageExtender(), kSetPropVal, Num, &Raw);
  ReleaseVariant(Raw, Memory_);
  return Result;
}

bool AddinObject::IsPropReadable(HostLong Num) {
  return CallSlot<bool>(LanguageExtender(), kIsPropReadable, Num);
}
bool AddinObject::IsPropWritable(HostLong Num) {
  return CallSlot<bool>(LanguageExtender(), kIsPropWritable, Num);
}

void AddinObject::SetLocale(const std::u16string& Locale) {
  CallSlot<void>(this->Locale(), kSetLocale, Locale.c_str());
}

void AddinObject::SetUserInterfaceLanguageCode(const std::u16string& Code) {
  CallSlot<void>(UserLanguage(), kSetUserInterfaceLanguageCode, Code.c_str());
}

void AddinObject::DeleteThroughInterface(int Index) {
  if (!Component_) return;
  v8abi::CallTableDestructor(Interface(Index), true);
  Component_ = nullptr;
}

void AddinObject::DestroyInPlaceThenRelease(int Index) {
  if (!Component_) return;
  v8abi::CallTableDestructor(Interface(Index), false);
  Library_.DestroyObject(&Component_);
}

bool AddinObject::CallAsProc(HostLong Num, V8Variant* Params, HostLong Count) {
  return CallSlot<bool>(LanguageExtender(), kCallAsProc, Num, Params, Count);
}

bool AddinObject::CallAsFunc(HostLong Num, V8Variant* RetValue, V8Variant* Params, HostLong Count) {
  return CallSlot<bool>(LanguageExtender(), kCallAsFunc, Num, RetValue, Params, Count);
}

CallResult AddinObject::CallRaw(HostLong MethodNum, V8Variant* Params, HostLong Count,
                                V8Variant* RetValue) {
  CallResult Result;
  Result.Routine =
      CallSlot<bool>(LanguageExtender(), kCallAsFunc, MethodNum, RetValue, Params, Count);
  Result.Ret = FromVariant(*RetValue);
  ReleaseVariant(*RetValue, Memory_);
  // Whatever count the call was given, the array holds at most 255 values.
  const HostLong Readable =
      Params ? std::min<HostLong>(std::max<HostLong>(Count, 0), v8abi::kParamArrayLength) : 0;
  Result.Params.reserve(static_cast<std::size_t>(Readable));
  for (HostLong I = 0; I < Readable; ++I) {
    Result.Params.push_back(FromVariant(Params[I]));
    ReleaseVariant(Params[I], Memory_);
  }
  return Result;
}

AddinObject::PreparedCall AddinObject::Prepare(const std::u16string& Method,
                                               const std::vector<HostValue>& Args) {
  PreparedCall P;
  P.Num = FindMethod(Method);
  if (P.Num < 0) throw std::runtime_error("no such method: " + ToUtf8(Method));
  P.Count = GetNParams(P.Num);
  if (!HasRetVal(P.Num)) throw std::runtime_error("not a function: " + ToUtf8(Method));
  P.Params.resize(v8abi::kParamArrayLength);  // all empty (zero)
  for (std::size_t I = 0; I < Args.size() && I < P.Params.size(); ++I)
    ToVariant(Args[I], P.Params[I], Memory_);
  std::memset(&P.RetValue, 0, sizeof P.RetValue);
  return P;
}

CallResult AddinObject::Call(const std::u16string& Method, const std::vector<HostValue>& Args) {
  PreparedCall P = Prepare(Method, Args);
  CallResult Result = CallRaw(P.Num, P.Params.data(), P.Count, &P.RetValue);
  // Arguments beyond the method's count are still the host's to release.
  for (std::size_t I = static_cast<std::size_t>(P.Count); I < P.Params.size(); ++I)
    ReleaseVariant(P.Params[I], Memory_);
  return Result;
}

CallResult AddinObject::CallReading(const std::u16string& Method,
                                    const std::vector<HostValue>& Args, std::size_t FirstRead) {
  PreparedCall P = Prepare(Method, Args);
  CallResult Result;
  Result.Routine = CallAsFunc(P.Num, &P.RetValue, P.Params.data(), P.Count);
  Result.Ret = FromVariant(P.RetValue);
  ReleaseVariant(P.RetValue, Memory_);
  Result.Params.resize(static_cast<std::size_t>(std::max<HostLong>(P.Count, 0)));
  for (std::size_t I = FirstRead; I < Result.Params.size(); ++I)
    Result.Params[I] = FromVariant(P.Params[I]);
  // Values the call left empty hold no block.
  for (V8Variant& V : P.Params)
    if (V.Type() != VTYPE_EMPTY) ReleaseVariant(V, Memory_);
  return Result;
}

}  // namespace harness
