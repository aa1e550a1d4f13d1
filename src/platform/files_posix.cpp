// POSIX stand-in for files and folders: wide paths become UTF-8.
#include "platform/files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/codepage.h"

namespace platform {
namespace {

std::string Native(const std::wstring& path) { return ToNarrow(path, kCodePageUtf8); }

bool Stat(const std::wstring& path, struct stat* st) { return stat(Native(path).c_str(), st) == 0; }

// Picks the right reading of strerror_r whichever variant the C library has.
[[maybe_unused]] const char* ErrorMessage(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* ErrorMessage(const char* result, const char*) { return result; }

bool CopyContents(int in, int out) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    ssize_t done = 0;
    while (done < got) {
      const ssize_t put = write(out, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
  }
}

}  // namespace

bool PathExists(const std::wstring& path) {
  struct stat st;
  return Stat(path, &st);
}

bool FileExists(const std::wstring& path) {
  struct stat st;
  return Stat(path, &st) && S_ISREG(st.st_mode);
}

bool FolderExists(const std::wstring& path) {
  struct stat st;
  return Stat(path, &st) && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::wstring& path) { return mkdir(Native(path).c_str(), 0777) == 0; }

bool DeleteFileAt(const std::wstring& path) {
  if (FolderExists(path)) return false;  // DeleteFileW removes files only
  return unlink(Native(path).c_str()) == 0;
}

bool RemoveEmptyFolder(const std::wstring& path) { return rmdir(Native(path).c_str()) == 0; }

bool CopyFileTo(const std::wstring& from, const std::wstring& to, bool overwrite) {
  const int in = open(Native(from).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (overwrite ? O_TRUNC : O_EXCL);
  const int out = open(Native(to).c_str(), flags, st.st_mode & 07777);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = CopyContents(in, out);
  if (ok) ok = fchmod(out, st.st_mode & 07777) == 0;  // like CopyFileW, the copy keeps the attributes
  close(in);
  if (close(out) != 0) ok = false;
  return ok;
}

bool RenameFile(const std::wstring& from, const std::wstring& to) {
  const std::string source = Native(from), target = Native(to);
  // renameat2(RENAME_NOREPLACE) where the file system has it; otherwise a
  // hard link fails on an existing target just the same.
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  struct stat st;
  if (lstat(target.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(source.c_str(), target.c_str()) == 0;
}

std::int64_t FileSize(const std::wstring& path) {
  struct stat st;
  if (!Stat(path, &st) || S_ISDIR(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

std::FILE* OpenFile(const std::wstring& path, const char* mode) { return std::fopen(Native(path).c_str(), mode); }

bool SeekFile64(std::FILE* f, std::int64_t offset, int whence) {
  return fseeko(f, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t TellFile64(std::FILE* f) { return static_cast<std::int64_t>(ftello(f)); }

std::wstring ErrorText(int errnum) {
  char buffer[256] = {};
  const char* message = ErrorMessage(strerror_r(errnum, buffer, sizeof buffer), buffer);
  if (message == nullptr) return L"Unknown error " + std::to_wstring(errnum);
  return ToWide(message, kCodePageUtf8);
}

}  // namespace platform
