// WinHTTP's failures: the system's error numbers, followed by the system's
// text for them (not checked here). Wine's WinHTTP passes some errors of the
// socket layer through where Windows gives its own number, so both count.
#include "expected_failures.h"

namespace transport_test {
namespace {

std::string Numbered(const char* Prefix, long Number) {
  return std::string(Prefix) + "(" + std::to_string(Number) + ") ";
}

constexpr char kReceive[] = "Error receiving data: ";
constexpr char kSend[] = "Error sending data: ";
constexpr long kTimeout = 12002;           // ERROR_WINHTTP_TIMEOUT
constexpr long kConnectionError = 12030;   // ERROR_WINHTTP_CONNECTION_ERROR
constexpr long kInvalidResponse = 12152;   // ERROR_WINHTTP_INVALID_SERVER_RESPONSE
constexpr long kResponseTooLarge = 12184;  // ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW
constexpr long kSocketReset = 10054;       // WSAECONNRESET
constexpr long kSocketTimeout = 10060;     // WSAETIMEDOUT

}  // namespace

ExpectedFailure FailureIn(Situation S) {
  switch (S) {
    case Situation::ClosedWithoutAnswer: return {{Numbered(kReceive, kInvalidResponse)}, false};
    case Situation::ResetWithoutAnswer:
      return {{Numbered(kReceive, kConnectionError), Numbered(kReceive, kSocketReset)}, false};
    case Situation::AnswerCutShort: return {{Numbered(kReceive, kConnectionError)}, false};
    case Situation::HeadersCutShort:
      return {{Numbered(kReceive, kInvalidResponse), Numbered(kReceive, kConnectionError),
               Numbered(kReceive, kSocketReset)},
              false};
    case Situation::ReceiveTimedOut:
      return {{Numbered(kReceive, kTimeout), Numbered(kReceive, kSocketTimeout)}, false};
    case Situation::SendTimedOut:
      return {{Numbered(kSend, kTimeout), Numbered(kSend, kSocketTimeout)}, false};
    case Situation::SendBroken: return {{std::string(kSend) + "("}, false};
    case Situation::AnswerTooLarge:
      return {{Numbered(kReceive, kResponseTooLarge) + "answer larger than 16 MiB"}};
  }
  return {};
}

}  // namespace transport_test
