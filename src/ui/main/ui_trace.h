// A test-only view into the main window: when the environment variable
// TARNWICK_UI_TRACE names a file, the window appends one UTF-8 line per
// change a user would see (page shown, progress text and value, dialog
// shown and its answer, window closing). End-to-end tests read it to follow
// the real executable under Wine; without the variable nothing is written
// and nothing is opened.
//
// Line shapes (fields separated by one tab):
//   page<TAB>2
//   progress<TAB>74<TAB>正在安装中:74%，请稍候...
//   status<TAB>正在等待Tarnwick退出，请稍候...
//   dialog<TAB>MessageBox2Wnd.xml<TAB>无效路径
//   answer<TAB>MessageBox2Wnd.xml<TAB>2
//   edit<TAB>C:\Program Files (x86)\Tarnwick
//   close<TAB>1
// Each line is written and flushed at once, so a reader sees it even when
// the process is killed afterwards. UI thread only.
#pragma once

#include <string>

namespace mainwnd {

class UiTrace {
 public:
  // Reads the variable once.
  UiTrace();
  bool Enabled() const { return !m_path.empty(); }
  void Line(const std::wstring& kind, const std::wstring& a, const std::wstring& b = std::wstring());

  static constexpr const wchar_t* kVariable = L"TARNWICK_UI_TRACE";

 private:
  std::wstring m_path;
};

}  // namespace mainwnd
