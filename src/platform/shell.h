// Opening documents, pages and programs the way the shell does.
//
// Windows: ShellExecuteW with the verb "open". POSIX stand-in: an
// executable file is started directly; anything else goes to xdg-open.
// Results other than "started or not" are not reported.
#pragma once

#include <string>

namespace platform {

enum class ShowMode { kNormal, kMaximized, kHidden };

bool ShellOpen(const std::wstring& target, const std::wstring& parameters,
               const std::wstring& workingFolder, ShowMode show);

}  // namespace platform
