// The headless installer's progress figure, computed the way the installer
// window computes its bar: the download fills the first DownloadScale of the
// bar, the installation the rest, and every install progress event moves the
// install share on by at least 0.15 (capped at 0.95) so a silent package
// still shows movement. Speed and time left come from the percentage's rise
// over time, since the events carry fractions, not bytes.
//
// Pure: the caller passes the time; no clock, no output.
#pragma once

#include <cstdint>
#include <string>

class CliProgress {
 public:
  explicit CliProgress(double downloadScale) : m_downloadScale(downloadScale) {}

  // Applies one driver event at `nowSeconds`. True when the percentage or
  // the phase changed.
  bool OnEvent(std::int32_t code, double value, double nowSeconds);

  int Percent() const { return m_percent; }
  const char* Phase() const { return m_phase; }

  // Percentage points per second since the first progress, 0 before a
  // rise has been seen over at least one second.
  double PointsPerSecond() const;
  // Seconds until 100 % at the current speed; negative when unknown.
  double SecondsLeft() const;

  // "[#########...........]  45%  1.2 %/s  0:37 left  downloading"
  std::string Bar(int width) const;

 private:
  void SetPercent(double fraction, double nowSeconds);

  double m_downloadScale;
  double m_syntheticInstall = 0.0;
  int m_percent = 0;
  const char* m_phase = "starting";
  double m_firstSeconds = -1.0;
  int m_firstPercent = 0;
  double m_lastSeconds = 0.0;
};

// "m:ss", or "--:--" for a negative value.
std::string FormatDuration(double seconds);
