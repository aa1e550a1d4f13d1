// The installer's run from guard to exit, shared by the Windows entry point
// (gui_main_win.cpp) and anything that wants to run the same sequence:
//
//   1. single-instance guard "Installer_tarnwick" (session-local); held by
//      another process, or not creatable → return -1 at once, silently,
//      before the command line is even read;
//   2. the command line over the settings (options override the INI file);
//   3. the toolkit: instance handle, 7z archive reader, shadow class;
//   4. CMainWnd created as "Tarnwick" (WS_OVERLAPPEDWINDOW | WS_VISIBLE, size
//      from the markup), centred, run modally;
//   5. the window object destroyed (waits for the driver's and the network
//      check's threads), the guard released → 0.
// A window that cannot be created makes the centring and the modal loop
// return at once; the run still ends with 0.
//
// Main thread only.
#pragma once

namespace app {

inline constexpr const wchar_t* kInstanceGuardName = L"Installer_tarnwick";
inline constexpr int kExitSecondInstance = -1;

// `instance` is the program's module handle (HINSTANCE).
int RunInstaller(void* instance);

}  // namespace app
