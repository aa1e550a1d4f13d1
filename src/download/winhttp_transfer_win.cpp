// CWinHttpTransfer's Windows half: the WinHTTP calls.
#include <windows.h>
#include <winhttp.h>

#include <cwchar>
#include <vector>

#include "download/winhttp_transfer.h"

struct CWinHttpTransfer::Request {
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  // Where the request stands after the redirects so far. Needed because not
  // every WinHTTP (Wine's, for one) answers WINHTTP_OPTION_URL.
  std::wstring currentUrl;

  static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
    if (status != WINHTTP_CALLBACK_STATUS_REDIRECT || context == 0 || information == nullptr) return;
    auto* self = reinterpret_cast<Request*>(context);
    // The length counts characters on some versions and bytes on others;
    // the text is zero-terminated on all, so it ends at the first zero.
    const auto* location = static_cast<const wchar_t*>(information);
    self->currentUrl = ResolveRedirectLocation(self->currentUrl, std::wstring(location, wcsnlen(location, length)));
  }
};

namespace {

bool SendRequest(HINTERNET request) {
  return WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) != FALSE;
}

constexpr DWORD kIgnoreCertificateErrors =  // 0x3100
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
constexpr std::size_t kProxyTextCapacity = 260;

void FreeSystemText(LPWSTR text) {
  if (text != nullptr) GlobalFree(text);
}

std::wstring QueryHeaderText(HINTERNET request, DWORD level) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, level, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::wstring();
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (!WinHttpQueryHeaders(request, level, WINHTTP_HEADER_NAME_BY_INDEX, &text[0], &bytes, WINHTTP_NO_HEADER_INDEX)) {
    return std::wstring();
  }
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// The URL the final response came from, after WinHTTP followed redirects:
// WinHTTP's own answer, else the redirects seen by the status callback. A
// first try has room for most URLs; a longer one is asked again with the
// size the first answer named.
std::wstring QueryFinalUrl(HINTERNET request, const std::wstring& tracked) {
  std::wstring url(2048, L'\0');
  for (int tries = 0; tries < 2; ++tries) {
    DWORD bytes = static_cast<DWORD>(url.size() * sizeof(wchar_t));
    if (WinHttpQueryOption(request, WINHTTP_OPTION_URL, &url[0], &bytes)) {
      url.resize(bytes / sizeof(wchar_t));
      while (!url.empty() && url.back() == L'\0') url.pop_back();
      if (!url.empty()) return url;
      break;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes / sizeof(wchar_t) < url.size()) break;
    url.assign(bytes / sizeof(wchar_t) + 1, L'\0');
  }
  return tracked;
}

// Answers whether a send through the user's system proxy settings succeeded
// in this attempt. An auto-config script is asked and used at once; a named
// proxy is only set on the request, so the next attempt goes through it.
bool SendThroughSystemProxy(HINTERNET session, HINTERNET request, const std::wstring& url, std::uint32_t* lastError) {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) {
    *lastError = GetLastError();
    return false;
  }
  bool sent = false;
  if (config.lpszAutoConfigUrl != nullptr) {
    WINHTTP_AUTOPROXY_OPTIONS options = {};
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT | WINHTTP_AUTOPROXY_CONFIG_URL;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP;
    options.lpszAutoConfigUrl = config.lpszAutoConfigUrl;
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO proxy = {};
    if (WinHttpGetProxyForUrl(session, url.c_str(), &options, &proxy)) {
      WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &proxy, sizeof proxy);
      sent = SendRequest(request);
      if (!sent) *lastError = GetLastError();
      FreeSystemText(proxy.lpszProxy);
      FreeSystemText(proxy.lpszProxyBypass);
    } else {
      *lastError = GetLastError();
    }
  } else if (config.lpszProxy != nullptr) {
    wchar_t name[kProxyTextCapacity] = {};
    wchar_t bypass[kProxyTextCapacity] = {};
    lstrcpynW(name, config.lpszProxy, kProxyTextCapacity);
    if (config.lpszProxyBypass != nullptr) lstrcpynW(bypass, config.lpszProxyBypass, kProxyTextCapacity);
    WINHTTP_PROXY_INFO proxy = {};
    proxy.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    proxy.lpszProxy = name;
    proxy.lpszProxyBypass = config.lpszProxyBypass != nullptr ? bypass : nullptr;
    WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &proxy, sizeof proxy);
  }
  FreeSystemText(config.lpszAutoConfigUrl);
  FreeSystemText(config.lpszProxy);
  FreeSystemText(config.lpszProxyBypass);
  return sent;
}

}  // namespace

bool CWinHttpTransfer::OpenRequest(const std::wstring& verb, Request** out) {
  if (m_hSession == nullptr) {
    m_hSession = WinHttpOpen(m_userAgent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
    if (m_hSession == nullptr) {
      m_lastError = GetLastError();
      return false;
    }
  }
  WinHttpSetTimeouts(m_hSession, m_timeouts.resolve, m_timeouts.connect, m_timeouts.send, m_timeouts.receive);

  // Lengths of -1 make WinHttpCrackUrl point into m_url instead of copying
  // into fixed buffers, so no URL is too long for it. The query ("extra
  // info") belongs to the request path: without it the server would be
  // asked for another resource.
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(m_url.c_str(), 0, 0, &parts)) {
    m_lastError = GetLastError();
    return false;
  }
  m_host.assign(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath != nullptr ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  auto* request = new Request;
  request->currentUrl = m_url;
  request->connection = WinHttpConnect(m_hSession, m_host.c_str(), parts.nPort, 0);
  if (request->connection == nullptr) {
    m_lastError = GetLastError();
    delete request;
    return false;
  }
  request->request = WinHttpOpenRequest(request->connection, verb.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
  if (request->request == nullptr) {
    m_lastError = GetLastError();
    CloseRequest(request);
    return false;
  }
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(request);
  WinHttpSetOption(request->request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
  WinHttpSetStatusCallback(request->request, &Request::OnStatus, WINHTTP_CALLBACK_FLAG_REDIRECT, 0);
  if (secure && !m_requireValidCertificate) {
    DWORD flags = kIgnoreCertificateErrors;
    WinHttpSetOption(request->request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
  }
  *out = request;
  return true;
}

bool CWinHttpTransfer::Exchange(Request& request, const std::wstring& /*verb*/) {
  if (!SendRequest(request.request)) {
    m_lastError = GetLastError();
    if (!SendThroughSystemProxy(static_cast<HINTERNET>(m_hSession), request.request, m_url, &m_lastError)) {
      return false;
    }
  }
  if (!WinHttpReceiveResponse(request.request, nullptr)) {
    m_lastError = GetLastError();
    return false;
  }
  TakeResponseHead(QueryHeaderText(request.request, WINHTTP_QUERY_RAW_HEADERS_CRLF),
                   QueryHeaderText(request.request, WINHTTP_QUERY_STATUS_CODE),
                   QueryFinalUrl(request.request, request.currentUrl));

  std::vector<char> chunk;
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.request, &available)) {
      m_lastError = GetLastError();
      available = 0;
    }
    if (available == 0) break;
    chunk.resize(available);
    DWORD read = 0;
    // A failed or empty read would ask for the same bytes for ever.
    if (!WinHttpReadData(request.request, chunk.data(), available, &read)) {
      m_lastError = GetLastError();
      break;
    }
    if (read == 0) break;
    TakeBodyChunk(chunk.data(), read);
    if (m_aborted) break;
  }
  return true;
}

void CWinHttpTransfer::CloseRequest(Request* request) {
  if (request == nullptr) return;
  if (request->request != nullptr) WinHttpCloseHandle(request->request);
  if (request->connection != nullptr) WinHttpCloseHandle(request->connection);
  delete request;
}

void CWinHttpTransfer::CloseSession() {
  if (m_hSession != nullptr) WinHttpCloseHandle(static_cast<HINTERNET>(m_hSession));
  m_hSession = nullptr;
}
