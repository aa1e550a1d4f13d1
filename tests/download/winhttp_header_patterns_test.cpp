// The pattern language of the WinHTTP client, against the patterns the
// client really uses and the corners of the translation.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "download/header_patterns.h"

namespace {

using Values = std::vector<std::wstring>;

const wchar_t kCharset[] = L"charset={[A-Za-z0-9\\-_]+}";
const wchar_t kContentLength[] = L"Content-Length: {[0-9]+}";
const wchar_t kLocation[] = L"Location: {https?:.+?\\n}";
const wchar_t kSetCookie[] = L"Set-Cookie:\\b*{.+?}\\n";

const wchar_t kHeaders[] =
    L"HTTP/1.1 302 Found\r\n"
    L"content-length: 1234\r\n"
    L"Content-Type: text/html; CHARSET=utf-8\r\n"
    L"Location: https://cdn.example/pkg/0123456789abcdef0123456789abcdef/setup.exe\r\n"
    L"Set-Cookie: a=1; path=/\r\n"
    L"Set-Cookie:\t b=2\r\n"
    L"\r\n";

struct Case {
  const wchar_t* name;
  const wchar_t* pattern;
  const wchar_t* text;
  Values expected;
};

TEST(HeaderPatterns, ThePatternsOfTheClientFindTheirValues) {
  const Case cases[] = {
      {L"charset", kCharset, kHeaders, {L"utf-8"}},
      {L"lower-case content-length", kContentLength, kHeaders, {L"1234"}},
      {L"location keeps its line end", kLocation, kHeaders,
       {L"https://cdn.example/pkg/0123456789abcdef0123456789abcdef/setup.exe\r"}},
      {L"every cookie, blanks skipped", kSetCookie, kHeaders, {L"a=1; path=/", L"b=2"}},
      {L"html open tag in any case", L"{<html>}", L"<!doctype html><HTML><body>", {L"<HTML>"}},
      {L"no closing tag", L"{</html>}", L"<html><body>cut", {}},
      {L"a location must be http(s)", kLocation, L"Location: ftp://x/y\r\n", {}},
      {L"location at a bare line feed", kLocation, L"Location: http://x/y\nNext: 1\n", {L"http://x/y\n"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchGroups(c.pattern, c.text), c.expected) << c.name;
  }
}

TEST(HeaderPatterns, DuplicatesDifferingOnlyInCaseAreDroppedAndOrderKept) {
  EXPECT_EQ(MatchGroups(L"x={\\w}", L"x=Ab x=cd x=AB x=ab x=ef"), (Values{L"Ab", L"cd", L"ef"}));
}

TEST(HeaderPatterns, AbbreviationsStandForTheirClasses) {
  const Case cases[] = {
      {L"\\a alphanumeric", L"{\\a+}", L"-aZ9_", {L"aZ9"}},
      {L"\\b blank", L"k:{\\b+}v", L"k: \t v", {L" \t "}},
      {L"\\c letter", L"{\\c+}", L"12ab3", {L"ab"}},
      {L"\\d digit", L"{\\d}", L"a7b", {L"7"}},
      {L"\\h hex digit", L"{\\h+}", L"xyz0fAq", {L"0fA"}},
      {L"\\n CR LF", L"a{\\n}b", L"a\r\nb", {L"\r\n"}},
      {L"\\n bare LF", L"a{\\n}b", L"a\nb", {L"\n"}},
      {L"\\n bare CR", L"a{\\n}b", L"a\rb", {L"\r"}},
      {L"\\q double quotes", L"={\\q}", L"=\"a b\"", {L"\"a b\""}},
      {L"\\q single quotes", L"={\\q}", L"='c'", {L"'c'"}},
      {L"\\w word", L"{\\w}", L"12 hello3", {L"hello"}},
      {L"\\z number", L"{\\z}", L"ab 4096 c", {L"4096"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchGroups(c.pattern, c.text), c.expected) << c.name;
  }
}

TEST(HeaderPatterns, GroupingQuotingAndLiterals) {
  const Case cases[] = {
      {L"parentheses do not capture", L"(ab)+{c}", L"ababc", {L"c"}},
      {L"alternatives", L"{cat|dog}", L"a dog and a CAT", {L"dog", L"CAT"}},
      {L"lazy repetition stops early", L"<{.+?}>", L"<a><b>", {L"a", L"b"}},
      {L"greedy repetition runs on", L"<{.+}>", L"<a><b>", {L"a><b"}},
      {L"dot crosses line ends", L"a{.}b", L"a\nb", {L"\n"}},
      {L"quoted brace is literal", L"\\{{\\w}\\}", L"{name}", {L"name"}},
      {L"quoted dot is literal", L"{a\\.b}", L"axb a.b", {L"a.b"}},
      {L"quoted other letter is that letter", L"{\\xy}", L"xy", {L"xy"}},
      {L"caret and dollar are literal", L"{^\\z$}", L"^12$", {L"^12$"}},
      {L"a literal line feed matches one", L"a\n{b}", L"a\nb", {L"b"}},
      {L"negated class", L"{[^;]+}", L"k=v;", {L"k=v"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchGroups(c.pattern, c.text), c.expected) << c.name;
  }
}

TEST(HeaderPatterns, DegenerateInputGivesNothingAndEndsTheSearch) {
  EXPECT_TRUE(MatchGroups(L"", L"abc").empty());
  EXPECT_TRUE(MatchGroups(L"{a}", L"").empty());
  EXPECT_TRUE(MatchGroups(L"{a", L"abc").empty()) << "unbalanced group";
  EXPECT_TRUE(MatchGroups(L"abc", L"abc").empty()) << "no group to take";
  // Empty matches everywhere: the search must still move on and end.
  EXPECT_EQ(MatchGroups(L"{x*}", L"abc"), (Values{L""}));
  EXPECT_EQ(MatchGroups(L"{b*}", L"abbcb"), (Values{L"", L"bb", L"b"}));
}

// A run longer than the engine can recurse through must be refused, not
// crash the worker that reads the headers; a literal search is unbounded.
TEST(HeaderPatterns, LongRunsAreRefusedOnAWorkerThreadWithoutCrashing) {
  const std::wstring longLine = L"Set-Cookie: " + std::wstring(200000, L'x') + L"\r\n";
  const std::wstring fitting = L"Set-Cookie: " + std::wstring(kMaxRepeatedPatternText - 20, L'y') + L"\r\n";
  const std::wstring page = std::wstring(300000, L'p') + L"<html>";
  Values refused, accepted, found;
  std::thread worker([&] {
    refused = MatchGroups(kSetCookie, longLine);
    accepted = MatchGroups(kSetCookie, fitting);
    found = MatchGroups(L"{<html>}", page);
  });
  worker.join();
  EXPECT_TRUE(refused.empty());
  ASSERT_EQ(accepted.size(), 1u);
  EXPECT_EQ(accepted[0].size(), kMaxRepeatedPatternText - 20);
  EXPECT_EQ(found, (Values{L"<html>"}));
}

}  // namespace

namespace {

TEST(ResponseHeaderValues, TakesTheFirstValuesAndJoinsTheCookies) {
  const ResponseHeaderValues values = ExtractResponseHeaderValues(kHeaders);
  EXPECT_EQ(values.charset, L"utf-8");
  EXPECT_EQ(values.contentLength, 1234u);
  EXPECT_EQ(values.location, L"https://cdn.example/pkg/0123456789abcdef0123456789abcdef/setup.exe\r");
  EXPECT_EQ(values.cookies, L"a=1; path=/; b=2;");
}

TEST(ResponseHeaderValues, MissingOddAndOversizedHeaders) {
  struct LengthCase {
    const wchar_t* headers;
    std::uint32_t length;
  } lengths[] = {
      {L"HTTP/1.1 200 OK\r\n\r\n", 0},
      {L"HTTP/1.1 200 OK\r\nContent-Length: 4294967295\r\n\r\n", 4294967295u},
      {L"HTTP/1.1 200 OK\r\nContent-Length: 4294967296\r\n\r\n", 0},  // too big is no length, not a wrapped one
      {L"HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", 0},
  };
  for (const LengthCase& c : lengths) {
    EXPECT_EQ(ExtractResponseHeaderValues(c.headers).contentLength, c.length) << c.headers;
  }

  EXPECT_EQ(ExtractResponseHeaderValues(L"HTTP/1.1 200 OK\r\n\r\n").cookies, L"") << "no cookie is not \";\"";
  EXPECT_EQ(ExtractResponseHeaderValues(L"HTTP/1.1 200 OK\r\nSet-Cookie: k=v;\r\n\r\n").cookies, L"k=v;");

  // A huge header line is skipped; the lines around it still count.
  const std::wstring huge = L"HTTP/1.1 200 OK\r\nSet-Cookie: " + std::wstring(100000, L'z') +
                            L"\r\nContent-Length: 77\r\nSet-Cookie: s=1\r\n\r\n";
  std::thread worker([&] {
    const ResponseHeaderValues values = ExtractResponseHeaderValues(huge);
    EXPECT_EQ(values.contentLength, 77u);
    EXPECT_EQ(values.cookies, L"s=1;");
  });
  worker.join();
}

}  // namespace
