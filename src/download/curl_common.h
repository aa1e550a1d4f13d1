// What every libcurl transfer of the download engine shares: one-time
// library start-up, certificate verification, the options of header probes
// and of body transfers (the single-stream client and the parts of the
// segmented download set them here, once), the request URL encoding, the
// body-discarding write callback of header probes, and libcurl's error
// texts as wide text.
//
// Thread-safe: EnsureCurlInitialized may be called from any thread, any
// number of times; each easy handle belongs to one thread.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <string>

#include "download/curl_response.h"
#include "download/download_tuning.h"

void EnsureCurlInitialized();

// Peer and host verification on. With Schannel the system trust store is
// used (a CA bundle path compiled into the library would not exist on the
// user's machine), and revocation is checked best-effort: a revoked
// certificate fails, an unreachable or unknown revocation status does not
// (networks that block CRL/OCSP would otherwise fail every download).
// Returns the OR of the option codes.
CURLcode ApplyTlsVerification(CURL* curl);

// A header-only request of `url`: redirects followed (bounded), the connect
// and whole-probe limits of `tuning`, headers into `response`, and, with
// `abort`, cut short once it is set. Returns the OR of the option codes.
CURLcode SetProbeOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning,
                         const std::atomic<bool>* abort, CurlResponse* response);

// A body transfer: where the bytes and the progress go, and how long the
// body may stall below tuning.lowSpeedLimitBytes per second.
struct BodyTransfer {
  curl_write_callback write = nullptr;
  void* writeData = nullptr;
  curl_xferinfo_callback progress = nullptr;
  void* progressData = nullptr;
  long lowSpeedSeconds = 60;
};

// The options of a body transfer of `url`: redirects followed (bounded),
// fail-on-error, no overall limit but the stall limit, the connect limit,
// the receive buffer, TLS verification, headers into `response`. Returns
// the OR of the option codes.
CURLcode SetBodyTransferOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning,
                                const BodyTransfer& body, CurlResponse* response);

// UTF-8, or the ANSI code page for "file:///" URLs (a local path).
std::string RequestUrl(const std::wstring& url);

// Accepts and drops everything (the body of header-only requests).
size_t DiscardBody(char* data, size_t size, size_t count, void* userdata);

// libcurl's text for `code`, widened from the ANSI code page.
std::wstring CurlErrorText(int code);

// A narrow text (URL, path) widened from the ANSI code page for the log.
std::wstring WideForLog(const std::string& text);

// Transfer-info callback that aborts (code 42) once the std::atomic<bool>
// it is given is set; for transfers that report no progress.
int AbortWhenSet(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

struct CurlEasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlSlistPtr = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// Redirects followed at most; libcurl 7.x follows a loop for ever by default.
inline constexpr long kMaxRedirects = 30;

// Receive buffer of body transfers. libcurl's 16 KiB default means one write
// callback, one fwrite and one hand-over to the hashing thread per 16 KiB;
// at loopback speeds that bookkeeping, not the network, sets the pace.
inline constexpr long kBodyBufferBytes = 512 * 1024;
