#include "download/progress_throttle.h"

bool SecondThrottle::Pass(std::int64_t nowSeconds) {
  if (nowSeconds - m_lastSecond < 1) return false;
  m_lastSecond = nowSeconds;
  return true;
}

std::optional<double> TransferPercentage(double fileLength, std::int64_t resumeOffset, std::int64_t downloadedNow,
                                         std::int64_t downloadTotal) {
  double percentage = 0.0;
  if (fileLength > 1048576.0) {
    // An unreadable partial file (-1) resumed nothing.
    const std::int64_t resumed = resumeOffset > 0 ? resumeOffset : 0;
    percentage = static_cast<double>(downloadedNow + resumed) / fileLength * 100.0;
  } else {
    if (downloadedNow <= 0 || downloadTotal <= 0) return std::nullopt;
    percentage = static_cast<double>(downloadedNow) * 100.0 / static_cast<double>(downloadTotal);
  }
  if (percentage == 0.0) return std::nullopt;
  return percentage;
}

double PartsPercentage(std::int32_t fileLength, const std::vector<std::int64_t>& received) {
  double percentage = 0.0;
  if (fileLength < 256) return percentage;
  for (std::int64_t bytes : received) {
    if (bytes > 0) percentage += static_cast<double>(bytes) * 100.0 / static_cast<double>(fileLength);
  }
  return percentage;
}
