// Exit codes of tarnwick-setup-cli, one per outcome. Stable numbers: a
// retired value stays here as a comment and is never reused.
#pragma once

enum CliExitCode : int {
  kExitInstalled = 0,         // the package reported success (or ended silently)
  kExitUsage = 1,             // -help: the usage was printed, nothing installed
  kExitProductRunning = 2,    // Tarnwick.exe or an uninstaller copy runs (without -insnew=true)
  kExitBadFolder = 3,         // the installation folder cannot be created
  kExitNoDiskSpace = 4,       // less than 1 GiB free on the folder's volume
  kExitNoNetwork = 5,         // the network check failed (IsCheckNet)
  kExitRemovalFailed = 6,     // the earlier installation's uninstaller failed or was missing
  kExitDownloadFailed = 7,    // the package could not be downloaded or verified
  kExitInstallFailed = 8,     // the package reported failure or could not start
  kExitAnotherInstance = 9,   // another installer instance holds the guard
};
