#include "driver/device_timeouts.h"

#ifndef KELVO_DEVICE_TIMEOUT_MS
#define KELVO_DEVICE_TIMEOUT_MS 60000
#endif

namespace driver {

platform::HttpTimeouts DeviceTimeouts() {
  // 60 seconds to connect and 60 seconds for an answer that stands still.
  const std::chrono::milliseconds Limit{KELVO_DEVICE_TIMEOUT_MS};
  return {Limit, Limit};
}

}  // namespace driver
