// CMTCurlDownloader: the segmented downloader (DownloadType 3).
//
// One header probe learns the real URL and the length; the file is cut into
// one or two byte ranges (part_plan.h), each fetched on its own thread into
// "<destination>_<i>" and resumed from what that file already holds; a
// finishing thread joins the parts into the destination and checks the MD5
// text of the real URL. A failed part or an MD5 mismatch asks once for a
// retry; the second failure is final. Events:
//   START(1.0, "")
//   STATUS(run, text)                            connecting (run 1 or 2 of 2)
//   FAIL(value, "LibCurl")                       probe failed (no retry)
//   PROGRESS(fraction, "")...                    >= 1 point apart, <= 1/s
//   RETRY(value, "LibCurl") / FAIL(value, ...)   a part failed (value of the first)
//   MD5(0.0, "mtcurl获取url-md5失败"), SUCCESS    no MD5 text in the URL
//   MD5(0.0, "mtcurl文件md5校验失败"), RETRY/FAIL(0.0, "LibCurl")
//   SUCCESS(0.0, "LibCurl")
// Values are download failure values (download_failure.h). A part counts as
// complete only with all its bytes, each from a 206 that names exactly the
// range asked for; any other answer (the whole file, another range) is
// refused before a byte of it is stored, and the part is not asked again in
// this run. A joined file whose MD5 cannot be computed counts as a mismatch.
// After the final FAIL, and when the downloader goes away, no part file is
// left behind.
//
// Threads: the "ABDEF" worker plans and launches, part threads fetch, the
// finishing thread reports. All are owned and joined by the downloader;
// Start() may be called from the callback; destruction aborts the parts and
// joins everything, and no event follows it.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "download/download_failure.h"
#include "download/download_tuning.h"
#include "download/curl_response.h"
#include "download/downloader.h"
#include "download/md5_check.h"
#include "download/md5_pipe.h"
#include "download/progress_throttle.h"
#include "download/run_starter.h"
#include "utils/events.h"
#include "utils/thread.h"

struct DownloadPartNode {
  std::FILE* file = nullptr;  // open for appending while the part downloads
  std::int32_t start = 0;     // next byte to fetch (absolute)
  std::int32_t end = 0;       // the part's last byte (absolute, inclusive)
  CURL* curl = nullptr;       // reused for every attempt of the part
  std::string url;
  std::wstring partPath;
  std::int32_t total = 0;  // length of the whole file
  // 0 complete, -1 to be fetched, else the failure value of the last
  // attempt (kFailOpenFailed: the part file was not opened).
  std::int32_t result = 0;
  CurlResponse response;     // of the current attempt
  bool answerChecked = false;
  int answerFailure = 0;     // the answer was not the range asked for
  std::atomic<std::int64_t> received{0};  // bytes of the part on disk
  // Part 0 only, when the URL carries an MD5: the file's digest so far,
  // fed by its own writes and continued by the join.
  std::unique_ptr<Md5Pipe> hash;
};

inline constexpr std::int32_t kPartToFetch = -1;
inline constexpr std::int32_t kPartFileFailed = kFailOpenFailed;

class CMTCurlDownloader : public CDownloader {
 public:
  // `isGetRealUrl`: the IsGetRealUrl setting; false makes every run fail at
  // the probe.
  CMTCurlDownloader(EventCallback callback, std::wstring url, std::wstring filePath,
                    DownloadTuning tuning = DownloadTuning(), bool isGetRealUrl = true);
  ~CMTCurlDownloader() override;

  void Start() override;

  // "<path>_<index>".
  static std::wstring GetPartPath(const std::wstring& path, int index);

 private:
  void Start_Down();
  // 0 when the real URL and a length of at least 256 are known; otherwise
  // the failure value.
  int getRealDownloadUrl(const std::string& url);
  void PlanRun();
  void LaunchParts();
  static void downloadThreadFun(CMTCurlDownloader* downloader, DownloadPartNode* node);
  int downloadExe(DownloadPartNode* node);
  static void waitForFinishThreadFun(CMTCurlDownloader* downloader);
  void FinishComplete();
  void FinishFailed(std::int32_t firstError);
  int JoinPartFiles();
  void StartHashingFirstPart(DownloadPartNode* node);
  void ClearParts();
  void DeletePartFiles();
  void JoinRun();
  void LaunchRun();

  static int CheckPartAnswer(CURL* curl, const DownloadPartNode& node);
  static size_t WritePart(char* data, size_t size, size_t count, void* node);
  static int PartProgressCallback(void* downloader, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

  std::vector<std::unique_ptr<DownloadPartNode>> m_parts;
  EventCallback m_callback;
  std::wstring m_filePath;
  std::wstring m_url;
  std::string m_realUrl;
  std::int32_t m_fileLength = -1;
  std::string m_urlMd5;
  double m_lastPercent = 0.0;
  std::atomic<std::int32_t> m_runningParts{0};
  std::mutex m_mutex;
  SecondThrottle m_throttle;
  Md5Check m_md5;  // also keeps the one retry that a part failure may use
  std::unique_ptr<Utils::Thread> m_thread;

  DownloadTuning m_tuning;
  bool m_isGetRealUrl;
  std::atomic<bool> m_abort{false};
  std::vector<std::unique_ptr<Utils::Thread>> m_partThreads;
  std::unique_ptr<Utils::Thread> m_finisher;
  std::string m_joinedDigest;  // from the parts' hash; empty: read the file
  RunStarter m_starter;
};
