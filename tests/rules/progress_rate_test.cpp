// Speed and time left from the percentage's rise.
#include <limits>

#include <gtest/gtest.h>

#include "rules/progress_rate.h"

namespace {

using namespace rules;

TEST(ProgressRate, SpeedAndTimeLeftFollowThePercentage) {
  ProgressRate rate;
  EXPECT_EQ(rate.PointsPerSecond(), 0.0);
  EXPECT_LT(rate.SecondsLeft(), 0.0);
  rate.Record(10, 10.0);
  EXPECT_LT(rate.SecondsLeft(), 0.0);  // one point in time: no speed yet
  rate.Record(20, 10.2);
  EXPECT_EQ(rate.PointsPerSecond(), 0.0);  // too short a time to tell
  rate.Record(30, 20.0);
  EXPECT_EQ(rate.PointsPerSecond(), 2.0);
  EXPECT_EQ(rate.SecondsLeft(), 35.0);
  rate.Record(30, 30.0);
  EXPECT_EQ(rate.PointsPerSecond(), 1.0);
  rate.Record(5, 40.0);  // a figure below the base: speed unknown again
  EXPECT_EQ(rate.PointsPerSecond(), 0.0);
  EXPECT_LT(rate.SecondsLeft(), 0.0);
  rate.Record(100, 50.0);
  EXPECT_EQ(rate.SecondsLeft(), 0.0);
}

TEST(ProgressRate, ClockGoingBackOrNotANumberGivesNoSpeed) {
  ProgressRate back;
  back.Record(10, 100.0);
  back.Record(50, 50.0);
  EXPECT_EQ(back.PointsPerSecond(), 0.0);
  ProgressRate nan;
  nan.Record(10, std::numeric_limits<double>::quiet_NaN());
  nan.Record(50, 50.0);
  EXPECT_EQ(nan.PointsPerSecond(), 0.0);
}

TEST(ProgressRate, DurationText) {
  struct Case {
    double seconds;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  for (const Case& c : std::vector<Case>{{0.0, "0:00"},
                                         {35.0, "0:35"},
                                         {59.6, "1:00"},
                                         {3725.0, "62:05"},
                                         {-1.0, "--:--"},
                                         {inf, "--:--"},
                                         {std::numeric_limits<double>::quiet_NaN(), "--:--"},
                                         {1e300, "--:--"}}) {
    EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
  }
}

}  // namespace
