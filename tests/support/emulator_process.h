// The register emulator as a separate native process on loopback, so that
// the same tests run in every build of the add-in (an i386 test program and a
// Windows one under Wine included). Where KELVO_EMULATOR_ADDRESS is set
// ("127.0.0.1:PORT") the tests use the emulator running there (the Windows
// tests: their CTest fixture starts the native emulator); otherwise the test
// program starts one of its own, once. Tests script it over its own control
// endpoints.
#pragma once

#include <string>

namespace testing_support {

struct EmulatorAnswer {
  bool Received = false;
  long Status = 0;
  std::string Body;
};

class EmulatorProcess {
 public:
  // The shared instance; started on first use.
  static EmulatorProcess& Instance();

  // "127.0.0.1:PORT", the address the driver is given.
  const std::string& Address() const { return Address_; }
  std::u16string Address16() const;

  // Plain HTTP to the emulator's own endpoints (outside the device API).
  EmulatorAnswer Get(const std::string& Path) const;
  EmulatorAnswer Post(const std::string& Path, const std::string& Json) const;

  // Back to the start state with no faults scripted and no requests logged.
  void Reset() const;

  ~EmulatorProcess();

 private:
  EmulatorProcess();
  // Starts the test program's own emulator and sets Address_; stops it.
  // One implementation per OS (emulator_process_posix.cpp, _win.cpp).
  void Launch();
  void Stop();
  int Pid_ = -1;
  int StdinPipe_ = -1;
  std::string Address_;
};

// "127.0.0.1:PORT" of a loopback port with nothing listening on it.
std::string ClosedLoopbackAddress();

}  // namespace testing_support
