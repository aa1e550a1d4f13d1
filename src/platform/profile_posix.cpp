// POSIX stand-in for the private-profile INI functions: a UTF-8 INI reader
// and writer with the Windows reading rules (profile.h). Writes replace the
// file atomically (temporary file + rename), so a crash leaves either the old
// or the new file, never half of one.
#include "platform/profile.h"
#include "platform/replace_file_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f'; }

std::wstring Trim(const std::wstring& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

struct Line {
  enum Kind { kOther, kSection, kEntry } kind = kOther;
  std::wstring text;   // the line as in the file, without its line end
  std::wstring name;   // section or key name, trimmed
  std::wstring value;  // entry value, trimmed
};

Line ParseLine(const std::wstring& text) {
  Line line;
  line.text = text;
  const std::wstring body = Trim(text);
  if (body.empty() || body[0] == L';') return line;
  if (body[0] == L'[') {
    const std::size_t close = body.find(L']');
    line.kind = Line::kSection;
    line.name = Trim(body.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
    return line;
  }
  line.kind = Line::kEntry;
  const std::size_t eq = body.find(L'=');
  line.name = Trim(body.substr(0, eq));
  if (eq != std::wstring::npos) line.value = Trim(body.substr(eq + 1));
  return line;
}

bool ReadAll(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *out = buffer.str();
  return true;
}

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool StartsWithBom(const std::string& content) { return content.compare(0, 3, kUtf8Bom) == 0; }

std::vector<Line> ParseFile(const std::string& content) {
  std::string bytes = content;
  if (StartsWithBom(bytes)) bytes.erase(0, 3);
  const std::wstring text = ToWide(bytes, kCodePageUtf8);
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring raw = text.substr(start, end - start);
    if (!raw.empty() && raw.back() == L'\r') raw.pop_back();
    lines.push_back(ParseLine(raw));
    start = end + 1;
  }
  return lines;
}

// Index of the entry `key` in the first section named `section` (-1 when
// missing), and that section's header line (-1 when missing).
struct Location {
  long section = -1;
  long entry = -1;
  long lastInSection = -1;  // last non-blank line of the section
};

Location Find(const std::vector<Line>& lines, const std::wstring& section, const std::wstring& key) {
  Location at;
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (line.kind == Line::kSection) {
      if (inside) break;
      if (SameName(line.name, section)) {
        inside = true;
        at.section = at.lastInSection = static_cast<long>(i);
      }
      continue;
    }
    if (!inside) continue;
    if (!Trim(line.text).empty()) at.lastInSection = static_cast<long>(i);
    if (line.kind == Line::kEntry && at.entry < 0 && SameName(line.name, key)) at.entry = static_cast<long>(i);
  }
  return at;
}

std::wstring StripQuotes(const std::wstring& value) {
  if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::wstring FitBuffer(std::wstring text, std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  if (text.size() > bufferChars - 1) text.resize(bufferChars - 1);
  return text;
}


}  // namespace

std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                               const std::wstring& defaultValue, std::size_t bufferChars) {
  // Windows strips trailing blanks from the default it hands back.
  std::wstring fallback = defaultValue;
  while (!fallback.empty() && (fallback.back() == L' ' || fallback.back() == L'\t')) fallback.pop_back();

  std::string content;
  if (!ReadAll(ToNarrow(path, kCodePageUtf8), &content)) return FitBuffer(fallback, bufferChars);
  const std::vector<Line> lines = ParseFile(content);
  const Location at = Find(lines, section, key);
  if (at.entry < 0) return FitBuffer(fallback, bufferChars);
  return FitBuffer(StripQuotes(lines[static_cast<std::size_t>(at.entry)].value), bufferChars);
}

int ReadProfileInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int defaultValue) {
  const std::wstring text = ReadProfileString(path, section, key, L"", 30);
  if (text.empty()) return defaultValue;
  std::size_t i = 0;
  while (i < text.size() && text[i] <= L' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  unsigned base = 10;
  // Only a lower-case "0x" selects hexadecimal, as in the system's conversion.
  if (i + 1 < text.size() && text[i] == L'0' && text[i + 1] == L'x') {
    base = 16;
    i += 2;
  }
  // Accumulates modulo 2^32, as the system's conversion does.
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    unsigned digit;
    if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
    else if (c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
    else if (c >= L'A' && c <= L'F') digit = static_cast<unsigned>(c - L'A' + 10);
    else break;
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

bool WriteProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
  const std::string file = ToNarrow(path, kCodePageUtf8);
  std::string content;
  std::vector<Line> lines;
  if (ReadAll(file, &content)) lines = ParseFile(content);

  const std::wstring entry = key + L"=" + value;
  const Location at = Find(lines, section, key);
  if (at.entry >= 0) {
    const std::wstring keptName = lines[static_cast<std::size_t>(at.entry)].name;
    lines[static_cast<std::size_t>(at.entry)] = ParseLine(keptName + L"=" + value);
  } else if (at.section >= 0) {
    lines.insert(lines.begin() + at.lastInSection + 1, ParseLine(entry));
  } else {
    while (!lines.empty() && Trim(lines.back().text).empty()) lines.pop_back();
    if (!lines.empty()) lines.push_back(ParseLine(L""));
    lines.push_back(ParseLine(L"[" + section + L"]"));
    lines.push_back(ParseLine(entry));
  }

  std::wstring text;
  for (const Line& line : lines) text += line.text + L"\r\n";
  // The mark goes back where it was: without it, text that followed it
  // (another U+FEFF, say) would read differently, and so would the entry
  // just written.
  const std::string bom = StartsWithBom(content) ? kUtf8Bom : "";
  return ReplaceFileContent(file, bom + ToNarrow(text, kCodePageUtf8));
}

}  // namespace platform
