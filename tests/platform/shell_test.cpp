// Shell opening and the message pump.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/message_pump.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/test_support.h"

namespace {

bool AppearsWithin30Seconds(const std::wstring& path) {
  for (int i = 0; i < 300 && !platform::FileExists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return platform::FileExists(path);
}

TEST(Shell, OpensAProgramWithParametersDetached) {
  platform_test::ScratchFolder folder;
  const std::wstring marker = folder.File(L"opened.txt");
  ASSERT_TRUE(platform::ShellOpen(platform_test::ChildPath(), L"touch \"" + marker + L"\"", folder.path(),
                                  platform::ShowMode::kHidden));
  // The program runs on its own; give it a bounded while to leave its mark.
  EXPECT_TRUE(AppearsWithin30Seconds(marker));
}

// Through the desktop shell where one answers, else in this process: the
// program starts either way, and the caller learns which way it went.
TEST(Shell, OpensAsTheDesktopUserOrFallsBackToItself) {
  platform_test::ScratchFolder folder;
  const std::wstring marker = folder.File(L"opened as user.txt");
  bool viaDesktopShell = true;
  ASSERT_TRUE(platform::ShellOpenAsDesktopUser(platform_test::ChildPath(), L"touch \"" + marker + L"\"",
                                               folder.path(), platform::ShowMode::kHidden, &viaDesktopShell));
  EXPECT_TRUE(AppearsWithin30Seconds(marker)) << "via the desktop shell: " << viaDesktopShell;
}

TEST(MessagePump, ReturnsWhenItsTimeIsUpEvenWithoutMessages) {
  EXPECT_TRUE(platform::PumpMessagesFor(nullptr, 30));
}

}  // namespace
