#include "download/curl_response.h"

#include <string_view>

#include "download/download_failure.h"

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The value of header `name` (lower case, with its colon) in `line`, or
// nothing when the line is another header.
bool HeaderValue(std::string_view line, std::string_view name, std::string_view* value) {
  if (line.size() < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != name[i]) return false;
  }
  *value = Trim(line.substr(name.size()));
  return true;
}

bool IsPlainNumber(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsHttpUrl(const std::string& url) {
  std::string lower;
  for (size_t i = 0; i < url.size() && i < 8; ++i) {
    lower += static_cast<char>(url[i] >= 'A' && url[i] <= 'Z' ? url[i] - 'A' + 'a' : url[i]);
  }
  return lower.compare(0, 7, "http://") == 0 || lower.compare(0, 8, "https://") == 0;
}

}  // namespace

void CurlResponse::Reset() {
  contentRange.clear();
  badLength = false;
  headerBytes = 0;
  headerTooLarge = false;
}

size_t CollectHeader(char* data, size_t size, size_t count, void* userdata) {
  auto* response = static_cast<CurlResponse*>(userdata);
  const size_t bytes = size * count;
  const std::string_view line(data, bytes);
  if (line.compare(0, 5, "HTTP/") == 0) response->Reset();
  response->headerBytes += bytes;
  if (response->headerBytes > kMaxHeaderBytes) {
    response->headerTooLarge = true;
    return 0;  // libcurl ends the transfer with a write error
  }
  std::string_view value;
  if (HeaderValue(line, "content-range:", &value)) response->contentRange = std::string(value);
  if (HeaderValue(line, "content-length:", &value) && !IsPlainNumber(value)) response->badLength = true;
  return bytes;
}

int CurlFailure(int code, CURL* curl, const CurlResponse& response, const std::string& requestUrl) {
  if (response.headerTooLarge) return kFailHeaderTooLarge;
  // libcurl refuses a header line above its own limit as "out of memory"
  // once the response has begun, or names it in its error text.
  const std::string_view error(response.errorText);
  if ((code == CURLE_OUT_OF_MEMORY && response.headerBytes > 0) ||
      ((code == CURLE_OUT_OF_MEMORY || code == CURLE_RECV_ERROR) && error.find("header") != std::string_view::npos)) {
    return kFailHeaderTooLarge;
  }
  // A negative or garbled Content-Length, which libcurl refuses itself.
  if (code == CURLE_WEIRD_SERVER_REPLY &&
      (response.badLength || error.find("Content-Length") != std::string_view::npos)) {
    return kFailBadLength;
  }
  if (code == CURLE_UNSUPPORTED_PROTOCOL) {
    // An http(s) start can only meet another scheme through a redirect.
    return IsHttpUrl(requestUrl) ? kFailForbiddenRedirect : kFailUnsupportedScheme;
  }
  if (code == CURLE_HTTP_RETURNED_ERROR && curl) {
    long status = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= kFailHttpFirst &&
        status <= kFailHttpLast) {
      return HttpFailure(status);
    }
  }
  return code;
}

bool IsNoAnswer(int code) {
  return code == CURLE_OPERATION_TIMEDOUT || code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
         code == CURLE_GOT_NOTHING;
}
