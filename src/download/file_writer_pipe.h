// FileWriterPipe: writes a byte stream to an open file on a helper thread,
// so that receiving the next bytes and writing the last ones overlap.
//
// Write() queues bytes (bounded, see ChunkPipe) and returns false once a
// write has failed, which the caller turns into a failed transfer; Finish()
// waits until every byte is written and says whether all were. The file
// stays open and owned by the caller. One owner thread calls all of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "download/chunk_pipe.h"

class FileWriterPipe {
 public:
  void Begin(std::FILE* file);
  bool Write(const void* data, std::size_t length) { return m_pipe.Feed(data, length); }
  bool Finish() { return m_pipe.Finish(); }
  void Cancel() { m_pipe.Cancel(); }
  // Bytes the helper has written so far (after Finish: all of them).
  std::int64_t Written() const { return m_written; }

 private:
  std::FILE* m_file = nullptr;
  std::int64_t m_written = 0;  // helper only until Finish
  ChunkPipe m_pipe;            // last: its helper goes before the rest
};
