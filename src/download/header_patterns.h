// The small pattern language that pulls values out of raw HTTP response
// headers (and finds the "<html>" / "</html>" tags of a page).
//
// Language: literal characters; "." is any character (line ends included);
// "[...]" is a character class with ranges; "+", "*", "?" repeat greedily,
// "+?" and "*?" lazily; "{...}" is a capturing group; "(...)" groups without
// capturing; "|" separates alternatives; a literal line feed matches a line
// feed. A backslash followed by one of these letters is an abbreviation:
//   \a alphanumeric   \b blank (space, tab)   \c letter   \d digit
//   \h hex digit      \n line end (CR, CR LF or LF)
//   \q quoted text ("..." or '...')   \w a word of letters   \z a number
// A backslash before any other character quotes that character. Anything
// else ("^", "$", ...) is literal.
//
// Pure and thread-safe; never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The regex engine recurses once per repeated character, so a long run under
// "+" or "*" could exhaust a worker thread's stack. Patterns with such a
// repetition therefore search at most this many characters; the transfer
// feeds header lines one at a time, and a longer line finds nothing.
inline constexpr std::size_t kMaxRepeatedPatternText = 4096;

// Translates a pattern into an ECMAScript regular expression in which only
// the pattern's braces capture. Exposed for tests.
std::wstring HeaderPatternToRegex(const std::wstring& pattern);

// Searches `text` case-insensitively from its start; for every match takes
// the text of the first capturing group, keeps it unless an equal value
// (ignoring case) was already found, and continues at the end of the match.
// Returns the values in the order found. An empty pattern or text, a
// pattern that does not compile, or a text longer than
// kMaxRepeatedPatternText for a pattern with "+", "*", \w, \z or \q gives an
// empty list.
std::vector<std::wstring> MatchGroups(const std::wstring& pattern, const std::wstring& text);

// The values the WinHTTP client takes from a raw header block (CR LF
// separated, as WINHTTP_QUERY_RAW_HEADERS_CRLF gives it). Each pattern is
// searched line by line, so one oversized line cannot hide the others.
struct ResponseHeaderValues {
  std::wstring charset;             // "charset={[A-Za-z0-9\-_]+}", first found
  std::uint32_t contentLength = 0;  // "Content-Length: {[0-9]+}"; 0 when absent or too big
  std::wstring location;            // "Location: {https?:.+?\n}", line end included
  // "Set-Cookie:\b*{.+?}\n": every value joined with "; ", trimmed, ending
  // with one ";"; empty when no cookie was set.
  std::wstring cookies;
};
ResponseHeaderValues ExtractResponseHeaderValues(const std::wstring& rawHeaders);
