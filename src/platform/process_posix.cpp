// POSIX stand-in for child processes and pipes.
//
// A process handle points to a heap record (pid, reaped flag, exit status),
// so the exit code stays readable after waitpid has collected the child.
// Pipes are created close-on-exec and the child closes every descriptor
// above its three standard ones, so no child inherits another child's pipe
// end: a reader sees end-of-data as soon as its own child has gone.
#include "platform/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <dirent.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/codepage.h"

extern char** environ;

namespace platform {
namespace {

struct ChildRecord {
  std::mutex mutex;
  pid_t pid = 0;
  bool reaped = false;
  int status = 0;
  bool terminated = false;          // ended by TerminateChildProcess
  std::uint32_t terminateCode = 0;  // the code it was asked to end with
};

ChildRecord* RecordOf(Handle h) {
  return IsValid(h) && h != 0 ? reinterpret_cast<ChildRecord*>(h) : nullptr;
}

// Collects the child if it has ended; `block` waits for it. Call with the
// record's mutex held.
bool Reap(ChildRecord* record, bool block) {
  if (record->reaped) return true;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(record->pid, &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == record->pid) {
    record->reaped = true;
    record->status = status;
    return true;
  }
  return false;
}

std::uint32_t ExitCodeOf(const ChildRecord& record) {
  if (record.terminated) return record.terminateCode;
  if (WIFEXITED(record.status)) return static_cast<std::uint32_t>(WEXITSTATUS(record.status));
  if (WIFSIGNALED(record.status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(record.status));
  return 0;
}

int Fd(Handle h) { return static_cast<int>(h); }

}  // namespace

// ---- pipes -------------------------------------------------------------

bool CreateAnonymousPipe(Handle* readEnd, Handle* writeEnd) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  *readEnd = fds[0];
  *writeEnd = fds[1];
  return true;
}

bool CreateOutputPipe(Handle* readEnd, Handle* writeEnd) { return CreateAnonymousPipe(readEnd, writeEnd); }

bool SetInheritable(Handle h, bool inheritable) {
  if (!IsValid(h)) return false;
  const int flags = fcntl(Fd(h), F_GETFD);
  if (flags < 0) return false;
  return fcntl(Fd(h), F_SETFD, inheritable ? (flags & ~FD_CLOEXEC) : (flags | FD_CLOEXEC)) == 0;
}

void CloseHandle(Handle h) {
  if (IsValid(h)) close(Fd(h));
}

long ReadPipe(Handle readEnd, void* buffer, std::size_t size) {
  if (!IsValid(readEnd)) return -1;
  for (;;) {
    const ssize_t got = read(Fd(readEnd), buffer, size);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) return -1;
  }
}

bool WritePipe(Handle writeEnd, const void* data, std::size_t size) {
  if (!IsValid(writeEnd)) return false;
  // A reader that has gone must give an error here, not kill the process
  // with SIGPIPE: block it for this thread and swallow a pending one.
  sigset_t pipeOnly, previous;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
  const auto* bytes = static_cast<const char*>(data);
  bool ok = true;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = write(Fd(writeEnd), bytes + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  if (!ok && errno == EPIPE) {
    const timespec zero{0, 0};
    while (sigtimedwait(&pipeOnly, nullptr, &zero) > 0) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return ok;
}

// ---- child processes ---------------------------------------------------

bool StartChildProcess(wchar_t* commandLine, const ChildStdio& stdio, ProcessInfo* out) {
  if (commandLine == nullptr || out == nullptr) return false;
  const std::vector<std::wstring> args = SplitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return false;

  std::vector<std::string> narrow;
  for (const std::wstring& arg : args) narrow.push_back(ToNarrow(arg, kCodePageUtf8));
  std::vector<char*> argv;
  for (std::string& arg : narrow) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const Handle wanted[3] = {stdio.input, stdio.output, stdio.error};
  for (int fd = 0; fd < 3; ++fd) {
    if (IsValid(wanted[fd])) {
      posix_spawn_file_actions_adddup2(&actions, Fd(wanted[fd]), fd);
    } else {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  auto* record = new ChildRecord();
  record->pid = pid;
  out->process = reinterpret_cast<Handle>(record);
  out->thread = kInvalidHandle;
  out->processId = static_cast<std::uint32_t>(pid);
  out->threadId = static_cast<std::uint32_t>(pid);
  return true;
}

bool GetProcessExitCode(Handle process, std::uint32_t* exitCode) {
  ChildRecord* record = RecordOf(process);
  if (record == nullptr || exitCode == nullptr) return false;
  std::lock_guard<std::mutex> lock(record->mutex);
  *exitCode = Reap(record, /*block=*/false) ? ExitCodeOf(*record) : kStillActive;
  return true;
}

bool WaitForProcess(Handle process, std::uint32_t timeoutMs) {
  ChildRecord* record = RecordOf(process);
  if (record == nullptr) return false;
  if (timeoutMs == kWaitForever) {
    // Wait without collecting and without the lock, so another thread may
    // still terminate the child or ask for its code meanwhile.
    siginfo_t info{};
    int rc;
    do {
      rc = waitid(P_PID, static_cast<id_t>(record->pid), &info, WEXITED | WNOWAIT);
    } while (rc != 0 && errno == EINTR);
    std::lock_guard<std::mutex> lock(record->mutex);
    return Reap(record, /*block=*/rc == 0);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  auto pause = std::chrono::microseconds(200);
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(record->mutex);
      if (Reap(record, /*block=*/false)) return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

bool TerminateChildProcess(Handle process, std::uint32_t exitCode) {
  ChildRecord* record = RecordOf(process);
  if (record == nullptr) return false;
  std::lock_guard<std::mutex> lock(record->mutex);
  // A process that has already ended keeps its own exit code, as
  // TerminateProcess fails on an ended process.
  if (Reap(record, /*block=*/false)) return false;
  if (kill(record->pid, SIGKILL) != 0) return false;
  record->terminated = true;
  record->terminateCode = exitCode;
  return true;
}

void CloseProcess(ProcessInfo* info) {
  if (info == nullptr) return;
  if (ChildRecord* record = RecordOf(info->process)) {
    bool ended;
    {
      std::lock_guard<std::mutex> lock(record->mutex);
      ended = Reap(record, /*block=*/false);
    }
    if (!ended) {
      // Closing a handle does not stop a process; collect it whenever it
      // ends so it does not linger as a zombie.
      const pid_t pid = record->pid;
      std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
    delete record;
  }
  *info = ProcessInfo();
}

std::vector<std::wstring> ProcessArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::wstring> args;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    args.push_back(ToWide(raw.substr(start, end - start), kCodePageUtf8));
    start = end + 1;
  }
  return args;
}

// ---- identity and snapshot ---------------------------------------------

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

std::uint32_t CurrentThreadId() { return static_cast<std::uint32_t>(syscall(SYS_gettid)); }

void SetThreadName(std::uint32_t threadId, const std::string& name) {
  if (threadId != CurrentThreadId()) return;  // only the caller's own thread can be named here
  pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

std::uint32_t FindProcessIdByName(const std::wstring& exeName) {
  if (exeName.empty()) return 0;
  const std::string wanted = ToNarrow(exeName, kCodePageUtf8);
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  std::uint32_t found = 0;
  while (const dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    char target[4096];
    const std::string link = std::string("/proc/") + entry->d_name + "/exe";
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;  // another user's process, or a kernel thread
    std::string path(target, static_cast<std::size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
      path.resize(path.size() - deleted.size());
    }
    if (path.substr(path.rfind('/') + 1) == wanted) {
      found = static_cast<std::uint32_t>(pid);
      break;
    }
  }
  closedir(proc);
  return found;
}

}  // namespace platform
