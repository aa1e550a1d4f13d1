#include "download/chunk_pipe.h"

#include <utility>

ChunkPipe::~ChunkPipe() { Cancel(); }

void ChunkPipe::Begin(Consumer consumer) {
  Cancel();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_queue.clear();
  m_queued = 0;
  m_closing = false;
  m_failed = false;
  m_consumer = std::move(consumer);
  m_running = true;
  m_helper = std::thread([this] { Run(); });
}

bool ChunkPipe::Feed(const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_running || m_failed) return false;
  if (length == 0) return true;
  if (!(m_queued == 0 || m_queued + length <= kQueueBytes)) {
    m_feederWaiting = true;
    m_changed.wait(lock, [this, length] { return m_failed || m_queued == 0 || m_queued + length <= kQueueBytes; });
    m_feederWaiting = false;
  }
  if (m_failed) return false;
  // Small writes are gathered into one block, so the helper wakes less often;
  // it sleeps only on an empty queue, so only that case needs a wake-up.
  // (Every wake-up is a system call, and under Wine a server round trip.)
  const bool wasEmpty = m_queue.empty();
  if (!wasEmpty && m_queue.back().size() + length <= 256 * 1024) {
    m_queue.back().insert(m_queue.back().end(), bytes, bytes + length);
  } else {
    m_queue.emplace_back(bytes, bytes + length);
  }
  m_queued += length;
  if (wasEmpty) m_changed.notify_all();
  return true;
}

bool ChunkPipe::Finish() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_running) return false;
  }
  Stop(/*keep=*/true);
  std::lock_guard<std::mutex> lock(m_mutex);
  return !m_failed;
}

void ChunkPipe::Cancel() { Stop(/*keep=*/false); }

bool ChunkPipe::Running() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_running;
}

void ChunkPipe::Stop(bool keep) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_running) return;
    m_closing = true;
    if (!keep) {
      // A block the helper holds right now is still counted; it subtracts it.
      for (const auto& block : m_queue) m_queued -= block.size();
      m_queue.clear();
    }
    m_changed.notify_all();
  }
  m_helper.join();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_running = false;
  m_consumer = nullptr;
}

void ChunkPipe::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return !m_queue.empty() || m_closing; });
    if (m_queue.empty()) break;
    // The block being consumed is taken off the queue but still counts
    // against the limit until it is done.
    std::vector<std::uint8_t> block = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    const bool ok = m_consumer(block.data(), block.size());
    lock.lock();
    m_queued -= block.size();
    if (!ok) {
      // Nothing more is consumed; the feeder learns it at its next Feed.
      m_failed = true;
      for (const auto& rest : m_queue) m_queued -= rest.size();
      m_queue.clear();
    }
    if (m_feederWaiting || m_failed) m_changed.notify_all();
  }
}
