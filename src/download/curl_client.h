// CurlClient: one URL into one local file with libcurl's easy interface.
//
// One Start() is one attempt: probe the real URL and length (once both are
// known later attempts skip the probes), refuse lengths below 1 MiB or
// unknown, then append the body to "<destination>.part" from where an
// earlier attempt stopped, and on success move it over the destination.
// Retrying is the owner's business. After a probe that got no answer at
// all (time-out, no connection) the fallback probes are skipped: they would
// wait for the same silent server.
//
// Threads: Start() and the libcurl callbacks run on the owner's worker.
// Abort() may be called from any thread; it ends a running transfer or
// probe at its next progress callback (code 42).
//
// Results of Start(): 0, or a download failure value (download_failure.h):
// libcurl's code (18 partial file, 23 write error or body beyond the probed
// length, 28 stall or time-out, 42 aborted, 47 redirect loop, ...), the HTTP
// status that ended it (probe or body), or the engine's own causes. A body
// counts as complete only with exactly the probed length; a 206 must name
// the very range asked for, and a ranged request answered otherwise (the
// whole file, or another range) discards the partial file, so that the next
// attempt starts from zero.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "download/curl_response.h"
#include "download/download_failure.h"
#include "download/download_tuning.h"
#include "download/file_writer_pipe.h"
#include "download/md5_pipe.h"
#include "download/progress_throttle.h"

inline constexpr int kClientRenameFailed = kFailRenameFailed;  // body complete, not moved into place
inline constexpr int kClientOpenFailed = kFailOpenFailed;      // partial file could not be opened
inline constexpr int kClientNoHandle = kFailNoHandle;          // no easy handle
inline constexpr int kClientNoLength = kFailNoLength;          // no real URL, no length, or below 1 MiB
inline constexpr double kMinimumFileLength = 1048576.0;

// (owner, speed in bytes per second, always 0.0, percentage - not clamped)
using CurlProgressFn = void (*)(void* owner, double speed, double reserved, double percentage);

class CurlClient {
 public:
  CurlClient(std::wstring url, std::wstring filePath, void* owner, CurlProgressFn progressFn,
             DownloadTuning tuning = DownloadTuning());
  ~CurlClient();  // removes the partial file
  CurlClient(const CurlClient&) = delete;
  CurlClient& operator=(const CurlClient&) = delete;

  // The destination, or with `part` the partial file beside it.
  std::wstring GetFilePath(bool part) const;

  int Start();
  void Abort() { m_abort = true; }
  bool Aborted() const { return m_abort; }

  const std::string& RealUrl() const { return m_realUrl; }
  double FileLength() const { return m_fileLength; }
  std::int64_t ResumeOffset() const { return m_resumeOffset; }
  const std::wstring& ErrorText() const { return m_errorText; }
  // Body bytes that the last Start() received.
  std::int64_t BytesThisAttempt() const { return m_writtenThisAttempt; }
  // MD5 of the file that the last successful Start() put in place, hashed
  // while it arrived; empty when it could not be computed.
  const std::string& Digest() const { return m_digest; }

  // Header probes. The handle-based pair: Head() follows redirects with a
  // header-only request and returns the handle (caller releases it) or null.
  // The URL-based pair serves as the fallback, and also measures "file:///"
  // URLs, which have no HTTP status. `abort` (optional) cuts a probe short.
  // `code` and `response` (optional) receive how the request ended and
  // what its headers said.
  static CURL* Head(const std::string& url, const DownloadTuning& tuning = DownloadTuning(),
                    const std::atomic<bool>* abort = nullptr, int* code = nullptr, CurlResponse* response = nullptr);
  static std::string GetRealUrl(CURL* curl);
  // Content length, or -1.0 when none was given or the status is outside 200-399.
  static double GetDownloadFileLength(CURL* curl);
  // The effective URL, or `url` itself when the probe fails.
  static std::string GetRealUrl_Str(const std::string& url, const DownloadTuning& tuning = DownloadTuning(),
                                    const std::atomic<bool>* abort = nullptr);
  // Content length whatever the status; -1.0 when unknown.
  static double GetDownloadFileLength_Str(const std::string& url, const DownloadTuning& tuning = DownloadTuning(),
                                          const std::atomic<bool>* abort = nullptr);

 private:
  // 0, or why the real URL and length are not known.
  int ProbeIfNeeded(const std::string& requestUrl);
  int Transfer(const std::wstring& partPath, const std::string& requestUrl);
  int CheckComplete(int result, const std::wstring& partPath);
  int MoveIntoPlace(const std::wstring& partPath);
  CURLcode SetTransferOptions(CURL* curl, curl_slist* headers);
  // On the first body bytes: 0 when the answer is the one asked for.
  int CheckAnswer() const;

  static int ProgressCallback(void* client, curl_off_t downloadTotal, curl_off_t downloadedNow,
                              curl_off_t uploadTotal, curl_off_t uploadedNow);
  static size_t WriteToFile(char* data, size_t size, size_t count, void* client);

  std::wstring m_url;
  std::wstring m_filePath;
  void* m_owner;
  CURL* m_curl = nullptr;
  CurlProgressFn m_progressFn;
  double m_fileLength = -1.0;
  std::int64_t m_resumeOffset = -1;
  SecondThrottle m_throttle;
  std::atomic<bool> m_abort{false};
  std::wstring m_errorText;
  std::string m_realUrl;

  DownloadTuning m_tuning;
  std::FILE* m_file = nullptr;
  std::int64_t m_writtenThisAttempt = 0;
  std::int64_t m_writeCap = 0;  // largest size the partial file may reach
  CurlResponse m_response;
  bool m_answerChecked = false;
  int m_answerFailure = 0;  // why the body was refused before its first byte
  Md5Pipe m_hash;
  FileWriterPipe m_writer;
  std::string m_digest;
};
