#include "install/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace install
