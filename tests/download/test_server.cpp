#include "test_server.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>

#include "download/curl_common.h"
#include "download/md5.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

size_t AppendTo(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

std::string Fetch(const std::string& url) {
  EnsureCurlInitialized();
  std::string body;
  CurlEasyPtr curl(curl_easy_init());
  if (!curl) return body;
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, AppendTo);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  if (curl_easy_perform(curl.get()) != CURLE_OK) body.clear();
  return body;
}

// The numbers of `"name": n` and the strings of `"ranges": [...]` in the
// server's small, fixed-shape JSON answer.
int IntField(const std::string& json, const std::string& name) {
  size_t at = json.find("\"" + name + "\":");
  return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + name.size() + 3);
}

std::vector<std::string> RangesField(const std::string& json) {
  std::vector<std::string> ranges;
  size_t at = json.find("\"ranges\": [");
  if (at == std::string::npos) return ranges;
  size_t end = json.find(']', at);
  for (size_t q = json.find('"', at + 10); q != std::string::npos && q < end;) {
    size_t close = json.find('"', q + 1);
    ranges.push_back(json.substr(q + 1, close - q - 1));
    q = json.find('"', close + 1);
  }
  return ranges;
}


}  // namespace

void HttpServerTest::SetUp() {
  std::wstring portFile = platform::JoinPath(platform::RemoveFileSpec(platform::ModulePath()), L"http-test-server.port");
  std::string text = ReadAll(portFile);
  port_ = std::atoi(text.c_str());
  ASSERT_GT(port_, 0) << "no test server: the ctest fixture download_http_server_start writes "
                         "bin/http-test-server.port (run through ctest, or start tools/http-test-server/server.py)";
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name;
  for (const char* p : {info->test_suite_name(), ".", info->name()}) {
    for (; *p; ++p) name += (*p == '/' ? L'_' : static_cast<wchar_t>(*p));
  }
  folder_ = platform::JoinPath(platform::TempPath(),
                               L"tw-dl-" + std::to_wstring(platform::CurrentProcessId()) + L"-" + name);
  platform::CreateFolder(folder_);
}

void HttpServerTest::TearDown() {
  for (const std::wstring& n : names_) {
    for (const wchar_t* suffix : {L"", L".part", L"_0", L"_1"}) platform::DeleteFileAt(n + suffix);
  }
  if (!folder_.empty()) platform::RemoveEmptyFolder(folder_);
}

std::string HttpServerTest::NarrowUrl(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::wstring HttpServerTest::Url(const std::string& path) const {
  std::string narrow = NarrowUrl(path);
  return std::wstring(narrow.begin(), narrow.end());
}

std::string HttpServerTest::Key() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(platform::CurrentProcessId()) +
         "." + std::to_string(++keys_);
}

ServerStats HttpServerTest::Stats(const std::string& key) const {
  std::string json = Fetch(NarrowUrl("/stats?key=" + key));
  ServerStats stats;
  stats.head = IntField(json, "head");
  stats.get = IntField(json, "get");
  stats.ranges = RangesField(json);
  return stats;
}

std::wstring HttpServerTest::PathIn(const std::wstring& name) {
  std::wstring path = platform::JoinPath(folder_, name);
  names_.push_back(path);
  return path;
}

std::string HttpServerTest::ReadAll(const std::wstring& path) {
  std::string bytes;
  std::FILE* f = platform::OpenFile(path, "rb");
  if (!f) return bytes;
  char buffer[65536];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, got);
  std::fclose(f);
  return bytes;
}

void HttpServerTest::WriteAll(const std::wstring& path, const std::string& bytes) {
  std::FILE* f = platform::OpenFile(path, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string HttpServerTest::BodyMd5(std::int64_t size) const {
  // The server names the real MD5 in the final URL of /gen.
  std::string url = NarrowUrl("/gen/" + std::to_string(size) + "/x.bin");
  EnsureCurlInitialized();
  CurlEasyPtr curl(curl_easy_init());
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_perform(curl.get());
  char* effective = nullptr;
  curl_easy_getinfo(curl.get(), CURLINFO_EFFECTIVE_URL, &effective);
  return effective ? GetUrlMd5(effective) : std::string();
}

EventCallback EventRecorder::Callback() {
  return [this](std::int32_t code, double value, const std::wstring& text) {
    std::function<void()> restart;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back({code, value, text});
      if (code == DL_CODE_RETRY) restart = onRetry_;
    }
    // Like the driver: restart from inside the callback, on the reporting thread.
    if (restart) restart();
    std::lock_guard<std::mutex> lock(mutex_);
    if (code == DL_CODE_SUCCESS || code == DL_CODE_FAIL || code == DL_CODE_RETRY) ++ends_;
    // Also wakes WaitForCode, for every event.
    changed_.notify_all();
  };
}

bool EventRecorder::WaitForEnds(int count, int seconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(seconds), [&] { return ends_ >= count; });
}

bool EventRecorder::WaitForCode(std::int32_t code, int seconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::seconds(seconds), [&] {
    for (const RecordedEvent& e : events_) {
      if (e.code == code) return true;
    }
    return false;
  });
}

std::vector<RecordedEvent> EventRecorder::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<std::int32_t> CodesOf(const std::vector<RecordedEvent>& events) {
  std::vector<std::int32_t> codes;
  for (const RecordedEvent& e : events) {
    if (e.code != DL_CODE_PROGRESS && e.code != DL_CODE_STATUS) codes.push_back(e.code);
  }
  return codes;
}

std::vector<std::int32_t> EventRecorder::Codes() const { return CodesOf(Events()); }

std::vector<double> EventRecorder::ProgressValues() const {
  std::vector<double> values;
  for (const RecordedEvent& e : Events()) {
    if (e.code == DL_CODE_PROGRESS) values.push_back(e.value);
  }
  return values;
}

std::function<void(std::uint32_t)> PauseCounter::Function() {
  return [this](std::uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex);
    pauses.push_back(ms);
  };
}

std::vector<std::uint32_t> PauseCounter::Pauses() {
  std::lock_guard<std::mutex> lock(mutex);
  return pauses;
}

std::vector<RecordedEvent> StatusesOf(const std::vector<RecordedEvent>& events) {
  std::vector<RecordedEvent> statuses;
  for (const RecordedEvent& e : events) {
    if (e.code == DL_CODE_STATUS) statuses.push_back(e);
  }
  return statuses;
}
