#include "rules/start_checks.h"

#include "platform/paths.h"
#include "platform/process.h"
#include "rules/product_names.h"
#include "utils/directories.h"
#include "utils/probes.h"

namespace rules {

StartRefusal CheckRunningPrograms(bool insNew, const StartProbes& probes) {
  if (insNew) return StartRefusal::kNone;
  if (probes.isRunning(kUninstallerCopyName)) return StartRefusal::kUninstallerRunning;
  if (probes.isRunning(kProductExeName)) return StartRefusal::kProductRunning;
  return StartRefusal::kNone;
}

StartRefusal CheckFolder(const std::wstring& folder, const StartProbes& probes) {
  if (!probes.createDirectories(folder)) return StartRefusal::kInvalidPath;
  if (!HasRequiredSpace(probes.freeBytes(FreeSpaceTarget(folder)))) return StartRefusal::kLowDiskSpace;
  return StartRefusal::kNone;
}

StartRefusal CheckStart(const std::wstring& folder, bool insNew, const StartProbes& probes) {
  const StartRefusal running = CheckRunningPrograms(insNew, probes);
  if (running != StartRefusal::kNone) return running;
  return CheckFolder(folder, probes);
}

bool HasRequiredSpace(std::optional<std::uint64_t> freeBytes) {
  return freeBytes.value_or(0) >= kRequiredFreeBytes;
}

std::wstring FreeSpaceTarget(const std::wstring& folder) {
  // The system asks for a trailing separator on a share's root; any other
  // folder takes one as well.
  if (folder.empty() || platform::IsPathSeparator(folder.back())) return folder;
  return folder + platform::kPathSeparator;
}

StartProbes SystemStartProbes() {
  StartProbes probes;
  probes.isRunning = [](const std::wstring& name) { return platform::FindProcessIdByName(name) != 0; };
  probes.createDirectories = [](const std::wstring& folder) { return Utils::CreateDirectories(folder); };
  probes.freeBytes = [](const std::wstring& path) -> std::optional<std::uint64_t> {
    Utils::HardDiskManager disk;
    if (!disk.CheckFreeSpace(path)) return std::nullopt;
    return disk.m_freeBytesAvailable;
  };
  return probes;
}

}  // namespace rules
