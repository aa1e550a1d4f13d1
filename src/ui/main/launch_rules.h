// What the elevated installer agrees to open after an installation. The
// package names the product's program ("ExePath=") and a start page
// ("StartUrl="); the installer opens only a file inside the installation
// folder and only an http(s) address without blanks or quotes (the shell
// hands a URL to the browser's command line). Anything else is refused with
// a reason for the log.
#pragma once

#include <string>

namespace mainwnd {

enum class LaunchRefusal {
  kNone,                // may be opened
  kEmpty,               // nothing named
  kOutsideInstallFolder,  // not a file below the installation folder
  kNotWebAddress,       // not http:// or https://, or blanks, quotes, controls
};

LaunchRefusal CheckProductPath(const std::wstring& exePath, const std::wstring& installFolder);
LaunchRefusal CheckStartUrl(const std::wstring& url);

// A short English reason for the log ("" for kNone).
const wchar_t* RefusalReason(LaunchRefusal refusal);

}  // namespace mainwnd
