// The harness plays the platform: it loads the add-in library, calls its four
// exports, and drives an object through the four interface tables by slot
// position, with the calling convention and layouts of v8napi/abi.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/harness/host_connection.h"
#include "tools/harness/host_memory.h"
#include "tools/harness/host_values.h"
#include "v8napi/abi.h"

namespace harness {

class AddinLibrary {
 public:
  // Throws std::runtime_error when the library or an export cannot be found.
  explicit AddinLibrary(const std::string& Path);
  ~AddinLibrary();
  AddinLibrary(const AddinLibrary&) = delete;
  AddinLibrary& operator=(const AddinLibrary&) = delete;

  std::u16string GetClassNames() const;
  // The export's result and the component pointer it stored (null if none).
  v8abi::HostLong GetClassObject(const char16_t* Name, void** Component) const;
  v8abi::HostLong DestroyObject(void** Component) const;
  std::int32_t SetPlatformCapabilities(std::int32_t Capabilities) const;

 private:
  void* Handle_ = nullptr;
  using GetClassObjectFn = v8abi::GetClassObjectFn*;
  using DestroyObjectFn = v8abi::DestroyObjectFn*;
  using GetClassNamesFn = v8abi::GetClassNamesFn*;
  using SetPlatformCapabilitiesFn = v8abi::SetPlatformCapabilitiesFn*;
  GetClassObjectFn GetClassObject_ = nullptr;
  DestroyObjectFn DestroyObject_ = nullptr;
  GetClassNamesFn GetClassNames_ = nullptr;
  SetPlatformCapabilitiesFn SetPlatformCapabilities_ = nullptr;
};

struct CallResult {
  bool Routine = false;           // what CallAsFunc returned
  HostValue Ret;                  // the return value
  std::vector<HostValue> Params;  // every parameter after the call
  std::string Describe() const;
};

// One object of the add-in, created and set up as the platform does it:
// GetClassObject, Init with a connection, setMemManager, SetLocale,
// SetUserInterfaceLanguageCode.
class AddinObject {
 public:
  AddinObject(const AddinLibrary& Library, TrackingMemoryManager& Memory,
              RecordingConnection& Connection, const char16_t* ClassName = u"TMyClass");
  ~AddinObject();
  AddinObject(const AddinObject&) = delete;
  AddinObject& operator=(const AddinObject&) = delete;

  bool Valid() const { return Component_ != nullptr; }
  void* Component() const { return Component_; }

  // IInitDoneBase
  bool Init(void* Connection);
  bool SetMemManager(void* MemoryManager);
  v8abi::HostLong GetInfo();
  void Done();
  // ILanguageExtenderBase; names come back as UTF-16 and their host blocks are freed.
  bool RegisterExtensionAs(std::u16string& Name, bool& GotName);
  v8abi::HostLong GetNProps();
  v8abi::HostLong FindProp(const std::u16string& Name);
  v8abi::HostLong GetNMethods();
  v8abi::HostLong FindMethod(const std::u16string& Name);
  // Null result comes back as Got false.
  std::u16string GetMethodName(v8abi::HostLong Num, v8abi::HostLong Alias, bool* Got = nullptr);
  std::u16string GetPropName(v8abi::HostLong Num, v8abi::HostLong Alias, bool* Got = nullptr);
  v8abi::HostLong GetNParams(v8abi::HostLong Num);
  bool GetParamDefValue(v8abi::HostLong Num, v8abi::HostLong Param, HostValue& Value);
  bool HasRetVal(v8abi::HostLong Num);
  bool GetPropVal(v8abi::HostLong Num, HostValue& Value);
  bool SetPropVal(v8abi::HostLong Num, const HostValue& Value);
  bool IsPropReadable(v8abi::HostLong Num);
  bool IsPropWritable(v8abi::HostLong Num);
  // LocaleBase
  void SetLocale(const std::u16string& Locale);
  // UserLanguageBase
  void SetUserInterfaceLanguageCode(const std::u16string& Code);

  // Ends the object through the destructor places of interface Interface (0
  // to 3) instead of DestroyObject, as a host's `delete` on that interface
  // pointer does; the object is then gone (Valid() is false).
  void DeleteThroughInterface(int Interface);
  // Destroys the object through interface Interface without freeing the
  // record (an explicit destructor call; on Windows flags 0), then frees the
  // record with DestroyObject, which must find no object left to destroy.
  void DestroyInPlaceThenRelease(int Interface);

  // Calls a method by name as the platform does: FindMethod, a 255-element
  // parameter array holding Args (the rest empty), CallAsFunc with the
  // method's parameter count; then reads and frees every value.
  CallResult Call(const std::u16string& Method, const std::vector<HostValue>& Args);
  // As Call, but only the return value and the parameters from FirstRead on
  // are read back (Params holds empty values before it); every value is
  // released. The host's side of a call without the tests' decoding of every
  // parameter, for the benchmarks.
  CallResult CallReading(const std::u16string& Method, const std::vector<HostValue>& Args,
                         std::size_t FirstRead);
  // The same with a caller-built array, for tests of odd host input. The
  // values are read and released afterwards.
  CallResult CallRaw(v8abi::HostLong MethodNum, V8Variant* Params, v8abi::HostLong Count,
                     V8Variant* RetValue);
  bool CallAsProc(v8abi::HostLong Num, V8Variant* Params, v8abi::HostLong Count);
  // CallAsFunc alone: nothing is read back or released.
  bool CallAsFunc(v8abi::HostLong Num, V8Variant* RetValue, V8Variant* Params,
                  v8abi::HostLong Count);

 private:
  // A function's number and parameter count (FindMethod, GetNParams,
  // HasRetVal) and a 255-element parameter array holding the arguments (the
  // rest empty), as the platform prepares a call.
  struct PreparedCall {
    v8abi::HostLong Num = -1;
    v8abi::HostLong Count = 0;
    std::vector<V8Variant> Params;
    V8Variant RetValue;
  };
  PreparedCall Prepare(const std::u16string& Method, const std::vector<HostValue>& Args);

  void* InitDone() const { return Component_; }
  void* LanguageExtender() const { return static_cast<void**>(Component_) + 1; }
  void* Locale() const { return static_cast<void**>(Component_) + 2; }
  void* UserLanguage() const { return static_cast<void**>(Component_) + 3; }
  void* Interface(int Index) const { return static_cast<void**>(Component_) + Index; }
  std::u16string TakeHostName(v8abi::WChar* Name, bool* Got);

  const AddinLibrary& Library_;
  TrackingMemoryManager& Memory_;
  void* Component_ = nullptr;
};

}  // namespace harness
