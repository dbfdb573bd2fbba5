#include "support/device_fixture.h"

#include "base/text_rules.h"
#include "support/base64.h"

namespace testing_support {

namespace json = driver::json;

std::string JsonQuote(const std::string& Text) {
  return json::Write(json::Value::StringUtf8(Text));
}

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
  const json::Value Log = json::ReadStrictObject(A.Body);
  const json::Value* Entries = json::Find(Log, "requests");
  if (!Entries) return List;
  for (const json::Value& E : Entries->Elements()) {
    ReceivedRequest R;
    R.Method = json::Find(E, "method")->Text();
    R.Path = json::Find(E, "path")->Text();
    R.Body = Base64Decode(json::Find(E, "bodyBase64")->Text());
    for (const json::Value& H : json::Find(E, "headers")->Elements())
      R.Headers.emplace_back(H.Elements()[0].Text(), H.Elements()[1].Text());
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
