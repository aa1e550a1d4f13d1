// The checks the installer makes before an attempt, without a window:
// running product or uninstaller copy, folder creation, 1 GiB free space,
// and (when the settings ask for it) network connectivity.
#pragma once

#include <string>

#include "app/cli/exit_codes.h"

struct PreflightResult {
  CliExitCode code = kExitInstalled;  // kExitInstalled: go ahead
  std::string message;               // why not, for the user
};

// `insNew` skips the running-process checks, as -insnew does in the window.
PreflightResult RunPreflight(const std::wstring& installDir, bool insNew, bool checkNetwork);

// Where to install when no folder is given: the recorded folder when its
// uninstall entry point exists, else <APPDATA>\brisel\Tarnwick for an
// administrator account running elevated, else <Program Files (x86)>\Tarnwick
// (or <Program Files>\Tarnwick).
std::wstring DefaultInstallDir(const std::wstring& registeredPath, const std::wstring& registeredUninstEp,
                               bool consoleUserIsAdmin, bool processIsAdmin);
