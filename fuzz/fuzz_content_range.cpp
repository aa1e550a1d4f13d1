// Content-Range and Content-Length as the libcurl transfers see them: a
// fuzzed header block goes through the header callback line by line, and
// every line and the kept value go through the strict Content-Range parser.
//
// Invariants: a parsed range has 0 <= first <= last, and last < complete
// unless the complete length is unknown; written back in its canonical form
// it parses to the same range and matches itself; the callback takes every
// line until the header grows past its limit and then refuses it; the kept
// Content-Range value has no blanks around it and no line end after it; a
// Content-Length that is not a plain number is always noticed.
#include <cstdint>
#include <optional>
#include <string>

#include "download/content_range.h"
#include "download/curl_response.h"
#include "fuzz_support.h"

namespace {

void CheckRange(std::string_view value) {
  const std::optional<ContentRange> range = ParseContentRange(value);
  if (!range) return;
  FUZZ_CHECK(range->first >= 0 && range->first <= range->last);
  FUZZ_CHECK(range->complete == -1 || range->last < range->complete);
  const std::string canonical = "bytes " + std::to_string(range->first) + "-" + std::to_string(range->last) + "/" +
                                (range->complete < 0 ? std::string("*") : std::to_string(range->complete));
  const std::optional<ContentRange> again = ParseContentRange(canonical);
  FUZZ_CHECK(again && again->first == range->first && again->last == range->last && again->complete == range->complete);
  // Only a known complete length can match one; a "*" matches none.
  if (range->complete >= 0) {
    FUZZ_CHECK(ContentRangeMatches(value, range->first, range->last, range->complete));
  } else if (range->last < INT64_MAX) {
    FUZZ_CHECK(!ContentRangeMatches(value, range->first, range->last, range->last + 1));
  }
}

bool IsBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A "content-length:" header (any case) whose value, trimmed, is not made of
// digits only.
bool IsBadLength(const std::string& line) {
  static const std::string kName = "content-length:";
  if (line.size() < kName.size()) return false;
  for (std::size_t i = 0; i < kName.size(); ++i) {
    const char c = line[i] >= 'A' && line[i] <= 'Z' ? static_cast<char>(line[i] - 'A' + 'a') : line[i];
    if (c != kName[i]) return false;
  }
  std::size_t begin = kName.size(), end = line.size();
  while (begin < end && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
  while (end > begin && IsBlankOrLineEnd(line[end - 1])) --end;
  if (begin == end) return true;
  for (std::size_t i = begin; i < end; ++i) {
    if (line[i] < '0' || line[i] > '9') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 512 * 1024) return 0;
  const std::string headers(reinterpret_cast<const char*>(data), size);
  CheckRange(headers);

  CurlResponse response;
  std::size_t bytes = 0;
  bool badLength = false;
  for (std::size_t start = 0; start < headers.size();) {
    const std::size_t lineFeed = headers.find('\n', start);
    const std::size_t end = lineFeed == std::string::npos ? headers.size() : lineFeed + 1;
    std::string line = headers.substr(start, end - start);
    start = end;
    CheckRange(line);

    if (line.compare(0, 5, "HTTP/") == 0) bytes = 0, badLength = false;
    bytes += line.size();
    const std::size_t taken = CollectHeader(line.data(), 1, line.size(), &response);
    if (bytes > kMaxHeaderBytes) {
      FUZZ_CHECK(taken == 0 && response.headerTooLarge);
      break;
    }
    FUZZ_CHECK(taken == line.size() && !response.headerTooLarge);
    FUZZ_CHECK(response.headerBytes == bytes);
    badLength = badLength || IsBadLength(line);
    FUZZ_CHECK(response.badLength == badLength);
    const std::string& kept = response.contentRange;
    FUZZ_CHECK(kept.empty() || (kept.front() != ' ' && kept.front() != '\t' && !IsBlankOrLineEnd(kept.back())));
    CheckRange(kept);
  }
  return 0;
}
