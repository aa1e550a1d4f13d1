// Creating a folder with every missing level above it.
#pragma once

#include <cstddef>
#include <string>

namespace Utils {

// Paths longer than this are refused (MAX_PATH).
inline constexpr std::size_t kMaxFolderPathChars = 260;

// Creates each missing folder along `path`, from the left, including the last
// component whether or not the path ends with a separator. True when the
// whole path exists afterwards; false for an empty path, a path longer than
// kMaxFolderPathChars, or when any level cannot be made (a drive or root
// that does not exist, a file in the way, also at the last level, no
// permission). Levels made before
// a failure stay. Does not log.
bool CreateDirectories(const std::wstring& path);

}  // namespace Utils
