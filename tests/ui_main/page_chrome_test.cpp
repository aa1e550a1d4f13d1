// The main window's page chrome: what each page shows around its content.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/main/page_chrome.h"

namespace {

using namespace mainwnd;

TEST(PageChrome, EveryPage) {
  struct Case {
    int page;
    const wchar_t* background;
    int titleTab;
    bool restartProgress, stopProgress, restartFinished, titleGroup, logo, back;
  };
  for (const Case& c : std::vector<Case>{
           {kPageStart, L"res\\mainWnd\\bg1.png", 1, false, true, false, true, false, false},
           {kPageCustom, L"res\\mainWnd\\bg2.png", 1, false, true, false, true, false, true},
           {kPageProgress, L"res\\mainWnd\\bg3.png", kTitleTabUnchanged, true, false, false, false, true, false},
           {kPageFinish, L"res\\mainWnd\\bg4.png", 2, false, true, true, true, false, false},
           {kNoPage, L"res\\mainWnd\\bg1.png", 0, false, true, false, true, false, false},
           {7, L"res\\mainWnd\\bg1.png", 0, false, true, false, true, false, false}}) {
    PageChrome chrome = ChromeForPage(c.page);
    SCOPED_TRACE(c.page);
    EXPECT_EQ(std::wstring(chrome.background), c.background);
    EXPECT_EQ(chrome.titleTabIndex, c.titleTab);
    EXPECT_EQ(chrome.restartProgressAnimation, c.restartProgress);
    EXPECT_EQ(chrome.stopProgressAnimation, c.stopProgress);
    EXPECT_EQ(chrome.restartFinishedAnimation, c.restartFinished);
    EXPECT_EQ(chrome.titleGroupVisible, c.titleGroup);
    EXPECT_EQ(chrome.installLogoVisible, c.logo);
    EXPECT_EQ(chrome.backButtonVisible, c.back);
  }
  EXPECT_TRUE(IsCloseRefused(kPageProgress));
  EXPECT_FALSE(IsCloseRefused(kPageStart));
  EXPECT_FALSE(IsCloseRefused(kPageFinish));
}

}  // namespace
