// The progress figure and its text. The cases that x87 extra precision used
// to get wrong (35, 70, 79, 88, 97) are in the tables; the i686 build runs
// them too.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rules/progress.h"
#include "utils/events.h"

namespace {

using namespace rules;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Progress, DownloadShareAndScaleGuards) {
  struct Case {
    double value, scale;
    int percent;
  };
  for (const Case& c : std::vector<Case>{
           // the share, exactly
           {0.0, 0.7, 0}, {0.5, 0.7, 35}, {1.0, 0.7, 70}, {0.999, 0.7, 69}, {1.0, 1.0, 100},
           {0.3, 1.0, 30}, {0.35, 1.0, 35}, {0.57, 1.0, 57}, {0.1 * 3, 1.0, 30}, {0.29, 1.0, 29},
           {0.9999999, 1.0, 99}, {0.88, 1.0, 88}, {0.97, 1.0, 97},
           // a scale from outside [0, 1], NaN meaning the default
           {1.0, 0.0, 0}, {0.5, kNan, 35}, {1.0, 5.0, 100}, {1.0, -3.0, 0}, {1.0, kInf, 100},
           {1.0, -kInf, 0},
           // event values from outside [0, 1]
           {kNan, 0.7, 0}, {7.0, 0.7, 70}, {-1.0, 0.7, 0}, {kInf, 0.7, 70}, {-kInf, 0.7, 0},
           {1e308, 1e308, 100}, {-0.0, 0.7, 0}, {5e-324, 1.0, 0}}) {
    EXPECT_EQ(DownloadPercent(c.value, c.scale), c.percent) << c.value << " x " << c.scale;
  }
}

TEST(Progress, InstallPhaseSequences) {
  struct Case {
    const char* what;
    double scale;
    std::vector<double> reported;
    std::vector<int> shown;
  };
  for (const Case& c : std::vector<Case>{
           {"a silent package climbs to 98", 0.7, {0, 0, 0, 0, 0, 0, 0, 0}, {74, 79, 83, 88, 92, 97, 98, 98}},
           {"the larger of report and step, never back", 0.7, {0.5, 0.1, 1.0, 0.0}, {85, 89, 100, 98}},
           {"a report over the cap", 0.7, {0.97, 0.0}, {99, 98}},
           {"the whole bar to the package", 0.0, {0.0, 0.35, 0.7, 0.88}, {15, 35, 70, 88}},
           {"NaN scale and report", kNan, {kNan, kNan}, {74, 79}},
           {"out-of-range scale and report", 2.0, {42.0, -5.0}, {100, 100}},
           {"infinite report", 0.5, {kInf, -kInf}, {100, 97}}}) {
    SCOPED_TRACE(c.what);
    InstallPhaseProgress progress;
    std::vector<int> shown;
    for (double r : c.reported) shown.push_back(progress.Advance(r, c.scale));
    EXPECT_EQ(shown, c.shown);
  }
  InstallPhaseProgress progress;
  progress.Advance(0.5, 0.7);
  progress.Advance(1.0, 0.7);
  progress.Advance(0.0, 0.7);
  EXPECT_DOUBLE_EQ(progress.Fraction(), 0.95);  // the fraction caps at 0.95 before the max
}

TEST(Progress, FigureMovesOnlyForProgressAndSuccess) {
  ProgressFigure figure;
  EXPECT_EQ(figure.OnEvent(DL_CODE_START, 1.0, 0.7), std::nullopt);
  EXPECT_EQ(figure.OnEvent(DL_CODE_PROGRESS, 0.5, 0.7), 35);
  EXPECT_EQ(figure.OnEvent(DL_CODE_FAIL, -998.0, 0.7), std::nullopt);
  EXPECT_EQ(figure.OnEvent(IST_CODE_PROGRESS, 0.0, 0.7), 74);
  EXPECT_EQ(figure.OnEvent(UNIST_CODE_PROGRESS, 0.5, 0.7), std::nullopt);
  EXPECT_EQ(figure.OnEvent(IST_CODE_SUCCESS, 0.0, 0.7), 100);
  EXPECT_DOUBLE_EQ(figure.InstallFraction(), 0.15);
}

TEST(Progress, FormatChoiceAndText) {
  EXPECT_EQ(ProgressFormat(L"", 0.0), kProgressFormatShort);
  EXPECT_EQ(ProgressFormat(L"", 60.0), kProgressFormatShort);
  EXPECT_EQ(ProgressFormat(L"", 60.5), kProgressFormatLong);
  EXPECT_EQ(ProgressFormat(L"", kNan), kProgressFormatShort);
  EXPECT_EQ(ProgressFormat(L"Installing %d%%", 90.0), L"Installing %d%%");

  struct Case {
    std::wstring format;
    int percent;
    std::wstring text;
  };
  for (const Case& c : std::vector<Case>{
           {kProgressFormatShort, 74, L"正在安装中:74%，请稍候..."},
           {kProgressFormatLong, 5, L"正在安装中:5%，请耐心等待..."},
           {L"%03d", 7, L"007"},
           {L"%d", 250, L"100"},
           {L"%d", -4, L"0"},
           // a format that would read a missing argument falls back to the default
           {L"%s %d", 50, L"正在安装中:50%，请稍候..."},
           {L"%d %d", 50, L"正在安装中:50%，请稍候..."},
           {L"%*d", 50, L"正在安装中:50%，请稍候..."},
           {L"%n", 50, L"正在安装中:50%，请稍候..."},
           {L"no number", 50, L"no number"},
           {L"", 50, L""}}) {
    EXPECT_EQ(FormatProgressText(c.format, c.percent), c.text) << std::string(c.format.begin(), c.format.end());
  }
  EXPECT_EQ(FormatProgressText(std::wstring(400, L'x') + L"%d", 1).size(), 249u);
}

}  // namespace
