#include "install/installer.h"

#include <chrono>
#include <thread>
#include <utility>

#include "config/installer_config.h"
#include "install/command_line.h"
#include "install/package_child.h"
#include "utils/exception.h"
#include "utils/log.h"
#include "utils/text.h"

CInstaller::CInstaller(EventCallback callback, std::wstring package, std::wstring installFolder)
    : m_callback(std::move(callback)), m_package(std::move(package)), m_installFolder(std::move(installFolder)) {}

// The worker reads almost every member, and several of them (m_languageTag,
// m_runEnded) are declared after m_thread, so member-wise destruction would
// free them while the worker may still use them. Joining first, before any
// member goes, makes the order of declaration irrelevant.
CInstaller::~CInstaller() { m_thread.reset(); }

void CInstaller::SetFlags(bool desktopShortcut, bool quickLaunch, bool adminAccount, bool elevated) {
  m_desktopShortcut = desktopShortcut;
  m_quickLaunch = quickLaunch;
  m_adminAccount = adminAccount;
  m_elevated = elevated;
}

std::wstring CInstaller::BuildCommandLine() const {
  install::PackageCommandOptions o;
  o.quotedPackage = m_package;
  o.adminAccount = m_adminAccount;
  o.elevated = m_elevated;
  o.desktopShortcut = m_desktopShortcut;
  o.quickLaunch = m_quickLaunch;
  o.languageTag = m_languageTag;
  o.extraCommand = Config().InstCmd;
  o.installFolder = m_installFolder;
  return install::BuildPackageCommandLine(o);
}

void CInstaller::Start() {
  std::wstring commandLine = BuildCommandLine();
  // The previous run's worker still reads m_commandLine and the status
  // state; it must be gone before either changes.
  if (m_thread && m_thread->HasHandle()) m_thread->Join();
  m_thread.reset();
  m_commandLine = std::move(commandLine);
  m_thread = std::make_unique<Utils::Thread>();
  m_thread->Start(this, L"ABDEF", [](void* self) { static_cast<CInstaller*>(self)->Run(); });
  m_thread->Resume();
}

void CInstaller::Wait() {
  if (m_thread) m_thread->Join();
}

int CInstaller::Parse(const std::wstring& text) {
  install::ChunkResult result = install::ParseInstallStatus(text, &m_status);
  for (const install::StatusEvent& e : result.events) {
    if (std::wstring(e.key) == L"ExePath=") TW_LOG(L"ExePath: %ls", e.text.c_str());
    m_callback(e.code, e.value, e.text);
  }
  return result.verdict;
}

void CInstaller::Run() {
  RunPackage();
  if (m_runEnded) m_runEnded();
}

void CInstaller::RunPackage() {
  m_callback(IST_CODE_START, 0.0, L"");
  m_callback(IST_CODE_PROGRESS, 0.0, L"");

  install::PackageChild child;
  try {
    child.Start(m_commandLine);
  } catch (const Utils::Exception&) {
    m_callback(IST_CODE_FAIL, 2.0, L"");
    return;
  }

  int verdict = install::kVerdictNone;
  for (;;) {
    std::string bytes;
    if (child.ReadChunk(&bytes)) {
      verdict = Parse(Utils::ToWide(bytes, static_cast<std::uint32_t>(m_status.codePage)));
      if (verdict != install::kVerdictNone) break;
    } else if (!child.IsRunning()) {
      break;  // all output read and the package has ended
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  // The verdict decides the events; the rest of the output only has to be
  // taken off the pipe so the package can finish.
  if (verdict != install::kVerdictNone) child.DiscardOutputWhileRunning();
  child.WaitAndClose();
  if (verdict == install::kVerdictNone) m_callback(IST_CODE_SUCCESS, 1.0, L"");
}
