#include "download/file_writer_pipe.h"

void FileWriterPipe::Begin(std::FILE* file) {
  m_pipe.Cancel();
  m_file = file;
  m_written = 0;
  m_pipe.Begin([this](const std::uint8_t* data, std::size_t length) {
    const std::size_t put = std::fwrite(data, 1, length, m_file);
    m_written += static_cast<std::int64_t>(put);
    return put == length;
  });
}
