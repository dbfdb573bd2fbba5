#include "support/device_fixture.h"

#include <nlohmann/json.hpp>

#include "base/text_rules.h"
#include "support/base64.h"

namespace testing_support {

// The emulator's control texts are written and its request log is read with
// nlohmann/json, not with the driver's own JSON code: a fault of that code
// must not hide from the tests that look at what the driver sent.
using nlohmann::json;

std::string JsonQuote(const std::string& Text) { return json(Text).dump(); }

std::string ReceivedRequest::Header(const std::string& Name) const {
  for (const auto& [N, V] : Headers)
    if (base::EqualIgnoringCase(harness::FromUtf8(N), harness::FromUtf8(Name))) return V;
  return {};
}

bool ReceivedRequest::HasHeader(const std::string& Name) const {
  for (const auto& [N, V] : Headers)
    if (base::EqualIgnoringCase(harness::FromUtf8(N), harness::FromUtf8(Name))) return true;
  return false;
}

void DeviceTest::SetUp() {
  AddinTest::SetUp();
  Register().Reset();
}

void DeviceTest::Answer(const std::string& Path, const std::string& Body,
                        const std::string& ContentType, int Status, int Times) {
  Fault("{\"path\":" + JsonQuote(Path) + ",\"action\":\"answer\",\"status\":" +
        std::to_string(Status) + ",\"contentType\":" + JsonQuote(ContentType) + ",\"bodyBase64\":" +
        JsonQuote(Base64Encode(Body)) + ",\"times\":" + std::to_string(Times) + "}");
}

void DeviceTest::Fault(const std::string& ScriptJson) {
  const EmulatorAnswer A = Register().Post("/emulator/fault", ScriptJson);
  ASSERT_TRUE(A.Received && A.Status == 200) << A.Body;
}

std::vector<ReceivedRequest> DeviceTest::Requests(int Last) {
  const EmulatorAnswer A = Register().Get("/emulator/requests?last=" + std::to_string(Last));
  std::vector<ReceivedRequest> List;
  const json Log = json::parse(A.Body);
  const auto Entries = Log.find("requests");
  if (Entries == Log.end()) return List;
  for (const json& E : *Entries) {
    ReceivedRequest R;
    R.Method = E.at("method").get<std::string>();
    R.Path = E.at("path").get<std::string>();
    // The exact bytes: "body" holds only their UTF-8 reading.
    R.Body = Base64Decode(E.at("bodyBase64").get<std::string>());
    for (const json& H : E.at("headers"))
      R.Headers.emplace_back(H.at(0).get<std::string>(), H.at(1).get<std::string>());
    List.push_back(std::move(R));
  }
  return List;
}

ReceivedRequest DeviceTest::LastRequest() {
  std::vector<ReceivedRequest> List = Requests(1);
  return List.empty() ? ReceivedRequest{} : List.back();
}

std::string DeviceTest::Tape() { return Register().Get("/emulator/tape").Body; }

std::pair<std::int64_t, std::u16string> DeviceTest::LastError() {
  const CallResult R = Call(u"GetLastError", {Out()});
  return {R.Ret.Int, R.Params[0].Text};
}

}  // namespace testing_support
