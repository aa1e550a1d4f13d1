// Install records in the real per-user store (the registry under Wine, the
// XDG-redirected file store natively), the override switch in real
// "set.ini" files, and the analytics identity file under a redirected
// APPDATA.
#include <gtest/gtest.h>

#include <cwctype>
#include <regex>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "records/install_info.h"
#include "records/install_records.h"
#include "records/install_result.h"
#include "test_support.h"
#include "utils/events.h"

namespace {

class RecordsTest : public testing::Test {
 protected:
  void SetUp() override {
    work_ = testsupport::MakeTempFolder(L"records");
    testsupport::SetEnv("XDG_CONFIG_HOME", platform::JoinPath(work_, L"config"));
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
  }
  void TearDown() override {
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
    testsupport::RemoveTree(work_);
  }
  std::wstring Folder(const std::wstring& name) {
    std::wstring f = platform::JoinPath(work_, name);
    platform::CreateFolder(f);
    return f;
  }
  std::wstring work_;
};

TEST_F(RecordsTest, ReadingFindsNothingOnACleanMachine) {
  RegisteredInstall found = ReadInstallRecords();
  EXPECT_EQ(found.installPath, L"");
  EXPECT_EQ(found.uninstEp, L"");
}

TEST_F(RecordsTest, EntryPointIsDerivedWhenOnlyTheFolderIsRecorded) {
  ASSERT_TRUE(WriteInstallValue(kInstallPathValue, L"C:\\Old Place"));
  RegisteredInstall found = ReadInstallRecords();
  EXPECT_EQ(found.installPath, L"C:\\Old Place");
  EXPECT_EQ(found.uninstEp, DefaultUninstallEntryPoint(L"C:\\Old Place"));

  ASSERT_TRUE(WriteInstallValue(kUninstallEpValue, L"D:\\u\\x.ep"));
  EXPECT_EQ(ReadInstallRecords().uninstEp, L"D:\\u\\x.ep");
}

TEST_F(RecordsTest, WritingRecordsTheEntryPointOnlyWhenItsFileExists) {
  std::wstring folder = Folder(L"Tarnwick");
  InstallResult result;
  result.installDir = folder;
  WriteInstallRecords(&result);
  EXPECT_EQ(result.uninstEp, DefaultUninstallEntryPoint(folder));
  std::wstring value;
  EXPECT_TRUE(ReadInstallValue(kInstallPathValue, &value));
  EXPECT_EQ(value, folder);
  EXPECT_FALSE(ReadInstallValue(kUninstallEpValue, &value));

  // An older entry point stays when the new one does not exist ...
  ASSERT_TRUE(WriteInstallValue(kUninstallEpValue, L"older"));
  InstallResult again;
  again.installDir = folder;
  WriteInstallRecords(&again);
  ASSERT_TRUE(ReadInstallValue(kUninstallEpValue, &value));
  EXPECT_EQ(value, L"older");

  // ... and is replaced once the package left its file.
  testsupport::WriteFile(DefaultUninstallEntryPoint(folder), "ep");
  InstallResult third;
  third.installDir = folder;
  WriteInstallRecords(&third);
  ASSERT_TRUE(ReadInstallValue(kUninstallEpValue, &value));
  EXPECT_EQ(value, DefaultUninstallEntryPoint(folder));
}

TEST_F(RecordsTest, OverrideIsDisabledOnlyByExactFalseInTheRegisteredFolder) {
  std::wstring registered = Folder(L"Registered");
  std::wstring other = Folder(L"Other");
  struct Case {
    const char* content;  // set.ini, or nullptr for none
    bool disabled;
  };
  const Case cases[] = {
      {"[Uninstall]\r\nIsOverride=false\r\n", true},
      {"[Uninstall]\r\nIsOverride=False\r\n", false},
      {"[Uninstall]\r\nIsOverride=true\r\n", false},
      {"[Uninstall]\r\nIsOverride=\r\n", false},
      {"[Install]\r\nIsOverride=false\r\n", false},
      {nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "no set.ini");
    std::wstring ini = platform::JoinPath(registered, L"set.ini");
    platform::DeleteFileAt(ini);
    if (c.content) testsupport::WriteFile(ini, c.content);
    EXPECT_EQ(IsOverrideDisabled(registered, registered), c.disabled);
    EXPECT_EQ(IsOverrideDisabled(registered, platform::JoinPath(registered, L"")), c.disabled);
  }
  testsupport::WriteFile(platform::JoinPath(other, L"set.ini"), "[Uninstall]\r\nIsOverride=false\r\n");
  EXPECT_FALSE(IsOverrideDisabled(registered, other));
  EXPECT_FALSE(IsOverrideDisabled(L"", other));
}

TEST(InstallResultTest, EventsFillTheFieldsAndOthersAreIgnored) {
  InstallResult r;
  r.installDir = L"chosen";
  EXPECT_EQ(r.topShowDelayMs, 3000u);
  EXPECT_EQ(r.finishCloseDelayMs, 0xFFFFFFFFu);
  EXPECT_EQ(r.startupStyle, NonStartup);

  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_INST_PATH, 0.0, L"reported\r"));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_EXE_PATH, 0.0, L"a.exe"));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_EXE_PATH, 0.0, L"b.exe"));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_UNINST_EP, 0.0, L"u.ep"));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_START_URL, 0.0, L"https://x"));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_STARTUP_STYLE, 2.0, L""));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_TOP_SHOW_DETENTION, 0.0, L""));
  EXPECT_TRUE(ApplyInstallEvent(&r, IST_CODE_FINISH_CLOSE_DETENTION, 4294967295.0, L""));
  EXPECT_FALSE(ApplyInstallEvent(&r, IST_CODE_UNINST_EXE, 0.0, L"ignored"));
  EXPECT_FALSE(ApplyInstallEvent(&r, IST_CODE_MESSAGE, 0.0, L"ignored"));
  EXPECT_FALSE(ApplyInstallEvent(&r, IST_CODE_PROGRESS, 0.5, L""));

  EXPECT_EQ(r.installDir, L"reported\r");  // verbatim
  EXPECT_EQ(r.exePath, L"b.exe");
  EXPECT_EQ(r.uninstEp, L"u.ep");
  EXPECT_EQ(r.startUrl, L"https://x");
  EXPECT_EQ(r.startupStyle, UserStartup);
  EXPECT_EQ(r.topShowDelayMs, 0u);
  EXPECT_EQ(r.finishCloseDelayMs, 0xFFFFFFFFu);
}

class InstallInfoTest : public RecordsTest {
 protected:
  void SetUp() override {
    RecordsTest::SetUp();
    appData_ = Folder(L"AppData");
    testsupport::SetEnv("APPDATA", appData_);
    installDir_ = Folder(L"Product");
    settings_ = platform::JoinPath(installDir_, L"set.ini");
  }
  std::wstring Key(const std::wstring& section, const std::wstring& key) {
    return platform::ReadProfileString(settings_, section, key, L"<missing>");
  }
  std::wstring appData_, installDir_, settings_;
};

bool IsGuidText(const std::wstring& s) {
  if (s.size() != 32) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    wchar_t c = s[i];
    bool lowerField = i >= 12 && i < 16;
    bool ok = std::iswdigit(c) || (lowerField ? (c >= L'a' && c <= L'f') : (c >= L'A' && c <= L'F'));
    if (!ok) return false;
  }
  return true;
}

TEST_F(InstallInfoTest, WritesTheInstallKeysAndTheTimeStamp) {
  testsupport::WriteFile(settings_, "[Uninstall]\r\nIsOverride=false\r\n");
  WriteInstallInfo(installDir_);
  std::wstring firstId = Key(L"Install", L"DeviceID");
  WriteInstallInfo(installDir_);

  EXPECT_EQ(Key(L"Install", L"APPStore"), platform::FileNameOf(platform::ModulePath()));
  EXPECT_EQ(Key(L"Install", L"AppName"), L"tarnwick");
  std::wstring id = Key(L"Install", L"DeviceID");
  EXPECT_TRUE(IsGuidText(id)) << testsupport::Utf8(id);
  EXPECT_NE(id, firstId);
  EXPECT_EQ(Key(L"Uninstall", L"IsOverride"), L"false");  // left alone

  std::wstring analytics = platform::JoinPath(
      platform::JoinPath(platform::JoinPath(appData_, L"BriselData"), L"Tarnwick"), L"BriselSensorsAnalytics.ini");
  EXPECT_EQ(Key(L"Install", L"BriselSensorsAnalyticsIni"), analytics);
  std::wstring stamp = platform::ReadProfileString(analytics, L"Init", L"UpdateTime", L"");
  EXPECT_TRUE(std::regex_match(testsupport::Utf8(stamp), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
      << testsupport::Utf8(stamp);
}

TEST_F(InstallInfoTest, UncreatableAnalyticsFolderSkipsOnlyTheAnalyticsWrites) {
  std::wstring blocker = platform::JoinPath(work_, L"not-a-folder");
  testsupport::WriteFile(blocker, "file in the way");
  testsupport::SetEnv("APPDATA", blocker);
  WriteInstallInfo(installDir_);
  EXPECT_EQ(Key(L"Install", L"AppName"), L"tarnwick");
  EXPECT_EQ(Key(L"Install", L"BriselSensorsAnalyticsIni"), L"<missing>");
}

TEST_F(InstallInfoTest, WithoutAppDataTheAnalyticsFileGoesToThePublicDocuments) {
  std::optional<std::wstring> documents = platform::GetSpecialFolder(platform::SpecialFolder::kCommonDocuments);
  ASSERT_TRUE(documents.has_value());
  std::wstring expected = platform::JoinPath(
      platform::JoinPath(platform::JoinPath(*documents, L"BriselData"), L"Tarnwick"), L"BriselSensorsAnalytics.ini");
  bool existed = platform::FileExists(expected);
  for (bool setButEmpty : {false, true}) {
    SCOPED_TRACE(setButEmpty ? "APPDATA empty" : "APPDATA unset");
    testsupport::SetEnv("APPDATA", L"");
    if (setButEmpty) testsupport::SetEmptyEnv("APPDATA");
    platform::DeleteFileAt(settings_);
    WriteInstallInfo(installDir_);
    EXPECT_EQ(Key(L"Install", L"BriselSensorsAnalyticsIni"), expected);
    EXPECT_TRUE(platform::FileExists(expected));
  }
  if (!existed) platform::DeleteFileAt(expected);
}

TEST(InstallInfoFormat, UpdateTimePadsEveryField) {
  platform::LocalTime t;
  t.year = 2024; t.month = 11; t.day = 8; t.hour = 6; t.minute = 0; t.second = 9;
  EXPECT_EQ(FormatUpdateTime(t), L"2024-11-08 06:00:09");
}

}  // namespace
