// The failure texts each transport gives in the situations the tests make,
// one source per transport (expected_failures_curl.cpp, _winhttp.cpp).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace transport_test {

enum class Situation {
  ClosedWithoutAnswer,  // the server took the request and closed
  ResetWithoutAnswer,   // ... and reset the connection
  AnswerCutShort,       // the connection ended inside an announced body
  HeadersCutShort,      // the connection ended (or was reset) inside the headers
  ReceiveTimedOut,      // nothing more arrived within the answer time-out
  SendTimedOut,         // the server took nothing of the request in time
  SendBroken,           // the connection broke while the request went out
  AnswerTooLarge,       // the body is over kMaxAnswerBytes
};

struct ExpectedFailure {
  // Any one of these. Whole texts, or (Whole false) the start of the text,
  // "Error ...: (N) ", with the system's text for N (or more) following.
  std::vector<std::string> Forms;
  bool Whole = true;
};

ExpectedFailure FailureIn(Situation S);

// Error is one of the forms the transport gives in S.
::testing::AssertionResult IsFailure(const std::string& Error, Situation S);

}  // namespace transport_test
