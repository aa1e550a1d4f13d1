// CDownloader: what the install driver knows of a downloader.
//
// The driver constructs one with its EventCallback, the package URL and the
// destination path, calls Start(), and learns the rest through the callback:
// DL_CODE_START, DL_CODE_PROGRESS..., then exactly one of DL_CODE_SUCCESS,
// DL_CODE_FAIL or DL_CODE_RETRY (each possibly after a DL_CODE_MD5 notice).
// Events arrive on the downloader's threads, never on the caller's. On
// RETRY the driver calls Start() again, also from inside the callback.
// Deleting a downloader stops and joins its threads; no event follows. It
// must therefore not be deleted from inside its own callback.
#pragma once

class CDownloader {
 public:
  virtual void Start() = 0;
  virtual ~CDownloader() = default;
};
