// POSIX stand-in for the path queries; '/' separates, letter case counts.
#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/path_rules.h"

namespace platform {

const wchar_t kPathSeparator = L'/';

const PathStyle& NativePathStyle() { return kPosixPathStyle; }

std::wstring ModulePath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return {};
  return ToWide(std::string(buffer, static_cast<std::size_t>(n)), kCodePageUtf8);
}

std::wstring TempPath() {
  std::wstring folder = L"/tmp";
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
    folder = ToWide(tmp, kCodePageUtf8);
  }
  if (folder.back() != L'/') folder += L'/';
  return folder;
}

std::optional<std::wstring> RelativePathBetweenFolders(const std::wstring& from, const std::wstring& to) {
  return rules::RelativeFolderPath(kPosixPathStyle, from, to);
}

std::optional<std::wstring> GetEnv(const std::wstring& name) {
  const char* value = std::getenv(ToNarrow(name, kCodePageUtf8).c_str());
  if (value == nullptr) return std::nullopt;
  std::wstring text = ToWide(value, kCodePageUtf8);
  // Same limit as the 260-character buffer on Windows.
  if (text.size() > kMaxPathChars) return std::nullopt;
  return text;
}

std::optional<std::wstring> GetSpecialFolder(SpecialFolder which) {
  if (which == SpecialFolder::kCommonDocuments) return std::wstring(L"/tmp");
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  return JoinPath(ToWide(home, kCodePageUtf8), L".local/share/tarnwick-programs");
}

}  // namespace platform
