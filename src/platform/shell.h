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

}  // namespace platform
