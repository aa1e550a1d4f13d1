#include "install/installer.h"

#include <utility>

#include "config/installer_config.h"
#include "install/command_line.h"
#include "install/package_child.h"
#include "utils/exception.h"
#include "utils/log.h"
#include "utils/text.h"

CInstaller::CInstaller(EventCallback callback, std::wstring package, std::wstring installFolder)
    : m_callback(std::move(callback)), m_package(std::move(package)), m_installFolder(std::move(installFolder)) {}

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
  Report(result);
  return result.verdict;
}

void CInstaller::Run() {
  RunPackage();
  if (m_runEnded) m_runEnded();
}

void CInstaller::Report(const install::ChunkResult& result) {
  for (const std::wstring& word : result.ignoredEncodings) TW_LOG(L"Encode ignored: %ls\r\n", word.c_str());
  for (const install::StatusEvent& e : result.events) {
    if (std::wstring(e.key) == L"ExePath=") TW_LOG(L"ExePath: %ls", e.text.c_str());
    m_callback(e.code, e.value, e.text);
  }
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

  // The lines that one read completes are reported together, like the
  // lines of one chunk; after the first read with a verdict nothing more is
  // reported, and the rest of the output is only taken off the pipe so the
  // package can finish.
  install::InstallStatusReader reader(&m_status);
  int verdict = install::kVerdictNone;
  auto report = [&](const install::ChunkResult& result) {
    Report(result);
    verdict = result.verdict;
  };
  child.ReadOutput([&](const char* data, std::size_t size) {
    if (verdict == install::kVerdictNone) report(reader.Feed(data, size));
  });
  if (verdict == install::kVerdictNone) report(reader.Finish());
  const std::uint32_t exitCode = child.WaitAndClose();
  TW_LOG(L"package exit code %ls\r\n", install::ExitCodeText(exitCode).c_str());
  if (verdict != install::kVerdictNone) return;
  // Without a verdict only the exit code tells: a crash or a failed exit is
  // no installation, whatever the package wrote before.
  if (exitCode == 0) {
    m_callback(IST_CODE_SUCCESS, 1.0, L"");
  } else {
    m_callback(IST_CODE_FAIL, kFailValueExitCode, L"安装包异常退出，退出代码 " + install::ExitCodeText(exitCode));
  }
}
