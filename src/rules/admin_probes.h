// Who runs the installer: the two administrator probes that decide the
// default folder and the package's and uninstaller's switches.
//
// Each call asks the system again; any thread.
#pragma once

namespace rules {

// Whether the account of the user logged on at the physical console is an
// administrator; false when the console user cannot be told.
bool ConsoleUserIsAdmin();

// Whether this process's token is in the Administrators group.
bool ProcessIsAdmin();

}  // namespace rules
