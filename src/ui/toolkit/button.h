// CButton ("Button"): a label that can be clicked.
//
// States: normal, hot (mouse over), pushed (pressed with the mouse over it),
// disabled. Each state has an optional image, text colour and background
// colour; a state without its own falls back to the normal one. The disabled
// image is asked for only while the button is disabled.
// Activate() sends "click".
//
// While it holds a shown keyboard focus (WindowTree::IsFocusShown) the button
// draws a focus mark: a one-pixel rounded frame "focusinset" pixels inside
// its rectangle in "focusbordercolor" (the skin's blue unless the markup says
// otherwise; filled buttons ask for white inside their fill).
//
// Markup: normalimage hotimage pushedimage focusedimage disabledimage
// hottextcolor pushedtextcolor focusedtextcolor hotbkcolor pushedbkcolor
// focusbordercolor focusinset (plus everything a label takes).
#pragma once

#include "ui/toolkit/label.h"

namespace ui {

class CButton : public CLabel {
 public:
  static constexpr Color kDefaultFocusBorderColor = 0xFF1890FF;

  std::wstring GetClassName() const override { return L"Button"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  void SetNormalImage(const std::wstring& image) { SetImage(normalImage_, image); }
  void SetHotImage(const std::wstring& image) { SetImage(hotImage_, image); }
  void SetPushedImage(const std::wstring& image) { SetImage(pushedImage_, image); }
  void SetFocusedImage(const std::wstring& image) { SetImage(focusedImage_, image); }
  void SetDisabledImage(const std::wstring& image) { SetImage(disabledImage_, image); }
  const ImageRef& GetNormalImage() const { return normalImage_; }
  const ImageRef& GetHotImage() const { return hotImage_; }
  const ImageRef& GetPushedImage() const { return pushedImage_; }
  const ImageRef& GetDisabledImage() const { return disabledImage_; }

  void SetHotTextColor(Color c) { hotTextColor_ = c; Invalidate(); }
  void SetPushedTextColor(Color c) { pushedTextColor_ = c; Invalidate(); }
  void SetFocusedTextColor(Color c) { focusedTextColor_ = c; Invalidate(); }
  Color GetPushedTextColor() const { return pushedTextColor_; }
  void SetHotBkColor(Color c) { hotBkColor_ = c; Invalidate(); }
  void SetPushedBkColor(Color c) { pushedBkColor_ = c; Invalidate(); }

  void SetFocusBorderColor(Color c) { focusBorderColor_ = c; Invalidate(); }
  Color GetFocusBorderColor() const { return focusBorderColor_; }
  void SetFocusInset(int inset) { focusInset_ = inset < 0 ? 0 : inset; Invalidate(); }
  // The frame the focus mark is drawn on, and whether it is drawn now.
  Rect FocusMarkRect() const;
  bool ShowsFocusMark() const;

  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

  bool Activate() override;
  void DoEvent(ControlEvent& event) override;
  void SetEnabled(bool enabled) override;
  void Paint(Painter& painter) override;

 protected:
  void PaintBkColor(Painter& painter) override;
  void PaintStatusImage(Painter& painter) override;
  Color CurrentTextColor() const override;
  // The image for the current state, before any fallback to normal.
  virtual const ImageRef& StateImage() const;

 private:
  void SetImage(ImageRef& slot, const std::wstring& value);

  ImageRef normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  Color hotTextColor_ = 0, pushedTextColor_ = 0, focusedTextColor_ = 0;
  Color hotBkColor_ = 0, pushedBkColor_ = 0;
  Color focusBorderColor_ = kDefaultFocusBorderColor;
  int focusInset_ = 0;
  bool hot_ = false;
  bool pushed_ = false;
};

}  // namespace ui
