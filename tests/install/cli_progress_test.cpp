#include "app/cli/progress_model.h"

#include <gtest/gtest.h>

#include "utils/events.h"

namespace {

TEST(CliProgress, SplitsTheBarBetweenDownloadAndInstallLikeTheWindow) {
  CliProgress p(0.7);
  struct Step {
    std::int32_t code;
    double value;
    int percent;
  };
  const Step steps[] = {
      {DL_CODE_START, 1.0, 0},      {DL_CODE_PROGRESS, 0.5, 35}, {DL_CODE_PROGRESS, 1.0, 70},
      {IST_CODE_START, 0.0, 70},    {IST_CODE_PROGRESS, 0.0, 74},  // 0.7 + 0.3 * 0.15
      {IST_CODE_PROGRESS, 0.0, 78}, {IST_CODE_PROGRESS, 0.9, 97}, {IST_CODE_PROGRESS, 0.0, 98},  // capped 0.95
      {IST_CODE_SUCCESS, 0.0, 100},
  };
  double t = 0.0;
  for (const Step& s : steps) {
    p.OnEvent(s.code, s.value, t += 1.0);
    EXPECT_EQ(p.Percent(), s.percent) << s.code << " " << s.value;
  }
  EXPECT_STREQ(p.Phase(), "done");
}

TEST(CliProgress, SpeedAndTimeLeftFollowThePercentage) {
  CliProgress p(1.0);
  EXPECT_LT(p.SecondsLeft(), 0.0);
  p.OnEvent(DL_CODE_PROGRESS, 0.10, 10.0);
  EXPECT_LT(p.SecondsLeft(), 0.0);  // one point in time: no speed yet
  p.OnEvent(DL_CODE_PROGRESS, 0.20, 10.2);
  EXPECT_EQ(p.PointsPerSecond(), 0.0);  // too short a time to tell
  p.OnEvent(DL_CODE_PROGRESS, 0.30, 20.0);
  EXPECT_DOUBLE_EQ(p.PointsPerSecond(), 2.0);
  EXPECT_DOUBLE_EQ(p.SecondsLeft(), 35.0);
  EXPECT_EQ(FormatDuration(p.SecondsLeft()), "0:35");
  EXPECT_EQ(FormatDuration(-1.0), "--:--");
  EXPECT_NE(p.Bar(10).find(" 30%"), std::string::npos) << p.Bar(10);
  EXPECT_EQ(p.Bar(10).substr(0, 12), "[###.......]");
}

TEST(CliProgress, OutOfRangeValuesStayOnTheBar) {
  CliProgress p(0.7);
  p.OnEvent(DL_CODE_PROGRESS, 7.0, 1.0);
  EXPECT_EQ(p.Percent(), 70);
  p.OnEvent(DL_CODE_PROGRESS, -3.0, 2.0);
  EXPECT_EQ(p.Percent(), 0);
}

}  // namespace
