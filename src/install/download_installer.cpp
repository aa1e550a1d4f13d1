#include "install/download_installer.h"

#include <chrono>
#include <mutex>
#include <thread>
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
  // order follows the chain: the uninstaller's worker may start the
  // downloader, the downloader's worker the install runner.
  m_tearingDown = true;
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
  // Called for its side effect only: the process-wide string is made at the
  // first start, on the owner's thread, before any worker of the chain can
  // reach CleanUpPackage, which then only reads and writes it under
  // g_lastPackageMutex.
  LastPackagePath();
  m_packagePath = GetPackagePath();
  TW_LOG(L"DL_TYPE=%d\r\n", Config().DownloadType);

  // The downloader and the install runner keep the address and path they
  // were made with; an attempt with another folder or address must not
  // download into, or run the package from, the old place. The chain has
  // stopped when the owner starts again, so replacing them waits for nothing.
  if (m_downloader && (m_downloaderUrl != m_downloadUrl || m_downloaderPath != m_packagePath)) {
    m_downloader.reset();
    m_installer.reset();
  }
  if (!m_downloader) {
    m_downloader = m_factory(Config().DownloadType,
                             [this](std::int32_t c, double v, const std::wstring& t) { OnDownloadEvent(c, v, t); },
                             m_downloadUrl, m_packagePath);
    m_downloaderUrl = m_downloadUrl;
    m_downloaderPath = m_packagePath;
  }
  if (!m_installer) {
    m_installer = std::make_unique<CInstaller>(
        [this](std::int32_t c, double v, const std::wstring& t) { OnInstallEvent(c, v, t); },
        install::QuotePath(m_packagePath), m_installDir);
    m_installer->SetRunEndedHook([this] { CleanUpPackage(); });
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

void CDownloadInstaller::StartRemoval() {
  std::wstring workFolder = Utils::GetTempFolder();
  std::wstring copy = workFolder.empty() ? std::wstring() : platform::JoinPath(workFolder, rules::kUninstallerCopyName);
  std::wstring previousFolder = platform::RemoveFileSpec(m_oldUninstaller);
  // A failed copy shows up as the runner's "missing uninstaller", or runs an
  // earlier copy that still lies there.
  if (!copy.empty()) platform::CopyFileTo(m_oldUninstaller, copy, /*overwrite=*/true);

  m_unInstaller.reset();
  m_unInstaller = std::make_unique<CUnInstaller>(
      [this](std::int32_t c, double v, const std::wstring& t) { OnUninstallEvent(c, v, t); }, copy,
      previousFolder);

  if (Config().InsNew) {
    // The product must be gone before its uninstaller runs; the user asked
    // to install anew, so there is no prompt and no time limit.
    while (FindProcessByName(rules::kProductExeName) != 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  m_unInstaller->Start();
}

void CDownloadInstaller::OnDownloadEvent(std::int32_t code, double value, const std::wstring& text) {
  if (m_callback) m_callback(code, value, text);
  switch (code) {
    case DL_CODE_START:
      TW_LOG(L"DL_CODE_START\r\n");
      Utils::CreateDirectories(m_installDir);  // the downloader reports a folder it cannot write
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
      CleanUpPackage();
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

void CDownloadInstaller::OnInstallEvent(std::int32_t code, double value, const std::wstring& text) {
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
      CleanUpPackage();
      break;
    case IST_CODE_FAIL:
      TW_LOG(L"IST_CODE_FAIL\r\n");
      CleanUpPackage();
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

void CDownloadInstaller::CleanUpPackage() {
  std::lock_guard<std::mutex> lock(g_lastPackageMutex);
  // Failures are expected: a package still running cannot be deleted yet
  // and goes at the next clean-up.
  platform::DeleteFileAt(m_packagePath);
  std::wstring& last = LastPackagePath();
  if (!last.empty() && last != m_packagePath) platform::DeleteFileAt(last);
  last = m_packagePath;
}
