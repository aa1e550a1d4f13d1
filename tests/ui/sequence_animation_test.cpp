#include "ui/toolkit/sequence_animation.h"

#include <gtest/gtest.h>

#include <string>

namespace ui {
namespace {

// The frames shown over `ticks` steps, "." for a stop (after which no more
// steps are taken, as the timer is gone).
std::string Play(SequenceAnimation a, int ticks) {
  std::string shown;
  for (int i = 0; i < ticks; ++i) {
    const SequenceAnimation::Step step = a.Advance();
    if (step.kind == SequenceAnimation::StepKind::kStop) return shown + ".";
    if (step.kind == SequenceAnimation::StepKind::kShow) shown += std::to_string(step.frame);
  }
  return shown;
}

SequenceAnimation Make(bool backAndForth, bool loop, int count = 4) {
  SequenceAnimation a = SequenceAnimation::ForLabel();
  a.format = L"f%d.png";
  a.backAndForth = backAndForth;
  a.loop = loop;
  a.count = count;
  return a;
}

TEST(SequenceAnimation, FrameOrders) {
  const struct {
    bool backAndForth;
    bool loop;
    const char* frames;
  } cases[] = {
      {false, true, "012301230123"},
      {false, false, "0123."},
      {true, true, "012321012321"},
      {true, false, "012321."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Play(Make(c.backAndForth, c.loop), 12), c.frames) << c.backAndForth << c.loop;
  }
}

TEST(SequenceAnimation, NothingHappensWithoutAFormat) {
  SequenceAnimation a = Make(false, true);
  a.format.clear();
  EXPECT_EQ(a.Advance().kind, SequenceAnimation::StepKind::kNothing);
  EXPECT_EQ(a.index, 0u);
}

TEST(SequenceAnimation, ACountOfZeroNeverWraps) {
  EXPECT_EQ(Play(Make(false, true, 0), 12), "01234567891011");
}

TEST(SequenceAnimation, RestartKeepsTheDirection) {
  SequenceAnimation a = Make(true, true);
  EXPECT_EQ(Play(a, 0), "");
  for (int i = 0; i < 5; ++i) a.Advance();  // 0 1 2 3 2: now running backward
  EXPECT_FALSE(a.forward);
  a.Restart();
  // Backward at frame 0 turns forward on the next step.
  EXPECT_EQ(Play(a, 5), "01232");
}

TEST(SequenceAnimation, ShippedProgressAnimationRunsFrom000To024) {
  SequenceAnimation a = SequenceAnimation::ForLabel();
  for (const auto& [name, value] : std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{
           {L"sequencebkimage", L"res\\mainWnd\\installBtnAnimate\\%.3d.png"},
           {L"sequencecount", L"25"},
           {L"sequencespan", L"30"},
           {L"sequenceround", L"false"},
           {L"autostart", L"true"}}) {
    EXPECT_TRUE(a.SetAttribute(name, value));
  }
  EXPECT_TRUE(a.loop);
  EXPECT_TRUE(a.autostart);
  EXPECT_EQ(a.span, 30);
  std::vector<std::wstring> names;
  for (int i = 0; i < 26; ++i) names.push_back(a.FrameName(a.Advance().frame));
  EXPECT_EQ(names.front(), L"res\\mainWnd\\installBtnAnimate\\000.png");
  EXPECT_EQ(names[24], L"res\\mainWnd\\installBtnAnimate\\024.png");
  EXPECT_EQ(names[25], L"res\\mainWnd\\installBtnAnimate\\000.png");
}

TEST(SequenceAnimation, AttributeRules) {
  SequenceAnimation a = SequenceAnimation::ForButton();
  EXPECT_TRUE(a.backAndForth);
  EXPECT_EQ(a.span, 60);

  EXPECT_TRUE(a.SetAttribute(L"sequenceloop", L"FALSE"));
  EXPECT_TRUE(a.loop);  // only the exact "false" is false
  EXPECT_TRUE(a.SetAttribute(L"SequenceLoop", L"false"));
  EXPECT_FALSE(a.loop);
  EXPECT_TRUE(a.SetAttribute(L"SEQUENCEROUND", L"no"));
  EXPECT_TRUE(a.backAndForth);
  EXPECT_TRUE(a.SetAttribute(L"autostart", L"false"));
  EXPECT_FALSE(a.autostart);

  EXPECT_FALSE(a.SetAttribute(L"SequenceBkImage", L"x%d.png"));  // exact case only
  EXPECT_TRUE(a.format.empty());
  EXPECT_TRUE(a.SetAttribute(L"sequencebkimage", L"x%d.png"));
  EXPECT_EQ(a.format, L"x%d.png");

  const struct {
    const wchar_t* text;
    int count;
  } counts[] = {{L"25", 25}, {L"25frames", 25}, {L"frames", 0}, {L"", 0}};
  for (const auto& c : counts) {
    a.SetAttribute(L"sequencecount", c.text);
    EXPECT_EQ(a.count, c.count) << c.text;
  }
  EXPECT_FALSE(a.SetAttribute(L"bkimage", L"x.png"));
}

TEST(SequenceAnimation, FrameNamesTakeOneIntegerConversionOnly) {
  const struct {
    const wchar_t* format;
    std::uint32_t frame;
    const wchar_t* name;
  } cases[] = {
      {L"a\\%.3d.png", 7, L"a\\007.png"},
      {L"%03d.png", 24, L"024.png"},
      {L"%d", 123456, L"123456"},
      {L"%u", 0xFFFFFFFFu, L"4294967295"},
      {L"%x", 255, L"ff"},
      {L"100%%_%d", 1, L"100%_1"},
      {L"plain.png", 3, L"plain.png"},
      {L"%s.png", 1, L""},       // would read a string that is not there
      {L"%d_%d.png", 1, L""},    // a second argument that is not there
      {L"%n", 1, L""},
      {L"%*d", 1, L""},
      {L"%", 1, L""},
      {L"%.999999d", 1, L""},    // precision beyond three digits is refused
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SequenceAnimation::FrameName(c.format, c.frame), c.name) << c.format;
  }
  const std::wstring longFormat(400, L'a');
  EXPECT_EQ(SequenceAnimation::FrameName(longFormat + L"%d", 1).size(), 259u);
}

}  // namespace
}  // namespace ui
