#include "install/status_line.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "platform/codepage.h"
#include "utils/events.h"
#include "utils/text.h"

namespace install {
namespace {

constexpr wchar_t kInstallFailText[] = L"安装包安装失败";
constexpr wchar_t kUninstallFailText[] = L"安装包卸载失败";

bool StartsWith(const std::wstring& line, const wchar_t* key) {
  return line.compare(0, std::wcslen(key), key) == 0;
}

// Reads a signed decimal at `pos` (blanks and a sign first), the way the
// C library's integer scanners do. False when no digit follows or the
// number does not fit 32 bits.
bool ReadInt32At(const std::wstring& text, std::size_t* pos, std::int32_t* out) {
  const wchar_t* begin = text.c_str() + *pos;
  wchar_t* end = nullptr;
  errno = 0;
  long long value = std::wcstoll(begin, &end, 10);
  if (end == begin) return false;
  *pos += static_cast<std::size_t>(end - begin);
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
  *out = static_cast<std::int32_t>(value);
  return true;
}

StatusEvent Event(std::int32_t code, double value, std::wstring text, const wchar_t* key) {
  StatusEvent e;
  e.code = code;
  e.value = value;
  e.text = std::move(text);
  e.key = key;
  return e;
}

// The delays travel as unsigned 32-bit periods: a negative number on the
// wire becomes a very long period rather than an error.
double AsUnsignedValue(std::int32_t n) {
  return static_cast<double>(static_cast<std::uint32_t>(n));
}

double StartupStyleValue(const std::wstring& word) {
  if (word == L"AutoStartup") return 1.0;
  if (word == L"UserStartup") return 2.0;
  return 0.0;  // "NonStartup" and anything unknown
}

struct InstallKey {
  const wchar_t* key;
  // Handles the rest of the line after the key; may set the verdict.
  void (*handle)(const wchar_t* key, const std::wstring& rest, InstallStatusState* state, ChunkResult* result);
};

void TextEvent(std::int32_t code, const wchar_t* key, const std::wstring& rest, ChunkResult* result) {
  result->events.push_back(Event(code, 0.0, ScanText(rest), key));
}

const InstallKey kInstallKeys[] = {
    {L"Progress=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       r->events.push_back(Event(IST_CODE_PROGRESS, ScanNumber(rest), L"", key));
     }},
    {L"InstPath=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_INST_PATH, key, rest, r);
     }},
    {L"State=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       std::wstring word = ScanWord(rest);
       if (word == L"Success") {
         r->events.push_back(Event(IST_CODE_SUCCESS, 0.0, L"", key));
         r->verdict = kVerdictSuccess;
       } else if (word == L"Fail") {
         r->events.push_back(Event(IST_CODE_FAIL, 0.0, kInstallFailText, key));
         r->verdict = kVerdictFailure;
       }
     }},
    {L"InstallVersion=",
     [](const wchar_t*, const std::wstring& rest, InstallStatusState* s, ChunkResult*) {
       ScanVersion(rest, s->version);
     }},
    {L"ExePath=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_EXE_PATH, key, rest, r);
     }},
    {L"StartExe=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_EXE_PATH, key, rest, r);
     }},
    {L"UninstExePath=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_UNINST_EXE, key, rest, r);
     }},
    {L"UninstExe=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_UNINST_EXE, key, rest, r);
     }},
    {L"UninstEp=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_UNINST_EP, key, rest, r);
     }},
    {L"Error=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       r->events.push_back(Event(IST_CODE_FAIL, 1000.0, ScanText(rest), key));
       r->verdict = kVerdictFailure;
     }},
    {L"TopShowDetention=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       std::int32_t n = 0;
       ScanInteger(rest, &n);
       r->events.push_back(Event(IST_CODE_TOP_SHOW_DETENTION, AsUnsignedValue(n), L"", key));
     }},
    {L"FinsihCloseDetention=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       std::int32_t n = 0;
       ScanInteger(rest, &n);
       r->events.push_back(Event(IST_CODE_FINISH_CLOSE_DETENTION, AsUnsignedValue(n), L"", key));
     }},
    {L"StartUrl=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_START_URL, key, rest, r);
     }},
    {L"StartupStyle=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       r->events.push_back(Event(IST_CODE_STARTUP_STYLE, StartupStyleValue(ScanWord(rest)), L"", key));
     }},
    {L"Encode=",
     [](const wchar_t*, const std::wstring& rest, InstallStatusState* s, ChunkResult* r) {
       // A code page that does not convert would decode every later line to
       // nothing and hide a later "State=Fail".
       const std::wstring word = ScanWord(rest);
       const std::int32_t codePage = InstallCodePageFromWord(word);
       if (codePage >= 0 && platform::CanConvertFrom(static_cast<std::uint32_t>(codePage))) {
         s->codePage = codePage;
       } else {
         r->ignoredEncodings.push_back(word);
       }
     }},
    {L"Message=",
     [](const wchar_t* key, const std::wstring& rest, InstallStatusState*, ChunkResult* r) {
       TextEvent(IST_CODE_MESSAGE, key, rest, r);
     }},
};

}  // namespace

std::vector<std::wstring> SplitStatusLines(const std::wstring& chunk) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < chunk.size()) {
    std::size_t end = chunk.find_first_of(std::wstring(L"\n\0", 2), start);
    if (end == std::wstring::npos) end = chunk.size();
    std::size_t last = end;
    while (last > start && chunk[last - 1] == L'\r') --last;
    lines.push_back(chunk.substr(start, last - start));
    start = end + 1;
  }
  return lines;
}

void StatusLineAssembler::Feed(const char* data, std::size_t size, std::vector<std::string>* lines) {
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c == '\n' || c == '\0') {
      if (!pending_.empty()) lines->push_back(pending_);
      pending_.clear();
    } else if (pending_.size() < kMaxLineBytes) {
      pending_.push_back(c);
    }  // else: beyond the limit, dropped up to the line end
  }
}

void StatusLineAssembler::Finish(std::vector<std::string>* lines) {
  if (!pending_.empty()) lines->push_back(pending_);
  pending_.clear();
}

std::wstring ScanText(const std::wstring& rest) {
  return rest.substr(0, kMaxStatusValueChars);
}

std::wstring ScanWord(const std::wstring& rest) {
  std::wstring text = ScanText(rest);
  std::size_t first = 0;
  while (first < text.size() && std::iswspace(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && std::iswspace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

double ScanNumber(const std::wstring& rest) {
  const wchar_t* begin = rest.c_str();
  wchar_t* end = nullptr;
  double value = std::wcstod(begin, &end);
  // "nan" and "inf" parse as numbers but would poison every progress
  // computation downstream; they count as unreadable.
  if (end == begin || !std::isfinite(value)) return 0.0;
  return value;
}

bool ScanInteger(const std::wstring& rest, std::int32_t* out) {
  std::size_t pos = 0;
  std::int32_t value = 0;
  bool ok = ReadInt32At(rest, &pos, &value);
  *out = ok ? value : 0;
  return ok;
}

void ScanVersion(const std::wstring& rest, std::int32_t version[3]) {
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (pos >= rest.size() || rest[pos] != L'.') return;
      ++pos;
    }
    std::int32_t part = 0;
    if (!ReadInt32At(rest, &pos, &part)) return;
    version[i] = part;
  }
}

std::int32_t InstallCodePageFromWord(const std::wstring& word) {
  if (word == L"UTF8") return 65001;
  if (word == L"ACP") return 0;
  std::int32_t n = 0;
  ScanInteger(word, &n);
  return n;
}

std::int32_t UninstallCodePageFromWord(const std::wstring& word) {
  return word == L"UTF8" ? 65001 : 0;
}

ChunkResult ParseInstallStatus(const std::wstring& chunk, InstallStatusState* state) {
  ChunkResult result;
  for (const std::wstring& line : SplitStatusLines(chunk)) {
    for (const InstallKey& entry : kInstallKeys) {
      if (!StartsWith(line, entry.key)) continue;
      entry.handle(entry.key, line.substr(std::wcslen(entry.key)), state, &result);
      break;
    }
  }
  return result;
}

ChunkResult ParseUninstallStatus(const std::wstring& chunk, UninstallStatusState* state) {
  ChunkResult result;
  for (const std::wstring& line : SplitStatusLines(chunk)) {
    if (StartsWith(line, L"Progress=")) {
      result.events.push_back(Event(UNIST_CODE_PROGRESS, ScanNumber(line.substr(9)), L"", L"Progress="));
    } else if (StartsWith(line, L"Error=")) {
      result.events.push_back(Event(UNIST_CODE_ERROR, 0.0, ScanText(line.substr(6)), L"Error="));
      result.verdict = kVerdictFailure;
    } else if (StartsWith(line, L"State=")) {
      std::wstring word = ScanWord(line.substr(6));
      if (word == L"Success") {
        result.events.push_back(Event(UNIST_CODE_SUCCESS, 0.0, L"", L"State="));
        result.verdict = kVerdictSuccess;
      } else if (word == L"Fail") {
        result.events.push_back(Event(UNIST_CODE_ERROR, 0.0, kUninstallFailText, L"State="));
        result.verdict = kVerdictFailure;
      }
    } else if (StartsWith(line, L"Encode=")) {
      state->codePage = UninstallCodePageFromWord(ScanWord(line.substr(7)));
    }
  }
  return result;
}

namespace {

void Append(ChunkResult* all, ChunkResult one) {
  for (StatusEvent& e : one.events) all->events.push_back(std::move(e));
  for (std::wstring& w : one.ignoredEncodings) all->ignoredEncodings.push_back(std::move(w));
  if (one.verdict != kVerdictNone) all->verdict = one.verdict;
}

// Decoding line by line lets "Encode=" switch at the next line, and a
// character is never split between two decodings.
template <class State, class Parse>
ChunkResult ParseLines(const std::vector<std::string>& lines, State* state, Parse parse) {
  ChunkResult all;
  for (const std::string& line : lines) {
    Append(&all, parse(Utils::ToWide(line, static_cast<std::uint32_t>(state->codePage)), state));
  }
  return all;
}

}  // namespace

ChunkResult InstallStatusReader::Feed(const char* data, std::size_t size) {
  std::vector<std::string> lines;
  assembler_.Feed(data, size, &lines);
  return ParseLines(lines, state_, ParseInstallStatus);
}

ChunkResult InstallStatusReader::Finish() {
  std::vector<std::string> lines;
  assembler_.Finish(&lines);
  return ParseLines(lines, state_, ParseInstallStatus);
}

ChunkResult UninstallStatusReader::Feed(const char* data, std::size_t size) {
  std::vector<std::string> lines;
  assembler_.Feed(data, size, &lines);
  return ParseLines(lines, state_, ParseUninstallStatus);
}

ChunkResult UninstallStatusReader::Finish() {
  std::vector<std::string> lines;
  assembler_.Finish(&lines);
  return ParseLines(lines, state_, ParseUninstallStatus);
}

}  // namespace install
