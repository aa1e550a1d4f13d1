#include "utils/child_process.h"

#include <algorithm>

#include "utils/exception.h"

namespace Utils {

namespace {

void CloseEnd(platform::Handle* end) {
  if (platform::IsValid(*end)) platform::CloseHandle(*end);
  *end = platform::kInvalidHandle;
}

// `parentReads`: the parent reads this pipe and may wait on it together with
// the process (platform/child_output.h).
void CreatePipe(Pipe* pipe, bool parentReads) {
  const bool made = parentReads ? platform::CreateOutputPipe(&pipe->readEnd, &pipe->writeEnd)
                                : platform::CreateAnonymousPipe(&pipe->readEnd, &pipe->writeEnd);
  if (!made) {
    pipe->Close();
    throw Exception();
  }
}

}  // namespace

void Pipe::Close() {
  CloseEnd(&writeEnd);
  CloseEnd(&readEnd);
}

ChildProcess::ChildProcess() { commandLine_[0] = L'\0'; }

ChildProcess::~ChildProcess() { Close(); }

void ChildProcess::CreatePipes() {
  CreatePipe(&error_, /*parentReads=*/true);
  CreatePipe(&output_, /*parentReads=*/true);
  CreatePipe(&input_, /*parentReads=*/false);
}

void ChildProcess::Start(const std::wstring& commandLine) {
  // A longer line would be cut or overrun the buffer; refusing it is the
  // only answer that neither runs a different command nor ends the process.
  if (commandLine.size() >= kCommandLineChars) throw Exception();
  std::copy(commandLine.begin(), commandLine.end(), commandLine_);
  commandLine_[commandLine.size()] = L'\0';

  // The child must not inherit the parent's ends: an inherited write end of
  // the input pipe, or read ends, would keep the pipes alive after it exits.
  platform::SetInheritable(output_.readEnd, false);
  platform::SetInheritable(error_.readEnd, false);
  platform::SetInheritable(input_.writeEnd, false);

  platform::ChildStdio stdio;
  stdio.input = input_.readEnd;
  stdio.output = output_.writeEnd;
  stdio.error = error_.writeEnd;
  if (!platform::StartChildProcess(commandLine_, stdio, &info_)) throw Exception();

  // Only the child holds its ends now, so a read on the output pipe sees the
  // end of data as soon as the child and its heirs have exited.
  CloseEnd(&output_.writeEnd);
  CloseEnd(&error_.writeEnd);
  CloseEnd(&input_.readEnd);
}

void ChildProcess::CloseInputWriteEnd() { CloseEnd(&input_.writeEnd); }

void ChildProcess::Close() {
  platform::CloseProcess(&info_);
  info_ = platform::ProcessInfo();
  error_.Close();
  output_.Close();
  input_.Close();
}

}  // namespace Utils
