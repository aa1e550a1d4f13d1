// CMainWnd driven headlessly through its real markup: clicks on the named
// controls, dialogs answered by a script, driver events posted the way the
// driver's workers post them. The driver itself is real but its downloader
// is an idle stand-in, so every event a test wants comes from the test.
// Records go to the real per-user store (the registry under Wine).
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <map>
#include <thread>
#include <vector>

#include "config/installer_config.h"
#include "install/download_installer.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "records/install_records.h"
#include "test_support.h"
#include "ui/dialogs/message_box_wnd.h"
#include "ui/main/main_wnd.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_window_headless.h"
#include "ui/toolkit/tab_layout.h"
#include "utils/directories.h"
#include "utils/events.h"

namespace {

using ui::headless::Click;
using ui::headless::Pump;

class IdleDownloader : public CDownloader {
 public:
  void Start() override {}
};

struct Shown {
  std::wstring skinFile, text, caption;
};

class MainWndTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::SkinSystem::UseHeadlessWindows(true);
    ui::SkinSystem::SetArchiveFile(platform::ToWide(TW_SKIN_ARCHIVE_PATH, platform::kCodePageUtf8));
    work_ = testsupport::MakeTempFolder(L"mainwnd");
    testsupport::SetEnv("XDG_CONFIG_HOME", platform::JoinPath(work_, L"config"));
    appData_ = platform::JoinPath(work_, L"appdata");
    testsupport::SetEnv("APPDATA", appData_);
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
    saved_ = Config();
    Config().InsNew = false;
    Config().IsCheckNet = false;
    Config().DownloadScale = 0.7;
    ui::SetDialogScript([this](const ui::DialogRequest& r) {
      shown_.push_back({r.skinFile, r.text, r.caption});
      if (duringDialog_) {
        auto action = std::move(duringDialog_);
        action();
      }
      if (answers_.empty()) return ui::kDialogOther;
      int answer = answers_.front();
      answers_.pop_front();
      return answer;
    });
  }

  void TearDown() override {
    window_.reset();
    ui::SetDialogScript(nullptr);
    Config() = saved_;
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
    testsupport::RemoveTree(work_);
  }

  MainWndServices Services() {
    MainWndServices s;
    s.probes.isRunning = [this](const std::wstring& name) { return running_[name]; };
    s.probes.createDirectories = [](const std::wstring& f) { return Utils::CreateDirectories(f); };
    s.probes.freeBytes = [this](const std::wstring&) { return freeBytes_; };
    s.checkNetwork = [this] { return network_; };
    s.shellOpen = [this](const std::wstring& target, const std::wstring&, const std::wstring& folder,
                         platform::ShowMode show) {
      opened_.push_back(target + L"|" + folder + L"|" + std::to_wstring(static_cast<int>(show)));
      return true;
    };
    s.pickFolder = [this](void*, const std::wstring& title) {
      pickerTitle_ = title;
      return picked_;
    };
    s.isProcessAdmin = [] { return true; };
    s.isConsoleUserAdmin = [] { return true; };
    return s;
  }

  CMainWnd& Open() {
    window_ = std::make_unique<CMainWnd>(Services());
    EXPECT_TRUE(window_->Create(nullptr, L"Tarnwick", ui::kStyleOverlappedVisible, 0));
    if (window_->Installer() != nullptr) {
      window_->Installer()->SetDownloaderFactory(
          [](std::int32_t, EventCallback, const std::wstring&, const std::wstring&) {
            return std::make_unique<IdleDownloader>();
          });
    }
    Pump(*window_);
    return *window_;
  }

  void Event(std::int32_t code, double value = 0.0, const std::wstring& text = L"") {
    window_->PostInstallEvent(code, value, text);
    Pump(*window_);
  }

  std::wstring Text(const wchar_t* name) { return window_->FindControl(name)->GetText(); }
  int Bar() { return dynamic_cast<ui::CProgress*>(window_->FindControl(L"installPrg"))->GetValue(); }
  bool Alive() { return window_->IsWindowAlive(); }
  std::wstring DefaultDir() { return platform::JoinPath(platform::JoinPath(appData_, L"brisel"), L"Tarnwick"); }

  // Records an earlier installation in `folder` (created, with its entry point).
  std::wstring RecordEarlierInstallation() {
    std::wstring folder = platform::JoinPath(work_, L"Old Tarnwick");
    platform::CreateFolder(folder);
    testsupport::WriteFile(platform::JoinPath(folder, L"uninst.ep"), "ep");
    // Installing over it keeps it (no removal run): the events a test sees
    // are then only the ones it posts.
    testsupport::WriteFile(platform::JoinPath(folder, L"set.ini"), "[Uninstall]\r\nIsOverride=false\r\n");
    WriteInstallValue(kInstallPathValue, folder);
    return folder;
  }

  std::wstring work_, appData_;
  CInstallerConfig saved_;
  std::unique_ptr<CMainWnd> window_;
  std::map<std::wstring, bool> running_;
  std::optional<std::uint64_t> freeBytes_ = 50ull << 30;
  std::uint32_t network_ = 0;
  std::vector<std::wstring> opened_;
  std::optional<std::wstring> picked_;
  std::wstring pickerTitle_;
  std::deque<int> answers_;
  std::vector<Shown> shown_;
  std::function<void()> duringDialog_;
  int barUnderDialog_ = -1;
};

TEST_F(MainWndTest, FreshStartShowsTheDefaultFolderAndMovesBetweenStartAndCustomPages) {
  CMainWnd& w = Open();
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(w.CurrentPage(), 0);
  EXPECT_FALSE(w.PreviousInstallFound());
  EXPECT_EQ(Text(L"installDirEdit"), DefaultDir());
  EXPECT_EQ(w.GetStyle() & 0x00C10000u, 0u) << "no caption, no maximise box";
  EXPECT_EQ(w.GetStyle() & 0x06000000u, 0x06000000u);
  EXPECT_EQ(w.FindControl(L"winCtn")->GetBkImage().file, L"res\\mainWnd\\bg1.png");
  EXPECT_EQ(dynamic_cast<ui::CTabLayout*>(w.FindControl(L"titleTabLt"))->GetCurSel(), 1);
  EXPECT_FALSE(w.FindControl(L"backBtn")->IsVisible());

  ASSERT_TRUE(Click(w, L"customeBtn"));
  EXPECT_EQ(w.CurrentPage(), 1);
  EXPECT_TRUE(w.FindControl(L"backBtn")->IsVisible());
  EXPECT_EQ(w.FindControl(L"winCtn")->GetBkImage().file, L"res\\mainWnd\\bg2.png");

  // "修改": a picked folder gets the product's folder name; cancelling keeps the text.
  picked_ = platform::JoinPath(work_, L"Apps");
  ASSERT_TRUE(Click(w, L"chDirBtn"));
  EXPECT_EQ(pickerTitle_, L"选择一个文件夹");
  EXPECT_EQ(Text(L"installDirEdit"), platform::JoinPath(*picked_, L"Tarnwick"));
  picked_.reset();
  ASSERT_TRUE(Click(w, L"chDirBtn"));
  EXPECT_EQ(Text(L"installDirEdit"), platform::JoinPath(platform::JoinPath(work_, L"Apps"), L"Tarnwick"));

  ASSERT_TRUE(Click(w, L"backBtn"));
  EXPECT_EQ(w.CurrentPage(), 0);
  EXPECT_FALSE(w.FindControl(L"backBtn")->IsVisible());

  // Escape does nothing; the close button asks first.
  ui::headless::PressKey(w, ui::kVkEscape);
  EXPECT_TRUE(Alive());
  answers_ = {ui::kDialogCancel};
  ASSERT_TRUE(Click(w, L"closebtn"));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].skinFile, L"ExitTipWnd.xml");
  EXPECT_TRUE(Alive());
  answers_ = {ui::kDialogOk};
  ASSERT_TRUE(Click(w, L"closebtn"));
  EXPECT_FALSE(Alive());
  EXPECT_EQ(ui::headless::CloseResult(w), 1);
}

TEST_F(MainWndTest, DefaultInstallRunsToTheFinishPageAndLeavesRecords) {
  CMainWnd& w = Open();
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  EXPECT_EQ(w.CurrentPage(), 2);
  EXPECT_FALSE(w.FindControl(L"titleGrpCtn")->IsVisible());
  EXPECT_EQ(w.Result().installDir, DefaultDir());
  EXPECT_TRUE(platform::FolderExists(DefaultDir()));

  // Closing is refused while the progress page shows (Alt+F4 ends as WM_CLOSE).
  ui::headless::Send(w, ui::kWmClose, 1);
  EXPECT_TRUE(Alive());

  Event(DL_CODE_START);
  // Before any progress the text says what the download does; the bar stays.
  Event(DL_CODE_STATUS, 2.0, L"下载服务器无应答，正在重试（第2/6次）...");
  EXPECT_EQ(Text(L"progressLb"), L"下载服务器无应答，正在重试（第2/6次）...");
  EXPECT_EQ(Bar(), 0);
  Event(DL_CODE_PROGRESS, 0.5);
  EXPECT_EQ(Text(L"progressLb"), L"正在安装中:35%，请稍候...");
  EXPECT_EQ(Bar(), 35);
  Event(DL_CODE_PROGRESS, 1.0);
  EXPECT_EQ(Bar(), 70);
  Event(DL_CODE_SUCCESS);
  Event(IST_CODE_START);
  EXPECT_FALSE(platform::ReadProfileString(platform::JoinPath(DefaultDir(), L"set.ini"), L"Install",
                                            L"DeviceID", L"")
                   .empty());
  Event(IST_CODE_PROGRESS, 0.0);
  EXPECT_EQ(Text(L"progressLb"), L"正在安装中:74%，请稍候...");
  const std::wstring exe = platform::JoinPath(DefaultDir(), L"Tarnwick.exe");
  testsupport::WriteFile(exe, "product");
  testsupport::WriteFile(platform::JoinPath(DefaultDir(), L"uninst.ep"), "ep");
  Event(IST_CODE_EXE_PATH, 0, exe);
  Event(IST_CODE_START_URL, 0, L"https://x.example/welcome");
  Event(IST_CODE_STARTUP_STYLE, 1.0);
  Event(IST_CODE_FINISH_CLOSE_DETENTION, 5000.0);
  Event(IST_CODE_SUCCESS, 1.0);

  EXPECT_EQ(w.CurrentPage(), 3);
  EXPECT_EQ(Bar(), 100);
  EXPECT_TRUE(w.FindControl(L"titleGrpCtn")->IsVisible());
  std::wstring recorded;
  ASSERT_TRUE(ReadInstallValue(kInstallPathValue, &recorded));
  EXPECT_EQ(recorded, DefaultDir());
  ASSERT_TRUE(ReadInstallValue(kUninstallEpValue, &recorded));
  EXPECT_EQ(recorded, platform::JoinPath(DefaultDir(), L"uninst.ep"));
  ASSERT_EQ(opened_.size(), 2u) << "AutoStartup opens the page, then the program";
  EXPECT_EQ(opened_[0], L"https://x.example/welcome||1");
  EXPECT_EQ(opened_[1], exe + L"||0");

  // Timer 10 brings the window forward once; timer 11 closes it.
  ui::CControl* root = w.Tree().GetRoot();
  EXPECT_TRUE(w.Tree().HasTimer(root, TIMER_TOP_SHOW));
  ui::headless::Advance(w, 3000);
  EXPECT_FALSE(w.Tree().HasTimer(root, TIMER_TOP_SHOW));
  EXPECT_TRUE(Alive());
  ui::headless::Advance(w, 2000);
  EXPECT_FALSE(Alive());
  EXPECT_EQ(ui::headless::CloseResult(w), 1);
}

TEST_F(MainWndTest, InstallPhaseClimbsWithoutReportsAndFailureResetsOnlyPastSeventyPercent) {
  CMainWnd& w = Open();
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  std::vector<int> shown;
  for (int i = 0; i < 7; ++i) {
    Event(IST_CODE_PROGRESS, 0.0);
    shown.push_back(Bar());
  }
  EXPECT_EQ(shown, (std::vector<int>{74, 78, 83, 88, 92, 97, 98}));

  Event(IST_CODE_FAIL, 3.0, L"");
  ASSERT_FALSE(shown_.empty());
  EXPECT_EQ(shown_.back().skinFile, L"MessageBox2Wnd.xml");
  EXPECT_EQ(shown_.back().text, L"安装失败");
  EXPECT_EQ(shown_.back().caption, L"温馨提示");
  EXPECT_EQ(Bar(), 0);
  EXPECT_EQ(Text(L"progressLb"), L"正在安装中:0%，请稍候...");
  EXPECT_EQ(w.CurrentPage(), 0);

  // A second attempt starts its install phase where the first one stopped;
  // a failure below 70 % leaves the figure alone.
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  Event(DL_CODE_PROGRESS, 0.5);
  Event(IST_CODE_FAIL, 1.0, L"磁盘已满");
  EXPECT_EQ(shown_.back().text, L"磁盘已满");
  EXPECT_EQ(Bar(), 35);
  EXPECT_EQ(w.CurrentPage(), 0);
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  Event(IST_CODE_PROGRESS, 0.0);
  EXPECT_EQ(Bar(), 98);
}

TEST_F(MainWndTest, PackageMessageDialogKeepsTheProgressMovingUnderneath) {
  CMainWnd& w = Open();
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  duringDialog_ = [this] {
    // What the dialog's own modal loop does: the main window's posted events
    // are handled while the message is still open.
    window_->PostInstallEvent(IST_CODE_PROGRESS, 0.5, L"");
    Pump(*window_);
    barUnderDialog_ = Bar();
  };
  Event(IST_CODE_MESSAGE, 0.0, L"请关闭浏览器");
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].skinFile, L"MessageBox1Wnd.xml");
  EXPECT_EQ(shown_[0].text, L"请关闭浏览器");
  EXPECT_EQ(shown_[0].caption, L"消息");
  EXPECT_EQ(barUnderDialog_, 85);
  EXPECT_EQ(w.CurrentPage(), 2);
}

TEST_F(MainWndTest, StartRefusals) {
  struct Case {
    const char* what;
    std::map<std::wstring, bool> running;
    std::optional<std::uint64_t> free;
    bool overlong;
    const wchar_t* dialog;
    const wchar_t* text;
    bool closes;
    int page;  // after the attempt from the custom page
  };
  const std::wstring runningText = L"安装程序检测到Tarnwick\r\n正在运行，请退出程序后再安装";
  const std::vector<Case> cases = {
      {"product running", {{L"Tarnwick.exe", true}}, 50ull << 30, false, L"MessageBox1Wnd.xml",
       runningText.c_str(), true, 1},
      {"uninstaller copy running, no earlier installation", {{L"Tarnwick_un_asa.exe", true}}, 50ull << 30,
       false, L"MessageBox1Wnd.xml", runningText.c_str(), false, 1},
      {"one byte short of 1 GiB", {}, 1073741823ull, false, L"MessageBox2Wnd.xml",
       L"当前磁盘剩余空间低于1GB，请修改安装路径", false, 1},
      {"space cannot be measured", {}, std::nullopt, false, L"MessageBox2Wnd.xml",
       L"当前磁盘剩余空间低于1GB，请修改安装路径", false, 1},
      {"path beyond 260 characters", {}, 50ull << 30, true, L"MessageBox2Wnd.xml", L"无效路径", false, 1},
      {"exactly 1 GiB", {}, 1073741824ull, false, nullptr, nullptr, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    shown_.clear();
    running_ = c.running;
    freeBytes_ = c.free;
    CMainWnd& w = Open();
    ASSERT_TRUE(Click(w, L"customeBtn"));
    if (c.overlong) w.FindControl(L"installDirEdit")->SetText(platform::JoinPath(work_, std::wstring(261, L'x')));
    ASSERT_TRUE(Click(w, L"customeInstallBtn"));
    if (c.dialog == nullptr) {
      EXPECT_TRUE(shown_.empty());
    } else {
      ASSERT_EQ(shown_.size(), 1u);
      EXPECT_EQ(shown_[0].skinFile, c.dialog);
      EXPECT_EQ(shown_[0].text, c.text);
      EXPECT_EQ(shown_[0].caption, L"温馨提示");
    }
    EXPECT_EQ(Alive(), !c.closes);
    if (!c.closes) {
      EXPECT_EQ(w.CurrentPage(), c.page);
      EXPECT_TRUE(w.FindControl(L"customeInstallBtn")->IsEnabled());
    }
    window_.reset();
  }
}

TEST_F(MainWndTest, NetworkCheckOnAWorkerGatesTheInstallation) {
  Config().IsCheckNet = true;
  for (std::uint32_t verdict : {0x20000u, 0x40u}) {
    SCOPED_TRACE(verdict);
    shown_.clear();
    network_ = verdict;
    CMainWnd& w = Open();
    ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
    // The verdict arrives from the worker through the queue.
    for (int i = 0; i < 2000 && w.CurrentPage() == 0 && shown_.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      Pump(w);
    }
    if (verdict > 0xFFFF) {
      ASSERT_EQ(shown_.size(), 1u);
      EXPECT_EQ(shown_[0].text, L"当前网络环境较差，请在网络通畅时进行安装");
      EXPECT_EQ(w.CurrentPage(), 0);
    } else {
      EXPECT_TRUE(shown_.empty());
      EXPECT_EQ(w.CurrentPage(), 2);
    }
    window_.reset();
  }
}

TEST_F(MainWndTest, FailedDownloadOffersTheNetworkDialog) {
  struct Case {
    int answer;
    bool fromCustomPage;
    int pageAfter;
  };
  for (const Case& c : std::vector<Case>{{ui::kDialogOk, false, 2},
                                         {ui::kDialogOk, true, 2},
                                         {ui::kDialogCancel, false, 0},
                                         {ui::kDialogOther, true, 1}}) {
    SCOPED_TRACE(c.answer);
    shown_.clear();
    CMainWnd& w = Open();
    if (c.fromCustomPage) {
      ASSERT_TRUE(Click(w, L"customeBtn"));
      ASSERT_TRUE(Click(w, L"createDSCb"));  // cleared; "重新安装" keeps the choice
      ASSERT_TRUE(Click(w, L"customeInstallBtn"));
    } else {
      ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
    }
    ASSERT_EQ(w.CurrentPage(), 2);
    answers_ = {c.answer};
    Event(DL_CODE_FAIL, 28.0, L"timeout");
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].skinFile, L"NetworkTipWnd.xml");
    EXPECT_TRUE(Alive()) << "no earlier installation: the window stays";
    EXPECT_EQ(w.CurrentPage(), c.pageAfter);
    EXPECT_EQ(w.SavedPage(), c.fromCustomPage ? 1 : 0);
    window_.reset();
  }
}

TEST_F(MainWndTest, EarlierInstallationPromptAndItsAnswers) {
  const std::wstring folder = RecordEarlierInstallation();
  struct Case {
    int answer;
    bool closes;
    int page;
  };
  for (const Case& c : std::vector<Case>{{ui::kDialogOk, false, 2}, {ui::kDialogCancel, true, 0},
                                         {ui::kDialogOther, true, 0}}) {
    SCOPED_TRACE(c.answer);
    shown_.clear();
    opened_.clear();
    answers_ = {c.answer};
    CMainWnd& w = Open();
    EXPECT_TRUE(w.PreviousInstallFound());
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].skinFile, L"InstalledPathTipWnd.xml");
    EXPECT_EQ(Alive(), !c.closes);
    if (c.answer == ui::kDialogOk) {
      EXPECT_EQ(w.CurrentPage(), 2);
      EXPECT_EQ(w.Result().installDir, folder);
    }
    if (c.answer == ui::kDialogCancel) {
      ASSERT_EQ(opened_.size(), 1u);
      EXPECT_EQ(opened_[0], platform::JoinPath(folder, L"Tarnwick.exe") + L"|" + folder + L"|0");
    } else {
      EXPECT_TRUE(opened_.empty());
    }
    window_.reset();
  }
}

TEST_F(MainWndTest, EarlierInstallationWithTheProductRunningOrInsNew) {
  const std::wstring folder = RecordEarlierInstallation();
  running_[L"Tarnwick.exe"] = true;
  {
    CMainWnd& w = Open();
    ASSERT_EQ(shown_.size(), 1u) << "the running message, and no second prompt";
    EXPECT_EQ(shown_[0].skinFile, L"MessageBox1Wnd.xml");
    EXPECT_FALSE(Alive());
    window_.reset();
  }
  shown_.clear();
  Config().InsNew = true;
  CMainWnd& w = Open();
  EXPECT_TRUE(shown_.empty()) << "InsNew installs at once, even while the product runs";
  EXPECT_EQ(w.CurrentPage(), 2);
  EXPECT_EQ(w.Result().installDir, folder);
  EXPECT_EQ(Text(L"installDirEdit"), folder) << "the recorded folder is the default while its entry point exists";

  // A failed removal shows the running message and, with an earlier
  // installation, closes the window.
  Config().InsNew = false;
  Event(UNIST_CODE_FAIL, 1.0, L"");
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, L"安装程序检测到Tarnwick\r\n正在运行，请退出程序后再安装");
  EXPECT_FALSE(Alive());
}

TEST_F(MainWndTest, RemovalThatEndedBadlyIsShownWithItsCause) {
  RecordEarlierInstallation();
  Config().InsNew = true;
  CMainWnd& w = Open();
  ASSERT_EQ(w.CurrentPage(), 2);
  Event(UNIST_CODE_ERROR, kFailValueExitCode, L"卸载程序异常退出，退出代码 0xC0000005");
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, L"卸载程序异常退出，退出代码 0xC0000005");
  EXPECT_FALSE(Alive());
}

TEST_F(MainWndTest, EventsPostedFromManyThreadsArriveOnceEachInOrderPerThread) {
  CMainWnd& w = Open();
  ASSERT_TRUE(Click(w, L"defaultInstallBtn"));
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([this, t] {
      for (int i = 1; i <= 50; ++i) {
        if (t == 3) {
          window_->PostInstallEvent(DL_CODE_PROGRESS, i / 50.0, L"x");
        } else {
          window_->PostInstallEvent(IST_CODE_UNINST_EXE, i, L"ignored");
        }
      }
    });
  }
  for (auto& worker : workers) worker.join();
  Pump(w, 100000);
  EXPECT_EQ(Bar(), 70) << "the last event of the one thread that reported progress";
  // Unknown codes and a null record are ignored.
  Event(4242, 1.0, L"?");
  EXPECT_EQ(w.OnInstallEvent(nullptr), 0);
  EXPECT_EQ(w.CurrentPage(), 2);
}

class MainWndLanguageTest : public MainWndTest {
 protected:
  void SetUp() override {
    MainWndTest::SetUp();
    ui::SkinSystem::SetArchiveFile(platform::ToWide(TW_MAIN_LANG_SKIN_PATH, platform::kCodePageUtf8));
  }
  void TearDown() override {
    MainWndTest::TearDown();
    ui::SkinSystem::SetArchiveFile(platform::ToWide(TW_SKIN_ARCHIVE_PATH, platform::kCodePageUtf8));
  }
  ui::CCombo* Combo() { return dynamic_cast<ui::CCombo*>(window_->FindControl(L"languageCombo")); }
  std::wstring Shown(const wchar_t* name) { return window_->Tree().ResolveText(Text(name)); }
};

TEST_F(MainWndLanguageTest, OptionPicksTheLanguageAndTheComboChangesIt) {
  struct Case {
    int option, index;
    const wchar_t* code;
    const wchar_t* text;
  };
  for (const Case& c : std::vector<Case>{{5, 5, L"de-DE", L"Sprache"}, {99, 0, L"en-US", L"Language"},
                                         {9, 9, L"ja-JP", L"言語"}}) {
    SCOPED_TRACE(c.option);
    Config().LanguageIndex = c.option;
    CMainWnd& w = Open();
    EXPECT_EQ(Combo()->GetCurSel(), c.index);
    EXPECT_EQ(Config().LanguageIndex, c.index);
    EXPECT_EQ(w.GetInstallLanguageCode(), c.code);
    EXPECT_EQ(Shown(L"lbLanguage"), c.text);
    window_.reset();
  }
  Config().LanguageIndex = 0;
  CMainWnd& w = Open();
  Combo()->SelectItem(5, /*raiseEvent=*/true);
  Pump(w);
  EXPECT_EQ(Config().LanguageIndex, 5);
  EXPECT_EQ(Shown(L"lbLanguage"), L"Sprache");
  EXPECT_EQ(w.GetInstallLanguageCode(), L"de-DE");
}

TEST_F(MainWndLanguageTest, EarlierInstallationsLanguageWinsAndTheLabelsFormatIsUsed) {
  const std::wstring folder = RecordEarlierInstallation();
  testsupport::WriteFile(platform::JoinPath(folder, L"config.ini"), "[Install]\r\nLanguage=ja-JP\r\n");
  Config().LanguageIndex = 5;
  Config().InsNew = true;
  CMainWnd& w = Open();
  EXPECT_EQ(w.CurrentPage(), 2) << "InsNew installs into the earlier folder at once";
  EXPECT_EQ(Combo()->GetCurSel(), 9);
  EXPECT_EQ(w.GetInstallLanguageCode(), L"ja-JP");
  EXPECT_EQ(Shown(L"lbLanguage"), L"言語");
  EXPECT_EQ(Text(L"softNameLbl"), L"Tarnwick");
  // The progress label's user data is its format.
  Event(DL_CODE_PROGRESS, 0.5);
  EXPECT_EQ(Text(L"progressLb"), L"35 / 100");
}

}  // namespace
