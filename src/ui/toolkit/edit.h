// CEdit ("Edit"): a one-line text entry.
//
// The portable core keeps the text and the options; typing happens in a
// native edit box that the Win32 backend places over the control's text
// rectangle while it has the focus, and copies back with SetText.
//
// Markup: maxchar (0: no limit) readonly password (plus label attributes;
// "textpadding" is the inset of the native box).
#pragma once

#include "ui/toolkit/label.h"

namespace ui {

class CEdit : public CLabel {
 public:
  std::wstring GetClassName() const override { return L"Edit"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  // Text longer than a non-zero maxchar is cut to maxchar characters.
  void SetText(const std::wstring& text) override;
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int maxChar);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on) { readOnly_ = on; }
  bool IsPassword() const { return password_; }
  void SetPassword(bool on) { password_ = on; Invalidate(); }

 private:
  int maxChar_ = 0;
  bool readOnly_ = false;
  bool password_ = false;
};

}  // namespace ui
