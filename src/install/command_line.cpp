#include "install/command_line.h"

#include "platform/path_rules.h"

namespace install {
namespace {

const wchar_t* Bool(bool b) { return b ? L"true" : L"false"; }

std::wstring BareFolder(const std::wstring& folder) {
  return platform::rules::StripTrailingSeparators(platform::kWindowsPathStyle, folder);
}

}  // namespace

std::wstring QuotePath(const std::wstring& path) {
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') return path;
  return L"\"" + path + L"\"";
}

std::wstring QuoteArgument(const std::wstring& value) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : value) {
    if (c == L'\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled and the quote escaped;
      // elsewhere they stand for themselves.
      if (c == L'"') quoted.append(backslashes + 1, L'\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, L'\\');  // the closing quote must stay a quote
  return quoted + L"\"";
}

std::wstring BuildPackageCommandLine(const PackageCommandOptions& o) {
  std::wstring line = o.quotedPackage;
  line += L" /S -console=show -version=1.0.0";
  line += L" -adminact=";
  line += Bool(o.adminAccount);
  line += L" -authorizationact=";
  line += Bool(o.elevated);
  line += L" -dsc=";
  line += Bool(o.desktopShortcut);
  line += L" -ssc=";
  line += Bool(o.quickLaunch);
  if (!o.languageTag.empty()) line += L" -inslang=" + QuoteArgument(o.languageTag);
  if (!o.extraCommand.empty()) line += L" " + o.extraCommand;
  if (!o.installFolder.empty()) {
    line += L" -instdir=" + QuoteArgument(o.installFolder);
    line += L" /D=" + BareFolder(o.installFolder);
  }
  return line;
}

std::wstring BuildUninstallerCommandLine(const std::wstring& uninstallerPath, bool accountAdmin,
                                         bool processAdmin, const std::wstring& oldInstallFolder) {
  std::wstring line = QuotePath(uninstallerPath);
  line += L" /S -adminact=";
  line += Bool(accountAdmin);
  line += L" -authorizationact=";
  line += Bool(processAdmin);
  line += L" -console=show _?=";
  line += BareFolder(oldInstallFolder);
  return line;
}

}  // namespace install
