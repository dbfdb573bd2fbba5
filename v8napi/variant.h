// The host's tagged value record and its type codes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "v8napi/abi.h"

enum V8TypeCode : std::uint32_t {
  VTYPE_EMPTY = 0,
  VTYPE_NULL = 1,
  VTYPE_I2 = 2,
  VTYPE_I4 = 3,
  VTYPE_R4 = 4,
  VTYPE_R8 = 5,
  VTYPE_DATE = 6,
  VTYPE_TM = 7,
  VTYPE_PSTR = 8,
  VTYPE_INTERFACE = 9,
  VTYPE_ERROR = 10,
  VTYPE_BOOL = 11,
  VTYPE_VARIANT = 12,
  VTYPE_I1 = 13,
  VTYPE_UI1 = 14,
  VTYPE_UI2 = 15,
  VTYPE_UI4 = 16,
  VTYPE_I8 = 17,
  VTYPE_UI8 = 18,
  VTYPE_INT = 19,
  VTYPE_UINT = 20,
  VTYPE_HRESULT = 21,
  VTYPE_PWSTR = 22,
  VTYPE_BLOB = 23,
  VTYPE_CLSID = 24,
};

inline constexpr std::uint32_t VTYPE_TYPEMASK = 0xFFF;

struct TV8StringVarRec {
  char* pstrVal;
  std::uint32_t strLen;
};

struct TV8WideStringVarRec {
  v8abi::WChar* pwstrVal;
  std::uint32_t wstrLen;
};

struct TV8Guid {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

struct TV8InterfaceVarRec {
  void* pInterfaceVal;
  TV8Guid InterfaceID;
};

struct TV8tm {
  std::int32_t tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year, tm_wday, tm_yday, tm_isdst;
};

union TVarEnum {
  std::int8_t i8Val;
  std::int16_t shortVal;
  std::int32_t lVal;
  std::int32_t intVal;
  std::uint32_t uintVal;
  std::int64_t llVal;
  std::uint8_t ui8Val;
  std::uint16_t ushortVal;
  std::uint32_t ulVal;
  std::uint64_t ullVal;
  std::int32_t errCode;
  std::int32_t hRes;
  float fltVal;
  double dblVal;
  double date;
  std::uint8_t bVal;
  char chVal;
  v8abi::WChar wchVal;
  TV8Guid IDVal;
  void* pvarVal;
  TV8tm tmVal;
  TV8StringVarRec vtRecString;
  TV8WideStringVarRec vtRecWideString;
  TV8InterfaceVarRec vtRecInterface;
  unsigned char raw[v8abi::kValueUnionBytes];
};

struct V8Variant {
  TVarEnum VarEnum;
  std::uint32_t cbElements;
  // The host declares a 16-bit code followed by padding; the whole 32-bit word
  // is written (upper bits zero) and readers mask it with VTYPE_TYPEMASK.
  std::uint32_t vt;

  std::uint32_t Type() const { return vt & VTYPE_TYPEMASK; }
};

static_assert(sizeof(TVarEnum) == v8abi::kValueUnionBytes);
static_assert(sizeof(V8Variant) == v8abi::kValueSize);
static_assert(offsetof(V8Variant, cbElements) == v8abi::kValueCbElementsOffset);
static_assert(offsetof(V8Variant, vt) == v8abi::kValueTypeOffset);
static_assert(offsetof(TV8StringVarRec, strLen) == sizeof(void*));
static_assert(offsetof(TV8WideStringVarRec, wstrLen) == sizeof(void*));

// The parameter array of a call: up to 255 values, read at position k for
// parameter k + 1.
using TV8ParamArray = V8Variant[v8abi::kParamArrayLength];
