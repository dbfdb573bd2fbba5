#include "v8napi/user_object.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "base/text_rules.h"
#include "platform/codepage.h"
#include "v8napi/host_objects.h"

void* TV8UserObject::AllocHost(std::size_t Size) {
  void* Block = nullptr;
  v8host::AllocMemory(V8MM, &Block, Size);
  return Block;
}

void TV8UserObject::V8ClearVar(V8Variant* V) {
  switch (V->Type()) {
    case VTYPE_PSTR:
    case VTYPE_BLOB:
      if (V->VarEnum.vtRecString.pstrVal)
        v8host::FreeMemory(V8MM, reinterpret_cast<void**>(&V->VarEnum.vtRecString.pstrVal));
      break;
    case VTYPE_PWSTR:
      if (V->VarEnum.vtRecWideString.pwstrVal)
        v8host::FreeMemory(V8MM, reinterpret_cast<void**>(&V->VarEnum.vtRecWideString.pwstrVal));
      break;
    case VTYPE_INTERFACE:
      // IUnknown: QueryInterface, AddRef, Release; no destructor places.
      if (void* Interface = V->VarEnum.vtRecInterface.pInterfaceVal) {
        using ReleaseFn = std::uint32_t(V8_SLOT_CALL*)(void*);
        const auto* Table = *static_cast<const v8host::Slot* const*>(Interface);
        reinterpret_cast<ReleaseFn>(Table[2])(Interface);
      }
      break;
    default: break;
  }
  std::memset(V, 0, sizeof *V);
}

void TV8UserObject::V8SetBool(V8Variant* V, bool Value) {
  V8ClearVar(V);
  V->vt = VTYPE_BOOL;
  V->VarEnum.bVal = Value ? 1 : 0;
}

void TV8UserObject::V8SetInt(V8Variant* V, std::int32_t Value) {
  V8ClearVar(V);
  V->vt = VTYPE_I4;
  V->VarEnum.lVal = Value;
}

void TV8UserObject::V8SetUInt(V8Variant* V, std::uint32_t Value) {
  V8ClearVar(V);
  V->vt = VTYPE_UINT;
  V->VarEnum.ulVal = Value;
}

void TV8UserObject::V8SetDouble(V8Variant* V, double Value) {
  V8ClearVar(V);
  V->vt = VTYPE_R8;
  V->VarEnum.dblVal = Value;
}

void TV8UserObject::V8SetDate(V8Variant* V, double Value) {
  V8ClearVar(V);
  V->vt = VTYPE_DATE;
  V->VarEnum.date = Value;
}

bool TV8UserObject::V8SetPChar(V8Variant* V, const char* Value) {
  if (!Value) return true;
  const std::size_t Length = std::strlen(Value);
  V8ClearVar(V);
  V->vt = VTYPE_PSTR;
  auto* Block = static_cast<char*>(AllocHost(Length + 1));
  if (!Block) return false;
  std::memcpy(Block, Value, Length + 1);
  V->VarEnum.vtRecString.pstrVal = Block;
  V->VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(Length);
  return true;
}

bool TV8UserObject::V8SetString(V8Variant* V, const std::string& Value) {
  return V8SetPChar(V, Value.c_str());
}

bool TV8UserObject::V8SetWString(V8Variant* V, const std::u16string& Value) {
  V8ClearVar(V);
  V->vt = VTYPE_PWSTR;
  auto* Block = static_cast<char16_t*>(AllocHost((Value.size() + 1) * sizeof(char16_t)));
  if (!Block) return false;
  std::memcpy(Block, Value.c_str(), (Value.size() + 1) * sizeof(char16_t));
  V->VarEnum.vtRecWideString.pwstrVal = Block;
  V->VarEnum.vtRecWideString.wstrLen = static_cast<std::uint32_t>(Value.size());
  return true;
}

bool TV8UserObject::V8SetBlob(V8Variant* V, const void* Value, std::uint32_t Length) {
  if (!Value) return true;
  V8ClearVar(V);
  V->vt = VTYPE_BLOB;
  auto* Block = static_cast<char*>(AllocHost(Length));
  if (!Block) return false;
  std::memcpy(Block, Value, Length);
  V->VarEnum.vtRecString.pstrVal = Block;
  V->VarEnum.vtRecString.strLen = Length;
  return true;
}

char16_t* TV8UserObject::V8AllocWideString(const std::u16string& W) {
  auto* Block = static_cast<char16_t*>(AllocHost((W.size() + 1) * sizeof(char16_t)));
  if (Block) std::memcpy(Block, W.c_str(), (W.size() + 1) * sizeof(char16_t));
  return Block;
}

bool TV8UserObject::V8CopyVar(const V8Variant* Source, V8Variant* Dest) {
  std::memcpy(Dest, Source, sizeof *Dest);
  std::size_t Bytes = 0;
  const void* From = nullptr;
  switch (Source->Type()) {
    case VTYPE_PSTR:
      From = Source->VarEnum.vtRecString.pstrVal;
      Bytes = std::size_t{Source->VarEnum.vtRecString.strLen} + 1;
      break;
    case VTYPE_BLOB:
      From = Source->VarEnum.vtRecString.pstrVal;
      Bytes = Source->VarEnum.vtRecString.strLen;
      break;
    case VTYPE_PWSTR:
      From = Source->VarEnum.vtRecWideString.pwstrVal;
      Bytes = (std::size_t{Source->VarEnum.vtRecWideString.wstrLen} + 1) * sizeof(char16_t);
      break;
    default: return true;
  }
  if (!From) return true;
  void* Block = AllocHost(Bytes);
  if (!Block) {
    std::memset(Dest, 0, sizeof *Dest);
    return false;
  }
  std::memcpy(Block, From, Bytes);
  // Both string records keep their pointer at byte 0 of the value.
  Dest->VarEnum.vtRecString.pstrVal = static_cast<char*>(Block);
  return true;
}

namespace {

// A host wide text ends at its terminator, and never past its stated length:
// a host that forgot the terminator must not make the add-in read beyond it.
std::u16string_view WideText(const V8Variant* V) {
  const char16_t* Text = V->VarEnum.vtRecWideString.pwstrVal;
  if (!Text) return {};
  const std::size_t Limit = V->VarEnum.vtRecWideString.wstrLen;
  std::size_t Length = 0;
  while (Length < Limit && Text[Length] != 0) ++Length;
  return {Text, Length};
}

std::int32_t TruncateToInt32(double Value) {
  if (std::isnan(Value)) return 0;
  if (Value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (Value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(Value);  // truncation toward zero
}

}  // namespace

std::int32_t V8GetInt(const V8Variant* V) {
  if (!V) return 0;
  switch (V->Type()) {
    case VTYPE_I4: return V->VarEnum.lVal;
    case VTYPE_I2: return V->VarEnum.shortVal;
    case VTYPE_R4: return TruncateToInt32(V->VarEnum.fltVal);
    case VTYPE_R8: return TruncateToInt32(V->VarEnum.dblVal);
    case VTYPE_DATE: return TruncateToInt32(V->VarEnum.date);
    case VTYPE_ERROR: return V->VarEnum.errCode;
    case VTYPE_UI1: return V->VarEnum.ui8Val;
    case VTYPE_PWSTR: {
      std::int32_t Value = 0;
      return base::TryParseInt32(WideText(V), Value) ? Value : 0;
    }
    default: return 0;
  }
}

double V8GetDouble(const V8Variant* V) {
  if (!V) return 0;
  switch (V->Type()) {
    case VTYPE_R8: return V->VarEnum.dblVal;
    case VTYPE_I2: return V->VarEnum.shortVal;
    case VTYPE_I4: return V->VarEnum.lVal;
    case VTYPE_R4: return V->VarEnum.fltVal;
    case VTYPE_DATE: return V->VarEnum.date;
    case VTYPE_ERROR: return V->VarEnum.errCode;
    case VTYPE_UI1: return V->VarEnum.ui8Val;
    case VTYPE_PWSTR: {
      double Value = 0;
      return base::TryParseDouble(WideText(V), Value) ? Value : 0;
    }
    default: return 0;
  }
}

bool V8GetBool(const V8Variant* V) {
  if (!V) return false;
  if (V->Type() == VTYPE_BOOL) return V->VarEnum.bVal != 0;
  return V8GetInt(V) != 0;
}

std::string V8GetString(const V8Variant* V) {
  if (!V) return {};
  switch (V->Type()) {
    case VTYPE_PSTR: {
      const char* Text = V->VarEnum.vtRecString.pstrVal;
      if (!Text) return {};
      // The text ends at its length or at a zero byte before it.
      const std::size_t Limit = V->VarEnum.vtRecString.strLen;
      const void* Zero = std::memchr(Text, 0, Limit);
      return std::string(Text, Zero ? static_cast<const char*>(Zero) - Text : Limit);
    }
    case VTYPE_PWSTR: {
      const char16_t* Text = V->VarEnum.vtRecWideString.pwstrVal;
      if (!Text) return {};
      return platform::WideToAnsi(std::u16string_view(Text, V->VarEnum.vtRecWideString.wstrLen));
    }
    default: return {};
  }
}
