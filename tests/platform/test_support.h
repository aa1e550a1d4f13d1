// Helpers shared by the platform tests: a scratch folder, the test child
// program, and running it with its output collected through real pipes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform_test {

// A fresh folder under the temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// A name no other test run uses (a GUID in hexadecimal).
std::wstring UniqueName();

// Writes `bytes` to `path` as they are.
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// Full path of tw-test-child next to the running test program.
std::wstring ChildPath();

// The child's command line: its quoted path, a blank, then `tail`.
std::wstring ChildCommandLine(const std::wstring& tail);

struct ChildRun {
  bool started = false;
  std::string output;  // standard output, "\r\n" folded to "\n"
  std::string error;   // standard error, likewise
  std::uint32_t exitCode = 0;
};

// Starts `commandLine` with standard output and error on pipes (standard
// input on a pipe fed with `input`), reads both to their end, waits.
ChildRun RunChild(const std::wstring& commandLine, const std::string& input = {});

// Splits child output into lines (no trailing empty line).
std::vector<std::wstring> OutputLines(const std::string& output);

// Sets or (with an empty value) clears an environment variable for this
// process.
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace platform_test
