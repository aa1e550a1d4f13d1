// The portable half of CWinHttpTransfer: request checks, the attempt loop,
// header values, body handling and decoding. The platform files supply
// OpenRequest, Exchange, CloseRequest and CloseSession.
#include "download/winhttp_transfer.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <vector>

#include "download/header_patterns.h"
#include "platform/codepage.h"
#include "platform/debug_output.h"
#include "platform/files.h"

namespace {

std::wstring UpperAscii(const std::wstring& text) {
  std::wstring upper = text;
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return upper;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

std::wstring ResolveRedirectLocation(const std::wstring& base, const std::wstring& location) {
  if (location.find(L"://") != std::wstring::npos) return location;
  const std::size_t schemeEnd = base.find(L"://");
  if (schemeEnd == std::wstring::npos) return location;
  if (location.compare(0, 2, L"//") == 0) return base.substr(0, schemeEnd + 1) + location;
  const std::size_t pathStart = base.find(L'/', schemeEnd + 3);
  const std::wstring origin = base.substr(0, std::min(pathStart, base.find_first_of(L"?#", schemeEnd + 3)));
  if (!location.empty() && location[0] == L'/') return origin + location;
  if (pathStart == std::wstring::npos) return origin + L"/" + location;
  const std::wstring path = base.substr(pathStart, base.find_first_of(L"?#", pathStart) - pathStart);
  return origin + path.substr(0, path.rfind(L'/') + 1) + location;
}

CWinHttpTransfer::CWinHttpTransfer(const std::wstring& url) : m_url(url) {}

CWinHttpTransfer::~CWinHttpTransfer() {
  if (m_responseFile != nullptr) std::fclose(m_responseFile);
  CloseSession();
}

std::vector<std::wstring> CWinHttpTransfer::MatchGroups(const std::wstring& pattern, const std::wstring& text) {
  return ::MatchGroups(pattern, text);
}

int CWinHttpTransfer::StatusCode() const {
  int code = 0;
  for (wchar_t c : m_statusText) {
    if (c < L'0' || c > L'9' || code > 99999) return 0;
    code = code * 10 + (c - L'0');
  }
  return code;
}

bool CWinHttpTransfer::Send(const std::wstring& verb) {
  if (m_url.empty()) {
    m_lastError = kErrorEmptyUrl;
    return false;
  }
  const std::wstring method = UpperAscii(verb);
  if (method != L"GET" && method != L"POST") {
    m_lastError = kErrorUnsupportedVerb;
    return false;
  }
  Request* request = nullptr;
  if (!OpenRequest(method, &request)) return false;

  bool succeeded = false;
  for (int attempt = 0; attempt < kAttempts && !succeeded; ++attempt) {
    ResetResponse();
    const bool answered = Exchange(*request, method);
    if (m_responseFile != nullptr) {
      // Buffered bytes reach the disk only now; a failure here loses them.
      if (std::fclose(m_responseFile) != 0) m_responseFileFailed = true;
      m_responseFile = nullptr;
    }
    if (m_aborted) {
      m_lastError = kErrorAborted;
      break;
    }
    if (!answered) continue;
    FinishBody();
    // A page that opens <html> and never closes it was cut off on the way;
    // asking again is cheap next to acting on half a page.
    if (method == L"GET" && IsCutOffPage()) {
      m_lastError = kErrorCutOffPage;
      continue;
    }
    succeeded = true;
  }
  CloseRequest(request);
  return succeeded;
}

void CWinHttpTransfer::ResetResponse() {
  m_responseHeaders.clear();
  m_responseText.clear();
  m_responseCharset.clear();
  m_responseBytes.clear();
  m_receivedLength = 0;
  m_contentLength = 0;
  m_receivedCookies.clear();
  m_statusText.clear();
  m_redirectLocation.clear();
  m_finalUrl.clear();
  m_writtenLength = 0;
  m_responseFileFailed = false;
  m_aborted = false;
}

void CWinHttpTransfer::TakeResponseHead(const std::wstring& rawHeaders, const std::wstring& statusText,
                                        const std::wstring& finalUrl) {
  m_responseHeaders = rawHeaders;
  m_statusText = statusText;
  m_finalUrl = finalUrl;
  const ResponseHeaderValues values = ExtractResponseHeaderValues(rawHeaders);
  m_responseCharset = values.charset;
  m_contentLength = values.contentLength;
  m_redirectLocation = values.location;
  m_receivedCookies = values.cookies;
}

void CWinHttpTransfer::TakeBodyChunk(const char* data, std::size_t size) {
  if (size == 0 || m_aborted) return;
  if (m_responseFilePath.empty()) {
    m_responseBytes.append(data, size);
    return;
  }
  if (m_responseFile == nullptr) {
    if (m_responseFileFailed) return;  // reported once; the rest is dropped
    m_responseFile = platform::OpenFile(m_responseFilePath, "ab+");
    if (m_responseFile == nullptr) {
      m_responseFileFailed = true;
      ReportFileProblem(L"Failed to open response file. Error code: %d\r\n");
      return;
    }
  }
  const std::size_t written = std::fwrite(data, 1, size, m_responseFile);
  m_writtenLength += written;
  if (written < size && !m_responseFileFailed) {
    m_responseFileFailed = true;
    ReportFileProblem(L"Failed to write response data. Error code: %d\r\n");
  }
  if (m_progressHook && !m_progressHook(m_writtenLength, m_contentLength)) m_aborted = true;
}

void CWinHttpTransfer::ReportFileProblem(const wchar_t* format) {
  // The runtime's error number says more than a WinHTTP code here.
  wchar_t line[128];
  std::swprintf(line, sizeof line / sizeof line[0], format, errno);
  platform::OutputDebugLine(line);
}

void CWinHttpTransfer::FinishBody() {
  m_receivedLength = m_responseBytes.size() > std::numeric_limits<std::uint32_t>::max()
                         ? std::numeric_limits<std::uint32_t>::max()
                         : static_cast<std::uint32_t>(m_responseBytes.size());
  if (m_responseBytes.empty()) return;
  const bool utf8 = StartsWithIgnoringCase(m_responseCharset, L"utf-8");
  std::wstring text = platform::ToWide(m_responseBytes, utf8 ? platform::kCodePageUtf8 : platform::kCodePageAnsi);
  if (text.empty()) text = platform::ToWide(m_responseBytes, platform::kCodePageAnsi);
  if (!text.empty()) m_responseText = text;
}

bool CWinHttpTransfer::IsCutOffPage() const {
  return !MatchGroups(L"{<html>}", m_responseText).empty() && MatchGroups(L"{</html>}", m_responseText).empty();
}
