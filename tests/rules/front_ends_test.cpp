// The window and the headless installer give the same answers for the same
// settings: one table of cases feeds both front ends' paths through the
// rules. The window's paths are the calls CMainWnd makes (its start checks
// in two halves, its progress figure per event); the headless installer's
// are RunPreflight and CliProgress.
#include <cstdint>
#include <cwchar>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/cli/preflight.h"
#include "app/cli/progress_model.h"
#include "config/command_line.h"
#include "config/installer_config.h"
#include "rules/progress.h"
#include "rules/start_checks.h"
#include "utils/events.h"

namespace {

using rules::StartRefusal;

// A machine whose process list, folder maker and volume the case decides,
// recording what was asked of it.
struct FakeMachine {
  std::map<std::wstring, bool> running;
  bool canCreate = true;
  std::optional<std::uint64_t> free = rules::kRequiredFreeBytes;
  std::vector<std::wstring> measured;

  rules::StartProbes Probes() {
    rules::StartProbes p;
    p.isRunning = [this](const std::wstring& n) { return running[n]; };
    p.createDirectories = [this](const std::wstring&) { return canCreate; };
    p.freeBytes = [this](const std::wstring& path) {
      measured.push_back(path);
      return free;
    };
    return p;
  }
};

StartRefusal WindowAnswer(const std::wstring& folder, bool insNew, const rules::StartProbes& probes) {
  const StartRefusal running = rules::CheckRunningPrograms(insNew, probes);
  if (running != StartRefusal::kNone) return running;
  return rules::CheckFolder(folder, probes);
}

TEST(FrontEnds, StartChecks) {
  struct Case {
    const char* what;
    std::vector<std::wstring> running;
    bool insNew, canCreate;
    std::optional<std::uint64_t> free;
    StartRefusal window;
    CliExitCode cli;
  };
  const std::wstring product = L"Tarnwick.exe", copy = L"Tarnwick_un_asa.exe";
  for (const Case& c : std::vector<Case>{
           {"all clear", {}, false, true, 1073741824ull, StartRefusal::kNone, kExitInstalled},
           {"everything free", {}, false, true, ~0ull, StartRefusal::kNone, kExitInstalled},
           {"product runs", {product}, false, true, ~0ull, StartRefusal::kProductRunning, kExitProductRunning},
           {"uninstaller copy first", {product, copy}, false, true, ~0ull, StartRefusal::kUninstallerRunning,
            kExitProductRunning},
           {"insnew ignores both", {product, copy}, true, true, ~0ull, StartRefusal::kNone, kExitInstalled},
           {"the name compares exactly", {L"tarnwick.exe"}, false, true, ~0ull, StartRefusal::kNone,
            kExitInstalled},
           {"folder cannot be made", {}, false, false, ~0ull, StartRefusal::kInvalidPath, kExitBadFolder},
           {"running wins over the folder", {product}, false, false, 0ull, StartRefusal::kProductRunning,
            kExitProductRunning},
           {"one byte short", {}, false, true, 1073741823ull, StartRefusal::kLowDiskSpace, kExitNoDiskSpace},
           {"empty volume", {}, false, true, 0ull, StartRefusal::kLowDiskSpace, kExitNoDiskSpace},
           {"volume cannot be measured", {}, false, true, std::nullopt, StartRefusal::kLowDiskSpace,
            kExitNoDiskSpace}}) {
    SCOPED_TRACE(c.what);
    const std::wstring folder = L"X:\\Apps\\Tarnwick";
    FakeMachine window, cli;
    for (FakeMachine* m : {&window, &cli}) {
      for (const std::wstring& name : c.running) m->running[name] = true;
      m->canCreate = c.canCreate;
      m->free = c.free;
    }
    EXPECT_EQ(WindowAnswer(folder, c.insNew, window.Probes()), c.window);
    EXPECT_EQ(RunPreflight(folder, c.insNew, cli.Probes(), nullptr).code, c.cli);
    // Both measure the same place, and only a folder that could be made.
    EXPECT_EQ(window.measured, cli.measured);
    EXPECT_EQ(window.measured.empty(), c.window != StartRefusal::kNone && c.window != StartRefusal::kLowDiskSpace);
  }
}

TEST(FrontEnds, NetworkIsAskedLastAndOnlyWhenWanted) {
  FakeMachine m;
  int asked = 0;
  auto offline = [&asked] {
    ++asked;
    return std::uint32_t{0x10000};
  };
  EXPECT_EQ(RunPreflight(L"X:\\T", false, m.Probes(), offline).code, kExitNoNetwork);
  EXPECT_EQ(RunPreflight(L"X:\\T", false, m.Probes(), [] { return std::uint32_t{0xFFFF}; }).code,
            kExitInstalled);
  m.canCreate = false;
  EXPECT_EQ(RunPreflight(L"X:\\T", false, m.Probes(), offline).code, kExitBadFolder);
  EXPECT_EQ(asked, 1);
}

struct Event {
  std::int32_t code;
  double value;
  int percent;  // what the bar shows afterwards
};

TEST(FrontEnds, ProgressForTheSameSettings) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const wchar_t* downloadScale;  // the -downloadscale option, or nullptr for none
    std::vector<Event> events;
  };
  // The download share first, then the install share; the cases that x87
  // extra precision used to get wrong are 35, 70, 79, 88 and 97.
  const std::vector<Event> usual = {
      {DL_CODE_START, 1.0, 0},       {DL_CODE_PROGRESS, 0.5, 35},  {DL_CODE_PROGRESS, 1.0, 70},
      {IST_CODE_START, 0.0, 70},     {IST_CODE_PROGRESS, 0.0, 74}, {IST_CODE_PROGRESS, 0.0, 79},
      {IST_CODE_PROGRESS, 0.9, 97},  {IST_CODE_PROGRESS, 0.0, 98}, {IST_CODE_SUCCESS, 0.0, 100}};
  const std::vector<Event> badValues = {
      {DL_CODE_PROGRESS, nan, 0},        {DL_CODE_PROGRESS, 7.0, 70},        {DL_CODE_PROGRESS, -3.0, 0},
      {DL_CODE_PROGRESS, inf, 70},       {IST_CODE_PROGRESS, nan, 74},       {IST_CODE_PROGRESS, -inf, 79},
      {IST_CODE_PROGRESS, 1e300, 100},   {UNIST_CODE_PROGRESS, 0.5, 100},    {IST_CODE_SUCCESS, nan, 100}};
  const std::vector<Event> wholeBarDownload = {
      {DL_CODE_PROGRESS, 0.35, 35}, {DL_CODE_PROGRESS, 0.88, 88}, {IST_CODE_PROGRESS, 0.0, 100}};
  const std::vector<Event> noDownloadShare = {
      {DL_CODE_PROGRESS, 0.9, 0}, {IST_CODE_PROGRESS, 0.0, 15}, {IST_CODE_PROGRESS, 0.88, 88},
      {IST_CODE_PROGRESS, 0.97, 97}};
  const std::vector<Event> halfShare = {
      {DL_CODE_PROGRESS, 0.7, 35}, {IST_CODE_PROGRESS, 0.0, 57}, {IST_CODE_PROGRESS, 0.88, 94}};
  for (const Case& c : std::vector<Case>{{nullptr, usual},
                                         {L"0.7", usual},
                                         {L"abc", usual},  // no number: the default share
                                         {L"nan", usual},
                                         {L"1e999", usual},  // out of range: the setting stays
                                         {nullptr, badValues},
                                         {L"abc", badValues},
                                         {L"1", wholeBarDownload},
                                         {L"5", wholeBarDownload},
                                         {L"inf", usual},  // not a number either
                                         {L"0", noDownloadShare},
                                         {L"-3", noDownloadShare},
                                         {L"0.5", halfShare}}) {
    SCOPED_TRACE(c.downloadScale != nullptr ? std::string(c.downloadScale, c.downloadScale + std::wcslen(c.downloadScale))
                                            : std::string("(none)"));
    CInstallerConfig config;
    std::vector<std::wstring> args{L"setup.exe"};
    if (c.downloadScale != nullptr) args.push_back(std::wstring(L"-downloadscale=") + c.downloadScale);
    ApplyCommandLine(ParseArguments(args), config);

    rules::ProgressFigure window;
    int windowBar = 0;
    CliProgress cli(config.DownloadScale);
    double now = 0.0;
    for (const Event& e : c.events) {
      if (std::optional<int> shown = window.OnEvent(e.code, e.value, config.DownloadScale)) windowBar = *shown;
      cli.OnEvent(e.code, e.value, now += 1.0);
      EXPECT_EQ(windowBar, e.percent) << "window, event " << e.code << " " << e.value;
      EXPECT_EQ(cli.Percent(), e.percent) << "cli, event " << e.code << " " << e.value;
    }
  }
}

TEST(FrontEnds, CliBarShowsPhaseSpeedAndTimeLeft) {
  CliProgress p(1.0);
  EXPECT_STREQ(p.Phase(), "starting");
  EXPECT_TRUE(p.OnEvent(DL_CODE_START, 1.0, 0.0));  // the phase changed
  EXPECT_STREQ(p.Phase(), "downloading");
  p.OnEvent(DL_CODE_PROGRESS, 0.1, 10.0);
  EXPECT_TRUE(p.OnEvent(DL_CODE_PROGRESS, 0.3, 20.0));
  EXPECT_FALSE(p.OnEvent(DL_CODE_PROGRESS, 0.3, 20.0));  // nothing changed
  // x87 extra precision once made this 1.9 %/s: 0.3 × 100 truncated to 29.
  EXPECT_EQ(p.PointsPerSecond(), 2.0);
  // No byte counts here: the time left comes from the fractions alone.
  EXPECT_EQ(p.Bar(10), "[###.......]  30%  --  0:35 left  downloading");
  p.OnEvent(DL_CODE_PROGRESS, 0.5, 21.0, 40.0 * 1024 * 1024);
  p.OnEvent(DL_CODE_PROGRESS, 0.6, 22.0, 50.0 * 1024 * 1024);
  EXPECT_EQ(p.Bar(10), "[######....]  60%  10.0 MB/s  0:05 left  downloading")
      << "the window's figures, from the window's model";
  p.OnEvent(UNIST_CODE_PROGRESS, 0.5, 22.0);
  EXPECT_STREQ(p.Phase(), "removing the earlier installation");
  p.OnEvent(IST_CODE_SUCCESS, 0.0, 23.0);
  EXPECT_EQ(p.Bar(4).substr(0, 11), "[####] 100%");
  EXPECT_STREQ(p.Phase(), "done");
}

}  // namespace
