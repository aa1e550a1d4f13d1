// Test support for the download engine: the loopback test server that the
// ctest fixture started (its port file lies next to the test program), a
// scratch folder per test, and a recorder of downloader events.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "utils/events.h"

struct ServerStats {
  int head = 0;
  int get = 0;
  std::vector<std::string> ranges;  // Range header of each GET ("" when none)
};

// Fails (not skips) when the server is not running: a missing fixture is a
// broken test setup, never a pass.
class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // "http://127.0.0.1:<port>" + path, narrow and wide.
  std::string NarrowUrl(const std::string& path) const;
  std::wstring Url(const std::string& path) const;
  // A key for the server's counters, unique to this test and call.
  std::string Key();
  ServerStats Stats(const std::string& key) const;

  // A path in this test's scratch folder (removed with what the download
  // engine leaves there: the file, ".part", "_0", "_1").
  std::wstring PathIn(const std::wstring& name);
  static std::string ReadAll(const std::wstring& path);
  static void WriteAll(const std::wstring& path, const std::string& bytes);
  // The server's body of `size` bytes, as its MD5.
  std::string BodyMd5(std::int64_t size) const;

  int port_ = 0;
  std::wstring folder_;
  std::vector<std::wstring> names_;
  int keys_ = 0;
};

struct RecordedEvent {
  std::int32_t code;
  double value;
  std::wstring text;
};

// The codes of `events` without PROGRESS and STATUS (how many of those come
// depends on timing and on the attempts; StatusesOf gives the latter).
std::vector<std::int32_t> CodesOf(const std::vector<RecordedEvent>& events);
std::vector<RecordedEvent> StatusesOf(const std::vector<RecordedEvent>& events);

// Collects events from any thread. With `onRetry` set, a RETRY is answered
// the way the install driver answers it: by calling Start() again from
// inside the callback.
class EventRecorder {
 public:
  EventCallback Callback();
  void OnRetry(std::function<void()> restart) { onRetry_ = std::move(restart); }

  // Waits (bounded: a hang fails the test instead of blocking ctest) until
  // `count` events that end a run (SUCCESS, FAIL, RETRY) have arrived.
  bool WaitForEnds(int count = 1, int seconds = 180);
  // Waits (bounded) until an event with `code` has arrived.
  bool WaitForCode(std::int32_t code, int seconds = 60);
  std::vector<RecordedEvent> Events() const;
  // The codes without PROGRESS and STATUS.
  std::vector<std::int32_t> Codes() const;
  std::vector<double> ProgressValues() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<RecordedEvent> events_;
  int ends_ = 0;
  std::function<void()> onRetry_;
};

// Runs `downloader` (made with `events`' callback) until `ends` runs have
// ended, restarting it on RETRY from inside the callback as the install
// driver does, then destroys it and returns what it reported.
template <typename Downloader>
std::vector<RecordedEvent> RunToEnd(EventRecorder& events, std::unique_ptr<Downloader> downloader, int ends,
                                    bool restartOnRetry = true) {
  Downloader* raw = downloader.get();
  if (restartOnRetry) events.OnRetry([raw] { raw->Start(); });
  downloader->Start();
  EXPECT_TRUE(events.WaitForEnds(ends)) << "no end of run";
  downloader.reset();
  return events.Events();
}

// Pauses counted instead of slept.
struct PauseCounter {
  std::mutex mutex;
  std::vector<std::uint32_t> pauses;
  std::function<void(std::uint32_t)> Function();
  std::vector<std::uint32_t> Pauses();
};
