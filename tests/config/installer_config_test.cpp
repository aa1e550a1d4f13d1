#include "config/installer_config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "platform/files.h"
#include "platform/paths.h"
#include "utils/probes.h"
#include "utils/windows_version.h"

namespace {

std::wstring RouteHere() {
  return Utils::GetWindowsVersion().find(L"XP") != std::wstring::npos ? L"download_silent_xp"
                                                                      : L"download_silent";
}

// Writes `content` (UTF-8) as a configuration file in a fresh folder.
std::wstring WriteIni(const std::string& content) {
  std::wstring folder = platform::JoinPath(platform::TempPath(), L"tw-config-" + Utils::CreateGuidString());
  EXPECT_TRUE(platform::CreateFolder(folder));
  std::wstring path = platform::JoinPath(folder, kInstallerConfigFileName);
  std::FILE* f = platform::OpenFile(path, "wb");
  EXPECT_NE(f, nullptr);
  if (f) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  return path;
}

void RemoveIni(const std::wstring& path) {
  platform::DeleteFileAt(path);
  platform::RemoveEmptyFolder(platform::RemoveFileSpec(path));
}

struct Expect {
  std::wstring url = kDefaultDownloadUrl;
  int type = 1;
  bool checkNet = true;
  bool sensors = true;
  std::wstring suffix = L".downloader";
  std::wstring version;
  double scale = 0.7;
  std::wstring instCmd;
};

TEST(InstallerConfigTest, DefaultsWithoutAFile) {
  CInstallerConfig config;
  config.LoadInstallerConfigFrom(
      platform::JoinPath(platform::JoinPath(platform::TempPath(), L"tw-no-such-folder"), L"none.ini"));
  EXPECT_EQ(config.DownloadUrl, kDefaultDownloadUrl);
  EXPECT_EQ(config.DownloadType, 1);
  EXPECT_FALSE(config.IsCheckNet);
  EXPECT_TRUE(config.IsEnableAppSensors);
  EXPECT_EQ(config.DownloadScale, 0.7);
  EXPECT_EQ(config.DlAppNameSuffix, L".downloader");
  EXPECT_TRUE(config.m_DlAppVersion.empty());
  EXPECT_TRUE(config.InstCmd.empty());
  EXPECT_TRUE(config.IsGetRealUrl);
  EXPECT_EQ(config.LanguageIndex, -1);
  EXPECT_FALSE(config.InsNew);
}

TEST(InstallerConfigTest, ProcessWideRecordIsFilledBeforeMain) {
  std::wstring nextToUs =
      platform::JoinPath(platform::RemoveFileSpec(platform::ModulePath()), kInstallerConfigFileName);
  if (platform::FileExists(nextToUs)) GTEST_SKIP() << "a configuration file sits next to the test";
  EXPECT_EQ(Config().DownloadUrl, kDefaultDownloadUrl);
  EXPECT_FALSE(Config().IsCheckNet);
}

TEST(InstallerConfigTest, FileValues) {
  std::string long300(300, 'c');
  struct Case {
    const char* what;
    std::string ini;
    Expect expect;
  } cases[] = {
      {"empty section", "[Install]\r\n", {}},
      {"other section only", "[Other]\r\nDownloadType=3\r\nIsCheckNet=false\r\n", {}},
      {"capital True is false", "[Install]\r\nIsCheckNet=True\r\nIsEnableAppSensors=TRUE\r\n",
       [] { Expect e; e.checkNet = false; e.sensors = false; return e; }()},
      {"empty scale is 0", "[Install]\r\nDownloadScale=\r\n", [] { Expect e; e.scale = 0.0; return e; }()},
      {"letters in scale are 0", "[Install]\r\nDownloadScale=abc\r\n", [] { Expect e; e.scale = 0.0; return e; }()},
      {"scale with trailing text", "[Install]\r\nDownloadScale=0.5x\r\n", [] { Expect e; e.scale = 0.5; return e; }()},
      {"overflowing scale keeps 0.7", "[Install]\r\nDownloadScale=1e999\r\n", {}},
      {"letters in type are 0", "[Install]\r\nDownloadType=abc\r\n", [] { Expect e; e.type = 0; return e; }()},
      {"empty url", "[Install]\r\nDownloadUrl=\r\n", [] { Expect e; e.url = L""; return e; }()},
      {"route twice", "[Install]\r\nDownloadUrl=http://h/${ROUTE}/a/${ROUTE}\r\n",
       [] { Expect e; e.url = L"http://h/" + RouteHere() + L"/a/" + RouteHere(); return e; }()},
      {"300 characters are cut to 259", "[Install]\r\nInstCmd=" + long300 + "\r\n",
       [] { Expect e; e.instCmd = std::wstring(259, L'c'); return e; }()},
      {"every key",
       "[Install]\r\nDownloadUrl=https://d.example/p\r\nDownloadType=3\r\nIsCheckNet=false\r\n"
       "IsEnableAppSensors=true\r\nDlAppNameSuffix=.dl\r\nm_DlAppVersion=2.1\r\nDownloadScale=0.25\r\n"
       "InstCmd=-a -b\r\n",
       [] {
         Expect e;
         e.url = L"https://d.example/p"; e.type = 3; e.checkNet = false; e.suffix = L".dl";
         e.version = L"2.1"; e.scale = 0.25; e.instCmd = L"-a -b";
         return e;
       }()},
  };
  for (const Case& c : cases) {
    std::wstring path = WriteIni(c.ini);
    CInstallerConfig config;
    config.LoadInstallerConfigFrom(path);
    RemoveIni(path);
    EXPECT_EQ(config.DownloadUrl, c.expect.url) << c.what;
    EXPECT_EQ(config.DownloadType, c.expect.type) << c.what;
    EXPECT_EQ(config.IsCheckNet, c.expect.checkNet) << c.what;
    EXPECT_EQ(config.IsEnableAppSensors, c.expect.sensors) << c.what;
    EXPECT_EQ(config.DlAppNameSuffix, c.expect.suffix) << c.what;
    EXPECT_EQ(config.m_DlAppVersion, c.expect.version) << c.what;
    EXPECT_EQ(config.DownloadScale, c.expect.scale) << c.what;
    EXPECT_EQ(config.InstCmd, c.expect.instCmd) << c.what;
  }
}

TEST(InstallerConfigTest, ExpandRouteByVersionLabel) {
  struct Case {
    const wchar_t* address;
    const wchar_t* label;
    const wchar_t* expanded;
  } cases[] = {
      {L"http://h/s/${ROUTE}", L"XP", L"http://h/s/download_silent_xp"},
      {L"http://h/s/${ROUTE}", L"XP-", L"http://h/s/download_silent_xp"},
      {L"http://h/s/${ROUTE}", L"XP+", L"http://h/s/download_silent_xp"},
      {L"http://h/s/${ROUTE}", L"10", L"http://h/s/download_silent"},
      {L"http://h/s/${ROUTE}", L"Server 2003 R2", L"http://h/s/download_silent"},
      {L"http://h/s/${ROUTE}", L"7.0.1", L"http://h/s/download_silent"},
      {L"${ROUTE}${ROUTE}?r=${ROUTE}", L"8.1", L"download_silentdownload_silent?r=download_silent"},
      {L"http://h/s/${ROUTE", L"XP", L"http://h/s/${ROUTE"},
      {L"http://h/software/654", L"XP", L"http://h/software/654"},
      {L"", L"10", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CInstallerConfig::ExpandRoute(c.address, c.label), c.expanded) << c.address << " " << c.label;
  }
  EXPECT_EQ(CInstallerConfig::ExpandRoute(L"http://h/${ROUTE}"), L"http://h/" + RouteHere());
}

}  // namespace
