#include "platform/transport_failure.h"

namespace platform {
namespace {

const char* Prefix(TransportStage Stage) {
  switch (Stage) {
    case TransportStage::Connecting: return "Error connecting to server: ";
    case TransportStage::Sending: return "Error sending data: ";
    case TransportStage::Receiving: return "Error receiving data: ";
  }
  return "";
}

HttpResponse Failure(std::string Text) {
  HttpResponse R;
  R.Error = std::move(Text);
  return R;
}

}  // namespace

HttpResponse ConnectFailure(const std::string& Detail) {
  return Failure(Prefix(TransportStage::Connecting) + Detail);
}

HttpResponse NumberedFailure(TransportStage Stage, long Number, const std::string& Detail) {
  return Failure(Prefix(Stage) + ("(" + std::to_string(Number) + ") ") + Detail);
}

}  // namespace platform
