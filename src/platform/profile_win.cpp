// Private-profile INI files through the system's own functions.
#include <windows.h>

#include <vector>

// winbase.h maps WriteProfileString to the win.ini function WriteProfileStringW.
#undef WriteProfileString

#include "platform/profile.h"

namespace platform {

std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                               const std::wstring& defaultValue, std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  std::vector<wchar_t> buffer(bufferChars, L'\0');
  const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                           static_cast<DWORD>(bufferChars), path.c_str());
  return std::wstring(buffer.data(), n);
}

int ReadProfileInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int defaultValue) {
  return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

bool WriteProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

}  // namespace platform
