#include "download/winhttp_downloader.h"

#include <optional>

#include "download/download_failure.h"
#include "download/download_status.h"
#include "download/md5.h"
#include "download/winhttp_transfer.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "utils/log.h"
#include "utils/thread.h"

namespace {

constexpr std::uint32_t kProgressIntervalMs = 1000;

// Why a finished transfer is not a package, as the DL_CODE_FAIL value; no
// value when it is one.
std::optional<double> TransferFailure(bool sent, const CWinHttpTransfer& transfer, std::int64_t fileSize) {
  if (!sent) return WinHttpFailure(transfer.LastError());
  const int status = transfer.StatusCode();
  if (status < 200 || status > 299) return static_cast<double>(HttpFailure(status));
  // Without a length there is no telling a whole body from a cut one (a
  // failed read simply ends the body), so such a body is not accepted.
  if (transfer.ContentLength() == 0) return static_cast<double>(kFailNoLength);
  if (transfer.ResponseFileFailed()) return static_cast<double>(kFailOpenFailed);
  if (fileSize != static_cast<std::int64_t>(transfer.ContentLength())) return static_cast<double>(kFailLengthMismatch);
  return std::nullopt;
}

}  // namespace

WinHttpDownloader::WinHttpDownloader(EventCallback callback, const std::wstring& url, const std::wstring& filePath)
    : m_callback(std::move(callback)),
      m_filePath(filePath),
      m_url(url),
      m_md5({L"winhttp获取url-md5失败", L"winhttp文件md5校验失败", kEventText}),
      m_starter([this] { JoinRun(); }, [this] { LaunchRun(); }) {}

WinHttpDownloader::~WinHttpDownloader() {
  m_stopping = true;  // a running body stops at its next chunk
  m_starter.Stop();   // no further run; joins the worker
}

void WinHttpDownloader::Start() { m_starter.Start(); }

void WinHttpDownloader::JoinRun() {
  if (m_thread) {
    m_thread->Join();
    m_thread.reset();
  }
}

void WinHttpDownloader::LaunchRun() {
  m_thread = std::make_unique<Utils::Thread>();
  m_thread->Start(this, L"ABDEF", [this](void*) {
    RunStarter::ThreadMark mark(&m_starter);
    winHttpThreadFun();
  });
  m_thread->Resume();
}

void WinHttpDownloader::Fire(std::int32_t code, double value, const std::wstring& text) {
  if (m_callback) m_callback(code, value, text);
}

void WinHttpDownloader::winHttpThreadFun() {
  Fire(DL_CODE_START, 1.0, L"");
  if (m_filePath.empty()) {
    Fire(DL_CODE_FAIL, 1.0, L"");
    return;
  }
  // The transfer only ever appends, so the body must start in an empty
  // file; and an earlier file at the destination must not pass for the new
  // package if this run fails.
  const std::wstring partPath = PartPath();
  platform::DeleteFileAt(partPath);
  platform::DeleteFileAt(m_filePath);

  Fire(DL_CODE_STATUS, 1.0, ConnectingStatus(1, 1));
  CWinHttpTransfer transfer(m_url);
  transfer.SetResponseFilePath(partPath);
  // The body is a program that will be run: its server must prove itself.
  transfer.SetRequireValidCertificate(true);
  bool reported = false;
  std::uint32_t lastReport = 0;
  transfer.SetProgressHook([&](std::uint64_t written, std::uint32_t length) {
    const std::uint32_t now = platform::TickCount32();
    if (length > 0 && (!reported || now - lastReport >= kProgressIntervalMs)) {
      reported = true;
      lastReport = now;
      const double fraction = static_cast<double>(written) / static_cast<double>(length);
      Fire(DL_CODE_PROGRESS, fraction > 1.0 ? 1.0 : fraction, L"");
    }
    return !m_stopping;
  });
  const bool sent = transfer.Send(L"GET");
  if (m_stopping) {  // the owner is going away and hears nothing more
    platform::DeleteFileAt(partPath);
    return;
  }

  const std::optional<double> failure = TransferFailure(sent, transfer, platform::FileSize(partPath));
  if (failure) {
    TW_LOG(L"WinHttp download failed: error=%u status=%ls length=%u: %ls\r\n", transfer.LastError(),
           transfer.StatusText().c_str(), transfer.ContentLength(),
           platform::ToWide(DownloadFailureCause(*failure), platform::kCodePageUtf8).c_str());
    platform::DeleteFileAt(partPath);
    Fire(DL_CODE_FAIL, *failure, kEventText);
    return;
  }
  if (!CheckMd5(partPath, transfer.FinalUrl())) return;
  if (!platform::RenameFile(partPath, m_filePath)) {
    TW_LOG(L"WinHttp download could not be moved into place\r\n");
    platform::DeleteFileAt(partPath);
    Fire(DL_CODE_FAIL, kFailRenameFailed, kEventText);
    return;
  }
  Fire(DL_CODE_SUCCESS, 0.0, kEventText);
}

bool WinHttpDownloader::CheckMd5(const std::wstring& path, const std::wstring& finalUrl) {
  // A file that cannot be read cannot be vouched for: it counts as a
  // mismatch rather than passing unchecked.
  const Md5Check::Result verdict =
      m_md5.Verdict([this](std::int32_t code, double value, const std::wstring& text) { Fire(code, value, text); },
                    GetUrlMd5(platform::ToNarrow(finalUrl, platform::kCodePageUtf8)),
                    [&path] { return GetFileMd5(path); }, [&path] { platform::DeleteFileAt(path); });
  return verdict == Md5Check::Result::kPassed;
}
