// Language texts from a test skin's "language.json" put into a text table:
// resolution of the index, the entries that are registered or skipped, files
// that are broken or too big, the installed language from config.ini, and
// applying a language to a window (texts and fitted widths).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/installer_config.h"
#include "config/language.h"
#include "frame_test_support.h"
#include "ui/frame/skin_frame.h"
#include "ui/language/window_language.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/text_table.h"
#include "ui_test_support.h"

namespace {

using ui::test::Wide;

std::unique_ptr<ui::ArchiveSkinResources> Skin(const char* path) {
  auto skin = ui::ArchiveSkinResources::FromBytes(ui::test::ReadBytes(path));
  EXPECT_TRUE(skin) << path;
  return skin;
}

TEST(LanguageTexts, IndexAndCodeResolution) {
  auto skin = Skin(TW_LANG_SKIN_GOOD);
  struct Case {
    int index;
    const wchar_t* code;
    int resolved;
    const wchar_t* text1;
  };
  const Case cases[] = {
      {5, L"", 5, L"Sprache"},        {99, L"", 0, L"Language"},   {-1, L"", 0, L"Language"},
      {0, L"ja-JP", 9, L"言語"},       {3, L"xx-XX", 3, nullptr},    {0, L"JA-jp", 0, L"Language"},
      {12, L"es-ES", 7, L"Idioma"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    ui::TextTable texts;
    EXPECT_EQ(LoadLanguageTexts(skin.get(), texts, c.index, c.code), c.resolved);
    const std::wstring* text = texts.Find(L"1");
    ASSERT_TRUE(text);
    // "id-ID" (3) has no member anywhere: every text is empty.
    EXPECT_EQ(*text, c.text1 ? c.text1 : L"");
  }
}

TEST(LanguageTexts, EntriesThatAreRegisteredOrSkipped) {
  auto skin = Skin(TW_LANG_SKIN_GOOD);
  ui::TextTable texts;
  texts.Set(4, L"kept");
  texts.Set(5, L"kept");
  ASSERT_EQ(LoadLanguageTexts(skin.get(), texts, 0, L""), 0);
  EXPECT_EQ(*texts.Find(L"2"), L"Install path");
  EXPECT_EQ(*texts.Find(L"4"), L"kept");  // "id" given as a string: skipped
  EXPECT_EQ(*texts.Find(L"5"), L"kept");  // the text is an object: skipped
  EXPECT_EQ(*texts.Find(L"0"), L"no id means 0");
  EXPECT_EQ(*texts.Find(L"6"), L"Six");

  ASSERT_EQ(LoadLanguageTexts(skin.get(), texts, 9, L""), 9);
  EXPECT_EQ(*texts.Find(L"3"), L"");  // no "ja-JP" member: an empty text
  EXPECT_EQ(*texts.Find(L"2"), L"インストール先");
  ASSERT_EQ(LoadLanguageTexts(skin.get(), texts, 5, L""), 5);
  EXPECT_EQ(*texts.Find(L"5"), L"Fünf");
  EXPECT_EQ(*texts.Find(L"3"), L"Zurück");
}

TEST(LanguageTexts, UnusableFilesRegisterNothing) {
  struct Case {
    const char* archive;
    int resolved;
  };
  // Broken JSON still resolves the index; a file over 4 MiB and a skin
  // without the file resolve to 0.
  for (const Case& c : {Case{TW_LANG_SKIN_BAD, 5}, Case{TW_LANG_SKIN_BIG, 0}, Case{TW_SKIN_ARCHIVE_PATH, 0}}) {
    SCOPED_TRACE(c.archive);
    auto skin = Skin(c.archive);
    ui::TextTable texts;
    EXPECT_EQ(LoadLanguageTexts(skin.get(), texts, 5, L""), c.resolved);
    EXPECT_TRUE(texts.empty());
  }
  ui::TextTable texts;
  EXPECT_EQ(LoadLanguageTexts(nullptr, texts, 5, L""), 0);
}

class LanguageWindowTest : public ui::test::HeadlessSkinTest {
 protected:
  void SetUp() override {
    HeadlessSkinTest::SetUp();
    ui::SkinSystem::SetArchiveFile(Wide(TW_LANG_SKIN_GOOD));
    ui::TextTable::Shared().Clear();
    ASSERT_TRUE(window_.Create(nullptr, L"Tarnwick", ui::kStyleOverlappedVisible, 0));
    folder_ = std::filesystem::temp_directory_path() / ("tw-lang-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ui::TextTable::Shared().Clear();
    Config().LanguageIndex = -1;
    HeadlessSkinTest::TearDown();
  }
  std::wstring Drawn(const wchar_t* name) {
    ui::CControl* c = window_.FindControl(name);
    return c ? window_.Tree().ResolveText(c->GetText()) : L"(missing)";
  }
  void WriteConfig(const std::string& text) {
    std::ofstream(folder_ / "config.ini", std::ios::binary) << text;
  }

  ui::CSkinFrame window_{ui::MakeSkinSource(L"LangWnd.xml")};
  std::filesystem::path folder_;
};

TEST_F(LanguageWindowTest, ApplyingALanguageRedrawsTextsAndFitsWidths) {
  EXPECT_EQ(Drawn(L"lbLanguage"), L"%{1}");  // no texts yet: tokens stay
  EXPECT_EQ(ApplyLanguage(window_.Tree(), 5), 5);
  EXPECT_EQ(Config().LanguageIndex, 5);
  EXPECT_EQ(Drawn(L"lbLanguage"), L"Sprache");
  EXPECT_EQ(Drawn(L"plain"), L"Sechs %{99}");
  // Headless text width: ASCII half the font size, others the full size.
  EXPECT_EQ(window_.FindControl(L"lbLanguage")->GetFixedWidth(), 7 * 7 + 4);
  EXPECT_EQ(window_.FindControl(L"lbInstallPath")->GetFixedWidth(), 17 * 10);
  EXPECT_EQ(window_.FindControl(L"backBtn")->GetFixedWidth(), 5 * 7 + 14 + 6);
  window_.Tree().LayoutIfNeeded();
  EXPECT_EQ(window_.FindControl(L"lbLanguage")->GetPos().Width(), 53);

  EXPECT_EQ(ApplyLanguage(window_.Tree(), 99), 0);
  EXPECT_EQ(Config().LanguageIndex, 0);
  EXPECT_EQ(Drawn(L"backBtn"), L"Back");
  EXPECT_EQ(window_.FindControl(L"backBtn")->GetFixedWidth(), 4 * 7 + 6);
}

TEST_F(LanguageWindowTest, InstalledLanguageComesFromConfigIni) {
  WriteConfig("[Install]\r\nLanguage=ja-JP\r\n");
  EXPECT_EQ(ReadInstalledLanguage(folder_.wstring(), &window_.Tree()), 9);
  EXPECT_EQ(Drawn(L"lbInstallPath"), L"インストール先");
  EXPECT_EQ(Config().LanguageIndex, -1);  // reading does not apply

  WriteConfig("[Install]\r\nLanguage=xx-YY\r\n");
  EXPECT_EQ(ReadInstalledLanguage(folder_.wstring(), nullptr), 0);
  WriteConfig("[Install]\r\nOther=1\r\n");  // a missing key reads "en-US"
  EXPECT_EQ(ReadInstalledLanguage(folder_.wstring(), nullptr), 0);
  EXPECT_EQ(Drawn(L"lbLanguage"), L"Language");
  std::filesystem::remove(folder_ / "config.ini");
  EXPECT_EQ(ReadInstalledLanguage(folder_.wstring(), nullptr), 0);
}

TEST_F(LanguageWindowTest, FitControlWidthOfAMissingControl) {
  EXPECT_FALSE(FitControlWidth(window_.Tree(), L"nothing"));
}

}  // namespace
