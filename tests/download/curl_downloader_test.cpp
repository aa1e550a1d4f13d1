// CCurlDownloader against the loopback test server: event order, retry
// budget (with pauses counted, not slept), MD5 verdicts and restarts from
// inside the callback, as the install driver makes them.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "download/curl_downloader.h"
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

TEST_F(CurlDownloaderTest, VerifiedDownloadEndsInSuccess) {
  const std::int64_t size = 2000000;
  std::wstring dest = PathIn(L"pkg.exe");
  auto events = Run("/gen/" + std::to_string(size) + "/pkg.exe", dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
  EXPECT_EQ(events.front().value, 1.0);
  EXPECT_EQ(events.back().text, L"LibCurl");
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_PROGRESS) {
      EXPECT_GT(e.value, 0.0);
      EXPECT_LE(e.value, 1.0);
    }
  }
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(size));
}

TEST_F(CurlDownloaderTest, UrlWithoutMd5GivesANoticeThenSuccess) {
  std::wstring dest = PathIn(L"pkg.exe");
  auto events = Run("/f/1048576/not-an-md5/pkg.exe", dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_MD5) {
      EXPECT_EQ(e.text, L"curl获取url-md5失败");
    }
  }
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(1048576));
}

TEST_F(CurlDownloaderTest, Md5MismatchAsksForOneRetryThenFails) {
  // A different digest and the right digest in upper case both mismatch.
  for (const char* md5 : {"0123456789abcdef0123456789abcdef", "upper"}) {
    SCOPED_TRACE(md5);
    std::wstring dest = PathIn(L"pkg.exe");
    std::string key = Key();
    auto events = Run("/gen/1048576/pkg.exe?md5=" + std::string(md5) + "&key=" + key, dest, 2);
    EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY, DL_CODE_START, DL_CODE_MD5,
                                      DL_CODE_FAIL}));
    for (const RecordedEvent& e : events) {
      if (e.code == DL_CODE_MD5) {
        EXPECT_EQ(e.text, L"curl文件md5校验失败");
      }
      if (e.code == DL_CODE_RETRY || e.code == DL_CODE_FAIL) {
        EXPECT_EQ(e.value, 0.0);
        EXPECT_EQ(e.text, L"LibCurl");
      }
    }
    // The rerun fetched the body again (the probes are not repeated).
    EXPECT_EQ(Stats(key).get, 2);
  }
}

TEST_F(CurlDownloaderTest, EmptyDestinationFailsAtOnce) {
  std::string key = Key();
  auto events = Run("/gen/1048576/pkg.exe?key=" + key, L"");
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_EQ(events[1].value, 1.0);
  EXPECT_EQ(events[1].text, L"");
  EXPECT_EQ(Stats(key).head, 0);
}

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
      {"fault=status&code=404", 22.0, 6},
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

TEST_F(CurlDownloaderTest, DestroyingMidTransferStopsAndJoinsTheWorker) {
  EventRecorder events;
  DownloadTuning tuning;  // the product's limits: the drip would hold for a minute
  auto downloader = std::make_unique<CCurlDownloader>(events.Callback(), Url("/gen/2000000/pkg.exe?fault=drip"),
                                                      PathIn(L"pkg.exe"), tuning);
  downloader->Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  downloader.reset();
  Codes codes = CodesOf(events.Events());
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), DL_CODE_START);
  EXPECT_EQ(codes.size(), 1u) << "no event after destruction began";
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
