// The package and uninstaller runners against the fake package as a real
// child process. Destroying a runner waits for its run, so each test starts
// a run, lets the runner go out of scope and then reads what was reported.
#include <gtest/gtest.h>

#include "install/installer.h"
#include "install/uninstaller.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "test_support.h"

namespace {

using testsupport::EventRecorder;
using testsupport::RecordedEvent;

class RunnerTest : public testing::Test {
 protected:
  void SetUp() override {
    work_ = testsupport::MakeTempFolder(L"runner");
    installDir_ = platform::JoinPath(work_, L"Program Dir");  // a space on purpose
    log_ = platform::JoinPath(work_, L"children.log");
    testsupport::SetEnv("TW_FAKE_LOG", log_);
  }
  void TearDown() override {
    testsupport::SetEnv("TW_FAKE_LOG", L"");
    testsupport::SetEnv("TW_FAKE_PACKAGE_SCENARIO", L"");
    testsupport::SetEnv("TW_FAKE_UNINSTALL_SCENARIO", L"");
    testsupport::RemoveTree(work_);
  }

  void PackageScenario(const std::string& script) {
    std::wstring path = platform::JoinPath(work_, L"package.scenario");
    testsupport::WriteFile(path, script);
    testsupport::SetEnv("TW_FAKE_PACKAGE_SCENARIO", path);
  }
  void UninstallScenario(const std::string& script) {
    std::wstring path = platform::JoinPath(work_, L"uninstall.scenario");
    testsupport::WriteFile(path, script);
    testsupport::SetEnv("TW_FAKE_UNINSTALL_SCENARIO", path);
  }

  // One complete package run.
  void RunPackage(EventRecorder* events, const std::wstring& package = testsupport::FakePackagePath()) {
    CInstaller installer(events->Callback(), L"\"" + package + L"\"", installDir_);
    installer.Start();
  }

  void RunUninstaller(EventRecorder* events, const std::wstring& program = testsupport::FakePackagePath()) {
    CUnInstaller uninstaller(events->Callback(), program, installDir_);
    uninstaller.Start();
  }

  std::wstring work_, installDir_, log_;
};

TEST_F(RunnerTest, SilentPackageCountsAsSuccessWhateverItsExitCode) {
  PackageScenario("exit 3\n");
  EventRecorder events;
  RunPackage(&events);
  EXPECT_EQ(events.Codes(), (std::vector<std::int32_t>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_SUCCESS}));
  EXPECT_DOUBLE_EQ(events.Events()[1].value, 0.0);
  EXPECT_DOUBLE_EQ(events.Events()[2].value, 1.0);
}

TEST_F(RunnerTest, PackageReportsResultValuesAndInstallsIntoTheFolderGivenLast) {
  PackageScenario(
      "install-files\n"
      "out Progress=0.5\n"
      "out InstPath=${DIR}\n"
      "out ExePath=${DIR}\\Tarnwick.exe\n"
      "out UninstEp=${DIR}\\uninst.ep\n"
      "out StartUrl=https://tarnwick.example/welcome\n"
      "out StartupStyle=UserStartup\n"
      "out TopShowDetention=0\n"
      "out FinsihCloseDetention=-1\n"
      "out Message=done\\r\n"
      "out Progress=1.0\n"
      "out State=Success\\r\n");
  EventRecorder events;
  RunPackage(&events);

  std::string dir = testsupport::Utf8(installDir_);
  std::vector<std::int32_t> expected = {IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_PROGRESS, IST_CODE_INST_PATH,
                                        IST_CODE_EXE_PATH, IST_CODE_UNINST_EP, IST_CODE_START_URL,
                                        IST_CODE_STARTUP_STYLE, IST_CODE_TOP_SHOW_DETENTION,
                                        IST_CODE_FINISH_CLOSE_DETENTION, IST_CODE_MESSAGE, IST_CODE_PROGRESS,
                                        IST_CODE_SUCCESS};
  ASSERT_EQ(events.Codes(), expected);
  std::vector<RecordedEvent> e = events.Events();
  EXPECT_DOUBLE_EQ(e[2].value, 0.5);
  EXPECT_EQ(testsupport::Utf8(e[3].text), dir);
  EXPECT_DOUBLE_EQ(e[7].value, 2.0);
  EXPECT_DOUBLE_EQ(e[9].value, 4294967295.0);
  EXPECT_EQ(e[10].text, L"done\r");
  EXPECT_DOUBLE_EQ(e.back().value, 0.0);  // from the status line, not from the end of the run

  EXPECT_TRUE(platform::FileExists(platform::JoinPath(installDir_, L"uninst.ep")));
  EXPECT_TRUE(platform::FileExists(platform::JoinPath(installDir_, L"Tarnwick.exe")));
  std::string log = testsupport::ReadFile(log_);
  EXPECT_NE(log.find(" /D=" + dir + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("-instdir="), std::string::npos) << log;  // quoted on Windows; POSIX argv drops quotes
}

TEST_F(RunnerTest, ErrorLineFailsWith1000AndLaterOutputIsDrainedWithoutHanging) {
  // After its verdict the package keeps writing far more than a pipe holds,
  // on both channels; the run must still end, with no event after the verdict.
  PackageScenario(
      "out Error=磁盘已满\n"
      "noise 1048576\n"
      "err 1048576\n"
      "out State=Success\n");
  EventRecorder events;
  RunPackage(&events);
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_FAIL}));
  EXPECT_DOUBLE_EQ(events.Events()[2].value, 1000.0);
}

TEST_F(RunnerTest, StateFailGivesItsOwnText) {
  PackageScenario("out State=Fail\n");
  EventRecorder events;
  RunPackage(&events);
  ASSERT_EQ(events.Of(IST_CODE_FAIL).size(), 1u);
  EXPECT_EQ(events.Of(IST_CODE_FAIL)[0].text, L"安装包安装失败");
  EXPECT_DOUBLE_EQ(events.Of(IST_CODE_FAIL)[0].value, 0.0);
  EXPECT_TRUE(events.Of(IST_CODE_SUCCESS).empty());
}

TEST_F(RunnerTest, PackageThatCannotStartFailsWith2) {
  EventRecorder events;
  RunPackage(&events, platform::JoinPath(work_, L"missing.exe"));
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_FAIL}));
  EXPECT_DOUBLE_EQ(events.Events()[2].value, 2.0);
  EXPECT_EQ(events.Events()[2].text, L"");
}

TEST_F(RunnerTest, CommandLineBeyond1023CharactersIsAStartFailure) {
  installDir_ = platform::JoinPath(work_, std::wstring(600, L'x'));  // the folder goes in twice
  EventRecorder events;
  RunPackage(&events);
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_FAIL}));
  EXPECT_DOUBLE_EQ(events.Events()[2].value, 2.0);
  EXPECT_EQ(testsupport::ReadFile(log_), "");  // nothing ran
}

TEST_F(RunnerTest, MegabyteOnStandardErrorDoesNotHang) {
  PackageScenario("err 1048576\nout Progress=0.7\n");
  EventRecorder events;
  RunPackage(&events);
  EXPECT_EQ(events.Codes(), (std::vector<std::int32_t>{IST_CODE_START, IST_CODE_PROGRESS, IST_CODE_PROGRESS,
                                                        IST_CODE_SUCCESS}));
}

TEST_F(RunnerTest, VerdictWrittenJustBeforeExitIsNotLost) {
  // Many chunks of output, then the verdict, then the end: the last status
  // line lies in the pipe after the package has gone.
  PackageScenario("noise 65536\nout State=Fail\n");
  EventRecorder events;
  RunPackage(&events);
  EXPECT_EQ(events.Of(IST_CODE_FAIL).size(), 1u);
  EXPECT_TRUE(events.Of(IST_CODE_SUCCESS).empty());
}

TEST_F(RunnerTest, LineSplitAcrossWritesIsParsedAsTwoLines) {
  PackageScenario("write Progr\nsleep 600\nout ess=0.5\nout Progress=0.6\n");
  EventRecorder events;
  RunPackage(&events);
  std::vector<RecordedEvent> progress = events.Of(IST_CODE_PROGRESS);
  ASSERT_EQ(progress.size(), 2u);
  EXPECT_DOUBLE_EQ(progress[1].value, 0.6);
}

TEST_F(RunnerTest, EncodeSwitchesLaterChunksAndPersistsAcrossRuns) {
  // 你好 in UTF-8, then in GBK (code page 936) in the next run.
  EventRecorder events;
  CInstaller installer(events.Callback(), L"\"" + testsupport::FakePackagePath() + L"\"", installDir_);
  PackageScenario("out Encode=UTF8\nsleep 400\nout Message=\\xE4\\xBD\\xA0\\xE5\\xA5\\xBD\nsleep 400\nout Encode=936\n");
  installer.Start();
  installer.Wait();
  EXPECT_EQ(installer.CodePage(), 936);
  PackageScenario("out Message=\\xC4\\xE3\\xBA\\xC3\n");
  installer.Start();
  installer.Wait();
  std::vector<RecordedEvent> messages = events.Of(IST_CODE_MESSAGE);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, L"你好");
  EXPECT_EQ(messages[1].text, L"你好");
}

// ---- uninstaller ---------------------------------------------------------

TEST_F(RunnerTest, MissingUninstallerReportsOnlyFailWith1) {
  EventRecorder events;
  RunUninstaller(&events, platform::JoinPath(work_, L"nope.exe"));
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_FAIL}));
  EXPECT_DOUBLE_EQ(events.Events()[0].value, 1.0);
  EXPECT_EQ(events.Events()[0].text, L"可执行卸载文件不存在");
}

TEST_F(RunnerTest, UninstallerGetsItsFolderLastAndReportsSuccess) {
  EventRecorder events;
  RunUninstaller(&events);  // default scenario: progress, remove files, success
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_PROGRESS, UNIST_CODE_SUCCESS}));
  EXPECT_DOUBLE_EQ(events.Events()[1].value, 0.5);
  EXPECT_DOUBLE_EQ(events.Events()[2].value, 0.0);
  std::string log = testsupport::ReadFile(log_);
  EXPECT_EQ(log.rfind("uninstall\t", 0), 0u) << log;
  EXPECT_NE(log.find("-console=show _?=" + testsupport::Utf8(installDir_) + "\n"), std::string::npos) << log;
}

TEST_F(RunnerTest, SilentUninstallerSucceedsWith1) {
  UninstallScenario("exit 7\n");
  EventRecorder events;
  RunUninstaller(&events);
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_SUCCESS}));
  EXPECT_DOUBLE_EQ(events.Events()[1].value, 1.0);
}

TEST_F(RunnerTest, UninstallerFailureKeepsBeingReadAndEndsWithoutSuccess) {
  UninstallScenario("out State=Fail\nsleep 200\nerr 1048576\nout Progress=0.9\nout Error=still busy\n");
  EventRecorder events;
  RunUninstaller(&events);
  std::vector<RecordedEvent> e = events.Events();
  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_ERROR, UNIST_CODE_PROGRESS,
                                                        UNIST_CODE_ERROR}));
  EXPECT_EQ(e[1].text, L"安装包卸载失败");
  EXPECT_DOUBLE_EQ(e[2].value, 0.9);
  EXPECT_EQ(e[3].text, L"still busy");
}

TEST_F(RunnerTest, UninstallerThatFailsAndExitsAtOnceIsNotASuccess) {
  UninstallScenario("out Error=locked\nexit 0\n");
  EventRecorder events;
  RunUninstaller(&events);
  EXPECT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_ERROR}));
}

}  // namespace
