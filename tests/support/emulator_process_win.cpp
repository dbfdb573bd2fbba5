// The Windows part of the test support. The emulator is a native Linux
// program that a Windows test program under Wine cannot start: its CTest
// fixture starts it and passes the address in KELVO_EMULATOR_ADDRESS.
#include <stdexcept>
#include <string>

#include "support/emulator_process.h"

namespace testing_support {

void EmulatorProcess::Launch() {
  throw std::runtime_error(
      "KELVO_EMULATOR_ADDRESS is not set: start kelvo-emulator and give its address there");
}

void EmulatorProcess::Stop() {}

}  // namespace testing_support
