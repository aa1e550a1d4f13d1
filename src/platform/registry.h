// String values under HKEY_CURRENT_USER.
//
// Windows: the real registry (RegOpenKeyExW / RegQueryValueExW /
// RegCreateKeyExW / RegSetValueExW). POSIX stand-in: a per-user file store
// of the same shape: one file per key under
//   ${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick-registry/HKCU/<key path>/values.ini
// whose key path uses '/' for the registry's '\'. Thread-safe per call.
#pragma once

#include <string>

namespace platform {

// Reads a value of any type as text: opens `subKey` for reading, asks for the
// value's size, reads it into a zero-filled buffer of (size + 1) wide
// characters and cuts the text at its first null character. False when the
// key or the value is missing or a read fails.
bool ReadUserRegistryString(const std::wstring& subKey, const std::wstring& name, std::wstring* out);

// Creates or opens `subKey` with full access and stores `value` as REG_SZ
// with a data length of exactly characters x 2 bytes (no terminator).
bool WriteUserRegistryString(const std::wstring& subKey, const std::wstring& name, const std::wstring& value);

// Deletes `subKey` and everything under it. For tests only.
bool DeleteUserRegistryKey(const std::wstring& subKey);

}  // namespace platform
