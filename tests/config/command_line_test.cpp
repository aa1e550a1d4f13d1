#include "config/command_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "config/installer_config.h"
#include "utils/windows_version.h"

namespace {

TEST(CommandLineTest, ArgumentsBecomeEntries) {
  CommandLineOptions options = ParseArguments({
      L"C:\\Program Files\\setup.exe", L"-downloadtype=3", L"-downloadtype=2", L"-DownloadType=5",
      L"-downloadurl=http://h/p?a=1&b==2", L"-ischecknet", L"stray", L"-x=", L"3", L"a=b"});
  std::map<std::wstring, std::wstring> expected = {
      {L"C:\\Program Files\\setup.exe", L""}, {L"-downloadtype", L"3"}, {L"-DownloadType", L"5"},
      {L"-downloadurl", L"http://h/p?a=1&b==2"}, {L"-ischecknet", L""}, {L"stray", L""},
      {L"-x", L""}, {L"3", L""}, {L"a=b", L""}};
  EXPECT_EQ(options.Entries(), expected);
}

TEST(CommandLineTest, Accessors) {
  CommandLineOptions options = ParseArguments({L"-n=  -12x", L"-b=true", L"-B=True", L"-d=0.5", L"-e=", L"-big=4294967296"});
  EXPECT_TRUE(options.Contains(L"-e"));
  EXPECT_FALSE(options.Contains(L"-E"));
  EXPECT_EQ(options.GetString(L"-n"), L"  -12x");
  EXPECT_EQ(options.GetString(L"-missing"), L"");
  EXPECT_EQ(options.GetInt(L"-n"), -12);
  EXPECT_EQ(options.GetInt(L"-e", 7), 0);
  EXPECT_EQ(options.GetInt(L"-missing"), 0);
  EXPECT_EQ(options.GetInt(L"-big", 7), 7);
  EXPECT_TRUE(options.GetBool(L"-b"));
  EXPECT_FALSE(options.GetBool(L"-B"));
  EXPECT_FALSE(options.GetBool(L"-e"));
  EXPECT_FALSE(options.GetBool(L"-missing"));
  EXPECT_EQ(options.GetDouble(L"-d", 9.0), 0.5);
  EXPECT_EQ(options.GetDouble(L"-e", 9.0), 9.0);
  EXPECT_EQ(options.GetDouble(L"-missing", 9.0), 9.0);
}

TEST(CommandLineTest, ApplyOverridesTheSettings) {
  std::wstring route =
      Utils::GetWindowsVersion().find(L"XP") != std::wstring::npos ? L"download_silent_xp" : L"download_silent";
  struct Case {
    const char* what;
    std::vector<std::wstring> args;
    std::function<void(const CInstallerConfig&)> check;
  } cases[] = {
      {"nothing given", {L"setup.exe"},
       [](const CInstallerConfig& c) {
         EXPECT_EQ(c.DownloadUrl, kDefaultDownloadUrl);
         EXPECT_EQ(c.DownloadType, 1);
         EXPECT_TRUE(c.IsCheckNet);  // as the file below made it
         EXPECT_EQ(c.DownloadScale, 0.7);
         EXPECT_EQ(c.LanguageIndex, -1);
       }},
      {"first occurrence wins", {L"-downloadtype=3", L"-downloadtype=2"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadType, 3); }},
      {"names are case-sensitive", {L"-DownloadType=3", L"-downloadType=3"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadType, 1); }},
      {"value as separate argument", {L"-downloadtype", L"3"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadType, 0); }},
      {"type beyond 32 bits", {L"-downloadtype=99999999999"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadType, 1); }},
      {"negative type", {L"-downloadtype=-5"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadType, -5); }},
      {"ischecknet without value", {L"-ischecknet"},
       [](const CInstallerConfig& c) { EXPECT_FALSE(c.IsCheckNet); }},
      {"ischecknet TRUE", {L"-ischecknet=TRUE"},
       [](const CInstallerConfig& c) { EXPECT_FALSE(c.IsCheckNet); }},
      {"empty url", {L"-downloadurl"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadUrl, L""); }},
      {"url with query", {L"-downloadurl=https://h/p?a=1&b=2"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadUrl, L"https://h/p?a=1&b=2"); }},
      {"url with route", {L"-downloadurl=https://h/${ROUTE}?r=${ROUTE}"},
       [&route](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadUrl, L"https://h/" + route + L"?r=" + route); }},
      {"scale 0.5", {L"-downloadscale=0.5"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadScale, 0.5); }},
      {"scale letters", {L"-downloadscale=abc"},
       [](const CInstallerConfig& c) { EXPECT_TRUE(std::isnan(c.DownloadScale)); }},
      {"scale empty", {L"-downloadscale"},
       [](const CInstallerConfig& c) { EXPECT_TRUE(std::isnan(c.DownloadScale)); }},
      {"scale overflowing", {L"-downloadscale=1e999"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.DownloadScale, 0.7); }},
      {"language letters", {L"-language=abc"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.LanguageIndex, 0); }},
      {"language 2", {L"-language=2"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.LanguageIndex, 2); }},
      {"language beyond 32 bits", {L"-language=-99999999999"},
       [](const CInstallerConfig& c) { EXPECT_EQ(c.LanguageIndex, -1); }},
      {"texts and flags",
       {L"-dlappnamesuffix=.x", L"-dlappversion=1.2", L"-instcmd=-a b", L"-insnew=true", L"-isenableappsensors=false"},
       [](const CInstallerConfig& c) {
         EXPECT_EQ(c.DlAppNameSuffix, L".x");
         EXPECT_EQ(c.m_DlAppVersion, L"1.2");
         EXPECT_EQ(c.InstCmd, L"-a b");
         EXPECT_TRUE(c.InsNew);
         EXPECT_FALSE(c.IsEnableAppSensors);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CInstallerConfig config;
    config.IsCheckNet = true;  // as a file without the key leaves it
    ApplyCommandLine(ParseArguments(c.args), config);
    c.check(config);
  }
}

TEST(CommandLineTest, ThisProcessHasArguments) { EXPECT_FALSE(ParseCommandLine().Entries().empty()); }

}  // namespace
