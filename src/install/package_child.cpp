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

void PackageChild::ReadOutput(const std::function<void(const char* data, std::size_t size)>& onOutput) {
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
      if (left <= 0) return;
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
        if (childEnded) return;
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
