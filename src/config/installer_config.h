// CInstallerConfig: the installer's settings, one record per process.
//
// Built during static initialisation: defaults, then the configuration file
// "BriselInstallerConfig.ini" next to the executable (section "Install").
// The entry point then applies the command line (config/command_line.h).
// After start-up only LanguageIndex changes, and only on the main window's
// thread; everything else is read-only, so readers on any thread need no lock.
#pragma once

#include <cstdint>
#include <string>

// The product's download endpoint when neither file nor command line names one.
inline constexpr const wchar_t* kDefaultDownloadUrl = L"http://download.tarnwick.example/software/654";

// The placeholder in a download address replaced by the package variant.
inline constexpr const wchar_t* kRoutePlaceholder = L"${ROUTE}";

class CInstallerConfig {
 public:
  // Defaults only; the process-wide record also loads the file (Config()).
  CInstallerConfig();

  // Reads "BriselInstallerConfig.ini" in the executable's folder; without
  // that file every field keeps its value. Silent.
  void LoadInstallerConfig();

  // The same over the file at `path` (tests, tools).
  void LoadInstallerConfigFrom(const std::wstring& path);

  // Stores ExpandRoute(address) as DownloadUrl.
  void SetDownloadUrl(const std::wstring& address);

  // Replaces every "${ROUTE}" by the package variant that suits this
  // Windows version ("download_silent_xp" for the XP labels, else
  // "download_silent"); an address without it is returned unchanged.
  static std::wstring ExpandRoute(const std::wstring& address);
  static std::wstring ExpandRoute(const std::wstring& address, const std::wstring& versionLabel);

  std::wstring DlAppNameSuffix = L".downloader";
  std::wstring m_DlAppVersion;
  std::wstring InstCmd;                     // appended to the package's command line
  std::wstring DownloadUrl;                 // the package's address
  std::int32_t DownloadType = 1;            // 2 WinHTTP, 3 segmented, else single stream
  bool IsCheckNet = false;                  // run the network check before installing
  bool IsEnableAppSensors = true;
  double DownloadScale = 0.7;               // download's share of the progress display
  bool IsGetRealUrl = true;                 // segmented downloader asks for the real URL first
  std::int32_t LanguageIndex = -1;          // -1: derive from the system
  bool InsNew = false;                      // install anew without the usual prompts
};

// The configuration file's name, next to the executable.
inline constexpr const wchar_t* kInstallerConfigFileName = L"BriselInstallerConfig.ini";

// The process-wide record, already filled from the configuration file.
CInstallerConfig& Config();
