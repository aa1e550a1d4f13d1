// The first things the installer does to its own process, before it reads
// anything from outside.
//
// RestrictDllSearchToSystem: an elevated installer is typically started
// from a Downloads folder, where anyone who can drop a file could plant a
// DLL that a system library loads by name later on (version.dll,
// dwmapi.dll...). The start-up guard (app/dll_guard.h) limits loading to
// System32 before any static initialiser runs; this reports whether it
// could (SetDefaultDllDirectories exists from Windows 8, or 7 with
// KB2533623).
//
// InstallDecliningCrashFilter: a top-level exception filter that declines
// every exception, so a crash takes the system's default course (error
// reporting) instead of whatever filter a library may have set.
//
// Windows: process_hardening_win.cpp; elsewhere both do nothing.
#pragma once

namespace app {

// True when the restriction is in force.
bool RestrictDllSearchToSystem();
void InstallDecliningCrashFilter();

}  // namespace app
