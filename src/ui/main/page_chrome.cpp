#include "ui/main/page_chrome.h"

namespace mainwnd {

PageChrome ChromeForPage(int page) {
  PageChrome chrome{};
  switch (page) {
    case kPageStart:
      chrome.background = L"res\\mainWnd\\bg1.png";
      chrome.titleTabIndex = 1;
      break;
    case kPageCustom:
      chrome.background = L"res\\mainWnd\\bg2.png";
      chrome.titleTabIndex = 1;
      break;
    case kPageProgress:
      chrome.background = L"res\\mainWnd\\bg3.png";
      chrome.titleTabIndex = kTitleTabUnchanged;
      chrome.restartProgressAnimation = true;
      break;
    case kPageFinish:
      chrome.background = L"res\\mainWnd\\bg4.png";
      chrome.titleTabIndex = 2;
      chrome.restartFinishedAnimation = true;
      break;
    default:
      chrome.background = L"res\\mainWnd\\bg1.png";
      chrome.titleTabIndex = 0;
      break;
  }
  // The animation ticks only while it can be seen: elsewhere its timer
  // would repaint a hidden area many times a second.
  chrome.stopProgressAnimation = page != kPageProgress;
  chrome.titleGroupVisible = page != kPageProgress;
  chrome.installLogoVisible = page == kPageProgress;
  chrome.backButtonVisible = page == kPageCustom;
  return chrome;
}

bool IsCloseRefused(int page) { return page == kPageProgress; }

}  // namespace mainwnd
