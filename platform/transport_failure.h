// The texts of a failed exchange, the same on every transport: the stage it
// broke in, then the system's or the library's own account of it.
#pragma once

#include <string>

#include "platform/http_transport.h"

namespace platform {

enum class TransportStage { Connecting, Sending, Receiving };

// "Error connecting to server: <Detail>".
HttpResponse ConnectFailure(const std::string& Detail);
// "Error sending data: (<Number>) <Detail>", "Error receiving data: ...".
HttpResponse NumberedFailure(TransportStage Stage, long Number, const std::string& Detail);

}  // namespace platform
