#include "download/content_range.h"

#include <cstddef>
#include <cstdint>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Reads the digits at the front of `text` into `value`; false when there are
// none or they overflow.
bool TakeNumber(std::string_view* text, std::int64_t* value) {
  std::size_t used = 0;
  std::int64_t result = 0;
  while (used < text->size() && (*text)[used] >= '0' && (*text)[used] <= '9') {
    const int digit = (*text)[used] - '0';
    if (result > (INT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
    ++used;
  }
  if (used == 0) return false;
  text->remove_prefix(used);
  *value = result;
  return true;
}

bool TakeChar(std::string_view* text, char c) {
  if (text->empty() || text->front() != c) return false;
  text->remove_prefix(1);
  return true;
}

bool TakeUnit(std::string_view* text) {
  static constexpr std::string_view kUnit = "bytes";
  if (text->size() < kUnit.size()) return false;
  for (std::size_t i = 0; i < kUnit.size(); ++i) {
    char c = (*text)[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kUnit[i]) return false;
  }
  text->remove_prefix(kUnit.size());
  return true;
}

}  // namespace

std::optional<ContentRange> ParseContentRange(std::string_view value) {
  std::string_view text = TrimBlanks(value);
  ContentRange range;
  if (!TakeUnit(&text) || !TakeChar(&text, ' ')) return std::nullopt;
  if (!TakeNumber(&text, &range.first) || !TakeChar(&text, '-') || !TakeNumber(&text, &range.last)) {
    return std::nullopt;
  }
  if (!TakeChar(&text, '/')) return std::nullopt;
  if (!TakeChar(&text, '*')) {
    if (!TakeNumber(&text, &range.complete)) return std::nullopt;
    if (range.last >= range.complete) return std::nullopt;
  }
  if (!text.empty() || range.first > range.last) return std::nullopt;
  return range;
}

bool ContentRangeMatches(std::string_view value, std::int64_t first, std::int64_t last, std::int64_t complete) {
  const std::optional<ContentRange> range = ParseContentRange(value);
  return range && range->first == first && range->last == last && range->complete == complete;
}
