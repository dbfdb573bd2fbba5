#include "support/addin_fixture.h"

namespace testing_support {

const harness::AddinLibrary& Library() {
  static harness::AddinLibrary Loaded(AddinPath());
  return Loaded;
}

std::u16string U(const std::string& Utf8) { return harness::FromUtf8(Utf8); }
std::string Utf8(const std::u16string& Text) { return harness::ToUtf8(Text); }

void AddinTest::SetUp() {
  Object_ = std::make_unique<harness::AddinObject>(Library(), Memory, Connection);
  ASSERT_TRUE(Object_->Valid());
}

void AddinTest::TearDown() {
  Object_.reset();
  EXPECT_TRUE(Memory.Balanced()) << Memory.Report();
  EXPECT_TRUE(Connection.Calls().empty()) << "the add-in called the host's connection object";
}

CallResult AddinTest::Call(const std::u16string& Method, const std::vector<HostValue>& Args) {
  return Object_->Call(Method, Args);
}

}  // namespace testing_support
