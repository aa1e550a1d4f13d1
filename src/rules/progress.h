// The installation's progress figure and text, as pure arithmetic shared by
// the window and the headless installer.
//
// The bar is shared between the two phases: the download fills the first
// DownloadScale of it, the installation the rest. Every install-phase event
// moves a synthetic fraction on by 0.15 (up to 0.95) before taking the larger
// of it and the package's own report, so a package that reports nothing
// still shows movement. The fraction is never reset, so a second attempt in
// the same run starts its install phase where the first one stopped.
//
// Untrusted numbers: DownloadScale comes from an INI file or the command
// line and may be anything a double can hold. A NaN share means the default
// 0.7; anything else is clamped to [0, 1]. Event values are clamped to
// [0, 1] (NaN reads as 0), so the percentage is always 0..100 and the text
// never shows a figure from outside that range.
//
// Exactness: every fraction is first rounded to whole billionths, and all
// further arithmetic is on integers, so 0.5 × 0.7 gives 35 % and 0.3 × 0.3
// + 0.7 gives 79 %, as on paper. Multiplying the doubles directly would make
// the figure depend on the FPU and on how 0.7 is stored: i686 builds keep
// x87 extra precision, under which 0.5 × 0.7 × 100 truncates to 34. The only
// values whose rounding can differ between FPUs lie within a few units in
// the last place of a half-billionth, far below what a percent shows.
//
// Pure; one instance per window or run, one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rules {

inline constexpr double kDefaultDownloadScale = 0.7;

// A fraction in whole billionths: clamped to [0, 1] (NaN reads as 0) and
// rounded to the nearest billionth.
std::int64_t FractionToBillionths(double fraction);

// The share the display uses for a configured DownloadScale.
double EffectiveDownloadScale(double configured);

// truncate(value × scale × 100) for a download progress fraction.
int DownloadPercent(double value, double configuredScale);

class InstallPhaseProgress {
 public:
  // One install-phase event with the package's reported fraction; returns
  // truncate(((1 − scale) × v + scale) × 100).
  int Advance(double reported, double configuredScale);
  double Fraction() const { return static_cast<double>(m_syntheticBillionths) / 1e9; }

 private:
  std::int64_t m_syntheticBillionths = 0;
};

// The percentage a driver event puts on the bar, the one mapping of events
// onto the bar: download progress, install progress, and 100 on success.
// Other events leave the bar alone (nullopt). The scale is read per event,
// as the window reads its setting each time.
class ProgressFigure {
 public:
  std::optional<int> OnEvent(std::int32_t code, double value, double configuredScale);
  double InstallFraction() const { return m_install.Fraction(); }

 private:
  InstallPhaseProgress m_install;
};

// The progress label's format: the label's user data when it holds any,
// else the patient wording once the download has run more than 60 seconds.
std::wstring ProgressFormat(const std::wstring& userData, double secondsSinceDownloadStart);

// The format with `percent` as its one integer argument, at most 249
// characters. A format that is not a single integer conversion (a skin's
// user data may hold anything) gives the text of the default format rather
// than reading an argument that is not there.
std::wstring FormatProgressText(const std::wstring& format, int percent);

inline constexpr const wchar_t* kProgressFormatShort = L"正在安装中:%d%%，请稍候...";
inline constexpr const wchar_t* kProgressFormatLong = L"正在安装中:%d%%，请耐心等待...";
// The label's text after an installation failure that had passed 70 %.
inline constexpr const wchar_t* kProgressTextReset = L"正在安装中:0%，请稍候...";

}  // namespace rules
