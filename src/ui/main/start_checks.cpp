#include "ui/main/start_checks.h"

#include "install/process_lookup.h"
#include "platform/paths.h"
#include "utils/directories.h"
#include "utils/probes.h"

namespace mainwnd {

StartRefusal CheckRunningPrograms(bool insNew, const StartProbes& probes) {
  if (insNew) return StartRefusal::kNone;
  if (probes.isRunning(install::kUninstallerCopyName)) return StartRefusal::kUninstallerRunning;
  if (probes.isRunning(install::kProductExeName)) return StartRefusal::kProductRunning;
  return StartRefusal::kNone;
}

StartRefusal CheckFolder(const std::wstring& folder, const StartProbes& probes) {
  if (!probes.createDirectories(folder)) return StartRefusal::kInvalidPath;
  if (!HasRequiredSpace(probes.freeBytes(FreeSpaceTarget(folder)))) return StartRefusal::kLowDiskSpace;
  return StartRefusal::kNone;
}

bool HasRequiredSpace(std::optional<std::uint64_t> freeBytes) {
  return freeBytes.value_or(0) >= kRequiredFreeBytes;
}

std::wstring FreeSpaceTarget(const std::wstring& folder) {
  const std::wstring drive = platform::DriveOf(folder);
  if (drive.size() == 2 && drive[1] == L':') return drive;
  return folder;
}

StartProbes SystemStartProbes() {
  StartProbes probes;
  probes.isRunning = [](const std::wstring& name) { return FindProcessByName(name) != 0; };
  probes.createDirectories = [](const std::wstring& folder) { return Utils::CreateDirectories(folder); };
  probes.freeBytes = [](const std::wstring& path) -> std::optional<std::uint64_t> {
    Utils::HardDiskManager disk;
    if (!disk.CheckFreeSpace(path)) return std::nullopt;
    return disk.m_freeBytesAvailable;
  };
  return probes;
}

}  // namespace mainwnd
