// CMessageBoxWnd and ShowDialog: every message and question of the
// installer, a small skinned modal window built from one of the skin's
// dialog markup files.
//
// Result codes:
//   0  okBtn was clicked
//   1  cancelBtn was clicked, or the window closed without a click (Alt+F4)
//   2  any other clickable control (in practice the title bar's closebtn)
// Escape and Enter do nothing (the frame's key filter).
//
// ShowDialog(parent, source, text, caption): builds the window over
// `parent` (title "消息框", style WS_OVERLAPPEDWINDOW | WS_VISIBLE, size from
// the markup), puts `text` into "textLbl" and `caption` into "captionLbl"
// when given and present, centres it over the parent, runs it modally and
// returns the result. A window that cannot be made gives 1.
//
// Test hook: with a DialogScript installed, ShowDialog still builds the
// window (so the markup must load) but asks the script for the answer
// instead of running the modal loop, unless the script answers
// kRunDialogWindow (then the window runs as usual: a script may post clicks
// to it first). Process-wide; install and remove it on the UI thread.
//
// Threads: UI thread only; the modal loop keeps dispatching the thread's
// other messages (the main window's events arrive meanwhile).
#pragma once

#include <functional>
#include <string>

#include "ui/frame/skin_frame.h"

namespace ui {

class CButton;
class CLabel;

class CMessageBoxWnd : public CSkinFrame {
 public:
  explicit CMessageBoxWnd(const SkinSource& source);
  ~CMessageBoxWnd() override;

  void OnSkinReady() override;
  void OnControlClick(const Notification& notification) override;

  int Result() const { return result_; }
  CControl* OkButton() const { return okBtn_; }
  CControl* CancelButton() const { return cancelBtn_; }
  CControl* TextLabel() const { return textLbl_; }
  CControl* CaptionLabel() const { return captionLbl_; }

 private:
  int result_ = 1;
  CControl* okBtn_ = nullptr;
  CControl* cancelBtn_ = nullptr;
  CControl* textLbl_ = nullptr;
  CControl* captionLbl_ = nullptr;
};

inline constexpr int kDialogOk = 0;
inline constexpr int kDialogCancel = 1;
inline constexpr int kDialogOther = 2;

int ShowDialog(NativeWindowHandle parent, const SkinSource& source, const wchar_t* text,
               const wchar_t* caption);

// What a DialogScript is asked.
struct DialogRequest {
  std::wstring skinFile;
  bool hasText = false;
  std::wstring text;
  bool hasCaption = false;
  std::wstring caption;
  NativeWindowHandle parent = nullptr;
  CMessageBoxWnd* window = nullptr;  // created, texts set, not yet shown
};
inline constexpr int kRunDialogWindow = -1;
using DialogScript = std::function<int(const DialogRequest&)>;

// Installs `script` (empty: none); returns the previous one.
DialogScript SetDialogScript(DialogScript script);

}  // namespace ui
