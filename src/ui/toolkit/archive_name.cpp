#include "ui/toolkit/archive_name.h"

namespace ui {

std::wstring NormalizeArchiveName(const std::wstring& name) {
  std::wstring out;
  out.reserve(name.size());
  for (wchar_t c : name) {
    if (c == L'\\') c = L'/';
    if (c == L'/' && out.empty()) continue;
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    out.push_back(c);
  }
  return out;
}

bool ArchiveNamesMatch(const std::wstring& a, const std::wstring& b) {
  return NormalizeArchiveName(a) == NormalizeArchiveName(b);
}

}  // namespace ui
