// The Content-Range header of a 206 answer, parsed strictly. Pure.
//
// Accepted: "bytes <first>-<last>/<complete>" and "bytes <first>-<last>/*",
// with optional blanks around the whole value, the unit in any letter case
// and exactly one space after it. Numbers are plain decimal digits (no sign,
// no blanks inside) that fit a signed 64-bit integer; first <= last, and
// last < complete when the complete length is given. Everything else, the
// unsatisfied form "bytes */<complete>" included, is rejected: a downloader
// must never place bytes whose position it cannot prove.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct ContentRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::int64_t complete = -1;  // -1: "*", the server did not say
};

std::optional<ContentRange> ParseContentRange(std::string_view value);

// True when `value` parses and names exactly the bytes first..last of a
// file of `complete` bytes (a "*" complete length does not match).
bool ContentRangeMatches(std::string_view value, std::int64_t first, std::int64_t last, std::int64_t complete);
