// Command-line splitting shared by both platforms. The rules are those of
// CommandLineToArgvW (shell32), including its handling of consecutive
// quotes, so that a command line means the same on POSIX as on Windows.
#include "platform/process.h"

namespace platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
  std::vector<std::wstring> args;
  if (commandLine.empty()) return args;
  const std::size_t n = commandLine.size();
  std::size_t i = 0;

  // The program path: a leading quote runs to the next quote, anything else
  // to the next blank; backslashes are plain characters here.
  std::wstring program;
  if (commandLine[0] == L'"') {
    ++i;
    while (i < n && commandLine[i] != L'"') program += commandLine[i++];
    if (i < n) ++i;  // the closing quote
  } else {
    while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
  }
  args.push_back(program);

  while (i < n && IsBlank(commandLine[i])) ++i;
  if (i >= n) return args;

  std::wstring current;
  int quotes = 0;            // 1 while inside quotes
  std::size_t backslashes = 0;
  while (i < n) {
    const wchar_t c = commandLine[i];
    if (IsBlank(c) && quotes == 0) {
      args.push_back(current);
      current.clear();
      backslashes = 0;
      while (i < n && IsBlank(commandLine[i])) ++i;
      if (i >= n) return args;
    } else if (c == L'\\') {
      current += c;
      ++backslashes;
      ++i;
    } else if (c == L'"') {
      if (backslashes % 2 == 0) {
        // 2n backslashes: n of them stay, the quote toggles quoting.
        current.resize(current.size() - backslashes / 2);
        ++quotes;
      } else {
        // 2n+1 backslashes: n stay and the quote is literal.
        current.resize(current.size() - backslashes / 2 - 1);
        current += L'"';
      }
      ++i;
      backslashes = 0;
      // Further quotes right after: every third one (counting the quoting
      // state) is a literal quote, as shell32 does it.
      while (i < n && commandLine[i] == L'"') {
        if (++quotes == 3) {
          current += L'"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
    } else {
      current += c;
      backslashes = 0;
      ++i;
    }
  }
  args.push_back(current);
  return args;
}

}  // namespace platform
