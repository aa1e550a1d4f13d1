#include "install/download_installer.h"

#include <chrono>
#include <mutex>
#include <utility>

#include "config/installer_config.h"
#include "install/command_line.h"
#include "install/process_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "rules/product_names.h"
#include "utils/directories.h"
#include "utils/log.h"
#include "utils/temp_folder.h"

namespace {

// The package path of the last clean-up in this process: an attempt that
// moved to another folder still removes the package it left in the first.
std::mutex g_lastPackageMutex;
std::wstring& LastPackagePath() {
  static std::wstring* path = new std::wstring();  // lives until the process ends
  return *path;
}

}  // namespace

CDownloadInstaller::CDownloadInstaller(EventCallback callback, std::wstring downloadUrl, std::wstring oldUninstaller,
                                       std::wstring installDir, bool desktopShortcut, bool quickLaunch,
                                       bool adminAccount)
    : m_downloadUrl(std::move(downloadUrl)),
      m_oldUninstaller(std::move(oldUninstaller)),
      m_installDir(std::move(installDir)),
      m_desktopShortcut(desktopShortcut),
      m_quickLaunch(quickLaunch),
      m_adminAccount(adminAccount),
      m_callback(std::move(callback)),
      m_factory(&install::MakeDownloader) {}

CDownloadInstaller::~CDownloadInstaller() {
  // Phases that run may end, but none starts another from here on. The
  // order follows the chain: the removal's worker may start the uninstaller,
  // the uninstaller's worker the downloader, the downloader's worker the
  // install runner.
  {
    std::lock_guard<std::mutex> lock(m_tearDownMutex);
    m_tearingDown = true;
  }
  m_tearDownSignal.notify_all();
  m_removalThread.reset();
  m_unInstaller.reset();
  m_downloader.reset();
  m_installer.reset();
  m_callback = nullptr;
}

void CDownloadInstaller::SetParams(const std::wstring& downloadUrl, const std::wstring& /*previousInstallDir*/,
                                   const std::wstring& oldUninstaller, const std::wstring& installDir,
                                   bool desktopShortcut, bool quickLaunch, bool adminAccount, bool elevated,
                                   const std::wstring& languageTag) {
  m_downloadUrl = downloadUrl;
  m_oldUninstaller = oldUninstaller;
  m_installDir = installDir;
  m_desktopShortcut = desktopShortcut;
  m_quickLaunch = quickLaunch;
  m_adminAccount = adminAccount;
  m_elevated = elevated;
  m_languageTag = languageTag;
}

std::wstring CDownloadInstaller::PackagePathFor(const std::wstring& installDir) {
  return platform::JoinPath(installDir, L"__Package_tarnwick.exe");
}

std::wstring CDownloadInstaller::GetPackagePath() const { return PackagePathFor(m_installDir); }

void CDownloadInstaller::Start() {
  JoinPreviousAttempt();
  LastPackagePath();
  m_packagePath = GetPackagePath();
  TW_LOG(L"DL_TYPE=%d\r\n", Config().DownloadType);

  // The downloader and the install runner keep the address and path they
  // were made with; an attempt with another folder or address must not
  // download into, or run the package from, the old place.
  if (m_downloader && (m_downloaderUrl != m_downloadUrl || m_downloaderPath != m_packagePath)) {
    m_downloader.reset();
    m_installer.reset();
  }
  // The handlers get the folder and package path of this attempt by value:
  // the driver's own fields change with the next SetParams.
  const std::wstring installDir = m_installDir;
  const std::wstring packagePath = m_packagePath;
  if (!m_downloader) {
    m_downloader = m_factory(
        Config().DownloadType,
        [this, installDir, packagePath](std::int32_t c, double v, const std::wstring& t) {
          OnDownloadEvent(c, v, t, installDir, packagePath);
        },
        m_downloadUrl, m_packagePath);
    m_downloaderUrl = m_downloadUrl;
    m_downloaderPath = m_packagePath;
  }
  if (!m_installer) {
    m_installer = std::make_unique<CInstaller>(
        [this, packagePath](std::int32_t c, double v, const std::wstring& t) { OnInstallEvent(c, v, t, packagePath); },
        install::QuotePath(m_packagePath), m_installDir);
    m_installer->SetRunEndedHook([packagePath] { CleanUpPackage(packagePath); });
  }
  m_installer->SetInstallFolder(m_installDir);
  m_installer->SetFlags(m_desktopShortcut, m_quickLaunch, m_adminAccount, m_elevated);
  m_installer->SetLanguageTag(m_languageTag);

  if (!m_oldUninstaller.empty() && platform::FileExists(m_oldUninstaller)) {
    StartRemoval();
  } else if (m_downloader) {
    m_downloader->Start();
  }
}

void CDownloadInstaller::JoinPreviousAttempt() {
  // A package that reported its verdict may still run, and its end deletes
  // its package: that must happen before this attempt downloads a new one
  // into the same place. The chain has stopped when the owner starts again,
  // so this waits only for the end of what already ran.
  if (m_removalThread) m_removalThread->Join();
  m_unInstaller.reset();
  if (m_installer) m_installer->Wait();
}

void CDownloadInstaller::StartRemoval() {
  std::wstring workFolder = Utils::GetTempFolder();
  std::wstring copy = workFolder.empty() ? std::wstring() : platform::JoinPath(workFolder, rules::kUninstallerCopyName);
  std::wstring previousFolder = platform::RemoveFileSpec(m_oldUninstaller);
  m_unInstaller = std::make_unique<CUnInstaller>(
      [this](std::int32_t c, double v, const std::wstring& t) { OnUninstallEvent(c, v, t); }, copy,
      previousFolder);

  // Copying and waiting for the product take their time; the owner's thread
  // (a window) must stay responsive meanwhile.
  const std::wstring source = m_oldUninstaller;
  m_removalThread = std::make_unique<Utils::Thread>();
  m_removalThread->Start(this, L"UnInstaller", [this, source, copy](void*) { RunRemoval(source, copy); });
  m_removalThread->Resume();
}

void CDownloadInstaller::RunRemoval(const std::wstring& source, const std::wstring& copy) {
  // Without a work folder there is no copy; the runner reports the missing
  // uninstaller.
  if (!copy.empty() && !CopyUninstaller(source, copy)) {
    TW_LOG(L"cannot copy the uninstaller to %ls\r\n", copy.c_str());
    Report(UNIST_CODE_FAIL, kRemovalCopyFailed, kRemovalCopyFailedText);
    return;
  }
  if (Config().InsNew && !WaitForProductToEnd()) {
    if (m_tearingDown) return;
    TW_LOG(L"%ls still runs; the removal gives up\r\n", rules::kProductExeName);
    Report(UNIST_CODE_FAIL, kRemovalProductStillRunning, kRemovalProductStillRunningText);
    return;
  }
  if (!m_tearingDown) m_unInstaller->Start();
}

bool CDownloadInstaller::CopyUninstaller(const std::wstring& source, const std::wstring& copy) {
  // An older copy must never run in place of this one: it goes first, and
  // one that cannot go (still running) fails the removal.
  if (platform::PathExists(copy) && !platform::DeleteFileAt(copy)) return false;
  return platform::CopyFileTo(source, copy, /*overwrite=*/false);
}

bool CDownloadInstaller::WaitForProductToEnd() {
  // The product must be gone before its uninstaller runs. The owner hears
  // once that the removal waits, and the wait has an end.
  if (FindProcessByName(rules::kProductExeName) == 0) return true;
  const auto limit = m_productWaitLimit;
  Report(UNIST_CODE_WAIT_PRODUCT, std::chrono::duration<double>(limit).count(), rules::kProductExeName);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::unique_lock<std::mutex> lock(m_tearDownMutex);
  while (!m_tearingDown) {
    lock.unlock();
    const bool running = FindProcessByName(rules::kProductExeName) != 0;
    lock.lock();
    if (!running) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    m_tearDownSignal.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_tearingDown.load(); });
  }
  return false;
}

void CDownloadInstaller::Report(std::int32_t code, double value, const std::wstring& text) {
  if (m_callback) m_callback(code, value, text);
}

void CDownloadInstaller::OnDownloadEvent(std::int32_t code, double value, const std::wstring& text,
                                         const std::wstring& installDir, const std::wstring& packagePath) {
  if (m_callback) m_callback(code, value, text);
  switch (code) {
    case DL_CODE_START:
      TW_LOG(L"DL_CODE_START\r\n");
      Utils::CreateDirectories(installDir);  // the downloader reports a folder it cannot write
      break;
    case DL_CODE_PROGRESS:
      TW_LOG(L"DL_CODE_PROGRESS\r\n");
      break;
    case DL_CODE_SUCCESS:
      TW_LOG(L"DOWNLOAD_SUCCESS\r\n");
      if (!m_tearingDown && m_installer) m_installer->Start();
      TW_LOG(L"DL_CODE_SUCCESS\r\n");
      break;
    case DL_CODE_FAIL:
      TW_LOG(L"DL_CODE_FAIL\r\n");
      CleanUpPackage(packagePath);
      break;
    case DL_CODE_RETRY:
      TW_LOG(L"DL_CODE_RETRY\r\n");
      // Safe on the reporting worker: a downloader's Start hands a restart
      // from its own thread to a helper that waits for the worker to end.
      if (!m_tearingDown && m_downloader) m_downloader->Start();
      break;
    default:
      break;
  }
}

void CDownloadInstaller::OnInstallEvent(std::int32_t code, double value, const std::wstring& text,
                                        const std::wstring& packagePath) {
  if (m_callback) m_callback(code, value, text);
  switch (code) {
    case IST_CODE_START:
      TW_LOG(L"IST_CODE_START\r\n");
      break;
    case IST_CODE_PROGRESS:
      TW_LOG(L"IST_CODE_PROGRESS %f\r\n", value);
      break;
    case IST_CODE_SUCCESS:
      TW_LOG(L"INSTALL_SUCCESS\r\n");
      CleanUpPackage(packagePath);
      break;
    case IST_CODE_FAIL:
      TW_LOG(L"IST_CODE_FAIL\r\n");
      CleanUpPackage(packagePath);
      break;
    default:
      break;
  }
}

void CDownloadInstaller::OnUninstallEvent(std::int32_t code, double value, const std::wstring& text) {
  if (m_callback) m_callback(code, value, text);
  switch (code) {
    case UNIST_CODE_PROGRESS:
      TW_LOG(L"UNIST_CODE_PROGRESS\r\n");
      break;
    case UNIST_CODE_SUCCESS:
      TW_LOG(L"UNIST_CODE_SUCCESS\r\n");
      if (!m_tearingDown && m_downloader) m_downloader->Start();
      break;
    case UNIST_CODE_FAIL:
      TW_LOG(L"UNIST_CODE_FAIL\r\n");
      break;
    case UNIST_CODE_ERROR:
      TW_LOG(L"UNIST_CODE_ERROR\r\n");
      break;
    default:
      break;
  }
}

void CDownloadInstaller::CleanUpPackage(const std::wstring& packagePath) {
  std::lock_guard<std::mutex> lock(g_lastPackageMutex);
  // Failures are expected: a package still running cannot be deleted yet
  // and goes at the next clean-up.
  platform::DeleteFileAt(packagePath);
  std::wstring& last = LastPackagePath();
  if (!last.empty() && last != packagePath) platform::DeleteFileAt(last);
  last = packagePath;
}
