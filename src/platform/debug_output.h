// The debugger output channel: where every log line goes.
//
// Windows: OutputDebugStringW. POSIX stand-in: silent by default; when the
// environment variable TARNWICK_DEBUG_STDERR is set, lines go to stderr.
// On both, a test can install a sink that receives every line instead.
// Thread-safe: each line is delivered by one call.
#pragma once

#include <functional>
#include <string>

namespace platform {

using DebugSink = std::function<void(const std::wstring& line)>;

// Sends one complete line (already formatted, line end included).
void OutputDebugLine(const std::wstring& line);

// Replaces the sink; an empty function restores the default. Returns the
// previous sink. Meant for tests; the sink runs on the logging thread.
DebugSink SetDebugSink(DebugSink sink);

}  // namespace platform
