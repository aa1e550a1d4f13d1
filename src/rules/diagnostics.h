// The diagnostic texts the installer composes on a failed download, a
// failed MD5 check and a failed installation. Nothing shows them to the
// user; they go to the log, where a support engineer reading
// the debugger output finds the machine's state at the moment of failure.
//
// Pure formatting; each text is cut to 199 characters (a 200-character
// buffer with its terminator), so a long server text cannot make it grow.
#pragma once

#include <cstdint>
#include <string>

namespace rules {

struct DownloadFailureFacts {
  double code = 0.0;           // the event's value
  std::wstring message;        // the event's text
  double freeGiB = 0.0;        // free space of the package's drive, 2^30 bytes
  bool writable = false;       // the package file could be created and deleted
  std::uint32_t network = 0;   // Utils::CheckNetwork's result
};

// "1.code=%ld；2.msg=%s；3.缓存磁盘容量=%.2fG；4.缓存读写权限=%s；5.服务器连接状态code=%d"
std::wstring FormatDownloadFailure(const DownloadFailureFacts& facts);

// ":1.code=%ld；2.msg=%s"
std::wstring FormatEventFailure(double code, const std::wstring& message);

// The event value truncated to an integer; NaN and values beyond the 32-bit
// range give 0 instead of undefined behaviour.
std::int32_t TruncateEventValue(double value);

}  // namespace rules
