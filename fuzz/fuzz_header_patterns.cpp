// Raw HTTP response headers as the WinHTTP client reads them, and the
// pattern language that pulls values out of them.
//
// Input: "pattern \x1F headers"; without the separator the whole input is
// the header block. The pattern (at most 64 characters) is matched against
// the block; the client's own patterns are applied too. The matching runs on
// a thread with a 2 MiB stack, what the installer's threads get on Windows
// (the executable's default stack reserve), so a regex that recurses too
// deeply on a long line is a finding.
// Invariants: every value found is a piece of the text, found once
// regardless of case; a pattern that repeats finds nothing in a text over
// the limit; Content-Length is the first "Content-Length: <digits>" of the
// block as a 32-bit number, 0 when absent or too big; a charset is made of
// its allowed characters only; a location is an http(s) URL ending at its
// line end; cookies end with ";".
#include <pthread.h>

#include <limits>

#include "download/header_patterns.h"
#include "fuzz_support.h"

namespace {

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// The first "Content-Length: <digits>" of the block, line by line and left
// to right, read as a 32-bit number (0 when it does not fit). A line longer
// than the repetition limit cannot match.
std::uint32_t ExpectedContentLength(const std::wstring& headers) {
  const std::wstring name = L"content-length: ";
  for (std::size_t start = 0; start < headers.size();) {
    const std::size_t lineFeed = headers.find(L'\n', start);
    const std::size_t end = lineFeed == std::wstring::npos ? headers.size() : lineFeed + 1;
    std::wstring line = headers.substr(start, end - start);
    start = end;
    if (line.size() > kMaxRepeatedPatternText) continue;
    std::wstring lower = line;
    for (wchar_t& c : lower) c = LowerAscii(c);
    for (std::size_t at = lower.find(name); at != std::wstring::npos; at = lower.find(name, at + 1)) {
      std::size_t digit = at + name.size();
      std::uint64_t value = 0;
      bool fits = true;
      while (digit < line.size() && line[digit] >= L'0' && line[digit] <= L'9') {
        value = value * 10 + static_cast<std::uint64_t>(line[digit] - L'0');
        if (value > std::numeric_limits<std::uint32_t>::max()) fits = false, value = 0;
        ++digit;
      }
      if (digit > at + name.size()) return fits ? static_cast<std::uint32_t>(value) : 0;
    }
  }
  return 0;
}

struct Job {
  std::wstring pattern;
  std::wstring headers;
};

void CheckPattern(const std::wstring& pattern, const std::wstring& text) {
  const std::vector<std::wstring> values = MatchGroups(pattern, text);
  for (std::size_t i = 0; i < values.size(); ++i) {
    FUZZ_CHECK(text.find(values[i]) != std::wstring::npos);
    for (std::size_t j = 0; j < i; ++j) FUZZ_CHECK(!EqualIgnoringCase(values[i], values[j]));
  }
  // Without quoting or classes, any "+" or "*" is a repetition.
  const bool repeats = pattern.find_first_of(L"+*") != std::wstring::npos &&
                       pattern.find_first_of(L"\\[") == std::wstring::npos;
  if (repeats && text.size() > kMaxRepeatedPatternText) FUZZ_CHECK(values.empty());
}

void* Run(void* argument) {
  const Job& job = *static_cast<const Job*>(argument);
  if (!job.pattern.empty()) CheckPattern(job.pattern, job.headers);
  CheckPattern(L"{<html>}", job.headers);

  const ResponseHeaderValues values = ExtractResponseHeaderValues(job.headers);
  FUZZ_CHECK(values.contentLength == ExpectedContentLength(job.headers));
  for (wchar_t c : values.charset) {
    FUZZ_CHECK((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
               c == L'_');
  }
  if (!values.location.empty()) {
    FUZZ_CHECK(EqualIgnoringCase(values.location.substr(0, 4), L"http"));
    FUZZ_CHECK(values.location.back() == L'\n' || values.location.back() == L'\r');
  }
  if (!values.cookies.empty()) FUZZ_CHECK(values.cookies.back() == L';');
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  const std::wstring input = fuzz::WideFromBytes(data, size);
  Job job;
  const std::size_t separator = input.find(L'\x1F');
  if (separator == std::wstring::npos || separator > 64) {
    job.headers = input;
  } else {
    job.pattern = input.substr(0, separator);
    job.headers = input.substr(separator + 1);
  }

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 2 * 1024 * 1024);
  pthread_t thread;
  FUZZ_CHECK(pthread_create(&thread, &attributes, Run, &job) == 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  return 0;
}
