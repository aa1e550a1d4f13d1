// String values under HKEY_CURRENT_USER in the real registry.
#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "platform/registry.h"

namespace platform {

bool ReadUserRegistryString(const std::wstring& subKey, const std::wstring& name, std::wstring* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
    RegCloseKey(key);
    return false;
  }
  // Zero-filled with room for a terminator: REG_SZ data need not carry one.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
  DWORD size = bytes;
  const LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  *out = buffer.data();  // up to the first null character
  return true;
}

bool WriteUserRegistryString(const std::wstring& subKey, const std::wstring& name, const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // Exactly characters x 2 bytes: the stored data has no terminator.
  const LONG rc = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                                 static_cast<DWORD>(value.size() * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool DeleteUserRegistryKey(const std::wstring& subKey) {
  // SHDeleteKeyW removes a whole tree and exists on XP, unlike RegDeleteTreeW.
  return SHDeleteKeyW(HKEY_CURRENT_USER, subKey.c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
