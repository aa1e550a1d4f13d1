// Files and folders by wide path.
//
// Windows uses the wide Win32 and CRT calls, so a path is never squeezed
// through the ANSI code page; POSIX converts paths to UTF-8. Sizes and
// offsets are 64-bit. All functions are thread-safe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

bool PathExists(const std::wstring& path);    // file or folder
bool FileExists(const std::wstring& path);    // a regular file
bool FolderExists(const std::wstring& path);

// Creates one folder level (CreateDirectoryW, default security). False when
// it cannot be made or already exists.
bool CreateFolder(const std::wstring& path);

bool DeleteFileAt(const std::wstring& path);  // false when missing too
bool RemoveEmptyFolder(const std::wstring& path);

// Copies, replacing an existing target when `overwrite` (CopyFileW).
bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool overwrite);

// Renames `from` to `to`; fails when `to` exists (like the CRT's rename).
bool RenameFile(const std::wstring& from, const std::wstring& to);

// Size in bytes, or -1 when the file cannot be examined.
std::int64_t FileSize(const std::wstring& path);

// fopen with a wide path and a narrow mode such as "rb" or "ab+"; null on
// failure with errno set. Large files work: seek and tell with the 64-bit
// helpers below.
std::FILE* OpenFile(const std::wstring& path, const char* mode);
bool SeekFile64(std::FILE* f, std::int64_t offset, int whence);
std::int64_t TellFile64(std::FILE* f);

// The runtime library's text for an error number (strerror_s), wide.
std::wstring ErrorText(int errnum);

}  // namespace platform
