// Speed and time left of an installation, from the percentage's rise over
// time: the events carry fractions, not bytes, so the rate is in
// percentage points per second.
//
// The first percentage seen is the base; the speed is the rise since then
// over the time since then, and is unknown (0) until at least one second has
// passed and the figure has risen. Time left is the remaining points at
// that speed.
//
// Pure: the caller passes the time; no clock. One thread.
#pragma once

#include <string>

namespace rules {

class ProgressRate {
 public:
  // Records that the bar shows `percent` (0..100) at `nowSeconds`.
  void Record(int percent, double nowSeconds);

  int Percent() const { return m_percent; }
  // Percentage points per second since the first record; 0 while unknown.
  double PointsPerSecond() const;
  // Seconds until 100 % at the current speed; negative while unknown.
  double SecondsLeft() const;

 private:
  bool m_started = false;
  double m_firstSeconds = 0.0;
  int m_firstPercent = 0;
  double m_lastSeconds = 0.0;
  int m_percent = 0;
};

// "m:ss", or "--:--" for a negative or not finite value.
std::string FormatDuration(double seconds);

}  // namespace rules
