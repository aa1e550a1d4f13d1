// Pure path arithmetic under an explicit path style, shared by both
// platforms. paths.h applies the native style; tests can exercise the
// Windows rules on any host through these functions.
//
// The rules follow the shell's path helpers (PathRemoveFileSpecW,
// PathRelativePathToW), with one deliberate difference: a trailing separator
// never changes which folder a path names, so "C:\a\" and "C:\a" are the same
// folder for RelativeFolderPath.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct PathStyle {
  wchar_t separator;        // written between components
  bool backslashAndSlash;   // both '\\' and '/' separate (Windows)
  bool driveLetters;        // "C:" designators and "\\server\share" roots
  bool ignoreCase;          // components compare without regard to case
};

inline constexpr PathStyle kWindowsPathStyle{L'\\', true, true, true};
inline constexpr PathStyle kPosixPathStyle{L'/', false, false, false};

// The style of the platform this code runs on.
const PathStyle& NativePathStyle();

// Longest path the shell helpers work on (MAX_PATH without the terminator).
inline constexpr std::size_t kMaxPathChars = 259;

namespace rules {

bool IsSeparator(const PathStyle& style, wchar_t c);
std::wstring JoinPath(const PathStyle& style, const std::wstring& folder, const std::wstring& name);
std::wstring RemoveFileSpec(const PathStyle& style, const std::wstring& path);
std::wstring FileNameOf(const PathStyle& style, const std::wstring& path);
std::wstring DriveOf(const PathStyle& style, const std::wstring& path);

// The root of `path` ("C:\", "C:", "\\server\share\", "\", "/" or empty)
// and the length of text it covers.
std::size_t RootLength(const PathStyle& style, const std::wstring& path);

// `path` without trailing separators, except one that belongs to the root.
std::wstring StripTrailingSeparators(const PathStyle& style, const std::wstring& path);

// Relative path from folder `from` to folder `to` by the PathRelativePathToW
// rules: "." for the same folder, ".\b" below it, "..\.." above it, nullopt
// without a common root or when a path or the result exceeds kMaxPathChars.
// Empty and "." components are ignored.
std::optional<std::wstring> RelativeFolderPath(const PathStyle& style, const std::wstring& from,
                                               const std::wstring& to);

}  // namespace rules
}  // namespace platform
