#include "install/downloader_factory.h"

#include <gtest/gtest.h>

#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/winhttp_downloader.h"

namespace {

TEST(DownloaderFactory, DownloadTypeSelectsTheDownloader) {
  auto make = [](std::int32_t type) { return install::MakeDownloader(type, nullptr, L"http://127.0.0.1:9/x", L""); };
  for (std::int32_t type : {0, 1, 7, -1}) {
    SCOPED_TRACE(type);
    EXPECT_NE(dynamic_cast<CCurlDownloader*>(make(type).get()), nullptr);
  }
  EXPECT_NE(dynamic_cast<CMTCurlDownloader*>(make(3).get()), nullptr);
  EXPECT_NE(dynamic_cast<WinHttpDownloader*>(make(2).get()), nullptr);
}

}  // namespace
