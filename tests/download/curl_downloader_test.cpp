// CCurlDownloader against the loopback test server: event order, retry
// budget (with pauses counted, not slept), MD5 verdicts and restarts from
// inside the callback, as the install driver makes them.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "download/curl_downloader.h"
#include "download/download_failure.h"
#include "download/md5.h"
#include "platform/files.h"
#include "test_server.h"

namespace {

using Codes = std::vector<std::int32_t>;

class CurlDownloaderTest : public HttpServerTest {
 protected:
  DownloadTuning Quick() {
    DownloadTuning tuning;
    tuning.connectTimeoutSeconds = 5;
    tuning.streamLowSpeedSeconds = 2;
    tuning.probeTimeoutSeconds = 5;
    tuning.sleep = pauses_.Function();
    return tuning;
  }
  // Runs one download to its end, restarting on RETRY like the driver.
  std::vector<RecordedEvent> Run(const std::string& path, const std::wstring& dest, int ends = 1) {
    EventRecorder events;
    return RunToEnd(events, std::make_unique<CCurlDownloader>(events.Callback(), Url(path), dest, Quick()), ends);
  }
  PauseCounter pauses_;
};

TEST_F(CurlDownloaderTest, ServiceUnavailableAFewTimesThenSuccess) {
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/gen/1048576/pkg.exe?fault=status&code=503&times=3&key=" + key, dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
  EXPECT_EQ(Stats(key).get, 4);
  EXPECT_EQ(pauses_.Pauses(), (std::vector<std::uint32_t>{500, 500, 500}));
}

TEST_F(CurlDownloaderTest, AttemptsRunOutAfterSixFailuresOrTwelvePartialFiles) {
  struct Case {
    const char* query;
    double code;
    int attempts;
  } cases[] = {
      {"fault=status&code=404", 404.0, 6},
      // Headers promise the length, the body never comes: 18 each time.
      {"fault=truncate&at=0", 18.0, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    pauses_.pauses.clear();
    std::string key = Key();
    auto events = Run("/gen/1048576/pkg.exe?" + std::string(c.query) + "&key=" + key, PathIn(L"pkg.exe"));
    ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(events.back().value, c.code);
    EXPECT_EQ(events.back().text, L"LibCurl");
    EXPECT_EQ(Stats(key).get, c.attempts);
    EXPECT_EQ(pauses_.Pauses().size(), static_cast<size_t>(c.attempts - 1));
  }
}

TEST_F(CurlDownloaderTest, ResetMidBodyIsResumedByTheNextAttempt) {
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/gen/2000000/pkg.exe?fault=reset&times=1&key=" + key, dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
  ServerStats stats = Stats(key);
  ASSERT_EQ(stats.get, 2);
  EXPECT_NE(stats.ranges[1], "");
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(2000000));
}

TEST_F(CurlDownloaderTest, CutBodyWhoseResumeIsAnsweredFromZeroIsFetchedAgainWhole) {
  // No MD5 in the URL to catch it: only the range check and the length do.
  const std::int64_t size = 2000000;
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/f/" + std::to_string(size) + "/no-md5/pkg.exe?fault=truncate&times=1&then=zerostart&key=" +
                        key,
                    dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  EXPECT_EQ(platform::FileSize(dest), size);
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(size));
  ServerStats stats = Stats(key);
  // Cut, refused resume, then the whole body from zero.
  EXPECT_EQ(stats.ranges, (std::vector<std::string>{"", "bytes=" + std::to_string(size / 2) + "-", ""}));
}

TEST_F(CurlDownloaderTest, AttemptsAreAnnouncedAndASilentServerEndsInAClearFailure) {
  DownloadTuning tuning = Quick();
  tuning.probeTimeoutSeconds = 1;
  tuning.silentServerLimitSeconds = 2.5;
  std::string key = Key();
  EventRecorder events;
  auto all = RunToEnd(events,
                      std::make_unique<CCurlDownloader>(
                          events.Callback(), Url("/gen/1048576/pkg.exe?fault=idle&on=all&key=" + key),
                          PathIn(L"pkg.exe"), tuning),
                      1);
  ASSERT_EQ(CodesOf(all), (Codes{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_EQ(all.back().value, static_cast<double>(kFailNoAnswer));
  // Silent attempts of about a second each pass the limit after three or
  // so, long before the budget's six.
  std::vector<RecordedEvent> statuses = StatusesOf(all);
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_LT(statuses.size(), 6u);
  EXPECT_EQ(statuses[0].text, L"正在连接下载服务器（第1/6次）...");
  for (size_t i = 0; i < statuses.size(); ++i) {
    EXPECT_EQ(statuses[i].value, static_cast<double>(i + 1));
    if (i > 0) {
      EXPECT_EQ(statuses[i].text, L"下载服务器无应答，正在重试（第" + std::to_wstring(i + 1) + L"/6次）...");
    }
  }
  EXPECT_EQ(Stats(key).get, 0);
}

TEST_F(CurlDownloaderTest, StartFromOutsideWaitsForThePreviousRun) {
  EventRecorder events;
  CCurlDownloader downloader(events.Callback(), Url("/f/1048576/no-md5/pkg.exe"), PathIn(L"pkg.exe"), Quick());
  downloader.Start();
  downloader.Start();
  ASSERT_TRUE(events.WaitForEnds(2));
  EXPECT_EQ(events.Codes(), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS, DL_CODE_START, DL_CODE_MD5,
                                   DL_CODE_SUCCESS}));
}

}  // namespace
