#include "ui/controls/sequence_label.h"

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/painter.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

// One tick of the animation on `control`: show the next frame as its
// background, or stop the timer at the end of a run without loop.
template <typename Control>
void Step(Control& control, SequenceAnimation& animation) {
  const SequenceAnimation::Step step = animation.Advance();
  if (step.kind == SequenceAnimation::StepKind::kStop) {
    control.KillTimer(SequenceAnimation::kTimerId);
  } else if (step.kind == SequenceAnimation::StepKind::kShow) {
    control.SetBkImage(animation.FrameName(step.frame));
    control.Invalidate();
  }
}

unsigned Period(const SequenceAnimation& animation) {
  return animation.span < 0 ? 0u : static_cast<unsigned>(animation.span);
}

}  // namespace

// ---- CSequenceLabel ---------------------------------------------------------

CSequenceLabel::~CSequenceLabel() { KillTimer(kTimerSequence); }

bool CSequenceLabel::SetAttribute(const std::wstring& name, const std::wstring& value) {
  return animation_.SetAttribute(name, value) || CLabel::SetAttribute(name, value);
}

void CSequenceLabel::DoInit() {
  CLabel::DoInit();
  if (animation_.autostart) SetTimer(kTimerSequence, Period(animation_));
}

void CSequenceLabel::DoEvent(ControlEvent& event) {
  CLabel::DoEvent(event);
  if (event.type == ControlEvent::Type::kTimer) Step(*this, animation_);
}

void CSequenceLabel::Restart() {
  animation_.Restart();
  SetTimer(kTimerSequence, Period(animation_));
}

void CSequenceLabel::Stop() { KillTimer(kTimerSequence); }

bool CSequenceLabel::IsRunning() const {
  return GetWindow() && GetWindow()->HasTimer(this, kTimerSequence);
}

// ---- CSequenceButton --------------------------------------------------------

bool CSequenceButton::SetAttribute(const std::wstring& name, const std::wstring& value) {
  return animation_.SetAttribute(name, value) || CButton::SetAttribute(name, value);
}

void CSequenceButton::DoInit() {
  CButton::DoInit();
  if (animation_.autostart) SetTimer(kTimerSequence, Period(animation_));
}

void CSequenceButton::DoEvent(ControlEvent& event) {
  CButton::DoEvent(event);
  if (event.type == ControlEvent::Type::kTimer) Step(*this, animation_);
}

void CSequenceButton::Restart() {
  animation_.Restart();
  SetTimer(kTimerSequence, Period(animation_));
}

void CSequenceButton::Stop() { KillTimer(kTimerSequence); }

bool CSequenceButton::IsRunning() const {
  return GetWindow() && GetWindow()->HasTimer(this, kTimerSequence);
}

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
