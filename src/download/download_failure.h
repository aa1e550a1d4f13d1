// Download failure values: the one numbering behind the value of
// DL_CODE_FAIL and DL_CODE_RETRY, the results of CurlClient::Start and of a
// part of the segmented download, and the causes that the headless
// installer prints and the log records (DownloadFailureCause).
//
// One value means one thing. The numbers are stable: a value that is no
// longer produced stays listed here as a retired comment and is never
// given a new meaning.
//
//   0                 as a FAIL or RETRY value: the file's MD5 differs from
//                     the one in its URL (success is never a FAIL)
//   1                 no destination path (libcurl's own code 1, an
//                     unsupported scheme, is mapped to -989 / -988)
//   2 .. 299          libcurl's CURLcode, passed through unchanged
//   300 .. 599        the HTTP status that ended the download (a redirect
//                     status here is one without a usable target)
//   100000 + e        Windows error e met by the WinHTTP transfer
//   -985 .. -998      the download engine's own causes, below; a new
//                     cause takes the next free value above (-984, ...)
//
// Retired: -1 and -2 were part states that leaked out as values ("to be
// fetched", "part file not opened"); they are now -993 and -996. The WinHTTP
// downloader's -1 for an incomplete body is now -992, -996 or -998; its
// Windows errors (also the transfer's own 3, 13, 87, 995) moved up by 100000
// so that they no longer read as libcurl codes.
#pragma once

#include <cstdint>
#include <string>

enum : int {
  kFailMd5Mismatch = 0,
  kFailNoDestination = 1,

  kFailCurlFirst = 2,
  kFailCurlLast = 299,
  kFailHttpFirst = 300,
  kFailHttpLast = 599,
  kFailWinHttpBase = 100000,

  kFailBadLength = -985,          // the announced length is not a length (negative, garbled)
  kFailNoAnswer = -986,           // the server never answered within the time allowed
  kFailHeaderTooLarge = -987,     // the response header is too large
  kFailForbiddenRedirect = -988,  // a redirect to a scheme other than http(s)
  kFailUnsupportedScheme = -989,  // the URL's scheme cannot be downloaded
  kFailRangeIgnored = -990,       // a ranged request was answered with the whole file
  kFailRangeMismatch = -991,      // a 206 whose Content-Range is not the range asked for
  kFailLengthMismatch = -992,     // the body's size differs from the announced length
  kFailNoPartThread = -993,       // no thread could be started for a part
  kFailJoin = -994,               // the parts could not be joined into the file
  kFailRenameFailed = -995,       // the complete file could not be moved into place
  kFailOpenFailed = -996,         // the partial or part file could not be opened
  kFailNoHandle = -997,           // no libcurl handle
  kFailNoLength = -998,           // no real URL or length, or the file is below the minimum
};

// The value for HTTP status `status` (a status outside 300..599 is kept
// as it is; callers pass failing statuses only).
int HttpFailure(long status);
// The value for Windows error `error` from the WinHTTP transfer.
double WinHttpFailure(std::uint32_t error);

// A short English cause for the value: "HTTP 404", "redirect loop",
// "response header too large", "length differs from the announced one",
// "redirect to a forbidden scheme", "libcurl 28: Timeout was reached", ...
std::string DownloadFailureCause(double value);
