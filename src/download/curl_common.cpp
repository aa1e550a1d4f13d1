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
    code |= curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
  }
  return static_cast<CURLcode>(code);
}

namespace {

// What probes and body transfers share.
int SetConnectionOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning, CurlResponse* response) {
  int code = curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  code |= curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  code |= curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, tuning.connectTimeoutSeconds);
  code |= curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  code |= ApplyTlsVerification(curl);
  if (response) {
    code |= curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectHeader);
    code |= curl_easy_setopt(curl, CURLOPT_HEADERDATA, response);
    code |= curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, response->errorText);
  }
  return code;
}

}  // namespace

CURLcode SetProbeOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning,
                         const std::atomic<bool>* abort, CurlResponse* response) {
  int code = SetConnectionOptions(curl, url, tuning, response);
  code |= curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardBody);
  // Besides the connect limit a probe gets an overall limit: a server that
  // accepts and then stays silent must not hold it for long.
  code |= curl_easy_setopt(curl, CURLOPT_TIMEOUT, tuning.probeTimeoutSeconds);
  if (abort) {
    code |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    code |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenSet);
    code |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abort));
  }
  return static_cast<CURLcode>(code);
}

CURLcode SetBodyTransferOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning,
                                const BodyTransfer& body, CurlResponse* response) {
  int code = SetConnectionOptions(curl, url, tuning, response);
  code |= curl_easy_setopt(curl, CURLOPT_TIMEOUT, 0L);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, body.write);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEDATA, body.writeData);
  code |= curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kBodyBufferBytes);
  code |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, body.progress);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, body.progressData);
  code |= curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  // No overall limit, but a stalled body ends the attempt with 28.
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, tuning.lowSpeedLimitBytes);
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, body.lowSpeedSeconds);
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
