// The watch through overlapped reads on the named pipes of
// CreateOutputPipe and one WaitForMultipleObjects over their events and the
// process handle.
#include <windows.h>

#include <chrono>
#include <vector>

#include "platform/child_output.h"
#include "platform/process.h"

namespace platform {
namespace {

constexpr DWORD kReadBytes = 64 * 1024;

// One pipe with at most one read in flight.
class OverlappedReader {
 public:
  explicit OverlappedReader(Handle pipe)
      : pipe_(IsValid(pipe) ? reinterpret_cast<HANDLE>(pipe) : nullptr),
        event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        buffer_(kReadBytes) {
    if (pipe_ == nullptr || event_ == nullptr) ended_ = true;
  }
  ~OverlappedReader() {
    Cancel();
    if (event_ != nullptr) ::CloseHandle(event_);
  }
  OverlappedReader(const OverlappedReader&) = delete;
  OverlappedReader& operator=(const OverlappedReader&) = delete;

  bool ended() const { return ended_; }
  bool pending() const { return pending_; }
  HANDLE event() const { return event_; }

  // Starts a read unless one is in flight or the pipe has ended.
  void Issue() {
    if (pending_ || ended_) return;
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = event_;
    if (ReadFile(pipe_, buffer_.data(), kReadBytes, nullptr, &overlapped_) || GetLastError() == ERROR_IO_PENDING) {
      pending_ = true;  // a read done at once is collected like a late one
    } else {
      ended_ = true;  // ERROR_BROKEN_PIPE: every writer has gone
    }
  }

  // The bytes of a finished read (possibly none), or false when the read
  // has not finished yet. A failed read ends the pipe.
  bool Collect(std::string* bytes) {
    if (!pending_ || !HasOverlappedIoCompleted(&overlapped_)) return false;
    pending_ = false;
    DWORD got = 0;
    if (!GetOverlappedResult(pipe_, &overlapped_, &got, FALSE)) {
      ended_ = true;
      got = 0;
    }
    bytes->assign(buffer_.data(), got);
    return true;
  }

 private:
  // CancelIo cancels the reads that this thread started, which are all of
  // them; the buffer must outlive the read, so wait for it to settle.
  void Cancel() {
    if (!pending_) return;
    CancelIo(pipe_);
    DWORD got = 0;
    GetOverlappedResult(pipe_, &overlapped_, &got, TRUE);
    pending_ = false;
  }

  HANDLE pipe_;
  HANDLE event_;
  OVERLAPPED overlapped_{};
  std::vector<char> buffer_;
  bool pending_ = false;
  bool ended_ = false;
};

}  // namespace

struct ChildOutputWatch::Impl {
  Impl(Handle outputPipe, Handle errorPipe, Handle processHandle)
      : output(outputPipe), error(errorPipe), process(reinterpret_cast<HANDLE>(processHandle)) {
    processEnded = !IsValid(processHandle);
  }

  OverlappedReader output;
  OverlappedReader error;
  HANDLE process;
  bool outputEndReported = false;
  bool processEnded = false;
};

ChildOutputWatch::ChildOutputWatch(Handle outputReadEnd, Handle errorReadEnd, Handle process)
    : impl_(std::make_unique<Impl>(outputReadEnd, errorReadEnd, process)) {}

ChildOutputWatch::~ChildOutputWatch() = default;

ChildOutputWatch::Event ChildOutputWatch::Next(std::string* bytes, std::uint32_t timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Impl& s = *impl_;
  std::string dropped;
  for (bool first = true;; first = false) {
    if (!s.outputEndReported) {
      s.output.Issue();
      if (s.output.Collect(bytes)) {
        if (!bytes->empty()) return Event::kOutput;
        if (!s.output.ended()) continue;  // a zero-length write; read on
      }
      if (s.output.ended()) {
        s.outputEndReported = true;
        return Event::kOutputEnd;
      }
    }
    s.error.Issue();
    if (s.error.Collect(&dropped)) s.error.Issue();
    if (!s.processEnded && WaitForSingleObject(s.process, 0) == WAIT_OBJECT_0) {
      s.processEnded = true;
      return Event::kProcessEnded;
    }
    if (s.outputEndReported && s.processEnded) return Event::kTimeout;
    // A busy standard error wakes the wait again and again; the time given
    // still holds.
    if (!first && timeoutMs != kWaitForever && Clock::now() >= deadline) return Event::kTimeout;

    // Output first: WaitForMultipleObjects reports the lowest index.
    HANDLE handles[3];
    DWORD count = 0;
    if (!s.outputEndReported && s.output.pending()) handles[count++] = s.output.event();
    if (s.error.pending()) handles[count++] = s.error.event();
    if (!s.processEnded) handles[count++] = s.process;
    if (count == 0) return Event::kTimeout;
    DWORD wait = INFINITE;
    if (timeoutMs != kWaitForever) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = left > 0 ? static_cast<DWORD>(left) : 0;
    }
    const DWORD r = WaitForMultipleObjects(count, handles, FALSE, wait);
    if (r == WAIT_TIMEOUT || r == WAIT_FAILED) return Event::kTimeout;
  }
}

}  // namespace platform
