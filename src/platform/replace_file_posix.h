// POSIX stand-ins' shared file writer: replaces a file's content so that a
// crash or a full disk leaves either the old file or the new one, never a
// half-written one. Internal to the platform layer.
#pragma once

#include <string>

namespace platform {

// Writes `content` to a temporary file in the same folder, flushes it to
// disk and renames it over `path`. An existing file keeps its permission
// bits; a new one gets 0644. False (and no temporary left) on any failure.
bool ReplaceFileContent(const std::string& path, const std::string& content);

}  // namespace platform
