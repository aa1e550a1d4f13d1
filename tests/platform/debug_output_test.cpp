// The debug output sink: a test sink sees every line whole, and the default
// comes back when it is removed.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/debug_output.h"

namespace {

TEST(DebugOutput, SinkReceivesWholeLinesFromEveryThread) {
  std::mutex mutex;
  std::vector<std::wstring> lines;
  platform::SetDebugSink([&](const std::wstring& line) {
    std::lock_guard<std::mutex> lock(mutex);
    lines.push_back(line);
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) platform::OutputDebugLine(L"thread " + std::to_wstring(t) + L" line\r\n");
    });
  }
  for (auto& thread : threads) thread.join();
  const platform::DebugSink previous = platform::SetDebugSink({});
  EXPECT_TRUE(static_cast<bool>(previous));

  ASSERT_EQ(lines.size(), 200u);
  for (const std::wstring& line : lines) {
    EXPECT_EQ(line.rfind(L"thread ", 0), 0u);
    EXPECT_EQ(line.substr(line.size() - 7), L" line\r\n");
  }
  platform::OutputDebugLine(L"after the sink is gone\r\n");  // goes to the default, not to `lines`
  EXPECT_EQ(lines.size(), 200u);
}

}  // namespace
