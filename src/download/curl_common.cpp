#include "download/curl_common.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/codepage.h"

void EnsureCurlInitialized() {
  // curl_global_init is not thread-safe in the libcurl we ship.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

namespace {

bool TlsBackendIsSchannel() {
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  return info && info->ssl_version && std::strstr(info->ssl_version, "Schannel") != nullptr;
}

}  // namespace

CURLcode ApplyTlsVerification(CURL* curl) {
  int code = curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (TlsBackendIsSchannel()) {
    // Without a CA file Schannel verifies against the Windows certificate
    // store; the cross-built library carries a Linux bundle path otherwise.
    // (A CA folder is not a Schannel option at all.)
    code |= curl_easy_setopt(curl, CURLOPT_CAINFO, static_cast<char*>(nullptr));
  }
  return static_cast<CURLcode>(code);
}

std::string RequestUrl(const std::wstring& url) {
  if (url.compare(0, 8, L"file:///") == 0) return platform::ToNarrow(url, platform::kCodePageAnsi);
  return platform::ToNarrow(url, platform::kCodePageUtf8);
}

size_t DiscardBody(char* data, size_t size, size_t count, void* userdata) { return size * count; }

std::wstring CurlErrorText(int code) {
  return platform::ToWide(curl_easy_strerror(static_cast<CURLcode>(code)), platform::kCodePageAnsi);
}

std::wstring WideForLog(const std::string& text) { return platform::ToWide(text, platform::kCodePageAnsi); }

int AbortWhenSet(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* abort = static_cast<const std::atomic<bool>*>(flag);
  return abort && abort->load() ? 1 : 0;
}
