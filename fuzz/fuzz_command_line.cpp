// The command line: the CommandLineToArgvW-style splitter and the option
// parser that reads "-name=value" arguments into the settings.
//
// Input: one byte choosing the check, then text.
//   even: the text is a command line; it is split, parsed and applied.
//   odd:  the text is a list of arguments separated by U+001F; they are
//         quoted the way a caller builds a command line, joined and split.
// Invariants: splitting yields no more arguments than the line has
// characters, and only the program path may be empty without a quote in the
// line; the first occurrence of an option wins; numbers read from options
// are finite or the fallback; and any argument list survives quoting,
// joining and splitting unchanged.
#include <cmath>

#include "config/command_line.h"
#include "config/installer_config.h"
#include "fuzz_support.h"
#include "platform/process.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The quoting that the splitting rules undo: backslashes double only before
// a quote (or the closing quote), quotes are escaped.
std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
    } else if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
      backslashes = 0;
    } else {
      quoted.append(backslashes, L'\\');
      backslashes = 0;
    }
    if (c != L'\\') quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

void CheckRoundTrip(const std::wstring& text) {
  std::vector<std::wstring> arguments = fuzz::SplitAt(text, L'\x1F');
  std::wstring commandLine = L"\"C:\\Program Files\\Tarnwick\\setup.exe\"";
  for (const std::wstring& argument : arguments) commandLine += L" " + QuoteArgument(argument);
  std::vector<std::wstring> expected{L"C:\\Program Files\\Tarnwick\\setup.exe"};
  expected.insert(expected.end(), arguments.begin(), arguments.end());
  FUZZ_CHECK(platform::SplitCommandLine(commandLine) == expected);
}

void CheckSplitAndOptions(const std::wstring& text) {
  const std::vector<std::wstring> arguments = platform::SplitCommandLine(text);
  FUZZ_CHECK(arguments.size() <= text.size());
  FUZZ_CHECK(text.empty() || !arguments.empty());
  const bool quoted = text.find(L'"') != std::wstring::npos;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    FUZZ_CHECK(quoted || !arguments[i].empty());
    for (wchar_t c : arguments[i]) FUZZ_CHECK(quoted || !IsBlank(c));
  }

  const CommandLineOptions options = ParseArguments(arguments);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const std::size_t equals = argument.find(L'=');
    const bool named = !argument.empty() && argument[0] == L'-' && equals != std::wstring::npos;
    const std::wstring key = named ? argument.substr(0, equals) : argument;
    FUZZ_CHECK(options.Contains(key));
    bool earlier = false;
    for (std::size_t j = 0; j < i && !earlier; ++j) {
      const std::size_t e = arguments[j].find(L'=');
      const bool n = !arguments[j].empty() && arguments[j][0] == L'-' && e != std::wstring::npos;
      earlier = (n ? arguments[j].substr(0, e) : arguments[j]) == key;
    }
    if (!earlier) FUZZ_CHECK(options.GetString(key) == (named ? argument.substr(equals + 1) : L""));
    const double number = options.GetDouble(key, 0.5);
    FUZZ_CHECK(std::isfinite(number));
    options.GetInt(key, -7);
    options.GetBool(key);
  }

  CInstallerConfig config;
  ApplyCommandLine(options, config);
  if (options.Contains(L"-downloadurl")) FUZZ_CHECK(config.DownloadUrl.find(L"${ROUTE}") == std::wstring::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 16 * 1024) return 0;
  const std::wstring text = fuzz::WideFromBytes(data + 1, size - 1);
  if (data[0] & 1) {
    CheckRoundTrip(text);
  } else {
    CheckSplitAndOptions(text);
  }
  return 0;
}
