#include "download/md5_pipe.h"

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
