// A reference to a skin image as the markup writes it.
//
// Two forms:
//   res\mainWnd\bg1.png
//       the whole image stretched over the control
//   file='res\mainWnd\Cb1.png' dest='0,2,15,16' source='0,0,15,14'
//        corner='2,2,2,2' fade='200'
//       file    the image name in the skin (required in this form)
//       source  part of the image to use (default: all of it)
//       dest    where to draw, relative to the control's top-left corner
//               (default: the whole control)
//       corner  nine-grid borders left,top,right,bottom that are kept
//               unscaled while the middle stretches (default: none)
//       fade    constant alpha 0..255 (default 255)
// Values are quoted with single quotes; unknown keys are ignored.
#pragma once

#include <cstdint>
#include <string>

#include "ui/toolkit/geometry.h"

namespace ui {

struct ImageRef {
  std::wstring file;
  Rect source;  // all zero: the whole image
  Rect dest;    // all zero: the whole control
  Rect corner;
  std::uint8_t fade = 255;

  bool IsEmpty() const { return file.empty(); }
  // Where the image lands for a control at `control`.
  Rect DestIn(const Rect& control) const;
  bool operator==(const ImageRef& o) const {
    return file == o.file && source == o.source && dest == o.dest && corner == o.corner &&
           fade == o.fade;
  }
};

ImageRef ParseImageRef(const std::wstring& value);

}  // namespace ui
