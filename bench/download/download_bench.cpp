// Benchmark driver: one download with a real downloader, or one file MD5.
//
//   download_bench single <url> <destination>
//   download_bench segmented <url> <destination>
//   download_bench md5 <file>
//
// Exits 0 on DL_CODE_SUCCESS (or after printing the digest), 1 otherwise.
// The last line on stderr is "peak_rss_kib <n>" (VmHWM of this process).
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "download/curl_downloader.h"
#include "download/md5.h"
#include "download/mt_curl_downloader.h"
#include "utils/events.h"

namespace {

std::wstring Widen(const char* text) {
  std::string narrow(text);
  return std::wstring(narrow.begin(), narrow.end());
}

long PeakRssKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

int Download(bool segmented, const char* url, const char* destination) {
  std::mutex mutex;
  std::condition_variable ended;
  int outcome = 0;
  EventCallback callback = [&](std::int32_t code, double value, const std::wstring& text) {
    if (code != DL_CODE_SUCCESS && code != DL_CODE_FAIL && code != DL_CODE_RETRY) return;
    std::lock_guard<std::mutex> lock(mutex);
    outcome = code;
    ended.notify_all();
  };
  std::unique_ptr<CDownloader> downloader;
  if (segmented) {
    downloader = std::make_unique<CMTCurlDownloader>(callback, Widen(url), Widen(destination));
  } else {
    downloader = std::make_unique<CCurlDownloader>(callback, Widen(url), Widen(destination));
  }
  downloader->Start();
  {
    std::unique_lock<std::mutex> lock(mutex);
    ended.wait(lock, [&] { return outcome != 0; });
  }
  downloader.reset();
  return outcome == DL_CODE_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  int rc = 2;
  if (argc == 4 && std::strcmp(argv[1], "single") == 0) {
    rc = Download(false, argv[2], argv[3]);
  } else if (argc == 4 && std::strcmp(argv[1], "segmented") == 0) {
    rc = Download(true, argv[2], argv[3]);
  } else if (argc == 3 && std::strcmp(argv[1], "md5") == 0) {
    std::string digest = GetFileMd5(Widen(argv[2]));
    std::printf("%s\n", digest.c_str());
    rc = digest.size() == 32 ? 0 : 1;
  } else {
    std::fprintf(stderr, "usage: download_bench single|segmented <url> <destination> | md5 <file>\n");
  }
  std::fprintf(stderr, "peak_rss_kib %ld\n", PeakRssKib());
  return rc;
}
