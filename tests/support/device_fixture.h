// A driver object talking to the emulated register on loopback. Each test
// starts from the register's start state with no faults scripted.
#pragma once

#include <string>
#include <vector>

#include "support/addin_fixture.h"
#include "support/emulator_process.h"

namespace testing_support {

// A request as the register received it.
struct ReceivedRequest {
  std::string Method, Path, Body;
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Header(const std::string& Name) const;  // "" when absent
  bool HasHeader(const std::string& Name) const;
};

class DeviceTest : public AddinTest {
 protected:
  void SetUp() override;

  EmulatorProcess& Register() { return EmulatorProcess::Instance(); }
  // The device identifier every device method gets as parameter 1.
  HostValue Device() { return S(Register().Address16()); }

  // The register answers requests to Path with exactly this (Times: how
  // many; 0 for every one until the test ends).
  void Answer(const std::string& Path, const std::string& Body,
              const std::string& ContentType = "application/json", int Status = 200, int Times = 0);
  // Any other fault script (the emulator's fault JSON).
  void Fault(const std::string& ScriptJson);
  // The last N requests the register received, oldest first.
  std::vector<ReceivedRequest> Requests(int Last = 100);
  ReceivedRequest LastRequest();
  std::string Tape();

  // GetLastError: the code and the text.
  std::pair<std::int64_t, std::u16string> LastError();
};

std::string JsonQuote(const std::string& Text);

}  // namespace testing_support
