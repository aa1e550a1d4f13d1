// WinHttpDownloader (DownloadType 2) against the loopback package server:
// natively through the libcurl stand-in, under Wine through WinHTTP.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>

#include "download/download_failure.h"
#include "download/md5.h"
#include "download/winhttp_downloader.h"
#include "download/winhttp_test_support.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

using tw_test::Event;
using Codes = std::vector<std::int32_t>;

const wchar_t kText[] = L"WinHttp";
const wchar_t kNoUrlMd5[] = L"winhttp获取url-md5失败";
const wchar_t kMd5Mismatch[] = L"winhttp文件md5校验失败";
constexpr int kSize = 300000;

class WinHttpDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = tw_test::PortFromFile(kPackageServerPortFile);
    ASSERT_NE(port_, 0) << "the package server fixture did not run";
    path_ = platform::JoinPath(platform::TempPath(),
                               L"tw-winhttp-dl-" + std::to_wstring(platform::CurrentProcessId()) + L".exe");
    platform::DeleteFileAt(path_);
    platform::DeleteFileAt(path_ + L".part");
  }
  void TearDown() override {
    platform::DeleteFileAt(path_);
    platform::DeleteFileAt(path_ + L".part");
  }

  std::wstring Url(const std::wstring& pathAndQuery) const { return tw_test::LoopbackUrl(port_, pathAndQuery); }

  // Runs one download to its first final event.
  std::vector<Event> Download(const std::wstring& url, const std::wstring& path) {
    tw_test::EventLog log;
    WinHttpDownloader downloader(log.Callback(), url, path);
    downloader.Start();
    EXPECT_TRUE(log.WaitForEnds(1)) << "the download never ended";
    return log.Events();
  }

  static Codes CodesOf(const std::vector<Event>& events) {
    Codes codes;
    for (const Event& e : events) {
      if (e.code == DL_CODE_STATUS) continue;  // a notice, checked on its own
      if (e.code == DL_CODE_PROGRESS && !codes.empty() && codes.back() == DL_CODE_PROGRESS) continue;
      codes.push_back(e.code);
    }
    return codes;
  }

  void ExpectNoFileLeft() {
    EXPECT_FALSE(platform::PathExists(path_)) << "a failed body must not stay as the package";
    EXPECT_FALSE(platform::PathExists(path_ + L".part"));
  }

  static constexpr const wchar_t* kPackageServerPortFile = L"http-test-server.port";
  int port_ = 0;
  std::wstring path_;
};

TEST_F(WinHttpDownloaderTest, FollowsRedirectsReportsProgressAndReplacesAnOldFile) {
  ASSERT_TRUE(tw_test::WriteFileBytes(path_, std::string(kSize + 5000, 'o')));
  ASSERT_TRUE(tw_test::WriteFileBytes(path_ + L".part", "left over by an earlier run"));
  const std::vector<Event> events = Download(Url(L"/gen/300000/setup.exe"), path_);

  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_PROGRESS, DL_CODE_SUCCESS}));
  EXPECT_EQ(events.front().value, 1.0);
  EXPECT_EQ(events.front().text, L"");
  EXPECT_EQ(events.back().value, 0.0);
  EXPECT_EQ(events.back().text, kText);
  double previous = 0.0;
  for (const Event& e : events) {
    if (e.code != DL_CODE_PROGRESS) continue;
    EXPECT_GT(e.value, previous);
    EXPECT_LE(e.value, 1.0);
    previous = e.value;
  }
  // SUCCESS also means the MD5 of the final URL matched.
  EXPECT_EQ(platform::FileSize(path_), kSize) << "old content must be gone, not prefixed";
  EXPECT_FALSE(platform::PathExists(path_ + L".part"));
}

TEST_F(WinHttpDownloaderTest, BadAnswersFailAndLeaveNoPackage) {
  struct Case {
    const wchar_t* name;
    std::wstring query;
    double value;
  } cases[] = {
      {L"not found", L"?fault=status&code=404", 404.0},
      {L"server error", L"?fault=status&code=500", 500.0},
      {L"no length", L"?fault=nolength", kFailNoLength},
      {L"cut short", L"?fault=truncate", kFailLengthMismatch},
      {L"length that lies", L"?fault=lie", kFailLengthMismatch},
  };
  for (const Case& c : cases) {
    // An earlier file at the destination must not survive as the package.
    ASSERT_TRUE(tw_test::WriteFileBytes(path_, "old package"));
    const std::vector<Event> events = Download(Url(L"/gen/300000/setup.exe" + c.query), path_);
    ASSERT_FALSE(events.empty()) << c.name;
    EXPECT_EQ(events.front().code, DL_CODE_START) << c.name;
    EXPECT_EQ(events.back().code, DL_CODE_FAIL) << c.name;
    EXPECT_EQ(events.back().value, c.value) << c.name;
    EXPECT_EQ(events.back().text, kText) << c.name;
    ExpectNoFileLeft();
  }
}

TEST_F(WinHttpDownloaderTest, NothingToFetchFailsAtOnce) {
  struct Case {
    const wchar_t* name;
    std::wstring url;
    bool emptyPath;
    double value;  // < 0: any non-zero value
    const wchar_t* text;
  } cases[] = {
      {L"empty destination path", Url(L"/gen/4096/setup.exe"), true, 1.0, L""},
      {L"empty URL", L"", false, WinHttpFailure(3), kText},
      {L"refused connection", L"http://127.0.0.1:1/setup.exe", false, -1.0, kText},
  };
  for (const Case& c : cases) {
    const std::vector<Event> events = Download(c.url, c.emptyPath ? std::wstring() : path_);
    ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL})) << c.name;
    if (c.value >= 0) {
      EXPECT_EQ(events.back().value, c.value) << c.name;
    } else {
      EXPECT_NE(events.back().value, 0.0) << c.name;
    }
    EXPECT_EQ(events.back().text, c.text) << c.name;
    ExpectNoFileLeft();
  }
}

// A package is a program that will run: a server that cannot prove who it
// is gets no say in it, although the transfer itself would go through.
TEST_F(WinHttpDownloaderTest, AnUntrustedCertificateFailsTheDownload) {
  const int tlsPort = tw_test::PortFromFile(L"winhttp-pages.port", 2);
  ASSERT_NE(tlsPort, 0) << "the page server fixture did not run";
  const std::vector<Event> events =
      Download(L"https://127.0.0.1:" + std::to_wstring(tlsPort) + L"/plain", path_);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_NE(events.back().value, 0.0);
  EXPECT_EQ(events.back().text, kText);
  ExpectNoFileLeft();
}

}  // namespace
