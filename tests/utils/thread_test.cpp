#include "utils/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "platform/process.h"
#include "utils/log_capture.h"

namespace {

struct Work {
  std::atomic<int> runs{0};
  std::atomic<std::uint32_t> seenThreadId{0};
  std::string seenName;
};

void DoWork(void* argument) {
  Work* work = static_cast<Work*>(argument);
  work->seenThreadId = platform::CurrentThreadId();
  // Where the system shows thread names as files (Linux), read ours back.
  std::ifstream comm("/proc/self/task/" + std::to_string(work->seenThreadId.load()) + "/comm");
  std::getline(comm, work->seenName);
  ++work->runs;
}

TEST(ThreadTest, RunsOnceWithItsArgumentAndLogsBeginAndEndWithItsId) {
  tw_test::LogCapture capture;
  Work work;
  std::uint32_t id = 0;
  {
    Utils::Thread thread;
    thread.Start(&work, L"ABDEF", DoWork);
    ASSERT_TRUE(thread.HasHandle());
    id = thread.Id();
    thread.Resume();
    thread.Join();
    EXPECT_FALSE(thread.HasHandle());
    EXPECT_EQ(thread.Id(), Utils::Thread::kJoinedId);
  }
  EXPECT_EQ(work.runs, 1);
  EXPECT_EQ(work.seenThreadId, id);
  if (!work.seenName.empty()) {
    EXPECT_EQ(work.seenName, "ABDEF");
  }

  std::vector<std::wstring> begin = capture.WithMessage(L"THREAD BEGIN\r\n");
  std::vector<std::wstring> end = capture.WithMessage(L"THREAD END\r\n");
  ASSERT_EQ(begin.size(), 1u);
  ASSERT_EQ(end.size(), 1u);
  for (const std::wstring& line : {begin[0], end[0]}) {
    EXPECT_NE(line.find(tw_test::ThreadField(id)), std::wstring::npos) << line;
    EXPECT_NE(line.find(L"(Utils::Thread::CallBack)<"), std::wstring::npos) << line;
  }
}

TEST(ThreadTest, EmptyNameBecomesTPlusId) {
  Work work;
  Utils::Thread thread;
  thread.Start(&work, L"", DoWork);
  std::uint32_t id = thread.Id();
  thread.Resume();
  thread.Join();
  ASSERT_EQ(work.runs, 1);
  if (!work.seenName.empty()) {
    EXPECT_EQ(work.seenName, "t" + std::to_string(id));
  }
}

TEST(ThreadTest, DestroyingAThreadThatWasNeverResumedRunsItAndReturns) {
  Work work;
  {
    Utils::Thread thread;
    thread.Start(&work, L"ABDEF", DoWork);
    ASSERT_TRUE(thread.HasHandle());
  }
  EXPECT_EQ(work.runs, 1);
}

TEST(ThreadTest, JoinWithoutThreadAndRestartAfterJoin) {
  Work work;
  Utils::Thread thread;
  thread.Join();  // nothing started: no effect
  EXPECT_FALSE(thread.HasHandle());
  EXPECT_EQ(thread.Id(), 0u);
  for (int round = 0; round < 3; ++round) {
    thread.Start(&work, L"ABDEF", DoWork);
    thread.Resume();
    thread.Resume();  // a second resume is harmless
    thread.Join();
    thread.Join();
  }
  EXPECT_EQ(work.runs, 3);
}

}  // namespace
