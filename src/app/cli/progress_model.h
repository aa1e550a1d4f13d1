// The headless installer's progress line: the bar's figure as the window
// computes it (rules/progress.h), the download's speed and time left from
// the same model the window shows under its bar (rules/progress_detail.h),
// and the phase in words.
//
// Pure: the caller passes the time; no clock, no output.
#pragma once

#include <cstdint>
#include <string>

#include "rules/progress.h"
#include "rules/progress_detail.h"
#include "rules/progress_rate.h"

class CliProgress {
 public:
  explicit CliProgress(double downloadScale) : m_downloadScale(downloadScale) {}

  // Applies one driver event at `nowSeconds`; `receivedBytes` is what the
  // download has on disk (negative: unknown). True when the percentage or
  // the phase changed.
  bool OnEvent(std::int32_t code, double value, double nowSeconds, double receivedBytes = -1.0);

  int Percent() const { return m_rate.Percent(); }
  const char* Phase() const { return m_phase; }
  double PointsPerSecond() const { return m_rate.PointsPerSecond(); }
  double SecondsLeft() const { return m_rate.SecondsLeft(); }

  const rules::DownloadRate& Download() const { return m_download; }

  // "[#########...........]  45%  12.3 MB/s  0:37 left  downloading";
  // speed and time left only while downloading, "--" where unknown.
  std::string Bar(int width) const;

 private:
  double m_downloadScale;
  rules::ProgressFigure m_figure;
  rules::ProgressRate m_rate;
  rules::DownloadRate m_download;
  const char* m_phase = "starting";
};
