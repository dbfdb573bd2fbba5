// GetFromApi and PostToApi: one HTTP exchange with the register's device API
// each, over the platform's transport.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/utf.h"
#include "driver/device_address.h"
#include "driver/device_timeouts.h"
#include "driver/my_class.h"
#include "platform/charset.h"
#include "platform/http_transport.h"

namespace json = driver::json;

namespace {

constexpr char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/87.0.4280.66 Safari/537.36";

// What one exchange came to: the answer text (decoded by its charset), or why
// there was none.
struct Exchange {
  bool Received = false;
  std::string AnswerUtf8;
  std::u16string Failure;
};

Exchange Send(const std::u16string& Address, std::string_view Path, std::string* Body) {
  Exchange Result;
  const std::optional<std::string> Host = driver::DeviceAddressForUrl(Address);
  if (!Host) {
    Result.Failure = u"Error connecting to server: unusable device address \"" + Address + u"\"";
    return Result;
  }
  platform::HttpRequest Request;
  Request.Url = "http://" + *Host + std::string(Path);
  Request.Headers = {{"Content-Type", "application/json"}, {"User-Agent", kUserAgent}};
  if (Body) {
    Request.Post = true;
    Request.Headers.push_back({"Accept-Encoding", "UTF-8"});
    Request.Body = std::move(*Body);
  }
  const platform::HttpResponse Response =
      platform::HttpTransport(driver::DeviceTimeouts()).Send(Request);
  if (!Response.Received) {
    Result.Failure = base::Utf8ToUtf16(Response.Error);
    return Result;
  }
  Result.Received = true;
  Result.AnswerUtf8 = platform::DecodeBodyUtf8(Response.Body, Response.ContentType);
  return Result;
}

}  // namespace

driver::DeviceReply TMyClass::GetFromApi(std::string_view Path) {
  const Exchange E = Send(IpAddress, Path, nullptr);
  if (!E.Received) {
    Error.Set(driver::DriverError::NoAnswerToGet);
    return {};
  }
  Error.ClearCode();
  return {true, json::ReadLenientObject(E.AnswerUtf8)};
}

driver::DeviceReply TMyClass::PostToApi(std::string_view Path, std::string JsonData) {
  const Exchange E = Send(IpAddress, Path, &JsonData);
  if (!E.Received) {
    Error.KeepTransportFailure(E.Failure);
    return {};
  }
  Error.ClearCode();
  return {true, json::ReadStrictObject(E.AnswerUtf8)};
}
