// POSIX stand-in for the debugger output channel: silent unless
// TARNWICK_DEBUG_STDERR is set, then each line goes to stderr in one write.
#include <unistd.h>

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/debug_output_common.h"

namespace platform {
namespace internal {

void DefaultDebugOutput(const std::wstring& line) {
  static const bool toStderr = std::getenv("TARNWICK_DEBUG_STDERR") != nullptr;
  if (!toStderr) return;
  const std::string text = ToNarrow(line, kCodePageUtf8);
  const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
  (void)written;  // nowhere to report a failed diagnostic write
}

}  // namespace internal

void OutputDebugLine(const std::wstring& line) { OutputDebugLineImpl(line); }

DebugSink SetDebugSink(DebugSink sink) { return internal::SinkSwitch().Swap(std::move(sink)); }

}  // namespace platform
