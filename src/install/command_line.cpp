#include "install/command_line.h"

namespace install {
namespace {

const wchar_t* Bool(bool b) { return b ? L"true" : L"false"; }

}  // namespace

std::wstring QuotePath(const std::wstring& path) {
  if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') return path;
  return L"\"" + path + L"\"";
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
  if (!o.languageTag.empty()) line += L" -inslang=\"" + o.languageTag + L"\"";
  if (!o.extraCommand.empty()) line += L" " + o.extraCommand;
  if (!o.installFolder.empty()) {
    line += L" -instdir=\"" + o.installFolder + L"\"";
    line += L" /D=" + o.installFolder;
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
  line += oldInstallFolder;
  return line;
}

}  // namespace install
