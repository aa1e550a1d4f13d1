// Shared helpers of the install and records tests: real temporary folders,
// the fake package next to the test program, environment variables for the
// child, and an event recorder usable from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
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

// Points TMPDIR, TMP and TEMP at <folder>/tmp (created) for this process
// and its children while it lives, so that the installer's work folder
// (and the uninstaller copy in it) is private to one test even when test
// programs run side by side.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::wstring& folder);
  ~ScopedTempFolder();
  ScopedTempFolder(const ScopedTempFolder&) = delete;
  ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

 private:
  std::vector<std::wstring> saved_;
};

// Sets (or, with an empty value, clears) a variable of this process's
// environment, which children inherit.
void SetEnv(const std::string& name, const std::wstring& value);
// Sets a variable to the empty text (present, but with no value).
void SetEmptyEnv(const std::string& name);

void WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);

// UTF-8 of a wide text (for comparing with the fake package's log).
std::string Utf8(const std::wstring& text);

// A file:// URL for a local path ("/tmp/a" or "C:\\a").
std::wstring FileUrl(const std::wstring& path);

// Copies a file; false on failure.
bool CopyFile(const std::wstring& from, const std::wstring& to);

// The execute permission the POSIX stand-in needs to start a downloaded
// program (Windows runs any .exe as it is; there this changes nothing).
void MakeRunnable(const std::wstring& path);

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
  // Waits until an event with one of `codes` has arrived, at most `limit`
  // (a guard against a hang, not a timing check). True when one came.
  bool WaitForAny(const std::vector<std::int32_t>& codes, std::chrono::seconds limit) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<RecordedEvent> events_;
};

}  // namespace testsupport
