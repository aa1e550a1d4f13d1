#include "download/md5_check.h"

#include "download/download_failure.h"

Md5Check::Result Md5Check::Verdict(const EventCallback& callback, const std::string& expected,
                                   const std::function<std::string()>& actual, const std::function<void()>& cleanup) {
  if (expected.size() != 32) {
    callback(DL_CODE_MD5, 0.0, m_texts.noMd5);
    return Result::kPassed;
  }
  const std::string digest = actual ? actual() : std::string();
  if (digest.size() == 32 && digest == expected) return Result::kPassed;

  callback(DL_CODE_MD5, 0.0, m_texts.mismatch);
  if (cleanup) cleanup();
  if (m_retried) {
    callback(DL_CODE_FAIL, static_cast<double>(kFailMd5Mismatch), m_texts.event);
  } else {
    m_retried = true;
    callback(DL_CODE_RETRY, 0.0, m_texts.event);
  }
  return Result::kEnded;
}
