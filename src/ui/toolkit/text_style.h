// How a control lays out its text inside its text rectangle. The bits are
// the toolkit's own; the Win32 painter maps them onto DrawText flags.
//
// Markup: align="left|center|right", valign="top|vcenter|bottom",
// multiline="true" (wrap at word boundaries), endellipsis="true".
#pragma once

namespace ui {

namespace TextStyle {
enum : unsigned {
  kLeft = 0x0000,
  kCenter = 0x0001,
  kRight = 0x0002,
  kTop = 0x0000,
  kVCenter = 0x0004,
  kBottom = 0x0008,
  kSingleLine = 0x0020,
  kWordBreak = 0x0010,
  kEndEllipsis = 0x8000,
  kHorizontalMask = kCenter | kRight,
  kVerticalMask = kVCenter | kBottom,
};
}  // namespace TextStyle

}  // namespace ui
