#include "utils/text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/codepage.h"
#include "utils/number_text.h"

namespace {

TEST(TextTest, Trim) {
  struct Case {
    const wchar_t* text;
    const wchar_t* left;
    const wchar_t* right;
    const wchar_t* both;
  } cases[] = {
      {L"", L"", L"", L""},
      {L" \t\r\n", L"", L"", L""},
      {L"  State=1 \r\n", L"State=1 \r\n", L"  State=1", L"State=1"},
      {L"a b", L"a b", L"a b", L"a b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utils::TrimLeft(c.text), c.left) << c.text;
    EXPECT_EQ(Utils::TrimRight(c.text), c.right) << c.text;
    EXPECT_EQ(Utils::Trim(c.text), c.both) << c.text;
  }
}

std::wstring Expected(std::initializer_list<char32_t> codePoints) {
  std::wstring out;
  for (char32_t cp : codePoints) {
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
      out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

TEST(TextTest, Utf8ToWideDecodesValidText) {
  EXPECT_EQ(Utils::Utf8ToWide(""), L"");
  EXPECT_EQ(Utils::Utf8ToWide("abc"), L"abc");
  EXPECT_EQ(Utils::Utf8ToWide("\xE4\xB8\xAD\xE6\x96\x87"), Expected({0x4E2D, 0x6587}));
  EXPECT_EQ(Utils::Utf8ToWide("\xC2\xA9\xEF\xBF\xBF"), Expected({0xA9, 0xFFFF}));
  EXPECT_EQ(Utils::Utf8ToWide("a\xF0\x9F\x98\x80z"), Expected({L'a', 0x1F600, L'z'}));
  EXPECT_EQ(Utils::Utf8ToWide("\xF4\x8F\xBF\xBF"), Expected({0x10FFFF}));
}

TEST(TextTest, Utf8ToWideGivesEmptyForInvalidText) {
  const char* invalid[] = {
      "abc\xFF",               // never valid
      "\x80zz",                // stray continuation byte
      "\xC0\x80",              // overlong NUL
      "\xE0\x80\xAF",          // overlong
      "\xF0\x80\x80\xAF",      // overlong
      "\xED\xA0\x80",          // surrogate
      "\xF4\x90\x80\x80",      // above U+10FFFF
      "ok\xE4\xB8",            // cut off at the end
      "\xE4" "a" "\xAD",       // continuation missing
  };
  for (const char* text : invalid) EXPECT_EQ(Utils::Utf8ToWide(text), L"") << text;
}

TEST(TextTest, CodePageConversions) {
  std::wstring chinese = Expected({0x4E2D, 0x6587});
  EXPECT_EQ(Utils::ToNarrow(chinese, platform::kCodePageUtf8), "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(Utils::ToWide("\xE4\xB8\xAD\xE6\x96\x87", platform::kCodePageUtf8), chinese);
  EXPECT_EQ(Utils::ToWide("\xD6\xD0\xCE\xC4", platform::kCodePageGbk), chinese);
  EXPECT_EQ(Utils::ToWide("", platform::kCodePageUtf8), L"");
  EXPECT_EQ(Utils::ToWide("abc", 54321), L"");
  EXPECT_EQ(Utils::ToNarrow(L"abc", 54321), "");
}

TEST(NumberTextTest, LeadingInt32) {
  struct Case {
    const wchar_t* text;
    Utils::NumberParse result;
    std::int32_t value;
  } cases[] = {
      {L"3", Utils::NumberParse::kParsed, 3},
      {L"  -42abc", Utils::NumberParse::kParsed, -42},
      {L"+7", Utils::NumberParse::kParsed, 7},
      {L"2147483647", Utils::NumberParse::kParsed, 2147483647},
      {L"-2147483648", Utils::NumberParse::kParsed, INT32_MIN},
      {L"0003", Utils::NumberParse::kParsed, 3},
      {L"", Utils::NumberParse::kNoNumber, 0},
      {L"abc", Utils::NumberParse::kNoNumber, 0},
      {L"- 3", Utils::NumberParse::kNoNumber, 0},
      {L"2147483648", Utils::NumberParse::kOutOfRange, 99},
      {L"-2147483649", Utils::NumberParse::kOutOfRange, 99},
      {L"99999999999999999999999", Utils::NumberParse::kOutOfRange, 99},
  };
  for (const Case& c : cases) {
    std::int32_t value = 99;
    EXPECT_EQ(Utils::ParseLeadingInt32(c.text, &value), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(NumberTextTest, LeadingDouble) {
  struct Case {
    const wchar_t* text;
    Utils::NumberParse result;
    double value;
  } cases[] = {
      {L"0.5", Utils::NumberParse::kParsed, 0.5},
      {L"  .25x", Utils::NumberParse::kParsed, 0.25},
      {L"-1.", Utils::NumberParse::kParsed, -1.0},
      {L"5e-1", Utils::NumberParse::kParsed, 0.5},
      {L"1e", Utils::NumberParse::kParsed, 1.0},
      {L"2E+1", Utils::NumberParse::kParsed, 20.0},
      {L"0x10", Utils::NumberParse::kParsed, 0.0},
      {L"", Utils::NumberParse::kNoNumber, 0.0},
      {L".", Utils::NumberParse::kNoNumber, 0.0},
      {L"abc", Utils::NumberParse::kNoNumber, 0.0},
      {L"nan", Utils::NumberParse::kNoNumber, 0.0},
      {L"inf", Utils::NumberParse::kNoNumber, 0.0},
      {L"1e999", Utils::NumberParse::kOutOfRange, 99.0},
      {L"-1e999", Utils::NumberParse::kOutOfRange, 99.0},
      {L"1e-999", Utils::NumberParse::kOutOfRange, 99.0},
  };
  for (const Case& c : cases) {
    double value = 99.0;
    EXPECT_EQ(Utils::ParseLeadingDouble(c.text, &value), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

}  // namespace
