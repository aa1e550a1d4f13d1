// The download-and-install driver end to end: real downloaders fetch the
// fake package through libcurl from a file:// URL whose second-to-last
// segment is the package's MD5 (the download server's convention), the
// package and the earlier installation's uninstaller run as real children,
// and their command lines are read back from the fake package's log.
#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <cstdlib>

#include "config/installer_config.h"
#include "download/md5.h"
#include "install/download_installer.h"
#include "install/process_lookup.h"
#include "rules/product_names.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "test_support.h"
#include "utils/child_process.h"
#include "utils/temp_folder.h"

namespace {

using testsupport::EventRecorder;
using testsupport::RecordedEvent;

const std::vector<std::int32_t> kChainEnds = {IST_CODE_SUCCESS, IST_CODE_FAIL, DL_CODE_FAIL, UNIST_CODE_FAIL,
                                              UNIST_CODE_ERROR};

class DriverTest : public testing::Test {
 protected:
  void SetUp() override {
    work_ = testsupport::MakeTempFolder(L"driver");
    temp_ = std::make_unique<testsupport::ScopedTempFolder>(work_);
    installDir_ = platform::JoinPath(work_, L"Tarnwick Dir");
    log_ = platform::JoinPath(work_, L"children.log");
    testsupport::SetEnv("TW_FAKE_LOG", log_);
    Config().DownloadType = 1;
    Config().InsNew = false;
    Config().InstCmd.clear();
    url_ = Serve(testsupport::FakePackagePath(), testsupport::ReadFile(testsupport::FakePackagePath() + L".md5"));
  }
  void TearDown() override {
    testsupport::SetEnv("TW_FAKE_LOG", L"");
    testsupport::SetEnv("TW_FAKE_PACKAGE_SCENARIO", L"");
    testsupport::SetEnv("TW_FAKE_UNINSTALL_SCENARIO", L"");
    temp_.reset();
    testsupport::RemoveTree(work_);
  }

  // Places `file` at <work>/srv/<segment>/package.exe and returns its URL.
  std::wstring Serve(const std::wstring& file, const std::string& segment) {
    std::wstring dir = platform::JoinPath(platform::JoinPath(work_, L"srv"), std::wstring(segment.begin(), segment.end()));
    platform::CreateFolder(platform::JoinPath(work_, L"srv"));
    platform::CreateFolder(dir);
    std::wstring served = platform::JoinPath(dir, L"package.exe");
    testsupport::CopyFile(file, served);
    return testsupport::FileUrl(served);
  }

  void Scenario(const char* variable, const std::wstring& name, const std::string& script) {
    std::wstring path = platform::JoinPath(work_, name);
    testsupport::WriteFile(path, script);
    testsupport::SetEnv(variable, path);
  }

  // One attempt, as the window makes it; returns once the chain has ended
  // and the driver has let every running phase finish.
  void Install(EventRecorder* events, const std::wstring& oldUninstaller = L"", bool runnable = true) {
    std::wstring package = CDownloadInstaller::PackagePathFor(installDir_);
    EventCallback record = events->Callback();
    CDownloadInstaller driver(
        [&](std::int32_t code, double value, const std::wstring& text) {
          record(code, value, text);
          if (code == DL_CODE_SUCCESS && runnable) testsupport::MakeRunnable(package);
        },
        L"", L"", L"", true, true, true);
    driver.SetParams(url_, L"", oldUninstaller, installDir_, true, false, false, false, L"");
    EXPECT_EQ(driver.GetPackagePath(), package);
    driver.Start();
    ASSERT_TRUE(events->WaitForAny(kChainEnds, std::chrono::seconds(120)));
  }

  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::string log = testsupport::ReadFile(log_), line;
    for (char c : log) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    return lines;
  }

  static std::string Dump(const EventRecorder& events) {
    std::string out;
    for (const RecordedEvent& e : events.Events())
      out += std::to_string(e.code) + "(" + std::to_string(e.value) + "," + testsupport::Utf8(e.text) + ") ";
    return out;
  }

  static std::size_t IndexOf(const std::vector<std::int32_t>& codes, std::int32_t code) {
    return static_cast<std::size_t>(std::find(codes.begin(), codes.end(), code) - codes.begin());
  }

  std::unique_ptr<testsupport::ScopedTempFolder> temp_;
  std::wstring work_, installDir_, log_, url_;
};

TEST_F(DriverTest, CleanInstallDownloadsThenInstallsAndRemovesThePackage) {
  {
    Scenario("TW_FAKE_PACKAGE_SCENARIO", L"package.scenario",
             "install-files\nout Progress=0.3\nout InstPath=${DIR}\nout UninstEp=${DIR}\\uninst.ep\n"
             "out StartupStyle=NonStartup\nout Progress=0.9\nout State=Success\n");
    EventRecorder events;
    Install(&events);
    std::vector<std::int32_t> codes = events.Codes();

    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), DL_CODE_START);
    ASSERT_EQ(codes.back(), IST_CODE_SUCCESS) << Dump(events);
    EXPECT_LT(IndexOf(codes, DL_CODE_SUCCESS), IndexOf(codes, IST_CODE_START));
    EXPECT_LT(IndexOf(codes, IST_CODE_START), IndexOf(codes, IST_CODE_PROGRESS));
    EXPECT_LT(IndexOf(codes, IST_CODE_PROGRESS), IndexOf(codes, IST_CODE_INST_PATH));
    EXPECT_LT(IndexOf(codes, IST_CODE_UNINST_EP), codes.size());
    EXPECT_LT(IndexOf(codes, IST_CODE_STARTUP_STYLE), codes.size());
    EXPECT_EQ(IndexOf(codes, UNIST_CODE_PROGRESS), codes.size());  // nothing to remove
    EXPECT_EQ(events.Of(IST_CODE_SUCCESS).size(), 1u);

    EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(installDir_, L"uninst.ep")));
    EXPECT_TRUE(platform::FileExists(platform::JoinPath(installDir_, L"Tarnwick.exe")));
  }
}

TEST_F(DriverTest, EarlierInstallationIsRemovedFromTheWorkFolderCopyBeforeTheDownload) {
  std::wstring oldDir = platform::JoinPath(work_, L"Old Tarnwick");
  platform::CreateFolder(oldDir);
  std::wstring oldEp = platform::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), oldEp));
  testsupport::WriteFile(platform::JoinPath(oldDir, L"Tarnwick.exe"), "old product");

  EventRecorder events;
  Install(&events, oldEp);
  std::vector<std::int32_t> codes = events.Codes();
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), UNIST_CODE_PROGRESS);
  EXPECT_LT(IndexOf(codes, UNIST_CODE_SUCCESS), IndexOf(codes, DL_CODE_START));
  EXPECT_EQ(codes.back(), IST_CODE_SUCCESS);
  EXPECT_FALSE(platform::PathExists(platform::JoinPath(oldDir, L"Tarnwick.exe")));  // the uninstaller ran

  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  std::string copy = testsupport::Utf8(platform::JoinPath(Utils::GetTempFolder(), L"Tarnwick_un_asa.exe"));
  EXPECT_EQ(lines[0].rfind("uninstall\t" + copy + "\t", 0), 0u) << lines[0];
  std::string tail = "_?=" + testsupport::Utf8(oldDir);
  EXPECT_EQ(lines[0].substr(lines[0].size() - tail.size()), tail) << lines[0];
  EXPECT_EQ(lines[1].rfind("install\t", 0), 0u) << lines[1];
}

TEST_F(DriverTest, FailingUninstallerStopsTheChainBeforeAnyDownload) {
  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  std::wstring oldEp = platform::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), oldEp));
  Scenario("TW_FAKE_UNINSTALL_SCENARIO", L"uninstall.scenario", "out State=Fail\n");

  EventRecorder events;
  Install(&events, oldEp);
  EXPECT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_ERROR}));
  EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
}

TEST_F(DriverTest, MissingOldUninstallerMeansNoRemoval) {
  EventRecorder events;
  Install(&events, platform::JoinPath(work_, L"gone\\uninst.ep"));
  EXPECT_EQ(events.Codes().front(), DL_CODE_START);
  EXPECT_EQ(events.Codes().back(), IST_CODE_SUCCESS);
}

TEST_F(DriverTest, PackageErrorLineFailsWith1000AndRemovesThePackage) {
  Scenario("TW_FAKE_PACKAGE_SCENARIO", L"package.scenario", "out Error=no room\n");
  EventRecorder events;
  Install(&events);
  ASSERT_EQ(events.Of(IST_CODE_FAIL).size(), 1u);
  EXPECT_DOUBLE_EQ(events.Of(IST_CODE_FAIL)[0].value, 1000.0);
  EXPECT_EQ(events.Of(IST_CODE_FAIL)[0].text, L"no room");
  EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
}

TEST_F(DriverTest, PackageThatCannotStartFailsWith2) {
  std::wstring notAProgram = platform::JoinPath(work_, L"notes.txt");
  std::string text;
  while (text.size() < 1200 * 1024) text += "this is not a program, only a long text\n";  // past the 1 MiB floor
  testsupport::WriteFile(notAProgram, text);
  url_ = Serve(notAProgram, GetFileMd5(notAProgram));
  EventRecorder events;
  Install(&events, L"", /*runnable=*/false);
  ASSERT_EQ(events.Of(IST_CODE_FAIL).size(), 1u) << Dump(events);
  EXPECT_DOUBLE_EQ(events.Of(IST_CODE_FAIL)[0].value, 2.0);
  EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
}

TEST_F(DriverTest, DownloadFailureInstallsNothingAndLeavesNoPackage) {
  url_ = testsupport::FileUrl(platform::JoinPath(work_, L"nowhere/0123456789abcdef0123456789abcdef/package.exe"));
  EventRecorder events;
  Install(&events);
  EXPECT_EQ(events.Of(DL_CODE_FAIL).size(), 1u);
  EXPECT_TRUE(events.Of(IST_CODE_START).empty());
  EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
}

}  // namespace

// ---- over HTTP, against the loopback test server ---------------------------
// The test server sends generated bodies, not programs: enough to drive the
// download phase for real, and a body that is not a program tells how the
// driver treats a package that cannot start.

class DriverHttpTest : public DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    std::wstring portFile = platform::JoinPath(platform::RemoveFileSpec(platform::ModulePath()), L"http-test-server.port");
    std::string text = testsupport::ReadFile(portFile);
    port_ = std::atoi(text.c_str());
    ASSERT_GT(port_, 0) << "the http_test_server fixture did not run";
  }
  std::wstring Http(const std::string& pathAndQuery) {
    std::string url = "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
    return std::wstring(url.begin(), url.end());
  }
  int port_ = 0;
};

TEST_F(DriverHttpTest, DownloadedBodyThatIsNoProgramFailsTheInstallWith2) {
  // Every downloader hands over to the package runner.
  for (std::int32_t type : {1, 3, 2}) {
    SCOPED_TRACE(type);
    Config().DownloadType = type;
    url_ = Http("/gen/1200000/pkg.exe?key=driver-noprogram-" + std::to_string(type));
    EventRecorder events;
    Install(&events, L"", /*runnable=*/false);
    EXPECT_EQ(events.Of(DL_CODE_SUCCESS).size(), 1u) << Dump(events);
    std::vector<RecordedEvent> failures = events.Of(IST_CODE_FAIL);
    EXPECT_EQ(failures.size(), 1u) << Dump(events);
    if (!failures.empty()) EXPECT_DOUBLE_EQ(failures[0].value, 2.0);
    EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
  }
}

TEST_F(DriverHttpTest, Md5MismatchRestartsTheSameDownloaderOnceThenFails) {
  for (std::int32_t type : {1, 2}) {
    SCOPED_TRACE(type);
    Config().DownloadType = type;
    url_ = Http("/gen/1200000/pkg.exe?key=driver-md5-" + std::to_string(type) +
                "&md5=0123456789abcdef0123456789abcdef");
    EventRecorder events;
    Install(&events);
    EXPECT_EQ(events.Of(DL_CODE_RETRY).size(), 1u) << Dump(events);
    EXPECT_EQ(events.Of(DL_CODE_START).size(), 2u) << Dump(events);
    EXPECT_EQ(events.Codes().back(), DL_CODE_FAIL) << Dump(events);
    EXPECT_TRUE(events.Of(IST_CODE_START).empty());
    EXPECT_FALSE(platform::PathExists(CDownloadInstaller::PackagePathFor(installDir_)));
  }
}

TEST_F(DriverHttpTest, ServerErrorFailsTheDownloadAndStartsNoInstall) {
  url_ = Http("/gen/1200000/pkg.exe?key=driver-404&fault=status&code=404&on=all");
  EventRecorder events;
  Install(&events);
  EXPECT_EQ(events.Codes().back(), DL_CODE_FAIL) << Dump(events);
  EXPECT_TRUE(events.Of(IST_CODE_START).empty());
}

TEST_F(DriverTest, InsNewWaitsForTheProductToEndBeforeTheRemoval) {
  // A stand-in for the running product, under the product's file name.
  std::wstring product = platform::JoinPath(work_, L"Tarnwick.exe");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), product));
  testsupport::MakeRunnable(product);
  Scenario("TW_FAKE_PACKAGE_SCENARIO", L"product.scenario", "sleep 1500\n");
  Utils::ChildProcess running;
  running.CreatePipes();
  running.Start(L"\"" + product + L"\"");
  ASSERT_NE(FindProcessByName(rules::kProductExeName), 0u);

  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  std::wstring oldEp = platform::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), oldEp));
  Scenario("TW_FAKE_UNINSTALL_SCENARIO", L"uninstall.scenario", "out State=Fail\n");
  Config().InsNew = true;

  EventRecorder events;
  {
    CDownloadInstaller driver(events.Callback(), L"", L"", L"", true, true, true);
    driver.SetParams(url_, L"", oldEp, installDir_, true, true, false, false, L"");
    driver.Start();  // returns only once the product has gone
    EXPECT_EQ(FindProcessByName(rules::kProductExeName), 0u);
    EXPECT_TRUE(platform::WaitForProcess(running.ProcessHandle(), 0));
    ASSERT_TRUE(events.WaitForAny(kChainEnds, std::chrono::seconds(120)));
  }
  EXPECT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_PROGRESS, UNIST_CODE_ERROR}));
  running.Close();
}

TEST_F(DriverTest, CleanUpAlsoRemovesThePackageLeftInTheFolderOfTheLastAttempt) {
  // The last clean-up is remembered for the whole process, across drivers.
  url_ = testsupport::FileUrl(platform::JoinPath(work_, L"none/0123456789abcdef0123456789abcdef/package.exe"));
  std::wstring leftOver = CDownloadInstaller::PackagePathFor(installDir_);
  EventRecorder first;
  Install(&first);  // fails; its clean-up has run when Install returns
  ASSERT_EQ(first.Codes().back(), DL_CODE_FAIL);
  // As if a package of that attempt had still been running at its clean-up.
  platform::CreateFolder(installDir_);
  testsupport::WriteFile(leftOver, "left behind");

  installDir_ = platform::JoinPath(work_, L"Second");
  EventRecorder second;
  Install(&second);
  ASSERT_EQ(second.Codes().back(), DL_CODE_FAIL);
  EXPECT_FALSE(platform::PathExists(leftOver));
}

TEST_F(DriverTest, NoWorkFolderForTheCopyReportsAMissingUninstaller) {
  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  std::wstring oldEp = platform::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), oldEp));

  // A temporary folder that does not exist: the work folder cannot be made.
  const char* variables[] = {"TMPDIR", "TMP", "TEMP"};
  std::vector<std::optional<std::wstring>> saved;
  for (const char* v : variables) {
    saved.push_back(platform::GetEnv(std::wstring(v, v + std::char_traits<char>::length(v))));
    testsupport::SetEnv(v, platform::JoinPath(work_, L"no such folder"));
  }
  EventRecorder events;
  Install(&events, oldEp);
  for (std::size_t i = 0; i < saved.size(); ++i) testsupport::SetEnv(variables[i], saved[i].value_or(L""));

  ASSERT_EQ(events.Codes(), (std::vector<std::int32_t>{UNIST_CODE_FAIL})) << Dump(events);
  EXPECT_DOUBLE_EQ(events.Events()[0].value, 1.0);
  EXPECT_EQ(events.Events()[0].text, L"可执行卸载文件不存在");
  EXPECT_EQ(testsupport::ReadFile(log_), "");  // nothing ran
}

TEST_F(DriverTest, UninstallerSuccessStartsTheDownloadEvenIfAnErrorFollows) {
  std::wstring oldDir = platform::JoinPath(work_, L"Old");
  platform::CreateFolder(oldDir);
  std::wstring oldEp = platform::JoinPath(oldDir, L"uninst.ep");
  ASSERT_TRUE(testsupport::CopyFile(testsupport::FakePackagePath(), oldEp));
  Scenario("TW_FAKE_UNINSTALL_SCENARIO", L"uninstall.scenario", "out State=Success\nsleep 500\nout Error=late\n");

  EventRecorder events;
  Install(&events, oldEp);  // ends at the late 5005; the download has begun
  ASSERT_TRUE(events.WaitForAny({DL_CODE_START}, std::chrono::seconds(120)));
  std::vector<std::int32_t> codes = events.Codes();
  EXPECT_LT(IndexOf(codes, UNIST_CODE_SUCCESS), IndexOf(codes, DL_CODE_START));
  EXPECT_EQ(events.Of(UNIST_CODE_ERROR).size(), 1u);
}
