// Shared set-up of the frame, dialog and language tests: headless windows
// (also under Wine) reading the built skin archive, and small helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ui/dialogs/message_box_wnd.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/skin_window_headless.h"

namespace ui::test {

inline std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii)); }
inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

class HeadlessSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinSystem::UseHeadlessWindows(true);
    SkinSystem::SetArchiveFile(Wide(TW_SKIN_ARCHIVE_PATH));
  }
  void TearDown() override {
    SetDialogScript(nullptr);
    SkinSystem::SetArchiveFile(Wide(TW_SKIN_ARCHIVE_PATH));
  }
};

}  // namespace ui::test
