#include "utils/windows_version.h"

#include "platform/probes.h"

namespace Utils {

namespace {

const wchar_t* TableLabel(std::uint32_t major, std::uint32_t minor, bool serverR2) {
  if (major <= 4) return L"XP-";
  if (major == 5) {
    if (minor == 0) return L"2K";
    if (minor == 1) return L"XP";
    if (minor == 2) return serverR2 ? L"Server 2003 R2" : L"Server 2003";
    return L"XP+";
  }
  if (major == 6) {
    switch (minor) {
      case 0: return L"Vista";
      case 1: return L"7";
      case 2: return L"8";
      case 3: return L"8.1";
      default: return L"8.1+";
    }
  }
  if (major == 10) return minor == 0 ? L"10" : L"10+";
  return nullptr;
}

}  // namespace

std::wstring WindowsVersionLabel(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                                 bool serverR2) {
  if (const wchar_t* label = TableLabel(major, minor, serverR2)) return label;
  return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
         std::to_wstring(build & 0xFFFF);
}

std::wstring GetWindowsVersion() {
  platform::OsVersion version = platform::QueryOsVersion();
  if (!version.ntdllLoaded) return L"XP-";
  if (!version.entryFound) return WindowsVersionLabel(0, 0, 0, false);
  return WindowsVersionLabel(version.major, version.minor, version.build, version.serverR2);
}

}  // namespace Utils
