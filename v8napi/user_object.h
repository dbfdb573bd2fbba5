// TV8UserObject: the base of every object the library hands to the host, with
// the host value writers; and the host value readers.
#pragma once

#include <cstdint>
#include <string>

#include "v8napi/variant.h"

class TClassReg;

class TV8UserObject {
 public:
  TV8UserObject() = default;
  TV8UserObject(const TV8UserObject&) = delete;
  TV8UserObject& operator=(const TV8UserObject&) = delete;
  virtual ~TV8UserObject() = default;

  virtual bool Init() { return true; }
  virtual std::int32_t GetInfo() { return 2000; }
  virtual void SetLocale() {}
  virtual void Done() {}
  virtual bool SetMemManager() { return true; }
  virtual void SetUserInterfaceLanguageCode() {}

  const TClassReg* ClassReg = nullptr;
  void* V8MM = nullptr;  // the host's memory manager
  void* V8 = nullptr;    // the host's connection object; kept, never called
  std::u16string locale;
  // The host's user interface language ("ru", ...); kept, never read.
  std::u16string UserInterfaceLanguageCode;

  // Writers: each clears V first. The text writers return false when the host
  // refuses the memory (or no memory manager is set).
  void V8SetBool(V8Variant* V, bool Value);
  void V8SetInt(V8Variant* V, std::int32_t Value);
  void V8SetUInt(V8Variant* V, std::uint32_t Value);
  void V8SetDouble(V8Variant* V, double Value);
  void V8SetDate(V8Variant* V, double Value);
  bool V8SetPChar(V8Variant* V, const char* Value);
  bool V8SetString(V8Variant* V, const std::string& Value);
  bool V8SetWString(V8Variant* V, const std::u16string& Value);
  bool V8SetBlob(V8Variant* V, const void* Value, std::uint32_t Length);

  // A host block holding W and its terminator; null when refused.
  char16_t* V8AllocWideString(const std::u16string& W);
  void V8ClearVar(V8Variant* V);
  // Dest gets Source's value with a buffer of its own; false (and Dest empty)
  // when the host refuses that buffer.
  bool V8CopyVar(const V8Variant* Source, V8Variant* Dest);

 private:
  void* AllocHost(std::size_t Size);
};

// Readers: whatever cannot be converted gives 0, false or the empty string.
std::int32_t V8GetInt(const V8Variant* V);
double V8GetDouble(const V8Variant* V);
bool V8GetBool(const V8Variant* V);
// 8-bit text in the system code page.
std::string V8GetString(const V8Variant* V);
