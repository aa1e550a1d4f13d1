#include "download/curl_downloader.h"

#include <chrono>
#include <utility>

#include "download/curl_common.h"
#include "download/download_failure.h"
#include "download/download_status.h"
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
      m_md5({L"curl获取url-md5失败", L"curl文件md5校验失败", L"LibCurl"}),
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
  int attempt = 1;
  m_silentSeconds = 0.0;
  m_callback(DL_CODE_STATUS, attempt, ConnectingStatus(attempt, AttemptsAtMost(attempt, budget)));
  int result = Attempt();
  while (result != 0) {
    // Being destroyed: no more attempts and no events to a leaving owner.
    if (m_client.Aborted()) return false;
    // Each silent attempt is bounded, but six of them would keep the user
    // waiting for minutes on a server that is not there.
    if (m_silentSeconds >= m_tuning.silentServerLimitSeconds) {
      Fail(kFailNoAnswer);
      return false;
    }
    if (!ChargeSingleStreamRetry(&budget, result)) {
      Fail(result);
      return false;
    }
    TW_LOG(L"CurlDownLoader Code=%d\r\n", result);
    ++attempt;
    const int most = AttemptsAtMost(attempt, budget);
    m_callback(DL_CODE_STATUS, attempt,
               IsNoAnswer(result) ? NoAnswerStatus(attempt, most) : RetryingStatus(attempt, most));
    m_tuning.Pause(500);
    if (m_client.Aborted()) return false;
    result = Attempt();
  }
  return true;
}

int CCurlDownloader::Attempt() {
  const auto begin = std::chrono::steady_clock::now();
  const int result = m_client.Start();
  if (result != 0 && m_client.BytesThisAttempt() == 0 && IsNoAnswer(result)) {
    m_silentSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  return result;
}

void CCurlDownloader::Fail(int value) {
  TW_LOG(L"download failed: %d %ls\r\n", value, WideForLog(DownloadFailureCause(value)).c_str());
  m_callback(DL_CODE_FAIL, static_cast<double>(value), L"LibCurl");
}

void CCurlDownloader::VerifyAndReport() {
  // The digest taken while the bytes arrived saves reading the file again;
  // without it the file is read.
  const Md5Check::Result verdict = m_md5.Verdict(m_callback, GetUrlMd5(m_client.RealUrl()), [this] {
    std::string actual = m_client.Digest();
    return actual.size() == 32 ? actual : GetFileMd5(m_filePath);
  });
  if (verdict == Md5Check::Result::kPassed) m_callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CCurlDownloader::OnCurlProgress(void* owner, double speed, double reserved, double percentage) {
  auto* self = static_cast<CCurlDownloader*>(owner);
  if (speed > 0.0 && percentage <= 100.0) self->m_callback(DL_CODE_PROGRESS, percentage / 100.0, L"");
}
