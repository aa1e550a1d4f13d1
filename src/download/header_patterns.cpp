#include "download/header_patterns.h"

#include <cwchar>
#include <cwctype>
#include <limits>
#include <regex>

#include "utils/text.h"

namespace {

// The abbreviations; each expands inside a non-capturing group so that a
// following repetition applies to the whole of it and it never shifts the
// numbering of the pattern's own groups.
const wchar_t* AbbreviationOf(wchar_t letter) {
  switch (letter) {
    case L'a': return L"(?:[a-zA-Z0-9])";
    case L'b': return L"(?:[ \\t])";
    case L'c': return L"(?:[a-zA-Z])";
    case L'd': return L"(?:[0-9])";
    case L'h': return L"(?:[0-9a-fA-F])";
    case L'n': return L"(?:\\r|(?:\\r?\\n))";
    case L'q': return L"(?:(?:\"[^\"]*\")|(?:'[^']*'))";
    case L'w': return L"(?:[a-zA-Z]+)";
    case L'z': return L"(?:[0-9]+)";
    default: return nullptr;
  }
}

// One character that must stand for itself in the ECMAScript output: only
// the syntax characters get a backslash (an escaped letter or digit would
// mean a class or a back-reference there); line ends are spelled out.
void AppendLiteral(std::wstring& out, wchar_t c, const wchar_t* specials) {
  if (c == L'\n') {
    out += L"\\n";
  } else if (c == L'\r') {
    out += L"\\r";
  } else if (c == L'\0') {
    out += L"\\0";
  } else if (std::wcschr(specials, c) != nullptr) {
    out += L'\\';
    out += c;
  } else {
    out += c;
  }
}

const wchar_t kSyntaxCharacters[] = L"^$\\.*+?()[]{}|/";
const wchar_t kClassSyntaxCharacters[] = L"\\[]^-";

// Copies a bracketed class starting at pattern[i] == '['; returns the index
// just past its closing bracket (or the pattern's end when it is unclosed,
// which the regex compiler then rejects).
std::size_t TranslateClass(const std::wstring& pattern, std::size_t i, std::wstring& out) {
  out += L'[';
  ++i;
  if (i < pattern.size() && pattern[i] == L'^') {
    out += L'^';
    ++i;
  }
  for (; i < pattern.size(); ++i) {
    wchar_t c = pattern[i];
    if (c == L']') {
      out += L']';
      return i + 1;
    }
    if (c == L'\\' && i + 1 < pattern.size()) {
      AppendLiteral(out, pattern[++i], kClassSyntaxCharacters);
    } else if (c == L'-') {
      out += L'-';  // a range, as in the pattern
    } else {
      AppendLiteral(out, c, kClassSyntaxCharacters);
    }
  }
  return i;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

void AddUnlessKnown(std::vector<std::wstring>& values, const std::wstring& value) {
  for (const std::wstring& known : values) {
    if (EqualIgnoringCase(known, value)) return;
  }
  values.push_back(value);
}

}  // namespace

namespace {

struct Translation {
  std::wstring regex;
  bool repeatsWithoutBound = false;  // "+", "*" or an abbreviation with one
};

Translation Translate(const std::wstring& pattern) {
  Translation result;
  std::wstring& out = result.regex;
  for (std::size_t i = 0; i < pattern.size();) {
    wchar_t c = pattern[i];
    switch (c) {
      case L'{': out += L'('; ++i; break;
      case L'}': out += L')'; ++i; break;
      case L'(': out += L"(?:"; ++i; break;
      case L')': out += L')'; ++i; break;
      case L'+': case L'*':
        result.repeatsWithoutBound = true;
        out += c;
        ++i;
        break;
      case L'|': case L'?':
        out += c;
        ++i;
        break;
      // "Any character" includes line ends, unlike ECMAScript's dot.
      case L'.': out += L"[\\s\\S]"; ++i; break;
      case L'[': i = TranslateClass(pattern, i, out); break;
      case L'\\':
        if (i + 1 >= pattern.size()) {
          AppendLiteral(out, L'\\', kSyntaxCharacters);  // a trailing backslash quotes nothing
          ++i;
        } else if (const wchar_t* expansion = AbbreviationOf(pattern[i + 1])) {
          out += expansion;
          if (std::wcspbrk(expansion, L"+*") != nullptr) result.repeatsWithoutBound = true;
          i += 2;
        } else {
          AppendLiteral(out, pattern[i + 1], kSyntaxCharacters);
          i += 2;
        }
        break;
      default:
        AppendLiteral(out, c, kSyntaxCharacters);
        ++i;
        break;
    }
  }
  return result;
}

}  // namespace

std::wstring HeaderPatternToRegex(const std::wstring& pattern) { return Translate(pattern).regex; }

std::vector<std::wstring> MatchGroups(const std::wstring& pattern, const std::wstring& text) {
  std::vector<std::wstring> values;
  if (pattern.empty() || text.empty()) return values;
  const Translation translation = Translate(pattern);
  if (translation.repeatsWithoutBound && text.size() > kMaxRepeatedPatternText) return values;
  try {
    const std::wregex regex(translation.regex,
                            std::regex_constants::ECMAScript | std::regex_constants::icase);
    auto from = text.cbegin();
    const auto end = text.cend();
    std::wsmatch match;
    while (from != end && std::regex_search(from, end, match, regex,
                                            from == text.cbegin() ? std::regex_constants::match_default
                                                                  : std::regex_constants::match_prev_avail)) {
      if (match.size() > 1 && match[1].matched) AddUnlessKnown(values, match[1].str());
      // An empty match would find itself again: step over one character so
      // the search always moves on.
      from = match[0].second == from ? from + 1 : match[0].second;
    }
  } catch (const std::exception&) {
    // A pattern the regex compiler rejects, or a text too complex for it,
    // finds nothing rather than ending the transfer.
  }
  return values;
}

namespace {

// The header block cut into lines, each keeping its line end, because the
// patterns are searched one line at a time (see kMaxRepeatedPatternText).
std::vector<std::wstring> HeaderLines(const std::wstring& headers) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find(L'\n', start);
    end = end == std::wstring::npos ? headers.size() : end + 1;
    lines.push_back(headers.substr(start, end - start));
    start = end;
  }
  return lines;
}

// MatchGroups over every line, keeping the first-found order and dropping
// duplicates that differ only in case, as one search over the block would.
std::vector<std::wstring> MatchHeaderLines(const std::wstring& pattern, const std::vector<std::wstring>& lines) {
  std::vector<std::wstring> values;
  for (const std::wstring& line : lines) {
    for (const std::wstring& value : MatchGroups(pattern, line)) AddUnlessKnown(values, value);
  }
  return values;
}

// Decimal digits to a 32-bit length; a value that does not fit is no
// length at all (0) rather than a wrapped one.
std::uint32_t ParseLength(const std::wstring& digits) {
  std::uint64_t value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return 0;
  }
  return static_cast<std::uint32_t>(value);
}

std::wstring JoinCookies(const std::vector<std::wstring>& values) {
  if (values.empty()) return std::wstring();  // no cookie is not ";"
  std::wstring joined;
  for (const std::wstring& value : values) {
    if (!joined.empty()) joined += L"; ";
    joined += value;
  }
  joined = Utils::Trim(joined);
  if (joined.empty() || joined.back() != L';') joined += L';';
  return joined;
}

}  // namespace

ResponseHeaderValues ExtractResponseHeaderValues(const std::wstring& rawHeaders) {
  const std::vector<std::wstring> lines = HeaderLines(rawHeaders);
  ResponseHeaderValues values;
  std::vector<std::wstring> found = MatchHeaderLines(L"charset={[A-Za-z0-9\\-_]+}", lines);
  if (!found.empty()) values.charset = found.front();
  found = MatchHeaderLines(L"Content-Length: {[0-9]+}", lines);
  if (!found.empty()) values.contentLength = ParseLength(found.front());
  found = MatchHeaderLines(L"Location: {https?:.+?\\n}", lines);
  if (!found.empty()) values.location = found.front();
  values.cookies = JoinCookies(MatchHeaderLines(L"Set-Cookie:\\b*{.+?}\\n", lines));
  return values;
}
