// CurlClient against the loopback test server: one Start() is one attempt.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "download/curl_client.h"
#include "download/download_failure.h"
#include "download/md5.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "test_server.h"

namespace {

struct ProgressLog {
  std::mutex mutex;
  std::vector<double> percentages;
  static void Record(void* owner, double speed, double reserved, double percentage) {
    auto* log = static_cast<ProgressLog*>(owner);
    std::lock_guard<std::mutex> lock(log->mutex);
    log->percentages.push_back(percentage);
  }
};

class CurlClientTest : public HttpServerTest {
 protected:
  // Short limits so that a stalled server ends an attempt in seconds.
  static DownloadTuning Quick() {
    DownloadTuning tuning;
    tuning.connectTimeoutSeconds = 5;
    tuning.streamLowSpeedSeconds = 2;
    tuning.probeTimeoutSeconds = 2;
    tuning.overrunMarginBytes = 65536;
    return tuning;
  }
  std::string Gen(std::int64_t size, const std::string& key, const std::string& query = "") {
    return "/gen/" + std::to_string(size) + "/pkg.exe?key=" + key + query;
  }
};

TEST_F(CurlClientTest, RefusesFilesBelowOneMebibyteWithoutRequestingTheBody) {
  struct Case {
    std::int64_t size;
    std::string query;
    int expected;
  } cases[] = {
      {1048575, "", kClientNoLength},
      {1048576, "", 0},
      {4194304, "&fault=nolength&on=all", kClientNoLength},
      // The probe's own answer names the cause.
      {4194304, "&fault=status&code=404&on=all", 404},
      {4194304, "&fault=neglength&on=all", kFailBadLength},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + c.query);
    std::string key = Key();
    std::wstring dest = PathIn(L"pkg" + std::to_wstring(c.size) + L".exe");
    WriteAll(dest, "an older file that a successful download replaces");
    CurlClient client(Url(Gen(c.size, key, c.query)), dest, nullptr, nullptr, Quick());
    EXPECT_EQ(client.Start(), c.expected);
    ServerStats stats = Stats(key);
    if (c.expected != 0) {
      EXPECT_EQ(stats.get, 0);
      continue;
    }
    EXPECT_EQ(GetFileMd5(dest), BodyMd5(c.size));
    EXPECT_FALSE(platform::FileExists(client.GetFilePath(true)));
    EXPECT_EQ(GetUrlMd5(client.RealUrl()), BodyMd5(c.size)) << client.RealUrl();
    EXPECT_EQ(client.FileLength(), static_cast<double>(c.size));
  }
}

TEST_F(CurlClientTest, InterruptedAttemptIsResumedAndProgressCountsTheResumedBytes) {
  const std::int64_t size = 3000000;
  const char* faults[] = {"truncate", "reset", "lie"};
  for (const char* fault : faults) {
    SCOPED_TRACE(fault);
    std::string key = Key();
    std::wstring dest = PathIn(L"resume-" + std::wstring(fault, fault + std::strlen(fault)) + L".exe");
    ProgressLog progress;
    CurlClient client(Url(Gen(size, key, std::string("&fault=") + fault + "&times=1&at=1200000")), dest, &progress,
                      ProgressLog::Record, Quick());
    int first = client.Start();
    EXPECT_NE(first, 0);
    std::int64_t partial = platform::FileSize(client.GetFilePath(true));
    EXPECT_GT(partial, 0);
    {
      std::lock_guard<std::mutex> lock(progress.mutex);
      progress.percentages.clear();
    }
    // Progress is evaluated once per calendar second; let the next second begin.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(client.Start(), 0);
    EXPECT_EQ(client.ResumeOffset(), partial);
    EXPECT_EQ(GetFileMd5(dest), BodyMd5(size));
    EXPECT_EQ(client.Digest(), BodyMd5(size)) << "hashed while arriving, resumed prefix included";
    ServerStats stats = Stats(key);
    if (partial == size) {
      // A length that lied: the whole body came with the first attempt, so
      // the second only moves it into place.
      EXPECT_EQ(stats.get, 1);
      continue;
    }
    ASSERT_EQ(stats.get, 2);
    EXPECT_EQ(stats.ranges[0], "");
    EXPECT_EQ(stats.ranges[1], "bytes=" + std::to_string(partial) + "-");
    std::lock_guard<std::mutex> lock(progress.mutex);
    ASSERT_FALSE(progress.percentages.empty());
    // The first report may come before any new byte: exactly the resumed
    // share, computed in another order, so allow for the last bit.
    EXPECT_GE(progress.percentages.front(), partial * 100.0 / size - 1e-9);
  }
}

TEST_F(CurlClientTest, FailuresEndTheAttemptWithTheirOwnValues) {
  struct Case {
    std::string path;
    int expected;
    bool keepsPartialFile;
  } cases[] = {
      // The probes pass, the body request fails: its status, partial file kept.
      {"/gen/2000000/pkg.exe?fault=status&code=404", 404, true},
      {"/gen/2000000/pkg.exe?fault=status&code=503", 503, true},
      // A body slower than 1 byte/s for the (shortened) limit: 28.
      {"/gen/2000000/pkg.exe?fault=drip", 28, true},
      // Headers never come: the probe gives up (no fallback probes on a
      // silent server), no body request.
      {"/gen/2000000/pkg.exe?fault=idle&on=all", CURLE_OPERATION_TIMEDOUT, false},
      // Headers of the body never come: the stall limit ends it.
      {"/gen/2000000/pkg.exe?fault=idle", 28, true},
      {"/loop/pkg.exe", CURLE_TOO_MANY_REDIRECTS, false},
      {"/fileredir/pkg.exe", kFailForbiddenRedirect, false},
      {"/gen/2000000/pkg.exe?fault=hugeheader&on=all", kFailHeaderTooLarge, false},
      // The probe announced more than the body brings: not complete.
      {"/gen/2000000/pkg.exe?fault=lie&on=head", kFailLengthMismatch, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::wstring dest = PathIn(L"fail.exe");
    CurlClient client(Url(c.path), dest, nullptr, nullptr, Quick());
    EXPECT_EQ(client.Start(), c.expected);
    EXPECT_FALSE(platform::FileExists(dest));
    EXPECT_EQ(platform::FileExists(client.GetFilePath(true)), c.keepsPartialFile);
  }
}

TEST_F(CurlClientTest, ResumeAnsweredWithOtherBytesIsRefusedAndRestartsFromZero) {
  // Half the file lies on disk from a cut attempt; the server answers the
  // resume with the whole file (200) or with a range from 0 (206).
  const std::int64_t size = 2000000;
  struct Case {
    const char* fault;
    int expected;
  } cases[] = {
      {"norange", kFailRangeIgnored},
      {"zerostart", kFailRangeMismatch},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    std::string key = Key();
    std::wstring dest = PathIn(L"resume-" + std::wstring(c.fault, c.fault + std::strlen(c.fault)) + L".exe");
    CurlClient client(Url(Gen(size, key, std::string("&fault=") + c.fault)), dest, nullptr, nullptr, Quick());
    std::string body;
    {
      // The server's own first half, so that only the answer is wrong.
      CurlClient whole(Url(Gen(size, Key())), PathIn(L"whole.exe"), nullptr, nullptr, Quick());
      ASSERT_EQ(whole.Start(), 0);
      body = ReadAll(whole.GetFilePath(false));
    }
    WriteAll(client.GetFilePath(true), body.substr(0, static_cast<size_t>(size / 2)));
    EXPECT_EQ(client.Start(), c.expected);
    EXPECT_FALSE(platform::FileExists(dest));
    EXPECT_FALSE(platform::FileExists(client.GetFilePath(true))) << "nothing left to resume from";
    // From zero the answer is the whole file, as asked.
    EXPECT_EQ(client.Start(), 0);
    EXPECT_TRUE(ReadAll(dest) == body) << "the file is not the server's";
    ServerStats stats = Stats(key);
    ASSERT_EQ(stats.ranges.size(), 2u);
    EXPECT_EQ(stats.ranges[0], "bytes=" + std::to_string(size / 2) + "-");
    EXPECT_EQ(stats.ranges[1], "");
  }
}

TEST_F(CurlClientTest, EndlessBodyIsCutAtTheProbedLengthPlusTheMargin) {
  const std::int64_t size = 1048576;
  std::wstring dest = PathIn(L"endless.exe");
  DownloadTuning tuning = Quick();
  CurlClient client(Url(Gen(size, Key(), "&fault=endless")), dest, nullptr, nullptr, tuning);
  int result = client.Start();
  EXPECT_TRUE(result == CURLE_WRITE_ERROR || result == CURLE_FILESIZE_EXCEEDED) << result;
  EXPECT_LE(platform::FileSize(client.GetFilePath(true)), size + tuning.overrunMarginBytes);
  EXPECT_FALSE(platform::FileExists(dest));
}

TEST_F(CurlClientTest, HundredKilobyteHeaderIsAccepted) {
  std::wstring dest = PathIn(L"header.exe");
  CurlClient client(Url(Gen(1048576, Key(), "&fault=hugeheader&header=100000&on=all")), dest, nullptr, nullptr,
                    Quick());
  EXPECT_EQ(client.Start(), 0);
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(1048576));
}

TEST_F(CurlClientTest, LocalFileUrlIsMeasuredByTheUrlProbe) {
  std::string bytes(1048576, 'x');
  std::wstring source = PathIn(L"source.bin");
  WriteAll(source, bytes);
  std::wstring url = L"file://";
  if (source.front() != L'/') url += L'/';
  for (wchar_t ch : source) url += (ch == L'\\' ? L'/' : ch);
  std::wstring dest = PathIn(L"copy.exe");
  CurlClient client(url, dest, nullptr, nullptr, Quick());
  EXPECT_EQ(client.Start(), 0);
  EXPECT_EQ(ReadAll(dest), bytes);
}

TEST_F(CurlClientTest, BodyThatCannotBeMovedIntoPlaceIsAFailedAttempt) {
  // The destination is a folder holding a file: neither deleted nor replaced.
  std::wstring dest = PathIn(L"occupied.exe");
  ASSERT_TRUE(platform::CreateFolder(dest));
  std::wstring inside = platform::JoinPath(dest, L"keep.txt");
  WriteAll(inside, "x");
  CurlClient client(Url("/gen/1048576/pkg.exe"), dest, nullptr, nullptr, Quick());
  EXPECT_EQ(client.Start(), kClientRenameFailed);
  EXPECT_EQ(platform::FileSize(client.GetFilePath(true)), 1048576);
  platform::DeleteFileAt(inside);
  platform::RemoveEmptyFolder(dest);
  // The next attempt finds the body complete and only moves it.
  EXPECT_EQ(client.Start(), 0);
  EXPECT_EQ(GetFileMd5(dest), BodyMd5(1048576));
}

TEST_F(CurlClientTest, DestructorRemovesThePartialFile) {
  std::wstring dest = PathIn(L"gone.exe");
  std::wstring part;
  {
    CurlClient client(Url("/gen/2000000/pkg.exe?fault=truncate"), dest, nullptr, nullptr, Quick());
    EXPECT_EQ(client.Start(), CURLE_PARTIAL_FILE);
    part = client.GetFilePath(true);
    EXPECT_EQ(platform::FileSize(part), 1000000);
    EXPECT_TRUE(platform::FileExists(part));
  }
  EXPECT_FALSE(platform::FileExists(part));
}

}  // namespace
