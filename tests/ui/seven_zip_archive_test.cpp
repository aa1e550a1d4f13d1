#include "ui/toolkit/seven_zip_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ui/toolkit/archive_name.h"
#include "ui_test_support.h"

namespace ui {
namespace {

std::unique_ptr<SevenZipArchive> OpenFile(const char* path) {
  return SevenZipArchive::Open(test::ReadBytes(path));
}

std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(ArchiveName, CaseAndSeparatorsDoNotMatter) {
  EXPECT_TRUE(ArchiveNamesMatch(L"MainWnd.xml", L"mainWnd.xml"));
  EXPECT_TRUE(ArchiveNamesMatch(L"res/mainWnd/chDirBtn1.png", L"res\\mainWnd\\chDirBtn1.png"));
  EXPECT_TRUE(ArchiveNamesMatch(L"\\res\\a.png", L"res/a.png"));
  EXPECT_FALSE(ArchiveNamesMatch(L"res/a.png", L"res/a.pngx"));
  EXPECT_FALSE(ArchiveNamesMatch(L"resa.png", L"res/a.png"));
}

TEST(SkinArchive, HoldsSixMarkupFilesAndTheirImagesInFiveFolders) {
  auto archive = OpenFile(TW_SKIN_ARCHIVE_PATH);
  ASSERT_TRUE(archive);
  const auto& entries = archive->Entries();
  const auto files = std::count_if(entries.begin(), entries.end(), [](const auto& e) { return !e.isFolder; });
  const auto folders = std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.isFolder; });
  EXPECT_EQ(files, 69);
  EXPECT_EQ(folders, 5);
}

TEST(SkinArchive, FindsEntriesWhateverTheCaseAndSeparator) {
  auto archive = OpenFile(TW_SKIN_ARCHIVE_PATH);
  ASSERT_TRUE(archive);
  const struct {
    const wchar_t* asked;
    const char* expectedStart;
  } cases[] = {
      {L"MainWnd.xml", "<?xml"},
      {L"ExitTipWnd.xml", "<?xml"},
      {L"messagebox1wnd.XML", "<?xml"},
      {L"res/mainWnd/chDirBtn1.png", "\x89PNG"},
      {L"res\\mainWnd\\chDirBtn1.png", "\x89PNG"},
      {L"RES\\MAINWND\\INSTALLBTNANIMATE\\024.PNG", "\x89PNG"},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(archive->Extract(c.asked, &bytes)) << std::string(c.asked, c.asked + wcslen(c.asked));
    EXPECT_EQ(AsText(bytes).substr(0, 4), std::string(c.expectedStart).substr(0, 4));
  }
  EXPECT_EQ(archive->Find(L"MainWnd.xml"), archive->Find(L"mainWnd.xml"));
  EXPECT_EQ(archive->Find(L"ExitTipWnd.xml"), archive->Find(L"exitTipWnd.xml"));
}

TEST(SkinArchive, ImagesTheMarkupNamesButTheSkinLacksAreMissing) {
  auto archive = OpenFile(TW_SKIN_ARCHIVE_PATH);
  ASSERT_TRUE(archive);
  for (const wchar_t* name : {L"res\\common\\minbtn4.png", L"res\\common\\closebtn4.png",
                              L"res\\common\\closebtnM_4.png", L"res\\mainWnd\\installPrg3.png",
                              L"res\\mainWnd", L"language.json"}) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(archive->Extract(name, &bytes));
    EXPECT_TRUE(bytes.empty());
  }
}

// PNG width and height sit big-endian in the IHDR chunk.
Size PngSize(const std::vector<std::uint8_t>& png) {
  if (png.size() < 24) return {};
  auto be32 = [&](std::size_t at) {
    return static_cast<int>((png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
  };
  return {be32(16), be32(20)};
}

TEST(SkinArchive, ImagesHaveTheirRolesSizes) {
  auto archive = OpenFile(TW_SKIN_ARCHIVE_PATH);
  ASSERT_TRUE(archive);
  std::vector<std::pair<std::wstring, Size>> expected = {
      {L"res/mainWnd/bg1.png", {600, 400}},        {L"res/mainWnd/bg4.png", {600, 400}},
      {L"res/mainWnd/logo.png", {307, 60}},        {L"res/mainWnd/installBtn2.png", {234, 50}},
      {L"res/mainWnd/experienceBtn3.png", {234, 50}}, {L"res/mainWnd/backBtn1.png", {64, 30}},
      {L"res/mainWnd/chDirBtn3.png", {80, 40}},    {L"res/mainWnd/customeBtn1.png", {16, 16}},
      {L"res/mainWnd/customeBtn2.png", {16, 16}},  {L"res/mainWnd/Cb1.png", {15, 14}},
      {L"res/mainWnd/Cb2.png", {15, 14}},          {L"res/mainWnd/installDirEdit.png", {340, 36}},
      {L"res/mainWnd/installPrg1.png", {410, 8}},  {L"res/mainWnd/installPrg2.png", {305, 8}},
      {L"res/mainWnd/finished.png", {40, 40}},     {L"res/mainWnd/tipLbl.png", {120, 36}},
      {L"res/MessageBoxWnd/icoQuest.png", {40, 40}}, {L"res/MessageBoxWnd/icoNetwork.png", {40, 40}},
      {L"res/MessageBoxWnd/icoWarn.png", {40, 40}},
  };
  for (const wchar_t* stem : {L"closebtn", L"closebtnM_", L"minbtn"}) {
    for (int i = 1; i <= 3; ++i) {
      expected.push_back({std::wstring(L"res/common/") + stem + std::to_wstring(i) + L".png", {24, 24}});
    }
  }
  for (int i = 0; i < 25; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"res/mainWnd/installBtnAnimate/%03d.png", i);
    expected.push_back({name, {160, 160}});
  }
  for (const auto& [name, size] : expected) {
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(archive->Extract(name, &png)) << std::string(name.begin(), name.end());
    EXPECT_EQ(PngSize(png), size) << std::string(name.begin(), name.end());
  }
}

class FixtureArchive : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureArchive, ExtractsEveryKindOfEntry) {
  auto archive = OpenFile(GetParam());
  ASSERT_TRUE(archive);
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(archive->Extract(L"folder\\upper.txt", &bytes));
  EXPECT_EQ(AsText(bytes), "upper case name");
  ASSERT_TRUE(archive->Extract(L"README.TXT", &bytes));
  EXPECT_EQ(AsText(bytes), "plain text\n");
  ASSERT_TRUE(archive->Extract(L"empty.bin", &bytes));
  EXPECT_TRUE(bytes.empty());
  ASSERT_TRUE(archive->Extract(L"数据/名字.txt", &bytes));
  EXPECT_EQ(AsText(bytes), "wide name");
  ASSERT_TRUE(archive->Extract(L"big.bin", &bytes));
  ASSERT_EQ(bytes.size(), 320000u);
  EXPECT_EQ(AsText(bytes).substr(319984), "0123456789abcdef");
  // Back to an entry of another block (or the cached solid block).
  ASSERT_TRUE(archive->Extract(L"Folder/Upper.TXT", &bytes));
  EXPECT_EQ(AsText(bytes), "upper case name");
  EXPECT_FALSE(archive->Extract(L"Folder", &bytes));  // a folder is not a file
  EXPECT_EQ(archive->Find(L"missing.txt"), -1);
}

INSTANTIATE_TEST_SUITE_P(SolidAndBlockwise, FixtureArchive,
                         ::testing::Values(TW_TEST_ARCHIVE_SOLID, TW_TEST_ARCHIVE_BLOCKS));

TEST(SevenZipArchive, RefusesWhatIsNotAnArchive) {
  const std::vector<std::vector<std::uint8_t>> inputs = {
      {},
      {'P', 'K', 3, 4, 0, 0},
      {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C},
  };
  for (const auto& bytes : inputs) EXPECT_FALSE(SevenZipArchive::Open(bytes));

  const std::vector<std::uint8_t> whole = test::ReadBytes(TW_TEST_ARCHIVE_SOLID);
  ASSERT_GT(whole.size(), 64u);
  for (std::size_t cut : {std::size_t{32}, whole.size() / 2, whole.size() - 1}) {
    EXPECT_FALSE(SevenZipArchive::Open({whole.begin(), whole.begin() + cut})) << cut;
  }
}

TEST(SevenZipArchive, DamagedDataFailsExtractionWithoutHarm) {
  std::vector<std::uint8_t> bytes = test::ReadBytes(TW_TEST_ARCHIVE_SOLID);
  ASSERT_GT(bytes.size(), 80u);
  for (std::size_t i = 40; i < 60; ++i) bytes[i] ^= 0x5A;  // packed data follows the 32-byte header
  auto archive = SevenZipArchive::Open(bytes);
  ASSERT_TRUE(archive);  // the headers at the end are intact
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(archive->Extract(L"big.bin", &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(archive->Extract(L"big.bin", &out));  // no half-decoded block is served from the cache
}

}  // namespace
}  // namespace ui
