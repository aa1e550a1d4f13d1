// Time limits, caps and the pause function of the curl downloaders.
//
// The defaults are the product's values. Tests pass shorter limits so that a
// stalled server ends an attempt in seconds, and a no-op pause so that retry
// budgets run without real sleeping.
#pragma once

#include <cstdint>
#include <functional>

struct DownloadTuning {
  long connectTimeoutSeconds = 60;
  // A transfer slower than lowSpeedLimitBytes per second for the given time
  // ends with libcurl's time-out code (28), which the retry budget handles.
  long lowSpeedLimitBytes = 1;
  long streamLowSpeedSeconds = 60;  // single-stream body transfer
  long partLowSpeedSeconds = 5;     // each part of the segmented download
  // Whole header probe: an accepting but silent server must not hold it.
  long probeTimeoutSeconds = 120;
  // The body may exceed the probed length by this much before the transfer
  // is cut; an endless body must not fill the disk.
  std::int64_t overrunMarginBytes = 1048576;
  // Pause between attempts; null means a real sleep.
  std::function<void(std::uint32_t milliseconds)> sleep;

  void Pause(std::uint32_t milliseconds) const;
};
