#include "ui/controls/sequence_label.h"

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/painter.h"

namespace ui {

// ---- CSequenceButton --------------------------------------------------------

void CSequenceButton::SetSecondImage(const std::wstring& image) {
  secondImage_ = image;
  Invalidate();
}

void CSequenceButton::SetThirdImage(const std::wstring& image) {
  thirdImage_ = image;
  Invalidate();
}

void CSequenceButton::SetTextOffset(const Rect& offset) {
  textOffset_ = offset;
  Invalidate();
}

void CSequenceButton::PaintText(Painter& painter) {
  if (!IsPushed() || textOffset_.IsZero()) {
    CButton::PaintText(painter);
    return;
  }
  Color color = GetTextColor();
  if (!IsEnabled()) color = GetDisabledTextColor();
  else if (GetPushedTextColor() != 0) color = GetPushedTextColor();
  DrawTextIn(painter, GetPos().Deflated(textOffset_), color);
}

bool CSequenceButton::CopyChannel(const Bitmap& source, Bitmap& destination, int sourceByte,
                                  int destinationByte) {
  if (source.width != destination.width || source.height != destination.height) return false;
  if (sourceByte < 0 || sourceByte > 3 || destinationByte < 0 || destinationByte > 3) return false;
  const std::size_t pixels = static_cast<std::size_t>(source.width) * source.height;
  if (source.pixels.size() < pixels * 4 || destination.pixels.size() < pixels * 4) return false;
  for (std::size_t i = 0; i < pixels; ++i) {
    destination.pixels[i * 4 + destinationByte] = source.pixels[i * 4 + sourceByte];
  }
  return true;
}

}  // namespace ui
