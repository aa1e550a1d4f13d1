// Utils::StopWatch: seconds since Start, from the 32-bit tick count.
//
// The difference is taken as an unsigned 32-bit value, so the tick count's
// wrap after 49.7 days does not disturb a measurement across it. The tick
// source can be replaced (tests). One owner thread.
#pragma once

#include <cstdint>

namespace Utils {

class StopWatch {
 public:
  using TickSource = std::uint32_t (*)();

  // Not running until Start. Uses platform::TickCount32 unless told otherwise.
  StopWatch();
  explicit StopWatch(TickSource ticks);

  void Start();
  void Stop();
  bool IsRunning() const { return running_; }

  // Seconds since Start while running; 0 otherwise.
  float Elapsed() const;

 private:
  TickSource ticks_;
  std::uint32_t startTick_ = 0;
  bool running_ = false;
};

}  // namespace Utils
