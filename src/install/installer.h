// CInstaller: runs the downloaded package silently and turns its status
// lines into events.
//
// Start composes the command line (see install/command_line.h; the InstCmd
// setting is appended verbatim), waits for an earlier run's worker, and runs
// the package on a worker thread named "ABDEF". The run reports 2001 and
// 2002 with 0.0, then one event per recognised status line (lines are joined
// across reads; see install/status_line.h), then:
//   - nothing more after a read that completed a verdict line ("State=",
//     "Error=");
//   - when the package ended without a verdict: 2003 with 1.0 if its exit
//     code is 0, otherwise 2004 with kFailValueExitCode and a text naming
//     the code (a crash, a kill or a failed exit is no installation);
//   - 2004 with 2.0 and an empty text (and nothing else) when the package
//     could not be started.
// After a verdict the output is still read and dropped until the package
// ends, so a package that keeps writing cannot block on a full pipe; its
// standard error is drained throughout. When the package has ended, what it
// wrote last is still read, for a bounded time (install/package_child.h), so
// a final status line is not lost and a process left holding the pipes does
// not hold up the run.
//
// Threads: Start and the setters belong to the owner's thread; the callback
// is called on the worker only, one event at a time, in line order. Start
// blocks until the previous run's worker has ended; so does the destructor.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "install/status_line.h"
#include "utils/events.h"
#include "utils/thread.h"

class CInstaller {
 public:
  // `package` is the package's full path in double quotes.
  CInstaller(EventCallback callback, std::wstring package, std::wstring installFolder);
  ~CInstaller();
  CInstaller(const CInstaller&) = delete;
  CInstaller& operator=(const CInstaller&) = delete;

  void SetInstallFolder(const std::wstring& folder) { m_installFolder = folder; }
  void SetFlags(bool desktopShortcut, bool quickLaunch, bool adminAccount, bool elevated);
  void SetLanguageTag(const std::wstring& tag) { m_languageTag = tag; }

  void Start();

  // Called on the worker at the very end of every run, after the package
  // process has ended (the owner deletes the package file then). Set it
  // before Start.
  void SetRunEndedHook(std::function<void()> hook) { m_runEnded = std::move(hook); }

  // Blocks until the current run, if any, has ended. Owner's thread only.
  void Wait();

  // Handles one decoded chunk: reports its events and returns its verdict
  // (install::kVerdictNone, kVerdictSuccess or kVerdictFailure).
  int Parse(const std::wstring& text);

  // The command line of the latest Start.
  const std::wstring& CommandLine() const { return m_commandLine; }
  // What the package said through "Encode=" and "InstallVersion=". Read
  // them only while no run is active.
  std::int32_t CodePage() const { return m_status.codePage; }
  const std::int32_t* InstalledVersion() const { return m_status.version; }

 private:
  std::wstring BuildCommandLine() const;
  void Run();
  void RunPackage();
  void Report(const install::ChunkResult& result);

  EventCallback m_callback;
  std::wstring m_package;
  std::wstring m_installFolder;
  std::wstring m_commandLine;
  bool m_quickLaunch = false;
  bool m_desktopShortcut = false;
  install::InstallStatusState m_status;  // code page and installed version
  std::unique_ptr<Utils::Thread> m_thread;
  bool m_adminAccount = false;
  bool m_elevated = true;
  std::wstring m_languageTag;
  std::function<void()> m_runEnded;
};
