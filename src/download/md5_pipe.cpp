#include "download/md5_pipe.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/files.h"

void Md5Pipe::Begin() {
  m_pipe.Cancel();
  Md5Init(&m_context);
  m_pipe.Begin([this](const std::uint8_t* data, std::size_t length) {
    Md5Update(&m_context, data, length);
    return true;
  });
}

std::string Md5Pipe::Finish() {
  if (!m_pipe.Finish()) return std::string();
  Md5Final(&m_context);
  return Md5Hex(m_context.digest);
}

bool Md5Pipe::FeedFilePrefix(const std::wstring& path, std::int64_t length) {
  if (length <= 0) return length == 0;
  std::FILE* file = platform::OpenFile(path, "rb");
  if (!file) return false;
  std::vector<char> buffer(256 * 1024);
  std::int64_t left = length;
  while (left > 0) {
    const size_t want = static_cast<size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
    const size_t got = std::fread(buffer.data(), 1, want, file);
    if (got == 0) break;
    Feed(buffer.data(), got);
    left -= static_cast<std::int64_t>(got);
  }
  std::fclose(file);
  return left == 0;
}
