// The host value readers on value records of any content: every type code,
// unknown ones and flag bits above 0xFFF included. The input is a selector
// byte, one value record, and the bytes a string value points to: they are
// copied into a block of exactly their size, and the stated length never
// exceeds it, so reading past the stated length is an AddressSanitizer report.
// The record then goes through SetParameter and back out of GetParameter.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/host_call.h"

namespace {

// Blocks a string value points to; they live as long as the record is used.
struct Buffers {
  std::unique_ptr<char[]> Narrow;
  std::unique_ptr<char16_t[]> Wide;
};

V8Variant MakeValue(const std::uint8_t* Data, std::size_t Size, Buffers& Owned) {
  V8Variant V;
  std::memset(&V, 0, sizeof V);
  const std::size_t RecordBytes = Size < sizeof V ? Size : sizeof V;
  std::memcpy(&V, Data, RecordBytes);
  const std::uint8_t* Rest = Data + RecordBytes;
  const std::size_t RestSize = Size - RecordBytes;
  // The first byte of the record decides whether a pointer is null.
  const bool Null = RecordBytes == 0 || Data[0] == 0;
  switch (V.Type()) {
    case VTYPE_PSTR:
    case VTYPE_BLOB: {
      Owned.Narrow = std::make_unique<char[]>(RestSize);
      if (RestSize) std::memcpy(Owned.Narrow.get(), Rest, RestSize);
      V.VarEnum.vtRecString.pstrVal = Null ? nullptr : Owned.Narrow.get();
      V.VarEnum.vtRecString.strLen =
          Null ? V.VarEnum.vtRecString.strLen
               : static_cast<std::uint32_t>(V.VarEnum.vtRecString.strLen % (RestSize + 1));
      break;
    }
    case VTYPE_PWSTR: {
      const std::size_t Units = RestSize / sizeof(char16_t);
      Owned.Wide = std::make_unique<char16_t[]>(Units);
      if (Units) std::memcpy(Owned.Wide.get(), Rest, Units * sizeof(char16_t));
      V.VarEnum.vtRecWideString.pwstrVal = Null ? nullptr : Owned.Wide.get();
      V.VarEnum.vtRecWideString.wstrLen =
          Null ? V.VarEnum.vtRecWideString.wstrLen
               : static_cast<std::uint32_t>(V.VarEnum.vtRecWideString.wstrLen % (Units + 1));
      break;
    }
    // Pointers the readers must never follow; a host would give real objects.
    case VTYPE_INTERFACE: V.VarEnum.vtRecInterface.pInterfaceVal = nullptr; break;
    case VTYPE_VARIANT: V.VarEnum.pvarVal = nullptr; break;
    default: break;
  }
  return V;
}

void ReadDirectly(const V8Variant& V) {
  (void)V8GetInt(&V);
  (void)V8GetDouble(&V);
  (void)V8GetBool(&V);
  const std::string Text = V8GetString(&V);
  // An 8-bit text ends at its terminator and never passes its stated length;
  // a wide text is its first wstrLen units, whatever they hold.
  if (V.Type() == VTYPE_PSTR &&
      (Text.find('\0') != std::string::npos || Text.size() > V.VarEnum.vtRecString.strLen))
    fuzz::Fail("an 8-bit host text read past its terminator or its length", "");
  if (V.Type() == VTYPE_PWSTR && V.VarEnum.vtRecWideString.pwstrVal &&
      Text != platform::WideToAnsi(std::u16string_view(V.VarEnum.vtRecWideString.pwstrVal,
                                                       V.VarEnum.vtRecWideString.wstrLen)))
    fuzz::Fail("a wide host text is not its first wstrLen units", "");
  (void)platform::AnsiToWide(Text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  const std::uint8_t Selector = Data[0] % 3;
  Buffers Owned;
  V8Variant Value = MakeValue(Data + 1, Size - 1, Owned);
  ReadDirectly(Value);
  (void)V8GetInt(nullptr);
  (void)V8GetDouble(nullptr);
  (void)V8GetBool(nullptr);
  (void)V8GetString(nullptr);

  // 0: the value names the setting; 1: it is the address; 2: the model.
  static const char* const kNames[] = {"IpAddress", "IpAddress", "ModelNumber"};
  fuzz::HostCall Call;
  harness::ReleaseVariant(Call.Params[0], Call.Memory);
  if (Selector == 0) {
    Call.Params[0] = Value;
    Call.Int(1, 7);
  } else {
    Call.String(0, kNames[Selector]);
    Call.Params[1] = Value;
  }
  Call.Call(&TMyClass::SetParameter);
  // The record is the fuzzer's, not the host's: it is not released.
  std::memset(Selector == 0 ? &Call.Params[0] : &Call.Params[1], 0, sizeof Value);

  harness::ReleaseVariant(Call.Params[0], Call.Memory);
  Call.String(0, kNames[Selector]);
  Call.Call(&TMyClass::GetParameter);
  if (Selector == 1) {
    // A host reads a text up to its terminator, a zero inside a wide address
    // included; 8-bit or wide, it holds the characters the address was read as.
    const auto UpToZero = [](const std::u16string& Text) {
      return Text.substr(0, Text.find(u'\0'));
    };
    const harness::HostValue Kept = harness::FromVariant(Call.RetValue);
    if (UpToZero(Kept.Text) != UpToZero(platform::AnsiToWide(V8GetString(&Value))))
      fuzz::Fail("the address does not come back", Kept.Utf8());
  } else if (Selector == 2) {
    if (Call.RetValue.Type() != VTYPE_I4 || Call.RetValue.VarEnum.lVal != V8GetInt(&Value))
      fuzz::Fail("the model does not come back", "");
  }
  return 0;
}
