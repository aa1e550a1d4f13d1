#include "ui/dialogs/message_box_wnd.h"

#include <utility>

namespace ui {
namespace {

DialogScript& Script() {
  static DialogScript script;
  return script;
}

}  // namespace

DialogScript SetDialogScript(DialogScript script) {
  DialogScript previous = std::move(Script());
  Script() = std::move(script);
  return previous;
}

CMessageBoxWnd::CMessageBoxWnd(const SkinSource& source) : CSkinFrame(source) {}

CMessageBoxWnd::~CMessageBoxWnd() = default;

void CMessageBoxWnd::OnSkinReady() {
  CSkinFrame::OnSkinReady();
  SetStyle((GetStyle() & kStyleClearCaptionMaxBox) | kStyleClipChildrenSiblings);
  SetExStyle(GetExStyle() & ~kExStyleTopmost);
  okBtn_ = FindControl(L"okBtn");
  cancelBtn_ = FindControl(L"cancelBtn");
  textLbl_ = FindControl(L"textLbl");
  captionLbl_ = FindControl(L"captionLbl");
}

void CMessageBoxWnd::OnControlClick(const Notification& notification) {
  CControl* sender = notification.sender;
  if (sender && sender == okBtn_) {
    Close(1);
    result_ = kDialogOk;
  } else if (sender && sender == cancelBtn_) {
    Close(1);
    result_ = kDialogCancel;
  } else {
    CSkinFrame::OnControlClick(notification);
    result_ = kDialogOther;
  }
}

int ShowDialog(NativeWindowHandle parent, const SkinSource& source, const wchar_t* text,
               const wchar_t* caption) {
  CMessageBoxWnd dialog(source);
  if (!dialog.Create(parent, L"消息框", kStyleOverlappedVisible, 0)) return dialog.Result();
  if (text && dialog.TextLabel()) dialog.TextLabel()->SetText(text);
  if (caption && dialog.CaptionLabel()) dialog.CaptionLabel()->SetText(caption);
  dialog.CenterWindow();

  if (Script()) {
    DialogRequest request;
    request.skinFile = source.skinFile;
    request.hasText = text != nullptr;
    if (text) request.text = text;
    request.hasCaption = caption != nullptr;
    if (caption) request.caption = caption;
    request.parent = parent;
    request.window = &dialog;
    // A copy: the script may replace itself while it runs.
    const DialogScript script = Script();
    const int answer = script(request);
    if (answer != kRunDialogWindow) return answer;
  }
  dialog.ShowModal();
  return dialog.Result();
}

}  // namespace ui
