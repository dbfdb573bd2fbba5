// How long the driver waits for the register. The host cannot change it; a
// build for the fault tests shortens it (KELVO_DEVICE_TIMEOUT_MS).
#pragma once

#include "platform/http_transport.h"

namespace driver {

platform::HttpTimeouts DeviceTimeouts();

}  // namespace driver
