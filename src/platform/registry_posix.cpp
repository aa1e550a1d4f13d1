// POSIX stand-in for HKEY_CURRENT_USER string values: one small file per key,
//   ${XDG_CONFIG_HOME:-$HOME/.config}/tarnwick-registry/HKCU/<key path>/values.ini
// holding "[Values]" and one escaped name=value line per value, so that any
// text (blanks, quotes, '=', line breaks) survives a round trip exactly.
// Value names compare without regard to case, as in the registry. Files are
// replaced atomically.
#include "platform/registry.h"
#include "platform/replace_file_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

constexpr char kValuesFile[] = "values.ini";

std::string StoreRoot() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.config";
  } else {
    return {};
  }
  return base + "/tarnwick-registry/HKCU";
}

// The key's folder below the root; empty when the key path is unusable
// (empty, or with "." or ".." components that would leave the store).
std::vector<std::string> KeyComponents(const std::wstring& subKey) {
  std::vector<std::string> parts;
  std::wstring current;
  auto flush = [&]() -> bool {
    if (current.empty()) return true;  // doubled or outer backslashes
    if (current == L"." || current == L"..") return false;
    parts.push_back(ToNarrow(current, kCodePageUtf8));
    current.clear();
    return true;
  };
  for (wchar_t c : subKey) {
    if (c == L'\\') {
      if (!flush()) return {};
    } else if (c == L'/') {
      current += L'_';  // '/' is an ordinary key-name character in the registry
    } else {
      current += c;
    }
  }
  if (!flush()) return {};
  return parts;
}

std::string KeyFolder(const std::wstring& subKey) {
  const std::string root = StoreRoot();
  const std::vector<std::string> parts = KeyComponents(subKey);
  if (root.empty() || parts.empty()) return {};
  std::string folder = root;
  for (const std::string& part : parts) folder += "/" + part;
  return folder;
}

std::wstring Escape(const std::wstring& text, bool isName) {
  std::wstring out;
  for (wchar_t c : text) {
    switch (c) {
      case L'\\': out += L"\\\\"; break;
      case L'\n': out += L"\\n"; break;
      case L'\r': out += L"\\r"; break;
      case L'\0': out += L"\\0"; break;
      case L'=': out += isName ? L"\\=" : L"="; break;
      default: out += c;
    }
  }
  return out;
}

// Unescapes up to an unescaped `stop` character (or the end); returns the
// position after it.
std::size_t Unescape(const std::wstring& text, std::size_t pos, wchar_t stop, std::wstring* out) {
  while (pos < text.size()) {
    wchar_t c = text[pos++];
    if (c == stop) return pos;
    if (c == L'\\' && pos < text.size()) {
      const wchar_t e = text[pos++];
      c = e == L'n' ? L'\n' : e == L'r' ? L'\r' : e == L'0' ? L'\0' : e;
    }
    *out += c;
  }
  return pos;
}

struct Value {
  std::wstring name;
  std::wstring data;
};

bool LoadValues(const std::string& folder, std::vector<Value>* values) {
  std::ifstream in(folder + "/" + kValuesFile, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  const std::wstring text = ToWide(buffer.str(), kCodePageUtf8);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == L'[') continue;
    Value value;
    const std::size_t pos = Unescape(line, 0, L'=', &value.name);
    Unescape(line, pos, L'\n', &value.data);
    values->push_back(value);
  }
  return true;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

bool MakeFolders(const std::string& folder) {
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    const std::string prefix = folder.substr(0, pos);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool StoreValues(const std::string& folder, const std::vector<Value>& values) {
  std::wstring text = L"[Values]\n";
  for (const Value& value : values) text += Escape(value.name, true) + L"=" + Escape(value.data, false) + L"\n";
  const std::string bytes = ToNarrow(text, kCodePageUtf8);
  const std::string path = folder + "/" + kValuesFile;
  return ReplaceFileContent(path, bytes);
}

bool RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return unlink(path.c_str()) == 0;
  std::vector<std::string> children;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") children.push_back(path + "/" + name);
    }
    closedir(dir);
  }
  bool ok = true;
  for (const std::string& child : children) ok = RemoveTree(child) && ok;
  return rmdir(path.c_str()) == 0 && ok;
}

}  // namespace

bool ReadUserRegistryString(const std::wstring& subKey, const std::wstring& name, std::wstring* out) {
  const std::string folder = KeyFolder(subKey);
  std::vector<Value> values;
  if (folder.empty() || !LoadValues(folder, &values)) return false;
  for (const Value& value : values) {
    if (!SameName(value.name, name)) continue;
    // The registry reader cuts the text at its first null character.
    *out = value.data.substr(0, value.data.find(L'\0'));
    return true;
  }
  return false;
}

bool WriteUserRegistryString(const std::wstring& subKey, const std::wstring& name, const std::wstring& value) {
  const std::string folder = KeyFolder(subKey);
  if (folder.empty() || !MakeFolders(folder)) return false;
  std::vector<Value> values;
  LoadValues(folder, &values);
  bool replaced = false;
  for (Value& existing : values) {
    if (SameName(existing.name, name)) {
      existing.data = value;
      replaced = true;
      break;
    }
  }
  if (!replaced) values.push_back({name, value});
  return StoreValues(folder, values);
}

bool DeleteUserRegistryKey(const std::wstring& subKey) {
  const std::string folder = KeyFolder(subKey);
  struct stat st;
  if (folder.empty() || stat(folder.c_str(), &st) != 0) return false;
  return RemoveTree(folder);
}

}  // namespace platform
