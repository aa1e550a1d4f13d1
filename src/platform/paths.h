// Paths: the running module, the temp folder, special folders, environment,
// and pure path arithmetic (join, folder part, relative path).
//
// Core code builds paths only through JoinPath; kPathSeparator is '\\' on
// Windows and '/' on POSIX. The path arithmetic below is pure and portable;
// the queries read the system. All functions are thread-safe.
#pragma once

#include <optional>
#include <string>

namespace platform {

extern const wchar_t kPathSeparator;

// True for both '\\' and '/' on Windows; only '/' on POSIX.
bool IsPathSeparator(wchar_t c);

// Full path of the running executable (GetModuleFileNameW, at most 260
// characters on Windows; /proc/self/exe on POSIX). Empty on failure.
std::wstring ModulePath();

// The user's temporary folder, ending with a separator (GetTempPathW).
std::wstring TempPath();

// `folder` + separator + `name`; no doubled separator when `folder` already
// ends with one. An empty folder gives `name`.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The path without its last component (PathRemoveFileSpecW): "C:\a\b.exe" ->
// "C:\a", "C:\b.exe" -> "C:\". Works on the first 259 characters.
std::wstring RemoveFileSpec(const std::wstring& path);

// The last component ("b.exe" of "C:\a\b.exe").
std::wstring FileNameOf(const std::wstring& path);

// The drive designator ("C:" of "C:\a"); on POSIX the root "/" of an
// absolute path. Empty when the path has none.
std::wstring DriveOf(const std::wstring& path);

// The relative path from folder `from` to folder `to` (PathRelativePathToW
// with both taken as folders, 260-character result): "." when both name the
// same folder, for example "..\b" otherwise. nullopt when the two share no
// root (other drive) or a path is too long. A trailing separator does not
// change the folder a path names ("C:\a\" and "C:\a" give "."). Windows
// compares without regard to case; POSIX compares exactly.
std::optional<std::wstring> RelativePathBetweenFolders(const std::wstring& from, const std::wstring& to);

// An environment variable, nullopt when unset (GetEnvironmentVariableW with a
// 260-character buffer on Windows: a longer value also gives nullopt).
std::optional<std::wstring> GetEnv(const std::wstring& name);

enum class SpecialFolder {
  kProgramFilesX86,  // CSIDL_PROGRAM_FILESX86
  kProgramFiles,     // CSIDL_PROGRAM_FILES
  kCommonDocuments,  // CSIDL_COMMON_DOCUMENTS
};

// A special folder; nullopt when the system cannot give it. POSIX stand-in:
// $HOME/.local/share/tarnwick-programs for the program folders and /tmp for
// the public documents folder.
std::optional<std::wstring> GetSpecialFolder(SpecialFolder which);

}  // namespace platform
