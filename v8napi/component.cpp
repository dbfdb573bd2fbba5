// The four exports and the three interface tables through which the host
// drives an object. Every export and slot is a thin shell: it finds the user
// object, checks what it is given, forwards, and lets no exception escape.
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "base/text_rules.h"
#include "platform/locale.h"
#include "v8napi/abi.h"
#include "v8napi/host_objects.h"
#include "v8napi/registry.h"
#include "v8napi/user_object.h"

#define V8_EXPORT extern "C" __attribute__((visibility("default")))

using v8abi::HostLong;
using v8abi::WChar;
using v8host::Slot;

namespace {

// The process-wide decimal separator starts from the user's regional setting,
// read while the library loads (so no call pays for it), without touching the
// host's locale.
[[maybe_unused]] const bool kUserSeparatorSet =
    (base::SetDecimalSeparator(platform::UserDecimalSeparator()), true);

// One record per object handed to the host: four interface pointers and the
// user object four times, so that every slot finds the object four words past
// the interface pointer it is called with.
struct ComponentRecord {
  const Slot* Tables[v8abi::kInterfaceCount];
  TV8UserObject* Object[v8abi::kInterfaceCount];
};
static_assert(sizeof(ComponentRecord) == v8abi::kRecordWords * sizeof(void*));

TV8UserObject* ObjectOf(void* Self) {
  return static_cast<TV8UserObject**>(Self)[v8abi::kUserObjectDistance];
}

const TClassReg* ClassOf(void* Self) { return ObjectOf(Self)->ClassReg; }

std::u16string WideArg(const WChar* Text) { return Text ? std::u16string(Text) : std::u16string(); }

// IInitDoneBase ---------------------------------------------------------------

bool V8_SLOT_CALL Init(void* Self, void* Connection) noexcept {
  try {
    TV8UserObject* Object = ObjectOf(Self);
    Object->V8 = Connection;
    return Object->Init();
  } catch (...) {
    return false;
  }
}

bool V8_SLOT_CALL SetMemManager(void* Self, void* MemoryManager) noexcept {
  try {
    TV8UserObject* Object = ObjectOf(Self);
    Object->V8MM = MemoryManager;
    return Object->SetMemManager();
  } catch (...) {
    return false;
  }
}

HostLong V8_SLOT_CALL GetInfo(void* Self) noexcept {
  try {
    return ObjectOf(Self)->GetInfo();
  } catch (...) {
    return 0;
  }
}

void V8_SLOT_CALL Done(void* Self) noexcept {
  try {
    ObjectOf(Self)->Done();
  } catch (...) {
  }
}

// ILanguageExtenderBase --------------------------------------------------------

bool V8_SLOT_CALL RegisterExtensionAs(void* Self, WChar** Name) noexcept {
  if (!Name) return false;
  *Name = nullptr;
  try {
    *Name = ObjectOf(Self)->V8AllocWideString(ClassOf(Self)->RegisterExtensionAs);
  } catch (...) {
  }
  return true;
}

bool ValidProp(void* Self, HostLong Num) { return Num >= 0 && Num < ClassOf(Self)->PropCount(); }
bool ValidMeth(void* Self, HostLong Num) { return Num >= 0 && Num < ClassOf(Self)->MethCount(); }

HostLong V8_SLOT_CALL GetNProps(void* Self) noexcept { return ClassOf(Self)->PropCount(); }

HostLong V8_SLOT_CALL FindProp(void* Self, const WChar* Name) noexcept {
  try {
    return ClassOf(Self)->FindProp(WideArg(Name));
  } catch (...) {
    return -1;
  }
}

const WChar* V8_SLOT_CALL GetPropName(void* Self, HostLong Num, HostLong Alias) noexcept {
  try {
    if (!ValidProp(Self, Num)) return nullptr;
    const TPropReg& P = ClassOf(Self)->Prop(static_cast<std::int32_t>(Num));
    return ObjectOf(Self)->V8AllocWideString(Alias == 0 ? P.PropName : P.PropNameLoc);
  } catch (...) {
    return nullptr;
  }
}

bool V8_SLOT_CALL GetPropVal(void* Self, HostLong Num, V8Variant* Value) noexcept {
  if (!Value) return false;
  std::memset(Value, 0, sizeof *Value);
  try {
    if (!ValidProp(Self, Num)) return false;
    const TPropReg& P = ClassOf(Self)->Prop(static_cast<std::int32_t>(Num));
    return P.PropGetSet ? P.PropGetSet(ObjectOf(Self), Value, true) : false;
  } catch (...) {
    return false;
  }
}

bool V8_SLOT_CALL SetPropVal(void* Self, HostLong Num, V8Variant* Value) noexcept {
  try {
    if (!Value || !ValidProp(Self, Num)) return false;
    const TPropReg& P = ClassOf(Self)->Prop(static_cast<std::int32_t>(Num));
    return P.PropGetSet ? P.PropGetSet(ObjectOf(Self), Value, false) : false;
  } catch (...) {
    return false;
  }
}

bool V8_SLOT_CALL IsPropReadable(void* Self, HostLong Num) noexcept {
  return ValidProp(Self, Num) && ClassOf(Self)->Prop(static_cast<std::int32_t>(Num)).IsReadable;
}

bool V8_SLOT_CALL IsPropWritable(void* Self, HostLong Num) noexcept {
  return ValidProp(Self, Num) && ClassOf(Self)->Prop(static_cast<std::int32_t>(Num)).IsWritable;
}

HostLong V8_SLOT_CALL GetNMethods(void* Self) noexcept { return ClassOf(Self)->MethCount(); }

HostLong V8_SLOT_CALL FindMethod(void* Self, const WChar* Name) noexcept {
  try {
    return ClassOf(Self)->FindMethod(WideArg(Name));
  } catch (...) {
    return -1;
  }
}

const WChar* V8_SLOT_CALL GetMethodName(void* Self, HostLong Num, HostLong Alias) noexcept {
  try {
    if (!ValidMeth(Self, Num)) return nullptr;
    const TMethReg& M = ClassOf(Self)->Meth(static_cast<std::int32_t>(Num));
    return ObjectOf(Self)->V8AllocWideString(Alias == 0 ? M.MethName : M.MethNameLoc);
  } catch (...) {
    return nullptr;
  }
}

HostLong V8_SLOT_CALL GetNParams(void* Self, HostLong Num) noexcept {
  return ValidMeth(Self, Num) ? ClassOf(Self)->Meth(static_cast<std::int32_t>(Num)).ParamCount : 0;
}

bool V8_SLOT_CALL GetParamDefValue(void* Self, HostLong Num, HostLong Param,
                                   V8Variant* Value) noexcept {
  if (!Value) return false;
  std::memset(Value, 0, sizeof *Value);
  try {
    if (!ValidMeth(Self, Num)) return true;
    const TDefParamList& Defaults = ClassOf(Self)->Meth(static_cast<std::int32_t>(Num)).DefParams;
    if (Param >= 0 && Param < Defaults.ValueCount())
      ObjectOf(Self)->V8CopyVar(&Defaults.At(static_cast<std::int32_t>(Param)).Value, Value);
  } catch (...) {
  }
  return true;
}

bool V8_SLOT_CALL HasRetVal(void* Self, HostLong Num) noexcept {
  return ValidMeth(Self, Num) && ClassOf(Self)->Meth(static_cast<std::int32_t>(Num)).IsFunction;
}

std::int32_t ParamCountArg(HostLong Count) {
  return Count < 0                          ? 0
         : Count > v8abi::kParamArrayLength ? v8abi::kParamArrayLength
                                            : static_cast<std::int32_t>(Count);
}

bool V8_SLOT_CALL CallAsProc(void* Self, HostLong Num, V8Variant* Params, HostLong Count) noexcept {
  try {
    if (!ValidMeth(Self, Num)) return false;
    const TMethReg& M = ClassOf(Self)->Meth(static_cast<std::int32_t>(Num));
    if (M.IsFunction || !M.ExecuteProc || (!Params && M.ParamCount > 0)) return false;
    return M.ExecuteProc(ObjectOf(Self), Params, ParamCountArg(Count));
  } catch (...) {
    return false;
  }
}

bool V8_SLOT_CALL CallAsFunc(void* Self, HostLong Num, V8Variant* RetValue, V8Variant* Params,
                             HostLong Count) noexcept {
  try {
    if (!ValidMeth(Self, Num) || !RetValue) return false;
    const TMethReg& M = ClassOf(Self)->Meth(static_cast<std::int32_t>(Num));
    if (!M.IsFunction || !M.ExecuteFunc || (!Params && M.ParamCount > 0)) return false;
    return M.ExecuteFunc(ObjectOf(Self), RetValue, Params, ParamCountArg(Count));
  } catch (...) {
    return false;
  }
}

// LocaleBase -------------------------------------------------------------------

void V8_SLOT_CALL SetLocale(void* Self, const WChar* Locale) noexcept {
  try {
    TV8UserObject* Object = ObjectOf(Self);
    Object->locale = WideArg(Locale);
    Object->SetLocale();
  } catch (...) {
  }
}

// UserLanguageBase --------------------------------------------------------------

void V8_SLOT_CALL SetUserInterfaceLanguageCode(void* Self, const WChar* Code) noexcept {
  try {
    TV8UserObject* Object = ObjectOf(Self);
    Object->UserInterfaceLanguageCode = WideArg(Code);
    Object->SetUserInterfaceLanguageCode();
  } catch (...) {
  }
}

// Destructor places -------------------------------------------------------------
//
// A host may release the object through any of its four interface pointers
// with its compiler's `delete` instead of DestroyObject. Each place finds the
// record from the interface it is called through (the table of word k is
// called with the record's address plus k words) and ends the object as
// DestroyObject does. The user object is destroyed once: whatever releases the
// record afterwards finds no object left.

ComponentRecord* RecordOf(void* Self, int Word) {
  return reinterpret_cast<ComponentRecord*>(static_cast<void**>(Self) - Word);
}

void EndUserObject(ComponentRecord* Record) noexcept {
  TV8UserObject* Object = Record->Object[0];
  for (TV8UserObject*& Copy : Record->Object) Copy = nullptr;
  try {
    delete Object;
  } catch (...) {
  }
}

#if defined(KELVO_ABI_WINDOWS)
// The scalar deleting destructor: frees the record when bit 0 of Flags is set.
template <int Word>
void* V8_DESTRUCTOR_CALL ScalarDeletingDestructor(void* Self, unsigned Flags) noexcept {
  ComponentRecord* Record = RecordOf(Self, Word);
  EndUserObject(Record);
  if (Flags & v8abi::kDeleteFlag) delete Record;
  return Self;
}
#else
// The complete-object destructor: the record's memory stays.
template <int Word>
void CompleteObjectDestructor(void* Self) noexcept {
  EndUserObject(RecordOf(Self, Word));
}

// The deleting destructor: what a host's `delete` calls.
template <int Word>
void DeletingDestructor(void* Self) noexcept {
  ComponentRecord* Record = RecordOf(Self, Word);
  EndUserObject(Record);
  delete Record;
}
#endif

// The tables ---------------------------------------------------------------------
//
// Each is laid out as a compiler lays out a table of the interface: the prefix
// words, the destructor places, then the slots in order. The record points at
// the first destructor place.

template <std::size_t Count>
struct InterfaceTable {
  v8abi::TablePrefix Prefix;
  Slot Slots[v8abi::kDestructorSlots + Count];
};

template <typename F>
Slot AsSlot(F Function) {
  return reinterpret_cast<Slot>(Function);
}

template <int Word, std::size_t Count>
InterfaceTable<Count> MakeTable(const Slot (&Functions)[Count]) {
  InterfaceTable<Count> Table{};
#if defined(KELVO_ABI_WINDOWS)
  Table.Prefix.CompleteObjectLocator = nullptr;
  Table.Slots[0] = AsSlot(&ScalarDeletingDestructor<Word>);
#else
  Table.Prefix.OffsetToTop = -static_cast<std::intptr_t>(Word * sizeof(void*));
  Table.Prefix.TypeInfo = &typeid(ComponentRecord);
  Table.Slots[v8abi::kCompleteObjectDestructorPlace] = AsSlot(&CompleteObjectDestructor<Word>);
  Table.Slots[v8abi::kDeletingDestructorPlace] = AsSlot(&DeletingDestructor<Word>);
#endif
  for (std::size_t I = 0; I < Count; ++I) Table.Slots[v8abi::kDestructorSlots + I] = Functions[I];
  return Table;
}

const Slot InitDoneSlots[] = {AsSlot(&Init), AsSlot(&SetMemManager), AsSlot(&GetInfo),
                              AsSlot(&Done)};
const Slot LanguageExtenderSlots[] = {
    AsSlot(&RegisterExtensionAs), AsSlot(&GetNProps),      AsSlot(&FindProp),
    AsSlot(&GetPropName),         AsSlot(&GetPropVal),     AsSlot(&SetPropVal),
    AsSlot(&IsPropReadable),      AsSlot(&IsPropWritable), AsSlot(&GetNMethods),
    AsSlot(&FindMethod),          AsSlot(&GetMethodName),  AsSlot(&GetNParams),
    AsSlot(&GetParamDefValue),    AsSlot(&HasRetVal),      AsSlot(&CallAsProc),
    AsSlot(&CallAsFunc)};
const Slot LocaleSlots[] = {AsSlot(&SetLocale)};
const Slot UserLanguageSlots[] = {AsSlot(&SetUserInterfaceLanguageCode)};

static_assert(sizeof InitDoneSlots / sizeof(Slot) == 4);
static_assert(sizeof LanguageExtenderSlots / sizeof(Slot) == 16);

const auto InitDoneTable = MakeTable<0>(InitDoneSlots);
const auto LanguageExtenderTable = MakeTable<1>(LanguageExtenderSlots);
const auto LocaleTable = MakeTable<2>(LocaleSlots);
const auto UserLanguageTable = MakeTable<3>(UserLanguageSlots);

static_assert(offsetof(InterfaceTable<1>, Slots) == sizeof(v8abi::TablePrefix),
              "the destructor places follow the prefix words directly");

}  // namespace

// Exports -----------------------------------------------------------------------

V8_EXPORT HostLong GetClassObject(const WChar* ClassName, void** Component) {
  try {
    if (!ClassName || !Component) return 0;
    const TClassReg* Class = ClassRegistry().FindClass(ClassName);
    if (!Class || !Class->UserClass) return 0;
    TV8UserObject* Object = Class->UserClass();
    if (!Object) return 0;
    auto* Record = new (std::nothrow) ComponentRecord{};
    if (!Record) {
      delete Object;
      return 0;
    }
    Record->Tables[0] = InitDoneTable.Slots;
    Record->Tables[1] = LanguageExtenderTable.Slots;
    Record->Tables[2] = LocaleTable.Slots;
    Record->Tables[3] = UserLanguageTable.Slots;
    for (TV8UserObject*& Copy : Record->Object) Copy = Object;
    Object->ClassReg = Class;
    *Component = Record;
    return 1;
  } catch (...) {
    return 0;
  }
}

V8_EXPORT HostLong DestroyObject(void** Component) {
  if (!Component || !*Component) return -1;
  auto* Record = static_cast<ComponentRecord*>(*Component);
  EndUserObject(Record);
  delete Record;
  *Component = nullptr;
  return 0;
}

V8_EXPORT const WChar* GetClassNames() { return ClassRegistry().ClassNames().c_str(); }

V8_EXPORT std::int32_t SetPlatformCapabilities(std::int32_t /*Capabilities*/) { return 1; }

static_assert(std::is_same_v<decltype(GetClassObject), v8abi::GetClassObjectFn>);
static_assert(std::is_same_v<decltype(DestroyObject), v8abi::DestroyObjectFn>);
static_assert(std::is_same_v<decltype(GetClassNames), v8abi::GetClassNamesFn>);
static_assert(std::is_same_v<decltype(SetPlatformCapabilities), v8abi::SetPlatformCapabilitiesFn>);
