// CWinHttpTransfer's POSIX stand-in: the same Send contract over libcurl, so
// that the WinHTTP downloader runs in native tests. It keeps WinHTTP's shape
// where a caller can see it: error numbers from WinHTTP's range, redirects
// followed, a body read error ending the body rather than the exchange. It
// has no system proxy (and ignores proxy variables, so tests stay on
// loopback).
#include <curl/curl.h>

#include <string>

#include "download/winhttp_transfer.h"
#include "platform/codepage.h"

namespace {

// WinHTTP's numbers for what libcurl reports, so callers see one vocabulary.
constexpr std::uint32_t kWinHttpTimeout = 12002;
constexpr std::uint32_t kWinHttpInternalError = 12004;
constexpr std::uint32_t kWinHttpInvalidUrl = 12005;
constexpr std::uint32_t kWinHttpUnrecognizedScheme = 12006;
constexpr std::uint32_t kWinHttpNameNotResolved = 12007;
constexpr std::uint32_t kWinHttpCannotConnect = 12029;
constexpr std::uint32_t kWinHttpConnectionError = 12030;
constexpr std::uint32_t kWinHttpRedirectFailed = 12156;
constexpr std::uint32_t kWinHttpSecureFailure = 12175;

std::uint32_t WinHttpErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return kWinHttpTimeout;
    case CURLE_COULDNT_RESOLVE_HOST: return kWinHttpNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kWinHttpCannotConnect;
    case CURLE_TOO_MANY_REDIRECTS: return kWinHttpRedirectFailed;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE: return kWinHttpSecureFailure;
    default: return kWinHttpConnectionError;
  }
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

struct CWinHttpTransfer::Request {
  CURL* curl = nullptr;
  std::string url;
  bool secure = false;

  // State of one exchange.
  CWinHttpTransfer* owner = nullptr;
  std::string headers;  // the header block of the latest response
  bool headTaken = false;

  // Hands the final response's head over once, before its first body byte.
  void TakeHead() {
    if (headTaken) return;
    headTaken = true;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    char* effective = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
    owner->TakeResponseHead(platform::ToWide(headers, platform::kCodePageUtf8),
                            status > 0 ? std::to_wstring(status) : std::wstring(),
                            effective != nullptr ? platform::ToWide(effective, platform::kCodePageUtf8)
                                                 : std::wstring());
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    const std::string line(data, size * count);
    // Each response of a redirect chain starts with its status line; only
    // the last one's block is kept, as WinHTTP shows only the final headers.
    if (StartsWith(line, "HTTP/")) request->headers.clear();
    request->headers += line;
    return size * count;
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    request->TakeHead();
    request->owner->TakeBodyChunk(data, size * count);
    return request->owner->m_aborted ? 0 : size * count;  // 0 makes libcurl stop
  }
};

bool CWinHttpTransfer::OpenRequest(const std::wstring& verb, Request** out) {
  const std::string url = platform::ToNarrow(m_url, platform::kCodePageUtf8);
  CURLU* parts = curl_url();
  if (parts == nullptr) {
    m_lastError = kWinHttpInternalError;
    return false;
  }
  char* scheme = nullptr;
  char* host = nullptr;
  const bool cracked = curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
                       curl_url_get(parts, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                       curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK;
  const std::string schemeText = scheme != nullptr ? scheme : "";
  if (host != nullptr) m_host = platform::ToWide(host, platform::kCodePageUtf8);
  curl_free(scheme);
  curl_free(host);
  curl_url_cleanup(parts);
  if (!cracked) {
    m_lastError = kWinHttpInvalidUrl;
    return false;
  }
  if (schemeText != "http" && schemeText != "https") {
    m_lastError = kWinHttpUnrecognizedScheme;
    return false;
  }

  auto* request = new Request;
  request->url = url;
  request->secure = schemeText == "https";
  request->curl = curl_easy_init();
  if (request->curl == nullptr) {
    m_lastError = kWinHttpInternalError;
    delete request;
    return false;
  }
  *out = request;
  return true;
}

bool CWinHttpTransfer::Exchange(Request& request, const std::wstring& verb) {
  CURL* curl = request.curl;
  curl_easy_reset(curl);
  request.owner = this;
  request.headers.clear();
  request.headTaken = false;

  const std::string agent = platform::ToNarrow(m_userAgent, platform::kCodePageUtf8);
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  // WinHTTP's default policy never redirects from HTTPS down to HTTP.
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, request.secure ? "https" : "http,https");
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  if (verb == L"POST") {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, m_requireValidCertificate ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, m_requireValidCertificate ? 2L : 0L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_timeouts.connect));
  // WinHTTP's receive time-out is per read; a stalled body is the closest
  // libcurl has.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((m_timeouts.receive + 999) / 1000));
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &request);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Request::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &request);

  const CURLcode result = curl_easy_perform(curl);
  if (result != CURLE_OK) m_lastError = WinHttpErrorOf(result);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  // Once a response has arrived, a failure while reading its body ends the
  // body, as a failed WinHttpQueryDataAvailable does.
  const bool neverAnswered = result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
                            result == CURLE_TOO_MANY_REDIRECTS;
  if (!request.headTaken && status > 0 && !neverAnswered) request.TakeHead();
  return request.headTaken;
}

void CWinHttpTransfer::CloseRequest(Request* request) {
  if (request == nullptr) return;
  if (request->curl != nullptr) curl_easy_cleanup(request->curl);
  delete request;
}

void CWinHttpTransfer::CloseSession() { m_hSession = nullptr; }
