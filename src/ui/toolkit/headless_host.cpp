#include "ui/toolkit/headless_host.h"

#include "ui/toolkit/window_tree.h"

namespace ui {

HeadlessHost::HeadlessHost(WindowTree& tree) : tree_(tree) { tree_.AttachHost(this); }

HeadlessHost::~HeadlessHost() {
  if (tree_.GetHost() == this) tree_.AttachHost(nullptr);
}

bool HeadlessHost::StartTimer(unsigned key, unsigned periodMs) {
  // A zero period would fire without end inside one Advance; like the system
  // timer, it is raised to the smallest step.
  const unsigned period = periodMs == 0 ? 1 : periodMs;
  timers_[key] = Timer{period, clock_ + period, startOrder_++};
  return true;
}

void HeadlessHost::StopTimer(unsigned key) { timers_.erase(key); }

void HeadlessHost::Advance(std::uint32_t milliseconds) {
  const std::uint64_t end = clock_ + milliseconds;
  for (;;) {
    // The next due timer; a handler may start or stop timers, so the map is
    // searched afresh after every tick.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due > end) continue;
      if (next == timers_.end() || it->second.due < next->second.due ||
          (it->second.due == next->second.due && it->second.order < next->second.order)) {
        next = it;
      }
    }
    if (next == timers_.end()) break;
    clock_ = next->second.due;
    now_.store(static_cast<std::uint32_t>(clock_));
    next->second.due += next->second.period;
    tree_.OnHostTimer(next->first);
  }
  clock_ = end;
  now_.store(static_cast<std::uint32_t>(clock_));
}

void HeadlessHost::PostNotification(const Notification& notification) {
  std::lock_guard<std::mutex> lock(queueMutex_);
  queue_.push_back(notification);
}

std::size_t HeadlessHost::PendingPosted() {
  std::lock_guard<std::mutex> lock(queueMutex_);
  return queue_.size();
}

int HeadlessHost::DeliverPosted(int limit) {
  int delivered = 0;
  while (delivered < limit) {
    Notification n;
    {
      std::lock_guard<std::mutex> lock(queueMutex_);
      if (queue_.empty()) break;
      n = queue_.front();
      queue_.pop_front();
    }
    tree_.DeliverPosted(n);
    ++delivered;
  }
  return delivered;
}

void HeadlessHost::Close(int result) {
  ++closeCount;
  closeResult = result;
}

}  // namespace ui
