#include "utils/log.h"

#include <cwchar>
#include <memory>
#include <new>

#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/process.h"

namespace Utils {

const wchar_t LOG_PREFIX[] = L"<P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%ls)<%04d>: ";

namespace {

// vswprintf cannot measure: it only says "did not fit" (-1 on glibc and the
// Windows runtimes, the needed length on some others). So format into a
// buffer that grows until the text fits; a line that does not fit even the
// largest buffer, or that cannot be formatted at all (an unconvertible
// argument also gives -1), is given up.
constexpr std::size_t kFirstBufferChars = 512;
constexpr std::size_t kLargestBufferChars = std::size_t{1} << 22;

bool FormatInto(std::wstring* out, const wchar_t* format, va_list args) {
  std::size_t size = kFirstBufferChars;
  while (size <= kLargestBufferChars) {
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size + 2]);
    if (!buffer) return false;
    va_list copy;
    va_copy(copy, args);
    int written = std::vswprintf(buffer.get(), size, format, copy);
    va_end(copy);
    if (written >= 0 && static_cast<std::size_t>(written) < size) {
      out->append(buffer.get(), static_cast<std::size_t>(written));
      return true;
    }
    std::size_t wanted = written > 0 ? static_cast<std::size_t>(written) + 1 : 0;
    size = wanted > size * 2 ? wanted : size * 2;
  }
  return false;
}

bool FormatAppend(std::wstring* out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = FormatInto(out, format, args);
  va_end(args);
  return ok;
}

// The prefix is formatted on its own and the message after it: the same text
// as one pass over LOG_PREFIX + format, without having to splice the two
// argument lists.
void Send(const std::wstring& tag, int line, const wchar_t* format, va_list args) {
  platform::LocalTime now = platform::NowLocal();
  try {
    std::wstring text;
    if (!FormatAppend(&text, LOG_PREFIX, static_cast<int>(platform::CurrentProcessId()),
                      static_cast<int>(platform::CurrentThreadId()), now.year, now.month,
                      now.day, now.hour, now.minute, now.second, now.millisecond, tag.c_str(),
                      line)) {
      return;
    }
    // A message that cannot be formatted leaves the prefix alone: a partial
    // line still shows where it happened.
    if (format != nullptr) FormatInto(&text, format, args);
    platform::OutputDebugLine(text);
  } catch (...) {
    // Logging must never disturb its caller.
  }
}

}  // namespace

void DebugLogV(const std::wstring& tag, int line, const wchar_t* format, va_list args) {
  Send(tag, line, format, args);
}

void DebugLog(const std::wstring& tag, int line, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  Send(tag, line, format, args);
  va_end(args);
}

// The run-time text goes in as an argument, never as the format: texts
// assembled at run time may carry a path or a server's words with a percent
// sign in them, which as a format would read arguments that do not exist.
void DebugLogRuntime(const std::wstring& tag, int line, const std::wstring& message) {
  DebugLog(tag, line, L"%ls\r\n", message.c_str());
}

}  // namespace Utils
