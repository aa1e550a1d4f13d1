// The CDownloader contract, once for each of the three downloaders
// (single-stream, segmented, WinHTTP) against the loopback package server:
// the events that start and end a run, the MD5 verdict with its one retry
// (the restart made from inside the callback, as the install driver makes
// it), the failure value of a refused request, and a destruction in the
// middle of a transfer after which nothing is reported and nothing is left.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "download/curl_downloader.h"
#include "download/download_failure.h"
#include "download/md5.h"
#include "download/mt_curl_downloader.h"
#include "download/winhttp_downloader.h"
#include "platform/files.h"
#include "test_server.h"

namespace {

using Codes = std::vector<std::int32_t>;

DownloadTuning Quick() {
  DownloadTuning tuning;
  tuning.connectTimeoutSeconds = 5;
  tuning.streamLowSpeedSeconds = 2;
  tuning.partLowSpeedSeconds = 2;
  tuning.probeTimeoutSeconds = 5;
  tuning.sleep = [](std::uint32_t) {};
  return tuning;
}

// What differs between the downloaders: how one is made, and the text of
// its events and of its MD5 notices.
struct SingleStream {
  static std::unique_ptr<CDownloader> Make(EventCallback callback, const std::wstring& url, const std::wstring& path) {
    return std::make_unique<CCurlDownloader>(std::move(callback), url, path, Quick());
  }
  static constexpr const wchar_t* kText = L"LibCurl";
  static constexpr const wchar_t* kNoMd5 = L"curl获取url-md5失败";
  static constexpr const wchar_t* kMismatch = L"curl文件md5校验失败";
};

struct Segmented {
  static std::unique_ptr<CDownloader> Make(EventCallback callback, const std::wstring& url, const std::wstring& path) {
    return std::make_unique<CMTCurlDownloader>(std::move(callback), url, path, Quick());
  }
  static constexpr const wchar_t* kText = L"LibCurl";
  static constexpr const wchar_t* kNoMd5 = L"mtcurl获取url-md5失败";
  static constexpr const wchar_t* kMismatch = L"mtcurl文件md5校验失败";
};

struct WinHttp {
  static std::unique_ptr<CDownloader> Make(EventCallback callback, const std::wstring& url, const std::wstring& path) {
    return std::make_unique<WinHttpDownloader>(std::move(callback), url, path);
  }
  static constexpr const wchar_t* kText = L"WinHttp";
  static constexpr const wchar_t* kNoMd5 = L"winhttp获取url-md5失败";
  static constexpr const wchar_t* kMismatch = L"winhttp文件md5校验失败";
};

template <typename Kind>
class DownloaderContract : public HttpServerTest {
 protected:
  // Runs until `ends` runs have ended, restarting on RETRY like the driver.
  std::vector<RecordedEvent> Run(const std::string& path, const std::wstring& dest, int ends) {
    EventRecorder events;
    return RunToEnd(events, Kind::Make(events.Callback(), Url(path), dest), ends);
  }
  // Nothing of the download engine's temporary files is left beside `dest`.
  void ExpectNoTemporaryFile(const std::wstring& dest) {
    for (const wchar_t* suffix : {L".part", L"_0", L"_1"}) {
      EXPECT_FALSE(platform::FileExists(dest + suffix));
    }
  }
};

using Kinds = ::testing::Types<SingleStream, Segmented, WinHttp>;
class KindNames {
 public:
  template <typename T>
  static std::string GetName(int) {
    if (std::is_same<T, SingleStream>::value) return "SingleStream";
    if (std::is_same<T, Segmented>::value) return "Segmented";
    return "WinHttp";
  }
};
TYPED_TEST_SUITE(DownloaderContract, Kinds, KindNames);

TYPED_TEST(DownloaderContract, VerifiedDownloadEndsInSuccessWithTheWholeFile) {
  const std::int64_t size = 2000000;
  std::wstring dest = this->PathIn(L"pkg.exe");
  auto events = this->Run("/gen/" + std::to_string(size) + "/pkg.exe", dest, 1);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_SUCCESS}));
  EXPECT_EQ(events.front().value, 1.0);
  EXPECT_EQ(events.back().value, 0.0);
  EXPECT_EQ(events.back().text, TypeParam::kText);
  double last = 0.0;
  for (const RecordedEvent& e : events) {
    if (e.code != DL_CODE_PROGRESS) continue;
    EXPECT_GE(e.value, last);
    EXPECT_LE(e.value, 1.0);
    last = e.value;
  }
  EXPECT_EQ(GetFileMd5(dest), this->BodyMd5(size));
  this->ExpectNoTemporaryFile(dest);
}

TYPED_TEST(DownloaderContract, StatusSaysWhatTheDownloadDoesBeforeAnyProgress) {
  auto events = this->Run("/gen/1048576/pkg.exe", this->PathIn(L"pkg.exe"), 1);
  std::vector<RecordedEvent> statuses = StatusesOf(events);
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front().value, 1.0);
  EXPECT_EQ(statuses.front().text.rfind(L"正在连接下载服务器（第1/", 0), 0u);
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_PROGRESS) {
      FAIL() << "progress came before the status";
    }
    if (e.code == DL_CODE_STATUS) break;
  }
}

TYPED_TEST(DownloaderContract, UrlWithoutMd5GivesANoticeThenSuccess) {
  std::wstring dest = this->PathIn(L"pkg.exe");
  auto events = this->Run("/f/1048576/not-an-md5/pkg.exe", dest, 1);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}));
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_MD5) {
      EXPECT_EQ(e.text, TypeParam::kNoMd5);
    }
  }
  EXPECT_EQ(GetFileMd5(dest), this->BodyMd5(1048576));
}

TYPED_TEST(DownloaderContract, Md5MismatchAsksForOneRetryThenFails) {
  // Another digest, and the right one in upper case, both mismatch.
  for (const char* md5 : {"0123456789abcdef0123456789abcdef", "upper"}) {
    SCOPED_TRACE(md5);
    std::wstring dest = this->PathIn(L"pkg.exe");
    auto events = this->Run("/gen/1048576/pkg.exe?md5=" + std::string(md5), dest, 2);
    ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY, DL_CODE_START, DL_CODE_MD5,
                                      DL_CODE_FAIL}));
    for (const RecordedEvent& e : events) {
      if (e.code == DL_CODE_MD5) {
        EXPECT_EQ(e.text, TypeParam::kMismatch);
      }
      if (e.code == DL_CODE_RETRY || e.code == DL_CODE_FAIL) {
        EXPECT_EQ(e.value, static_cast<double>(kFailMd5Mismatch));
        EXPECT_EQ(e.text, TypeParam::kText);
      }
    }
    this->ExpectNoTemporaryFile(dest);
  }
}

TYPED_TEST(DownloaderContract, EmptyDestinationFailsAtOnceWithoutARequest) {
  std::string key = this->Key();
  auto events = this->Run("/gen/1048576/pkg.exe?key=" + key, L"", 1);
  ASSERT_EQ(CodesOf(events), (Codes{DL_CODE_START, DL_CODE_FAIL}));
  EXPECT_EQ(events.back().value, static_cast<double>(kFailNoDestination));
  EXPECT_EQ(events.back().text, L"");
  ServerStats stats = this->Stats(key);
  EXPECT_EQ(stats.head + stats.get, 0);
}

TYPED_TEST(DownloaderContract, RefusedRequestEndsInFailureNamingTheStatus) {
  std::wstring dest = this->PathIn(L"pkg.exe");
  auto events = this->Run("/gen/1048576/pkg.exe?fault=status&code=404&on=all", dest, 1);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(CodesOf(events).back(), DL_CODE_FAIL);
  EXPECT_EQ(events.back().value, 404.0);
  EXPECT_EQ(DownloadFailureCause(events.back().value), "HTTP 404");
  EXPECT_FALSE(platform::FileExists(dest));
  this->ExpectNoTemporaryFile(dest);
}

TYPED_TEST(DownloaderContract, DestroyingMidTransferReportsNothingMoreAndLeavesNoTemporaryFile) {
  // One byte every three seconds: mid-transfer for as long as the test needs.
  std::string key = this->Key();
  std::wstring dest = this->PathIn(L"pkg.exe");
  EventRecorder events;
  auto downloader = TypeParam::Make(events.Callback(), this->Url("/gen/1048576/pkg.exe?fault=drip&key=" + key), dest);
  downloader->Start();
  // The body request has reached the server; bounded.
  for (int i = 0; i < 300 && this->Stats(key).get == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_GE(this->Stats(key).get, 1);
  downloader.reset();
  EXPECT_EQ(events.Codes(), (Codes{DL_CODE_START})) << "no event after destruction began";
  EXPECT_FALSE(platform::FileExists(dest));
  this->ExpectNoTemporaryFile(dest);
}

}  // namespace
