// CMainWnd: the installer's main window and the controller of one install
// run. Built from "MainWnd.xml" of the skin archive (kind 4, ID 147, class
// "MainWnd"), with four pages in "mainTabLt": 0 start, 1 custom folder,
// 2 progress, 3 finish.
//
// What it does:
//   - at start-up (OnSkinReady) finds its controls, reads the install
//     records, shows the default folder and, when an earlier installation
//     exists, asks what to do with it (or installs at once with InsNew);
//   - StartInstall checks the running programs, the folder and its free
//     space, hands the parameters to the driver and either checks the
//     network on a worker ("checknet") or queues "install" at once;
//   - "install" shows the progress page and starts the driver;
//   - the driver's events come back through PostInstallEvent as
//     WM_INSTALL_EVENT and move the progress text and bar, show the failure
//     dialogs and lead to the finish page (OnInstallEvent);
//   - after success it writes the install records and the analytics files,
//     launches the product as the package asked and arms the two finish
//     timers (10: bring to front, 11: close) on the root control.
// WM_CLOSE is refused while the progress page shows, so neither Alt+F4 nor
// the system menu can abandon a running download or installation.
//
// Threads: the UI thread runs everything, except PostInstallEvent (any
// thread: the driver's workers) and the network check's worker, which only
// posts "checknet". The destructor waits for the driver's running phases
// and for the network check, then frees the events nobody handled.
//
// Test seams: MainWndServices replaces the machine probes, the network
// check, the shell and the folder browser; dialogs answer through the
// dialog script of dialogs/message_box_wnd.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "platform/shell.h"
#include "records/install_result.h"
#include "ui/frame/skin_frame.h"
#include "ui/main/folder_browser.h"
#include "ui/main/install_event.h"
#include "ui/main/progress_display.h"
#include "ui/main/start_checks.h"
#include "ui/main/ui_trace.h"
#include "utils/stopwatch.h"

class CDownloadInstaller;

namespace Utils {
class Thread;
}

namespace ui {
class CCombo;
class COption;
class CProgress;
class CTabLayout;
}  // namespace ui

inline constexpr int kMainWndIconId = 145;
inline constexpr unsigned TIMER_TOP_SHOW = 10;
inline constexpr unsigned TIMER_FINISH_CLOSE = 11;
inline constexpr const wchar_t* kProductDisplayName = L"Tarnwick";

struct MainWndServices {
  mainwnd::StartProbes probes;
  std::function<std::uint32_t()> checkNetwork;  // Utils::CheckNetwork; COM is set up by the caller
  std::function<bool(const std::wstring& target, const std::wstring& parameters,
                     const std::wstring& workingFolder, platform::ShowMode show)>
      shellOpen;
  mainwnd::FolderPicker pickFolder;
  std::function<bool()> isProcessAdmin;
  std::function<bool()> isConsoleUserAdmin;

  static MainWndServices System();
};

class CMainWnd : public ui::CSkinFrame {
 public:
  CMainWnd();
  explicit CMainWnd(MainWndServices services);
  ~CMainWnd() override;

  // ---- window hooks ----------------------------------------------------------
  std::intptr_t OnWindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                bool& handled) override;
  void OnSkinReady() override;
  void OnControlClick(const ui::Notification& notification) override;
  std::intptr_t OnUserMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                              bool& handled) override;
  virtual std::intptr_t OnTimerMessage(std::uintptr_t wParam, std::intptr_t lParam);
  // Handles one driver event and frees it; a null record is ignored.
  virtual std::intptr_t OnInstallEvent(InstallEvent* event);
  void OnNotification(const ui::Notification& notification) override;
  std::unique_ptr<ui::CControl> CreateCustomControl(const std::wstring& tag) override;

  // ---- operations ------------------------------------------------------------
  // Any thread: copies the event into a heap InstallEvent and posts it.
  void PostInstallEvent(std::int32_t code, double value, const std::wstring& text);
  bool StartInstall(const std::wstring& folder, bool desktopShortcut, bool quickLaunch);
  std::wstring GetDefaultInstallDir();
  std::wstring GetCustomInstallDir();
  bool IsDefaultInstallDir(const std::wstring& folder);
  void FinishInstall();
  void LaunchProduct();
  void ReadInstallRecords();
  void WriteInstallRecords();
  bool IsOverrideDisabled(const std::wstring& folder);
  void WriteInstallInfo();
  void InitLanguage();
  void ApplyLanguage(int index);
  void FitControlWidth(const std::wstring& name);
  std::wstring GetInstallLanguageCode();

  // ---- state, for the entry point and tests ---------------------------------
  int CurrentPage() const;
  const InstallResult& Result() const { return m_result; }
  bool PreviousInstallFound() const { return m_prevInstallFound; }
  int SavedPage() const { return m_savedPage; }
  double SyntheticProgress() const { return m_progress.Fraction(); }
  CDownloadInstaller* Installer() const { return m_installer.get(); }

 private:
  void FindControls();
  void FitProductName(ui::CControl* control);
  void OnInstallNotification(bool start);
  void OnCheckNet(std::uintptr_t result);
  void OnSelectChanged(ui::CControl* sender);
  void OnRootTimer(unsigned id);
  void RefreshPageChrome();
  void SelectPage(int page);
  void RunNetworkCheck();
  void ShowProgress(int percent);
  void OnDownloadFailed(const InstallEvent& event);
  void OnInstallSucceeded();
  void OnInstallFailed(const InstallEvent& event);
  void OnRemovalFailed(const InstallEvent& event);
  void ShowRunningMessage();
  int Dialog(const wchar_t* skinFile, const wchar_t* text, const wchar_t* caption);
  void RequestClose(int result);
  void SendInstall(bool start);
  void PostInstall(bool start);
  void LogDownloadFailureDiagnostics(const InstallEvent& event);
  bool IsSelected(ui::COption* option, bool whenMissing) const;
  void SetInstallDirText(const std::wstring& text);

  MainWndServices m_services;
  mainwnd::UiTrace m_trace;

  // Controls (owned by the toolkit; null when the markup lacks them).
  ui::CTabLayout* mainTabLt = nullptr;
  ui::CTabLayout* titleTabLt = nullptr;
  ui::CControl* defaultInstallBtn = nullptr;
  ui::CControl* customeInstallBtn = nullptr;
  ui::CControl* customeBtn = nullptr;
  ui::COption* treatyBtn = nullptr;
  ui::CControl* backBtn = nullptr;
  ui::CControl* openProduceBtn = nullptr;
  ui::COption* treatyCb = nullptr;
  ui::COption* serviceCb = nullptr;
  ui::CControl* chDirBtn = nullptr;
  ui::CControl* ableftBtn = nullptr;
  ui::CControl* abrightBtn = nullptr;
  ui::CControl* installDirEdit = nullptr;
  ui::CControl* progressLb = nullptr;
  ui::CControl* titleGrpCtn = nullptr;
  ui::CControl* winCtn = nullptr;
  ui::COption* createDSCb = nullptr;
  ui::COption* createQSCb = nullptr;
  ui::CControl* progressAnLb = nullptr;
  ui::CControl* finishedLbl = nullptr;
  ui::CControl* softNameLbl = nullptr;
  ui::CControl* installLogo = nullptr;
  ui::CCombo* languageCombo = nullptr;
  ui::CControl* tipLbl = nullptr;
  ui::CProgress* installPrg = nullptr;

  std::wstring m_registeredUninstEp;
  std::wstring m_registeredInstallPath;
  // The install result: m_installDir, m_exePath, m_uninstEp, m_startUrl,
  // m_startupStyle, m_topShowDelay and m_finishCloseDelay live here, in the
  // record the install records are written from.
  InstallResult m_result;

  std::unique_ptr<CDownloadInstaller> m_installer;
  Utils::StopWatch m_downloadWatch;
  std::unique_ptr<Utils::Thread> m_netCheckThread;
  int m_savedPage = 0;
  // m_syntheticProgress lives here; never reset during the window's life.
  mainwnd::InstallPhaseProgress m_progress;
  bool m_prevInstallFound = false;
  bool m_consoleUserIsAdmin = false;
  bool m_processIsAdmin = false;
  int m_tracedPage = -2;

  // Records posted but not yet handled. A window that is destroyed with
  // events still queued (the system discards the messages of a destroyed
  // window) frees them here instead of leaking them.
  std::mutex m_pendingMutex;
  std::unordered_set<InstallEvent*> m_pendingEvents;
};
