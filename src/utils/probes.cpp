#include "utils/probes.h"

#include <cwchar>

#include "utils/log.h"

namespace Utils {

std::wstring CreateGuidString() {
  platform::Guid guid;
  if (!platform::CreateGuid(&guid)) return std::wstring();
  wchar_t text[40];
  // The third field in lower case is part of the identity's established
  // form; readers of earlier files compare it as text.
  std::swprintf(text, sizeof(text) / sizeof(text[0]),
                L"%08X%04X%04x%02X%02X%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned>(guid.data1), static_cast<unsigned>(guid.data2),
                static_cast<unsigned>(guid.data3), guid.data4[0], guid.data4[1], guid.data4[2],
                guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
  return text;
}

std::uint32_t CheckNetwork() { return CheckNetwork(platform::QueryNetwork()); }

std::uint32_t CheckNetwork(const platform::NetworkReport& report) {
  // No manager (Windows XP): nothing to ask, so the installation goes on.
  if (!report.managerCreated) return 0;
  std::uint32_t flags = report.connectivityQueried ? (report.connectivity & 0xFFFF) : 0;
  std::uint32_t verdict = kNetworkConnected;
  if (flags == 0) {
    TW_LOG(L"GetConnectivity %d", static_cast<int>(flags));
    verdict = kNetworkNone;
  } else {
    bool connected = report.internetQueried && report.connectedToInternet;
    if (!connected) {
      TW_LOG(L"get_IsConnectedToInternet:%d", 0);
      verdict = kNetworkNoInternet;
    }
  }
  return flags | (verdict << 16);
}

HardDiskManager::~HardDiskManager() = default;

bool HardDiskManager::CheckFreeSpace(const std::wstring& path) {
  platform::DiskSpace space;
  std::uint32_t lastError = 0;
  if (!platform::QueryDiskSpace(path, &space, &lastError)) {
    TW_LOG(L"HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", static_cast<long>(lastError));
    return false;
  }
  m_freeBytesAvailable = space.freeToCaller;
  m_totalBytes = space.total;
  m_totalFreeBytes = space.totalFree;
  return true;
}

bool IsUserAdmin() { return platform::IsProcessAdmin(); }

bool IsAccountAdmin(const std::wstring& userName) { return platform::IsAccountAdmin(userName); }

bool GetConsoleUserName(std::wstring* userName) {
  std::optional<std::wstring> name = platform::ConsoleUserName();
  if (!name) return false;
  *userName = *name;
  return true;
}

}  // namespace Utils
