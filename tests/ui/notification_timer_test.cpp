#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/toolkit/box_layout.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/headless_host.h"
#include "ui/toolkit/markup_loader.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/window_tree.h"
#include "ui_test_support.h"

namespace ui {
namespace {

const char kMarkup[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,200">
  <VerticalLayout name="root">
    <HorizontalLayout height="40">
      <Button name="go" width="100" text="Go" />
      <Button name="off" width="100" enabled="false" />
      <CheckBox name="agree" width="100" />
    </HorizontalLayout>
    <HorizontalLayout height="40">
      <Option name="a" width="50" group="g" selected="true" />
      <Option name="b" width="50" group="g" />
      <Option name="c" width="50" group="other" />
    </HorizontalLayout>
    <TabLayout name="pages">
      <Container name="p0" />
      <Container name="p1" />
    </TabLayout>
  </VerticalLayout>
</Window>)";

class NotifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadMarkup(kMarkup, tree_, nullptr));
    tree_.AddNotifyListener(&recorder_);
    tree_.Layout({0, 0, 300, 200});
  }
  void Click(Point at) {
    tree_.OnButtonDown(at);
    tree_.OnButtonUp(at);
  }

  TextTable texts_;
  WindowTree tree_{&texts_};
  HeadlessHost host_{tree_};
  test::Recorder recorder_;
};

TEST_F(NotifyTest, ClickReachesListenersOnlyForAPressReleasedOverAnEnabledButton) {
  Click({50, 20});
  ASSERT_EQ(recorder_.seen.size(), 1u);
  EXPECT_EQ(recorder_.seen[0].type, L"click");
  EXPECT_EQ(recorder_.seen[0].sender, tree_.FindControl(L"go"));

  tree_.OnButtonDown({50, 20});
  tree_.OnButtonUp({250, 150});  // released elsewhere: no click
  Click({150, 20});              // disabled
  EXPECT_EQ(recorder_.seen.size(), 1u);

  tree_.FindControl(L"go")->SetVisible(false);
  EXPECT_FALSE(tree_.FindControl(L"go")->Activate());
  EXPECT_EQ(recorder_.seen.size(), 1u);
}

TEST_F(NotifyTest, CheckBoxTogglesAndOptionsOfAGroupExcludeEachOther) {
  auto* agree = dynamic_cast<CCheckBox*>(tree_.FindControl(L"agree"));
  auto* a = dynamic_cast<COption*>(tree_.FindControl(L"a"));
  auto* b = dynamic_cast<COption*>(tree_.FindControl(L"b"));
  auto* c = dynamic_cast<COption*>(tree_.FindControl(L"c"));
  ASSERT_TRUE(agree && a && b && c);
  EXPECT_TRUE(a->IsSelected());  // from markup, without an event
  EXPECT_TRUE(recorder_.seen.empty());

  Click({250, 20});
  EXPECT_TRUE(agree->IsSelected());
  Click({250, 20});
  EXPECT_FALSE(agree->IsSelected());
  EXPECT_EQ(recorder_.Types(),
            (std::vector<std::wstring>{L"click", L"selectchanged", L"click", L"selectchanged"}));

  recorder_.seen.clear();
  b->SetSelected(true);
  EXPECT_FALSE(a->IsSelected());
  c->SetSelected(true);
  EXPECT_TRUE(b->IsSelected());
  // The group is cleared before b reports, so every listener sees one
  // selected option of the group: a off, b on, then c on.
  ASSERT_EQ(recorder_.seen.size(), 3u);
  EXPECT_EQ(recorder_.seen[0].sender, a);
  EXPECT_EQ(recorder_.seen[1].sender, b);

  recorder_.seen.clear();
  b->SetSelected(false, /*raiseEvent=*/false);
  EXPECT_TRUE(recorder_.seen.empty());
}

TEST_F(NotifyTest, TabSelectionRaisesTabselectWithNewAndOldIndex) {
  auto* tab = dynamic_cast<CTabLayout*>(tree_.FindControl(L"pages"));
  ASSERT_TRUE(tab);
  EXPECT_TRUE(tab->SelectItem(1));
  ASSERT_EQ(recorder_.seen.size(), 1u);
  EXPECT_EQ(recorder_.seen[0].type, L"tabselect");
  EXPECT_EQ(recorder_.seen[0].wParam, 1u);
  EXPECT_EQ(recorder_.seen[0].lParam, 0);
  EXPECT_TRUE(tree_.FindControl(L"p1")->IsVisible());
  EXPECT_FALSE(tree_.FindControl(L"p0")->IsVisible());

  EXPECT_TRUE(tab->SelectItem(1));  // already shown: no event
  EXPECT_FALSE(tab->SelectItem(2));
  EXPECT_FALSE(tab->SelectItem(-1));
  EXPECT_TRUE(tab->SelectItem(0, /*raiseEvent=*/false));
  EXPECT_EQ(recorder_.seen.size(), 1u);
  EXPECT_EQ(tab->GetCurSel(), 0);
}

// A listener that selects a page on "tabselect", as the main window's page
// chrome does, must not recurse without end.
TEST_F(NotifyTest, TabselectHandlerThatSelectsPagesTerminates) {
  auto* tab = dynamic_cast<CTabLayout*>(tree_.FindControl(L"pages"));
  struct Reselect : NotifyListener {
    CTabLayout* tab;
    int calls = 0;
    void OnNotification(const Notification& n) override {
      if (n.type == L"tabselect" && ++calls < 100) tab->SelectItem(1);
    }
  } reselect;
  reselect.tab = tab;
  tree_.AddNotifyListener(&reselect);
  tab->SelectItem(1);
  EXPECT_EQ(reselect.calls, 1);
  tree_.RemoveNotifyListener(&reselect);
}

TEST_F(NotifyTest, AListenerRemovedByAnotherDuringDispatchIsNotCalled) {
  auto late = std::make_unique<test::Recorder>();
  struct RemoveOther : NotifyListener {
    WindowTree* tree;
    std::unique_ptr<test::Recorder>* other;
    void OnNotification(const Notification&) override {
      tree->RemoveNotifyListener(other->get());
      other->reset();
    }
  } remover;
  remover.tree = &tree_;
  remover.other = &late;
  tree_.AddNotifyListener(&remover);
  tree_.AddNotifyListener(late.get());
  tree_.SendNotify(nullptr, L"click");
  EXPECT_FALSE(late);
  tree_.RemoveNotifyListener(&remover);
}

TEST_F(NotifyTest, PostedNotificationsWaitForTheQueueAndKeepTheirOrder) {
  host_.Advance(25);
  CControl* root = tree_.GetRoot();
  tree_.PostNotify(root, L"install", 1);
  tree_.PostNotify(root, L"checknet", 0x10000, 7);
  tree_.SendNotify(root, L"now");
  EXPECT_EQ(recorder_.Types(), std::vector<std::wstring>{L"now"});

  EXPECT_EQ(host_.DeliverPosted(), 2);
  ASSERT_EQ(recorder_.seen.size(), 3u);
  EXPECT_EQ(recorder_.seen[1].type, L"install");
  EXPECT_EQ(recorder_.seen[1].wParam, 1u);
  EXPECT_EQ(recorder_.seen[1].timestamp, 25u);
  EXPECT_EQ(recorder_.seen[2].type, L"checknet");
  EXPECT_EQ(recorder_.seen[2].wParam, 0x10000u);
  EXPECT_EQ(recorder_.seen[2].lParam, 7);
  EXPECT_EQ(recorder_.seen[2].sender, root);
}

TEST_F(NotifyTest, PostingFromWorkerThreadsLosesNothing) {
  CControl* root = tree_.GetRoot();
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) tree_.PostNotify(root, L"checknet", static_cast<std::uintptr_t>(t * 100 + i));
    });
  }
  for (auto& w : workers) w.join();
  EXPECT_EQ(host_.DeliverPosted(), 200);
  // Each worker's notifications arrive in the order it posted them.
  std::vector<int> last(4, -1);
  for (const auto& n : recorder_.seen) {
    const int worker = static_cast<int>(n.wParam / 100);
    const int index = static_cast<int>(n.wParam % 100);
    EXPECT_GT(index, last[worker]);
    last[worker] = index;
  }
}

TEST_F(NotifyTest, PostedSenderThatLeftTheWindowArrivesAsNull) {
  auto* row = dynamic_cast<CContainer*>(tree_.FindControl(L"go")->GetParent());
  CControl* go = tree_.FindControl(L"go");
  tree_.PostNotify(go, L"install");
  ASSERT_TRUE(row->Remove(go));
  host_.DeliverPosted();
  ASSERT_EQ(recorder_.seen.size(), 1u);
  EXPECT_EQ(recorder_.seen[0].sender, nullptr);
}

TEST_F(NotifyTest, TimersTickAsTimerNotificationsUntilKilled) {
  CControl* go = tree_.FindControl(L"go");
  CControl* root = tree_.GetRoot();
  ASSERT_TRUE(go->SetTimer(5, 100));
  ASSERT_TRUE(root->SetTimer(10, 250));
  EXPECT_FALSE(go->SetTimer(5, 10));  // running: kept as it is
  host_.Advance(550);
  std::vector<std::pair<CControl*, std::uintptr_t>> ticks;
  std::vector<std::uint32_t> times;
  for (const auto& n : recorder_.seen) {
    EXPECT_EQ(n.type, L"timer");
    ticks.push_back({n.sender, n.wParam});
    times.push_back(n.timestamp);
  }
  const std::vector<std::pair<CControl*, std::uintptr_t>> expectedTicks = {
      {go, 5}, {go, 5}, {root, 10}, {go, 5}, {go, 5}, {go, 5}, {root, 10}};
  EXPECT_EQ(ticks, expectedTicks);
  EXPECT_EQ(times, (std::vector<std::uint32_t>{100, 200, 250, 300, 400, 500, 500}));

  recorder_.seen.clear();
  EXPECT_TRUE(go->KillTimer(5));
  EXPECT_FALSE(go->KillTimer(5));
  host_.Advance(200);  // to 750: the root's tick at 750
  ASSERT_EQ(recorder_.seen.size(), 1u);
  EXPECT_EQ(recorder_.seen[0].sender, root);
}

TEST_F(NotifyTest, ATimerHandlerMayStopItsOwnTimer) {
  CControl* go = tree_.FindControl(L"go");
  struct StopOnTick : NotifyListener {
    int ticks = 0;
    void OnNotification(const Notification& n) override {
      if (n.type == L"timer" && ++ticks == 3) n.sender->KillTimer(static_cast<unsigned>(n.wParam));
    }
  } stopper;
  tree_.AddNotifyListener(&stopper);
  go->SetTimer(1, 10);
  host_.Advance(1000);
  EXPECT_EQ(stopper.ticks, 3);
  EXPECT_EQ(host_.RunningTimers(), 0u);
  tree_.RemoveNotifyListener(&stopper);
}

TEST_F(NotifyTest, RemovedControlsStopTheirTimers) {
  CControl* go = tree_.FindControl(L"go");
  go->SetTimer(1, 10);
  go->SetTimer(2, 10);
  EXPECT_EQ(host_.RunningTimers(), 2u);
  dynamic_cast<CContainer*>(go->GetParent())->Remove(go);
  EXPECT_EQ(host_.RunningTimers(), 0u);
  host_.Advance(100);
  EXPECT_TRUE(recorder_.seen.empty());
}

TEST(WindowTreeWithoutHost, TimersAndPostingFailQuietly) {
  TextTable texts;
  WindowTree tree(&texts);
  ASSERT_TRUE(LoadMarkup(kMarkup, tree, nullptr));
  test::Recorder recorder;
  tree.AddNotifyListener(&recorder);
  EXPECT_FALSE(tree.GetRoot()->SetTimer(1, 10));
  tree.PostNotify(tree.GetRoot(), L"install");
  tree.Close(1);
  EXPECT_TRUE(recorder.seen.empty());
}

TEST_F(NotifyTest, DefaultClicksCloseAndMinimise) {
  auto* row = dynamic_cast<CContainer*>(tree_.FindControl(L"go")->GetParent());
  auto close = std::make_unique<CButton>();
  close->SetName(L"closebtn");
  auto minimize = std::make_unique<CButton>();
  minimize->SetName(L"minbtn");
  CControl* closeBtn = close.get();
  CControl* minBtn = minimize.get();
  row->Add(std::move(close));
  row->Add(std::move(minimize));
  EXPECT_TRUE(tree_.DefaultClick(closeBtn));
  EXPECT_EQ(host_.closeCount, 1);
  EXPECT_EQ(host_.closeResult, 1);
  EXPECT_TRUE(tree_.DefaultClick(minBtn));
  EXPECT_EQ(host_.minimizeCount, 1);
  EXPECT_FALSE(tree_.DefaultClick(tree_.FindControl(L"go")));
  EXPECT_FALSE(tree_.DefaultClick(nullptr));
  EXPECT_EQ(host_.closeCount, 1);
}

TEST_F(NotifyTest, WindowActionsGoThroughTheHost) {
  tree_.Close(1);
  tree_.Minimize();
  tree_.Center();
  EXPECT_EQ(host_.closeCount, 1);
  EXPECT_EQ(host_.closeResult, 1);
  EXPECT_EQ(host_.minimizeCount, 1);
  EXPECT_EQ(host_.centerCount, 1);
  tree_.FindControl(L"go")->SetFocus();
  EXPECT_EQ(host_.focus, tree_.FindControl(L"go"));
  tree_.FindControl(L"go")->SetVisible(false);  // a hidden control gives up the focus
  EXPECT_EQ(host_.focus, nullptr);
}


// A worker may post while the UI thread attaches or detaches the host (a
// window being destroyed): a notification is queued or dropped, never read
// from a half-written pointer.
TEST(WindowTreeHost, DetachingTheHostWhileAWorkerPostsIsSafe) {
  TextTable texts;
  WindowTree tree(&texts);
  HeadlessHost host(tree);
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    for (int i = 0; i < 20000 && !stop; ++i) tree.PostNotify(nullptr, L"checknet", static_cast<std::uintptr_t>(i));
  });
  for (int i = 0; i < 2000; ++i) {
    tree.AttachHost(nullptr);
    tree.AttachHost(&host);
  }
  stop = true;
  worker.join();
  EXPECT_EQ(tree.GetHost(), &host);
  EXPECT_LE(host.PendingPosted(), 20000u);
}

}  // namespace
}  // namespace ui
