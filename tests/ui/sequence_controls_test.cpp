// The animated controls inside a headless main window built from the
// shipped skin: the progress animation's frames, restart and stop, and the
// button's text offset and channel copy.
#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "ui/controls/sequence_label.h"
#include "ui/frame/skin_frame.h"
#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/headless_host.h"
#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/tab_layout.h"
#include "ui_test_support.h"

namespace ui {
namespace {

using test::HeadlessSkinTest;

// A frame that builds the two animated tags, as the main window does.
class AnimatedFrame : public CSkinFrame {
 public:
  AnimatedFrame() : CSkinFrame(MakeSkinSource(L"MainWnd.xml")) {}
  std::unique_ptr<CControl> CreateCustomControl(const std::wstring& tag) override {
    if (EqualsIgnoreCase(tag, L"SequenceLabel")) return std::make_unique<CSequenceLabel>();
    if (EqualsIgnoreCase(tag, L"SequenceButton")) return std::make_unique<CSequenceButton>();
    return nullptr;
  }
};

class SequenceControlsTest : public HeadlessSkinTest {
 protected:
  void SetUp() override {
    HeadlessSkinTest::SetUp();
    ASSERT_TRUE(window_.Create(nullptr, L"Tarnwick", kStyleOverlappedVisible, 0));
    label_ = dynamic_cast<CSequenceLabel*>(window_.FindControl(L"progressAnLb"));
    ASSERT_TRUE(label_);
  }
  std::wstring Shown() const { return label_->GetBkImage().file; }

  AnimatedFrame window_;
  CSequenceLabel* label_ = nullptr;
};

TEST_F(SequenceControlsTest, ProgressAnimationPlaysItsTwentyFiveFramesInALoop) {
  EXPECT_EQ(label_->GetClassName(), L"SequenceLabel");
  EXPECT_EQ(label_->GetCount(), 25);
  EXPECT_EQ(label_->GetSpan(), 30);
  EXPECT_TRUE(label_->IsRunning());  // autostart
  EXPECT_TRUE(Shown().empty());      // nothing before the first tick
  std::vector<std::wstring> frames;
  for (int i = 0; i < 27; ++i) {
    headless::Advance(window_, 30);
    frames.push_back(Shown());
  }
  EXPECT_EQ(frames[0], L"res\\mainWnd\\installBtnAnimate\\000.png");
  EXPECT_EQ(frames[24], L"res\\mainWnd\\installBtnAnimate\\024.png");
  EXPECT_EQ(frames[25], L"res\\mainWnd\\installBtnAnimate\\000.png");
  EXPECT_EQ(frames[26], L"res\\mainWnd\\installBtnAnimate\\001.png");
  // Every frame exists in the skin.
  SkinPackage* package = SkinSystem::CurrentPackage();
  ASSERT_TRUE(package);
  for (int i = 0; i < 25; ++i) EXPECT_TRUE(package->images->Loads(frames[i])) << i;
}

TEST_F(SequenceControlsTest, RestartBeginsAtFrameZeroAndStopKeepsTheFrame) {
  headless::Advance(window_, 30 * 5);
  EXPECT_EQ(Shown(), L"res\\mainWnd\\installBtnAnimate\\004.png");
  label_->Restart();  // the running timer keeps its period
  headless::Advance(window_, 30);
  EXPECT_EQ(Shown(), L"res\\mainWnd\\installBtnAnimate\\000.png");
  label_->Stop();
  EXPECT_FALSE(label_->IsRunning());
  headless::Advance(window_, 300);
  EXPECT_EQ(Shown(), L"res\\mainWnd\\installBtnAnimate\\000.png");
  // The window's own stop through the toolkit works the same way.
  label_->Restart();
  EXPECT_TRUE(label_->KillTimer(CSequenceLabel::kTimerSequence));
  EXPECT_FALSE(label_->IsRunning());
}

TEST_F(SequenceControlsTest, TimerNotificationsStillReachTheWindow) {
  test::Recorder recorder;
  window_.Tree().AddNotifyListener(&recorder);
  headless::Advance(window_, 60);
  window_.Tree().RemoveNotifyListener(&recorder);
  ASSERT_EQ(recorder.seen.size(), 2u);
  EXPECT_EQ(recorder.seen[0].type, L"timer");
  EXPECT_EQ(recorder.seen[0].sender, label_);
  EXPECT_EQ(recorder.seen[0].wParam, 2100u);
}

TEST_F(SequenceControlsTest, DestroyingTheLabelStopsItsTimer) {
  HeadlessHost* host = headless::Host(window_);
  ASSERT_TRUE(host);
  const std::size_t before = host->RunningTimers();
  auto* parent = dynamic_cast<CContainer*>(label_->GetParent());
  ASSERT_TRUE(parent);
  ASSERT_TRUE(parent->Remove(label_));
  EXPECT_EQ(host->RunningTimers(), before - 1);
}

TEST(SequenceButton, AttributesAndDefaults) {
  CSequenceButton button;
  EXPECT_EQ(button.GetClassName(), L"SequenceButton");
  EXPECT_EQ(button.GetSpan(), 60);
  EXPECT_TRUE(button.Animation().backAndForth);
  EXPECT_TRUE(button.SetAttribute(L"sequencecount", L"4"));
  EXPECT_TRUE(button.SetAttribute(L"SEQUENCEROUND", L"false"));
  EXPECT_TRUE(button.SetAttribute(L"text", L"go"));  // the base class's
  EXPECT_FALSE(button.SetAttribute(L"SequenceBkImage", L"x%d.png"));  // exact case only
  EXPECT_TRUE(button.GetFormat().empty());
  EXPECT_EQ(button.GetCount(), 4);
  EXPECT_FALSE(button.Animation().backAndForth);
  EXPECT_EQ(button.GetText(), L"go");
}

TEST(SequenceButton, PushedTextIsDrawnInsideTheOffset) {
  WindowTree tree;
  HeadlessHost host(tree);
  auto owned = std::make_unique<CSequenceButton>();
  CSequenceButton* button = owned.get();
  button->SetText(L"go");
  button->SetPushedTextColor(0xFF112233);
  tree.SetRoot(std::move(owned));
  tree.Layout({0, 0, 100, 40});
  button->SetTextOffset({2, 3, 4, 5});

  test::RecordingPainter plain;
  tree.Paint(plain, {0, 0, 100, 40});
  ASSERT_EQ(plain.texts.size(), 1u);
  EXPECT_EQ(plain.texts[0].rect, (Rect{0, 0, 100, 40}));

  tree.OnButtonDown({10, 10});
  ASSERT_TRUE(button->IsPushed());
  test::RecordingPainter pushed;
  tree.Paint(pushed, {0, 0, 100, 40});
  ASSERT_EQ(pushed.texts.size(), 1u);
  EXPECT_EQ(pushed.texts[0].rect, (Rect{2, 3, 96, 35}));
  EXPECT_EQ(pushed.texts[0].color, 0xFF112233u);
}

TEST(SequenceButton, CopyChannelNeedsEqualSizes) {
  Bitmap mask{2, 1, {1, 2, 3, 4, 5, 6, 7, 8}};
  Bitmap image{2, 1, {0, 0, 0, 0, 0, 0, 0, 0}};
  ASSERT_TRUE(CSequenceButton::CopyChannel(mask, image, 1, 3));  // green into alpha
  EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0, 0, 0, 2, 0, 0, 0, 6}));
  Bitmap other{1, 2, {0, 0, 0, 0, 0, 0, 0, 0}};
  EXPECT_FALSE(CSequenceButton::CopyChannel(mask, other, 0, 3));
  EXPECT_FALSE(CSequenceButton::CopyChannel(mask, image, 0, 4));
}

}  // namespace
}  // namespace ui
