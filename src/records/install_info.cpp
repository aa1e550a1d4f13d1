#include "records/install_info.h"

#include <clocale>
#include <cwchar>
#include <mutex>

#include "platform/paths.h"
#include "platform/profile.h"
#include "utils/directories.h"
#include "utils/probes.h"

std::wstring AnalyticsDataFolder() {
  std::optional<std::wstring> base = platform::GetEnv(L"APPDATA");
  // An empty value names no folder at all: it is as unreadable as a missing one.
  if (!base || base->empty()) base = platform::GetSpecialFolder(platform::SpecialFolder::kCommonDocuments);
  if (!base || base->empty()) return std::wstring();
  return platform::JoinPath(platform::JoinPath(*base, L"BriselData"), L"Tarnwick");
}

std::wstring FormatUpdateTime(const platform::LocalTime& t) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"%d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buffer;
}

void WriteInstallInfo(const std::wstring& installDir) {
  std::wstring settings = platform::JoinPath(installDir, L"set.ini");
  std::wstring storeName = platform::FileNameOf(platform::ModulePath());

  // The product's analytics reads these files in UTF-8 and British formats.
  // The locale is process-wide and stays; setting it once keeps later calls
  // from racing with other threads' formatting.
  static std::once_flag localeOnce;
  std::call_once(localeOnce, [] { std::setlocale(LC_ALL, "en_GB.UTF-8"); });

  platform::WriteProfileString(settings, L"Install", L"APPStore", storeName);
  platform::WriteProfileString(settings, L"Install", L"AppName", L"tarnwick");
  platform::WriteProfileString(settings, L"Install", L"DeviceID", Utils::CreateGuidString());

  std::wstring folder = AnalyticsDataFolder();
  if (folder.empty() || !Utils::CreateDirectories(folder)) return;
  std::wstring analytics = platform::JoinPath(folder, L"BriselSensorsAnalytics.ini");
  platform::WriteProfileString(settings, L"Install", L"BriselSensorsAnalyticsIni", analytics);
  platform::WriteProfileString(analytics, L"Init", L"UpdateTime", FormatUpdateTime(platform::NowLocal()));
}
