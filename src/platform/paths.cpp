// Path arithmetic shared by both platforms; the style decides separators,
// drive letters and letter case (path_rules.h).
#include "platform/path_rules.h"

#include <cwctype>
#include <vector>

#include "platform/paths.h"

namespace platform {
namespace rules {
namespace {

bool SameText(const PathStyle& style, const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (style.ignoreCase) {
      x = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(x)));
      y = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(y)));
    }
    if (x != y) return false;
  }
  return true;
}

// The root with every separator written as the style's own, so that "C:/"
// and "C:\" compare equal.
std::wstring CanonicalRoot(const PathStyle& style, const std::wstring& root) {
  std::wstring out = root;
  for (wchar_t& c : out) {
    if (IsSeparator(style, c)) c = style.separator;
  }
  return out;
}

// Components after the root, without empty and "." components.
std::vector<std::wstring> Components(const PathStyle& style, const std::wstring& path, std::size_t from) {
  std::vector<std::wstring> out;
  std::wstring current;
  auto flush = [&] {
    if (!current.empty() && current != L".") out.push_back(current);
    current.clear();
  };
  for (std::size_t i = from; i < path.size(); ++i) {
    if (IsSeparator(style, path[i])) {
      flush();
    } else {
      current += path[i];
    }
  }
  flush();
  return out;
}

bool IsDriveDesignator(const PathStyle& style, const std::wstring& path) {
  return style.driveLetters && path.size() >= 2 && path[1] == L':' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

bool IsSeparator(const PathStyle& style, wchar_t c) {
  return c == style.separator || (style.backslashAndSlash && (c == L'\\' || c == L'/'));
}

std::wstring JoinPath(const PathStyle& style, const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  std::size_t skip = 0;
  while (skip < name.size() && IsSeparator(style, name[skip])) ++skip;
  std::wstring out = folder;
  if (!IsSeparator(style, out.back())) out += style.separator;
  out.append(name, skip, std::wstring::npos);
  return out;
}

// PathRemoveFileSpecW, walked the same way: the cut goes at the last
// separator, except that a root separator (and a drive's) stays.
std::wstring RemoveFileSpec(const PathStyle& style, const std::wstring& path) {
  std::wstring s = path.substr(0, kMaxPathChars);
  const std::size_t n = s.size();
  std::size_t i = 0, cut = 0;
  if (n > 0 && IsSeparator(style, s[0])) {
    cut = i = 1;
    if (style.driveLetters && n > 1 && IsSeparator(style, s[1])) cut = i = 2;
  }
  while (i < n) {
    if (IsSeparator(style, s[i])) {
      cut = i;
    } else if (style.driveLetters && s[i] == L':') {
      cut = ++i;
      if (i < n && IsSeparator(style, s[i])) ++cut;
    }
    ++i;
  }
  if (cut < n) s.resize(cut);
  return s;
}

std::wstring FileNameOf(const PathStyle& style, const std::wstring& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(style, path[i]) || (style.driveLetters && path[i] == L':')) start = i + 1;
  }
  return path.substr(start);
}

std::wstring DriveOf(const PathStyle& style, const std::wstring& path) {
  if (style.driveLetters) return IsDriveDesignator(style, path) ? path.substr(0, 2) : std::wstring();
  return (!path.empty() && IsSeparator(style, path[0])) ? std::wstring(1, style.separator) : std::wstring();
}

std::size_t RootLength(const PathStyle& style, const std::wstring& path) {
  const std::size_t n = path.size();
  if (IsDriveDesignator(style, path)) return (n > 2 && IsSeparator(style, path[2])) ? 3 : 2;
  if (n == 0 || !IsSeparator(style, path[0])) return 0;
  if (!style.driveLetters || n < 2 || !IsSeparator(style, path[1])) return 1;
  // "\\server\share\": the server and the share both belong to the root.
  std::size_t i = 2;
  for (int part = 0; part < 2; ++part) {
    while (i < n && !IsSeparator(style, path[i])) ++i;
    if (i < n) ++i;
  }
  return i;
}

std::wstring StripTrailingSeparators(const PathStyle& style, const std::wstring& path) {
  const std::size_t root = RootLength(style, path);
  std::size_t end = path.size();
  while (end > root && IsSeparator(style, path[end - 1])) --end;
  return path.substr(0, end);
}

std::optional<std::wstring> RelativeFolderPath(const PathStyle& style, const std::wstring& from,
                                               const std::wstring& to) {
  if (from.size() > kMaxPathChars || to.size() > kMaxPathChars) return std::nullopt;
  const std::size_t fromRoot = RootLength(style, from);
  const std::size_t toRoot = RootLength(style, to);
  if (!SameText(style, CanonicalRoot(style, from.substr(0, fromRoot)),
                CanonicalRoot(style, to.substr(0, toRoot)))) {
    return std::nullopt;
  }
  const std::vector<std::wstring> a = Components(style, from, fromRoot);
  const std::vector<std::wstring> b = Components(style, to, toRoot);
  std::size_t common = 0;
  while (common < a.size() && common < b.size() && SameText(style, a[common], b[common])) ++common;
  // Two relative paths without a shared first component have nothing to be
  // relative to.
  if (fromRoot == 0 && common == 0) return std::nullopt;

  std::wstring out;
  if (common == a.size()) {
    out = L".";
  } else {
    for (std::size_t i = common; i < a.size(); ++i) {
      if (!out.empty()) out += style.separator;
      out += L"..";
    }
  }
  for (std::size_t i = common; i < b.size(); ++i) {
    out += style.separator;
    out += b[i];
  }
  if (out.size() > kMaxPathChars) return std::nullopt;
  return out;
}

}  // namespace rules

bool IsPathSeparator(wchar_t c) { return rules::IsSeparator(NativePathStyle(), c); }

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  return rules::JoinPath(NativePathStyle(), folder, name);
}

std::wstring RemoveFileSpec(const std::wstring& path) { return rules::RemoveFileSpec(NativePathStyle(), path); }

std::wstring FileNameOf(const std::wstring& path) { return rules::FileNameOf(NativePathStyle(), path); }

std::wstring DriveOf(const std::wstring& path) { return rules::DriveOf(NativePathStyle(), path); }

}  // namespace platform
