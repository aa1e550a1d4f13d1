// CLabel ("Label"): a control that draws its text.
//
// Markup: textcolor disabledtextcolor align valign multiline endellipsis
// textpadding="l,t,r,b" (the text's inset inside the control).
// Text is drawn with tokens resolved (text_table.h) in the control's font.
#pragma once

#include "ui/toolkit/control.h"
#include "ui/toolkit/text_style.h"

namespace ui {

class CLabel : public CControl {
 public:
  CLabel();
  std::wstring GetClassName() const override { return L"Label"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  Color GetTextColor() const { return textColor_; }
  void SetTextColor(Color color);
  Color GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(Color color);
  unsigned GetTextStyle() const { return textStyle_; }
  void SetTextStyle(unsigned style);
  const Rect& GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const Rect& padding);

  void SetAlign(const std::wstring& value);
  void SetVAlign(const std::wstring& value);
  void SetMultiline(bool multiline);
  void SetEndEllipsis(bool on);

  // Width and height of the current text (tokens resolved) in this control's
  // font and text style; {0,0} when the window has no measurer.
  Size MeasureText() const;

 protected:
  void PaintText(Painter& painter) override;
  // The colour the text is drawn in, by state.
  virtual Color CurrentTextColor() const;
  void DrawTextIn(Painter& painter, const Rect& rect, Color color);

 private:
  Color textColor_ = 0xFF000000;
  Color disabledTextColor_ = 0xFFA0A0A0;
  unsigned textStyle_;
  Rect textPadding_;
};

}  // namespace ui
