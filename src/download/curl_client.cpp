#include "download/curl_client.h"

#include "download/md5.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>
#include <vector>

#include "download/content_range.h"
#include "download/curl_common.h"
#include "platform/files.h"
#include "utils/log.h"

namespace {

// Why a finished header probe did not give a usable real URL and length.
int ProbeFailure(int code, CURL* curl, const CurlResponse& response, const std::string& requestUrl,
                 double length) {
  if (code != 0) return CurlFailure(code, curl, response, requestUrl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400 && status <= kFailHttpLast) return HttpFailure(status);
  if (response.badLength) return kFailBadLength;
  return length < kMinimumFileLength ? kClientNoLength : 0;
}

}  // namespace

CurlClient::CurlClient(std::wstring url, std::wstring filePath, void* owner, CurlProgressFn progressFn,
                       DownloadTuning tuning)
    : m_url(std::move(url)),
      m_filePath(std::move(filePath)),
      m_owner(owner),
      m_progressFn(progressFn),
      m_tuning(std::move(tuning)) {
  EnsureCurlInitialized();
}

CurlClient::~CurlClient() {
  m_abort = true;
  if (!m_filePath.empty()) platform::DeleteFileAt(GetFilePath(true));
  m_errorText.clear();
  m_realUrl.clear();
}

std::wstring CurlClient::GetFilePath(bool part) const { return part ? m_filePath + L".part" : m_filePath; }

int CurlClient::Start() {
  TW_LOG(L"start download\r\n");
  const std::wstring partPath = GetFilePath(true);
  const std::string requestUrl = RequestUrl(m_url);

  m_writtenThisAttempt = 0;
  int result = ProbeIfNeeded(requestUrl);
  if (result == 0) result = Transfer(partPath, requestUrl);

  TW_LOG(L"error:%d:%ls (%ls)\r\n", result, CurlErrorText(result).c_str(),
         WideForLog(DownloadFailureCause(result)).c_str());
  if (result == 0) result = MoveIntoPlace(partPath);
  TW_LOG(L"end download\r\n");
  return result;
}

int CurlClient::ProbeIfNeeded(const std::string& requestUrl) {
  if (!m_realUrl.empty() && m_fileLength >= kMinimumFileLength) return 0;
  int failure = kClientNoLength;
  int code = 0;
  CurlResponse response;
  if (CURL* head = Head(requestUrl, m_tuning, &m_abort, &code, &response)) {
    m_realUrl = GetRealUrl(head);
    m_fileLength = GetDownloadFileLength(head);
    failure = ProbeFailure(code, head, response, requestUrl, m_fileLength);
    curl_easy_cleanup(head);
  }
  if (failure == 0 && !m_realUrl.empty()) return 0;
  // A server that did not answer at all would only be waited for again.
  if (IsNoAnswer(code) || m_abort) return failure;
  m_realUrl = GetRealUrl_Str(requestUrl, m_tuning, &m_abort);
  if (!m_realUrl.empty()) m_fileLength = GetDownloadFileLength_Str(m_realUrl, m_tuning, &m_abort);
  if (!m_realUrl.empty() && m_fileLength >= kMinimumFileLength) return 0;
  // The first probe knows best why (the fallback measures error pages too).
  return failure != 0 ? failure : kClientNoLength;
}

int CurlClient::Transfer(const std::wstring& partPath, const std::string& requestUrl) {
  CurlEasyPtr curl(curl_easy_init());
  if (!curl) return kClientNoHandle;
  m_curl = curl.get();

  // A partial file longer than the remote file is not a prefix of it.
  if (platform::FileSize(partPath) > static_cast<std::int64_t>(m_fileLength)) platform::DeleteFileAt(partPath);
  m_file = platform::OpenFile(partPath, "ab+");
  if (!m_file) {
    m_errorText = platform::ErrorText(errno).substr(0, 200);
    m_curl = nullptr;
    return kClientOpenFailed;
  }

  CurlSlistPtr headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  if (headers) curl_slist_append(headers.get(), "Accept-Encoding: gzip, deflate");

  int result = SetTransferOptions(curl.get(), headers.get());

  // 64-bit all the way: a partial file past 2 GiB resumes at its real size.
  m_resumeOffset = platform::FileSize(partPath);
  const std::int64_t resumed = m_resumeOffset > 0 ? m_resumeOffset : 0;
  if (resumed > 0) {
    result |= curl_easy_setopt(curl.get(), CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumed));
  }
  m_writtenThisAttempt = 0;
  m_response.Reset();
  m_answerChecked = false;
  m_answerFailure = 0;
  m_writeCap = static_cast<std::int64_t>(m_fileLength) + m_tuning.overrunMarginBytes;
  result |= curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE,
                             static_cast<curl_off_t>(m_writeCap > resumed ? m_writeCap - resumed : 1));

  // The digest covers the whole file: the prefix from earlier attempts first.
  // A real URL without an MD5 text has nothing to check the digest against,
  // so the bytes are not hashed at all.
  m_digest.clear();
  if (GetUrlMd5(m_realUrl).size() == 32) {
    m_hash.Begin();
    if (!m_hash.FeedFilePrefix(partPath, resumed)) m_hash.Cancel();
  }

  // Everything is already there (an earlier attempt got the whole body but
  // ended badly, or could not move the file): asking for the bytes after
  // the end would only earn a 416.
  const bool complete = resumed == static_cast<std::int64_t>(m_fileLength);
  if (result == 0 && !complete) {
    m_writer.Begin(m_file);
    result = curl_easy_perform(curl.get());
    // Every byte libcurl handed over must be on disk for a success.
    if (!m_writer.Finish() && result == 0) result = CURLE_WRITE_ERROR;
    // An answer without body bytes is judged too: libcurl takes a 206 whose
    // length equals the resume offset for "already complete" and ends
    // without an error, and refuses a 200 longer than the room left (63).
    if (!m_answerChecked) {
      m_answerChecked = true;
      m_answerFailure = CheckAnswer();
    }
    if (m_answerFailure != 0) {
      result = m_answerFailure;
    } else if (result != 0) {
      result = CurlFailure(result, curl.get(), m_response, requestUrl);
    }
  }

  m_curl = nullptr;
  curl.reset();
  // A failed close may lose buffered bytes: the attempt did not succeed.
  if (std::fclose(m_file) != 0 && result == 0) result = CURLE_WRITE_ERROR;
  m_file = nullptr;
  result = CheckComplete(result, partPath);
  if (result == 0) {
    m_digest = m_hash.Finish();
  } else {
    m_hash.Cancel();
  }
  return result;
}

int CurlClient::CheckComplete(int result, const std::wstring& partPath) {
  // A server that would not resume: what lies on disk cannot be continued,
  // so the next attempt starts from zero.
  if (result == kFailRangeIgnored || result == kFailRangeMismatch) {
    platform::DeleteFileAt(partPath);
    return result;
  }
  if (result != 0) return result;
  // libcurl is content when a body ends where its own header said; only the
  // probed length makes it the whole file.
  const std::int64_t size = platform::FileSize(partPath);
  if (size == static_cast<std::int64_t>(m_fileLength)) return 0;
  TW_LOG(L"length %lld differs from %lld\r\n", static_cast<long long>(size),
         static_cast<long long>(m_fileLength));
  // A shorter file is still a prefix to resume from; a longer one is not.
  if (size > static_cast<std::int64_t>(m_fileLength)) platform::DeleteFileAt(partPath);
  return kFailLengthMismatch;
}

int CurlClient::CheckAnswer() const {
  long status = 0;
  curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
  const std::int64_t resumed = m_resumeOffset > 0 ? m_resumeOffset : 0;
  const auto length = static_cast<std::int64_t>(m_fileLength);
  if (status == 206) {
    return ContentRangeMatches(m_response.contentRange, resumed, length - 1, length) ? 0 : kFailRangeMismatch;
  }
  // The whole file, as a resume: its bytes do not continue the partial file.
  if (status == 200 && resumed > 0) return kFailRangeIgnored;
  return 0;
}

CURLcode CurlClient::SetTransferOptions(CURL* curl, curl_slist* headers) {
  // Codes of the options before the URL are not counted, as a failed
  // keep-alive setting does not stop a download.
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, 10L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, 10L);
  BodyTransfer body;
  body.write = WriteToFile;
  body.writeData = this;
  body.progress = ProgressCallback;
  body.progressData = this;
  body.lowSpeedSeconds = m_tuning.streamLowSpeedSeconds;
  return SetBodyTransferOptions(curl, m_realUrl, m_tuning, body, &m_response);
}

int CurlClient::MoveIntoPlace(const std::wstring& partPath) {
  platform::DeleteFileAt(m_filePath);
  // A partial file left under its temporary name is not a download: the
  // owner's next attempt resumes at its end and tries the move again.
  if (!platform::RenameFile(partPath, m_filePath)) {
    TW_LOG(L"rename failed:%ls\r\n", m_filePath.c_str());
    return kClientRenameFailed;
  }
  return 0;
}

size_t CurlClient::WriteToFile(char* data, size_t size, size_t count, void* userdata) {
  auto* client = static_cast<CurlClient*>(userdata);
  if (!client || !client->m_file) return 0;
  if (!client->m_answerChecked) {
    client->m_answerChecked = true;
    client->m_answerFailure = client->CheckAnswer();
  }
  // Bytes of another range than the one asked for never reach the file.
  if (client->m_answerFailure != 0) return 0;
  const std::int64_t bytes = static_cast<std::int64_t>(size * count);
  const std::int64_t resumed = client->m_resumeOffset > 0 ? client->m_resumeOffset : 0;
  // A body without a length may not end at all; stop well before the disk fills.
  if (resumed + client->m_writtenThisAttempt + bytes > client->m_writeCap) return 0;
  // The file is written on a helper thread, so the next bytes can arrive
  // meanwhile; a write that failed earlier fails the transfer here (23).
  if (!client->m_writer.Write(data, static_cast<size_t>(bytes))) return 0;
  client->m_writtenThisAttempt += bytes;
  client->m_hash.Feed(data, static_cast<size_t>(bytes));
  return static_cast<size_t>(bytes);
}

int CurlClient::ProgressCallback(void* userdata, curl_off_t downloadTotal, curl_off_t downloadedNow,
                                 curl_off_t uploadTotal, curl_off_t uploadedNow) {
  auto* client = static_cast<CurlClient*>(userdata);
  if (client->m_abort) return 1;
  if (!client->m_throttle.Pass(static_cast<std::int64_t>(std::time(nullptr)))) return 0;

  curl_off_t bytesPerSecond = 0;
  if (curl_easy_getinfo(client->m_curl, CURLINFO_SPEED_DOWNLOAD_T, &bytesPerSecond) != CURLE_OK) bytesPerSecond = 0;
  const double speed = static_cast<double>(bytesPerSecond);

  std::optional<double> percentage =
      TransferPercentage(client->m_fileLength, client->m_resumeOffset, downloadedNow, downloadTotal);
  if (!percentage) return 0;
  if (client->m_progressFn) client->m_progressFn(client->m_owner, speed, 0.0, *percentage);
  if (downloadTotal != 0) {
    TW_LOG(L" %dM %dM   progress:%f%%  speed:%f \n", static_cast<int>(downloadedNow / 1048576),
           static_cast<int>(downloadTotal / 1048576), static_cast<double>(static_cast<float>(*percentage)),
           static_cast<double>(static_cast<float>(speed / 1024)));
  }
  return 0;
}

CURL* CurlClient::Head(const std::string& url, const DownloadTuning& tuning, const std::atomic<bool>* abort,
                       int* result, CurlResponse* response) {
  EnsureCurlInitialized();
  CURL* curl = curl_easy_init();
  if (!curl) {
    TW_LOG(L"error:%d:%ls\r\n", 0, CurlErrorText(0).c_str());
    if (result) *result = kClientNoHandle;
    return nullptr;
  }
  int code = SetProbeOptions(curl, url, tuning, abort, response);
  if (code == 0) {
    code = curl_easy_perform(curl);
    if (code != 0) TW_LOG(L"error:%d:%ls", code, CurlErrorText(code).c_str());
  }
  TW_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
  if (result) *result = code;
  return curl;
}

std::string CurlClient::GetRealUrl(CURL* curl) {
  char* url = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || !url) return std::string();
  return url;
}

double CurlClient::GetDownloadFileLength(CURL* curl) {
  curl_off_t length = -1;
  CURLcode code = curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if (code != CURLE_OK) length = -1;
  TW_LOG(L"error:%d:%ls\r\n", static_cast<int>(code), CurlErrorText(code).c_str());
  long status = 0;
  if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return -1.0;
  if (status < 200 || status > 399) return -1.0;
  return static_cast<double>(length);
}

std::string CurlClient::GetRealUrl_Str(const std::string& url, const DownloadTuning& tuning,
                                       const std::atomic<bool>* abort) {
  EnsureCurlInitialized();
  std::string realUrl;
  CurlEasyPtr curl(curl_easy_init());
  if (curl && SetProbeOptions(curl.get(), url, tuning, abort, nullptr) == CURLE_OK) {
    CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
      TW_LOG(L"error:%d:%ls", static_cast<int>(code), CurlErrorText(code).c_str());
    } else {
      realUrl = GetRealUrl(curl.get());
    }
  }
  return realUrl.empty() ? url : realUrl;
}

double CurlClient::GetDownloadFileLength_Str(const std::string& url, const DownloadTuning& tuning,
                                             const std::atomic<bool>* abort) {
  EnsureCurlInitialized();
  double length = -1.0;
  int code = 0;
  CurlEasyPtr curl(curl_easy_init());
  if (curl) {
    code = SetProbeOptions(curl.get(), url, tuning, abort, nullptr);
    // This probe reports where it ends up without following: the URL given
    // is already the real one.
    code |= curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 0L);
    code |= curl_easy_setopt(curl.get(), CURLOPT_HEADER, 1L);
    if (code == 0) {
      curl_easy_perform(curl.get());
      curl_off_t value = -1;
      if (curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &value) == CURLE_OK) {
        length = static_cast<double>(value);
      }
      long status = 0;
      code = curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    }
  }
  TW_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
  return length;
}
