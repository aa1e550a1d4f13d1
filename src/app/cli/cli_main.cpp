// tarnwick-setup-cli: the installer without a window.
//
// Settings come as for the window: built-in defaults, the configuration file
// next to the program, then the command line (-downloadurl=, -downloadtype=,
// -ischecknet=, -instcmd=, -insnew=, ...). Its own options:
//   -installdir=<folder>   where to install (default: as the window chooses)
//   -help                  usage
// It makes the window's checks, removes an earlier installation with that
// installation's uninstaller, downloads and installs the package, writes the
// install records and the analytics file, and ends with one exit code per
// outcome (app/cli/exit_codes.h). Progress is a redrawn bar on a terminal
// and plain lines otherwise. The product is not started.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "app/cli/exit_codes.h"
#include "app/cli/preflight.h"
#include "app/cli/progress_model.h"
#include "config/command_line.h"
#include "config/installer_config.h"
#include "download/download_failure.h"
#include "install/download_installer.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "records/install_info.h"
#include "records/install_records.h"
#include "records/install_result.h"
#include "utils/events.h"
#include "utils/probes.h"
#include "utils/process_mutex.h"

namespace {

std::string Utf8(const std::wstring& text) { return platform::ToNarrow(text, platform::kCodePageUtf8); }

struct QueuedEvent {
  std::int32_t code;
  double value;
  std::wstring text;
};

// Events cross from the driver's workers to the main thread here, as the
// window's message queue carries them.
class EventQueue {
 public:
  void Push(std::int32_t code, double value, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back({code, value, text});
    m_changed.notify_one();
  }
  QueuedEvent Pop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_events.empty(); });
    QueuedEvent e = std::move(m_events.front());
    m_events.pop_front();
    return e;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<QueuedEvent> m_events;
};

class ProgressPrinter {
 public:
  explicit ProgressPrinter(double downloadScale)
      : m_progress(downloadScale), m_terminal(isatty(fileno(stdout)) != 0), m_start(Clock::now()) {}

  void OnEvent(std::int32_t code, double value) {
    double now = std::chrono::duration<double>(Clock::now() - m_start).count();
    if (!m_progress.OnEvent(code, value, now)) return;
    if (m_terminal) {
      std::printf("\r%s\033[K", m_progress.Bar(30).c_str());
    } else {
      std::printf("progress %d%% %s\n", m_progress.Percent(), m_progress.Phase());
    }
    std::fflush(stdout);
    m_lineOpen = m_terminal;
  }

  // Prints a whole line without tearing the bar.
  void Line(const std::string& text) {
    if (m_lineOpen) std::printf("\n");
    m_lineOpen = false;
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }

 private:
  using Clock = std::chrono::steady_clock;
  CliProgress m_progress;
  bool m_terminal;
  Clock::time_point m_start;
  bool m_lineOpen = false;
};

void PrintUsage() {
  std::printf(
      "usage: tarnwick-setup-cli [-installdir=<folder>] [-downloadurl=<url>] [-downloadtype=<1|2|3>]\n"
      "                          [-ischecknet=true] [-instcmd=<text>] [-insnew=true] [-help]\n"
      "exit codes: 0 installed, 1 usage, 2 product running, 3 bad folder, 4 no disk space,\n"
      "            5 no network, 6 removal failed, 7 download failed, 8 install failed,\n"
      "            9 another installer runs\n");
}

// Windows starts any downloaded .exe as it is; the POSIX stand-in of process
// start needs the execute permission, which a fresh download lacks. Adding
// it changes nothing on Windows.
void MarkRunnable(const std::wstring& path) {
  std::error_code ec;
  std::filesystem::permissions(std::filesystem::path(path), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add, ec);
}

bool ConsoleUserIsAdmin() {
  std::wstring user;
  return Utils::GetConsoleUserName(&user) && Utils::IsAccountAdmin(user);
}

// Handles one event; returns the exit code once the attempt has ended, or
// -1 while it goes on.
int HandleEvent(const QueuedEvent& e, InstallResult* result, ProgressPrinter* printer) {
  printer->OnEvent(e.code, e.value);
  ApplyInstallEvent(result, e.code, e.value, e.text);
  switch (e.code) {
    case UNIST_CODE_SUCCESS:
      printer->Line("earlier installation removed");
      return -1;
    case UNIST_CODE_FAIL:
    case UNIST_CODE_ERROR:
      printer->Line("removing the earlier installation failed: " + Utf8(e.text));
      return kExitRemovalFailed;
    case DL_CODE_FAIL:
      printer->Line("download failed (" + std::to_string(static_cast<long>(e.value)) + "): " +
                    DownloadFailureCause(e.value));
      return kExitDownloadFailed;
    case DL_CODE_STATUS:
      printer->Line(Utf8(e.text));
      return -1;
    case DL_CODE_MD5:
      printer->Line("download check: " + Utf8(e.text));
      return -1;
    case IST_CODE_START:
      WriteInstallInfo(result->installDir);
      return -1;
    case IST_CODE_MESSAGE:
      printer->Line("message from the package: " + Utf8(e.text));
      return -1;
    case IST_CODE_FAIL:
      printer->Line("installation failed: " + (e.text.empty() ? std::string("安装失败") : Utf8(e.text)));
      return kExitInstallFailed;
    case IST_CODE_SUCCESS:
      WriteInstallRecords(result);
      WriteInstallInfo(result->installDir);
      printer->Line("installed into " + Utf8(result->installDir));
      return kExitInstalled;
    default:
      return -1;
  }
}

void PrintRecords() {
  RegisteredInstall now = ReadInstallRecords();
  std::printf("record InstallPath=%s\nrecord UnInstallEp=%s\n", Utf8(now.installPath).c_str(),
              Utf8(now.uninstEp).c_str());
}

int Install(const CommandLineOptions& options) {
  RegisteredInstall registered = ReadInstallRecords();
  bool consoleAdmin = ConsoleUserIsAdmin();
  bool processAdmin = Utils::IsUserAdmin();
  std::wstring folder = options.GetString(
      L"-installdir", DefaultInstallDir(registered.installPath, registered.uninstEp, consoleAdmin, processAdmin));

  const CInstallerConfig& config = Config();
  PreflightResult preflight = RunPreflight(folder, config.InsNew, config.IsCheckNet);
  if (preflight.code != kExitInstalled) {
    std::fprintf(stderr, "tarnwick-setup-cli: %s\n", preflight.message.c_str());
    return preflight.code;
  }

  std::wstring uninstaller = IsOverrideDisabled(registered.installPath, folder) ? L"" : registered.uninstEp;
  if (!uninstaller.empty() && platform::FileExists(uninstaller))
    std::printf("found an earlier installation in %s; running its uninstaller first\n",
                Utf8(registered.installPath).c_str());

  InstallResult result;
  result.installDir = folder;
  EventQueue queue;
  ProgressPrinter printer(config.DownloadScale);
  int exitCode = -1;
  {
    const std::wstring package = CDownloadInstaller::PackagePathFor(folder);
    CDownloadInstaller driver(
        [&queue, package](std::int32_t code, double value, const std::wstring& text) {
          // On the downloader's thread, before the driver runs the package.
          if (code == DL_CODE_SUCCESS) MarkRunnable(package);
          queue.Push(code, value, text);
        },
        L"", L"", L"", true, true, true);
    driver.SetParams(config.DownloadUrl, registered.installPath, uninstaller, folder, true, true, consoleAdmin,
                     processAdmin, L"");
    driver.Start();
    while (exitCode < 0) exitCode = HandleEvent(queue.Pop(), &result, &printer);
    // Leaving the scope waits for a package or uninstaller that still runs.
  }
  if (exitCode == kExitInstalled) PrintRecords();
  return exitCode;
}

}  // namespace

int main() {
  Utils::ProcessMutex guard(L"Installer_tarnwick");
  guard.Acquire();
  if (!guard.IsHeld()) {
    std::fprintf(stderr, "tarnwick-setup-cli: another installer is running\n");
    return kExitAnotherInstance;
  }
  CommandLineOptions options = ParseCommandLine();
  if (options.Contains(L"-help") || options.Contains(L"--help") || options.Contains(L"/?")) {
    PrintUsage();
    return kExitUsage;
  }
  ApplyCommandLine(options, Config());
  return Install(options);
}
