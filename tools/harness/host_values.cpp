#include "tools/harness/host_values.h"

#include <cstring>
#include <sstream>

#include "base/utf.h"
#include "tools/harness/host_code_page.h"

namespace harness {

std::string ToUtf8(const std::u16string& Text) { return base::Utf16ToUtf8(Text); }
std::u16string FromUtf8(const std::string& Text) { return base::Utf8ToUtf16(Text); }

HostValue HostValue::Str(const std::u16string& Text) { return StrBytes(ToHostCodePage(Text)); }

HostValue HostValue::StrBytes(std::string Bytes) {
  HostValue V;
  V.Type = VTYPE_PSTR;
  V.Text = FromHostCodePage(Bytes);
  V.Bytes = std::move(Bytes);
  return V;
}

HostValue HostValue::WStr(const std::u16string& Text) {
  HostValue V;
  V.Type = VTYPE_PWSTR;
  V.Text = Text;
  return V;
}

HostValue HostValue::I4(std::int32_t Value) { return OfType(VTYPE_I4, Value); }

HostValue HostValue::OfType(std::uint32_t Type, std::int64_t Int) {
  HostValue V;
  V.Type = Type;
  V.Int = Int;
  return V;
}

HostValue HostValue::R8(double Value) {
  HostValue V;
  V.Type = VTYPE_R8;
  V.Number = Value;
  return V;
}

HostValue HostValue::Boolean(bool Value) {
  HostValue V;
  V.Type = VTYPE_BOOL;
  V.Bool = Value;
  return V;
}

HostValue HostValue::Date(double Days) {
  HostValue V;
  V.Type = VTYPE_DATE;
  V.Number = Days;
  return V;
}

std::string HostValue::Utf8() const { return ToUtf8(Text); }

std::string HostValue::Describe() const {
  std::ostringstream Out;
  switch (Type) {
    case VTYPE_EMPTY: return "empty";
    case VTYPE_PSTR: Out << "string \"" << Utf8() << "\""; break;
    case VTYPE_PWSTR: Out << "wstring \"" << Utf8() << "\""; break;
    case VTYPE_BOOL: Out << "bool " << (Bool ? "true" : "false"); break;
    case VTYPE_R4:
    case VTYPE_R8: Out << "number " << Number; break;
    case VTYPE_DATE: Out << "date " << Number; break;
    case VTYPE_BLOB: Out << "blob of " << Bytes.size() << " bytes"; break;
    case VTYPE_I4: Out << "int " << Int; break;
    default: Out << "type " << Type << " value " << Int; break;
  }
  return Out.str();
}

void ToVariant(const HostValue& Value, V8Variant& V, TrackingMemoryManager& Memory) {
  std::memset(&V, 0, sizeof V);
  V.vt = Value.Type;
  switch (Value.Type) {
    case VTYPE_I2: V.VarEnum.shortVal = static_cast<std::int16_t>(Value.Int); break;
    case VTYPE_I4:
    case VTYPE_ERROR: V.VarEnum.lVal = static_cast<std::int32_t>(Value.Int); break;
    case VTYPE_UI1: V.VarEnum.ui8Val = static_cast<std::uint8_t>(Value.Int); break;
    case VTYPE_UI4:
    case VTYPE_UINT: V.VarEnum.ulVal = static_cast<std::uint32_t>(Value.Int); break;
    case VTYPE_R4: V.VarEnum.fltVal = static_cast<float>(Value.Number); break;
    case VTYPE_R8: V.VarEnum.dblVal = Value.Number; break;
    case VTYPE_DATE: V.VarEnum.date = Value.Number; break;
    case VTYPE_BOOL: V.VarEnum.bVal = Value.Bool ? 1 : 0; break;
    case VTYPE_PSTR:
    case VTYPE_BLOB: {
      const bool Terminated = Value.Type == VTYPE_PSTR;
      auto* Block = static_cast<char*>(Memory.Allocate(Value.Bytes.size() + (Terminated ? 1 : 0)));
      if (Block) {
        std::memcpy(Block, Value.Bytes.data(), Value.Bytes.size());
        if (Terminated) Block[Value.Bytes.size()] = 0;
      }
      V.VarEnum.vtRecString.pstrVal = Block;
      V.VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(Value.Bytes.size());
      break;
    }
    case VTYPE_PWSTR: {
      auto* Block = static_cast<char16_t*>(Memory.Allocate((Value.Text.size() + 1) * 2));
      if (Block) std::memcpy(Block, Value.Text.c_str(), (Value.Text.size() + 1) * 2);
      V.VarEnum.vtRecWideString.pwstrVal = Block;
      V.VarEnum.vtRecWideString.wstrLen = static_cast<std::uint32_t>(Value.Text.size());
      break;
    }
    default: V.VarEnum.llVal = Value.Int; break;
  }
}

HostValue FromVariant(const V8Variant& V) {
  HostValue Value;
  Value.Type = V.Type();
  switch (Value.Type) {
    case VTYPE_I2: Value.Int = V.VarEnum.shortVal; break;
    case VTYPE_I4:
    case VTYPE_ERROR: Value.Int = V.VarEnum.lVal; break;
    case VTYPE_UI1: Value.Int = V.VarEnum.ui8Val; break;
    case VTYPE_UI4:
    case VTYPE_UINT: Value.Int = V.VarEnum.ulVal; break;
    case VTYPE_R4: Value.Number = V.VarEnum.fltVal; break;
    case VTYPE_R8: Value.Number = V.VarEnum.dblVal; break;
    case VTYPE_DATE: Value.Number = V.VarEnum.date; break;
    case VTYPE_BOOL: Value.Bool = V.VarEnum.bVal != 0; break;
    case VTYPE_PSTR:
    case VTYPE_BLOB:
      if (V.VarEnum.vtRecString.pstrVal)
        Value.Bytes.assign(V.VarEnum.vtRecString.pstrVal, V.VarEnum.vtRecString.strLen);
      if (Value.Type == VTYPE_PSTR) Value.Text = FromHostCodePage(Value.Bytes);
      break;
    case VTYPE_PWSTR:
      if (V.VarEnum.vtRecWideString.pwstrVal)
        Value.Text.assign(V.VarEnum.vtRecWideString.pwstrVal, V.VarEnum.vtRecWideString.wstrLen);
      break;
    default: Value.Int = V.VarEnum.llVal; break;
  }
  return Value;
}

void ReleaseVariant(V8Variant& V, TrackingMemoryManager& Memory) {
  switch (V.Type()) {
    case VTYPE_PSTR:
    case VTYPE_BLOB:
      if (V.VarEnum.vtRecString.pstrVal) Memory.Free(V.VarEnum.vtRecString.pstrVal);
      break;
    case VTYPE_PWSTR:
      if (V.VarEnum.vtRecWideString.pwstrVal) Memory.Free(V.VarEnum.vtRecWideString.pwstrVal);
      break;
    default: break;
  }
  std::memset(&V, 0, sizeof V);
}

}  // namespace harness
