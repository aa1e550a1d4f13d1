#include "ui/toolkit/centering.h"

namespace ui {
namespace {

int Place(int refStart, int refEnd, int size, int areaStart, int areaEnd) {
  int start = (refStart + refEnd) / 2 - size / 2;
  if (start < areaStart) {
    start = areaStart;
  } else if (start + size > areaEnd) {
    start = areaEnd - size;
  }
  return start;
}

}  // namespace

Point CenteredOrigin(const Rect& window, const Rect* owner, bool ownerMinimized, const Rect& workArea) {
  const Rect& ref = owner && !ownerMinimized ? *owner : workArea;
  return {Place(ref.left, ref.right, window.Width(), workArea.left, workArea.right),
          Place(ref.top, ref.bottom, window.Height(), workArea.top, workArea.bottom)};
}

}  // namespace ui
