// Opening documents, pages and programs the way the shell does.
//
// Windows: ShellExecuteW with the verb "open". POSIX stand-in: an
// executable file given by a path with a '/' is started directly (detached,
// `parameters` split by the Windows command-line rules); anything else goes
// to xdg-open, and without xdg-open the call fails.
// Results other than "started or not" are not reported.
#pragma once

#include <string>

namespace platform {

enum class ShowMode { kNormal, kMaximized, kHidden };

bool ShellOpen(const std::wstring& target, const std::wstring& parameters,
               const std::wstring& workingFolder, ShowMode show);

// Like ShellOpen, but asks the desktop shell's own process to open `target`
// (Windows: the desktop window's IShellDispatch2::ShellExecute, reached
// through IShellWindows), so that it runs with the signed-in user's ordinary
// token and not with an elevated caller's. Where no desktop shell answers,
// it falls back to ShellOpen in this process and sets *viaDesktopShell to
// false (always the case for the POSIX stand-in).
bool ShellOpenAsDesktopUser(const std::wstring& target, const std::wstring& parameters,
                            const std::wstring& workingFolder, ShowMode show, bool* viaDesktopShell);

}  // namespace platform
