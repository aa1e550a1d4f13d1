// Progress arithmetic of the curl downloaders. Pure.
//
// Progress is evaluated at most once per calendar second, and the figures
// count bytes resumed from earlier attempts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Lets one evaluation through per calendar second. Not thread-safe: the
// segmented downloader calls it under its mutex.
class SecondThrottle {
 public:
  // True when at least one whole second passed since the last true.
  bool Pass(std::int64_t nowSeconds);

 private:
  std::int64_t m_lastSecond = 0;
};

// The single-stream client's percentage. With a known length above 1 MiB it
// counts the resumed prefix; otherwise libcurl's own totals of this attempt.
// nullopt when there is nothing to report (no totals yet, or exactly 0 %).
std::optional<double> TransferPercentage(double fileLength, std::int64_t resumeOffset, std::int64_t downloadedNow,
                                         std::int64_t downloadTotal);

// The segmented downloader's percentage: the bytes of every part on disk
// over the file length. 0 when the length is below 256.
double PartsPercentage(std::int32_t fileLength, const std::vector<std::int64_t>& received);
