// Where the main window installs: the default folder, the folder typed on
// the custom page, and the folder the user picked with "修改".
//
// The default folder is the recorded installation folder when its uninstall
// entry point still exists; otherwise a base folder followed by "Tarnwick":
// APPDATA\brisel when both the console user's account and this process are
// administrators (and APPDATA can be read), else the 32-bit program files
// folder, else the program files folder.
//
// Pure: the caller probes the machine and passes what it found.
#pragma once

#include <optional>
#include <string>

namespace mainwnd {

inline constexpr const wchar_t* kProductFolderName = L"Tarnwick";

struct DefaultFolderFacts {
  std::wstring registeredInstallPath;
  bool registeredUninstEpExists = false;
  bool consoleUserIsAdmin = false;
  bool processIsAdmin = false;
  std::optional<std::wstring> appData;          // APPDATA
  std::optional<std::wstring> programFilesX86;  // CSIDL_PROGRAM_FILESX86
  std::optional<std::wstring> programFiles;     // CSIDL_PROGRAM_FILES
};

std::wstring DefaultInstallDir(const DefaultFolderFacts& facts);

// True when `folder` names the same folder as `defaultDir`: the relative
// path between the two, both taken as folders, is exactly "." (so another
// letter case on Windows, or a trailing separator, still matches).
bool IsDefaultInstallDir(const std::wstring& defaultDir, const std::wstring& folder);

// The custom page's folder: the default folder's own text when the typed
// text names it, else the text exactly as typed (StartInstall validates).
std::wstring CustomInstallDir(const std::wstring& typed, const std::wstring& defaultDir);

// The edit box's text after the folder browser returned `chosen`.
std::wstring FolderForChosenParent(const std::wstring& chosen);

}  // namespace mainwnd
