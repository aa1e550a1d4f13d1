#include "rules/progress_rate.h"

#include <cmath>
#include <cstdio>

namespace rules {

void ProgressRate::Record(int percent, double nowSeconds) {
  if (!m_started) {
    m_started = true;
    m_firstSeconds = nowSeconds;
    m_firstPercent = percent;
  }
  m_percent = percent;
  m_lastSeconds = nowSeconds;
}

double ProgressRate::PointsPerSecond() const {
  const double elapsed = m_lastSeconds - m_firstSeconds;
  // Below a second the rise says nothing yet: two events in a row would
  // give absurd speeds.
  if (!m_started || !(elapsed >= 1.0) || m_percent <= m_firstPercent) return 0.0;
  return (m_percent - m_firstPercent) / elapsed;
}

double ProgressRate::SecondsLeft() const {
  const double speed = PointsPerSecond();
  if (speed <= 0.0) return -1.0;
  return (100 - m_percent) / speed;
}

std::string FormatDuration(double seconds) {
  // Beyond a year the figure means nothing, and lround could overflow.
  if (!(seconds >= 0.0) || seconds > 86400.0 * 365) return "--:--";
  const long total = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace rules
