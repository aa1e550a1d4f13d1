#include "install/package_child.h"

#include <chrono>

#include "platform/child_output.h"
#include "platform/process.h"

namespace install {

PackageChild::PackageChild() = default;

PackageChild::~PackageChild() { WaitAndClose(); }

void PackageChild::Start(const std::wstring& commandLine) {
  child_.CreatePipes();
  child_.Start(commandLine);
  started_ = true;
}

namespace {

using OutputHandler = std::function<void(const char* data, std::size_t size)>;

// What already lies in the pipe when the drain time is up: a worker that
// was not scheduled for that long must still see the child's last lines.
// Bounded, because a process left behind may keep writing.
void TakeWhatIsThere(platform::ChildOutputWatch* watch, const OutputHandler& onOutput) {
  constexpr int kReads = 16;
  std::string bytes;
  for (int i = 0; i < kReads; ++i) {
    if (watch->Next(&bytes, 0) != platform::ChildOutputWatch::Event::kOutput) return;
    onOutput(bytes.data(), bytes.size());
  }
}

}  // namespace

void PackageChild::ReadOutput(const OutputHandler& onOutput) {
  using Clock = std::chrono::steady_clock;
  using Event = platform::ChildOutputWatch::Event;
  platform::ChildOutputWatch watch(child_.OutputReadEnd(), child_.ErrorReadEnd(), child_.ProcessHandle());
  bool outputEnded = false;
  bool childEnded = false;
  Clock::time_point drainEnd;
  std::string bytes;
  for (;;) {
    std::uint32_t timeout = platform::kWaitForever;
    if (childEnded) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(drainEnd - Clock::now()).count();
      if (left <= 0) return TakeWhatIsThere(&watch, onOutput);
      timeout = static_cast<std::uint32_t>(left);
    }
    switch (watch.Next(&bytes, timeout)) {
      case Event::kOutput:
        onOutput(bytes.data(), bytes.size());
        break;
      case Event::kOutputEnd:
        outputEnded = true;
        if (childEnded) return;
        break;
      case Event::kProcessEnded:
        childEnded = true;
        drainEnd = Clock::now() + std::chrono::milliseconds(kDrainAfterEndMs);
        if (outputEnded) return;
        break;
      case Event::kTimeout:
        if (childEnded) return TakeWhatIsThere(&watch, onOutput);
        break;
    }
  }
}

std::uint32_t PackageChild::WaitAndClose() {
  if (!started_) return 0;
  started_ = false;
  platform::WaitForProcess(child_.ProcessHandle(), platform::kWaitForever);
  // An exit code that cannot be read proves no success.
  std::uint32_t exitCode = 0xFFFFFFFFu;
  if (!platform::GetProcessExitCode(child_.ProcessHandle(), &exitCode)) exitCode = 0xFFFFFFFFu;
  child_.Close();
  return exitCode;
}

std::wstring ExitCodeText(std::uint32_t exitCode) {
  if ((exitCode & 0x80000000u) == 0) return std::to_wstring(exitCode);
  std::wstring text = L"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(exitCode >> shift) & 0xF];
  return text;
}

}  // namespace install
