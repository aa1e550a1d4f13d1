// Where to install: the default folder (the same for the window and the
// headless installer), the folder typed on the window's custom page, and
// the folder the user picked with "修改".
//
// The default folder is the recorded installation folder when its uninstall
// entry point still exists; otherwise a base folder followed by "Tarnwick":
// APPDATA\brisel when both the console user's account and this process are
// administrators (and APPDATA can be read), else the 32-bit program files
// folder, else the program files folder.
//
// Pure, except SystemDefaultFolderFacts, which probes the machine.
#pragma once

#include <optional>
#include <string>

namespace rules {

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

// The facts of the running machine for a recorded installation (both texts
// empty when there is none) and the two administrator answers.
DefaultFolderFacts SystemDefaultFolderFacts(const std::wstring& registeredInstallPath,
                                            const std::wstring& registeredUninstEp, bool consoleUserIsAdmin,
                                            bool processIsAdmin);

// True when `folder` names the same folder as `defaultDir`: the relative
// path between the two, both taken as folders, is exactly "." (so another
// letter case on Windows, or a trailing separator, still matches).
bool IsDefaultInstallDir(const std::wstring& defaultDir, const std::wstring& folder);

// The custom page's folder: the default folder's own text when the typed
// text names it, else the text exactly as typed (StartInstall validates).
std::wstring CustomInstallDir(const std::wstring& typed, const std::wstring& defaultDir);

// The edit box's text after the folder browser returned `chosen`.
std::wstring FolderForChosenParent(const std::wstring& chosen);

}  // namespace rules
