#include "v8napi/registry.h"

#include <cstring>
#include <utility>

#include "base/text_rules.h"

V8Variant* TDefParamList::AddParam(std::int32_t ParamNum) {
  TDefParamValue& Entry = Values.emplace_back();
  std::memset(&Entry, 0, sizeof Entry);
  Entry.Num = ParamNum - 1;
  return &Entry.Value;
}

namespace {
V8Variant* Fill(V8Variant* V, std::uint32_t Type) {
  V->vt = Type;
  return V;
}
}  // namespace

void TDefParamList::AddInt(std::int32_t V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_I4);
  TempParam_->VarEnum.lVal = V;
}

void TDefParamList::AddUInt(std::uint32_t V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_UI4);
  TempParam_->VarEnum.ulVal = V;
}

void TDefParamList::AddDouble(double V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_R8);
  TempParam_->VarEnum.dblVal = V;
}

void TDefParamList::AddBool(bool V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_BOOL);
  TempParam_->VarEnum.bVal = V ? 1 : 0;
}

void TDefParamList::AddDate(double V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_DATE);
  TempParam_->VarEnum.date = V;
}

void TDefParamList::AddWString(const char16_t* V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_PWSTR);
  TempParam_->VarEnum.vtRecWideString.pwstrVal = const_cast<char16_t*>(V);
  TempParam_->VarEnum.vtRecWideString.wstrLen =
      static_cast<std::uint32_t>(std::char_traits<char16_t>::length(V));
}

void TDefParamList::AddAString(const char* V, std::int32_t ParamNum) {
  TempParam_ = Fill(AddParam(ParamNum), VTYPE_PSTR);
  TempParam_->VarEnum.vtRecString.pstrVal = const_cast<char*>(V);
  TempParam_->VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(std::strlen(V));
}

TClassReg::TClassReg(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
                     std::u16string NatApiClassName)
    : UserClass(UserClass),
      RegisterExtensionAs(std::move(RegisterExtensionAs)),
      NatApiClassName(std::move(NatApiClassName)) {}

TMethReg& TClassReg::AddFunc(std::u16string MethName, std::u16string MethNameLoc,
                             TV8CallAsFunc ExecuteProc, std::int32_t ParamCount) {
  auto& M = *MethList.emplace_back(std::make_unique<TMethReg>());
  M.MethName = std::move(MethName);
  M.MethNameLoc = std::move(MethNameLoc);
  M.IsFunction = true;
  M.ParamCount = ParamCount;
  M.ExecuteFunc = ExecuteProc;
  return M;
}

TMethReg& TClassReg::AddProc(std::u16string MethName, std::u16string MethNameLoc,
                             TV8CallAsProc ExecuteProc, std::int32_t ParamCount) {
  auto& M = *MethList.emplace_back(std::make_unique<TMethReg>());
  M.MethName = std::move(MethName);
  M.MethNameLoc = std::move(MethNameLoc);
  M.IsFunction = false;
  M.ParamCount = ParamCount;
  M.ExecuteProc = ExecuteProc;
  return M;
}

void TClassReg::AddProp(std::u16string PropName, std::u16string PropNameLoc, bool IsReadable,
                        bool IsWritable, TV8PropertyGetSet PropGetSet) {
  auto& P = *PropList.emplace_back(std::make_unique<TPropReg>());
  P.PropName = std::move(PropName);
  P.PropNameLoc = std::move(PropNameLoc);
  P.IsReadable = IsReadable;
  P.IsWritable = IsWritable;
  P.PropGetSet = PropGetSet;
}

namespace {
template <typename List, typename Loc, typename Eng>
std::int32_t FindByName(const List& Entries, const std::u16string& Name, Loc LocName, Eng EngName) {
  for (std::size_t I = 0; I < Entries.size(); ++I) {
    if (base::EqualIgnoringCase(Name, LocName(*Entries[I])) ||
        base::EqualIgnoringCase(Name, EngName(*Entries[I])))
      return static_cast<std::int32_t>(I);
  }
  return -1;
}
}  // namespace

std::int32_t TClassReg::FindMethod(const std::u16string& Name) const {
  return FindByName(
      MethList, Name, [](const TMethReg& M) -> const auto& { return M.MethNameLoc; },
      [](const TMethReg& M) -> const auto& { return M.MethName; });
}

std::int32_t TClassReg::FindProp(const std::u16string& Name) const {
  return FindByName(
      PropList, Name, [](const TPropReg& P) -> const auto& { return P.PropNameLoc; },
      [](const TPropReg& P) -> const auto& { return P.PropName; });
}

TClassReg& TClassRegList::RegisterClass(TV8UserClass UserClass, std::u16string RegisterExtensionAs,
                                        std::u16string NatApiClassName) {
  if (!ClassNames_.empty()) ClassNames_ += u'|';
  ClassNames_ += NatApiClassName;
  return *ClassList.emplace_back(std::make_unique<TClassReg>(
      UserClass, std::move(RegisterExtensionAs), std::move(NatApiClassName)));
}

const TClassReg* TClassRegList::FindClass(const std::u16string& NatApiClassName) const {
  for (const auto& C : ClassList)
    if (C->NatApiClassName == NatApiClassName) return C.get();
  return nullptr;
}

void TClassRegList::Clear() {
  ClassList.clear();
  ClassNames_.clear();
}

TClassRegList& ClassRegistry() {
  static TClassRegList Registry;
  return Registry;
}
