// PackageChild: one run of a child installer program (the package or an
// uninstaller) as both runners need it: started hidden with redirected
// standard handles, its standard output read in chunks of at most
// kChunkBytes, its standard error drained on a thread of its own.
//
// Why the drain: a pipe holds only a few kilobytes. A child that writes more
// to an unread pipe blocks in its write and never ends, and the runner, which
// waits for that end without limit, would hang with it. The drain discards
// standard error as it arrives; DiscardOutputWhileRunning does the same for
// standard output once the runner has its verdict.
//
// Threads: every method belongs to the runner's worker thread. The
// destructor waits for the child's end like WaitAndClose.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "utils/child_process.h"
#include "utils/thread.h"

namespace install {

class PackageChild {
 public:
  static constexpr std::size_t kChunkBytes = 1024;

  PackageChild();
  ~PackageChild();
  PackageChild(const PackageChild&) = delete;
  PackageChild& operator=(const PackageChild&) = delete;

  // Creates the pipes and starts `commandLine`; throws Utils::Exception when
  // either fails (nothing is left running then).
  void Start(const std::wstring& commandLine);

  // Blocks for the next chunk of standard output. The chunk ends at its
  // first NUL byte, if any. False at the end of data or on a read error.
  bool ReadChunk(std::string* chunk);

  // True while the child has not ended.
  bool IsRunning() const;

  // Reads and drops standard output until the child has ended or the
  // output ends.
  void DiscardOutputWhileRunning();

  // Waits without limit for the child to end, then for the error drain, and
  // releases every handle. Safe to call twice.
  void WaitAndClose();

 private:
  static void DrainErrors(void* self);

  Utils::ChildProcess m_child;
  std::unique_ptr<Utils::Thread> m_errorDrain;
  bool m_started = false;
};

}  // namespace install
