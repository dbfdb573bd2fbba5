#include "support/emulator_process.h"

#include <cstdlib>
#include <stdexcept>

#include "base/utf.h"
#include "platform/http_transport.h"
#include "support/sockets.h"

namespace testing_support {

EmulatorProcess& EmulatorProcess::Instance() {
  static EmulatorProcess Process;
  return Process;
}

EmulatorProcess::EmulatorProcess() {
  const char* Given = std::getenv("KELVO_EMULATOR_ADDRESS");
  if (Given && *Given)
    Address_ = Given;
  else
    Launch();
}

EmulatorProcess::~EmulatorProcess() { Stop(); }

std::u16string EmulatorProcess::Address16() const { return base::Utf8ToUtf16(Address_); }

namespace {
EmulatorAnswer Send(const std::string& Address, const std::string& Path, const std::string* Body) {
  platform::HttpRequest Request;
  Request.Post = Body != nullptr;
  Request.Url = "http://" + Address + Path;
  if (Body) {
    Request.Headers.push_back({"Content-Type", "application/json"});
    Request.Body = *Body;
  }
  const platform::HttpResponse Response = platform::HttpTransport().Send(Request);
  return {Response.Received, Response.Status, Response.Body};
}
}  // namespace

EmulatorAnswer EmulatorProcess::Get(const std::string& Path) const {
  return Send(Address_, Path, nullptr);
}
EmulatorAnswer EmulatorProcess::Post(const std::string& Path, const std::string& Json) const {
  return Send(Address_, Path, &Json);
}

void EmulatorProcess::Reset() const {
  // The start state, no faults, an empty request log.
  const EmulatorAnswer A = Post("/emulator/reset", "{}");
  if (!A.Received || A.Status != 200) throw std::runtime_error("emulator reset failed: " + A.Body);
}

std::string ClosedLoopbackAddress() {
  namespace sockets = transport_test::sockets;
  // Bind a port, then let it go: nothing listens there afterwards.
  std::string Host;
  unsigned Port = 0;
  const sockets::Handle S = sockets::Bind(transport_test::Family::V4, false, Host, Port);
  if (S == sockets::kNone) throw std::runtime_error("no free loopback port");
  sockets::Close(S);
  return Host + ":" + std::to_string(Port);
}

}  // namespace testing_support
