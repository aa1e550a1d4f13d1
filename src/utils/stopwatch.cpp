#include "utils/stopwatch.h"

#include "platform/clock.h"

namespace Utils {

StopWatch::StopWatch() : ticks_(&platform::TickCount32) {}

StopWatch::StopWatch(TickSource ticks) : ticks_(ticks ? ticks : &platform::TickCount32) {}

void StopWatch::Start() {
  startTick_ = ticks_();
  running_ = true;
}

void StopWatch::Stop() { running_ = false; }

float StopWatch::Elapsed() const {
  if (!running_) return 0.0f;
  std::uint32_t elapsedMs = static_cast<std::uint32_t>(ticks_() - startTick_);
  return static_cast<float>(elapsedMs) / 1000.0f;
}

}  // namespace Utils
