#include "install/package_child.h"

#include <cstring>

#include "platform/process.h"

namespace install {

PackageChild::PackageChild() = default;

PackageChild::~PackageChild() { WaitAndClose(); }

void PackageChild::Start(const std::wstring& commandLine) {
  m_child.CreatePipes();
  m_child.Start(commandLine);
  m_started = true;
  m_errorDrain = std::make_unique<Utils::Thread>();
  m_errorDrain->Start(this, L"StdErr", &PackageChild::DrainErrors);
  m_errorDrain->Resume();
}

void PackageChild::DrainErrors(void* self) {
  platform::Handle errors = static_cast<PackageChild*>(self)->m_child.ErrorReadEnd();
  char sink[4096];
  while (platform::ReadPipe(errors, sink, sizeof sink) > 0) {
  }
}

bool PackageChild::ReadChunk(std::string* chunk) {
  char buffer[kChunkBytes] = {};
  long n = platform::ReadPipe(m_child.OutputReadEnd(), buffer, sizeof buffer);
  if (n <= 0) return false;
  const char* end = static_cast<const char*>(std::memchr(buffer, '\0', static_cast<std::size_t>(n)));
  const char* begin = buffer;
  chunk->assign(begin, end ? end : begin + n);
  return true;
}

bool PackageChild::IsRunning() const {
  // Asked of the process object rather than of the exit code: a child that
  // exits with 259 (STILL_ACTIVE) would otherwise run for ever.
  return !platform::WaitForProcess(m_child.ProcessHandle(), 0);
}

void PackageChild::DiscardOutputWhileRunning() {
  std::string ignored;
  while (IsRunning() && ReadChunk(&ignored)) {
  }
}

void PackageChild::WaitAndClose() {
  if (!m_started) return;
  m_started = false;
  platform::WaitForProcess(m_child.ProcessHandle(), platform::kWaitForever);
  // The drain ends when the last writer of standard error is gone.
  m_errorDrain.reset();
  m_child.Close();
}

}  // namespace install
