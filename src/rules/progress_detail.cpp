#include "rules/progress_detail.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "rules/progress_rate.h"

namespace rules {
namespace {

constexpr double kMaxSecondsLeft = 100.0 * 3600.0;

// Moves `smoothed` towards `sample` by the share that `span` seconds earn
// against the smoothing time; the first sample is taken as it is.
double Smooth(double smoothed, double sample, double span) {
  if (smoothed < 0.0) return sample;
  const double weight = 1.0 - std::exp(-span / DownloadRate::kSmoothingSeconds);
  return smoothed + weight * (sample - smoothed);
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

void DownloadRate::Restart() {
  Forget();
  m_fraction = 0.0;
}

void DownloadRate::Forget() {
  m_hasAnchor = false;
  m_fractionRate = -1.0;
  m_bytesRate = -1.0;
}

void DownloadRate::Sample(double nowSeconds, double fraction, double bytes) {
  if (!std::isfinite(nowSeconds) || std::isnan(fraction)) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (!std::isfinite(bytes)) bytes = -1.0;
  const bool backwards = m_hasAnchor && (fraction < m_anchorFraction || nowSeconds < m_anchorSeconds ||
                                         (bytes >= 0.0 && m_anchorBytes >= 0.0 && bytes < m_anchorBytes));
  if (backwards) Forget();
  m_fraction = fraction;
  if (!m_hasAnchor) {
    m_hasAnchor = true;
    m_anchorSeconds = nowSeconds;
    m_anchorFraction = fraction;
    m_anchorBytes = bytes;
    return;
  }
  const double span = nowSeconds - m_anchorSeconds;
  if (span < kMinSpanSeconds) return;  // the anchor waits for a wider span
  m_fractionRate = Smooth(m_fractionRate, (fraction - m_anchorFraction) / span, span);
  if (bytes >= 0.0 && m_anchorBytes >= 0.0) {
    m_bytesRate = Smooth(m_bytesRate, (bytes - m_anchorBytes) / span, span);
  } else {
    m_bytesRate = -1.0;
  }
  m_anchorSeconds = nowSeconds;
  m_anchorFraction = fraction;
  m_anchorBytes = bytes;
}

double DownloadRate::SecondsLeft() const {
  if (m_fractionRate <= 0.0) return -1.0;
  const double left = (1.0 - m_fraction) / m_fractionRate;
  return left <= kMaxSecondsLeft ? left : -1.0;
}

std::string FormatSpeed(double bytesPerSecond) {
  if (bytesPerSecond < 0.0 || !std::isfinite(bytesPerSecond)) return std::string();
  char text[32];
  const double kib = bytesPerSecond / 1024.0;
  if (kib < 1000.0) {
    std::snprintf(text, sizeof text, "%.0f KB/s", kib);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB/s", kib / 1024.0);
  }
  return text;
}

std::wstring DownloadRateLine(const DownloadRate& rate) {
  const std::wstring speed = Widen(FormatSpeed(rate.BytesPerSecond()));
  const double seconds = rate.SecondsLeft();
  const std::wstring timeLeft = seconds < 0.0 ? std::wstring() : L"剩余 " + Widen(FormatDuration(seconds));
  if (speed.empty()) return timeLeft;
  if (timeLeft.empty()) return speed;
  return speed + L" · " + timeLeft;
}

std::wstring PackageStepLine(double reported) {
  if (!(reported > 0.0)) return std::wstring();
  const int percent = static_cast<int>(std::min(reported, 1.0) * 100.0);
  return L"安装包进度 " + std::to_wstring(percent) + L"%";
}

}  // namespace rules
