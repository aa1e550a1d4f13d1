// tarnwick-setup-cli as a user runs it: a real process that downloads the
// fake package from a file:// URL carrying its MD5, runs it, writes the
// install records (registry, or its stand-in redirected by XDG_CONFIG_HOME),
// "set.ini" and the analytics file (APPDATA redirected), and exits with the
// code of its outcome.
#include <gtest/gtest.h>

#include <memory>

#include <string>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "records/install_records.h"
#include "test_support.h"
#include "utils/child_process.h"

namespace {

struct CliRun {
  int exitCode = -1;
  std::string output;
};

std::wstring ProgramNextToTest(const std::wstring& name) {
  std::wstring self = platform::ModulePath();
  std::wstring file = name;
  if (self.size() > 4 && self.compare(self.size() - 4, 4, L".exe") == 0) file += L".exe";
  return platform::JoinPath(platform::RemoveFileSpec(self), file);
}

CliRun RunCli(const std::wstring& arguments) {
  CliRun run;
  Utils::ChildProcess child;
  child.CreatePipes();
  child.Start(L"\"" + ProgramNextToTest(L"tarnwick-setup-cli") + L"\" " + arguments);
  char buffer[4096];
  long n;
  while ((n = platform::ReadPipe(child.OutputReadEnd(), buffer, sizeof buffer)) > 0)
    run.output.append(buffer, static_cast<std::size_t>(n));
  platform::WaitForProcess(child.ProcessHandle(), platform::kWaitForever);
  std::uint32_t code = 0;
  platform::GetProcessExitCode(child.ProcessHandle(), &code);
  run.exitCode = static_cast<int>(code);
  child.Close();
  return run;
}

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    work_ = testsupport::MakeTempFolder(L"cli");
    temp_ = std::make_unique<testsupport::ScopedTempFolder>(work_);
    installDir_ = platform::JoinPath(work_, L"Tarnwick Dir");
    appData_ = platform::JoinPath(work_, L"AppData");
    platform::CreateFolder(appData_);
    log_ = platform::JoinPath(work_, L"children.log");
    testsupport::SetEnv("TW_FAKE_LOG", log_);
    testsupport::SetEnv("APPDATA", appData_);
    testsupport::SetEnv("XDG_CONFIG_HOME", platform::JoinPath(work_, L"config"));
    platform::DeleteUserRegistryKey(kInstallRecordsKey);

    std::wstring package = testsupport::FakePackagePath();
    std::string md5 = testsupport::ReadFile(package + L".md5");
    std::wstring served = platform::JoinPath(work_, std::wstring(md5.begin(), md5.end()));
    platform::CreateFolder(served);
    served = platform::JoinPath(served, L"tarnwick_setup.exe");
    testsupport::CopyFile(package, served);
    url_ = testsupport::FileUrl(served);
  }
  void TearDown() override {
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
    testsupport::SetEnv("TW_FAKE_LOG", L"");
    testsupport::SetEnv("TW_FAKE_PACKAGE_SCENARIO", L"");
    testsupport::SetEnv("TW_FAKE_UNINSTALL_SCENARIO", L"");
    temp_.reset();
    testsupport::RemoveTree(work_);
  }

  CliRun Install(const std::wstring& url) {
    return RunCli(L"-downloadurl=" + url + L" -ischecknet=false \"-installdir=" + installDir_ + L"\"");
  }

  void Scenario(const char* variable, const std::string& script) {
    std::wstring path = platform::JoinPath(work_, std::wstring(variable, variable + std::char_traits<char>::length(variable)) + L".scenario");
    testsupport::WriteFile(path, script);
    testsupport::SetEnv(variable, path);
  }

  int LogLines(const char* kind) {
    std::string log = testsupport::ReadFile(log_);
    int count = 0;
    std::string prefix = std::string(kind) + "\t";
    for (std::size_t at = 0; at < log.size();) {
      std::size_t end = log.find('\n', at);
      if (log.compare(at, prefix.size(), prefix) == 0) ++count;
      if (end == std::string::npos) break;
      at = end + 1;
    }
    return count;
  }

  std::wstring Setting(const std::wstring& key) {
    return platform::ReadProfileString(platform::JoinPath(installDir_, L"set.ini"), L"Install", key, L"<missing>");
  }

  std::unique_ptr<testsupport::ScopedTempFolder> temp_;
  std::wstring work_, installDir_, appData_, log_, url_;
};

TEST_F(CliTest, InstallsRecordsAndReinstallsOverTheEarlierInstallation) {
  CliRun first = Install(url_);
  ASSERT_EQ(first.exitCode, 0) << first.output;
  std::wstring value;
  ASSERT_TRUE(ReadInstallValue(kInstallPathValue, &value));
  EXPECT_EQ(value, installDir_);
  ASSERT_TRUE(ReadInstallValue(kUninstallEpValue, &value));
  EXPECT_EQ(value, DefaultUninstallEntryPoint(installDir_));
  EXPECT_EQ(Setting(L"AppName"), L"tarnwick");
  EXPECT_EQ(Setting(L"APPStore"), platform::FileNameOf(ProgramNextToTest(L"tarnwick-setup-cli")));
  EXPECT_EQ(Setting(L"DeviceID").size(), 32u);
  std::wstring analytics = Setting(L"BriselSensorsAnalyticsIni");
  EXPECT_EQ(analytics.compare(0, appData_.size(), appData_), 0) << testsupport::Utf8(analytics);
  EXPECT_NE(platform::ReadProfileString(analytics, L"Init", L"UpdateTime", L""), L"");
  EXPECT_FALSE(platform::PathExists(platform::JoinPath(installDir_, L"__Package_tarnwick.exe")));
  EXPECT_EQ(LogLines("uninstall"), 0);

  // The next run finds the installation and removes it first.
  CliRun second = Install(url_);
  ASSERT_EQ(second.exitCode, 0) << second.output;
  EXPECT_NE(second.output.find("running its uninstaller first"), std::string::npos) << second.output;
  EXPECT_EQ(LogLines("uninstall"), 1);
  EXPECT_EQ(LogLines("install"), 2);

  // The installed product forbids being overridden in place: no removal.
  platform::WriteProfileString(platform::JoinPath(installDir_, L"set.ini"), L"Uninstall", L"IsOverride", L"false");
  CliRun third = Install(url_);
  ASSERT_EQ(third.exitCode, 0) << third.output;
  EXPECT_EQ(LogLines("uninstall"), 1);
  EXPECT_EQ(LogLines("install"), 3);
}

TEST_F(CliTest, EachFailureHasItsExitCode) {
  Scenario("TW_FAKE_PACKAGE_SCENARIO", "out Error=broken\n");
  EXPECT_EQ(Install(url_).exitCode, 8);

  CliRun missing =
      Install(testsupport::FileUrl(platform::JoinPath(work_, L"none/0123456789abcdef0123456789abcdef/x.exe")));
  EXPECT_EQ(missing.exitCode, 7);
  // The attempts are announced, and the failure names its cause.
  EXPECT_NE(missing.output.find("（第6/6次）"), std::string::npos) << missing.output;
  EXPECT_NE(missing.output.find("download failed (37): libcurl 37: "), std::string::npos) << missing.output;

  // A recorded installation whose uninstaller refuses: nothing is downloaded.
  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  testsupport::CopyFile(testsupport::FakePackagePath(), platform::JoinPath(oldDir, L"uninst.ep"));
  WriteInstallValue(kInstallPathValue, oldDir);
  Scenario("TW_FAKE_UNINSTALL_SCENARIO", "out State=Fail\n");
  EXPECT_EQ(Install(url_).exitCode, 6);
  EXPECT_FALSE(platform::PathExists(platform::JoinPath(installDir_, L"__Package_tarnwick.exe")));

  std::wstring blocker = platform::JoinPath(work_, L"file");
  testsupport::WriteFile(blocker, "x");
  EXPECT_EQ(RunCli(L"-ischecknet=false \"-installdir=" + platform::JoinPath(blocker, L"sub") + L"\"").exitCode, 3);
}

TEST_F(CliTest, ChildThatEndsBadlyWithoutVerdictIsAFailureWithItsExitCode) {
  // The package exits 3 without a verdict: no installation is recorded.
  Scenario("TW_FAKE_PACKAGE_SCENARIO", "install-files\nout InstPath=${DIR}\nexit 3\n");
  CliRun install = Install(url_);
  EXPECT_EQ(install.exitCode, 8) << install.output;
  EXPECT_NE(install.output.find("安装包异常退出，退出代码 3"), std::string::npos) << install.output;
  std::wstring value;
  EXPECT_FALSE(ReadInstallValue(kInstallPathValue, &value)) << testsupport::Utf8(value);
  testsupport::SetEnv("TW_FAKE_PACKAGE_SCENARIO", L"");

  // The earlier installation's uninstaller crashes: nothing is downloaded
  // or installed over what it may have half removed.
  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  testsupport::CopyFile(testsupport::FakePackagePath(), platform::JoinPath(oldDir, L"uninst.ep"));
  WriteInstallValue(kInstallPathValue, oldDir);
  Scenario("TW_FAKE_UNINSTALL_SCENARIO", "out Progress=0.5\ncrash\n");
  CliRun removal = Install(url_);
  EXPECT_EQ(removal.exitCode, 6) << removal.output;
  EXPECT_NE(removal.output.find("卸载程序异常退出，退出代码 "), std::string::npos) << removal.output;
  EXPECT_EQ(LogLines("uninstall"), 1);
  EXPECT_EQ(LogLines("install"), 1);  // only the first attempt's package ran
  EXPECT_FALSE(platform::PathExists(platform::JoinPath(installDir_, L"__Package_tarnwick.exe")));
}

}  // namespace
