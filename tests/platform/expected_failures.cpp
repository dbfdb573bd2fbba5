#include "expected_failures.h"

namespace transport_test {

::testing::AssertionResult IsFailure(const std::string& Error, Situation S) {
  const ExpectedFailure Expected = FailureIn(S);
  for (const std::string& Form : Expected.Forms) {
    if (Expected.Whole ? Error == Form
                       : Error.size() > Form.size() && Error.compare(0, Form.size(), Form) == 0)
      return ::testing::AssertionSuccess();
  }
  auto Failure = ::testing::AssertionFailure() << "\"" << Error << "\" is none of";
  for (const std::string& Form : Expected.Forms)
    Failure << " \"" << Form << (Expected.Whole ? "\"" : "...\"");
  return Failure;
}

}  // namespace transport_test
