// The checks made before an attempt is handed to the driver, over injected
// probes so that each refusal can be tested without a real process list,
// volume or folder. The window and the headless installer make the same
// checks in the same order.
//
// Order, first refusal wins:
//   1. "Tarnwick_un_asa.exe" runs (an uninstaller copy) → kUninstallerRunning
//   2. "Tarnwick.exe" runs                               → kProductRunning
//      (both skipped with InsNew)
//   3. the folder chain cannot be created (among others: more than 260
//      characters)                                        → kInvalidPath
//   4. less than 1 GiB (2^30 bytes) free to the caller on the folder's
//      volume; a volume that cannot be measured counts as empty
//                                                         → kLowDiskSpace
// The window disables its custom-page button between 2 and 3, so the two
// halves are also separate calls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace rules {

enum class StartRefusal {
  kNone,
  kUninstallerRunning,
  kProductRunning,
  kInvalidPath,
  kLowDiskSpace,
};

struct StartProbes {
  std::function<bool(const std::wstring& exeName)> isRunning;
  std::function<bool(const std::wstring& folder)> createDirectories;
  // Bytes free to the caller on the volume of `path`; nullopt when it
  // cannot be measured.
  std::function<std::optional<std::uint64_t>(const std::wstring& path)> freeBytes;
};

// Steps 1 and 2.
StartRefusal CheckRunningPrograms(bool insNew, const StartProbes& probes);
// Steps 3 and 4.
StartRefusal CheckFolder(const std::wstring& folder, const StartProbes& probes);
// Steps 1 to 4.
StartRefusal CheckStart(const std::wstring& folder, bool insNew, const StartProbes& probes);

inline constexpr std::uint64_t kRequiredFreeBytes = 1073741824;  // 1 GiB
bool HasRequiredSpace(std::optional<std::uint64_t> freeBytes);

// What to measure for `folder`: the folder itself with a trailing separator
// (an empty text stays empty), which exists once step 3 has passed. Its drive would name another volume when the folder sits on
// a mounted volume or behind a junction, and says nothing for a UNC path.
std::wstring FreeSpaceTarget(const std::wstring& folder);

// The probes of the running machine.
StartProbes SystemStartProbes();

}  // namespace rules
