// What a libcurl transfer of the download engine learns from the response
// headers, and how a transfer's end becomes a download failure value
// (download_failure.h).
//
// CollectHeader is the header callback: it keeps the Content-Range and the
// validity of Content-Length of the latest response (a redirect starts a
// new one) and cuts a response whose header grows past kMaxHeaderBytes.
// libcurl refuses a single header line above its own limit before the
// callback sees it; its error text (errorText) tells that case. One
// CurlResponse belongs to one transfer, on one thread, and must stay at
// its address while the transfer runs.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <string>

inline constexpr std::size_t kMaxHeaderBytes = 256 * 1024;

struct CurlResponse {
  std::string contentRange;     // value of Content-Range, blanks trimmed
  bool badLength = false;       // a Content-Length that is not a plain number
  std::size_t headerBytes = 0;  // of the latest response
  bool headerTooLarge = false;  // the transfer was cut for it
  char errorText[CURL_ERROR_SIZE] = {};  // libcurl's CURLOPT_ERRORBUFFER

  // Forgets the response (the error text is libcurl's to reset).
  void Reset();
};

// libcurl header callback; `response` is a CurlResponse.
size_t CollectHeader(char* data, size_t size, size_t count, void* response);

// The failure value of a transfer of `requestUrl` that ended with `code`
// (not 0): the header cut, an HTTP status behind fail-on-error, a scheme
// that is refused at the start or on a redirect, or libcurl's own code.
int CurlFailure(int code, CURL* curl, const CurlResponse& response, const std::string& requestUrl);

// Codes after which the server gave no answer at all: asking the same
// server again at once (the fallback probes) would only wait as long again.
bool IsNoAnswer(int code);
