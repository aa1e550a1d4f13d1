// The installer's work folder inside the user's temporary folder.
//
// Holds a copy of an earlier installation's uninstaller while it runs. Made
// on first use and never deleted here. Thread-safe.
#pragma once

#include <string>

namespace Utils {

// The user's temporary folder + "~BriselTemp.92482B06FB471E17" + separator,
// created (one level) when missing. Empty when it cannot be made.
std::wstring GetTempFolder();

}  // namespace Utils
