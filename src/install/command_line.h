// The command lines given to the package and to an earlier installation's
// uninstaller. Pure text composition; the probes that feed the flags are the
// caller's business.
#pragma once

#include <string>

namespace install {

struct PackageCommandOptions {
  std::wstring quotedPackage;   // full path, already in double quotes
  bool adminAccount = false;    // -adminact
  bool elevated = true;         // -authorizationact
  bool desktopShortcut = false; // -dsc
  bool quickLaunch = false;     // -ssc
  std::wstring languageTag;     // -inslang="..." when not empty
  std::wstring extraCommand;    // the InstCmd setting, verbatim when not empty
  std::wstring installFolder;   // -instdir="..." and /D=... when not empty
};

// Quoted values are escaped so that CommandLineToArgvW gives them back
// exactly (QuoteArgument): C:\a\ becomes -instdir="C:\a\\", because a single
// backslash before the closing quote would escape it and swallow the rest
// of the line. The bare folders of "/D=" and "_?=" end the line unquoted;
// they are given without trailing separators (a root such as C:\ keeps its
// own), so the installer reads the folder itself rather than "folder\".

// <package> /S -console=show -version=1.0.0 -adminact=.. -authorizationact=..
// -dsc=.. -ssc=.. [-inslang="tag"] [ extra] [-instdir="folder"] [/D=folder]
// "/D=" is always last and unquoted: the package's own installer reads the
// rest of the line as the folder, spaces included.
std::wstring BuildPackageCommandLine(const PackageCommandOptions& options);

// "<uninstaller>" /S -adminact=.. -authorizationact=.. -console=show _?=<folder>
// The program path is quoted so that a path with spaces names the program
// rather than splitting into arguments; "_?=" stays last and unquoted
// because the uninstaller takes the rest of the line as the folder.
std::wstring BuildUninstallerCommandLine(const std::wstring& uninstallerPath, bool accountAdmin,
                                         bool processAdmin, const std::wstring& oldInstallFolder);

// Encloses `path` in double quotes unless it already is. For program paths,
// which the command line's first token takes literally up to the next quote.
std::wstring QuotePath(const std::wstring& path);

// `value` as one argument by the CommandLineToArgvW rules: in double quotes,
// an inner quote escaped with a backslash, and the backslashes before an
// inner quote or before the closing quote doubled.
std::wstring QuoteArgument(const std::wstring& value);

}  // namespace install
