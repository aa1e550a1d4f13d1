// tw-test-child: a small console program that tests start as a real child.
//
// It works through its arguments from left to right, one command at a time:
//   echo-args        prints every argument it received (the program's own
//                    path first), one per line, UTF-8; on Windows they come
//                    from CommandLineToArgvW, so tests see the real splitting
//   stdout <text>    writes <text> and a line end to standard output
//   stderr <text>    writes <text> and a line end to standard error
//   stdin-echo       copies standard input to standard output until its end
//   sleep <ms>       sleeps
//   touch <path>     creates (or empties) the file <path>
//   handle-open <n>  prints "open" when the handle (or descriptor) of value
//                    <n> is open in this process, "closed" otherwise
//   exit <code>      ends at once with <code>
// Unknown commands end the program with exit code 99. Without "exit" the
// exit code is 0. Output is flushed after every command, so a parent reading
// a pipe sees it while the child still runs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

void WriteLine(std::FILE* stream, const std::wstring& text) {
  const std::string bytes = platform::ToNarrow(text, platform::kCodePageUtf8) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

long Number(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }

}  // namespace

int main() {
  const std::vector<std::wstring> args = platform::ProcessArguments();
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::wstring& command = args[i];
    const bool hasValue = i + 1 < args.size();
    if (command == L"echo-args") {
      for (const std::wstring& arg : args) WriteLine(stdout, arg);
    } else if (command == L"stdout" && hasValue) {
      WriteLine(stdout, args[++i]);
    } else if (command == L"stderr" && hasValue) {
      WriteLine(stderr, args[++i]);
    } else if (command == L"stdin-echo") {
      char buffer[4096];
      std::size_t got;
      while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) std::fwrite(buffer, 1, got, stdout);
      std::fflush(stdout);
    } else if (command == L"touch" && hasValue) {
      std::FILE* f = platform::OpenFile(args[++i], "wb");
      if (f == nullptr) return 98;
      std::fclose(f);
    } else if (command == L"handle-open" && hasValue) {
      const platform::Handle h = static_cast<platform::Handle>(std::wcstoll(args[++i].c_str(), nullptr, 10));
      WriteLine(stdout, platform::IsOpenHandle(h) ? L"open" : L"closed");
    } else if (command == L"sleep" && hasValue) {
      std::this_thread::sleep_for(std::chrono::milliseconds(Number(args[++i])));
    } else if (command == L"exit" && hasValue) {
      std::fflush(nullptr);
      return static_cast<int>(Number(args[++i]));
    } else {
      WriteLine(stderr, L"tw-test-child: unknown command " + command);
      return 99;
    }
  }
  return 0;
}
