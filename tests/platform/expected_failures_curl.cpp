// libcurl's failures: its own error numbers and texts, and the socket's
// error where it reported one.
#include <cerrno>
#include <system_error>

#include "expected_failures.h"

namespace transport_test {
namespace {

std::string Numbered(const char* Prefix, long Number, const std::string& Text) {
  return std::string(Prefix) + "(" + std::to_string(Number) + ") " + Text;
}

constexpr char kReceive[] = "Error receiving data: ";
constexpr char kSend[] = "Error sending data: ";

}  // namespace

ExpectedFailure FailureIn(Situation S) {
  switch (S) {
    case Situation::ClosedWithoutAnswer:
      return {{Numbered(kReceive, 52, "Server returned nothing (no headers, no data)")}};
    case Situation::ResetWithoutAnswer:
      return {{Numbered(kReceive, ECONNRESET, std::generic_category().message(ECONNRESET))}};
    case Situation::AnswerCutShort: return {{Numbered(kReceive, 18, "Transferred a partial file")}};
    case Situation::HeadersCutShort:
      return {{Numbered(kReceive, 56, "Failure when receiving data from the peer"),
               Numbered(kReceive, ECONNRESET, std::generic_category().message(ECONNRESET))}};
    case Situation::ReceiveTimedOut: return {{Numbered(kReceive, 28, "Timeout was reached")}};
    case Situation::SendTimedOut: return {{Numbered(kSend, 28, "Timeout was reached")}};
    case Situation::SendBroken: return {{std::string(kSend) + "("}, false};
    case Situation::AnswerTooLarge: return {{Numbered(kReceive, 63, "answer larger than 16 MiB")}};
  }
  return {};
}

}  // namespace transport_test
