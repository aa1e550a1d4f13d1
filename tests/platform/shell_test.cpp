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

TEST(Shell, OpensAProgramWithParametersDetached) {
  platform_test::ScratchFolder folder;
  const std::wstring marker = folder.File(L"opened.txt");
  ASSERT_TRUE(platform::ShellOpen(platform_test::ChildPath(), L"touch \"" + marker + L"\"", folder.path(),
                                  platform::ShowMode::kHidden));
  // The program runs on its own; give it a bounded while to leave its mark.
  for (int i = 0; i < 300 && !platform::FileExists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(platform::FileExists(marker));
}

TEST(MessagePump, ReturnsWhenItsTimeIsUpEvenWithoutMessages) {
  EXPECT_TRUE(platform::PumpMessagesFor(nullptr, 30));
}

}  // namespace
