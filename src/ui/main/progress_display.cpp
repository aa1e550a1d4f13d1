#include "ui/main/progress_display.h"

#include <algorithm>
#include <cmath>

#include "ui/toolkit/sequence_animation.h"

namespace mainwnd {

namespace {

double ClampFraction(double value) {
  if (std::isnan(value)) return 0.0;
  return std::clamp(value, 0.0, 1.0);
}

int TruncatePercent(double fraction) {
  // The fraction is within [0, 1] here, so the product fits an int.
  return static_cast<int>(ClampFraction(fraction) * 100.0);
}

}  // namespace

double EffectiveDownloadScale(double configured) {
  if (std::isnan(configured)) return kDefaultDownloadScale;
  return std::clamp(configured, 0.0, 1.0);
}

int DownloadPercent(double value, double configuredScale) {
  return TruncatePercent(ClampFraction(value) * EffectiveDownloadScale(configuredScale));
}

int InstallPhaseProgress::Advance(double reported, double configuredScale) {
  m_syntheticProgress = std::min(m_syntheticProgress + 0.15, 0.95);
  m_syntheticProgress = std::max(m_syntheticProgress, ClampFraction(reported));
  const double scale = EffectiveDownloadScale(configuredScale);
  return TruncatePercent((1.0 - scale) * m_syntheticProgress + scale);
}

std::wstring ProgressFormat(const std::wstring& userData, double secondsSinceDownloadStart) {
  if (!userData.empty()) return userData;
  return secondsSinceDownloadStart > 60.0 ? kProgressFormatLong : kProgressFormatShort;
}

std::wstring FormatProgressText(const std::wstring& format, int percent) {
  constexpr std::size_t kMaxChars = 249;  // a 250-character buffer with its terminator
  const auto value = static_cast<std::uint32_t>(std::clamp(percent, 0, 100));
  // The toolkit's frame-name formatter is the project's one printf for a
  // single integer that refuses every other conversion.
  std::wstring text = ui::SequenceAnimation::FrameName(format, value);
  if (text.empty() && !format.empty()) text = ui::SequenceAnimation::FrameName(kProgressFormatShort, value);
  if (text.size() > kMaxChars) text.resize(kMaxChars);
  return text;
}

}  // namespace mainwnd
