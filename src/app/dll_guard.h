// The start-up guard against DLLs planted next to the installer (Windows).
//
// The installer runs elevated from its download folder. Before any static
// initialiser runs, the guard limits the process's DLL search to System32
// where the system offers SetDefaultDllDirectories (Windows 8, or 7 with
// KB2533623; looked up at run time so older systems still start); without
// it, the current folder is at least taken out of the search. The system
// DLLs that are not KnownDLLs are delay-loaded by every program of the
// project (cmake/DelayLoad.cmake), and the guard's delay-load hook loads
// them by their full System32 path, so a file of that name in the program's
// folder is never used. A DLL that System32 lacks ends the call with the
// delay-load helper's "module not found" exception instead of a search
// elsewhere.
//
// Linked into every Windows program of the build; nothing to call.
#pragma once

namespace app {

enum class DllSearchRestriction {
  kNone,                  // the guard has not run (not a Windows build)
  kCurrentFolderRemoved,  // no SetDefaultDllDirectories: SetDllDirectory("") only
  kSystem32Only,          // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
};

// What the guard did when the process started.
DllSearchRestriction StartupDllSearchRestriction();

}  // namespace app
