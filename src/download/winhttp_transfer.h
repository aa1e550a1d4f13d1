// CWinHttpTransfer: one synchronous HTTP(S) request through the system's
// WinHTTP service. The response body is either kept in memory and decoded to
// text, or written into a file (file mode: a response file path is set).
//
// Send makes up to three attempts on one request. When a direct send fails,
// the user's system proxy settings are tried. After the response headers
// arrive, a few values are pulled out of them with MatchGroups
// (download/header_patterns.h). In memory mode a "GET" whose page opens
// "<html>" but never closes it counts as cut off (error 13) and is fetched
// again.
//
// Platform split: winhttp_transfer.cpp holds the portable half (checks,
// header values, body handling, decoding); winhttp_transfer_win.cpp talks to
// WinHTTP; winhttp_transfer_posix.cpp is a small libcurl stand-in with the
// same Send contract, so that its users run in native tests. The stand-in has
// no system proxy and follows redirects like WinHTTP's default policy.
//
// Threads: one object is used by one thread at a time; Send blocks. The
// progress hook runs on the thread that called Send.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// `location`, a redirect's Location as the server wrote it (absolute,
// scheme-relative "//host/x", host-relative "/x" or path-relative "x"),
// made absolute against the URL `base` it answered. Pure; used where
// WinHTTP cannot name the final URL itself.
std::wstring ResolveRedirectLocation(const std::wstring& base, const std::wstring& location);

class CWinHttpTransfer {
 public:
  // Called in file mode after each chunk has been written, with the bytes
  // written to the response file in this attempt and the Content-Length of
  // the response (0 when it named none). Returning false stops the transfer:
  // Send then fails with kErrorAborted. Must not block for long.
  using ProgressHook = std::function<bool(std::uint64_t written, std::uint32_t contentLength)>;

  // The error codes that Send sets besides Windows' own (GetLastError).
  static constexpr std::uint32_t kErrorEmptyUrl = 3;        // ERROR_PATH_NOT_FOUND
  static constexpr std::uint32_t kErrorCutOffPage = 13;     // ERROR_INVALID_DATA
  static constexpr std::uint32_t kErrorUnsupportedVerb = 87;  // ERROR_INVALID_PARAMETER
  static constexpr std::uint32_t kErrorAborted = 995;        // ERROR_OPERATION_ABORTED

  static constexpr int kAttempts = 3;

  struct Timeouts {  // milliseconds, as WinHttpSetTimeouts takes them
    int resolve = 0;
    int connect = 60000;
    int send = 30000;
    int receive = 30000;
  };

  explicit CWinHttpTransfer(const std::wstring& url);
  ~CWinHttpTransfer();
  CWinHttpTransfer(const CWinHttpTransfer&) = delete;
  CWinHttpTransfer& operator=(const CWinHttpTransfer&) = delete;

  // Performs the request. True when a response was received and accepted;
  // the HTTP status does not decide this (read StatusText). False with
  // LastError() set otherwise: kErrorEmptyUrl, kErrorUnsupportedVerb (verbs
  // other than "GET" and "POST", any case; the network is not touched),
  // kErrorCutOffPage, kErrorAborted, or the last Windows error met.
  bool Send(const std::wstring& verb);

  // The pattern search used on the headers (download/header_patterns.h).
  static std::vector<std::wstring> MatchGroups(const std::wstring& pattern, const std::wstring& text);

  // ---- settings, before Send ----
  // Non-empty: the body is appended to this file instead of kept in memory.
  // The file is never truncated or deleted here; the caller prepares it.
  void SetResponseFilePath(const std::wstring& path) { m_responseFilePath = path; }
  // False (the default) lets HTTPS ignore certificate errors.
  void SetRequireValidCertificate(bool require) { m_requireValidCertificate = require; }
  void SetProgressHook(ProgressHook hook) { m_progressHook = std::move(hook); }
  void SetUserAgent(const std::wstring& agent) { m_userAgent = agent; }

  // ---- results, after Send ----
  std::uint32_t LastError() const { return m_lastError; }
  const std::wstring& StatusText() const { return m_statusText; }
  int StatusCode() const;  // StatusText as a number; 0 when none
  const std::wstring& Host() const { return m_host; }
  const std::wstring& ResponseHeaders() const { return m_responseHeaders; }
  const std::wstring& ResponseText() const { return m_responseText; }
  const std::wstring& ResponseCharset() const { return m_responseCharset; }
  const std::string& ResponseBytes() const { return m_responseBytes; }
  std::uint32_t ReceivedLength() const { return m_receivedLength; }
  std::uint32_t ContentLength() const { return m_contentLength; }
  const std::wstring& ReceivedCookies() const { return m_receivedCookies; }
  const std::wstring& RedirectLocation() const { return m_redirectLocation; }
  // The URL of the final response after redirects; empty before a response.
  const std::wstring& FinalUrl() const { return m_finalUrl; }
  const std::wstring& ResponseFilePath() const { return m_responseFilePath; }
  // File mode: bytes written by the attempt that delivered the body, and
  // whether the file could not be opened or took fewer bytes than given.
  std::uint64_t WrittenLength() const { return m_writtenLength; }
  bool ResponseFileFailed() const { return m_responseFileFailed; }
  const Timeouts& GetTimeouts() const { return m_timeouts; }

 private:
  struct Request;  // one opened request; defined by each platform file

  // ---- platform half ----
  // Opens the session (once), sets the timeouts, cracks the URL (sets
  // m_host) and opens the request. False with m_lastError set.
  bool OpenRequest(const std::wstring& verb, Request** request);
  // One exchange: send (with the proxy fallback), receive, then hand the
  // raw headers, status, final URL and body chunks to the portable half
  // (TakeResponseHead, TakeBodyChunk). False when no response arrived.
  bool Exchange(Request& request, const std::wstring& verb);
  void CloseRequest(Request* request);
  void CloseSession();

  // ---- portable half ----
  void ResetResponse();
  void TakeResponseHead(const std::wstring& rawHeaders, const std::wstring& statusText,
                        const std::wstring& finalUrl);
  void TakeBodyChunk(const char* data, std::size_t size);
  void FinishBody();
  bool IsCutOffPage() const;
  void ReportFileProblem(const wchar_t* format);

  void* m_hSession = nullptr;  // HINTERNET on Windows; unused by the stand-in
  bool m_requireValidCertificate = false;
  std::wstring m_url;
  std::wstring m_host;
  std::wstring m_responseHeaders;
  std::wstring m_responseText;
  std::wstring m_responseCharset;
  std::string m_responseBytes;
  std::uint32_t m_receivedLength = 0;
  std::uint32_t m_contentLength = 0;
  std::wstring m_receivedCookies;
  std::uint32_t m_lastError = 0;
  std::wstring m_statusText;
  std::wstring m_userAgent = L"TarnwickSetup";
  std::wstring m_redirectLocation;
  Timeouts m_timeouts;
  std::wstring m_responseFilePath;

  std::wstring m_finalUrl;
  ProgressHook m_progressHook;
  std::FILE* m_responseFile = nullptr;  // open while a body is written
  std::uint64_t m_writtenLength = 0;
  bool m_responseFileFailed = false;
  bool m_aborted = false;  // the progress hook asked to stop
};
