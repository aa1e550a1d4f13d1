// ChunkPipe: hands a byte stream to a helper thread that consumes it while
// the stream is still arriving, so that the thread receiving the bytes only
// copies them. The digest of a download and the writing of its file both
// run this way (Md5Pipe, FileWriterPipe).
//
// Begin(consumer) starts the helper; Feed() copies bytes into a bounded
// queue (it waits while the queue holds kQueueBytes, so memory stays
// bounded) and returns false once the consumer has failed; Finish() waits
// until everything is consumed and says whether all of it was; Cancel()
// drops what is still queued. One owner thread calls all of these; the
// consumer runs on the helper, which Finish, Cancel and the destructor join.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ChunkPipe {
 public:
  // Consumes one block; false stops the pipe as failed.
  using Consumer = std::function<bool(const std::uint8_t* data, std::size_t length)>;

  static constexpr std::size_t kQueueBytes = 4 * 1024 * 1024;

  ChunkPipe() = default;
  ~ChunkPipe();
  ChunkPipe(const ChunkPipe&) = delete;
  ChunkPipe& operator=(const ChunkPipe&) = delete;

  void Begin(Consumer consumer);
  bool Feed(const void* data, std::size_t length);
  bool Finish();  // false when not begun or the consumer failed
  void Cancel();
  bool Running() const;

 private:
  void Stop(bool keep);
  void Run();

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::vector<std::uint8_t>> m_queue;
  std::size_t m_queued = 0;
  bool m_closing = false;
  bool m_running = false;
  bool m_failed = false;
  bool m_feederWaiting = false;  // Feed sleeps on a full queue
  Consumer m_consumer;
  std::thread m_helper;
};
