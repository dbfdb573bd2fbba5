// The add-in as tests see it: loaded once per test program through the host
// harness, with a fresh object, memory manager and connection per test. Every
// test ends by checking that host memory balances.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/harness/addin.h"

namespace testing_support {

using harness::CallResult;
using harness::HostValue;

// The add-in's file, the program's own (support/addin_path.cpp), and the
// library loaded from it once.
const char* AddinPath();
const harness::AddinLibrary& Library();

// The type of the texts the add-in hands to the host: wide strings on Linux,
// 8-bit strings in the system code page with the Windows layout.
inline constexpr std::uint32_t kHostTextType = v8abi::kWideTextsToHost ? VTYPE_PWSTR : VTYPE_PSTR;

inline HostValue S(const std::u16string& Text) { return HostValue::Str(Text); }
inline HostValue W(const std::u16string& Text) { return HostValue::WStr(Text); }
inline HostValue I(std::int32_t V) { return HostValue::I4(V); }
inline HostValue Out() { return HostValue::Empty(); }
std::u16string U(const std::string& Utf8);
std::string Utf8(const std::u16string& Text);

class AddinTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Calls a method of the test's object by name.
  CallResult Call(const std::u16string& Method, const std::vector<HostValue>& Args = {});
  harness::AddinObject& Object() { return *Object_; }

  harness::TrackingMemoryManager Memory;
  harness::RecordingConnection Connection;
  std::unique_ptr<harness::AddinObject> Object_;
};

}  // namespace testing_support
