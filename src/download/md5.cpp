#include "download/md5.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files.h"

// Written out from RFC 1321 rather than taken from a library: none of the
// libraries this project links offers MD5 on every target (the Windows
// libcurl uses Schannel and exports no digest), and the algorithm is short.
namespace {

inline std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

inline void StoreLittleEndian(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}

#define TW_MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define TW_MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define TW_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define TW_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define TW_MD5_STEP(f, a, b, c, d, x, t, s) \
  (a) += f((b), (c), (d)) + (x) + (t);      \
  (a) = RotateLeft((a), (s)) + (b)

void Transform(std::uint32_t state[4], const std::uint8_t block[64]) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(block + 4 * i);
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

  TW_MD5_STEP(TW_MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
  TW_MD5_STEP(TW_MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
  TW_MD5_STEP(TW_MD5_F, c, d, a, b, x[2], 0x242070db, 17);
  TW_MD5_STEP(TW_MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
  TW_MD5_STEP(TW_MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
  TW_MD5_STEP(TW_MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
  TW_MD5_STEP(TW_MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
  TW_MD5_STEP(TW_MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
  TW_MD5_STEP(TW_MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
  TW_MD5_STEP(TW_MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
  TW_MD5_STEP(TW_MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
  TW_MD5_STEP(TW_MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
  TW_MD5_STEP(TW_MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
  TW_MD5_STEP(TW_MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
  TW_MD5_STEP(TW_MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
  TW_MD5_STEP(TW_MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

  TW_MD5_STEP(TW_MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
  TW_MD5_STEP(TW_MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
  TW_MD5_STEP(TW_MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
  TW_MD5_STEP(TW_MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
  TW_MD5_STEP(TW_MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
  TW_MD5_STEP(TW_MD5_G, d, a, b, c, x[10], 0x02441453, 9);
  TW_MD5_STEP(TW_MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
  TW_MD5_STEP(TW_MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
  TW_MD5_STEP(TW_MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
  TW_MD5_STEP(TW_MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
  TW_MD5_STEP(TW_MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
  TW_MD5_STEP(TW_MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
  TW_MD5_STEP(TW_MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
  TW_MD5_STEP(TW_MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
  TW_MD5_STEP(TW_MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
  TW_MD5_STEP(TW_MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

  TW_MD5_STEP(TW_MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
  TW_MD5_STEP(TW_MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
  TW_MD5_STEP(TW_MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
  TW_MD5_STEP(TW_MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
  TW_MD5_STEP(TW_MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
  TW_MD5_STEP(TW_MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
  TW_MD5_STEP(TW_MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
  TW_MD5_STEP(TW_MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
  TW_MD5_STEP(TW_MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
  TW_MD5_STEP(TW_MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
  TW_MD5_STEP(TW_MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
  TW_MD5_STEP(TW_MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
  TW_MD5_STEP(TW_MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
  TW_MD5_STEP(TW_MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
  TW_MD5_STEP(TW_MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
  TW_MD5_STEP(TW_MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

  TW_MD5_STEP(TW_MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
  TW_MD5_STEP(TW_MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
  TW_MD5_STEP(TW_MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
  TW_MD5_STEP(TW_MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
  TW_MD5_STEP(TW_MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
  TW_MD5_STEP(TW_MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
  TW_MD5_STEP(TW_MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
  TW_MD5_STEP(TW_MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
  TW_MD5_STEP(TW_MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
  TW_MD5_STEP(TW_MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
  TW_MD5_STEP(TW_MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
  TW_MD5_STEP(TW_MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
  TW_MD5_STEP(TW_MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
  TW_MD5_STEP(TW_MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
  TW_MD5_STEP(TW_MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
  TW_MD5_STEP(TW_MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

#undef TW_MD5_STEP
#undef TW_MD5_I
#undef TW_MD5_H
#undef TW_MD5_G
#undef TW_MD5_F

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void Md5Init(Md5Context* context) {
  std::memset(context, 0, sizeof(*context));
  context->state[0] = 0x67452301;
  context->state[1] = 0xefcdab89;
  context->state[2] = 0x98badcfe;
  context->state[3] = 0x10325476;
}

void Md5Update(Md5Context* context, const void* data, std::size_t length) {
  const auto* input = static_cast<const std::uint8_t*>(data);
  std::size_t used = (context->bitCount[0] >> 3) & 0x3F;

  std::uint64_t bits = (std::uint64_t(context->bitCount[1]) << 32) | context->bitCount[0];
  bits += std::uint64_t(length) << 3;
  context->bitCount[0] = std::uint32_t(bits);
  context->bitCount[1] = std::uint32_t(bits >> 32);

  if (used != 0) {
    std::size_t room = 64 - used;
    if (length < room) {
      std::memcpy(context->block + used, input, length);
      return;
    }
    std::memcpy(context->block + used, input, room);
    Transform(context->state, context->block);
    input += room;
    length -= room;
  }
  while (length >= 64) {
    Transform(context->state, input);
    input += 64;
    length -= 64;
  }
  std::memcpy(context->block, input, length);
}

void Md5Final(Md5Context* context) {
  std::uint8_t lengthBytes[8];
  StoreLittleEndian(lengthBytes, context->bitCount[0]);
  StoreLittleEndian(lengthBytes + 4, context->bitCount[1]);

  static const std::uint8_t kPadding[64] = {0x80};
  std::size_t used = (context->bitCount[0] >> 3) & 0x3F;
  std::size_t padLength = used < 56 ? 56 - used : 120 - used;
  Md5Update(context, kPadding, padLength);
  Md5Update(context, lengthBytes, 8);

  for (int i = 0; i < 4; ++i) StoreLittleEndian(context->digest + 4 * i, context->state[i]);
}

std::string Md5Hex(const std::uint8_t digest[16]) {
  static const char kHex[] = "0123456789abcdef";
  std::string text(32, '0');
  for (int i = 0; i < 16; ++i) {
    text[2 * i] = kHex[digest[i] >> 4];
    text[2 * i + 1] = kHex[digest[i] & 0x0F];
  }
  return text;
}

std::string GetFileMd5(const std::wstring& path) {
  if (path.empty()) return std::string();
  std::unique_ptr<std::FILE, FileCloser> file(platform::OpenFile(path, "rb"));
  if (!file) return std::string();

  Md5Context context;
  Md5Init(&context);
  // Larger than a disk block so that hashing, not the call overhead, bounds
  // the speed on big packages.
  std::vector<std::uint8_t> buffer(256 * 1024);
  for (;;) {
    std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (got == 0) break;
    Md5Update(&context, buffer.data(), got);
  }
  if (std::ferror(file.get())) return std::string();
  Md5Final(&context);
  return Md5Hex(context.digest);
}

std::string GetUrlMd5(const std::string& url) {
  if (url.empty()) return std::string();
  std::size_t last = url.rfind('/');
  if (last == std::string::npos || last == 0) return std::string();
  std::size_t previous = url.rfind('/', last - 1);
  if (previous == std::string::npos) return std::string();
  return url.substr(previous + 1, last - previous - 1);
}
