// The default folder and the folders typed or picked on the custom page.
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "platform/path_rules.h"
#include "platform/paths.h"
#include "rules/install_folder.h"

namespace {

using namespace rules;

std::wstring P(std::initializer_list<std::wstring> parts) {
  std::wstring out;
  for (const auto& p : parts) out = out.empty() ? p : platform::JoinPath(out, p);
  return out;
}

TEST(InstallFolder, DefaultFolderRules) {
  const std::wstring root = platform::kPathSeparator == L'\\' ? L"C:" : L"/";
  const std::wstring appData = P({root, L"Users", L"u", L"AppData"});
  const std::wstring x86 = P({root, L"Program Files (x86)"});
  const std::wstring programs = P({root, L"Program Files"});
  const std::wstring recorded = P({root, L"Games", L"T"});
  struct Case {
    const char* what;
    bool consoleAdmin, processAdmin, hasAppData, hasX86, hasPrograms;
    std::wstring registered;
    bool uninstEpExists;
    std::wstring expected;
  };
  for (const Case& c : std::vector<Case>{
           {"both admins", true, true, true, true, true, L"", false, P({appData, L"brisel", L"Tarnwick"})},
           {"process not admin", true, false, true, true, true, L"", false, P({x86, L"Tarnwick"})},
           {"console user not admin", false, true, true, true, true, L"", false, P({x86, L"Tarnwick"})},
           {"APPDATA unreadable", true, true, false, true, true, L"", false, P({x86, L"Tarnwick"})},
           {"no 32-bit program folder", true, true, false, false, true, L"", false, P({programs, L"Tarnwick"})},
           {"no base at all", true, true, false, false, false, L"", false, L"Tarnwick"},
           {"record without its uninstaller", true, true, true, true, true, recorded, false,
            P({appData, L"brisel", L"Tarnwick"})},
           {"record with its uninstaller", false, false, false, false, false, recorded, true, recorded},
           {"uninstaller without a record", true, true, true, true, true, L"", true,
            P({appData, L"brisel", L"Tarnwick"})}}) {
    SCOPED_TRACE(c.what);
    DefaultFolderFacts facts;
    facts.consoleUserIsAdmin = c.consoleAdmin;
    facts.processIsAdmin = c.processAdmin;
    if (c.hasAppData) facts.appData = appData;
    if (c.hasX86) facts.programFilesX86 = x86;
    if (c.hasPrograms) facts.programFiles = programs;
    facts.registeredInstallPath = c.registered;
    facts.registeredUninstEpExists = c.uninstEpExists;
    EXPECT_EQ(DefaultInstallDir(facts), c.expected);
  }
}

TEST(InstallFolder, MachineFactsSeeTheUninstallerOnDisk) {
  const std::wstring missing = platform::JoinPath(platform::TempPath(), L"tw-no-such-uninstaller.exe");
  EXPECT_FALSE(SystemDefaultFolderFacts(L"X", missing, true, false).registeredUninstEpExists);
  EXPECT_FALSE(SystemDefaultFolderFacts(L"X", L"", true, false).registeredUninstEpExists);
  const DefaultFolderFacts facts = SystemDefaultFolderFacts(L"X", platform::TempPath(), true, false);
  EXPECT_TRUE(facts.registeredUninstEpExists);
  EXPECT_EQ(facts.registeredInstallPath, L"X");
  EXPECT_TRUE(facts.consoleUserIsAdmin);
  EXPECT_FALSE(facts.processIsAdmin);
}

TEST(InstallFolder, TypedFolderNamingTheDefaultIsReplacedByIt) {
  const std::wstring def = platform::kPathSeparator == L'\\' ? L"C:\\Program Files (x86)\\Tarnwick"
                                                             : L"/opt/programs/Tarnwick";
  EXPECT_EQ(CustomInstallDir(def + platform::kPathSeparator, def), def);
  EXPECT_EQ(CustomInstallDir(def, def), def);
  const std::wstring other = def + L"2";
  EXPECT_EQ(CustomInstallDir(other, def), other);
  EXPECT_EQ(CustomInstallDir(L"", def), L"");
  if (platform::NativePathStyle().ignoreCase) {
    EXPECT_EQ(CustomInstallDir(L"c:\\PROGRAM FILES (X86)\\tarnwick", def), def);
    EXPECT_EQ(CustomInstallDir(L"D:\\Program Files (x86)\\Tarnwick", def), L"D:\\Program Files (x86)\\Tarnwick");
  }
  EXPECT_EQ(FolderForChosenParent(P({def, L"x"})), P({def, L"x", L"Tarnwick"}));
}

}  // namespace
