// Files and folders through the wide Win32 and CRT calls, so that no path is
// squeezed through the ANSI code page.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/codepage.h"
#include "platform/files.h"

namespace platform {
namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

}  // namespace

bool PathExists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool FileExists(const std::wstring& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::wstring& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool DeleteFileAt(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

bool RemoveEmptyFolder(const std::wstring& path) { return RemoveDirectoryW(path.c_str()) != FALSE; }

bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool overwrite) {
  return CopyFileW(from.c_str(), to.c_str(), /*bFailIfExists=*/overwrite ? FALSE : TRUE) != FALSE;
}

bool RenameFile(const std::wstring& from, const std::wstring& to) { return _wrename(from.c_str(), to.c_str()) == 0; }

std::int64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::FILE* OpenFile(const std::wstring& path, const char* mode) {
  const std::wstring wideMode = ToWide(mode, kCodePageUtf8);
  return _wfopen(path.c_str(), wideMode.c_str());
}

bool SeekFile64(std::FILE* f, std::int64_t offset, int whence) { return _fseeki64(f, offset, whence) == 0; }

std::int64_t TellFile64(std::FILE* f) { return _ftelli64(f); }

std::wstring ErrorText(int errnum) {
  wchar_t buffer[256] = {};
  if (_wcserror_s(buffer, 256, errnum) != 0) return L"Unknown error " + std::to_wstring(errnum);
  return buffer;
}

}  // namespace platform
