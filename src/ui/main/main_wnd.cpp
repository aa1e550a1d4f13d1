#include "ui/main/main_wnd.h"

#include <cmath>
#include <utility>

#include "config/installer_config.h"
#include "config/language.h"
#include "install/download_installer.h"
#include "install/process_lookup.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/probes.h"
#include "records/install_info.h"
#include "records/install_records.h"
#include "ui/controls/sequence_label.h"
#include "ui/dialogs/message_box_wnd.h"
#include "ui/main/diagnostics.h"
#include "ui/main/install_folder.h"
#include "ui/main/page_chrome.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/tab_layout.h"
#include "utils/log.h"
#include "utils/probes.h"
#include "utils/pump.h"
#include "utils/thread.h"

using mainwnd::kPageCustom;
using mainwnd::kPageFinish;
using mainwnd::kPageProgress;
using mainwnd::kPageStart;

namespace {

constexpr const wchar_t* kCaptionTip = L"温馨提示";
constexpr const wchar_t* kRunningMessage = L"安装程序检测到Tarnwick\r\n正在运行，请退出程序后再安装";
constexpr const wchar_t* kInvalidPathMessage = L"无效路径";
constexpr const wchar_t* kLowSpaceMessage = L"当前磁盘剩余空间低于1GB，请修改安装路径";
constexpr const wchar_t* kPoorNetworkMessage = L"当前网络环境较差，请在网络通畅时进行安装";
constexpr const wchar_t* kInstallFailedMessage = L"安装失败";
constexpr const wchar_t* kPackageMessageCaption = L"消息";
constexpr const wchar_t* kChooseFolderTitle = L"选择一个文件夹";
constexpr const wchar_t* kBrighterBarImage = L"res\\mainWnd\\installPrg3.png";
// The licence agreement that "《用户许可协议》" opens. The shipped skin keeps
// that link hidden; a skin that shows it gets this page.
constexpr const wchar_t* kLicenceAgreementUrl = L"https://www.tarnwick.example/license";

template <typename T>
T* Find(ui::SkinWindow& window, const wchar_t* name) {
  return dynamic_cast<T*>(window.FindControl(name));
}

bool NameIs(const ui::CControl* control, const wchar_t* name) {
  return control != nullptr && control->GetName() == name;
}

}  // namespace

MainWndServices MainWndServices::System() {
  MainWndServices services;
  services.probes = mainwnd::SystemStartProbes();
  services.checkNetwork = [] { return Utils::CheckNetwork(); };
  services.shellOpen = &platform::ShellOpen;
  services.pickFolder = &mainwnd::BrowseForFolder;
  services.isProcessAdmin = [] { return Utils::IsUserAdmin(); };
  services.isConsoleUserAdmin = [] {
    std::wstring user;
    return Utils::GetConsoleUserName(&user) && Utils::IsAccountAdmin(user);
  };
  return services;
}

CMainWnd::CMainWnd() : CMainWnd(MainWndServices::System()) {}

CMainWnd::CMainWnd(MainWndServices services)
    : ui::CSkinFrame(ui::MakeSkinSource(L"MainWnd.xml")), m_services(std::move(services)) {}

CMainWnd::~CMainWnd() {
  // The driver first: its workers may still post events, which find the
  // window gone and free their records themselves.
  m_installer.reset();
  m_netCheckThread.reset();
  std::lock_guard<std::mutex> lock(m_pendingMutex);
  for (InstallEvent* event : m_pendingEvents) delete event;
  m_pendingEvents.clear();
}

// ---- hooks -------------------------------------------------------------------

std::intptr_t CMainWnd::OnWindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                        bool& handled) {
  if (msg == ui::kWmClose && mainwnd::IsCloseRefused(CurrentPage())) {
    handled = true;
    return 0;
  }
  return ui::CSkinFrame::OnWindowMessage(msg, wParam, lParam, handled);
}

std::intptr_t CMainWnd::OnUserMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                      bool& handled) {
  if (msg == ui::kWmTimer) {
    OnTimerMessage(wParam, lParam);
  } else if (msg == WM_INSTALL_EVENT) {
    OnInstallEvent(reinterpret_cast<InstallEvent*>(lParam));
  }
  return ui::CSkinFrame::OnUserMessage(msg, wParam, lParam, handled);
}

std::intptr_t CMainWnd::OnTimerMessage(std::uintptr_t, std::intptr_t) { return 0; }

std::unique_ptr<ui::CControl> CMainWnd::CreateCustomControl(const std::wstring& tag) {
  auto lower = [](std::wstring s) {
    for (wchar_t& c : s) {
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return s;
  };
  const std::wstring name = lower(tag);
  if (name == L"sequencebutton") return std::make_unique<ui::CSequenceButton>();
  if (name == L"sequencelabel") return std::make_unique<ui::CSequenceLabel>();
  return nullptr;
}

// ---- A. initialisation ----------------------------------------------------------

void CMainWnd::OnSkinReady() {
  ui::CSkinFrame::OnSkinReady();
  SetStyle((GetStyle() & ui::kStyleClearCaptionMaxBox) | ui::kStyleClipChildrenSiblings);
  SetExStyle(GetExStyle() & ~ui::kExStyleTopmost);
  SetIconFromResource(kMainWndIconId);
  FindControls();
  if (languageCombo != nullptr) InitLanguage();
  FitProductName(softNameLbl);
  for (const wchar_t* name : {L"bTitleLbl1", L"bTitleLbl2", L"bTitleLbl3"}) FitProductName(FindControl(name));

  m_installer = std::make_unique<CDownloadInstaller>(
      [this](std::int32_t code, double value, const std::wstring& text) { PostInstallEvent(code, value, text); },
      std::wstring(), std::wstring(), std::wstring(), true, true, true);
  ReadInstallRecords();
  m_prevInstallFound = !m_registeredInstallPath.empty() && platform::PathExists(m_registeredInstallPath);
  SetInstallDirText(GetDefaultInstallDir());
  CenterWindow();
  RefreshPageChrome();
  if (!m_prevInstallFound) return;

  const int language = ReadInstalledLanguage(m_registeredInstallPath, &Tree());
  if (languageCombo != nullptr) languageCombo->SelectItem(language, /*raiseEvent=*/true);

  const bool insNew = Config().InsNew;
  if (!insNew && m_services.probes.isRunning(kProductExeName)) {
    ShowRunningMessage();
    RequestClose(1);
    return;
  }
  if (!insNew) {
    switch (Dialog(L"InstalledPathTipWnd.xml", nullptr, nullptr)) {
      case ui::kDialogOk:
        break;
      case ui::kDialogCancel: {
        m_result.exePath = platform::JoinPath(m_registeredInstallPath, kProductExeName);
        m_services.shellOpen(m_result.exePath, L"", m_registeredInstallPath, platform::ShowMode::kNormal);
        RequestClose(1);
        return;
      }
      default:
        RequestClose(1);
        return;
    }
  }
  StartInstall(m_registeredInstallPath, true, true);
}

void CMainWnd::FindControls() {
  mainTabLt = Find<ui::CTabLayout>(*this, L"mainTabLt");
  titleTabLt = Find<ui::CTabLayout>(*this, L"titleTabLt");
  defaultInstallBtn = FindControl(L"defaultInstallBtn");
  customeInstallBtn = FindControl(L"customeInstallBtn");
  customeBtn = FindControl(L"customeBtn");
  treatyBtn = Find<ui::COption>(*this, L"treatyBtn");
  backBtn = FindControl(L"backBtn");
  openProduceBtn = FindControl(L"openProduceBtn");
  treatyCb = Find<ui::COption>(*this, L"treatyCb");
  serviceCb = Find<ui::COption>(*this, L"serviceCb");
  chDirBtn = FindControl(L"chDirBtn");
  ableftBtn = FindControl(L"ableftBtn");
  abrightBtn = FindControl(L"abrightBtn");
  installDirEdit = FindControl(L"installDirEdit");
  progressLb = FindControl(L"progressLb");
  titleGrpCtn = FindControl(L"titleGrpCtn");
  winCtn = FindControl(L"winCtn");
  createDSCb = Find<ui::COption>(*this, L"createDSCb");
  createQSCb = Find<ui::COption>(*this, L"createQSCb");
  progressAnLb = FindControl(L"progressAnLb");
  finishedLbl = FindControl(L"finishedLbl");
  softNameLbl = FindControl(L"softNameLbl");
  installLogo = FindControl(L"installLogo");
  languageCombo = Find<ui::CCombo>(*this, L"languageCombo");
  tipLbl = FindControl(L"tipLbl");
  installPrg = Find<ui::CProgress>(*this, L"installPrg");
}

void CMainWnd::FitProductName(ui::CControl* control) {
  if (control == nullptr) return;
  auto* label = dynamic_cast<ui::CLabel*>(control);
  const unsigned style = label != nullptr ? label->GetTextStyle() : 0;
  control->SetFixedWidth(Tree().MeasureText(*control, kProductDisplayName, style).cx);
  control->SetText(kProductDisplayName);
}

// ---- B, C. folders ---------------------------------------------------------------

std::wstring CMainWnd::GetDefaultInstallDir() {
  m_consoleUserIsAdmin = m_services.isConsoleUserAdmin();
  m_processIsAdmin = m_services.isProcessAdmin();
  mainwnd::DefaultFolderFacts facts;
  facts.registeredInstallPath = m_registeredInstallPath;
  facts.registeredUninstEpExists = !m_registeredUninstEp.empty() && platform::PathExists(m_registeredUninstEp);
  facts.consoleUserIsAdmin = m_consoleUserIsAdmin;
  facts.processIsAdmin = m_processIsAdmin;
  facts.appData = platform::GetEnv(L"APPDATA");
  facts.programFilesX86 = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFilesX86);
  facts.programFiles = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFiles);
  return mainwnd::DefaultInstallDir(facts);
}

std::wstring CMainWnd::GetCustomInstallDir() {
  const std::wstring typed = installDirEdit != nullptr ? installDirEdit->GetText() : std::wstring();
  return mainwnd::CustomInstallDir(typed, GetDefaultInstallDir());
}

bool CMainWnd::IsDefaultInstallDir(const std::wstring& folder) {
  return mainwnd::IsDefaultInstallDir(GetDefaultInstallDir(), folder);
}

void CMainWnd::SetInstallDirText(const std::wstring& text) {
  if (installDirEdit == nullptr) return;
  installDirEdit->SetText(text);
  m_trace.Line(L"edit", text);
}

// ---- D. StartInstall -------------------------------------------------------------

bool CMainWnd::StartInstall(const std::wstring& folder, bool desktopShortcut, bool quickLaunch) {
  const CInstallerConfig& config = Config();
  switch (mainwnd::CheckRunningPrograms(config.InsNew, m_services.probes)) {
    case mainwnd::StartRefusal::kUninstallerRunning:
      ShowRunningMessage();
      if (m_prevInstallFound) RequestClose(1);
      return false;
    case mainwnd::StartRefusal::kProductRunning:
      ShowRunningMessage();
      RequestClose(1);
      return false;
    default:
      break;
  }
  if (customeInstallBtn != nullptr) customeInstallBtn->SetEnabled(false);
  switch (mainwnd::CheckFolder(folder, m_services.probes)) {
    case mainwnd::StartRefusal::kInvalidPath:
      TW_LOG(L"folder cannot be created:%ls\r\n", folder.c_str());
      Dialog(L"MessageBox2Wnd.xml", kInvalidPathMessage, kCaptionTip);
      SendInstall(false);
      return false;
    case mainwnd::StartRefusal::kLowDiskSpace:
      TW_LOG(L"less than 1 GiB free:%ls\r\n", folder.c_str());
      Dialog(L"MessageBox2Wnd.xml", kLowSpaceMessage, kCaptionTip);
      SendInstall(false);
      return false;
    default:
      break;
  }
  m_result.installDir = folder;
  const std::wstring uninstaller = IsOverrideDisabled(folder) ? std::wstring() : m_registeredUninstEp;
  m_installer->SetParams(config.DownloadUrl, m_registeredInstallPath, uninstaller, folder, desktopShortcut,
                         quickLaunch, m_consoleUserIsAdmin, m_processIsAdmin, GetInstallLanguageCode());
  if (config.IsCheckNet) {
    m_netCheckThread.reset();  // joins an earlier check
    m_netCheckThread = std::make_unique<Utils::Thread>();
    m_netCheckThread->Start(nullptr, L"ABDEF", [this](void*) { RunNetworkCheck(); });
    m_netCheckThread->Resume();
  } else {
    PostInstall(true);
  }
  return true;
}

// ---- E. network check (worker thread) --------------------------------------------

void CMainWnd::RunNetworkCheck() {
  platform::InitializeComForThread();
  const std::uint32_t result = m_services.checkNetwork();
  Tree().PostNotify(Tree().GetRoot(), L"checknet", result);
  platform::UninitializeComForThread();
}

void CMainWnd::OnCheckNet(std::uintptr_t result) {
  const bool failed = (static_cast<std::uint32_t>(result) >> 16) != 0;
  if (failed) Dialog(L"MessageBox2Wnd.xml", kPoorNetworkMessage, kCaptionTip);
  SendInstall(!failed);
}

// ---- F. "install" --------------------------------------------------------------

void CMainWnd::SendInstall(bool start) { Tree().SendNotify(Tree().GetRoot(), L"install", start ? 1 : 0); }

void CMainWnd::PostInstall(bool start) { Tree().PostNotify(Tree().GetRoot(), L"install", start ? 1 : 0); }

void CMainWnd::OnInstallNotification(bool start) {
  if (start) {
    m_savedPage = mainTabLt != nullptr ? mainTabLt->GetCurSel() : 0;
    SelectPage(kPageProgress);
    m_installer->Start();
  }
  if (customeInstallBtn != nullptr) customeInstallBtn->SetEnabled(true);
}

// ---- G. success actions ----------------------------------------------------------

void CMainWnd::FinishInstall() {
  WriteInstallRecords();
  WriteInstallInfo();
  if (m_result.startupStyle == AutoStartup) LaunchProduct();
  ui::CControl* root = Tree().GetRoot();
  if (root == nullptr) return;
  if (m_result.topShowDelayMs != 0) root->SetTimer(TIMER_TOP_SHOW, m_result.topShowDelayMs);
  if (m_result.finishCloseDelayMs != 0) root->SetTimer(TIMER_FINISH_CLOSE, m_result.finishCloseDelayMs);
}

void CMainWnd::LaunchProduct() {
  if (m_result.startUrl.size() > 5) {
    m_services.shellOpen(m_result.startUrl, L"", L"", platform::ShowMode::kMaximized);
    m_trace.Line(L"open", m_result.startUrl);
  }
  if (!m_result.exePath.empty() && platform::PathExists(m_result.exePath)) {
    Utils::PumpMessages(GetHandle());
    m_services.shellOpen(m_result.exePath, L"", L"", platform::ShowMode::kNormal);
    m_trace.Line(L"open", m_result.exePath);
  }
}

void CMainWnd::ReadInstallRecords() {
  RegisteredInstall records = ::ReadInstallRecords();
  m_registeredInstallPath = records.installPath;
  m_registeredUninstEp = records.uninstEp;
}

void CMainWnd::WriteInstallRecords() { ::WriteInstallRecords(&m_result); }

bool CMainWnd::IsOverrideDisabled(const std::wstring& folder) {
  return ::IsOverrideDisabled(m_registeredInstallPath, folder);
}

void CMainWnd::WriteInstallInfo() { ::WriteInstallInfo(m_result.installDir); }

// ---- H. notifications ----------------------------------------------------------

void CMainWnd::OnNotification(const ui::Notification& n) {
  if (n.type == L"selectchanged") {
    OnSelectChanged(n.sender);
  } else if (n.type == L"tabselect") {
    RefreshPageChrome();
  } else if (n.type == L"checknet") {
    OnCheckNet(n.wParam);
  } else if (n.type == L"install") {
    OnInstallNotification(n.wParam != 0);
  } else if (n.type == L"timer" && n.sender != nullptr && n.sender == Tree().GetRoot()) {
    OnRootTimer(static_cast<unsigned>(n.wParam));
  } else if (n.type == L"itemselect" && n.sender != nullptr && n.sender == languageCombo) {
    ApplyLanguage(languageCombo->GetCurSel());
  }
  ui::CSkinFrame::OnNotification(n);
}

bool CMainWnd::IsSelected(ui::COption* option, bool whenMissing) const {
  return option != nullptr ? option->IsSelected() : whenMissing;
}

void CMainWnd::OnSelectChanged(ui::CControl* sender) {
  if (sender == nullptr) return;
  if (sender == treatyCb) {
    const bool agreed = treatyCb->IsSelected();
    const bool service = IsSelected(serviceCb, true);
    if (treatyBtn != nullptr) treatyBtn->SetSelected(agreed, /*raiseEvent=*/true);
    if (agreed && service) {
      if (customeBtn != nullptr) customeBtn->SetEnabled(true);
      if (tipLbl != nullptr) tipLbl->SetVisible(false);
    } else if (customeBtn != nullptr) {
      customeBtn->SetEnabled(false);
    }
  } else if (sender == serviceCb) {
    const bool service = serviceCb->IsSelected();
    if (customeBtn != nullptr) customeBtn->SetEnabled(service && IsSelected(treatyCb, true));
    if (defaultInstallBtn != nullptr) defaultInstallBtn->SetEnabled(service);
  } else if (sender == treatyBtn) {
    // The link looks like a check box; it never stays toggled.
    treatyBtn->SetSelected(IsSelected(treatyCb, true), /*raiseEvent=*/true);
  }
}

void CMainWnd::OnRootTimer(unsigned id) {
  ui::CControl* root = Tree().GetRoot();
  if (id == TIMER_TOP_SHOW) {
    BringToForeground();
    root->KillTimer(TIMER_TOP_SHOW);
  } else if (id == TIMER_FINISH_CLOSE) {
    RequestClose(1);
    root->KillTimer(TIMER_FINISH_CLOSE);
  }
}

// ---- I. page chrome ---------------------------------------------------------------

int CMainWnd::CurrentPage() const { return mainTabLt != nullptr ? mainTabLt->GetCurSel() : mainwnd::kNoPage; }

void CMainWnd::SelectPage(int page) {
  if (mainTabLt != nullptr) mainTabLt->SelectItem(page, /*raiseEvent=*/true);
}

void CMainWnd::RefreshPageChrome() {
  const int page = CurrentPage();
  const mainwnd::PageChrome chrome = mainwnd::ChromeForPage(page);
  if (winCtn != nullptr) {
    winCtn->SetBkImage(chrome.background);
    winCtn->Invalidate();
  }
  if (chrome.titleTabIndex != mainwnd::kTitleTabUnchanged && titleTabLt != nullptr)
    titleTabLt->SelectItem(chrome.titleTabIndex, /*raiseEvent=*/true);
  if (auto* animation = dynamic_cast<ui::CSequenceLabel*>(progressAnLb)) {
    if (chrome.restartProgressAnimation) animation->Restart();
    if (chrome.stopProgressAnimation) animation->Stop();
  }
  if (auto* finished = dynamic_cast<ui::CSequenceLabel*>(finishedLbl)) {
    if (chrome.restartFinishedAnimation) finished->Restart();
  }
  if (titleGrpCtn != nullptr) titleGrpCtn->SetVisible(chrome.titleGroupVisible);
  if (installLogo != nullptr) installLogo->SetVisible(chrome.installLogoVisible);
  if (backBtn != nullptr) backBtn->SetVisible(chrome.backButtonVisible);
  if (page != m_tracedPage) {
    m_tracedPage = page;
    m_trace.Line(L"page", std::to_wstring(page));
  }
}

// ---- J. clicks ----------------------------------------------------------------------

void CMainWnd::OnControlClick(const ui::Notification& n) {
  ui::CControl* sender = n.sender;
  if (sender == nullptr) {
    ui::CSkinFrame::OnControlClick(n);
  } else if (sender == defaultInstallBtn) {
    // A skin without the agreement box has nothing to agree to.
    if (IsSelected(treatyCb, true)) {
      StartInstall(GetDefaultInstallDir(), true, true);
    } else if (tipLbl != nullptr) {
      tipLbl->SetVisible(true);
    }
  } else if (sender == customeBtn) {
    SelectPage(kPageCustom);
    if (customeInstallBtn != nullptr) customeInstallBtn->SetFocus();
  } else if (sender == treatyBtn) {
    m_services.shellOpen(kLicenceAgreementUrl, L"", L"", platform::ShowMode::kMaximized);
  } else if (sender == backBtn) {
    SelectPage(kPageStart);
  } else if (sender == chDirBtn) {
    if (std::optional<std::wstring> chosen = m_services.pickFolder(GetHandle(), kChooseFolderTitle))
      SetInstallDirText(mainwnd::FolderForChosenParent(*chosen));
  } else if (sender == customeInstallBtn) {
    StartInstall(GetCustomInstallDir(), IsSelected(createDSCb, true), IsSelected(createQSCb, true));
  } else if (sender == openProduceBtn) {
    if (m_result.startupStyle == UserStartup) LaunchProduct();
    RequestClose(1);
  } else if (NameIs(sender, L"closebtn")) {
    if (CurrentPage() == kPageFinish) {
      RequestClose(1);
    } else if (Dialog(L"ExitTipWnd.xml", nullptr, nullptr) == ui::kDialogOk) {
      RequestClose(1);
    }
  } else {
    ui::CSkinFrame::OnControlClick(n);
  }
}

// ---- K. language ------------------------------------------------------------------

void CMainWnd::InitLanguage() {
  int index = Config().LanguageIndex;
  if (index == -1) index = GetSystemLanguageIndex();
  if (languageCombo != nullptr) languageCombo->SelectItem(index, /*raiseEvent=*/true);
  ApplyLanguage(index);
  // An index outside the list ("-language=99") resolves to English; the
  // combo shows that instead of staying blank over English texts.
  const int applied = Config().LanguageIndex;
  if (languageCombo != nullptr && languageCombo->GetCurSel() != applied)
    languageCombo->SelectItem(applied, /*raiseEvent=*/false);
}

void CMainWnd::ApplyLanguage(int index) { ::ApplyLanguage(Tree(), index); }

void CMainWnd::FitControlWidth(const std::wstring& name) { ::FitControlWidth(Tree(), name); }

std::wstring CMainWnd::GetInstallLanguageCode() {
  if (languageCombo == nullptr) return std::wstring();
  return platform::ToWide(LanguageCodeOf(languageCombo->GetCurSel()), platform::kCodePageUtf8);
}

// ---- events ------------------------------------------------------------------------

void CMainWnd::PostInstallEvent(std::int32_t code, double value, const std::wstring& text) {
  auto event = std::make_unique<InstallEvent>();
  event->code = code;
  event->value = value;
  event->text = text;
  InstallEvent* record = event.release();
  {
    std::lock_guard<std::mutex> lock(m_pendingMutex);
    m_pendingEvents.insert(record);
  }
  if (!PostMessageToWindow(WM_INSTALL_EVENT, 0, reinterpret_cast<std::intptr_t>(record))) {
    std::lock_guard<std::mutex> lock(m_pendingMutex);
    m_pendingEvents.erase(record);
    delete record;
  }
}

std::intptr_t CMainWnd::OnInstallEvent(InstallEvent* raw) {
  if (raw == nullptr) return 0;
  {
    std::lock_guard<std::mutex> lock(m_pendingMutex);
    m_pendingEvents.erase(raw);
  }
  std::unique_ptr<InstallEvent> event(raw);
  const double scale = Config().DownloadScale;
  switch (event->code) {
    case DL_CODE_START:
      m_downloadWatch.Start();
      break;
    case DL_CODE_PROGRESS:
      ShowProgress(mainwnd::DownloadPercent(event->value, scale));
      break;
    case DL_CODE_FAIL:
      OnDownloadFailed(*event);
      break;
    case DL_CODE_STATUS:
      // Until the first progress the user sees what the download is doing
      // (connecting, no answer, attempt n/m) rather than a silent 0 %.
      if (progressLb != nullptr) progressLb->SetText(event->text);
      break;
    case DL_CODE_MD5:
      TW_LOG_TEXT(mainwnd::FormatEventFailure(event->value, event->text));
      break;
    case IST_CODE_START:
      WriteInstallInfo();
      break;
    case IST_CODE_PROGRESS:
      ShowProgress(m_progress.Advance(event->value, scale));
      break;
    case IST_CODE_SUCCESS:
      OnInstallSucceeded();
      break;
    case IST_CODE_FAIL:
      OnInstallFailed(*event);
      break;
    case IST_CODE_MESSAGE:
      Dialog(L"MessageBox1Wnd.xml", event->text.c_str(), kPackageMessageCaption);
      break;
    case UNIST_CODE_FAIL:
    case UNIST_CODE_ERROR:
      OnRemovalFailed(*event);
      break;
    default:
      ApplyInstallEvent(&m_result, event->code, event->value, event->text);
      break;
  }
  return 0;
}

void CMainWnd::ShowProgress(int percent) {
  const std::wstring userData = progressLb != nullptr ? progressLb->GetUserData() : std::wstring();
  const std::wstring text = mainwnd::FormatProgressText(
      mainwnd::ProgressFormat(userData, m_downloadWatch.Elapsed()), percent);
  if (progressLb != nullptr) progressLb->SetText(text);
  if (installPrg != nullptr) installPrg->SetValue(percent);
  m_trace.Line(L"progress", std::to_wstring(percent), text);
}

void CMainWnd::OnDownloadFailed(const InstallEvent& event) {
  LogDownloadFailureDiagnostics(event);
  const int answer = Dialog(L"NetworkTipWnd.xml", nullptr, nullptr);
  if (answer == ui::kDialogCancel) {
    if (m_prevInstallFound) RequestClose(1);
  } else if (answer == ui::kDialogOk) {
    if (m_savedPage == kPageStart) {
      StartInstall(GetDefaultInstallDir(), true, true);
    } else if (m_savedPage == kPageCustom) {
      StartInstall(GetCustomInstallDir(), IsSelected(createDSCb, true), IsSelected(createQSCb, true));
    }
  }
  SelectPage(m_savedPage);
}

void CMainWnd::LogDownloadFailureDiagnostics(const InstallEvent& event) {
  mainwnd::DownloadFailureFacts facts;
  facts.code = event.value;
  facts.message = event.text;
  platform::InitializeComForThread();
  facts.network = m_services.checkNetwork();
  platform::UninitializeComForThread();
  const std::wstring package = m_installer->GetPackagePath();
  if (!platform::FileExists(package) || platform::DeleteFileAt(package)) {
    if (std::FILE* probe = platform::OpenFile(package, "wb+")) {
      std::fclose(probe);
      facts.writable = platform::DeleteFileAt(package);
    }
  }
  if (std::optional<std::uint64_t> free =
          m_services.probes.freeBytes(mainwnd::FreeSpaceTarget(platform::RemoveFileSpec(package))))
    facts.freeGiB = static_cast<double>(*free) / 1073741824.0;
  TW_LOG_TEXT(mainwnd::FormatDownloadFailure(facts));
}

void CMainWnd::OnInstallSucceeded() {
  if (installPrg != nullptr) {
    installPrg->SetValue(100);
    ui::SkinPackage* package = ui::SkinSystem::CurrentPackage();
    if (package != nullptr && package->resources && package->resources->Exists(kBrighterBarImage)) {
      installPrg->SetForeImage(kBrighterBarImage);
      installPrg->Invalidate();
    }
  }
  m_trace.Line(L"progress", L"100", progressLb != nullptr ? progressLb->GetText() : std::wstring());
  if (softNameLbl != nullptr) {
    softNameLbl->SetText(kProductDisplayName);
    softNameLbl->SetVisible(true);
  }
  SelectPage(kPageFinish);
  FinishInstall();
}

void CMainWnd::OnInstallFailed(const InstallEvent& event) {
  TW_LOG_TEXT(mainwnd::FormatEventFailure(event.value, event.text));
  const std::wstring message = event.text.empty() ? std::wstring(kInstallFailedMessage) : event.text;
  Dialog(L"MessageBox2Wnd.xml", message.c_str(), kCaptionTip);
  if (installPrg != nullptr && installPrg->GetValue() >= 70) {
    if (progressLb != nullptr) progressLb->SetText(mainwnd::kProgressTextReset);
    installPrg->SetValue(0);
    m_trace.Line(L"progress", L"0", mainwnd::kProgressTextReset);
  }
  SelectPage(kPageStart);
}

void CMainWnd::OnRemovalFailed(const InstallEvent& event) {
  // An uninstaller that crashed or failed its exit is not "still running":
  // the user is told what happened instead.
  if (event.value == kFailValueExitCode) {
    Dialog(L"MessageBox1Wnd.xml", event.text.c_str(), kCaptionTip);
  } else {
    ShowRunningMessage();
  }
  SelectPage(m_savedPage);
  if (m_prevInstallFound) RequestClose(1);
}

// ---- helpers -------------------------------------------------------------------------

void CMainWnd::ShowRunningMessage() { Dialog(L"MessageBox1Wnd.xml", kRunningMessage, kCaptionTip); }

int CMainWnd::Dialog(const wchar_t* skinFile, const wchar_t* text, const wchar_t* caption) {
  m_trace.Line(L"dialog", skinFile, text != nullptr ? text : L"");
  const int answer = ui::ShowDialog(GetHandle(), ui::MakeSkinSource(skinFile), text, caption);
  m_trace.Line(L"answer", skinFile, std::to_wstring(answer));
  return answer;
}

void CMainWnd::RequestClose(int result) {
  m_trace.Line(L"close", std::to_wstring(result));
  Close(result);
}
