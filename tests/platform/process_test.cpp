// Real child processes: pipes, exit codes, long command lines, the process
// snapshot.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/test_support.h"

namespace {

using platform_test::ChildCommandLine;
using platform_test::RunChild;

TEST(ChildProcess, OutputAndErrorArriveThroughPipesUntilTheEnd) {
  const auto run = RunChild(ChildCommandLine(L"stdout hello stderr oops stdout \"two words\""));
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, "hello\ntwo words\n");
  EXPECT_EQ(run.error, "oops\n");
  EXPECT_EQ(run.exitCode, 0u);
}

TEST(ChildProcess, InputPipeReachesTheChild) {
  const std::string input(100000, 'x');  // more than one pipe buffer
  const auto run = RunChild(ChildCommandLine(L"stdin-echo"), input);
  ASSERT_TRUE(run.started);
  EXPECT_EQ(run.output, input);
}

// An inheritable handle of the parent that is not one of the child's
// standard handles stays out of the child: the package run by the elevated
// installer gets its pipe ends and nothing else.
TEST(ChildProcess, InheritsOnlyItsStandardHandles) {
  // Non-inheritable handles first, so that the stray one gets a value far
  // above those a freshly started child holds of its own.
  std::vector<platform::Handle> filler(256, platform::kInvalidHandle);
  for (std::size_t i = 0; i < filler.size(); i += 2) {
    ASSERT_TRUE(platform::CreateAnonymousPipe(&filler[i], &filler[i + 1]));
    platform::SetInheritable(filler[i], false);
    platform::SetInheritable(filler[i + 1], false);
  }
  platform::Handle strayRead = platform::kInvalidHandle, strayWrite = platform::kInvalidHandle;
  ASSERT_TRUE(platform::CreateAnonymousPipe(&strayRead, &strayWrite));
  ASSERT_TRUE(platform::SetInheritable(strayWrite, true));
  const auto run = RunChild(ChildCommandLine(L"handle-open " + std::to_wstring(strayWrite)));
  platform::CloseHandle(strayRead);
  platform::CloseHandle(strayWrite);
  for (platform::Handle h : filler) platform::CloseHandle(h);
  ASSERT_TRUE(run.started);
  // The child's own standard output is the control: it was inherited.
  EXPECT_EQ(run.output, "closed\n");
  EXPECT_EQ(run.exitCode, 0u);
}

TEST(ChildProcess, ReportsExitCodes) {
  for (std::uint32_t code : {0u, 1u, 7u, 255u}) {
    const auto run = RunChild(ChildCommandLine(L"exit " + std::to_wstring(code)));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, code);
  }
}

TEST(ChildProcess, CommandLineOf1023CharactersStarts) {
  std::wstring commandLine = ChildCommandLine(L"echo-args ");
  ASSERT_LT(commandLine.size(), 900u) << "the build folder path is too long for this test";
  const std::wstring filler(1023 - commandLine.size(), L'x');
  commandLine += filler;
  ASSERT_EQ(commandLine.size(), 1023u);
  const auto run = RunChild(commandLine);
  ASSERT_TRUE(run.started);
  const auto lines = platform_test::OutputLines(run.output);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], filler);
}

TEST(ChildProcess, MissingProgramDoesNotStart) {
  const std::wstring missing =
      platform::JoinPath(platform::TempPath(), L"no-such-program-" + platform_test::UniqueName());
  EXPECT_FALSE(RunChild(L"\"" + missing + L"\" a").started);
  EXPECT_FALSE(RunChild(L"").started);
}

TEST(ChildProcess, RunningChildIsStillActiveUntilTerminated) {
  std::wstring commandLine = ChildCommandLine(L"sleep 60000");
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  platform::ProcessInfo info;
  ASSERT_TRUE(platform::StartChildProcess(buffer.data(), {}, &info));
  EXPECT_NE(info.processId, 0u);

  std::uint32_t code = 0;
  ASSERT_TRUE(platform::GetProcessExitCode(info.process, &code));
  EXPECT_EQ(code, platform::kStillActive);
  EXPECT_FALSE(platform::WaitForProcess(info.process, 0));

  // The snapshot finds it by its file name.
  const std::wstring name = platform::FileNameOf(platform_test::ChildPath());
  EXPECT_NE(platform::FindProcessIdByName(name), 0u);

  ASSERT_TRUE(platform::TerminateChildProcess(info.process, 42));
  ASSERT_TRUE(platform::WaitForProcess(info.process, platform::kWaitForever));
  ASSERT_TRUE(platform::GetProcessExitCode(info.process, &code));
  EXPECT_EQ(code, 42u);
  // The code stays readable after the process has been collected.
  ASSERT_TRUE(platform::GetProcessExitCode(info.process, &code));
  EXPECT_EQ(code, 42u);
  platform::CloseProcess(&info);
  EXPECT_FALSE(platform::IsValid(info.process));
}

TEST(ProcessSnapshot, UnknownNameGivesZero) {
  EXPECT_EQ(platform::FindProcessIdByName(L"no-such-process-" + platform_test::UniqueName()), 0u);
  EXPECT_EQ(platform::FindProcessIdByName(L""), 0u);
}

TEST(ProcessSnapshot, FindsItselfCaseSensitively) {
  const std::wstring name = platform::FileNameOf(platform::ModulePath());
  EXPECT_NE(platform::FindProcessIdByName(name), 0u);
  std::wstring upper = name;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  if (upper != name) {
    EXPECT_EQ(platform::FindProcessIdByName(upper), 0u);
  }
}

TEST(Pipe, ReadGivesEndOfDataOnceTheWriterIsClosed) {
  platform::Handle r, w;
  ASSERT_TRUE(platform::CreateAnonymousPipe(&r, &w));
  ASSERT_TRUE(platform::WritePipe(w, "abc", 3));
  platform::CloseHandle(w);
  char buffer[8];
  EXPECT_EQ(platform::ReadPipe(r, buffer, sizeof buffer), 3);
  EXPECT_EQ(platform::ReadPipe(r, buffer, sizeof buffer), 0);
  platform::CloseHandle(r);
}

TEST(Pipe, WriteWithoutReaderFailsInsteadOfEndingTheProcess) {
  platform::Handle r, w;
  ASSERT_TRUE(platform::CreateAnonymousPipe(&r, &w));
  platform::CloseHandle(r);
  EXPECT_FALSE(platform::WritePipe(w, "abc", 3));
  platform::CloseHandle(w);
}

TEST(ProcessIdentity, ArgumentsAndIds) {
  const auto args = platform::ProcessArguments();
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(platform::FileNameOf(args[0]).find(L"tw_platform_tests"), 0u);
  EXPECT_NE(platform::CurrentProcessId(), 0u);
  EXPECT_NE(platform::CurrentThreadId(), 0u);
  platform::SetThreadName(platform::CurrentThreadId(), "platform-test");  // must not disturb anything
}

}  // namespace
