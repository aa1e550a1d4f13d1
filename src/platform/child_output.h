// ChildOutputWatch: waits for whichever comes first of a child's standard
// output, the end of that output, and the end of the child's process, while
// its standard error is read and dropped.
//
// Why one wait for all three: a blocking read of the output only returns
// when every holder of the pipe's write end is gone, and a child may leave a
// process of its own holding it. Waiting on the process at the same time lets
// the owner bound what it reads after the child's end.
//
// The pipes must come from CreateOutputPipe (platform/process.h). The watch
// neither owns nor closes the handles; destroy it before closing them.
// Standard error is dropped as it arrives, so a child that writes much to it
// never blocks on a full pipe.
//
// Threads: one watch belongs to one thread, which makes every call,
// the destructor included (pending reads are cancelled there).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/handle.h"

namespace platform {

class ChildOutputWatch {
 public:
  enum class Event {
    kOutput,        // `bytes` holds the next piece of standard output
    kOutputEnd,     // every writer of standard output has gone (once)
    kProcessEnded,  // the process has ended (once)
    kTimeout,       // nothing of the above within the time given
  };

  ChildOutputWatch(Handle outputReadEnd, Handle errorReadEnd, Handle process);
  ~ChildOutputWatch();
  ChildOutputWatch(const ChildOutputWatch&) = delete;
  ChildOutputWatch& operator=(const ChildOutputWatch&) = delete;

  // Waits at most `timeoutMs` (kWaitForever: no limit) for the next event.
  // Output that is already there comes before the end of the process. After
  // both ends have been reported there is nothing left to wait for, and the
  // call returns kTimeout at once.
  Event Next(std::string* bytes, std::uint32_t timeoutMs);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
