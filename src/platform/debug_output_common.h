// The sink switch shared by both debug_output implementations; each
// platform file supplies DefaultDebugOutput.
#pragma once

#include <memory>
#include <mutex>
#include <shared_mutex>

#include "platform/debug_output.h"

namespace platform {
namespace internal {

void DefaultDebugOutput(const std::wstring& line);

// Lines are delivered under a shared lock and the sink is swapped under an
// exclusive one, so once SetDebugSink returns the previous sink receives
// nothing more. A sink must therefore not log or swap sinks itself.
class DebugSinkSwitch {
 public:
  void Deliver(const std::wstring& line) {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    if (sink_) {
      sink_(line);
    } else {
      DefaultDebugOutput(line);
    }
  }

  DebugSink Swap(DebugSink sink) {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    DebugSink previous = std::move(sink_);
    sink_ = std::move(sink);
    return previous;
  }

 private:
  std::shared_mutex mutex_;
  DebugSink sink_;
};

inline DebugSinkSwitch& SinkSwitch() {
  // Never destroyed: threads may still log while static objects go away.
  static DebugSinkSwitch* instance = new DebugSinkSwitch();
  return *instance;
}

}  // namespace internal

inline void OutputDebugLineImpl(const std::wstring& line) { internal::SinkSwitch().Deliver(line); }

}  // namespace platform
