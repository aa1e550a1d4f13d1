#include "ui/main/ui_trace.h"

#include <cstdio>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace mainwnd {

UiTrace::UiTrace() : m_path(platform::GetEnv(kVariable).value_or(std::wstring())) {}

void UiTrace::Line(const std::wstring& kind, const std::wstring& a, const std::wstring& b) {
  if (m_path.empty()) return;
  std::wstring line = kind + L"\t" + a;
  if (!b.empty()) line += L"\t" + b;
  // Line ends inside a text (the running message holds "\r\n") would split
  // one record into two for the reader; they are written as spaces.
  for (wchar_t& c : line) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  line += L"\n";
  std::string bytes = platform::ToNarrow(line, platform::kCodePageUtf8);
  if (std::FILE* f = platform::OpenFile(m_path, "ab")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace mainwnd
