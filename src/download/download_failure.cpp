#include "download/download_failure.h"

#include <curl/curl.h>

#include <cmath>

namespace {

const char* CurlCause(int code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return "host name not found";
    case CURLE_COULDNT_CONNECT: return "cannot connect to the server";
    case CURLE_HTTP_RETURNED_ERROR: return "HTTP error status";
    case CURLE_PARTIAL_FILE: return "transfer cut short";
    case CURLE_WRITE_ERROR: return "file could not be written";
    case CURLE_OPERATION_TIMEDOUT: return "no answer in time";
    case CURLE_ABORTED_BY_CALLBACK: return "aborted";
    case CURLE_TOO_MANY_REDIRECTS: return "redirect loop";
    case CURLE_GOT_NOTHING: return "empty answer";
    case CURLE_RECV_ERROR: return "connection lost while receiving";
    case CURLE_SSL_CONNECT_ERROR: return "TLS handshake failed";
    case CURLE_PEER_FAILED_VERIFICATION: return "server certificate not trusted";
    case CURLE_FILESIZE_EXCEEDED: return "body longer than the announced length";
    case CURLE_RANGE_ERROR: return "server cannot serve the range";
    default: return nullptr;
  }
}

const char* OwnCause(int value) {
  switch (value) {
    case kFailMd5Mismatch: return "MD5 differs from the one in the URL";
    case kFailNoDestination: return "no destination path";
    case kFailNoAnswer: return "server does not answer";
    case kFailBadLength: return "announced length is invalid";
    case kFailHeaderTooLarge: return "response header too large";
    case kFailForbiddenRedirect: return "redirect to a forbidden scheme";
    case kFailUnsupportedScheme: return "URL scheme not supported";
    case kFailRangeIgnored: return "server ignored the requested range";
    case kFailRangeMismatch: return "answer does not match the requested range";
    case kFailLengthMismatch: return "length differs from the announced one";
    case kFailNoPartThread: return "no thread for a part";
    case kFailJoin: return "parts could not be joined";
    case kFailRenameFailed: return "file could not be moved into place";
    case kFailOpenFailed: return "partial file could not be opened";
    case kFailNoHandle: return "no transfer handle";
    case kFailNoLength: return "length unknown or too short";
    default: return nullptr;
  }
}

const char* WinHttpCause(std::uint32_t error) {
  switch (error) {
    case 12002: return "no answer in time";
    case 12007: return "host name not found";
    case 12029: return "cannot connect to the server";
    case 12030: return "connection lost";
    case 12152: return "invalid answer from the server";
    case 12175: return "server certificate not trusted";
    case 995: return "aborted";
    case 13: return "page cut off";
    default: return nullptr;
  }
}

}  // namespace

int HttpFailure(long status) { return static_cast<int>(status); }

double WinHttpFailure(std::uint32_t error) { return static_cast<double>(kFailWinHttpBase) + error; }

std::string DownloadFailureCause(double value) {
  if (!std::isfinite(value) || value != std::floor(value)) return "unknown failure";
  if (value >= kFailWinHttpBase) {
    const auto error = static_cast<std::uint32_t>(value - kFailWinHttpBase);
    const char* cause = WinHttpCause(error);
    const std::string number = "WinHTTP error " + std::to_string(error);
    return cause ? std::string(cause) + " (" + number + ")" : number;
  }
  if (value < -1000.0 || value > kFailHttpLast) return "unknown failure";
  const int code = static_cast<int>(value);
  if (code >= kFailHttpFirst) return "HTTP " + std::to_string(code);
  if (code >= kFailCurlFirst) {
    const char* cause = CurlCause(code);
    const std::string number = "libcurl " + std::to_string(code);
    if (cause) return std::string(cause) + " (" + number + ")";
    return number + ": " + curl_easy_strerror(static_cast<CURLcode>(code));
  }
  const char* cause = OwnCause(code);
  return cause ? cause : "unknown failure";
}
