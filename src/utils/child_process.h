// Utils::ChildProcess: another program started hidden, its standard input,
// output and error redirected to anonymous pipes.
//
// Use: CreatePipes, Start(commandLine), read OutputReadEnd() until it
// reports the end of data, wait on ProcessHandle(), Close. Start closes the
// parent's copies of the child's ends, so the read reports the end once the
// child and everything it started have exited. The output and error pipes
// come from platform::CreateOutputPipe, so a platform::ChildOutputWatch can
// wait on them and the process at once, which bounds the wait when a process
// started by the child keeps them open.
//
// CreatePipes and Start throw Utils::Exception (empty message) on failure.
// One ChildProcess belongs to one thread; the destructor closes whatever is
// still open.
#pragma once

#include <cstddef>
#include <string>

#include "platform/handle.h"
#include "platform/process.h"

namespace Utils {

// Both ends are created inheritable; a closed end is kInvalidHandle.
struct Pipe {
  platform::Handle writeEnd = platform::kInvalidHandle;
  platform::Handle readEnd = platform::kInvalidHandle;

  void Close();
};

class ChildProcess {
 public:
  // The command line buffer holds 1023 characters and the terminator.
  static constexpr std::size_t kCommandLineChars = 1024;

  ChildProcess();
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Creates the error, output and input pipes, in this order.
  void CreatePipes();

  // Starts `commandLine` (its first token is the program). Throws when the
  // text does not fit the buffer or no process could be created.
  void Start(const std::wstring& commandLine);

  // The parent's ends.
  platform::Handle OutputReadEnd() const { return output_.readEnd; }
  platform::Handle ErrorReadEnd() const { return error_.readEnd; }
  platform::Handle InputWriteEnd() const { return input_.writeEnd; }

  // Closes the input pipe's write end, so the child reads the end of its
  // input. Harmless when already closed.
  void CloseInputWriteEnd();

  platform::Handle ProcessHandle() const { return info_.process; }
  std::uint32_t ProcessId() const { return info_.processId; }

  // Closes the process and thread handles and every pipe end still open.
  void Close();

 private:
  wchar_t commandLine_[kCommandLineChars];
  Pipe error_;
  Pipe output_;
  Pipe input_;
  platform::ProcessInfo info_;
};

}  // namespace Utils
