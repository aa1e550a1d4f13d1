#include "rules/progress.h"

#include <algorithm>
#include <cmath>

#include "utils/events.h"
#include "utils/integer_format.h"

namespace rules {

namespace {

constexpr std::int64_t kOne = 1000000000;  // 1.0 in billionths
constexpr std::int64_t kSyntheticStep = 150000000;
constexpr std::int64_t kSyntheticCap = 950000000;

// A product of two fractions in billionths is in units of 10^-18; a whole
// percent is 10^16 of those. Both factors are within [0, 10^9], so every
// sum of products used here stays at or below 10^18 < 2^63.
int PercentOfProduct(std::int64_t product) { return static_cast<int>(product / (kOne * kOne / 100)); }

std::int64_t ScaleBillionths(double configured) { return FractionToBillionths(EffectiveDownloadScale(configured)); }

}  // namespace

std::int64_t FractionToBillionths(double fraction) {
  if (std::isnan(fraction)) return 0;
  return std::llround(std::clamp(fraction, 0.0, 1.0) * 1e9);
}

double EffectiveDownloadScale(double configured) {
  if (std::isnan(configured)) return kDefaultDownloadScale;
  return std::clamp(configured, 0.0, 1.0);
}

int DownloadPercent(double value, double configuredScale) {
  return PercentOfProduct(FractionToBillionths(value) * ScaleBillionths(configuredScale));
}

int InstallPhaseProgress::Advance(double reported, double configuredScale) {
  m_syntheticBillionths = std::min(m_syntheticBillionths + kSyntheticStep, kSyntheticCap);
  m_syntheticBillionths = std::max(m_syntheticBillionths, FractionToBillionths(reported));
  const std::int64_t scale = ScaleBillionths(configuredScale);
  return PercentOfProduct((kOne - scale) * m_syntheticBillionths + scale * kOne);
}

std::optional<int> ProgressFigure::OnEvent(std::int32_t code, double value, double configuredScale) {
  switch (code) {
    case DL_CODE_PROGRESS: return DownloadPercent(value, configuredScale);
    case IST_CODE_PROGRESS: return m_install.Advance(value, configuredScale);
    case IST_CODE_SUCCESS: return 100;
    default: return std::nullopt;
  }
}

std::wstring ProgressFormat(const std::wstring& userData, double secondsSinceDownloadStart) {
  if (!userData.empty()) return userData;
  return secondsSinceDownloadStart > 60.0 ? kProgressFormatLong : kProgressFormatShort;
}

std::wstring FormatProgressText(const std::wstring& format, int percent) {
  constexpr std::size_t kMaxChars = 249;  // a 250-character buffer with its terminator
  const auto value = static_cast<std::uint32_t>(std::clamp(percent, 0, 100));
  std::wstring text = Utils::FormatOneInteger(format, value);
  if (text.empty() && !format.empty()) text = Utils::FormatOneInteger(kProgressFormatShort, value);
  if (text.size() > kMaxChars) text.resize(kMaxChars);
  return text;
}

}  // namespace rules
