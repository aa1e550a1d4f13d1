#include "download/received_bytes.h"

#include <algorithm>

#include "download/mt_curl_downloader.h"
#include "download/part_plan.h"
#include "platform/files.h"

std::int64_t ReceivedPackageBytes(const std::wstring& packagePath) {
  std::int64_t inParts = -1;
  auto add = [&inParts](std::int64_t size) {
    if (size >= 0) inParts = std::max<std::int64_t>(inParts, 0) + size;
  };
  add(platform::FileSize(packagePath + L".part"));
  for (int i = 0; i < kMaxParts; ++i) add(platform::FileSize(CMTCurlDownloader::GetPartPath(packagePath, i)));
  // Joined parts become the package before the part files go: count the
  // larger, never both.
  return std::max(inParts, platform::FileSize(packagePath));
}
