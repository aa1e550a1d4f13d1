#include "test_support.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

#ifdef _WIN32
#include <windows.h>
#undef CopyFile  // testsupport::CopyFile, not the system's macro
#endif

namespace testsupport {

std::wstring FakePackagePath() {
  std::wstring self = platform::ModulePath();
  std::wstring name = L"fake-package";
  if (self.size() > 4 && self.compare(self.size() - 4, 4, L".exe") == 0) name += L".exe";
  return platform::JoinPath(platform::RemoveFileSpec(self), name);
}

std::wstring MakeTempFolder(const std::wstring& tag) {
  static std::atomic<int> counter{0};
  std::wstring folder = platform::JoinPath(
      platform::TempPath(), L"tw-test-" + std::to_wstring(platform::CurrentProcessId()) + L"-" +
                                std::to_wstring(counter++) + L"-" + tag);
  RemoveTree(folder);
  platform::CreateFolder(folder);
  return folder;
}

void RemoveTree(const std::wstring& folder) {
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(folder), ec);
}

namespace {
const char* const kTempVariables[] = {"TMPDIR", "TMP", "TEMP"};
}

ScopedTempFolder::ScopedTempFolder(const std::wstring& folder) {
  std::wstring temp = platform::JoinPath(folder, L"tmp");
  platform::CreateFolder(temp);
  for (const char* name : kTempVariables) {
    saved_.push_back(platform::GetEnv(std::wstring(name, name + std::char_traits<char>::length(name))).value_or(L""));
    SetEnv(name, temp);
  }
}

ScopedTempFolder::~ScopedTempFolder() {
  for (std::size_t i = 0; i < saved_.size(); ++i) SetEnv(kTempVariables[i], saved_[i]);
}

void SetEnv(const std::string& name, const std::wstring& value) {
#ifdef _WIN32
  // _wputenv also sets the Win32 environment block that children get.
  std::wstring entry = std::wstring(name.begin(), name.end()) + L"=" + value;
  _wputenv(entry.c_str());
#else
  if (value.empty())
    unsetenv(name.c_str());
  else
    setenv(name.c_str(), Utf8(value).c_str(), 1);
#endif
}

void SetEmptyEnv(const std::string& name) {
#ifdef _WIN32
  // The C runtime's putenv deletes a variable given no value; the system's
  // own call keeps it, set and empty.
  SetEnvironmentVariableW(std::wstring(name.begin(), name.end()).c_str(), L"");
#else
  setenv(name.c_str(), "", 1);
#endif
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  std::FILE* f = platform::OpenFile(path, "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string ReadFile(const std::wstring& path) {
  std::string bytes;
  std::FILE* f = platform::OpenFile(path, "rb");
  if (!f) return bytes;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

std::string Utf8(const std::wstring& text) { return platform::ToNarrow(text, platform::kCodePageUtf8); }

std::wstring FileUrl(const std::wstring& path) {
  std::wstring url = L"file://";
  if (path.empty() || path[0] != L'/') url += L"/";
  for (wchar_t c : path) url += c == L'\\' ? L'/' : c;
  return url;
}

bool CopyFile(const std::wstring& from, const std::wstring& to) {
  std::error_code ec;
  return std::filesystem::copy_file(std::filesystem::path(from), std::filesystem::path(to),
                                    std::filesystem::copy_options::overwrite_existing, ec);
}

void MakeRunnable(const std::wstring& path) {
  std::error_code ec;
  std::filesystem::permissions(std::filesystem::path(path), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add, ec);
}

EventCallback EventRecorder::Callback() {
  return [this](std::int32_t code, double value, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({code, value, text});
    arrived_.notify_all();
  };
}

std::vector<RecordedEvent> EventRecorder::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<std::int32_t> EventRecorder::Codes() const {
  std::vector<std::int32_t> codes;
  for (const RecordedEvent& e : Events()) codes.push_back(e.code);
  return codes;
}

bool EventRecorder::WaitForAny(const std::vector<std::int32_t>& codes, std::chrono::seconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, limit, [&] {
    for (const RecordedEvent& e : events_)
      for (std::int32_t c : codes)
        if (e.code == c) return true;
    return false;
  });
}

std::vector<RecordedEvent> EventRecorder::Of(std::int32_t code) const {
  std::vector<RecordedEvent> out;
  for (const RecordedEvent& e : Events())
    if (e.code == code) out.push_back(e);
  return out;
}

}  // namespace testsupport
