#include "app/cli/progress_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "utils/events.h"

bool CliProgress::OnEvent(std::int32_t code, double value, double nowSeconds) {
  int before = m_percent;
  const char* phaseBefore = m_phase;
  switch (code) {
    case UNIST_CODE_PROGRESS: m_phase = "removing the earlier installation"; break;
    case DL_CODE_START: m_phase = "downloading"; break;
    case DL_CODE_PROGRESS:
      m_phase = "downloading";
      SetPercent(std::clamp(value, 0.0, 1.0) * m_downloadScale, nowSeconds);
      break;
    case IST_CODE_START: m_phase = "installing"; break;
    case IST_CODE_PROGRESS: {
      m_phase = "installing";
      m_syntheticInstall = std::min(m_syntheticInstall + 0.15, 0.95);
      m_syntheticInstall = std::max(m_syntheticInstall, std::clamp(value, 0.0, 1.0));
      SetPercent((1.0 - m_downloadScale) * m_syntheticInstall + m_downloadScale, nowSeconds);
      break;
    }
    case IST_CODE_SUCCESS:
      m_phase = "done";
      SetPercent(1.0, nowSeconds);
      break;
    default: break;
  }
  return m_percent != before || m_phase != phaseBefore;
}

void CliProgress::SetPercent(double fraction, double nowSeconds) {
  int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
  if (m_firstSeconds < 0.0) {
    m_firstSeconds = nowSeconds;
    m_firstPercent = percent;
  }
  m_percent = percent;
  m_lastSeconds = nowSeconds;
}

double CliProgress::PointsPerSecond() const {
  double elapsed = m_lastSeconds - m_firstSeconds;
  // Below a second the rise says nothing yet: two events in a row would
  // give absurd speeds.
  if (m_firstSeconds < 0.0 || elapsed < 1.0 || m_percent <= m_firstPercent) return 0.0;
  return (m_percent - m_firstPercent) / elapsed;
}

double CliProgress::SecondsLeft() const {
  double speed = PointsPerSecond();
  if (speed <= 0.0) return -1.0;
  return (100 - m_percent) / speed;
}

std::string FormatDuration(double seconds) {
  if (seconds < 0.0 || !std::isfinite(seconds)) return "--:--";
  long total = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

std::string CliProgress::Bar(int width) const {
  int filled = width * m_percent / 100;
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(width - filled), '.') + "]";
  char text[160];
  std::snprintf(text, sizeof text, " %3d%%  %5.1f %%/s  %s left  %s", m_percent, PointsPerSecond(),
                FormatDuration(SecondsLeft()).c_str(), m_phase);
  return bar + text;
}
