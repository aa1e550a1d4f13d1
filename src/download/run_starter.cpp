#include "download/run_starter.h"

#include <utility>

namespace {
thread_local const RunStarter* t_currentStarter = nullptr;
}

RunStarter::ThreadMark::ThreadMark(const RunStarter* starter) : m_previous(t_currentStarter) {
  t_currentStarter = starter;
}

RunStarter::ThreadMark::~ThreadMark() { t_currentStarter = m_previous; }

RunStarter::RunStarter(std::function<void()> joinRun, std::function<void()> launch)
    : m_joinRun(std::move(joinRun)), m_launch(std::move(launch)) {}

RunStarter::~RunStarter() { Stop(); }

bool RunStarter::OnOwnThread() const { return t_currentStarter == this; }

void RunStarter::Start() {
  std::thread previous;
  {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (m_stopped) return;
    if (OnOwnThread() && m_restartPending) return;  // one restart is already on its way
    previous = std::move(m_helper);
    if (OnOwnThread()) m_restartPending = true;
  }
  // An earlier helper only waits for an earlier run, never for this thread.
  if (previous.joinable()) previous.join();

  if (OnOwnThread()) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    // Stop() sets m_stopped before it takes m_helper, so a helper made here
    // is always seen and joined by it.
    if (m_stopped) {
      m_restartPending = false;
      return;
    }
    m_helper = std::thread([this] { RestartFromHelper(); });
    return;
  }

  std::lock_guard<std::mutex> run(m_runMutex);
  m_joinRun();
  {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (m_stopped) return;
  }
  m_launch();
}

void RunStarter::RestartFromHelper() {
  std::lock_guard<std::mutex> run(m_runMutex);
  m_joinRun();
  bool stopped;
  {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    stopped = m_stopped;
    m_restartPending = false;
  }
  if (!stopped) m_launch();
}

void RunStarter::Stop() {
  std::thread helper;
  {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_stopped = true;
    helper = std::move(m_helper);
  }
  if (helper.joinable()) helper.join();
  std::lock_guard<std::mutex> run(m_runMutex);
  m_joinRun();
}
