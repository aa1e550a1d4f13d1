// CUnInstaller: runs an earlier installation's uninstaller silently and
// turns its status lines into events.
//
// Start composes "<uninstaller>" /S -adminact=.. -authorizationact=..
// -console=show _?=<old folder> (the two flags from the console user's
// account and this process's token, asked at that moment) and runs it on a
// worker thread named "UnInstaller". The run reports:
//   - 5004 with 1.0 and "可执行卸载文件不存在" when the file is missing;
//   - 5004 with 2.0 and an empty text when it cannot be started;
//   - otherwise 5002 with 0.0, one event per recognised status line (joined
//     across reads), and, when no line carried a verdict, at the end 5003
//     with 1.0 if the exit code is 0, else 5005 with kFailValueExitCode and
//     a text naming the code.
// All output is read to its end, also after a verdict (later lines are still
// reported), and standard error is drained, so the uninstaller never blocks
// on a full pipe; after its end, a process it left holding the pipes is not
// waited for (install/package_child.h).
//
// Threads: Start belongs to the owner's thread and is called once; events
// arrive on the worker. The destructor waits for the worker to end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "install/status_line.h"
#include "utils/events.h"
#include "utils/thread.h"

class CUnInstaller {
 public:
  CUnInstaller(EventCallback callback, std::wstring uninstallerPath, std::wstring oldInstallFolder);
  ~CUnInstaller();
  CUnInstaller(const CUnInstaller&) = delete;
  CUnInstaller& operator=(const CUnInstaller&) = delete;

  void Start();

  // Handles one decoded chunk; returns its verdict.
  int Parse(const std::wstring& text);

  const std::wstring& CommandLine() const { return m_commandLine; }

 private:
  void Run();

  EventCallback m_callback;
  std::wstring m_commandLine;
  std::wstring m_uninstallerPath;
  std::wstring m_oldInstallFolder;
  install::UninstallStatusState m_status;
  std::unique_ptr<Utils::Thread> m_thread;
};
