// The debugger output channel: OutputDebugStringW unless a test installed a
// sink.
#include <windows.h>

#include "platform/debug_output_common.h"

namespace platform {
namespace internal {

void DefaultDebugOutput(const std::wstring& line) { OutputDebugStringW(line.c_str()); }

}  // namespace internal

void OutputDebugLine(const std::wstring& line) { OutputDebugLineImpl(line); }

DebugSink SetDebugSink(DebugSink sink) { return internal::SinkSwitch().Swap(std::move(sink)); }

}  // namespace platform
