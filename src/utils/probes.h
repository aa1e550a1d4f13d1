// Machine probes: a new GUID as text, network connectivity, free disk space,
// and who the user is.
//
// No state between calls; any thread. CheckNetwork needs COM initialised on
// the calling thread (platform::InitializeComForThread).
#pragma once

#include <cstdint>
#include <string>

#include "platform/probes.h"

namespace Utils {

// A new GUID as 32 hexadecimal digits, no braces or dashes: 8 and 4 upper-
// case digits, 4 lower-case digits, then 16 upper-case digits. Empty in the
// unlikely case that no GUID can be made (a fixed stand-in would give every
// machine the same identity).
std::wstring CreateGuidString();

// Network result: low 16 bits the connectivity flags (NLM_CONNECTIVITY),
// high 16 bits the verdict.
inline constexpr std::uint32_t kNetworkConnected = 0;   // or the probe did not run
inline constexpr std::uint32_t kNetworkNone = 1;        // no connectivity at all
inline constexpr std::uint32_t kNetworkNoInternet = 2;  // connectivity, no internet

// Asks the network list manager. A result above 0xFFFF means the network is
// unusable. Where no manager exists (Windows XP) the result is 0.
std::uint32_t CheckNetwork();

// The decision over a report already taken, logging as CheckNetwork does.
std::uint32_t CheckNetwork(const platform::NetworkReport& report);

// Free space of the volume holding a folder or drive. The counters start at
// 0, so a failed probe reads as no space.
class HardDiskManager {
 public:
  HardDiskManager() = default;
  virtual ~HardDiskManager();

  // Fills the counters; on failure logs the system error, returns false and
  // leaves the counters as they were.
  bool CheckFreeSpace(const std::wstring& path);

  std::uint64_t m_freeBytesAvailable = 0;  // available to the calling user
  std::uint64_t m_totalBytes = 0;
  std::uint64_t m_totalFreeBytes = 0;
};

// Whether this process's token is in the built-in Administrators group.
bool IsUserAdmin();

// Whether the local account `userName` has administrator privilege.
bool IsAccountAdmin(const std::wstring& userName);

// The user of the logon session attached to the physical console; false
// (and `userName` untouched) when it cannot be told.
bool GetConsoleUserName(std::wstring* userName);

}  // namespace Utils
