#include "config/installer_config.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "utils/number_text.h"
#include "utils/windows_version.h"

namespace {

const wchar_t kSection[] = L"Install";

// The process-wide record: built and filled during static initialisation,
// so the file is read before the entry point runs.
struct LoadedConfig {
  CInstallerConfig config;
  LoadedConfig() { config.LoadInstallerConfig(); }
};
LoadedConfig g_installerConfig;

std::wstring ReadText(const std::wstring& path, const wchar_t* key, const std::wstring& missing) {
  return platform::ReadProfileString(path, kSection, key, missing);
}

}  // namespace

CInstallerConfig& Config() { return g_installerConfig.config; }

CInstallerConfig::CInstallerConfig() : DownloadUrl(ExpandRoute(kDefaultDownloadUrl)) {}

void CInstallerConfig::LoadInstallerConfig() {
  std::wstring module = platform::ModulePath();
  if (module.empty()) return;
  LoadInstallerConfigFrom(platform::JoinPath(platform::RemoveFileSpec(module), kInstallerConfigFileName));
}

// Keys are read in a fixed order; a missing key has its own default, which
// for "IsCheckNet" differs from the record's: a file without that key turns
// the network check on.
void CInstallerConfig::LoadInstallerConfigFrom(const std::wstring& path) {
  if (!platform::FileExists(path)) return;
  SetDownloadUrl(ReadText(path, L"DownloadUrl", kDefaultDownloadUrl));
  DownloadType = platform::ReadProfileInt(path, kSection, L"DownloadType", 1);
  IsCheckNet = ReadText(path, L"IsCheckNet", L"true") == L"true";
  IsEnableAppSensors = ReadText(path, L"IsEnableAppSensors", L"true") == L"true";
  DlAppNameSuffix = ReadText(path, L"DlAppNameSuffix", L".downloader");
  m_DlAppVersion = ReadText(path, L"m_DlAppVersion", L"");

  double scale = 0.0;
  // A number too large or too small for a double keeps the value we have:
  // the range error says nothing useful about the intended share.
  if (Utils::ParseLeadingDouble(ReadText(path, L"DownloadScale", L"0.7"), &scale) !=
      Utils::NumberParse::kOutOfRange) {
    DownloadScale = scale;
  }
  InstCmd = ReadText(path, L"InstCmd", L"");
}

void CInstallerConfig::SetDownloadUrl(const std::wstring& address) { DownloadUrl = ExpandRoute(address); }

std::wstring CInstallerConfig::ExpandRoute(const std::wstring& address) {
  if (address.find(kRoutePlaceholder) == std::wstring::npos) return address;
  return ExpandRoute(address, Utils::GetWindowsVersion());
}

std::wstring CInstallerConfig::ExpandRoute(const std::wstring& address, const std::wstring& versionLabel) {
  const std::wstring placeholder = kRoutePlaceholder;
  const std::wstring route =
      versionLabel.find(L"XP") != std::wstring::npos ? L"download_silent_xp" : L"download_silent";
  std::wstring result = address;
  // Search after each replacement only: a route never contains the
  // placeholder, but searching from the start again would loop if it did.
  for (std::size_t at = result.find(placeholder); at != std::wstring::npos;
       at = result.find(placeholder, at + route.size())) {
    result.replace(at, placeholder.size(), route);
  }
  return result;
}
