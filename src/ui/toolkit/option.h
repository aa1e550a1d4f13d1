// COption ("Option") and CCheckBox ("CheckBox"): buttons with a selected
// state.
//
// Changing the state sends "selectchanged" when asked to (SetSelected's
// second argument; markup and programmatic set-up can stay quiet). Options
// that share a "group" name are exclusive within the window: selecting one
// clears the others. A click on an option selects it; a click on a check box
// toggles it. "click" is sent before the state changes.
//
// Markup: selected group selectedimage selectedhotimage selectedtextcolor
// selectedbkcolor (plus everything a button takes).
#pragma once

#include "ui/toolkit/button.h"

namespace ui {

class COption : public CButton {
 public:
  std::wstring GetClassName() const override { return L"Option"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  bool IsSelected() const { return selected_; }
  virtual void SetSelected(bool selected, bool raiseEvent = true);
  void SetSelectedAttribute(bool selected) { SetSelected(selected, /*raiseEvent=*/false); }
  const std::wstring& GetGroup() const { return group_; }
  void SetGroup(const std::wstring& group) { group_ = group; }

  void SetSelectedImage(const std::wstring& image);
  void SetSelectedHotImage(const std::wstring& image);
  void SetSelectedTextColor(Color c) { selectedTextColor_ = c; Invalidate(); }
  void SetSelectedBkColor(Color c) { selectedBkColor_ = c; Invalidate(); }

  bool Activate() override;

 protected:
  void PaintBkColor(Painter& painter) override;
  void PaintStatusImage(Painter& painter) override;
  Color CurrentTextColor() const override;

 private:
  void ClearGroup();

  bool selected_ = false;
  std::wstring group_;
  ImageRef selectedImage_, selectedHotImage_;
  Color selectedTextColor_ = 0, selectedBkColor_ = 0;
};

class CCheckBox : public COption {
 public:
  std::wstring GetClassName() const override { return L"CheckBox"; }
  bool Activate() override;
};

}  // namespace ui
