// The Windows version label that picks the package variant.
//
// Labels: "XP-", "2K", "XP", "Server 2003", "Server 2003 R2", "XP+", "Vista",
// "7", "8", "8.1", "8.1+", "10", "10+", or "major.minor.build" for versions
// the table does not know. Thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// The label of the running system, from the true version numbers (ntdll's
// RtlGetNtVersionNumbers, not affected by the manifest). "XP-" when ntdll
// cannot be loaded or does not tell.
std::wstring GetWindowsVersion();

// The label for given numbers; `build` is reduced to its low 16 bits.
// `serverR2` is the SM_SERVERR2 system metric, read only for 5.2.
std::wstring WindowsVersionLabel(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                                 bool serverR2);

}  // namespace Utils
