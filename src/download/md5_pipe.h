// Md5Pipe: MD5 of a byte stream computed on a helper thread while the
// stream is still arriving, so that verifying a download costs little more
// than the download itself on a machine with a second core.
//
// Begin() starts a digest; Feed() queues bytes (bounded, see ChunkPipe);
// FeedFilePrefix() queues the first bytes of a file (what earlier attempts
// left on disk, before the new bytes follow); Finish() waits for the helper
// and returns the 32-character lower-case digest (empty when no digest was
// begun); Cancel() drops the digest. One owner thread calls all of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "download/chunk_pipe.h"
#include "download/md5.h"

class Md5Pipe {
 public:
  void Begin();
  void Feed(const void* data, std::size_t length) { m_pipe.Feed(data, length); }
  // False when the file holds fewer than `length` bytes or cannot be read;
  // the digest is then of no use and the caller cancels it.
  bool FeedFilePrefix(const std::wstring& path, std::int64_t length);
  std::string Finish();
  void Cancel() { m_pipe.Cancel(); }

 private:
  Md5Context m_context{};
  ChunkPipe m_pipe;  // last: its helper goes before the context
};
