#include "platform/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/probes.h"
#include "platform/process.h"

namespace platform_test {
namespace {

std::string Fold(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::string Drain(platform::Handle readEnd) {
  std::string out;
  char buffer[4096];
  long got;
  while ((got = platform::ReadPipe(readEnd, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(got));
  return out;
}

}  // namespace

ScratchFolder::ScratchFolder() {
  path_ = platform::JoinPath(platform::TempPath(), L"tw-platform-test-" + UniqueName());
  EXPECT_TRUE(platform::CreateFolder(path_));
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

std::wstring ScratchFolder::File(const std::wstring& name) const { return platform::JoinPath(path_, name); }

std::wstring UniqueName() {
  platform::Guid g;
  EXPECT_TRUE(platform::CreateGuid(&g));
  wchar_t text[40];
  std::swprintf(text, 40, L"%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", g.data1, g.data2, g.data3, g.data4[0],
                g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return text;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::FILE* f = platform::OpenFile(path, "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

std::string ReadBytes(const std::wstring& path) {
  std::FILE* f = platform::OpenFile(path, "rb");
  if (f == nullptr) return {};
  std::string out;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, got);
  std::fclose(f);
  return out;
}

std::wstring ChildPath() {
  const std::wstring self = platform::ModulePath();
  const std::wstring name = platform::FileNameOf(self);
  const bool exe = name.size() > 4 && name.compare(name.size() - 4, 4, L".exe") == 0;
  return platform::JoinPath(platform::RemoveFileSpec(self), exe ? L"tw-test-child.exe" : L"tw-test-child");
}

std::wstring ChildCommandLine(const std::wstring& tail) { return L"\"" + ChildPath() + L"\" " + tail; }

ChildRun RunChild(const std::wstring& commandLine, const std::string& input) {
  ChildRun run;
  platform::Handle outRead, outWrite, errRead, errWrite, inRead, inWrite;
  if (!platform::CreateAnonymousPipe(&outRead, &outWrite)) return run;
  if (!platform::CreateAnonymousPipe(&errRead, &errWrite)) return run;
  if (!platform::CreateAnonymousPipe(&inRead, &inWrite)) return run;
  platform::SetInheritable(outRead, false);
  platform::SetInheritable(errRead, false);
  platform::SetInheritable(inWrite, false);

  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  platform::ProcessInfo info;
  run.started = platform::StartChildProcess(buffer.data(), {inRead, outWrite, errWrite}, &info);
  // The parent's copies of the child's ends must go, or the reads below
  // would never see the end of the data.
  platform::CloseHandle(outWrite);
  platform::CloseHandle(errWrite);
  platform::CloseHandle(inRead);
  if (run.started) {
    std::thread feeder([&] {
      if (!input.empty()) platform::WritePipe(inWrite, input.data(), input.size());
      platform::CloseHandle(inWrite);
    });
    std::string error;
    std::thread errorReader([&] { error = Drain(errRead); });
    run.output = Fold(Drain(outRead));
    errorReader.join();
    feeder.join();
    run.error = Fold(error);
    EXPECT_TRUE(platform::WaitForProcess(info.process, platform::kWaitForever));
    EXPECT_TRUE(platform::GetProcessExitCode(info.process, &run.exitCode));
    platform::CloseProcess(&info);
  } else {
    platform::CloseHandle(inWrite);
  }
  platform::CloseHandle(outRead);
  platform::CloseHandle(errRead);
  return run;
}

std::vector<std::wstring> OutputLines(const std::string& output) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    lines.push_back(platform::ToWide(output.substr(start, end - start), platform::kCodePageUtf8));
    start = end + 1;
  }
  return lines;
}

void SetEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());
#else
  if (value.empty()) {
    unsetenv(name.c_str());
  } else {
    setenv(name.c_str(), value.c_str(), 1);
  }
#endif
}

}  // namespace platform_test
