// The line under the progress bar: the download's smoothed speed and time
// left, unknown until they can be known, and the package's own step.
#include "rules/progress_detail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rules {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

TEST(DownloadRate, FiguresAppearOnceASecondHasPassedAndFollowTheSamples) {
  DownloadRate rate;
  EXPECT_EQ(DownloadRateLine(rate), L"");
  rate.Sample(10.0, 0.0, 0.0);
  EXPECT_EQ(DownloadRateLine(rate), L"") << "one sample says nothing";
  rate.Sample(10.5, 0.05, 1 * kMiB);
  EXPECT_EQ(DownloadRateLine(rate), L"") << "half a second is too short to tell";
  rate.Sample(11.0, 0.1, 2 * kMiB);
  EXPECT_DOUBLE_EQ(rate.BytesPerSecond(), 2 * kMiB);
  EXPECT_DOUBLE_EQ(rate.SecondsLeft(), 9.0);
  EXPECT_EQ(DownloadRateLine(rate), L"2.0 MB/s · 剩余 0:09");
}

TEST(DownloadRate, ABurstMovesTheFiguresOnlyPartOfTheWay) {
  DownloadRate rate;
  rate.Sample(0.0, 0.0, 0.0);
  rate.Sample(1.0, 0.01, 1 * kMiB);
  rate.Sample(2.0, 0.11, 11 * kMiB);  // ten times as fast for one second
  const double smoothed = rate.BytesPerSecond() / kMiB;
  EXPECT_GT(smoothed, 1.0);
  EXPECT_LT(smoothed, 5.0);
  rate.Sample(3.0, 0.12, 12 * kMiB);
  EXPECT_LT(rate.BytesPerSecond() / kMiB, smoothed) << "and settles back";
}

TEST(DownloadRate, UnknownPartsStayHidden) {
  struct Case {
    const char* what;
    std::vector<std::vector<double>> samples;  // seconds, fraction, bytes
    const wchar_t* line;
  };
  const std::vector<Case> cases = {
      {"no byte counts: time left only", {{0, 0.0, -1}, {2, 0.5, -1}}, L"剩余 0:02"},
      {"a stalled download: speed, no time left", {{0, 0.5, 100}, {2, 0.5, 100}}, L"0 KB/s"},
      {"slow: kilobytes", {{0, 0.0, 0}, {1, 0.001, 512000}}, L"500 KB/s · 剩余 16:39"},
      {"beyond 100 hours is no estimate", {{0, 0.0, 0}, {10, 0.00001, 10}}, L"0 KB/s"},
      {"an hour and more", {{0, 0.0, 0}, {1, 0.0002, 1048576}}, L"1.0 MB/s · 剩余 83:19"},
      {"a new attempt goes back: forgotten", {{0, 0.0, 0}, {1, 0.5, 5e6}, {2, 0.1, 1e6}}, L""},
      {"not a number is ignored", {{0, 0.0, 0}, {1, NAN, 5e6}}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DownloadRate rate;
    for (const auto& s : c.samples) rate.Sample(s[0], s[1], s[2]);
    EXPECT_EQ(DownloadRateLine(rate), c.line);
  }
}

TEST(DownloadRate, RestartForgetsTheEarlierAttempt) {
  DownloadRate rate;
  rate.Sample(0.0, 0.0, 0.0);
  rate.Sample(1.0, 0.5, 8 * kMiB);
  ASSERT_NE(DownloadRateLine(rate), L"");
  rate.Restart();
  EXPECT_EQ(DownloadRateLine(rate), L"");
  rate.Sample(5.0, 0.6, 9 * kMiB);
  EXPECT_EQ(DownloadRateLine(rate), L"") << "the first sample of the new attempt is only its start";
}

TEST(PackageStepLine, ShowsWhatThePackageReports) {
  EXPECT_EQ(PackageStepLine(0.0), L"");
  EXPECT_EQ(PackageStepLine(NAN), L"");
  EXPECT_EQ(PackageStepLine(0.4), L"安装包进度 40%");
  EXPECT_EQ(PackageStepLine(7.0), L"安装包进度 100%");
}

}  // namespace
}  // namespace rules
