#include "download/curl_downloader.h"

#include <utility>

#include "download/md5.h"
#include "download/retry_budget.h"
#include "platform/files.h"
#include "utils/log.h"

CCurlDownloader::CCurlDownloader(EventCallback callback, std::wstring url, std::wstring filePath,
                                 DownloadTuning tuning)
    : m_callback(std::move(callback)),
      m_filePath(std::move(filePath)),
      m_url(std::move(url)),
      m_tuning(std::move(tuning)),
      m_client(m_url, m_filePath, this, OnCurlProgress, m_tuning),
      m_starter([this] { JoinRun(); }, [this] { LaunchRun(); }) {
  if (!m_filePath.empty()) platform::DeleteFileAt(m_client.GetFilePath(true));
}

CCurlDownloader::~CCurlDownloader() {
  m_client.Abort();
  m_starter.Stop();
}

void CCurlDownloader::Start() { m_starter.Start(); }

void CCurlDownloader::JoinRun() {
  if (!m_thread) return;
  m_thread->Join();
  m_thread.reset();
}

void CCurlDownloader::LaunchRun() {
  m_thread = std::make_unique<Utils::Thread>();
  m_thread->Start(this, L"ABDEF", [this](void*) {
    RunStarter::ThreadMark mark(&m_starter);
    dlThreadFun();
  });
  m_thread->Resume();
}

void CCurlDownloader::dlThreadFun() {
  m_callback(DL_CODE_START, 1.0, L"");
  if (m_filePath.empty()) {
    m_callback(DL_CODE_FAIL, 1.0, L"");
    return;
  }
  if (!TransferWithRetries()) return;
  VerifyAndReport();
}

bool CCurlDownloader::TransferWithRetries() {
  int budget = kRetryBudget;
  int result = m_client.Start();
  while (result != 0) {
    // Being destroyed: no more attempts and no events to a leaving owner.
    if (m_client.Aborted()) return false;
    if (!ChargeSingleStreamRetry(&budget, result)) {
      m_callback(DL_CODE_FAIL, static_cast<double>(result), L"LibCurl");
      return false;
    }
    TW_LOG(L"CurlDownLoader Code=%d\r\n", result);
    m_tuning.Pause(500);
    if (m_client.Aborted()) return false;
    result = m_client.Start();
  }
  return true;
}

void CCurlDownloader::VerifyAndReport() {
  const std::string expected = GetUrlMd5(m_client.RealUrl());
  if (expected.size() != 32) {
    m_callback(DL_CODE_MD5, 0.0, L"curl获取url-md5失败");
    m_callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
    return;
  }
  // The digest taken while the bytes arrived saves reading the file again;
  // without it the file is read. An unreadable file is not a verified file:
  // it fails like a mismatch.
  std::string actual = m_client.Digest();
  if (actual.size() != 32) actual = GetFileMd5(m_filePath);
  if (actual.size() == 32 && actual == expected) {
    m_callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
    return;
  }
  m_callback(DL_CODE_MD5, 0.0, L"curl文件md5校验失败");
  if (m_md5Retried) {
    m_callback(DL_CODE_FAIL, 0.0, L"LibCurl");
  } else {
    m_md5Retried = true;
    m_callback(DL_CODE_RETRY, 0.0, L"LibCurl");
  }
}

void CCurlDownloader::OnCurlProgress(void* owner, double speed, double reserved, double percentage) {
  auto* self = static_cast<CCurlDownloader*>(owner);
  if (speed > 0.0 && percentage <= 100.0) self->m_callback(DL_CODE_PROGRESS, percentage / 100.0, L"");
}
