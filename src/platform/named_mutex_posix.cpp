// POSIX stand-in for the session-local named mutex: an exclusive flock on a
// file named after the mutex in the user's runtime folder. The kernel drops
// the lock with the last descriptor, so a killed holder frees the name just
// as Windows frees a mutex when its last handle goes away.
#include "platform/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/codepage.h"

namespace platform {
namespace {

bool IsPrivateFolder(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

// $XDG_RUNTIME_DIR, else /tmp/tarnwick-<uid>, which must be a real folder of
// ours (not a link another user planted).
std::string RuntimeFolder() {
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg == '/' && IsPrivateFolder(xdg)) {
    return xdg;
  }
  const std::string folder = "/tmp/tarnwick-" + std::to_string(geteuid());
  mkdir(folder.c_str(), 0700);
  return IsPrivateFolder(folder) ? folder : std::string();
}

// A mutex name may hold characters a file name cannot; '\\' is kept out as
// well so the name maps to one file.
std::string FileNameFor(const std::wstring& name) {
  std::string out = ToNarrow(name, kCodePageUtf8);
  for (char& c : out) {
    if (c == '/' || c == '\\') c = '_';
  }
  return out + ".lock";
}

// The handle points to this record. The owner removes the file when it lets
// go, so lock files do not pile up; an opener that raced with the removal
// notices that its file is no longer the one at the path and starts over.
struct MutexRecord {
  int fd = -1;
  bool owner = false;
  std::string path;
};

bool StillAtPath(int fd, const std::string& path) {
  struct stat opened, current;
  return fstat(fd, &opened) == 0 && stat(path.c_str(), &current) == 0 && opened.st_dev == current.st_dev &&
         opened.st_ino == current.st_ino;
}

}  // namespace

Handle CreateNamedMutex(const std::wstring& name, bool* alreadyExisted) {
  if (alreadyExisted != nullptr) *alreadyExisted = false;
  const std::string folder = RuntimeFolder();
  if (folder.empty() || name.empty()) return kInvalidHandle;
  const std::string path = folder + "/" + FileNameFor(name);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return kInvalidHandle;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      // Someone holds it: like CreateMutexW, hand out a handle anyway and
      // say that the object existed.
      if (alreadyExisted != nullptr) *alreadyExisted = true;
      return reinterpret_cast<Handle>(new MutexRecord{fd, false, path});
    }
    if (StillAtPath(fd, path)) return reinterpret_cast<Handle>(new MutexRecord{fd, true, path});
    close(fd);  // the previous owner removed this file just now
  }
  return kInvalidHandle;
}

// Ownership and existence are one thing for a flock, so the lock stays until
// the handle is closed: the name must keep reading as taken while a handle
// is open, as the kernel object does.
void ReleaseNamedMutex(Handle mutex) {}

void CloseNamedMutex(Handle mutex) {
  if (!IsValid(mutex) || mutex == 0) return;
  auto* record = reinterpret_cast<MutexRecord*>(mutex);
  if (record->owner) unlink(record->path.c_str());  // still under our lock
  close(record->fd);
  delete record;
}

}  // namespace platform
