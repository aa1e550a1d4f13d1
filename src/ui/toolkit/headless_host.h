// HeadlessHost: a WindowHost without a screen, for tests and tools.
//
// Time stands still until Advance() moves the clock; timers then fire in
// time order (ties in the order they were started), each as often as its
// period fits. Posted notifications wait in a queue until DeliverPosted().
// Invalidations, focus changes and window actions are recorded.
//
// Threads: PostNotification and NowMs are safe from any thread; the rest
// belongs to the thread that drives the tree.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "ui/toolkit/window_host.h"

namespace ui {

class WindowTree;

class HeadlessHost : public WindowHost {
 public:
  // Attaches itself to `tree`; detaches in the destructor, so the tree must
  // outlive the host (declare the host after the tree).
  explicit HeadlessHost(WindowTree& tree);
  ~HeadlessHost() override;

  // Moves the clock forward, firing the timers that fall due on the way.
  void Advance(std::uint32_t milliseconds);
  // Delivers the queued notifications, including ones posted meanwhile;
  // returns how many were delivered. At most `limit`, so a handler that
  // keeps re-posting cannot spin for ever.
  int DeliverPosted(int limit = 1000);
  std::size_t PendingPosted();
  bool IsTimerRunning(unsigned key) const { return timers_.count(key) != 0; }
  std::size_t RunningTimers() const { return timers_.size(); }

  int invalidations = 0;
  CControl* focus = nullptr;
  int closeCount = 0;
  int closeResult = 0;
  int minimizeCount = 0;
  int centerCount = 0;

  // WindowHost
  void Invalidate(const Rect& rect) override { ++invalidations; }
  bool StartTimer(unsigned key, unsigned periodMs) override;
  void StopTimer(unsigned key) override;
  void PostNotification(const Notification& notification) override;
  std::uint32_t NowMs() override { return now_.load(); }
  void FocusChanged(CControl* control) override { focus = control; }
  void Close(int result) override;
  void Minimize() override { ++minimizeCount; }
  void Center() override { ++centerCount; }

 private:
  struct Timer {
    unsigned period;
    std::uint64_t due;
    std::uint64_t order;
  };

  WindowTree& tree_;
  std::atomic<std::uint32_t> now_{0};
  std::uint64_t clock_ = 0;
  std::uint64_t startOrder_ = 0;
  std::map<unsigned, Timer> timers_;
  std::mutex queueMutex_;
  std::deque<Notification> queue_;
};

}  // namespace ui
