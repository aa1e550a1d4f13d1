// Collects the log lines sent while it lives (platform::SetDebugSink).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/debug_output.h"

namespace tw_test {

class LogCapture {
 public:
  LogCapture() {
    previous_ = platform::SetDebugSink([this](const std::wstring& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back(line);
    });
  }
  ~LogCapture() { platform::SetDebugSink(previous_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::wstring> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

  // The lines whose message part (after "): ") equals `message`.
  std::vector<std::wstring> WithMessage(const std::wstring& message) {
    std::vector<std::wstring> found;
    for (const std::wstring& line : Lines()) {
      std::size_t at = line.find(L">: ");
      if (at != std::wstring::npos && line.substr(at + 3) == message) found.push_back(line);
    }
    return found;
  }

 private:
  platform::DebugSink previous_;
  std::mutex mutex_;
  std::vector<std::wstring> lines_;
};

// "<T%05d>" for an id, as the log prints it.
inline std::wstring ThreadField(std::uint32_t id) {
  std::wstring digits = std::to_wstring(id);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), L'0');
  return L"<T" + digits + L">";
}

}  // namespace tw_test
