// Child processes with redirected standard handles, anonymous pipes, the
// process snapshot, and process and thread identity.
//
// Command lines are Windows-style text. Windows hands them to CreateProcessW
// as they are; the POSIX stand-in splits them with SplitCommandLine (the
// CommandLineToArgvW rules) and runs the first argument with the rest as its
// arguments, searching PATH when the program has no separator.
// Functions are thread-safe; one handle is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/handle.h"

namespace platform {

// ---- pipes -------------------------------------------------------------

// An anonymous pipe whose two ends are inheritable (CreatePipe, default size).
bool CreateAnonymousPipe(Handle* readEnd, Handle* writeEnd);

// Marks a handle (non-)inheritable by children (SetHandleInformation).
bool SetInheritable(Handle h, bool inheritable);

// Closes a pipe end; kInvalidHandle is ignored.
void CloseHandle(Handle h);

// A pipe whose read end can also be waited on together with a process
// (platform/child_output.h): the runners' standard output and error. On
// Windows a uniquely named pipe whose read end is overlapped and whose write
// end is an ordinary synchronous handle, so the child writes to it as to any
// pipe; elsewhere the same as CreateAnonymousPipe.
bool CreateOutputPipe(Handle* readEnd, Handle* writeEnd);

// Reads up to `size` bytes, blocking until data arrives or every writer is
// gone. Returns the byte count, 0 at the end of data, -1 on error. Serves the
// read ends of both kinds of pipe.
long ReadPipe(Handle readEnd, void* buffer, std::size_t size);

// Writes all bytes; false on error.
bool WritePipe(Handle writeEnd, const void* data, std::size_t size);

// ---- child processes ---------------------------------------------------

struct ChildStdio {
  Handle input = kInvalidHandle;   // the child's standard input
  Handle output = kInvalidHandle;  // its standard output
  Handle error = kInvalidHandle;   // its standard error
};

struct ProcessInfo {
  Handle process = kInvalidHandle;
  Handle thread = kInvalidHandle;  // primary thread (Windows); unused on POSIX
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
};

// Starts `commandLine` (its first token is the program) with handle
// inheritance on, the parent's environment and folder, no window shown, and
// the given standard handles. `commandLine` must be a writable, zero-
// terminated buffer; Windows may modify it. False when nothing started.
bool StartChildProcess(wchar_t* commandLine, const ChildStdio& stdio, ProcessInfo* out);

inline constexpr std::uint32_t kStillActive = 259;  // STILL_ACTIVE

// The exit code, or kStillActive while the process runs. False on error.
// POSIX: a child ended by a signal reports 128 + the signal number, one ended
// by TerminateChildProcess the code given there.
bool GetProcessExitCode(Handle process, std::uint32_t* exitCode);

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// Waits for the process to end; true when it has ended within `timeoutMs`.
bool WaitForProcess(Handle process, std::uint32_t timeoutMs);

// Ends the process with `exitCode`. For tests and cancellation only.
bool TerminateChildProcess(Handle process, std::uint32_t exitCode);

// Releases the process and thread handles of `info`.
void CloseProcess(ProcessInfo* info);

// Splits a command line by the CommandLineToArgvW rules: blanks (space, tab)
// separate arguments outside quotes; double quotes group; 2n backslashes
// before a quote give n backslashes and the quote delimits; 2n+1 give n
// backslashes and a literal quote; backslashes elsewhere are literal; inside
// quotes, two quotes in a row give one literal quote. The first argument
// (the program) ends at the first blank outside quotes and takes
// backslashes literally, as Windows does. An empty command line gives no
// arguments.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// This process's command line split into arguments (CommandLineToArgvW of
// GetCommandLineW on Windows; /proc/self/cmdline on POSIX).
std::vector<std::wstring> ProcessArguments();

// ---- identity and snapshot ---------------------------------------------

std::uint32_t CurrentProcessId();
std::uint32_t CurrentThreadId();

// Names a thread for an attached debugger (the 0x406D1388 exception on
// Windows; pthread_setname_np on POSIX when `threadId` is the caller's).
void SetThreadName(std::uint32_t threadId, const std::string& name);

// The id of the first running process whose executable file name equals
// `exeName` exactly (case-sensitive), or 0 (CreateToolhelp32Snapshot on
// Windows; /proc/<pid>/exe on POSIX).
std::uint32_t FindProcessIdByName(const std::wstring& exeName);

}  // namespace platform
