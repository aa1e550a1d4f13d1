// The line under the progress bar: during the download its speed and time
// left ("12.3 MB/s · 剩余 0:42"), during the package's own phase the step
// the package reports ("安装包进度 40%"), nothing when nothing is known.
// The headless installer shows the same figures from the same DownloadRate.
//
// DownloadRate:
// Inputs are the progress events' fractions and, when known, the bytes
// received so far, each with the time it was seen. Raw rates between two
// events jump (progress arrives about once a second and the writes come in
// bursts), so the byte rate and the fraction rate are both smoothed
// exponentially with a time constant of a few seconds; the time left is the
// remaining fraction at the smoothed fraction rate.
//
// Unknown stays unknown rather than guessed: no figure before two samples at
// least a second apart, no speed without byte counts, no time left while the
// fraction does not rise, none beyond 100 hours. A sample that goes
// backwards (a new attempt, a restarted part) starts the figures over.
//
// Pure: the caller passes the time. One instance per display, one thread.
#pragma once

#include <string>

namespace rules {

class DownloadRate {
 public:
  static constexpr double kSmoothingSeconds = 3.0;
  // Rates are taken over at least this much time between two samples.
  static constexpr double kMinSpanSeconds = 1.0;

  // A new attempt: forgets every sample.
  void Restart();
  // One progress report: `fraction` done (0..1), `bytes` received so far
  // (negative: unknown), seen at `nowSeconds`.
  void Sample(double nowSeconds, double fraction, double bytes);

  // Smoothed bytes per second; negative when unknown.
  double BytesPerSecond() const { return m_bytesRate; }
  // Seconds until the download ends at the smoothed rate; negative when
  // unknown.
  double SecondsLeft() const;

 private:
  void Forget();

  bool m_hasAnchor = false;
  double m_anchorSeconds = 0.0;
  double m_anchorFraction = 0.0;
  double m_anchorBytes = -1.0;
  double m_fraction = 0.0;
  double m_fractionRate = -1.0;
  double m_bytesRate = -1.0;
};

// "12.3 MB/s", "850 KB/s" (1 KB = 1024 bytes); empty when unknown.
std::string FormatSpeed(double bytesPerSecond);
// The line under the progress bar: speed and time left ("剩余 m:ss", as
// FormatDuration of progress_rate.h writes it) joined by " · ",
// either alone when the other is unknown, empty when both are.
std::wstring DownloadRateLine(const DownloadRate& rate);
// The package's own reported fraction of its work: "安装包进度 40%"; empty
// before it reports any (its first events carry 0).
std::wstring PackageStepLine(double reported);

}  // namespace rules
