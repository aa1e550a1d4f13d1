// Path queries from the Win32 shell and kernel.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/path_rules.h"
#include "platform/paths.h"

namespace platform {

const wchar_t kPathSeparator = L'\\';

const PathStyle& NativePathStyle() { return kWindowsPathStyle; }

std::wstring ModulePath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  // A cut path would name another file; report none instead.
  if (n == 0 || n >= MAX_PATH) return {};
  return std::wstring(buffer, n);
}

std::wstring TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return {};
  return std::wstring(buffer, n);
}

std::optional<std::wstring> RelativePathBetweenFolders(const std::wstring& from, const std::wstring& to) {
  // A trailing backslash does not make another folder, but the shell would
  // answer "" instead of "." for "C:\a\" against "C:\a".
  const std::wstring a = rules::StripTrailingSeparators(kWindowsPathStyle, from);
  const std::wstring b = rules::StripTrailingSeparators(kWindowsPathStyle, to);
  if (a.size() > kMaxPathChars || b.size() > kMaxPathChars) return std::nullopt;
  wchar_t buffer[MAX_PATH] = {};
  if (!PathRelativePathToW(buffer, a.c_str(), FILE_ATTRIBUTE_DIRECTORY, b.c_str(), FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

std::optional<std::wstring> GetEnv(const std::wstring& name) {
  wchar_t buffer[MAX_PATH] = {};
  SetLastError(ERROR_SUCCESS);
  const DWORD n = GetEnvironmentVariableW(name.c_str(), buffer, MAX_PATH);
  if (n == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();  // set, but empty
  }
  if (n >= MAX_PATH) return std::nullopt;  // did not fit the buffer
  return std::wstring(buffer, n);
}

std::optional<std::wstring> GetSpecialFolder(SpecialFolder which) {
  int csidl = 0;
  switch (which) {
    case SpecialFolder::kProgramFilesX86: csidl = 0x2A; break;  // CSIDL_PROGRAM_FILESX86
    case SpecialFolder::kProgramFiles: csidl = 0x26; break;     // CSIDL_PROGRAM_FILES
    case SpecialFolder::kCommonDocuments: csidl = 0x2E; break;  // CSIDL_COMMON_DOCUMENTS
  }
  wchar_t buffer[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK) return std::nullopt;
  return std::wstring(buffer);
}

}  // namespace platform
