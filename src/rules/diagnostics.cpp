#include "rules/diagnostics.h"

#include <cmath>
#include <cwchar>
#include <vector>

namespace rules {

namespace {

constexpr std::size_t kMaxChars = 199;

std::wstring Cut(std::wstring text) {
  if (text.size() > kMaxChars) text.resize(kMaxChars);
  return text;
}

// swprintf refuses a result that does not fit rather than cutting it, so
// format into room for the whole text and cut afterwards.
template <typename... Args>
std::wstring Format(std::size_t extra, const wchar_t* format, Args... args) {
  std::vector<wchar_t> buffer(256 + extra);
  int written = std::swprintf(buffer.data(), buffer.size(), format, args...);
  if (written < 0) return std::wstring();
  return Cut(std::wstring(buffer.data(), static_cast<std::size_t>(written)));
}

}  // namespace

std::int32_t TruncateEventValue(double value) {
  if (std::isnan(value) || value >= 2147483648.0 || value <= -2147483649.0) return 0;
  return static_cast<std::int32_t>(value);
}

std::wstring FormatDownloadFailure(const DownloadFailureFacts& facts) {
  const double freeGiB = std::isfinite(facts.freeGiB) ? facts.freeGiB : 0.0;
  return Format(facts.message.size(),
                L"1.code=%ld；2.msg=%ls；3.缓存磁盘容量=%.2fG；4.缓存读写权限=%ls；5.服务器连接状态code=%d",
                static_cast<long>(TruncateEventValue(facts.code)), facts.message.c_str(), freeGiB,
                facts.writable ? L"可读" : L"无权限", static_cast<int>(facts.network));
}

std::wstring FormatEventFailure(double code, const std::wstring& message) {
  return Format(message.size(), L":1.code=%ld；2.msg=%ls", static_cast<long>(TruncateEventValue(code)),
                message.c_str());
}

}  // namespace rules
