#include "utils/thread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/process.h"
#include "utils/log.h"

namespace Utils {

// std::thread has no "created suspended", so the worker waits on a latch
// until Resume (or Join, which must not wait on a thread that never runs).
struct Thread::State {
  std::thread worker;
  Function function;
  void* argument = nullptr;
  std::uint32_t id = 0;

  std::mutex mutex;
  std::condition_variable changed;
  bool idKnown = false;
  bool resumed = false;
};

Thread::Thread() = default;

Thread::~Thread() {
  Join();
  name_.clear();
  state_.reset();
}

Thread& Thread::Start(void* argument, const std::wstring& name, Function function) {
  Join();
  auto state = std::make_unique<State>();
  state->function = std::move(function);
  state->argument = argument;
  name_ = name;
  std::string threadName = platform::ToNarrow(name, platform::kCodePageAnsi);

  State* raw = state.get();
  try {
    raw->worker = std::thread([raw, threadName] {
      std::uint32_t id = platform::CurrentThreadId();
      // Named from inside: the POSIX stand-in can only name the calling
      // thread; the Windows naming exception works from any thread.
      SetThreadName(id, threadName.empty() ? "t" + std::to_string(id) : threadName);
      std::unique_lock<std::mutex> lock(raw->mutex);
      raw->id = id;
      raw->idKnown = true;
      raw->changed.notify_all();
      raw->changed.wait(lock, [raw] { return raw->resumed; });
      lock.unlock();
      CallBack(raw);
    });
  } catch (const std::system_error&) {
    // No thread: HasHandle() stays false and the owner's work does not run.
    state_.reset();
    return *this;
  }

  std::unique_lock<std::mutex> lock(raw->mutex);
  raw->changed.wait(lock, [raw] { return raw->idKnown; });
  lock.unlock();
  state_ = std::move(state);
  return *this;
}

void Thread::Resume() {
  if (!state_) return;
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->resumed = true;
  state_->changed.notify_all();
}

void Thread::Join() {
  if (!HasHandle()) return;
  Resume();
  state_->worker.join();
  state_->id = kJoinedId;
}

bool Thread::HasHandle() const { return state_ && state_->worker.joinable(); }

std::uint32_t Thread::Id() const { return state_ ? state_->id : 0; }

void SetThreadName(std::uint32_t threadId, const std::string& name) {
  platform::SetThreadName(threadId, name);
}

void Thread::CallBack(State* state) {
  TW_LOG_TEXT(L"THREAD BEGIN");
  // An empty function is a caller's mistake; running nothing beats a crash.
  if (state->function) state->function(state->argument);
  TW_LOG_TEXT(L"THREAD END");
}

}  // namespace Utils
