#include "utils/child_process.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "utils/exception.h"

namespace {

// tw-test-child sits next to this test program.
class ChildProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring path = platform::JoinPath(platform::RemoveFileSpec(platform::ModulePath()), L"tw-test-child");
    if (!platform::FileExists(path) && !platform::FileExists(path + L".exe")) {
      GTEST_SKIP() << "tw-test-child is not built";
    }
    program_ = L"\"" + path + L"\"";
  }

  static std::string ReadAll(platform::Handle readEnd) {
    std::string all;
    char buffer[512];
    long got;
    while ((got = platform::ReadPipe(readEnd, buffer, sizeof buffer)) > 0) all.append(buffer, got);
    EXPECT_EQ(got, 0) << "the read ends with the end of data, not an error";
    return all;
  }

  static std::uint32_t WaitForExit(const Utils::ChildProcess& child) {
    EXPECT_TRUE(platform::WaitForProcess(child.ProcessHandle(), platform::kWaitForever));
    std::uint32_t code = platform::kStillActive;
    EXPECT_TRUE(platform::GetProcessExitCode(child.ProcessHandle(), &code));
    return code;
  }

  std::wstring program_;
};

// Line ends differ between the runtimes; compare without them.
std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out.push_back(c);
  }
  return out;
}

TEST_F(ChildProcessTest, OutputAndErrorReachTheParentAndEndWithTheChild) {
  Utils::ChildProcess child;
  child.CreatePipes();
  child.Start(program_ + L" stdout hello stderr oops stdout \"two words\" exit 3");
  EXPECT_TRUE(platform::IsValid(child.ProcessHandle()));
  EXPECT_EQ(WithoutCarriageReturns(ReadAll(child.OutputReadEnd())), "hello\ntwo words\n");
  EXPECT_EQ(WithoutCarriageReturns(ReadAll(child.ErrorReadEnd())), "oops\n");
  EXPECT_EQ(WaitForExit(child), 3u);
  child.Close();
  EXPECT_FALSE(platform::IsValid(child.ProcessHandle()));
  EXPECT_FALSE(platform::IsValid(child.OutputReadEnd()));
}

TEST_F(ChildProcessTest, InputReachesTheChild) {
  Utils::ChildProcess child;
  child.CreatePipes();
  child.Start(program_ + L" stdin-echo");
  const char text[] = "State=1\n";
  ASSERT_TRUE(platform::WritePipe(child.InputWriteEnd(), text, sizeof text - 1));
  child.CloseInputWriteEnd();
  EXPECT_EQ(WithoutCarriageReturns(ReadAll(child.OutputReadEnd())), "State=1\n");
  EXPECT_EQ(WaitForExit(child), 0u);
}

TEST_F(ChildProcessTest, CommandLineOf1023CharactersStartsAnd1024Throws) {
  std::wstring prefix = program_ + L" stdout ";
  ASSERT_LT(prefix.size(), 1000u);
  std::wstring fill(1023 - prefix.size(), L'x');
  {
    Utils::ChildProcess child;
    child.CreatePipes();
    child.Start(prefix + fill);
    EXPECT_EQ(WithoutCarriageReturns(ReadAll(child.OutputReadEnd())),
              std::string(fill.begin(), fill.end()) + "\n");
    EXPECT_EQ(WaitForExit(child), 0u);
  }
  {
    Utils::ChildProcess child;
    child.CreatePipes();
    EXPECT_THROW(child.Start(prefix + fill + L"x"), Utils::Exception);
    EXPECT_FALSE(platform::IsValid(child.ProcessHandle()));
  }
}

TEST_F(ChildProcessTest, MissingProgramThrows) {
  Utils::ChildProcess child;
  child.CreatePipes();
  std::wstring missing = platform::JoinPath(platform::TempPath(), L"tw-no-such-program-4711");
  EXPECT_THROW(child.Start(L"\"" + missing + L"\" /S"), Utils::Exception);
  EXPECT_FALSE(platform::IsValid(child.ProcessHandle()));
}

TEST(ExceptionTest, CarriesItsMessageAsNarrowText) {
  EXPECT_STREQ(Utils::Exception().what(), "");
  EXPECT_STREQ(Utils::Exception(L"pipe failed").what(), "pipe failed");
}

}  // namespace
