#include "records/install_records.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/registry.h"

bool ReadInstallValue(const std::wstring& name, std::wstring* out) {
  return platform::ReadUserRegistryString(kInstallRecordsKey, name, out);
}

bool WriteInstallValue(const std::wstring& name, const std::wstring& value) {
  return platform::WriteUserRegistryString(kInstallRecordsKey, name, value);
}

std::wstring DefaultUninstallEntryPoint(const std::wstring& folder) {
  return platform::JoinPath(folder, L"uninst.ep");
}

RegisteredInstall ReadInstallRecords() {
  RegisteredInstall found;
  if (!ReadInstallValue(kInstallPathValue, &found.installPath)) found.installPath.clear();
  if (!ReadInstallValue(kUninstallEpValue, &found.uninstEp)) found.uninstEp.clear();
  if (found.uninstEp.empty() && !found.installPath.empty())
    found.uninstEp = DefaultUninstallEntryPoint(found.installPath);
  return found;
}

void WriteInstallRecords(InstallResult* result) {
  WriteInstallValue(kInstallPathValue, result->installDir);
  if (result->uninstEp.empty()) result->uninstEp = DefaultUninstallEntryPoint(result->installDir);
  if (platform::PathExists(result->uninstEp)) WriteInstallValue(kUninstallEpValue, result->uninstEp);
}

bool IsOverrideDisabled(const std::wstring& registeredInstallPath, const std::wstring& folder) {
  std::optional<std::wstring> relative = platform::RelativePathBetweenFolders(registeredInstallPath, folder);
  if (!relative || *relative != L".") return false;
  std::wstring value = platform::ReadProfileString(platform::JoinPath(folder, L"set.ini"), L"Uninstall",
                                                   L"IsOverride", L"true", /*bufferChars=*/20);
  return value == L"false";
}
