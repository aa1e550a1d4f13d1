// Machine probes: disk space, GUIDs, network connectivity, user identity,
// the true OS version and the UI language. No state; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct DiskSpace {
  std::uint64_t freeToCaller = 0;
  std::uint64_t total = 0;
  std::uint64_t totalFree = 0;
};

// GetDiskFreeSpaceExW of the volume holding `path` (a folder or a drive such
// as "C:"). On failure returns false and sets `*lastError` (GetLastError, or
// errno on POSIX).
bool QueryDiskSpace(const std::wstring& path, DiskSpace* out, std::uint32_t* lastError);

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
};

// A new random GUID (CoCreateGuid; /dev/urandom as a version-4 GUID on POSIX).
bool CreateGuid(Guid* out);

// What the network list manager says (COM must be initialised on the calling
// thread on Windows). POSIX stand-in: connectivity flags from the interfaces
// that are up (NLM_CONNECTIVITY_IPV4_INTERNET 0x40 when an up interface has
// the default route, NLM_CONNECTIVITY_IPV4_LOCALNETWORK 0x20 when another
// interface is merely up, 0 otherwise).
struct NetworkReport {
  bool managerCreated = false;  // false on XP, which has no manager
  std::uint32_t connectivity = 0;
  bool connectivityQueried = false;
  bool connectedToInternet = false;
  bool internetQueried = false;
};
NetworkReport QueryNetwork();

// COM for the calling thread (single-threaded apartment); no-ops on POSIX.
void InitializeComForThread();
void UninitializeComForThread();

// Whether the process token is in Administrators (S-1-5-32-544). POSIX: root.
bool IsProcessAdmin();

// Whether the local account `userName` has administrator privilege
// (NetUserGetInfo level 1). POSIX: root, or a member of sudo/wheel/admin.
bool IsAccountAdmin(const std::wstring& userName);

// The user of the session attached to the physical console
// (WTSGetActiveConsoleSessionId + WTSQuerySessionInformationW). POSIX: the
// owner of the login session, else the effective user's name.
std::optional<std::wstring> ConsoleUserName();

struct OsVersion {
  bool ntdllLoaded = false;   // false: nothing else is meaningful
  bool entryFound = false;    // RtlGetNtVersionNumbers exists
  std::uint32_t major = 0, minor = 0, build = 0;  // build: full value
  bool serverR2 = false;      // GetSystemMetrics(SM_SERVERR2) != 0
};

// The true version through ntdll's RtlGetNtVersionNumbers, unaffected by the
// manifest. POSIX stand-in: reports Windows 10.0 (build 19045).
OsVersion QueryOsVersion();

// GetUserDefaultUILanguage. POSIX stand-in: derived from LC_ALL, LC_MESSAGES
// or LANG ("de_DE" -> 0x0407, "zh_CN" -> 0x0804, ...; unknown -> 0x0409).
std::uint16_t UserDefaultUiLanguage();

}  // namespace platform
