// The progress page's figure and text, as pure arithmetic.
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
// Pure; one instance per window, UI thread.
#pragma once

#include <cstdint>
#include <string>

namespace mainwnd {

inline constexpr double kDefaultDownloadScale = 0.7;

// The share the display uses for a configured DownloadScale.
double EffectiveDownloadScale(double configured);

// truncate(value × scale × 100) for a download progress fraction.
int DownloadPercent(double value, double configuredScale);

class InstallPhaseProgress {
 public:
  // One install-phase event with the package's reported fraction; returns
  // truncate(((1 − scale) × v + scale) × 100).
  int Advance(double reported, double configuredScale);
  double Fraction() const { return m_syntheticProgress; }

 private:
  double m_syntheticProgress = 0.0;
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

}  // namespace mainwnd
