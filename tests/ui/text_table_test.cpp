#include "ui/toolkit/text_table.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(TextTable, ReplacesKnownTokensAndKeepsTheRest) {
  TextTable table;
  table.Set(1, L"安装");
  table.Set(L"20", L"Install");
  table.Set(3, L"%{1}");
  const struct {
    const wchar_t* text;
    const wchar_t* resolved;
  } cases[] = {
      {L"%{1}", L"安装"},
      {L"[%{20}] %{1}%{1}", L"[Install] 安装安装"},
      {L"%{2}", L"%{2}"},            // no entry: kept
      {L"%{}", L"%{}"},
      {L"%{1", L"%{1"},
      {L"%{1a}", L"%{1a}"},
      {L"100% {1}", L"100% {1}"},
      {L"%%{1}", L"%安装"},
      {L"%{3}", L"%{1}"},            // one pass: an entry's text is not searched again
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(table.Resolve(c.text), c.resolved) << c.text;
}

TEST(TextTable, LaterTextsReplaceEarlierOnesOfTheSameNumber) {
  TextTable table;
  table.Set(5, L"old");
  table.Set(L"5", L"new");
  EXPECT_EQ(table.Resolve(L"%{5}"), L"new");
  table.Clear();
  EXPECT_EQ(table.Resolve(L"%{5}"), L"%{5}");
}

}  // namespace
}  // namespace ui
