// Child processes, pipes and the process snapshot through the Win32 API.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <string>
#include <mutex>

#include "platform/process.h"

namespace platform {
namespace {

HANDLE Native(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle Wrap(HANDLE h) { return h == nullptr ? kInvalidHandle : reinterpret_cast<Handle>(h); }

constexpr DWORD kSetThreadNameException = 0x406D1388;

// What CreatePipe gives when asked for the default size.
constexpr DWORD kPipeBufferBytes = 4096;

#pragma pack(push, 8)
struct ThreadNameInfo {
  DWORD type;        // 0x1000
  LPCSTR name;
  DWORD threadId;
  DWORD flags;
};
#pragma pack(pop)

// Without __try, a vectored handler resumes after the naming exception once
// an attached debugger has seen it (or passed it on).
LONG CALLBACK ContinueAfterThreadName(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode == kSetThreadNameException) return EXCEPTION_CONTINUE_EXECUTION;
  return EXCEPTION_CONTINUE_SEARCH;
}

void NameForDescription(std::uint32_t threadId, const std::string& name) {
  using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return;
  auto set = reinterpret_cast<SetThreadDescriptionFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")));
  if (set == nullptr) return;  // before Windows 10 1607
  HANDLE thread = OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, threadId);
  if (thread == nullptr) return;
  const int n = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  if (n > 0) {
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), n);
    set(thread, wide.c_str());
  }
  ::CloseHandle(thread);
}

}  // namespace

// ---- pipes -------------------------------------------------------------

bool CreateAnonymousPipe(Handle* readEnd, Handle* writeEnd) {
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  HANDLE r = nullptr, w = nullptr;
  if (!CreatePipe(&r, &w, &sa, 0)) return false;
  *readEnd = Wrap(r);
  *writeEnd = Wrap(w);
  return true;
}

bool SetInheritable(Handle h, bool inheritable) {
  if (!IsValid(h)) return false;
  return SetHandleInformation(Native(h), HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0) != FALSE;
}

void CloseHandle(Handle h) {
  if (IsValid(h) && h != 0) ::CloseHandle(Native(h));
}

bool CreateOutputPipe(Handle* readEnd, Handle* writeEnd) {
  // Anonymous pipes cannot be read overlapped, and a blocking read cannot be
  // abandoned when a grandchild keeps the write end open; a named pipe with
  // one instance, connected at once by our own client end, can.
  static std::atomic<unsigned> serial{0};
  const std::wstring name = L"\\\\.\\pipe\\tarnwick-output-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                           std::to_wstring(++serial) + L"-" + std::to_wstring(GetTickCount());
  SECURITY_ATTRIBUTES sa{};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  // FILE_FLAG_FIRST_PIPE_INSTANCE: a pipe of that name made by someone else
  // fails the call instead of receiving the child's output.
  HANDLE r = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                              PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, /*nMaxInstances=*/1,
                              /*nOutBufferSize=*/0, /*nInBufferSize=*/kPipeBufferBytes, /*nDefaultTimeOut=*/0, &sa);
  if (r == INVALID_HANDLE_VALUE) return false;
  HANDLE w = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &sa, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (w == INVALID_HANDLE_VALUE) {
    ::CloseHandle(r);
    return false;
  }
  *readEnd = Wrap(r);
  *writeEnd = Wrap(w);
  return true;
}

long ReadPipe(Handle readEnd, void* buffer, std::size_t size) {
  if (!IsValid(readEnd)) return -1;
  const DWORD wanted = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
  // Through an OVERLAPPED and its event, which serves an overlapped read
  // end (CreateOutputPipe) as well as a synchronous one.
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ov.hEvent == nullptr) return -1;
  long result = 0;
  // A zero-length write of the other side is not the end of the data.
  while (result == 0) {
    DWORD got = 0;
    const bool ok = ReadFile(Native(readEnd), buffer, wanted, nullptr, &ov) != FALSE ||
                    GetLastError() == ERROR_IO_PENDING;
    if (!ok || !GetOverlappedResult(Native(readEnd), &ov, &got, TRUE)) {
      // Every writer has gone: that is the end of the data, not an error.
      result = GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
      break;
    }
    result = static_cast<long>(got);
  }
  ::CloseHandle(ov.hEvent);
  return result;
}

bool WritePipe(Handle writeEnd, const void* data, std::size_t size) {
  if (!IsValid(writeEnd)) return false;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD put = 0;
    if (!WriteFile(Native(writeEnd), bytes, chunk, &put, nullptr) || put == 0) return false;
    bytes += put;
    size -= put;
  }
  return true;
}

// ---- child processes ---------------------------------------------------

bool StartChildProcess(wchar_t* commandLine, const ChildStdio& stdio, ProcessInfo* out) {
  if (commandLine == nullptr || out == nullptr) return false;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  si.hStdInput = Native(stdio.input);
  si.hStdOutput = Native(stdio.output);
  si.hStdError = Native(stdio.error);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, /*bInheritHandles=*/TRUE, /*dwCreationFlags=*/0,
                      nullptr, nullptr, &si, &pi)) {
    return false;
  }
  out->process = Wrap(pi.hProcess);
  out->thread = Wrap(pi.hThread);
  out->processId = pi.dwProcessId;
  out->threadId = pi.dwThreadId;
  return true;
}

bool GetProcessExitCode(Handle process, std::uint32_t* exitCode) {
  if (!IsValid(process) || exitCode == nullptr) return false;
  DWORD code = 0;
  if (!GetExitCodeProcess(Native(process), &code)) return false;
  *exitCode = code;
  return true;
}

bool WaitForProcess(Handle process, std::uint32_t timeoutMs) {
  if (!IsValid(process)) return false;
  return WaitForSingleObject(Native(process), timeoutMs) == WAIT_OBJECT_0;
}

bool TerminateChildProcess(Handle process, std::uint32_t exitCode) {
  if (!IsValid(process)) return false;
  return TerminateProcess(Native(process), exitCode) != FALSE;
}

void CloseProcess(ProcessInfo* info) {
  if (info == nullptr) return;
  CloseHandle(info->process);
  CloseHandle(info->thread);
  *info = ProcessInfo();
}

std::vector<std::wstring> ProcessArguments() {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

// ---- identity and snapshot ---------------------------------------------

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

std::uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

void SetThreadName(std::uint32_t threadId, const std::string& name) {
  NameForDescription(threadId, name);
  if (!IsDebuggerPresent()) return;  // the exception only speaks to a debugger
  static std::once_flag once;
  std::call_once(once, [] { AddVectoredExceptionHandler(1, ContinueAfterThreadName); });
  ThreadNameInfo info{0x1000, name.c_str(), threadId, 0};
  RaiseException(kSetThreadNameException, 0, sizeof info / sizeof(ULONG_PTR),
                 reinterpret_cast<const ULONG_PTR*>(&info));
}

std::uint32_t FindProcessIdByName(const std::wstring& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  std::uint32_t found = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpW(entry.szExeFile, exeName.c_str()) == 0) {
      found = entry.th32ProcessID;
      break;
    }
    entry.dwSize = sizeof entry;
  }
  ::CloseHandle(snapshot);
  return found;
}

}  // namespace platform
