// The device test's message box seam: a box only where a person can see it,
// the text on standard error in every case, and no wait where nobody can
// close the box (Linux, a Windows service or server process).
#include <gtest/gtest.h>

#include <string>

#include "platform/message_box.h"

namespace {

using platform::MessageRoute;

constexpr char16_t kText[] = u"Timeout. Время ожидания истекло";
constexpr char kLine[] = "[KELVO-1F] Timeout. Время ожидания истекло\n";

TEST(MessageBox, WhereNobodyCanSeeItTheTextIsOnlyLogged) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::ShowMessageBox(kText, false), MessageRoute::Logged);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), kLine);
}

#if defined(_WIN32)
// Without a display (Wine here) the system's box returns at once.
TEST(MessageBox, InAVisibleSessionTheBoxIsShownAfterTheLogLine) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::ShowMessageBox(kText, true), MessageRoute::Shown);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), kLine);
}
#else
TEST(MessageBox, LinuxNeverShowsABox) {
  EXPECT_FALSE(platform::SessionIsVisible());
  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::ShowMessageBox(kText, true), MessageRoute::Logged);
  EXPECT_EQ(platform::ShowMessageBox(kText), MessageRoute::Logged);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(kLine) + kLine);
}
#endif

}  // namespace
