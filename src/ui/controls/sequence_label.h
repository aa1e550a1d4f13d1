// CSequenceLabel ("SequenceLabel") and CSequenceButton ("SequenceButton"):
// a label and a button that play a numbered series of images as their
// background, one frame per tick of their timer 2100 (TIMER_SEQUENCE).
//
// Frame order, markup attributes and defaults: sequence_animation.h (the
// label: span 30, no back-and-forth; the button: span 60, back-and-forth).
// With "autostart" the timer starts when the control joins its window.
// The main window restarts the progress animation from frame 0 (Restart:
// the direction stays, a running timer keeps its period) and stops it
// (Stop, or the toolkit's KillTimer of ID 2100); the frame shown stays.
//
// The button adds a text-offset rectangle: while pushed, with a non-zero
// offset, it draws its text itself in its rectangle shrunk by the offset, in
// the pushed text colour when set (else the normal or disabled colour).
// CopyChannel moves one byte of every pixel of a bitmap into another of the
// same size (e.g. a mask's alpha or grey into another image's alpha).
//
// Threads: UI thread only; the controls belong to their window's tree.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "ui/toolkit/button.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/sequence_animation.h"
#include "ui/toolkit/window_tree.h"

namespace ui {

struct Bitmap;

// The animation both controls share, over the toolkit control `Base`: the
// markup attributes, the timer and one frame per tick.
template <typename Base>
class SequenceAnimated : public Base {
 public:
  static constexpr unsigned kTimerSequence = SequenceAnimation::kTimerId;

  explicit SequenceAnimated(SequenceAnimation animation) : animation_(std::move(animation)) {}

  bool SetAttribute(const std::wstring& name, const std::wstring& value) override {
    return animation_.SetAttribute(name, value) || Base::SetAttribute(name, value);
  }
  void DoInit() override {
    Base::DoInit();
    if (animation_.autostart) this->SetTimer(kTimerSequence, Period());
  }
  void DoEvent(ControlEvent& event) override {
    Base::DoEvent(event);
    if (event.type == ControlEvent::Type::kTimer) Step();
  }

  // Back to frame 0; a running timer keeps running with its period.
  void Restart() {
    animation_.Restart();
    this->SetTimer(kTimerSequence, Period());
  }
  void Stop() { this->KillTimer(kTimerSequence); }
  bool IsRunning() const { return this->GetWindow() && this->GetWindow()->HasTimer(this, kTimerSequence); }

  void SetFormat(const std::wstring& format) { animation_.format = format; }
  const std::wstring& GetFormat() const { return animation_.format; }
  void SetCount(int count) { animation_.count = count; }
  int GetCount() const { return animation_.count; }
  void SetSpan(int span) { animation_.span = span; }
  int GetSpan() const { return animation_.span; }
  const SequenceAnimation& Animation() const { return animation_; }

 private:
  unsigned Period() const { return animation_.span < 0 ? 0u : static_cast<unsigned>(animation_.span); }

  // Shows the next frame as the background, or stops the timer at the end of
  // a run without loop.
  void Step() {
    const SequenceAnimation::Step step = animation_.Advance();
    if (step.kind == SequenceAnimation::StepKind::kStop) {
      this->KillTimer(kTimerSequence);
    } else if (step.kind == SequenceAnimation::StepKind::kShow) {
      this->SetBkImage(animation_.FrameName(step.frame));
      this->Invalidate();
    }
  }

  SequenceAnimation animation_;
};

class CSequenceLabel : public SequenceAnimated<CLabel> {
 public:
  CSequenceLabel() : SequenceAnimated(SequenceAnimation::ForLabel()) {}
  ~CSequenceLabel() override { Stop(); }
  std::wstring GetClassName() const override { return L"SequenceLabel"; }
};

class CSequenceButton : public SequenceAnimated<CButton> {
 public:
  CSequenceButton() : SequenceAnimated(SequenceAnimation::ForButton()) {}
  std::wstring GetClassName() const override { return L"SequenceButton"; }

  void SetSecondImage(const std::wstring& image);
  const std::wstring& GetSecondImage() const { return secondImage_; }
  const std::wstring& GetThirdImage() const { return thirdImage_; }
  void SetThirdImage(const std::wstring& image);
  const Rect& GetTextOffset() const { return textOffset_; }
  void SetTextOffset(const Rect& offset);

  // False unless both bitmaps have the same width and height; byte offsets
  // 0..3 into a pixel (B, G, R, A in the image cache's layout).
  static bool CopyChannel(const Bitmap& source, Bitmap& destination, int sourceByte,
                          int destinationByte);

 protected:
  void PaintText(Painter& painter) override;

 private:
  std::wstring secondImage_;
  std::wstring thirdImage_;
  Rect textOffset_;
};

}  // namespace ui
