// Utils::Thread: one worker thread that runs one function once.
//
// Start creates the thread suspended, names it, and returns; the owner then
// calls Resume. The routine
// logs "THREAD BEGIN", calls the function with the argument, and logs
// "THREAD END". Join waits without limit; the destructor joins too, so a
// Thread that was started but never resumed is resumed by Join rather than
// blocking forever.
//
// Threads: Start, Resume, Join and the destructor belong to the owner's
// thread; never Join from the worker itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Utils {

class Thread {
 public:
  using Function = std::function<void(void* argument)>;

  Thread();
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Creates the thread suspended and names it `name` (converted to the ANSI
  // code page), or "t<id>" when `name` is empty; Id() is known when it
  // returns. A thread started earlier by this object is joined first.
  // Returns *this. HasHandle() is false when no thread could be created.
  Thread& Start(void* argument, const std::wstring& name, Function function);

  // Lets a started thread run. No effect when there is none or it runs.
  void Resume();

  // Waits until the thread has ended; afterwards HasHandle() is false and
  // Id() is 0xFFFFFFFF. No effect without a thread.
  void Join();

  bool HasHandle() const;
  std::uint32_t Id() const;  // the OS thread id, as the log lines show it
  const std::wstring& Name() const { return name_; }

  static constexpr std::uint32_t kJoinedId = 0xFFFFFFFF;

 private:
  struct State;
  // The routine of every worker: logs, runs the function, logs.
  static void CallBack(State* state);

  std::unique_ptr<State> state_;
  std::wstring name_;
};

// Names a thread for an attached debugger; without one nothing happens.
void SetThreadName(std::uint32_t threadId, const std::string& name);

}  // namespace Utils
