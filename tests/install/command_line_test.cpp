#include "install/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/process.h"

namespace install {
namespace {

TEST(PackageCommandLine, ComposesEverySwitchInOrder) {
  PackageCommandOptions o;
  o.quotedPackage = L"\"C:\\P F\\__Package_tarnwick.exe\"";
  o.adminAccount = true;
  o.elevated = false;
  o.desktopShortcut = true;
  o.quickLaunch = false;
  o.languageTag = L"zh-CN";
  o.extraCommand = L"-channel=7 -x";
  o.installFolder = L"C:\\P F";
  EXPECT_EQ(BuildPackageCommandLine(o),
            L"\"C:\\P F\\__Package_tarnwick.exe\" /S -console=show -version=1.0.0 -adminact=true "
            L"-authorizationact=false -dsc=true -ssc=false -inslang=\"zh-CN\" -channel=7 -x "
            L"-instdir=\"C:\\P F\" /D=C:\\P F");
}

TEST(PackageCommandLine, OptionalPartsAreLeftOutWhenEmpty) {
  PackageCommandOptions o;
  o.quotedPackage = L"\"p.exe\"";
  EXPECT_EQ(BuildPackageCommandLine(o),
            L"\"p.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=true "
            L"-dsc=false -ssc=false");
}

TEST(UninstallerCommandLine, QuotesTheProgramAndKeepsTheFolderLastAndBare) {
  EXPECT_EQ(BuildUninstallerCommandLine(L"C:\\Temp dir\\~BriselTemp\\Tarnwick_un_asa.exe", true, false,
                                        L"C:\\Program Files\\Tarnwick"),
            L"\"C:\\Temp dir\\~BriselTemp\\Tarnwick_un_asa.exe\" /S -adminact=true -authorizationact=false "
            L"-console=show _?=C:\\Program Files\\Tarnwick");
  EXPECT_EQ(BuildUninstallerCommandLine(L"\"u.exe\"", false, true, L""),
            L"\"u.exe\" /S -adminact=false -authorizationact=true -console=show _?=");
}

// Every quoted value must come back intact from the splitter that follows
// the CommandLineToArgvW rules, whatever the folder ends with; the bare
// folders at the end lose only their trailing separators.
struct FolderCase {
  const wchar_t* folder;
  const wchar_t* bare;  // what "/D=" and "_?=" carry
};

const FolderCase kFolderCases[] = {
    {L"C:\\Tarnwick", L"C:\\Tarnwick"},
    {L"C:\\Program Files\\Tarnwick", L"C:\\Program Files\\Tarnwick"},
    {L"C:\\Program Files\\Tarnwick\\", L"C:\\Program Files\\Tarnwick"},
    {L"C:\\a\\\\", L"C:\\a"},
    {L"D:\\软件\\天轮 测试\\", L"D:\\软件\\天轮 测试"},
    {L"C:\\", L"C:\\"},
    {L"\\\\server\\share\\dir\\", L"\\\\server\\share\\dir"},
    {L"C:\\odd \"name\\\" x\\", L"C:\\odd \"name\\\" x"},
    {L"C:\\with\ttab\\", L"C:\\with\ttab"},
};

std::vector<std::wstring> Split(const std::wstring& line) { return platform::SplitCommandLine(line); }

TEST(CommandLineQuoting, PackageFolderComesBackWhole) {
  for (const FolderCase& c : kFolderCases) {
    SCOPED_TRACE(testing::Message() << "folder " << testing::PrintToString(std::wstring(c.folder)));
    PackageCommandOptions o;
    o.quotedPackage = QuotePath(L"C:\\Temp dir\\__Package_tarnwick.exe");
    o.languageTag = L"zh\"CN\\";
    o.installFolder = c.folder;
    const std::wstring line = BuildPackageCommandLine(o);
    const std::vector<std::wstring> args = Split(line);
    ASSERT_GE(args.size(), 11u) << testing::PrintToString(line);
    EXPECT_EQ(args[0], L"C:\\Temp dir\\__Package_tarnwick.exe");
    EXPECT_EQ(args[8], L"-inslang=zh\"CN\\");
    EXPECT_EQ(args[9], std::wstring(L"-instdir=") + c.folder);
    const std::wstring tail = std::wstring(L" /D=") + c.bare;
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
  }
}

TEST(CommandLineQuoting, UninstallerFolderStaysLastAndBare) {
  for (const FolderCase& c : kFolderCases) {
    SCOPED_TRACE(testing::Message() << "folder " << testing::PrintToString(std::wstring(c.folder)));
    const std::wstring line = BuildUninstallerCommandLine(L"C:\\临时 目录\\Tarnwick_un_asa.exe", false, true,
                                                          c.folder);
    const std::vector<std::wstring> args = Split(line);
    ASSERT_GE(args.size(), 6u) << testing::PrintToString(line);
    EXPECT_EQ(args[0], L"C:\\临时 目录\\Tarnwick_un_asa.exe");
    EXPECT_EQ(args[4], L"-console=show");
    const std::wstring tail = std::wstring(L" _?=") + c.bare;
    ASSERT_GE(line.size(), tail.size());
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
  }
}

TEST(CommandLineQuoting, QuotedArgumentsSurviveSplitting) {
  const std::wstring values[] = {L"", L"plain", L"two words", L"a\\b", L"end\\", L"end\\\\",
                                 L"say \"hi\"", L"\\\"", L"\\\\\"x\\", L"中文 路径\\"};
  for (const std::wstring& value : values) {
    const std::vector<std::wstring> args = Split(L"p.exe " + QuoteArgument(value) + L" next");
    ASSERT_EQ(args.size(), 3u) << testing::PrintToString(value);
    EXPECT_EQ(args[1], value);
    EXPECT_EQ(args[2], L"next");
  }
}

}  // namespace
}  // namespace install
