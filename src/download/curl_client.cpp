#include "download/curl_client.h"

#include "download/md5.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>
#include <vector>

#include "download/curl_common.h"
#include "platform/files.h"
#include "utils/log.h"

namespace {

// The options every header probe shares. Besides the connect limit a probe
// gets an overall limit: a server that accepts and then stays silent must
// not hold it for ever.
CURLcode SetProbeOptions(CURL* curl, const std::string& url, const DownloadTuning& tuning,
                         const std::atomic<bool>* abort) {
  int code = curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  code |= curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardBody);
  code |= curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, tuning.connectTimeoutSeconds);
  code |= curl_easy_setopt(curl, CURLOPT_TIMEOUT, tuning.probeTimeoutSeconds);
  code |= curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  code |= curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  code |= ApplyTlsVerification(curl);
  if (abort) {
    code |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    code |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AbortWhenSet);
    code |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(abort));
  }
  return static_cast<CURLcode>(code);
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

  int result = 0;
  ProbeIfNeeded(requestUrl);
  if (m_realUrl.empty() || m_fileLength < kMinimumFileLength) {
    result = kClientNoLength;
  } else {
    result = Transfer(partPath);
  }

  TW_LOG(L"error:%d:%ls\r\n", result, CurlErrorText(result).c_str());
  if (result == 0) result = MoveIntoPlace(partPath);
  TW_LOG(L"end download\r\n");
  return result;
}

void CurlClient::ProbeIfNeeded(const std::string& requestUrl) {
  if (!m_realUrl.empty() && m_fileLength >= kMinimumFileLength) return;
  if (CURL* head = Head(requestUrl, m_tuning, &m_abort)) {
    m_realUrl = GetRealUrl(head);
    m_fileLength = GetDownloadFileLength(head);
    curl_easy_cleanup(head);
  }
  if (m_realUrl.empty() || m_fileLength < kMinimumFileLength) {
    m_realUrl = GetRealUrl_Str(requestUrl, m_tuning, &m_abort);
    if (!m_realUrl.empty()) m_fileLength = GetDownloadFileLength_Str(m_realUrl, m_tuning, &m_abort);
  }
}

int CurlClient::Transfer(const std::wstring& partPath) {
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
  m_writeCap = static_cast<std::int64_t>(m_fileLength) + m_tuning.overrunMarginBytes;
  result |= curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE,
                             static_cast<curl_off_t>(m_writeCap > resumed ? m_writeCap - resumed : 1));

  // The digest covers the whole file: the prefix from earlier attempts first.
  // A real URL without an MD5 text has nothing to check the digest against,
  // so the bytes are not hashed at all.
  m_digest.clear();
  if (GetUrlMd5(m_realUrl).size() == 32) {
    m_hash.Begin();
    if (resumed > 0 && !HashResumedPrefix(partPath, resumed)) m_hash.Cancel();
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
  }

  m_curl = nullptr;
  curl.reset();
  // A failed close may lose buffered bytes: the attempt did not succeed.
  if (std::fclose(m_file) != 0 && result == 0) result = CURLE_WRITE_ERROR;
  m_file = nullptr;
  if (result == 0) {
    m_digest = m_hash.Finish();
  } else {
    m_hash.Cancel();
  }
  return result;
}

bool CurlClient::HashResumedPrefix(const std::wstring& partPath, std::int64_t length) {
  std::FILE* file = platform::OpenFile(partPath, "rb");
  if (!file) return false;
  std::vector<char> buffer(256 * 1024);
  std::int64_t left = length;
  while (left > 0) {
    size_t want = static_cast<size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
    size_t got = std::fread(buffer.data(), 1, want, file);
    if (got == 0) break;
    m_hash.Feed(buffer.data(), got);
    left -= static_cast<std::int64_t>(got);
  }
  std::fclose(file);
  return left == 0;
}

CURLcode CurlClient::SetTransferOptions(CURL* curl, curl_slist* headers) {
  // Codes of the options before the URL are not counted, as a failed
  // keep-alive setting does not stop a download.
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, 10L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, 10L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 0L);
  int code = curl_easy_setopt(curl, CURLOPT_URL, m_realUrl.c_str());
  code |= curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  code |= curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kBodyBufferBytes);
  code |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, ProgressCallback);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  code |= curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_tuning.connectTimeoutSeconds);
  // No overall limit, but a stalled body ends the attempt with 28.
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, m_tuning.lowSpeedLimitBytes);
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_tuning.streamLowSpeedSeconds);
  code |= curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  code |= ApplyTlsVerification(curl);
  return static_cast<CURLcode>(code);
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

CURL* CurlClient::Head(const std::string& url, const DownloadTuning& tuning, const std::atomic<bool>* abort) {
  EnsureCurlInitialized();
  CURL* curl = curl_easy_init();
  if (!curl) {
    TW_LOG(L"error:%d:%ls\r\n", 0, CurlErrorText(0).c_str());
    return nullptr;
  }
  int code = SetProbeOptions(curl, url, tuning, abort);
  if (code == 0) {
    code = curl_easy_perform(curl);
    if (code != 0) TW_LOG(L"error:%d:%ls", code, CurlErrorText(code).c_str());
  }
  TW_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
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
  if (curl && SetProbeOptions(curl.get(), url, tuning, abort) == CURLE_OK) {
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
    code = SetProbeOptions(curl.get(), url, tuning, abort);
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
