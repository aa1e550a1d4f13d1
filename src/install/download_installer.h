// CDownloadInstaller: chains the three phases of an installation and is the
// one place where their events meet:
//   1. removal of an earlier installation, when the old uninstaller names an
//      existing file. On a worker of its own ("UnInstaller") the driver
//      copies it to the work folder as "Tarnwick_un_asa.exe" (an older copy
//      lying there is deleted first and never run), waits with the InsNew
//      setting until "Tarnwick.exe" has ended (5006 tells the owner that it
//      waits; at most the product wait limit), then runs the copy with
//      CUnInstaller and "_?=<old folder>". A copy that cannot be made fails
//      the removal with 5004 and kRemovalCopyFailed, a product that does not
//      end in time with 5004 and kRemovalProductStillRunning;
//   2. download of the package "<installDir>\__Package_tarnwick.exe" by the
//      downloader that DownloadType selects (install/downloader_factory.h);
//   3. silent installation of the package (CInstaller).
// Each phase reports to a handler of the driver, which first passes the
// event on unchanged to the owner's callback, then logs it and, for the
// events that end a phase, starts the next phase or cleans up:
//   5003 starts the download; 5004/5005 stop the chain;
//   1001 creates the installation folder; 1003 starts the installation;
//   1004 deletes the package; 1005 starts the same downloader again;
//   2003/2004 delete the package.
// The package is deleted once more when the package process has ended, so
// a package that reported its verdict while still running does not stay
// behind. Each clean-up also deletes the package path of the previous
// clean-up in this process (an attempt in another folder).
// The downloader and the install runner are made at the first start and
// reused; a start with another address or folder makes them anew, so an
// attempt never downloads into, or runs the package from, an old folder.
// Their handlers keep the folder and package path they were made for, so a
// late event of an earlier attempt never touches the current attempt's file.
//
// Threads: construct, SetParams, Start and destroy on the owner's thread.
// The callback is called on the phases' workers and must not wait for the
// owner. Start first waits for what is left of the previous attempt (a
// removal, a package still running after its verdict), then starts the
// first phase and returns. The destructor cancels a wait for the product,
// lets running phases end (an uninstaller, a download, a package run) but
// starts no further phase, then releases everything.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "install/downloader_factory.h"
#include "install/installer.h"
#include "install/uninstaller.h"
#include "utils/events.h"
#include "utils/thread.h"

// Values of UNIST_CODE_FAIL that the driver itself reports (the uninstall
// runner uses 1.0 for a missing and 2.0 for an unstartable uninstaller).
inline constexpr double kRemovalCopyFailed = 3.0;
inline constexpr double kRemovalProductStillRunning = 4.0;
inline constexpr const wchar_t* kRemovalCopyFailedText = L"无法复制卸载程序";
inline constexpr const wchar_t* kRemovalProductStillRunningText = L"Tarnwick仍在运行";

// How long the removal waits for a running product by default.
inline constexpr std::chrono::milliseconds kDefaultProductWaitLimit = std::chrono::minutes(5);

class CDownloadInstaller {
 public:
  CDownloadInstaller(EventCallback callback, std::wstring downloadUrl, std::wstring oldUninstaller,
                     std::wstring installDir, bool desktopShortcut, bool quickLaunch, bool adminAccount);
  ~CDownloadInstaller();
  CDownloadInstaller(const CDownloadInstaller&) = delete;
  CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

  // `previousInstallDir` is accepted for the caller's convenience and not
  // used: the removal takes the old uninstaller's folder.
  void SetParams(const std::wstring& downloadUrl, const std::wstring& previousInstallDir,
                 const std::wstring& oldUninstaller, const std::wstring& installDir, bool desktopShortcut,
                 bool quickLaunch, bool adminAccount, bool elevated, const std::wstring& languageTag);

  // Replaces the downloader choice (MakeDownloader by default). Before Start.
  void SetDownloaderFactory(install::DownloaderFactory factory) { m_factory = std::move(factory); }

  // How long a removal waits for "Tarnwick.exe" to end (InsNew). Before Start.
  void SetProductWaitLimit(std::chrono::milliseconds limit) { m_productWaitLimit = limit; }

  // Waits for the rest of the previous attempt, starts the first phase and
  // returns.
  void Start();

  // <installDir>\__Package_tarnwick.exe
  std::wstring GetPackagePath() const;

  static std::wstring PackagePathFor(const std::wstring& installDir);

 private:
  void OnDownloadEvent(std::int32_t code, double value, const std::wstring& text, const std::wstring& installDir,
                       const std::wstring& packagePath);
  void OnInstallEvent(std::int32_t code, double value, const std::wstring& text, const std::wstring& packagePath);
  void OnUninstallEvent(std::int32_t code, double value, const std::wstring& text);
  void JoinPreviousAttempt();
  void StartRemoval();
  void RunRemoval(const std::wstring& source, const std::wstring& copy);
  bool CopyUninstaller(const std::wstring& source, const std::wstring& copy);
  bool WaitForProductToEnd();
  void Report(std::int32_t code, double value, const std::wstring& text);
  static void CleanUpPackage(const std::wstring& packagePath);

  std::unique_ptr<CUnInstaller> m_unInstaller;
  std::unique_ptr<CDownloader> m_downloader;
  std::unique_ptr<CInstaller> m_installer;
  std::wstring m_downloadUrl;
  std::wstring m_oldUninstaller;
  std::wstring m_installDir;
  std::wstring m_packagePath;
  std::wstring m_languageTag;
  bool m_desktopShortcut = true;
  bool m_quickLaunch = true;
  bool m_adminAccount = true;
  bool m_elevated = false;
  EventCallback m_callback;

  install::DownloaderFactory m_factory;
  // What the downloader and the install runner were made for; a start with
  // another address or folder makes them anew.
  std::wstring m_downloaderUrl;
  std::wstring m_downloaderPath;

  // The removal's own worker: copy, wait for the product, run the uninstaller.
  std::unique_ptr<Utils::Thread> m_removalThread;
  std::chrono::milliseconds m_productWaitLimit = kDefaultProductWaitLimit;

  // Set when the driver is being destroyed: running phases end, none starts,
  // and a wait for the product stops at once.
  std::atomic<bool> m_tearingDown{false};
  std::mutex m_tearDownMutex;
  std::condition_variable m_tearDownSignal;
};
