// The main window's pure rules: progress figure and text, page chrome,
// folders, start checks and diagnostics.
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/path_rules.h"
#include "platform/paths.h"
#include "ui/main/diagnostics.h"
#include "ui/main/install_folder.h"
#include "ui/main/page_chrome.h"
#include "ui/main/progress_display.h"
#include "ui/main/start_checks.h"

namespace {

using namespace mainwnd;

TEST(ProgressDisplay, DownloadShareAndScaleGuards) {
  struct Case {
    double value, scale;
    int percent;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const Case& c : std::vector<Case>{
           {0.0, 0.7, 0},     {0.5, 0.7, 35},   {1.0, 0.7, 70},  {0.999, 0.7, 69},
           {1.0, 1.0, 100},   {1.0, 0.0, 0},    {0.5, nan, 35},  {1.0, 5.0, 100},
           {1.0, -3.0, 0},    {1.0, inf, 100},  {nan, 0.7, 0},   {7.0, 0.7, 70},
           {-1.0, 0.7, 0}}) {
    EXPECT_EQ(DownloadPercent(c.value, c.scale), c.percent) << c.value << " x " << c.scale;
  }
}

TEST(ProgressDisplay, SilentPackageClimbsToNinetyEight) {
  InstallPhaseProgress progress;
  std::vector<int> shown;
  for (int i = 0; i < 8; ++i) shown.push_back(progress.Advance(0.0, 0.7));
  EXPECT_EQ(shown, (std::vector<int>{74, 78, 83, 88, 92, 97, 98, 98}));
}

TEST(ProgressDisplay, ReportedFractionWinsWhenLargerAndNeverGoesBack) {
  InstallPhaseProgress progress;
  EXPECT_EQ(progress.Advance(0.5, 0.7), 85);   // 0.15 < 0.5
  EXPECT_EQ(progress.Advance(0.1, 0.7), 89);   // 0.65: the synthetic step, not the lower report
  EXPECT_EQ(progress.Advance(1.0, 0.7), 100);
  EXPECT_EQ(progress.Advance(0.0, 0.7), 98);   // the fraction caps at 0.95 before the max
  EXPECT_DOUBLE_EQ(progress.Fraction(), 0.95);
  InstallPhaseProgress odd;
  EXPECT_EQ(odd.Advance(std::numeric_limits<double>::quiet_NaN(), std::nan("")), 74);
  EXPECT_EQ(odd.Advance(42.0, 2.0), 100);
}

TEST(ProgressDisplay, FormatChoiceAndText) {
  EXPECT_EQ(ProgressFormat(L"", 0.0), kProgressFormatShort);
  EXPECT_EQ(ProgressFormat(L"", 60.0), kProgressFormatShort);
  EXPECT_EQ(ProgressFormat(L"", 60.5), kProgressFormatLong);
  EXPECT_EQ(ProgressFormat(L"Installing %d%%", 90.0), L"Installing %d%%");

  EXPECT_EQ(FormatProgressText(kProgressFormatShort, 74), L"正在安装中:74%，请稍候...");
  EXPECT_EQ(FormatProgressText(kProgressFormatLong, 5), L"正在安装中:5%，请耐心等待...");
  EXPECT_EQ(FormatProgressText(L"%03d", 7), L"007");
  // User data that would read a missing argument falls back to the default.
  EXPECT_EQ(FormatProgressText(L"%s %d", 50), L"正在安装中:50%，请稍候...");
  EXPECT_EQ(FormatProgressText(L"no number", 50), L"no number");
  EXPECT_EQ(FormatProgressText(std::wstring(400, L'x') + L"%d", 1).size(), 249u);
}

TEST(PageChrome, EveryPage) {
  struct Case {
    int page;
    const wchar_t* background;
    int titleTab;
    bool restartProgress, stopProgress, restartFinished, titleGroup, logo, back;
  };
  for (const Case& c : std::vector<Case>{
           {kPageStart, L"res\\mainWnd\\bg1.png", 1, false, true, false, true, false, false},
           {kPageCustom, L"res\\mainWnd\\bg2.png", 1, false, true, false, true, false, true},
           {kPageProgress, L"res\\mainWnd\\bg3.png", kTitleTabUnchanged, true, false, false, false, true, false},
           {kPageFinish, L"res\\mainWnd\\bg4.png", 2, false, true, true, true, false, false},
           {kNoPage, L"res\\mainWnd\\bg1.png", 0, false, true, false, true, false, false},
           {7, L"res\\mainWnd\\bg1.png", 0, false, true, false, true, false, false}}) {
    PageChrome chrome = ChromeForPage(c.page);
    SCOPED_TRACE(c.page);
    EXPECT_EQ(std::wstring(chrome.background), c.background);
    EXPECT_EQ(chrome.titleTabIndex, c.titleTab);
    EXPECT_EQ(chrome.restartProgressAnimation, c.restartProgress);
    EXPECT_EQ(chrome.stopProgressAnimation, c.stopProgress);
    EXPECT_EQ(chrome.restartFinishedAnimation, c.restartFinished);
    EXPECT_EQ(chrome.titleGroupVisible, c.titleGroup);
    EXPECT_EQ(chrome.installLogoVisible, c.logo);
    EXPECT_EQ(chrome.backButtonVisible, c.back);
  }
  EXPECT_TRUE(IsCloseRefused(kPageProgress));
  EXPECT_FALSE(IsCloseRefused(kPageStart));
  EXPECT_FALSE(IsCloseRefused(kPageFinish));
}

std::wstring P(std::initializer_list<std::wstring> parts) {
  std::wstring out;
  for (const auto& p : parts) out = out.empty() ? p : platform::JoinPath(out, p);
  return out;
}

TEST(InstallFolder, DefaultFolderRules) {
  const std::wstring root = platform::kPathSeparator == L'\\' ? L"C:" : L"/";
  DefaultFolderFacts facts;
  facts.appData = P({root, L"Users", L"u", L"AppData"});
  facts.programFilesX86 = P({root, L"Program Files (x86)"});
  facts.programFiles = P({root, L"Program Files"});

  facts.consoleUserIsAdmin = facts.processIsAdmin = true;
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.appData, L"brisel", L"Tarnwick"}));
  facts.processIsAdmin = false;
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.programFilesX86, L"Tarnwick"}));
  facts.processIsAdmin = true;
  facts.consoleUserIsAdmin = false;
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.programFilesX86, L"Tarnwick"}));

  facts.consoleUserIsAdmin = true;
  facts.appData.reset();  // APPDATA unreadable: the program folders
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.programFilesX86, L"Tarnwick"}));
  facts.programFilesX86.reset();
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.programFiles, L"Tarnwick"}));

  // A recorded folder counts only while its uninstall entry point exists.
  facts.registeredInstallPath = P({root, L"Games", L"T"});
  EXPECT_EQ(DefaultInstallDir(facts), P({*facts.programFiles, L"Tarnwick"}));
  facts.registeredUninstEpExists = true;
  EXPECT_EQ(DefaultInstallDir(facts), facts.registeredInstallPath);
}

TEST(InstallFolder, TypedFolderNamingTheDefaultIsReplacedByIt) {
  const std::wstring def = platform::kPathSeparator == L'\\' ? L"C:\\Program Files (x86)\\Tarnwick"
                                                             : L"/opt/programs/Tarnwick";
  EXPECT_EQ(CustomInstallDir(def + platform::kPathSeparator, def), def);
  EXPECT_EQ(CustomInstallDir(def, def), def);
  const std::wstring other = def + L"2";
  EXPECT_EQ(CustomInstallDir(other, def), other);
  EXPECT_EQ(CustomInstallDir(L"", def), L"");
  if (platform::NativePathStyle().ignoreCase) {
    EXPECT_EQ(CustomInstallDir(L"c:\\PROGRAM FILES (X86)\\tarnwick", def), def);
    EXPECT_EQ(CustomInstallDir(L"D:\\Program Files (x86)\\Tarnwick", def), L"D:\\Program Files (x86)\\Tarnwick");
  }
  EXPECT_EQ(FolderForChosenParent(P({def, L"x"})), P({def, L"x", L"Tarnwick"}));
}

struct FakeMachine {
  std::map<std::wstring, bool> running;
  bool canCreate = true;
  std::optional<std::uint64_t> free = kRequiredFreeBytes;
  std::vector<std::wstring> created, measured;

  StartProbes Probes() {
    StartProbes p;
    p.isRunning = [this](const std::wstring& n) { return running[n]; };
    p.createDirectories = [this](const std::wstring& f) {
      created.push_back(f);
      return canCreate;
    };
    p.freeBytes = [this](const std::wstring& path) {
      measured.push_back(path);
      return free;
    };
    return p;
  }
};

TEST(StartChecks, RunningProgramsRefuseUnlessInsNew) {
  FakeMachine m;
  EXPECT_EQ(CheckRunningPrograms(false, m.Probes()), StartRefusal::kNone);
  m.running[L"Tarnwick.exe"] = true;
  EXPECT_EQ(CheckRunningPrograms(false, m.Probes()), StartRefusal::kProductRunning);
  m.running[L"Tarnwick_un_asa.exe"] = true;
  EXPECT_EQ(CheckRunningPrograms(false, m.Probes()), StartRefusal::kUninstallerRunning);
  EXPECT_EQ(CheckRunningPrograms(true, m.Probes()), StartRefusal::kNone);
  m.running[L"Tarnwick.exe"] = false;
  EXPECT_EQ(CheckRunningPrograms(false, m.Probes()), StartRefusal::kUninstallerRunning);
  m.running.clear();
  m.running[L"tarnwick.exe"] = true;  // the name compares exactly
  EXPECT_EQ(CheckRunningPrograms(false, m.Probes()), StartRefusal::kNone);
}

TEST(StartChecks, FolderAndSpace) {
  struct Case {
    bool canCreate;
    std::optional<std::uint64_t> free;
    StartRefusal expected;
  };
  for (const Case& c : std::vector<Case>{
           {true, 1073741824ull, StartRefusal::kNone},
           {true, 1073741823ull, StartRefusal::kLowDiskSpace},
           {true, std::nullopt, StartRefusal::kLowDiskSpace},
           {true, 0ull, StartRefusal::kLowDiskSpace},
           {true, ~0ull, StartRefusal::kNone},
           {false, ~0ull, StartRefusal::kInvalidPath}}) {
    FakeMachine m;
    m.canCreate = c.canCreate;
    m.free = c.free;
    EXPECT_EQ(CheckFolder(L"X:\\Apps\\Tarnwick", m.Probes()), c.expected);
    EXPECT_EQ(m.measured.empty(), !c.canCreate) << "space is measured only for a folder that exists";
  }
}

TEST(StartChecks, SpaceIsMeasuredOnTheDriveWhenThereIsOne) {
  const platform::PathStyle& style = platform::NativePathStyle();
  if (style.driveLetters) {
    EXPECT_EQ(FreeSpaceTarget(L"C:\\Program Files\\Tarnwick"), L"C:");
    EXPECT_EQ(FreeSpaceTarget(L"\\\\server\\share\\Tarnwick"), L"\\\\server\\share\\Tarnwick");
  }
  EXPECT_EQ(FreeSpaceTarget(L"relative"), L"relative");
}

TEST(StartChecks, OverlongPathIsInvalidWithTheRealFolderMaker) {
  StartProbes probes = SystemStartProbes();
  std::wstring folder = platform::JoinPath(platform::TempPath(), std::wstring(261, L'a'));
  EXPECT_EQ(CheckFolder(folder, probes), StartRefusal::kInvalidPath);
}

TEST(Diagnostics, TextsAndBounds) {
  DownloadFailureFacts facts;
  facts.code = 28.9;
  facts.message = L"timeout";
  facts.freeGiB = 12.345;
  facts.writable = true;
  facts.network = 0x10000;
  EXPECT_EQ(FormatDownloadFailure(facts),
            L"1.code=28；2.msg=timeout；3.缓存磁盘容量=12.35G；4.缓存读写权限=可读；5.服务器连接状态code=65536");
  facts.writable = false;
  facts.message = std::wstring(500, L'm');
  std::wstring longText = FormatDownloadFailure(facts);
  EXPECT_EQ(longText.size(), 199u);
  EXPECT_EQ(longText.substr(0, 16), L"1.code=28；2.msg=");
  EXPECT_EQ(FormatEventFailure(-3.0, L"bad md5"), L":1.code=-3；2.msg=bad md5");
  EXPECT_EQ(FormatEventFailure(std::nan(""), L"%s%n"), L":1.code=0；2.msg=%s%n");
  EXPECT_EQ(TruncateEventValue(1e12), 0);
  EXPECT_EQ(TruncateEventValue(-2.9), -2);
}

}  // namespace
