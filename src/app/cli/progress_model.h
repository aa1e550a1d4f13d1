// The headless installer's progress line: the bar's figure as the window
// computes it (rules/progress.h), its speed and time left
// (rules/progress_rate.h), and the phase in words.
//
// Pure: the caller passes the time; no clock, no output.
#pragma once

#include <cstdint>
#include <string>

#include "rules/progress.h"
#include "rules/progress_rate.h"

class CliProgress {
 public:
  explicit CliProgress(double downloadScale) : m_downloadScale(downloadScale) {}

  // Applies one driver event at `nowSeconds`. True when the percentage or
  // the phase changed.
  bool OnEvent(std::int32_t code, double value, double nowSeconds);

  int Percent() const { return m_rate.Percent(); }
  const char* Phase() const { return m_phase; }
  double PointsPerSecond() const { return m_rate.PointsPerSecond(); }
  double SecondsLeft() const { return m_rate.SecondsLeft(); }

  // "[#########...........]  45%  1.2 %/s  0:37 left  downloading"
  std::string Bar(int width) const;

 private:
  double m_downloadScale;
  rules::ProgressFigure m_figure;
  rules::ProgressRate m_rate;
  const char* m_phase = "starting";
};
