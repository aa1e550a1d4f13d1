// CProgress ("Progress"): a bar filled in proportion to its value.
//
// The background (bkimage) is the track; the fore image is drawn over the
// left part (or, with hor="false", the bottom part) whose length is
// (value - min) / (max - min) of the control, truncated to whole pixels.
//
// Markup: min max value foreimage hor (default true).
#pragma once

#include "ui/toolkit/label.h"

namespace ui {

class CProgress : public CLabel {
 public:
  std::wstring GetClassName() const override { return L"Progress"; }
  static const PropertyTable& ClassProperties();
  const PropertyTable& Properties() const override { return ClassProperties(); }

  int GetMinValue() const { return min_; }
  void SetMinValue(int value);
  int GetMaxValue() const { return max_; }
  void SetMaxValue(int value);
  int GetValue() const { return value_; }
  // Kept within min..max.
  void SetValue(int value);
  const ImageRef& GetForeImage() const { return foreImage_; }
  void SetForeImage(const std::wstring& image);
  bool IsHorizontal() const { return horizontal_; }
  void SetHorizontal(bool on) { horizontal_ = on; Invalidate(); }

  // The part of the control the fore image covers, client coordinates.
  Rect FilledRect() const;

 protected:
  void PaintStatusImage(Painter& painter) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  ImageRef foreImage_;
};

}  // namespace ui
