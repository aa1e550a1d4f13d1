// Code-page conversions: UTF-8, GBK (936) and the ANSI code page.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace {

using platform::kCodePageAnsi;
using platform::kCodePageGbk;
using platform::kCodePageUtf8;

const std::wstring kChinese = L"\x4E2D\x6587\x6D4B\x8BD5";  // 中文测试

TEST(CodePage, Utf8RoundTrip) {
  const std::string bytes = "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95";
  EXPECT_EQ(platform::ToWide(bytes, kCodePageUtf8), kChinese);
  EXPECT_EQ(platform::ToNarrow(kChinese, kCodePageUtf8), bytes);
  EXPECT_EQ(platform::ToWide("plain ascii", kCodePageUtf8), L"plain ascii");
  EXPECT_EQ(platform::ToWide("", kCodePageUtf8), L"");
}

TEST(CodePage, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(platform::ToWide("a\xFF" "b", kCodePageUtf8), L"a\xFFFD" L"b");
}

TEST(CodePage, GbkRoundTripOfChineseText) {
  const std::string gbk = "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4";
  EXPECT_EQ(platform::ToNarrow(kChinese, kCodePageGbk), gbk);
  EXPECT_EQ(platform::ToWide(gbk, kCodePageGbk), kChinese);
  EXPECT_EQ(platform::ToWide("abc", kCodePageGbk), L"abc");
}

TEST(CodePage, AnsiCodePageRoundTripsAscii) {
  const std::wstring text = L"Tarnwick Setup 1.0 (x) [y] {z}";
  EXPECT_EQ(platform::ToWide(platform::ToNarrow(text, kCodePageAnsi), kCodePageAnsi), text);
}

TEST(CodePage, UnknownCodePageGivesEmpty) {
  EXPECT_EQ(platform::ToWide("abc", 12345), L"");
  EXPECT_EQ(platform::ToNarrow(L"abc", 12345), "");
}

TEST(CodePage, CanConvertFromExactlyTheCodePagesThatDecode) {
  for (std::uint32_t codePage : {0u, 65001u, 936u}) {
    EXPECT_TRUE(platform::CanConvertFrom(codePage)) << codePage;
    EXPECT_EQ(platform::ToWide("A", codePage), L"A") << codePage;
  }
  for (std::uint32_t codePage : {12345u, 4242u, 0xFFFFFFF4u}) {
    EXPECT_FALSE(platform::CanConvertFrom(codePage)) << codePage;
    EXPECT_EQ(platform::ToWide("A", codePage), L"") << codePage;
  }
}

}  // namespace
