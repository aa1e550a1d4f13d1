#include "platform/replace_file_posix.h"

#include <cerrno>
#include <cstddef>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool ReplaceFileContent(const std::string& path, const std::string& content) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat st;
  const mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  bool ok = fchmod(fd, mode) == 0;
  std::size_t done = 0;
  while (ok && done < content.size()) {
    const ssize_t put = write(fd, content.data() + done, content.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) ok = false;
    else done += static_cast<std::size_t>(put);
  }
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace platform
