// Time limits, caps and the pause function of the curl downloaders.
//
// The defaults are the product's values. Tests pass shorter limits so that a
// stalled server ends an attempt in seconds, and a no-op pause so that retry
// budgets run without real sleeping.
#pragma once

#include <cstdint>
#include <functional>

// The limits bound how long a server that never answers keeps the user
// waiting: at most about 30 s per attempt (connect, the whole header probe,
// or a stalled body), and the single-stream downloader gives up once its
// silent attempts add up to silentServerLimitSeconds, well within five
// minutes in all.
struct DownloadTuning {
  long connectTimeoutSeconds = 30;
  // A transfer slower than lowSpeedLimitBytes per second for the given time
  // ends with libcurl's time-out code (28), which the retry budget handles.
  long lowSpeedLimitBytes = 1;
  long streamLowSpeedSeconds = 30;  // single-stream body transfer
  long partLowSpeedSeconds = 5;     // each part of the segmented download
  // Whole header probe: an accepting but silent server must not hold it.
  long probeTimeoutSeconds = 30;
  // Time of attempts that got no answer at all, summed over one run.
  double silentServerLimitSeconds = 150.0;
  // The body may exceed the probed length by this much before the transfer
  // is cut; an endless body must not fill the disk.
  std::int64_t overrunMarginBytes = 1048576;
  // Pause between attempts; null means a real sleep.
  std::function<void(std::uint32_t milliseconds)> sleep;

  void Pause(std::uint32_t milliseconds) const;
};
