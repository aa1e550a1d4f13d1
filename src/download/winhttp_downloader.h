// WinHttpDownloader: the downloader of DownloadType 2. It fetches the package
// with one "GET" through CWinHttpTransfer (the system's WinHTTP) on a worker
// thread, into a fresh temporary file beside the destination (destination +
// ".part"), and moves that file into place only when the body is complete.
// It does no probing, no resuming and no range splitting.
//
// Events, all fired on the worker thread (codes and shapes as for every
// CDownloader; the text "WinHttp" names this transport where the curl
// downloaders say "LibCurl"):
//   DL_CODE_START     (1.0, "")       first, once per run.
//   DL_CODE_STATUS    (1.0, text)     connecting.
//   DL_CODE_PROGRESS  (fraction, "")  bytes written / Content-Length, when the
//                                     response names its length: on the first
//                                     chunk, then at most once per second.
//   then exactly one of
//   DL_CODE_SUCCESS   (0.0, "WinHttp") the transfer succeeded with a 2xx
//                     status, the body holds exactly Content-Length bytes, its
//                     MD5 matches the final URL's when that URL carries one,
//                     and it now bears the destination name.
//   DL_CODE_FAIL      (1.0, "") for an empty destination path; otherwise
//                     (value, "WinHttp") with a download failure value
//                     (download_failure.h): the transfer's Windows error
//                     when Send failed, the HTTP status outside 2xx, no
//                     length, a length other than announced, a file not
//                     written or not moved into place, or (0.0) after a
//                     second MD5 mismatch.
//   DL_CODE_RETRY     (0.0, "WinHttp") after the first MD5 mismatch in the
//                     downloader's life; the owner calls Start again.
//   DL_CODE_MD5 notices (0.0, text) come before the final event: no MD5 in
//   the final URL ("winhttp获取url-md5失败", then SUCCESS), or a mismatch
//   ("winhttp文件md5校验失败", then RETRY or FAIL); a body that cannot be
//   hashed counts as a mismatch, never as checked.
// HTTPS certificates are verified (the transfer's lenient default is not for
// a program that is about to run): an untrusted server fails the download.
// After FAIL or RETRY no file is left at the destination path: a failed
// body never ends up as a package, and an earlier file there is removed
// before the request, so old content is never taken for the new package.
//
// Threads: construct and destroy on the owner's thread. Start may be called
// from any thread, also from this downloader's own callback (the answer to
// RETRY): RunStarter then begins the new run once the current worker has
// returned. The destructor stops a running body at its next chunk and joins
// the worker; no event follows it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "download/downloader.h"
#include "download/md5_check.h"
#include "download/run_starter.h"
#include "utils/events.h"

namespace Utils {
class Thread;
}

class WinHttpDownloader : public CDownloader {
 public:
  static constexpr const wchar_t* kEventText = L"WinHttp";

  WinHttpDownloader(EventCallback callback, const std::wstring& url, const std::wstring& filePath);
  ~WinHttpDownloader() override;
  WinHttpDownloader(const WinHttpDownloader&) = delete;
  WinHttpDownloader& operator=(const WinHttpDownloader&) = delete;

  void Start() override;

  // The temporary file that receives the body.
  std::wstring PartPath() const { return m_filePath + L".part"; }

 private:
  void JoinRun();
  void LaunchRun();
  void winHttpThreadFun();
  // Compares the file's MD5 with the one in `finalUrl`. True to go on to
  // SUCCESS; false when RETRY or FAIL has been fired.
  bool CheckMd5(const std::wstring& path, const std::wstring& finalUrl);
  void Fire(std::int32_t code, double value, const std::wstring& text);

  EventCallback m_callback;
  std::wstring m_filePath;
  std::wstring m_url;
  std::unique_ptr<Utils::Thread> m_thread;

  Md5Check m_md5;
  std::atomic<bool> m_stopping{false};
  RunStarter m_starter;
};
