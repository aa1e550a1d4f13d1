// The run from guard to exit, headless: a second copy leaves at once with
// -1 and shows nothing; the first copy builds its window and ends with 0.
#include <gtest/gtest.h>

#include "app/gui/installer_app.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "records/install_records.h"
#include "test_support.h"
#include "ui/main/ui_trace.h"
#include "ui/toolkit/skin_system.h"
#include "utils/process_mutex.h"

namespace {

class InstallerAppTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::SkinSystem::UseHeadlessWindows(true);
    ui::SkinSystem::SetArchiveFile(platform::ToWide(TW_SKIN_ARCHIVE_PATH, platform::kCodePageUtf8));
    work_ = testsupport::MakeTempFolder(L"installerapp");
    testsupport::SetEnv("XDG_CONFIG_HOME", platform::JoinPath(work_, L"config"));
    platform::DeleteUserRegistryKey(kInstallRecordsKey);
    trace_ = platform::JoinPath(work_, L"trace.txt");
    testsupport::SetEnv("TARNWICK_UI_TRACE", trace_);
  }
  void TearDown() override {
    testsupport::SetEnv("TARNWICK_UI_TRACE", L"");
    testsupport::RemoveTree(work_);
  }
  std::wstring work_, trace_;
};

TEST_F(InstallerAppTest, SecondCopyLeavesSilentlyAndTheFirstRunsToItsEnd) {
  {
    Utils::ProcessMutex other(app::kInstanceGuardName);
    other.Acquire();
    ASSERT_TRUE(other.IsHeld());
    EXPECT_EQ(app::RunInstaller(nullptr), app::kExitSecondInstance);
    EXPECT_FALSE(platform::PathExists(trace_)) << "no window for a second copy";
  }
  EXPECT_EQ(app::RunInstaller(nullptr), 0);
  std::string trace = testsupport::ReadFile(trace_);
  EXPECT_NE(trace.find("page\t0"), std::string::npos) << trace;
  // The guard is free again afterwards.
  Utils::ProcessMutex next(app::kInstanceGuardName);
  next.Acquire();
  EXPECT_TRUE(next.IsHeld());
}

}  // namespace
