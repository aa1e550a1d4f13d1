// The lines of DL_CODE_STATUS that the window and the headless installer
// show while a download has no progress to show yet. Pure.
#pragma once

#include <string>

// "connecting, attempt n of m"
std::wstring ConnectingStatus(int attempt, int most);
// The previous attempt got no answer; attempt n of m follows.
std::wstring NoAnswerStatus(int attempt, int most);
// The previous attempt broke off; attempt n of m follows.
std::wstring RetryingStatus(int attempt, int most);
