// CCurlDownloader: the single-stream downloader (the default).
//
// Runs one CurlClient on a worker thread named "ABDEF": retries failed
// attempts within a budget (each resumes from the partial file), then checks
// the file against the MD5 text in the real URL. Events, all on the worker:
//   START(1.0, "")
//   FAIL(1.0, "")                          empty destination path
//   STATUS(n, text)                        attempt n begins (text: "n/m");
//                                          before a retry: no answer, or cut
//   PROGRESS(fraction, "")...              at most once per second
//   FAIL(value, "LibCurl")                 attempts ran out, or the server
//                                          stayed silent longer than allowed
//                                          (download_failure.h)
//   MD5(0.0, "curl获取url-md5失败"), SUCCESS   no 32-character MD5 in the URL
//   MD5(0.0, "curl文件md5校验失败"), RETRY(0.0, "LibCurl") first mismatch
//   MD5(0.0, "curl文件md5校验失败"), FAIL(0.0, "LibCurl")  later mismatch
//   SUCCESS(0.0, "LibCurl")
// A file whose MD5 cannot be computed counts as a mismatch. Start() may be
// called from the callback; destruction aborts and joins the worker.
#pragma once

#include <memory>
#include <string>

#include "download/curl_client.h"
#include "download/download_tuning.h"
#include "download/downloader.h"
#include "download/md5_check.h"
#include "download/run_starter.h"
#include "utils/events.h"
#include "utils/thread.h"

class CCurlDownloader : public CDownloader {
 public:
  CCurlDownloader(EventCallback callback, std::wstring url, std::wstring filePath,
                  DownloadTuning tuning = DownloadTuning());
  ~CCurlDownloader() override;

  void Start() override;

  // The client's view, for tests and logs.
  const CurlClient& Client() const { return m_client; }

 private:
  void dlThreadFun();
  // Returns false when the run ended (FAIL fired, or aborted).
  bool TransferWithRetries();
  void VerifyAndReport();
  void Fail(int value);
  // Runs one attempt and adds its time to m_silentSeconds when the server
  // gave no body byte and no answer.
  int Attempt();
  void JoinRun();
  void LaunchRun();
  static void OnCurlProgress(void* owner, double speed, double reserved, double percentage);

  EventCallback m_callback;
  std::wstring m_filePath;
  std::wstring m_url;
  DownloadTuning m_tuning;
  CurlClient m_client;
  std::unique_ptr<Utils::Thread> m_thread;
  Md5Check m_md5;
  double m_silentSeconds = 0.0;  // of this run
  RunStarter m_starter;
};
