// Md5Check: the verdict on a downloaded file that every downloader gives
// the same way. The file is compared with the MD5 text of the URL it came
// from; a mismatch asks the owner once for a retry, a second mismatch in
// the downloader's life is final.
//
// Verdict(), on the downloader's worker, fires (notice texts per downloader):
//   no 32-character MD5 in the URL: MD5(0.0, noMd5Text); returns kPassed
//   match:                          nothing; returns kPassed
//   mismatch or unreadable file:    MD5(0.0, mismatchText), then the
//                                   caller's cleanup, then RETRY(0.0, text)
//                                   the first time or FAIL(kFailMd5Mismatch,
//                                   text) later; returns kEnded
// With kPassed the caller goes on to SUCCESS. A digest that cannot be
// computed is never taken for a match.
#pragma once

#include <functional>
#include <string>

#include "utils/events.h"

class Md5Check {
 public:
  struct Texts {
    const wchar_t* noMd5;     // notice: the URL carries no MD5
    const wchar_t* mismatch;  // notice: the file's MD5 differs
    const wchar_t* event;     // text of RETRY / FAIL ("LibCurl", "WinHttp")
  };
  enum class Result { kPassed, kEnded };

  explicit Md5Check(Texts texts) : m_texts(texts) {}

  // `actual` is asked only when the URL carries an MD5; `cleanup` runs
  // after the mismatch notice and before RETRY or FAIL.
  Result Verdict(const EventCallback& callback, const std::string& expected,
                 const std::function<std::string()>& actual, const std::function<void()>& cleanup = nullptr);

  // The one retry of the downloader's life, when another cause (a failed
  // part) used it.
  bool Retried() const { return m_retried; }
  void MarkRetried() { m_retried = true; }

 private:
  Texts m_texts;
  bool m_retried = false;  // touched by one run at a time
};
