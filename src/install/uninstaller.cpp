#include "install/uninstaller.h"

#include <utility>

#include "install/command_line.h"
#include "install/package_child.h"
#include "platform/files.h"
#include "utils/exception.h"
#include "utils/log.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

bool ConsoleUserIsAdmin() {
  std::wstring user;
  return Utils::GetConsoleUserName(&user) && Utils::IsAccountAdmin(user);
}

}  // namespace

CUnInstaller::CUnInstaller(EventCallback callback, std::wstring uninstallerPath, std::wstring oldInstallFolder)
    : m_callback(std::move(callback)),
      m_uninstallerPath(std::move(uninstallerPath)),
      m_oldInstallFolder(std::move(oldInstallFolder)) {}

CUnInstaller::~CUnInstaller() { m_thread.reset(); }

void CUnInstaller::Start() {
  if (m_thread && m_thread->HasHandle()) m_thread->Join();
  m_commandLine = install::BuildUninstallerCommandLine(m_uninstallerPath, ConsoleUserIsAdmin(), Utils::IsUserAdmin(),
                                                       m_oldInstallFolder);
  m_thread = std::make_unique<Utils::Thread>();
  m_thread->Start(this, L"UnInstaller", [](void* self) { static_cast<CUnInstaller*>(self)->Run(); });
  m_thread->Resume();
}

int CUnInstaller::Parse(const std::wstring& text) {
  install::ChunkResult result = install::ParseUninstallStatus(text, &m_status);
  for (const install::StatusEvent& e : result.events) m_callback(e.code, e.value, e.text);
  return result.verdict;
}

void CUnInstaller::Run() {
  if (!platform::FileExists(m_uninstallerPath)) {
    m_callback(UNIST_CODE_FAIL, 1.0, L"可执行卸载文件不存在");
    return;
  }
  m_callback(UNIST_CODE_PROGRESS, 0.0, L"");

  install::PackageChild child;
  try {
    child.Start(m_commandLine);
  } catch (const Utils::Exception&) {
    m_callback(UNIST_CODE_FAIL, 2.0, L"");
    return;
  }

  // Read to the end of the output rather than only while the child runs:
  // an uninstaller that writes "State=Fail" and exits at once must not be
  // taken for a silent success.
  install::UninstallStatusReader reader(&m_status);
  bool anyVerdict = false;
  auto report = [&](const install::ChunkResult& result) {
    for (const install::StatusEvent& e : result.events) m_callback(e.code, e.value, e.text);
    if (result.verdict != install::kVerdictNone) anyVerdict = true;
  };
  child.ReadOutput([&](const char* data, std::size_t size) { report(reader.Feed(data, size)); });
  report(reader.Finish());
  const std::uint32_t exitCode = child.WaitAndClose();
  TW_LOG(L"uninstaller exit code %ls\r\n", install::ExitCodeText(exitCode).c_str());
  if (anyVerdict) return;
  // Without a verdict only the exit code tells; a crashed uninstaller may
  // have removed half the installation, and nothing must be installed over
  // that.
  if (exitCode == 0) {
    m_callback(UNIST_CODE_SUCCESS, 1.0, L"");
  } else {
    m_callback(UNIST_CODE_ERROR, kFailValueExitCode, L"卸载程序异常退出，退出代码 " + install::ExitCodeText(exitCode));
  }
}
