// The expected MD5 that the download server puts into the final URL
// (".../<md5>/<file name>"), read from any URL a redirect can lead to.
//
// Invariants: the result is exactly the text between the last two "/" (none
// when there are fewer than two, or the last is the first character), so it
// never holds a "/"; and only a text of 32 characters can count as an MD5,
// which a URL can give only when its second-to-last segment has that length.
#include "download/md5.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  const std::string url(reinterpret_cast<const char*>(data), size);
  const std::string md5 = GetUrlMd5(url);

  FUZZ_CHECK(md5.find('/') == std::string::npos);
  const std::vector<std::string> segments = fuzz::SplitAt(url, '/');
  const bool hasTwo = segments.size() >= 3 && url.rfind('/') != 0;
  FUZZ_CHECK(md5 == (hasTwo ? segments[segments.size() - 2] : std::string()));
  if (md5.size() == 32) FUZZ_CHECK(url.find(md5 + "/") != std::string::npos);
  return 0;
}
