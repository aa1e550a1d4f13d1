// CMTCurlDownloader against the loopback test server: ranges, joining,
// resumption across the driver's restart, MD5 verdicts, part failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "download/download_failure.h"
#include "download/md5.h"
#include "download/mt_curl_downloader.h"
#include "platform/files.h"
#include "test_server.h"

namespace {

using Codes = std::vector<std::int32_t>;

class MTCurlDownloaderTest : public HttpServerTest {
 protected:
  DownloadTuning Quick() {
    DownloadTuning tuning;
    tuning.connectTimeoutSeconds = 5;
    tuning.partLowSpeedSeconds = 2;
    tuning.probeTimeoutSeconds = 5;
    tuning.sleep = pauses_.Function();
    return tuning;
  }
  std::vector<RecordedEvent> Run(const std::string& path, const std::wstring& dest, int ends = 1,
                                 bool restartOnRetry = true) {
    EventRecorder events;
    return RunToEnd(events, std::make_unique<CMTCurlDownloader>(events.Callback(), Url(path), dest, Quick()), ends,
                    restartOnRetry);
  }
  PauseCounter pauses_;
};

TEST_F(MTCurlDownloaderTest, TwentyMebibytesComeInTwoRangesAndAreJoined) {
  const std::int64_t size = 20971520;
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/gen/" + std::to_string(size) + "/pkg.exe?key=" + key, dest);
  EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(size));
  EXPECT_FALSE(platform::FileExists(CMTCurlDownloader::GetPartPath(dest, 0)));
  EXPECT_FALSE(platform::FileExists(CMTCurlDownloader::GetPartPath(dest, 1)));
  std::vector<std::string> ranges = Stats(key).ranges;
  std::sort(ranges.begin(), ranges.end());
  EXPECT_EQ(ranges, (std::vector<std::string>{"bytes=0-10485759", "bytes=10485760-20971519"}));
  double last = 0.0;
  for (const RecordedEvent& e : events) {
    if (e.code != DL_CODE_PROGRESS) continue;
    EXPECT_GE(e.value - last, 0.01 - 1e-12);  // whole percentage points, rising
    EXPECT_LE(e.value, 1.0);
    last = e.value;
  }
}

TEST_F(MTCurlDownloaderTest, SmallFileIsOneRangeAndAMissingMd5GivesANotice) {
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/f/1000/no-md5-here/pkg.exe?key=" + key, dest);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_MD5) {
      EXPECT_EQ(e.text, L"mtcurl获取url-md5失败");
    }
  }
  EXPECT_EQ(Stats(key).ranges, (std::vector<std::string>{"bytes=0-999"}));
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(1000));
}

TEST_F(MTCurlDownloaderTest, ProbeFailuresEndInFailWithTheirCauseAndWithoutAnyPart) {
  struct Case {
    const char* path;
    double value;
  } cases[] = {
      {"/gen/255/pkg.exe", kFailNoLength},
      {"/gen/4096/pkg.exe?fault=status&code=404&on=head", 404},
      {"/gen/4096/pkg.exe?fault=idle&on=head", CURLE_OPERATION_TIMEDOUT},
      {"/loop/pkg.exe", CURLE_TOO_MANY_REDIRECTS},
      {"/fileredir/pkg.exe", kFailForbiddenRedirect},
      {"/gen/4096/pkg.exe?fault=neglength&on=head", kFailBadLength},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string key = Key();
    std::string full = std::string(c.path) + (std::strchr(c.path, '?') ? "&key=" : "?key=") + key;
    auto events = Run(full, PathIn(L"pkg.exe"));
    ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(events.back().value, c.value);
    EXPECT_EQ(Stats(key).get, 0);
  }
}

// The events of a mismatch are the contract's (downloader_contract_test).
TEST_F(MTCurlDownloaderTest, RerunAfterAnMd5MismatchStartsFromZero) {
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/gen/5000/pkg.exe?md5=0123456789abcdef0123456789abcdef&key=" + key, dest, 2);
  EXPECT_EQ(CodesOf(events).back(), DL_CODE_FAIL);
  EXPECT_FALSE(platform::FileExists(dest));
  EXPECT_EQ(Stats(key).ranges, (std::vector<std::string>{"bytes=0-4999", "bytes=0-4999"}));
}

TEST_F(MTCurlDownloaderTest, FailingPartRetriesSevenTimesThenAsksTheDriver) {
  std::string key = Key();
  std::wstring dest = PathIn(L"pkg.exe");
  auto events = Run("/gen/5000/pkg.exe?fault=status&code=404&key=" + key, dest, 2);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_FAIL}));
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_RETRY || e.code == DL_CODE_FAIL) {
      EXPECT_EQ(e.value, 404.0);
    }
  }
  EXPECT_EQ(Stats(key).get, 14);  // 7 attempts per run
  EXPECT_FALSE(platform::FileExists(CMTCurlDownloader::GetPartPath(dest, 0)));
}

TEST_F(MTCurlDownloaderTest, PartsResumeAfterInterruptionsAndTransientErrors) {
  struct Case {
    const char* query;
  } cases[] = {{"fault=status&code=503&times=3"}, {"fault=reset&times=1&at=3000"}, {"fault=truncate&times=2"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    std::wstring dest = PathIn(L"pkg.exe");
    std::string key = Key();
    auto events = Run("/gen/2000000/pkg.exe?" + std::string(c.query) + "&key=" + key, dest);
    EXPECT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(GetFileMd5(dest), BodyMd5(2000000));
  }
}

TEST_F(MTCurlDownloaderTest, RunThatRanOutOfAttemptsIsResumedByTheDriversRestart) {
  // Thirteen truncated answers (code 18) use up the part's attempts; the rerun keeps what
  // is on disk (once progress was reported) and completes the file.
  std::wstring dest = PathIn(L"pkg.exe");
  std::string key = Key();
  auto events = Run("/gen/2000000/pkg.exe?fault=truncate&times=13&key=" + key, dest, 2);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_SUCCESS}));
  bool progressBeforeRetry = false;
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_RETRY) {
      EXPECT_EQ(e.value, 18.0);
      break;
    }
    progressBeforeRetry = progressBeforeRetry || e.code == DL_CODE_PROGRESS;
  }
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(2000000));
  std::vector<std::string> ranges = Stats(key).ranges;
  ASSERT_EQ(ranges.size(), 14u);
  // Reported progress keeps the part file: the rerun asks only for the rest.
  EXPECT_EQ(ranges[13] != "bytes=0-1999999", progressBeforeRetry) << ranges[13];
}

TEST_F(MTCurlDownloaderTest, AnswerOfAnotherRangeIsNeverStoredAndTheFinalFailureLeavesNoPart) {
  // The whole file (200) or a range from 0 (206) for every part: as part
  // 1 those bytes would corrupt the package.
  const std::int64_t size = 20971520;
  struct Case {
    const char* fault;
    double value;
  } cases[] = {
      {"norange", kFailRangeIgnored},
      {"zerostart", kFailRangeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    std::wstring dest = PathIn(L"pkg.exe");
    auto events = Run("/gen/" + std::to_string(size) + "/pkg.exe?fault=" + c.fault, dest, 2);
    ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(events.back().value, c.value);
    EXPECT_FALSE(platform::FileExists(dest));
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(platform::FileExists(CMTCurlDownloader::GetPartPath(dest, i))) << i;
  }
}

TEST_F(MTCurlDownloaderTest, StalledPartEndsWithCode28) {
  std::string key = Key();
  auto events = Run("/gen/5000/pkg.exe?fault=drip&key=" + key, PathIn(L"pkg.exe"), 1, /*restartOnRetry=*/false);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_RETRY}));
  EXPECT_EQ(events.back().value, 28.0);
}

TEST_F(MTCurlDownloaderTest, EndlessBodyIsCutAtThePartsEnd) {
  std::wstring dest = PathIn(L"pkg.exe");
  auto events = Run("/gen/5000/pkg.exe?fault=endless", dest, 1, /*restartOnRetry=*/false);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_RETRY}));
  EXPECT_EQ(events.back().value, static_cast<double>(CURLE_WRITE_ERROR));
  EXPECT_LE(platform::FileSize(CMTCurlDownloader::GetPartPath(dest, 0)), 5000);
}

}  // namespace
