// CDownloadInstaller: chains the three phases of an installation and is the
// one place where their events meet:
//   1. removal of an earlier installation (CUnInstaller), when the old
//      uninstaller names an existing file: it is copied to the work folder
//      as "Tarnwick_un_asa.exe" and run from there with "_?=<old folder>";
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
//
// Threads: construct, SetParams, Start and destroy on the owner's thread.
// The callback is called on the phases' worker threads and must not wait
// for the owner. With the InsNew setting on, Start holds the owner's thread
// until "Tarnwick.exe" has ended before it removes an earlier installation.
// The destructor lets running phases end (an uninstaller, a download, a
// package run) but starts no further phase, then releases everything.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "install/downloader_factory.h"
#include "install/installer.h"
#include "install/uninstaller.h"
#include "utils/events.h"

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

  // Starts the first phase and returns.
  void Start();

  // <installDir>\__Package_tarnwick.exe
  std::wstring GetPackagePath() const;

  static std::wstring PackagePathFor(const std::wstring& installDir);

 private:
  void OnDownloadEvent(std::int32_t code, double value, const std::wstring& text);
  void OnInstallEvent(std::int32_t code, double value, const std::wstring& text);
  void OnUninstallEvent(std::int32_t code, double value, const std::wstring& text);
  void StartRemoval();
  void CleanUpPackage();

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

  // Set when the driver is being destroyed: running phases end, none starts.
  std::atomic<bool> m_tearingDown{false};
};
