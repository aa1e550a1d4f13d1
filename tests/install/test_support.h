// Shared helpers of the install and records tests: real temporary folders,
// the fake package next to the test program, environment variables for the
// child, and an event recorder usable from any thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "utils/events.h"

namespace testsupport {

// "fake-package" next to this test program, with ".exe" when this program
// has that extension.
std::wstring FakePackagePath();

// A new empty folder under the user's temporary folder; `tag` must be a
// plain name. RemoveTree deletes it again.
std::wstring MakeTempFolder(const std::wstring& tag);
void RemoveTree(const std::wstring& folder);

// Sets (or, with an empty value, clears) a variable of this process's
// environment, which children inherit.
void SetEnv(const std::string& name, const std::wstring& value);

void WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);

// UTF-8 of a wide text (for comparing with the fake package's log).
std::string Utf8(const std::wstring& text);

struct RecordedEvent {
  std::int32_t code;
  double value;
  std::wstring text;
};

class EventRecorder {
 public:
  EventCallback Callback();
  std::vector<RecordedEvent> Events() const;
  std::vector<std::int32_t> Codes() const;
  // The events of one code, in order.
  std::vector<RecordedEvent> Of(std::int32_t code) const;

 private:
  mutable std::mutex mutex_;
  std::vector<RecordedEvent> events_;
};

}  // namespace testsupport
