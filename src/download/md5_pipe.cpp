#include "download/md5_pipe.h"

#include <cstring>

#include "download/md5.h"

Md5Pipe::~Md5Pipe() { Cancel(); }

void Md5Pipe::Begin() {
  Cancel();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_queue.clear();
  m_queued = 0;
  m_closing = false;
  m_digest.clear();
  m_running = true;
  m_helper = std::thread([this] { Run(); });
}

void Md5Pipe::Feed(const void* data, std::size_t length) {
  if (length == 0) return;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_running) return;
  m_changed.wait(lock, [this, length] { return m_queued == 0 || m_queued + length <= kQueueBytes; });
  // Small writes are gathered into one block, so the helper wakes less often.
  if (!m_queue.empty() && m_queue.back().size() + length <= 256 * 1024) {
    m_queue.back().insert(m_queue.back().end(), bytes, bytes + length);
  } else {
    m_queue.emplace_back(bytes, bytes + length);
  }
  m_queued += length;
  m_changed.notify_all();
}

std::string Md5Pipe::Finish() {
  Stop(/*keep=*/true);
  return m_digest;
}

void Md5Pipe::Cancel() {
  Stop(/*keep=*/false);
  m_digest.clear();
}

void Md5Pipe::Stop(bool keep) {
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
}

void Md5Pipe::Run() {
  Md5Context context;
  Md5Init(&context);
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return !m_queue.empty() || m_closing; });
    if (m_queue.empty()) break;
    // The block being hashed is taken off the queue but still counts
    // against the limit until it is done.
    std::vector<std::uint8_t> block = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    Md5Update(&context, block.data(), block.size());
    lock.lock();
    m_queued -= block.size();
    m_changed.notify_all();
  }
  Md5Final(&context);
  m_digest = Md5Hex(context.digest);
}
