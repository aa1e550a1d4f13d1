#include "app/cli/preflight.h"

#include "install/process_lookup.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/probes.h"
#include "utils/directories.h"
#include "utils/probes.h"

PreflightResult RunPreflight(const std::wstring& installDir, bool insNew, bool checkNetwork) {
  if (!insNew && FindProcessByName(install::kUninstallerCopyName) != 0)
    return {kExitProductRunning, "an uninstaller of Tarnwick is still running"};
  if (!insNew && FindProcessByName(install::kProductExeName) != 0)
    return {kExitProductRunning, "Tarnwick is running; quit it and try again"};
  if (!Utils::CreateDirectories(installDir)) return {kExitBadFolder, "the installation folder cannot be created"};

  Utils::HardDiskManager disk;
  disk.CheckFreeSpace(platform::DriveOf(installDir));
  if (static_cast<double>(disk.m_freeBytesAvailable) / 1073741824.0 < 1.0)
    return {kExitNoDiskSpace, "less than 1 GiB free on the installation drive"};

  if (checkNetwork) {
    platform::InitializeComForThread();
    std::uint32_t network = Utils::CheckNetwork();
    platform::UninitializeComForThread();
    if (network > 0xFFFF) return {kExitNoNetwork, "no internet connection"};
  }
  return {};
}

std::wstring DefaultInstallDir(const std::wstring& registeredPath, const std::wstring& registeredUninstEp,
                               bool consoleUserIsAdmin, bool processIsAdmin) {
  if (!registeredPath.empty() && platform::PathExists(registeredUninstEp)) return registeredPath;
  std::optional<std::wstring> base;
  if (consoleUserIsAdmin && processIsAdmin) {
    if (std::optional<std::wstring> appData = platform::GetEnv(L"APPDATA"))
      base = platform::JoinPath(*appData, L"brisel");
  }
  if (!base) base = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFilesX86);
  if (!base) base = platform::GetSpecialFolder(platform::SpecialFolder::kProgramFiles);
  return platform::JoinPath(base.value_or(std::wstring()), L"Tarnwick");
}
