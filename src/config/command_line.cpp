#include "config/command_line.h"

#include <limits>

#include "config/installer_config.h"
#include "platform/process.h"
#include "utils/number_text.h"

void CommandLineOptions::Add(const std::wstring& argument) {
  std::size_t equals = argument.find(L'=');
  if (!argument.empty() && argument[0] == L'-' && equals != std::wstring::npos) {
    entries_.emplace(argument.substr(0, equals), argument.substr(equals + 1));
  } else {
    entries_.emplace(argument, std::wstring());
  }
}

bool CommandLineOptions::Contains(const std::wstring& key) const { return entries_.count(key) != 0; }

std::wstring CommandLineOptions::GetString(const std::wstring& key, const std::wstring& fallback) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? fallback : it->second;
}

std::int32_t CommandLineOptions::GetInt(const std::wstring& key, std::int32_t fallback) const {
  auto it = entries_.find(key);
  if (it == entries_.end()) return fallback;
  std::int32_t value = 0;
  if (Utils::ParseLeadingInt32(it->second, &value) == Utils::NumberParse::kOutOfRange) return fallback;
  return value;
}

bool CommandLineOptions::GetBool(const std::wstring& key, bool fallback) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? fallback : it->second == L"true";
}

double CommandLineOptions::GetDouble(const std::wstring& key, double fallback) const {
  auto it = entries_.find(key);
  if (it == entries_.end()) return fallback;
  double value = 0.0;
  if (Utils::ParseLeadingDouble(it->second, &value) != Utils::NumberParse::kParsed) return fallback;
  return value;
}

CommandLineOptions ParseArguments(const std::vector<std::wstring>& arguments) {
  CommandLineOptions options;
  for (const std::wstring& argument : arguments) options.Add(argument);
  return options;
}

CommandLineOptions ParseCommandLine() { return ParseArguments(platform::ProcessArguments()); }

void ApplyCommandLine() { ApplyCommandLine(ParseCommandLine(), Config()); }

// A number outside its type's range ("-downloadtype=99999999999", or
// "-downloadscale=1e999") leaves the setting as the defaults and the
// configuration file made it: the range error tells nothing about what was
// meant, and it must not end the process. A value that is no number at all
// still gives 0 (integers) or NaN (the scale), as it always has.
void ApplyCommandLine(const CommandLineOptions& options, CInstallerConfig& config) {
  if (options.Contains(L"-downloadurl")) config.SetDownloadUrl(options.GetString(L"-downloadurl"));
  if (options.Contains(L"-downloadtype")) {
    config.DownloadType = options.GetInt(L"-downloadtype", config.DownloadType);
  }
  if (options.Contains(L"-downloadscale")) {
    double scale = 0.0;
    switch (Utils::ParseLeadingDouble(options.GetString(L"-downloadscale"), &scale)) {
      case Utils::NumberParse::kParsed: config.DownloadScale = scale; break;
      case Utils::NumberParse::kNoNumber:
        config.DownloadScale = std::numeric_limits<double>::quiet_NaN();
        break;
      case Utils::NumberParse::kOutOfRange: break;
    }
  }
  if (options.Contains(L"-ischecknet")) config.IsCheckNet = options.GetBool(L"-ischecknet");
  if (options.Contains(L"-isenableappsensors")) {
    config.IsEnableAppSensors = options.GetBool(L"-isenableappsensors");
  }
  if (options.Contains(L"-dlappnamesuffix")) config.DlAppNameSuffix = options.GetString(L"-dlappnamesuffix");
  if (options.Contains(L"-dlappversion")) config.m_DlAppVersion = options.GetString(L"-dlappversion");
  if (options.Contains(L"-instcmd")) config.InstCmd = options.GetString(L"-instcmd");
  if (options.Contains(L"-language")) config.LanguageIndex = options.GetInt(L"-language", config.LanguageIndex);
  if (options.Contains(L"-insnew")) config.InsNew = options.GetBool(L"-insnew");
}
