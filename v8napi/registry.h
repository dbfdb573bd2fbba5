// The registry of add-in classes: the names under which the host knows each
// class, and its methods and properties with their parameter counts, default
// values and routines. Filled once while the library loads; read-only after.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "v8napi/variant.h"

class TV8UserObject;

using TV8CallAsFunc = bool (*)(TV8UserObject* Self, V8Variant* RetValue, V8Variant* Params,
                               std::int32_t ParamCount);
using TV8CallAsProc = bool (*)(TV8UserObject* Self, V8Variant* Params, std::int32_t ParamCount);
using TV8PropertyGetSet = bool (*)(TV8UserObject* Self, V8Variant* propValue, bool Get);
// The class's virtual constructor.
using TV8UserClass = TV8UserObject* (*)();

#pragma pack(push, 1)
struct TDefParamValue {
  std::int32_t Num;
  V8Variant Value;
};
#pragma pack(pop)
static_assert(sizeof(TDefParamValue) == 4 + sizeof(V8Variant));

class TDefParamList {
 public:
  std::int32_t ValueCount() const { return static_cast<std::int32_t>(Values.size()); }
  const TDefParamValue& At(std::int32_t Index) const { return Values[Index]; }
  V8Variant* TempParam() const { return TempParam_; }

  // ParamNum counts parameters from 1.
  V8Variant* AddParam(std::int32_t ParamNum);
  void AddInt(std::int32_t V, std::int32_t ParamNum);
  void AddUInt(std::uint32_t V, std::int32_t ParamNum);
  void AddDouble(double V, std::int32_t ParamNum);
  void AddBool(bool V, std::int32_t ParamNum);
  void AddDate(double V, std::int32_t ParamNum);
  // The text is not copied: it must outlive the registry.
  void AddWString(const char16_t* V, std::int32_t ParamNum);
  void AddAString(const char* V, std::int32_t ParamNum);

 private:
  std::deque<TDefParamValue> Values;  // stable addresses for TempParam
  V8Variant* TempParam_ = nullptr;
};

struct TMethReg {
  std::u16string MethName;
  std::u16string MethNameLoc;
  bool IsFunction = false;
  std::int32_t ParamCount = 0;
  TDefParamList DefParams;
  TV8CallAsFunc ExecuteFunc = nullptr;
  TV8CallAsProc ExecuteProc = nullptr;
};

struct TPropReg {
  std::u16string PropName;
  std::u16string PropNameLoc;
  bool IsReadable = false;
  bool IsWritable = false;
  TV8PropertyGetSet PropGetSet = nullptr;
};

class TClassReg {
 public:
  TClassReg(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
            std::u16string NatApiClassName);

  TV8UserClass UserClass;
  std::u16string RegisterExtensionAs;
  std::u16string NatApiClassName;

  std::int32_t PropCount() const { return static_cast<std::int32_t>(PropList.size()); }
  std::int32_t MethCount() const { return static_cast<std::int32_t>(MethList.size()); }
  const TPropReg& Prop(std::int32_t Num) const { return *PropList[Num]; }
  const TMethReg& Meth(std::int32_t Num) const { return *MethList[Num]; }

  TMethReg& AddFunc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsFunc ExecuteProc,
                    std::int32_t ParamCount);
  TMethReg& AddProc(std::u16string MethName, std::u16string MethNameLoc, TV8CallAsProc ExecuteProc,
                    std::int32_t ParamCount);
  void AddProp(std::u16string PropName, std::u16string PropNameLoc, bool IsReadable,
               bool IsWritable, TV8PropertyGetSet PropGetSet);

  // Position of the first method (property) whose localized or English name
  // equals Name without regard to letter case; -1 when none does.
  std::int32_t FindMethod(const std::u16string& Name) const;
  std::int32_t FindProp(const std::u16string& Name) const;

 private:
  std::vector<std::unique_ptr<TPropReg>> PropList;
  std::vector<std::unique_ptr<TMethReg>> MethList;
};

class TClassRegList {
 public:
  std::int32_t ClassCount() const { return static_cast<std::int32_t>(ClassList.size()); }
  TClassReg& RegisterClass(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
                           std::u16string NatApiClassName);
  // Exact, case-sensitive match on the class name; null when none matches.
  const TClassReg* FindClass(const std::u16string& NatApiClassName) const;
  // Every registered class name in registration order, joined by "|".
  const std::u16string& ClassNames() const { return ClassNames_; }
  void Clear();

 private:
  std::vector<std::unique_ptr<TClassReg>> ClassList;
  std::u16string ClassNames_;
};

// The one registry of the library, created on first use while the library loads.
TClassRegList& ClassRegistry();
