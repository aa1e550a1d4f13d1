// POSIX stand-in for opening things through the shell: an executable file is
// started directly, anything else goes to xdg-open. Both run detached (double
// fork), so nothing waits for them and they never become zombies of ours.
#include "platform/shell.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/codepage.h"
#include "platform/process.h"

extern char** environ;

namespace platform {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string list = path;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = end > start ? list.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// Starts `argv` as a grandchild in its own session; true once exec has
// succeeded (a close-on-exec pipe reports an exec failure back).
bool SpawnDetached(std::vector<std::string> args, const std::string& folder) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;

  // Only async-signal-safe calls between fork and exec.
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    setsid();
    const pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
      const int error = errno;
      (void)!write(report[1], &error, sizeof error);
      _exit(127);
    }
    execve(argv[0], argv.data(), environ);
    const int error = errno;
    (void)!write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace

bool ShellOpen(const std::wstring& target, const std::wstring& parameters, const std::wstring& workingFolder,
               ShowMode show) {
  if (target.empty()) return false;
  const std::string file = ToNarrow(target, kCodePageUtf8);
  const std::string folder = ToNarrow(workingFolder, kCodePageUtf8);
  if (file.find('/') != std::string::npos && IsExecutableFile(file)) {
    std::vector<std::string> args{file};
    // The parameters are Windows-style command-line text.
    std::vector<std::wstring> split = SplitCommandLine(L"x " + parameters);
    for (std::size_t i = 1; i < split.size(); ++i) args.push_back(ToNarrow(split[i], kCodePageUtf8));
    return SpawnDetached(args, folder);
  }
  const std::string opener = FindInPath("xdg-open");
  if (opener.empty()) return false;
  return SpawnDetached({opener, file}, folder);
}

bool ShellOpenAsDesktopUser(const std::wstring& target, const std::wstring& parameters,
                            const std::wstring& workingFolder, ShowMode show, bool* viaDesktopShell) {
  if (viaDesktopShell != nullptr) *viaDesktopShell = false;
  return ShellOpen(target, parameters, workingFolder, show);
}

}  // namespace platform
