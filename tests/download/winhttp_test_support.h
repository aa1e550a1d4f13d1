// Shared by the WinHTTP client and downloader tests: finding a loopback
// server that a ctest fixture started, and collecting downloader events.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "utils/events.h"

namespace tw_test {

// A number of the "<port> <pid> [<tls port>]" line of a port file that a
// fixture wrote next to the test programs (a place both native and Wine
// runs can name): field 0 is the port, field 2 the TLS port of the page
// server. 0 when absent.
inline int PortFromFile(const std::wstring& fileName, int field = 0) {
  const std::wstring path = platform::JoinPath(platform::RemoveFileSpec(platform::ModulePath()), fileName);
  std::FILE* f = platform::OpenFile(path, "rb");
  if (f == nullptr) return 0;
  int numbers[3] = {0, 0, 0};
  const int read = std::fscanf(f, "%d %d %d", &numbers[0], &numbers[1], &numbers[2]);
  std::fclose(f);
  return field < read ? numbers[field] : 0;
}

// A counter key of the servers that no earlier run against the same server
// (another test program, native or under Wine) has used.
inline std::wstring UniqueKey(const std::wstring& name) {
  static const std::wstring run = std::to_wstring(std::random_device{}()) + L"-" + std::to_wstring(
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
  return name + L"-" + run;
}

inline std::wstring LoopbackUrl(int port, const std::wstring& pathAndQuery) {
  return L"http://127.0.0.1:" + std::to_wstring(port) + pathAndQuery;
}

// A file's bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  std::FILE* f = platform::OpenFile(path, "rb");
  if (f == nullptr) return bytes;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::FILE* f = platform::OpenFile(path, "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

struct Event {
  std::int32_t code;
  double value;
  std::wstring text;
};

// Records every event; waits for the events that end a run. The wait is
// bounded so that a run that never ends fails the test instead of hanging.
class EventLog {
 public:
  EventCallback Callback() {
    return [this](std::int32_t code, double value, const std::wstring& text) {
      std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back(Event{code, value, text});
      changed_.notify_all();
    };
  }

  // Waits until `count` final events (SUCCESS, FAIL, RETRY) have arrived.
  bool WaitForEnds(int count, std::chrono::seconds limit = std::chrono::seconds(120)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return EndsLocked() >= count; });
  }

  std::vector<Event> Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }

  // The codes in order, progress collapsed into one entry per run of them.
  std::vector<std::int32_t> Codes() {
    std::vector<std::int32_t> codes;
    for (const Event& e : Events()) {
      if (e.code == DL_CODE_PROGRESS && !codes.empty() && codes.back() == DL_CODE_PROGRESS) continue;
      codes.push_back(e.code);
    }
    return codes;
  }

 private:
  int EndsLocked() const {
    int ends = 0;
    for (const Event& e : events_) {
      ends += e.code == DL_CODE_SUCCESS || e.code == DL_CODE_FAIL || e.code == DL_CODE_RETRY;
    }
    return ends;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

}  // namespace tw_test
