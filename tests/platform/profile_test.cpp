// INI files with the private-profile semantics; the same cases run against
// the system's own functions under Windows.
#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/test_support.h"

namespace {

using platform_test::ScratchFolder;
using platform_test::WriteBytes;

struct ReadCase {
  const char* content;
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* expected;  // with default "dflt"
};

const ReadCase kReadCases[] = {
    {"[Install]\r\nKey=value\r\n", L"Install", L"Key", L"value"},
    {"[install]\nkEY=value\n", L"Install", L"Key", L"value"},      // names ignore letter case
    {"[Install]\nOther=1\n", L"Install", L"Key", L"dflt"},           // missing key: the default
    {"[Install]\nKey=\n", L"Install", L"Key", L""},                  // empty value: empty, not the default
    {"[Install]\n  Key  =   spaced value  \n", L"Install", L"Key", L"spaced value"},
    {"[Install]\nKey=\"quoted value\"\n", L"Install", L"Key", L"quoted value"},
    {"[Install]\nKey=\"half\n", L"Install", L"Key", L"\"half"},
    {"[Install]\nKey='single'\n", L"Install", L"Key", L"single"},
    {"[Install]\nKey=a=b\n", L"Install", L"Key", L"a=b"},
    {"[Other]\nKey=value\n", L"Install", L"Key", L"dflt"},           // key in another section
    {"[Install]\n[Next]\nKey=value\n", L"Install", L"Key", L"dflt"},
    {"", L"Install", L"Key", L"dflt"},
    {"[ Install ]\nKey=value\n", L"Install", L"Key", L"value"},
};

TEST(Profile, ReadsByThePrivateProfileRules) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"case.ini");
  for (const ReadCase& c : kReadCases) {
    WriteBytes(file, c.content);
    EXPECT_EQ(platform::ReadProfileString(file, c.section, c.key, L"dflt"), c.expected) << "file: " << c.content;
  }
}

TEST(Profile, MissingFileGivesTheDefaultWithoutTrailingBlanks) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"none.ini");
  EXPECT_EQ(platform::ReadProfileString(file, L"S", L"K", L"true"), L"true");
  EXPECT_EQ(platform::ReadProfileString(file, L"S", L"K", L"abc  "), L"abc");
}

TEST(Profile, ValueIsCutToTheBuffer) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"long.ini");
  WriteBytes(file, "[Install]\nDownloadUrl=" + std::string(300, 'u') + "\n");
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"DownloadUrl", L""), std::wstring(259, L'u'));
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"DownloadUrl", L"", 20), std::wstring(19, L'u'));
  // The default is cut the same way.
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"Missing", L"abcdef", 4), L"abc");
}

TEST(Profile, IntegerRules) {
  struct IntCase {
    const char* line;  // nullptr: no key at all
    int expected;      // with default 1
  };
  const IntCase cases[] = {
      {nullptr, 1}, {"N=", 1}, {"N=3", 3}, {"N=  42", 42}, {"N=-12", -12}, {"N=+7", 7},
      {"N=0x1F", 31}, {"N=0X10", 0}, {"N=12abc", 12}, {"N=abc", 0}, {"N=2147483647", 2147483647},
  };
  ScratchFolder folder;
  const std::wstring file = folder.File(L"int.ini");
  for (const IntCase& c : cases) {
    WriteBytes(file, std::string("[S]\n") + (c.line ? c.line : "Other=5") + "\n");
    EXPECT_EQ(platform::ReadProfileInt(file, L"S", L"N", 1), c.expected) << (c.line ? c.line : "(no key)");
  }
}

TEST(Profile, WritingKeepsEverythingElse) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"set.ini");
  ASSERT_TRUE(platform::WriteProfileString(file, L"Install", L"AppName", L"tarnwick"));  // creates the file
  ASSERT_TRUE(platform::WriteProfileString(file, L"Uninstall", L"IsOverride", L"false"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"Install", L"DeviceID", L"ABC"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"install", L"appname", L"second"));  // replaces, any case

  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"AppName", L""), L"second");
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"DeviceID", L""), L"ABC");
  EXPECT_EQ(platform::ReadProfileString(file, L"Uninstall", L"IsOverride", L"true"), L"false");
}

TEST(Profile, WritingIntoAHandWrittenFileKeepsItsOtherLines) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"config.ini");
  WriteBytes(file, "; comment\r\n[General]\r\nLanguage=de\r\n\r\n[Install]\r\nA=1\r\n");
  ASSERT_TRUE(platform::WriteProfileString(file, L"General", L"Theme", L"dark"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"Install", L"A", L"2"));
  EXPECT_EQ(platform::ReadProfileString(file, L"General", L"Language", L""), L"de");
  EXPECT_EQ(platform::ReadProfileString(file, L"General", L"Theme", L""), L"dark");
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"A", L""), L"2");
  EXPECT_NE(platform_test::ReadBytes(file).find("; comment"), std::string::npos);
}

TEST(Profile, WritingIntoAFileWithAByteOrderMarkKeepsTheMarkAndEveryValue) {
  ScratchFolder folder;
  const std::wstring file = folder.File(L"bom.ini");
  WriteBytes(file, "\xEF\xBB\xBF[Install]\r\nPath=C:\\\xE6\x96\x87\xE4\xBB\xB6\r\n");
  ASSERT_TRUE(platform::WriteProfileString(file, L"Install", L"A", L"1"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"Record", L"B", L"2"));
  EXPECT_EQ(platform_test::ReadBytes(file).compare(0, 3, "\xEF\xBB\xBF"), 0);
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"Path", L""), L"C:\\\x6587\x4EF6");
  EXPECT_EQ(platform::ReadProfileString(file, L"Install", L"A", L""), L"1");
  EXPECT_EQ(platform::ReadProfileString(file, L"Record", L"B", L""), L"2");
}

TEST(Profile, WritingIntoAMissingFolderFails) {
  ScratchFolder folder;
  const std::wstring file = platform::JoinPath(folder.File(L"no-such-folder"), L"set.ini");
  EXPECT_FALSE(platform::WriteProfileString(file, L"S", L"K", L"V"));
}

}  // namespace
