// The language table, the language file's parsing and the Windows language
// identifiers, without a window.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/language.h"

namespace {

TEST(LanguageTable, CodesInComboOrder) {
  const auto& table = LanguageTable();
  ASSERT_EQ(table.size(), 14u);
  EXPECT_EQ(table.at(0), "en-US");
  EXPECT_EQ(table.at(1), "zh-CN");
  EXPECT_EQ(table.at(7), "es-ES");
  EXPECT_EQ(table.at(13), "it-IT");
  EXPECT_EQ(LanguageCodeOf(9), "ja-JP");
  EXPECT_EQ(LanguageCodeOf(14), "en-US");
  EXPECT_EQ(LanguageCodeOf(-1), "en-US");
}

TEST(LanguageTable, Resolution) {
  struct Case {
    int index;
    const wchar_t* code;
    int resolved;
  };
  for (const Case& c : std::vector<Case>{{5, L"", 5}, {99, L"", 0}, {-1, L"", 0}, {0, L"ja-JP", 9},
                                         {3, L"xx-XX", 3}, {0, L"JA-jp", 0}, {12, L"es-ES", 7}}) {
    EXPECT_EQ(ResolveLanguage(c.index, c.code), c.resolved) << c.index;
  }
  EXPECT_FALSE(IsUsableLanguageFileSize(0));
  EXPECT_TRUE(IsUsableLanguageFileSize(1));
  EXPECT_TRUE(IsUsableLanguageFileSize(kMaxLanguageFileBytes));
  EXPECT_FALSE(IsUsableLanguageFileSize(kMaxLanguageFileBytes + 1));
}

TEST(LanguageFile, ParsedTexts) {
  using Texts = std::vector<std::pair<int, std::wstring>>;
  struct Case {
    const char* json;
    Texts texts;
  };
  for (const Case& c : std::vector<Case>{
           {R"([{"id": 1, "de-DE": "Sprache"}, {"id": 2, "en-US": "x"}])", {{1, L"Sprache"}, {2, L""}}},
           {R"([{"de-DE": "ohne Nummer"}])", {{0, L"ohne Nummer"}}},
           {R"([{"id": "4", "de-DE": "skipped"}, {"id": 5, "de-DE": {}}, 7, {"id": 6, "de-DE": null}])",
            {{6, L""}}},
           {R"([{"id": 1.5, "de-DE": "a"}, {"id": 3, "de-DE": ["a"]}, {"id": 8, "de-DE": "Fünf"}])",
            {{8, L"Fünf"}}},
           {R"({"a": {"id": 1, "de-DE": "in an object"}})", {{1, L"in an object"}}},
           {R"([{"id": 1, "de-DE": "one"}, {"id": 1, "de-DE": "again"}])", {{1, L"one"}, {1, L"again"}}},
           {R"("just text")", {}},
           {R"([{"id": 1, "de-DE": "broken")", {}},
           {"", {}}}) {
    const std::string json = c.json;
    EXPECT_EQ(ParseLanguageTexts(std::vector<std::uint8_t>(json.begin(), json.end()), "de-DE"), c.texts) << json;
  }
  const std::string invalidUtf8 = "[{\"id\": 1, \"de-DE\": \"\xff\xfe\"}]";
  const Texts texts = ParseLanguageTexts(std::vector<std::uint8_t>(invalidUtf8.begin(), invalidUtf8.end()), "de-DE");
  ASSERT_LE(texts.size(), 1u);  // the reader may refuse the bytes; it never yields garbage numbers
  if (!texts.empty()) {
    EXPECT_EQ(texts[0].first, 1);
  }
}

TEST(SystemLanguage, WindowsLanguageIdentifiers) {
  const std::pair<std::uint16_t, int> cases[] = {
      {0x0409, 0}, {0x0804, 0},  {0x0404, 2},  {0x0421, 3},  {0x041F, 4},  {0x0407, 5}, {0x040C, 6},
      {0x040A, 7}, {0x080A, 7},  {0x500A, 7},  {0x540A, 0},  {0x0416, 8},  {0x0816, 0}, {0x0411, 9},
      {0x0412, 10}, {0x0415, 11}, {0x0413, 12}, {0x0813, 12}, {0x0410, 13}, {0x0000, 0}, {0x000A, 0},
  };
  for (const auto& [id, index] : cases) EXPECT_EQ(LanguageIndexForLangId(id), index) << std::hex << id;
  const int system = GetSystemLanguageIndex();
  EXPECT_TRUE(system >= 0 && system <= 13);
}

}  // namespace
