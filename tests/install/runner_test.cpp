// The package and uninstaller runners against the fake package as a real
// child process. Destroying a runner waits for its run, so each test starts
// a run, lets the runner go out of scope and then reads what was reported.
#include <gtest/gtest.h>

#include <chrono>

#include "install/installer.h"
#include "install/uninstaller.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "test_support.h"

namespace {

using testsupport::EventRecorder;
using testsupport::RecordedEvent;

// The exit code of a program that wrote through a null pointer: Windows
// reports the access violation; the POSIX stand-in reports a signal (or the
// sanitizer's own exit), which differs between builds.
#ifdef _WIN32
constexpr const wchar_t* kCrashCode = L"0xC0000005";
#else
constexpr const wchar_t* kCrashCode = nullptr;
#endif

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

// How a run without a verdict ends: only the exit code tells.
struct EndCase {
  const char* name;
  bool uninstall;
  const char* scenario;
  std::int32_t code;      // the closing event
  double value;
  const wchar_t* text;    // its text begins with this
  const wchar_t* exitCode;  // and names this code (nullptr: not checked)
};

TEST_F(RunnerTest, RunWithoutVerdictEndsByItsExitCode) {
  const EndCase cases[] = {
      {"package exits 0", false, "out Progress=0.5\n", IST_CODE_SUCCESS, 1.0, L"", nullptr},
      {"package exits 3", false, "out Progress=0.5\nexit 3\n", IST_CODE_FAIL, kFailValueExitCode,
       L"安装包异常退出，退出代码 ", L"3"},
      {"package crashes", false, "out InstPath=${DIR}\ncrash\n", IST_CODE_FAIL, kFailValueExitCode,
       L"安装包异常退出，退出代码 ", kCrashCode},
      {"uninstaller exits 0", true, "exit 0\n", UNIST_CODE_SUCCESS, 1.0, L"", nullptr},
      {"uninstaller exits 7", true, "out Progress=0.5\nexit 7\n", UNIST_CODE_ERROR, kFailValueExitCode,
       L"卸载程序异常退出，退出代码 ", L"7"},
      {"uninstaller crashes", true, "crash\n", UNIST_CODE_ERROR, kFailValueExitCode,
       L"卸载程序异常退出，退出代码 ", kCrashCode},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    EventRecorder events;
    if (c.uninstall) {
      UninstallScenario(c.scenario);
      RunUninstaller(&events);
    } else {
      PackageScenario(c.scenario);
      RunPackage(&events);
    }
    std::vector<RecordedEvent> e = events.Events();
    ASSERT_FALSE(e.empty());
    const RecordedEvent& last = e.back();
    EXPECT_EQ(last.code, c.code);
    EXPECT_DOUBLE_EQ(last.value, c.value);
    EXPECT_EQ(last.text.rfind(c.text, 0), 0u) << testsupport::Utf8(last.text);
    if (c.exitCode != nullptr) {
      EXPECT_EQ(last.text, std::wstring(c.text) + c.exitCode);
    }
    // One closing event, and no success beside a failure.
    const std::int32_t success = c.uninstall ? UNIST_CODE_SUCCESS : IST_CODE_SUCCESS;
    if (c.code != success) {
      EXPECT_TRUE(events.Of(success).empty());
    }
  }
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
  EXPECT_EQ(e[10].text, L"done");  // a CR at the end of a line is not part of the value
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

// What the package writes, in the shapes real programs write it.
struct OutputCase {
  const char* name;
  const char* scenario;
  std::vector<std::int32_t> codes;  // after 2001 and 2002 with 0.0
  int textIndex;                    // the event whose text is checked, or -1
  std::string text;                 // UTF-8; ${DIR} is the install folder
};

TEST_F(RunnerTest, OutputShapesOfRealPrograms) {
  const OutputCase cases[] = {
      {"verdict split across two writes", "write State=Fa\nsleep 300\nout il\n", {IST_CODE_FAIL}, -1, ""},
      {"path split across two writes",
       "write InstPath=${DIR}\nsleep 300\nout \\\\sub\nout State=Success\n",
       {IST_CODE_INST_PATH, IST_CODE_SUCCESS},
       0,
       "${DIR}\\sub"},
      {"NUL before the line feed", "write Message=x\\x00\\nState=Fail\n", {IST_CODE_MESSAGE, IST_CODE_FAIL}, 0, "x"},
      {"CRLF from a text-mode console program",
       "stdout text\nout InstPath=${DIR}\nout UninstEp=${DIR}\\\\uninst.ep\nout ExePath=${DIR}\\\\Tarnwick.exe\n"
       "out State=Success\n",
       {IST_CODE_INST_PATH, IST_CODE_UNINST_EP, IST_CODE_EXE_PATH, IST_CODE_SUCCESS},
       1,
       "${DIR}\\uninst.ep"},
      {"a bogus Encode does not hide the failure", "out Encode=4242\nout State=Fail\n", {IST_CODE_FAIL}, -1, ""},
  };
  const std::string dir = testsupport::Utf8(installDir_);
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.name);
    PackageScenario(c.scenario);
    EventRecorder events;
    RunPackage(&events);
    std::vector<std::int32_t> expected = {IST_CODE_START, IST_CODE_PROGRESS};
    expected.insert(expected.end(), c.codes.begin(), c.codes.end());
    ASSERT_EQ(events.Codes(), expected);
    if (c.textIndex < 0) continue;
    std::string text = c.text;
    if (text.rfind("${DIR}", 0) == 0) text = dir + text.substr(6);
    EXPECT_EQ(testsupport::Utf8(events.Events()[2 + c.textIndex].text), text);
  }
}

TEST_F(RunnerTest, CrlfValuesOfEveryKindArriveWithoutCarriageReturns) {
  // The platform's own default: on Windows the fake package writes in text
  // mode, as the real package does.
  PackageScenario("out InstPath=${DIR}\nout StartupStyle=AutoStartup\nout TopShowDetention=5\nout State=Success\n");
  EventRecorder events;
  RunPackage(&events);
  ASSERT_EQ(events.Of(IST_CODE_INST_PATH).size(), 1u);
  EXPECT_EQ(events.Of(IST_CODE_INST_PATH)[0].text, installDir_);
  EXPECT_DOUBLE_EQ(events.Of(IST_CODE_STARTUP_STYLE)[0].value, 1.0);
  EXPECT_DOUBLE_EQ(events.Of(IST_CODE_TOP_SHOW_DETENTION)[0].value, 5.0);
  EXPECT_EQ(events.Of(IST_CODE_SUCCESS).size(), 1u);
}

TEST_F(RunnerTest, AMegabyteWithoutLineFeedIsReadAtTheSpeedItIsWritten) {
  PackageScenario("write Message=\nblob 1048576\nout \nout State=Fail\n");
  EventRecorder events;
  const auto start = std::chrono::steady_clock::now();
  RunPackage(&events);
  const auto took = std::chrono::steady_clock::now() - start;
  // A guard against a throttled reader (which took minutes), not a speed
  // target.
  EXPECT_LT(took, std::chrono::seconds(20));
  ASSERT_EQ(events.Of(IST_CODE_MESSAGE).size(), 1u);
  EXPECT_EQ(events.Of(IST_CODE_MESSAGE)[0].text, std::wstring(install::kMaxStatusValueChars, L'x'));
  EXPECT_EQ(events.Of(IST_CODE_FAIL).size(), 1u);
}

TEST_F(RunnerTest, ProcessLeftHoldingThePipesDoesNotHoldUpTheRun) {
  // The package starts a process that inherits its standard handles and
  // keeps writing for up to 60 s; each run must end soon after the package.
  struct HoldCase {
    const char* name;
    bool uninstall;
    const char* scenario;
    std::int32_t last;
  };
  const HoldCase cases[] = {
      {"package, verdict first", false, "out State=Success\nhold 60000\n", IST_CODE_SUCCESS},
      {"package without verdict", false, "hold 60000\nout Progress=0.5\n", IST_CODE_SUCCESS},
      {"uninstaller", true, "hold 60000\nout State=Success\n", UNIST_CODE_SUCCESS},
  };
  for (const HoldCase& c : cases) {
    SCOPED_TRACE(c.name);
    EventRecorder events;
    const auto start = std::chrono::steady_clock::now();
    if (c.uninstall) {
      UninstallScenario(c.scenario);
      RunUninstaller(&events);
    } else {
      PackageScenario(c.scenario);
      RunPackage(&events);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    ASSERT_FALSE(events.Events().empty());
    EXPECT_EQ(events.Events().back().code, c.last);
  }
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
