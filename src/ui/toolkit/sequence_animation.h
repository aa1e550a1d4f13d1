// The frame-sequence animation of the animated label and button: which frame
// to show on each timer tick, as a pure state machine.
//
// Each Step() is one tick of the control's timer (ID kTimerId, period span):
//   1. no format: nothing happens;
//   2. running forward past the last frame (index > count-1, compared as
//      unsigned): back-and-forth turns backward at count-2; otherwise the
//      index returns to 0 and, without loop, the animation stops;
//   3. running backward at frame 0: back-and-forth turns forward; the index
//      is 0 and, without loop, the animation stops;
//   4. the frame shown is the index, which then moves one step in the
//      current direction.
// Frame orders for count 4: 0123 0123 ... (loop); 0123 then stop (no loop);
// 0123210123... (back-and-forth, loop); 012321 then stop (back-and-forth, no
// loop). A count of 0 never wraps (count-1 is the largest unsigned value).
//
// Markup attributes: "sequencebkimage" (the format, name matched in exact
// case), "sequencecount", "sequencespan" (integers read up to the first
// non-digit), "sequenceloop", "autostart", "sequenceround" (false only for
// the exact text "false"). Pure; one instance per control, UI thread.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

class SequenceAnimation {
 public:
  static constexpr unsigned kTimerId = 2100;  // TIMER_SEQUENCE

  enum class StepKind { kNothing, kShow, kStop };
  struct Step {
    StepKind kind = StepKind::kNothing;
    std::uint32_t frame = 0;  // kShow
  };

  static SequenceAnimation ForLabel();   // span 30, no back-and-forth
  static SequenceAnimation ForButton();  // span 60, back-and-forth

  // Applies one markup attribute; false when `name` is none of the six.
  bool SetAttribute(const std::wstring& name, const std::wstring& value);

  Step Advance();
  // Back to frame 0; the direction stays.
  void Restart() { index = 0; }

  // `format` with `frame` as its integer argument, at most 259 characters.
  // The format may hold one integer conversion (%d %i %u %x %X %o with the
  // usual flags, width and precision) and "%%"; any other conversion, or a
  // second one, makes the name empty rather than reading an argument that
  // is not there.
  static std::wstring FrameName(const std::wstring& format, std::uint32_t frame);
  std::wstring FrameName(std::uint32_t frame) const { return FrameName(format, frame); }

  std::wstring format;
  bool autostart = false;
  bool loop = true;
  bool forward = true;
  bool backAndForth = false;
  std::uint32_t index = 0;
  std::int32_t count = 0;
  std::int32_t span = 30;
};

}  // namespace ui
