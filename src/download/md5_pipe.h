// Md5Pipe: MD5 of a byte stream computed on a helper thread while the
// stream is still arriving, so that verifying a download costs little more
// than the download itself on a machine with a second core.
//
// Begin() starts a digest; Feed() copies bytes into a bounded queue (it
// waits while the queue is full, so memory stays at most kQueueBytes);
// Finish() waits for the helper and returns the 32-character lower-case
// digest; Cancel() drops the digest. One owner thread calls all of these;
// the helper is joined by Finish, Cancel and the destructor.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Md5Pipe {
 public:
  static constexpr std::size_t kQueueBytes = 4 * 1024 * 1024;

  Md5Pipe() = default;
  ~Md5Pipe();
  Md5Pipe(const Md5Pipe&) = delete;
  Md5Pipe& operator=(const Md5Pipe&) = delete;

  void Begin();
  void Feed(const void* data, std::size_t length);
  std::string Finish();  // empty when no digest was begun
  void Cancel();

 private:
  void Stop(bool keep);
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::vector<std::uint8_t>> m_queue;
  std::size_t m_queued = 0;
  bool m_closing = false;
  bool m_running = false;
  std::string m_digest;
  std::thread m_helper;
};
