// POSIX stand-in of the watch: poll() on the two pipes. The process has no
// descriptor to poll here, so while it runs the poll wakes every few
// milliseconds to look at it; output still arrives as soon as it is written.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/child_output.h"
#include "platform/process.h"

namespace platform {
namespace {

constexpr std::size_t kReadBytes = 64 * 1024;
constexpr int kProcessLookMs = 5;

// Reads what is there; false at the end of the data or on an error.
bool ReadAvailable(int fd, std::string* bytes) {
  char buffer[kReadBytes];
  ssize_t got;
  do {
    got = read(fd, buffer, sizeof buffer);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return false;
  bytes->assign(buffer, static_cast<std::size_t>(got));
  return true;
}

}  // namespace

struct ChildOutputWatch::Impl {
  int output = -1;
  int error = -1;
  Handle process = kInvalidHandle;
  bool outputEndReported = false;
  bool processEnded = false;
};

ChildOutputWatch::ChildOutputWatch(Handle outputReadEnd, Handle errorReadEnd, Handle process)
    : impl_(std::make_unique<Impl>()) {
  impl_->output = IsValid(outputReadEnd) ? static_cast<int>(outputReadEnd) : -1;
  impl_->error = IsValid(errorReadEnd) ? static_cast<int>(errorReadEnd) : -1;
  impl_->process = process;
  impl_->processEnded = !IsValid(process);
  impl_->outputEndReported = impl_->output < 0;
}

ChildOutputWatch::~ChildOutputWatch() = default;

ChildOutputWatch::Event ChildOutputWatch::Next(std::string* bytes, std::uint32_t timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  Impl& s = *impl_;
  std::string dropped;
  for (bool first = true;; first = false) {
    pollfd fds[2];
    nfds_t count = 0;
    const int outputSlot = s.outputEndReported ? -1 : static_cast<int>(count);
    if (outputSlot >= 0) fds[count++] = {s.output, POLLIN, 0};
    const int errorSlot = s.error < 0 ? -1 : static_cast<int>(count);
    if (errorSlot >= 0) fds[count++] = {s.error, POLLIN, 0};

    int wait = -1;
    if (timeoutMs != kWaitForever) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = first ? 0 : (left > 0 ? static_cast<int>(left) : 0);
    }
    if (first) wait = 0;  // what is there already comes before anything else
    if (!s.processEnded && (wait < 0 || wait > kProcessLookMs)) wait = kProcessLookMs;
    if (poll(fds, count, wait) < 0 && errno != EINTR) return Event::kTimeout;

    if (outputSlot >= 0 && fds[outputSlot].revents != 0) {
      if (ReadAvailable(s.output, bytes)) return Event::kOutput;
      s.outputEndReported = true;
      return Event::kOutputEnd;
    }
    if (errorSlot >= 0 && fds[errorSlot].revents != 0 && !ReadAvailable(s.error, &dropped)) s.error = -1;
    if (!s.processEnded && WaitForProcess(s.process, 0)) {
      s.processEnded = true;
      return Event::kProcessEnded;
    }
    if (s.outputEndReported && s.processEnded) return Event::kTimeout;
    if (!first && timeoutMs != kWaitForever && Clock::now() >= deadline) return Event::kTimeout;
  }
}

}  // namespace platform
