#include "utils/directories.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace Utils {

namespace {

// A file of that name is not the folder asked for: callers would go on to
// write into a "folder" that is not there.
bool EnsureFolder(const std::wstring& folder) {
  return platform::FolderExists(folder) || platform::CreateFolder(folder);
}

}  // namespace

bool CreateDirectories(const std::wstring& path) {
  // An empty path names no folder; "success" would hand callers a folder
  // that is not there.
  if (path.empty() || path.size() > kMaxFolderPathChars) return false;
  std::size_t lastSeparator = std::wstring::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (!platform::IsPathSeparator(path[i])) continue;
    lastSeparator = i;
    if (!EnsureFolder(path.substr(0, i + 1))) return false;
  }
  bool textAfterLastSeparator = lastSeparator == std::wstring::npos || lastSeparator + 1 < path.size();
  if (textAfterLastSeparator && !EnsureFolder(path)) return false;
  return true;
}

}  // namespace Utils
