// The diagnostic log: one formatted line per call to the debugger output.
//
// Line shape: LOG_PREFIX, then the message, nothing appended:
//   <P%05d><T%05d><%04d-%02d-%02d %02d:%02d:%02d.%03d>(%ls)<%04d>: message
// The prefix carries process id, thread id, local time with milliseconds,
// the qualified name of the logging function and the source line.
//
// Use the macros; they supply the tag and the line:
//   TW_LOG(L"error:%d:%ls\r\n", code, text.c_str());
//   TW_LOG_TEXT(runtimeText);   // logged literally, then "\r\n"
// Formats use wide printf syntax; wide string arguments take %ls (portable
// between the Windows and POSIX runtimes). Text from outside (URLs, paths,
// server texts) must only ever be an argument, never the format.
//
// Thread-safe: each call formats into its own buffer and sends one line.
// Never throws; a failed allocation or format drops the line.
#pragma once

#include <cstdarg>
#include <string>

#include "utils/function_name.h"

namespace Utils {

// The fixed prefix format. The tag is a wide string, spelt %ls so that the
// Windows and POSIX runtimes read it alike.
extern const wchar_t LOG_PREFIX[];

// Formats and sends one line. `tag` is the qualified function name.
void DebugLog(const std::wstring& tag, int line, const wchar_t* format, ...);
void DebugLogV(const std::wstring& tag, int line, const wchar_t* format, va_list args);

// The run-time shape: `message`, assembled by the caller, followed by
// "\r\n". The message is logged literally (it is an argument, not the
// format), so a percent sign in it is harmless.
void DebugLogRuntime(const std::wstring& tag, int line, const std::wstring& message);

}  // namespace Utils

#define TW_LOG(...) ::Utils::DebugLog(TW_FUNCTION_NAME, __LINE__, __VA_ARGS__)
#define TW_LOG_TEXT(message) ::Utils::DebugLogRuntime(TW_FUNCTION_NAME, __LINE__, (message))
