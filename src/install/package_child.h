// PackageChild: one run of a child installer program (the package or an
// uninstaller) as both runners need it: started hidden with redirected
// standard handles, its standard output handed on as it arrives, its
// standard error dropped, its exit code read at the end.
//
// Why the output is read as fast as it comes and together with the process:
// a pipe holds only a few kilobytes, and a child that writes to a full pipe
// waits for the reader; and a process that the child starts may inherit the
// pipes and keep them open long after the child itself has ended. So the
// reading waits for output or for the child's end, whichever comes first,
// and once the child has ended it takes what is still there for at most
// kDrainAfterEndMs and stops, whoever still holds the pipes.
//
// Threads: every method belongs to the runner's worker thread. The
// destructor waits for the child's end like WaitAndClose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "utils/child_process.h"

namespace install {

class PackageChild {
 public:
  // How long output is still taken after the child has ended. What the child
  // wrote before its end is already in the pipe; this only bounds the wait
  // for the end of the data, which a process that the child left behind may
  // never give.
  static constexpr std::uint32_t kDrainAfterEndMs = 1500;

  PackageChild();
  ~PackageChild();
  PackageChild(const PackageChild&) = delete;
  PackageChild& operator=(const PackageChild&) = delete;

  // Creates the pipes and starts `commandLine`; throws Utils::Exception when
  // either fails (nothing is left running then).
  void Start(const std::wstring& commandLine);

  // Hands every piece of standard output to `onOutput` as it arrives, until
  // the output has ended and the child has ended, or kDrainAfterEndMs after
  // the child's end. Returns only after the child has ended, or its output
  // has ended and it has ended.
  void ReadOutput(const std::function<void(const char* data, std::size_t size)>& onOutput);

  // Waits without limit for the child to end, releases every handle and
  // returns the child's exit code. Safe to call twice (0 then).
  std::uint32_t WaitAndClose();

 private:
  Utils::ChildProcess child_;
  bool started_ = false;
};

// The exit code as the user and the log see it: decimal, or hexadecimal
// ("0xC0000005") when its high bit is set, as the status codes of a crashed
// or killed Windows program are known.
std::wstring ExitCodeText(std::uint32_t exitCode);

}  // namespace install
