// What each page of the main window looks like around its content: the
// window background, the title area's tab, the animations, and which title
// controls show. Applied on every "tabselect", whichever tab layout raised
// it, from the main tab's current page.
//
//   page | background             | titleTabLt | animations
//   0    | res\mainWnd\bg1.png    | 1          | progressAnLb stops
//   1    | res\mainWnd\bg2.png    | 1          | progressAnLb stops
//   2    | res\mainWnd\bg3.png    | unchanged  | progressAnLb restarts
//   3    | res\mainWnd\bg4.png    | 2          | progressAnLb stops, finishedLbl restarts
//   else | res\mainWnd\bg1.png    | 0          | progressAnLb stops
//
// The progress animation runs only while its page shows (its markup starts
// it as the window is built; the first refresh stops it).
//
// On page 2 the title buttons (minimise, close) hide and the install logo
// shows; elsewhere the reverse. The back button shows on page 1 only.
// Selecting the title tab raises "tabselect" again; the second pass finds
// the same page and changes nothing. Pure.
#pragma once

namespace mainwnd {

inline constexpr int kPageStart = 0;
inline constexpr int kPageCustom = 1;
inline constexpr int kPageProgress = 2;
inline constexpr int kPageFinish = 3;
// The main tab layout is missing.
inline constexpr int kNoPage = -1;

struct PageChrome {
  const wchar_t* background;
  int titleTabIndex;             // kTitleTabUnchanged: leave it
  bool restartProgressAnimation;
  bool stopProgressAnimation;
  bool restartFinishedAnimation;
  bool titleGroupVisible;
  bool installLogoVisible;
  bool backButtonVisible;
};

inline constexpr int kTitleTabUnchanged = -1;

PageChrome ChromeForPage(int page);

// WM_CLOSE is refused while the progress page shows: the driver must run to
// one of its end events.
bool IsCloseRefused(int page);

}  // namespace mainwnd
