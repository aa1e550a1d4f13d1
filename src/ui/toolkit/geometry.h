// Integer geometry of the toolkit: rectangles in window client pixels.
// Rect follows the Win32 convention: right and bottom are one past the last
// pixel, so width = right - left.
#pragma once

namespace ui {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Size {
  int cx = 0;
  int cy = 0;
  bool operator==(const Size& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const Size& o) const { return !(*this == o); }
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // Shrinks by an inset whose four fields are distances from each edge.
  Rect Deflated(const Rect& inset) const {
    return {left + inset.left, top + inset.top, right - inset.right, bottom - inset.bottom};
  }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }
};

}  // namespace ui
