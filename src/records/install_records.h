// Install records: where the product was installed and where its uninstall
// entry point lies, kept across runs as two string values under
// HKEY_CURRENT_USER\Software\BriselSoft\tarnwick ("InstallPath",
// "UnInstallEp"), and the per-folder switch "IsOverride" in the product's
// "set.ini" that keeps an earlier installation in the same folder from being
// removed first.
//
// Registry access goes through platform/registry.h: the real registry on
// Windows, a per-user file store elsewhere (redirected by XDG_CONFIG_HOME).
// Failures are silent by design: a machine without records behaves as one
// without an earlier installation. Functions are thread-safe per call.
#pragma once

#include <string>

#include "records/install_result.h"

inline constexpr const wchar_t* kInstallRecordsKey = L"Software\\BriselSoft\\tarnwick";
inline constexpr const wchar_t* kInstallPathValue = L"InstallPath";
inline constexpr const wchar_t* kUninstallEpValue = L"UnInstallEp";

// One value of the records key, any type read as text. False when the key or
// the value is missing or cannot be read.
bool ReadInstallValue(const std::wstring& name, std::wstring* out);

// Creates the key when needed and stores `value` as REG_SZ.
bool WriteInstallValue(const std::wstring& name, const std::wstring& value);

// The default uninstall entry point of a folder: <folder>\uninst.ep.
std::wstring DefaultUninstallEntryPoint(const std::wstring& folder);

struct RegisteredInstall {
  std::wstring installPath;  // empty when none is recorded
  std::wstring uninstEp;     // "UnInstallEp", else <installPath>\uninst.ep, else empty
};

// Reads both values; derives the entry point from the folder when only the
// folder is recorded.
RegisteredInstall ReadInstallRecords();

// After a successful installation: stores "InstallPath" = result->installDir;
// fills an empty result->uninstEp with the folder's default entry point and
// stores it as "UnInstallEp" only when that file exists (otherwise an older
// value stays). Write failures are ignored.
void WriteInstallRecords(InstallResult* result);

// True only when `folder` is the registered installation folder (relative
// path exactly ".") and its "set.ini" says [Uninstall] IsOverride=false
// (exactly, letter case counts). Missing file or key read as "true".
bool IsOverrideDisabled(const std::wstring& registeredInstallPath, const std::wstring& folder);
