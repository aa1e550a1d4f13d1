// RunStarter: the Start() of a downloader, safe from any thread, including
// the downloader's own threads (the driver answers DL_CODE_RETRY with
// Start() from inside the callback, that is on the thread that reports).
//
// A start from outside waits for the previous run's threads (joinRun) and
// then launches the new run (launch). A start from one of the run's own
// threads cannot wait for itself: it hands both steps to a short-lived
// helper thread that the starter owns, so the new run begins only after
// the old one has fully ended.
//
// The owner's threads declare themselves with a ThreadMark. Stop() (called
// by the owner's destructor after raising its abort flags) refuses further
// starts, joins the helper and the last run; nothing outlives the owner.
// joinRun and launch always run under one lock, never concurrently.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

class RunStarter {
 public:
  RunStarter(std::function<void()> joinRun, std::function<void()> launch);
  ~RunStarter();
  RunStarter(const RunStarter&) = delete;
  RunStarter& operator=(const RunStarter&) = delete;

  void Start();
  void Stop();

  // True on a thread that carries this starter's mark.
  bool OnOwnThread() const;

  // Marks the current thread as one of the owner's for its lifetime.
  class ThreadMark {
   public:
    explicit ThreadMark(const RunStarter* starter);
    ~ThreadMark();
    ThreadMark(const ThreadMark&) = delete;
    ThreadMark& operator=(const ThreadMark&) = delete;

   private:
    const RunStarter* m_previous;
  };

 private:
  void RestartFromHelper();

  std::function<void()> m_joinRun;
  std::function<void()> m_launch;
  std::mutex m_runMutex;    // serialises joinRun + launch
  std::mutex m_stateMutex;  // guards m_helper, m_stopped, m_restartPending
  std::thread m_helper;
  bool m_stopped = false;
  bool m_restartPending = false;
};
