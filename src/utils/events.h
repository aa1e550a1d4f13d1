// The event vocabulary shared by the downloaders, the runners, the driver
// and the window.
//
// An EventCallback receives (code, value, text). Senders call it only from
// their worker threads; the text lives only for the duration of the call, so
// a receiver that keeps it copies it. Codes are stable numbers; a retired
// code stays here as a comment and is never reused.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

using EventCallback = std::function<void(std::int32_t code, double value, const std::wstring& text)>;

enum : std::int32_t {
  // Download (value and text per downloader).
  DL_CODE_START = 1001,
  DL_CODE_PROGRESS = 1002,
  DL_CODE_SUCCESS = 1003,
  DL_CODE_FAIL = 1004,
  DL_CODE_RETRY = 1005,
  DL_CODE_MD5 = 1006,
  // What the download is doing while no progress can be shown yet:
  // connecting, no answer, attempt n of at most m. The value is the
  // attempt (from 1), the text a line for the user naming the phase and
  // "n/m". A notice: it never ends a download.
  DL_CODE_STATUS = 1007,

  // Package installation.
  IST_CODE_START = 2001,
  IST_CODE_PROGRESS = 2002,
  IST_CODE_SUCCESS = 2003,
  IST_CODE_FAIL = 2004,

  // Install result values reported by the package.
  IST_CODE_INST_PATH = 3000,
  IST_CODE_EXE_PATH = 3001,
  IST_CODE_UNINST_EXE = 3002,
  IST_CODE_UNINST_EP = 3003,
  IST_CODE_START_URL = 3004,
  IST_CODE_STARTUP_STYLE = 3005,
  // 3006 is not used.
  IST_CODE_TOP_SHOW_DETENTION = 3007,
  IST_CODE_FINISH_CLOSE_DETENTION = 3008,
  IST_CODE_MESSAGE = 3009,

  // Removal of an earlier installation.
  UNIST_CODE_START = 5001,
  UNIST_CODE_PROGRESS = 5002,
  UNIST_CODE_SUCCESS = 5003,
  UNIST_CODE_FAIL = 5004,
  UNIST_CODE_ERROR = 5005,
};

// The value of a failure event (2004, 5004, 5005) tells its origin: 0.0 a
// "State=Fail" line, 1000.0 a package's "Error=" line, 1.0 a missing
// uninstaller, 2.0 a child that could not be started, and this one: a child
// that ended without a verdict and with a failed exit code, or crashed, or
// was killed; its text names the exit code.
inline constexpr double kFailValueExitCode = 3.0;
