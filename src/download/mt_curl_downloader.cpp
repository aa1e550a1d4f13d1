#include "download/mt_curl_downloader.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <utility>

#include "download/curl_common.h"
#include "download/md5.h"
#include "download/part_plan.h"
#include "download/retry_budget.h"
#include "platform/files.h"
#include "utils/log.h"

CMTCurlDownloader::CMTCurlDownloader(EventCallback callback, std::wstring url, std::wstring filePath,
                                     DownloadTuning tuning, bool isGetRealUrl)
    : m_callback(std::move(callback)),
      m_filePath(std::move(filePath)),
      m_url(std::move(url)),
      m_tuning(std::move(tuning)),
      m_isGetRealUrl(isGetRealUrl),
      m_starter([this] { JoinRun(); }, [this] { LaunchRun(); }) {
  EnsureCurlInitialized();
  if (!m_filePath.empty()) {
    platform::DeleteFileAt(m_filePath);
    DeletePartFiles();
  }
}

CMTCurlDownloader::~CMTCurlDownloader() {
  m_abort = true;
  m_starter.Stop();
  ClearParts();
}

void CMTCurlDownloader::Start() { m_starter.Start(); }

std::wstring CMTCurlDownloader::GetPartPath(const std::wstring& path, int index) {
  return path + L"_" + std::to_wstring(index);
}

void CMTCurlDownloader::DeletePartFiles() {
  for (int i = 0; i < kMaxParts; ++i) platform::DeleteFileAt(GetPartPath(m_filePath, i));
}

void CMTCurlDownloader::JoinRun() {
  // The worker made the part threads and the finisher; once it has ended
  // they are all known, and the finisher joins the parts.
  if (m_thread) m_thread->Join();
  if (m_finisher) m_finisher->Join();
  for (auto& t : m_partThreads) t->Join();
  m_thread.reset();
  m_finisher.reset();
  m_partThreads.clear();
}

void CMTCurlDownloader::LaunchRun() {
  m_thread = std::make_unique<Utils::Thread>();
  m_thread->Start(this, L"ABDEF", [this](void*) {
    RunStarter::ThreadMark mark(&m_starter);
    Start_Down();
  });
  m_thread->Resume();
}

void CMTCurlDownloader::Start_Down() {
  m_callback(DL_CODE_START, 1.0, L"");
  TW_LOG(L"start download\r\n");
  const std::string requestUrl = RequestUrl(m_url);

  platform::DeleteFileAt(m_filePath);
  if (m_lastPercent == 0.0) DeletePartFiles();

  if (m_realUrl.empty() || m_fileLength < 256) {
    if (!getRealDownloadUrl(requestUrl)) {
      m_callback(DL_CODE_FAIL, 0.0, L"LibCurl");
      return;
    }
  }
  PlanRun();
  LaunchParts();
}

bool CMTCurlDownloader::getRealDownloadUrl(const std::string& url) {
  m_realUrl.clear();
  m_urlMd5.clear();
  m_fileLength = 0;
  if (!m_isGetRealUrl) return false;

  CurlEasyPtr curl(curl_easy_init());
  if (!curl) return false;
  CurlSlistPtr headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
  int code = curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  code |= curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
  code |= curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
  code |= curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
  code |= ApplyTlsVerification(curl.get());
  code |= curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, DiscardBody);
  code |= curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, m_tuning.connectTimeoutSeconds);
  // A server that accepts and stays silent must not hold the probe for ever.
  code |= curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, m_tuning.probeTimeoutSeconds);
  code |= curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  code |= curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  code |= curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, AbortWhenSet);
  code |= curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &m_abort);
  if (code != 0) return false;
  if (curl_easy_perform(curl.get()) != CURLE_OK) return false;

  char* effective = nullptr;
  if (curl_easy_getinfo(curl.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective && *effective) {
    m_realUrl = effective;
    TW_LOG(L"Download File real url %ls\r\n", WideForLog(m_realUrl).c_str());
    m_urlMd5 = GetUrlMd5(m_realUrl);
  }
  curl_off_t length = -1;
  long status = 0;
  if (curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
      curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 &&
      status <= 399 && length <= INT32_MAX) {
    // Offsets of the parts are 32-bit: a longer file makes the probe fail.
    m_fileLength = length > 0 ? static_cast<std::int32_t>(length) : 0;
    TW_LOG(L"Download File Length %lld\r\n", static_cast<long long>(m_fileLength));
  }
  return !m_realUrl.empty() && m_fileLength >= 256;
}

void CMTCurlDownloader::PlanRun() {
  std::vector<std::int64_t> existing;
  for (int i = 0; i < PartCount(m_fileLength); ++i) {
    existing.push_back(platform::FileSize(GetPartPath(m_filePath, i)));
  }
  std::vector<PartPlan> plan = PlanParts(m_fileLength, existing);
  for (size_t i = 0; i < plan.size(); ++i) {
    auto node = std::make_unique<DownloadPartNode>();
    node->partPath = GetPartPath(m_filePath, static_cast<int>(i));
    if (plan[i].discardExisting) platform::DeleteFileAt(node->partPath);
    node->received = plan[i].received;
    node->start = plan[i].start;
    node->end = plan[i].end;
    node->curl = curl_easy_init();
    node->url = m_realUrl;
    if (plan[i].complete) {
      node->result = 0;
    } else {
      node->result = kPartToFetch;
      node->file = platform::OpenFile(node->partPath, "ab+");
      if (!node->file || !node->curl) node->result = kPartFileFailed;
    }
    if (i == 0 && m_urlMd5.size() == 32 && node->result != kPartFileFailed) StartHashingFirstPart(node.get());
    m_parts.push_back(std::move(node));
  }
}

void CMTCurlDownloader::StartHashingFirstPart(DownloadPartNode* node) {
  // The prefix already on disk first; then every byte as it is written.
  node->hash = std::make_unique<Md5Pipe>();
  node->hash->Begin();
  std::int64_t left = node->received;
  if (left > 0) {
    std::FILE* file = platform::OpenFile(node->partPath, "rb");
    std::vector<char> buffer(256 * 1024);
    while (file && left > 0) {
      size_t got = std::fread(buffer.data(), 1, static_cast<size_t>(std::min<std::int64_t>(left, buffer.size())), file);
      if (got == 0) break;
      node->hash->Feed(buffer.data(), got);
      left -= static_cast<std::int64_t>(got);
    }
    if (file) std::fclose(file);
  }
  if (left != 0) node->hash.reset();  // the file will be read at the end instead
}

void CMTCurlDownloader::LaunchParts() {
  for (auto& part : m_parts) {
    if (part->result != kPartToFetch) continue;
    ++m_runningParts;
    DownloadPartNode* node = part.get();
    auto thread = std::make_unique<Utils::Thread>();
    thread->Start(this, L"", [this, node](void*) {
      RunStarter::ThreadMark mark(&m_starter);
      downloadThreadFun(this, node);
    });
    if (!thread->HasHandle()) {
      --m_runningParts;  // the part keeps result -1 and counts as failed
      continue;
    }
    thread->Resume();
    m_partThreads.push_back(std::move(thread));
    // Two connections, started a little apart.
    m_tuning.Pause(100);
  }
  m_finisher = std::make_unique<Utils::Thread>();
  m_finisher->Start(this, L"", [this](void*) {
    RunStarter::ThreadMark mark(&m_starter);
    waitForFinishThreadFun(this);
  });
  if (m_finisher->HasHandle()) {
    m_finisher->Resume();
  } else {
    waitForFinishThreadFun(this);  // no thread to spare: finish here
  }
}

void CMTCurlDownloader::downloadThreadFun(CMTCurlDownloader* downloader, DownloadPartNode* node) {
  int budget = kRetryBudget;
  int result = downloader->downloadExe(node);
  // A part that holds all its bytes cannot gain from asking again (the
  // server ignored the range); its code stands.
  while (result != 0 && !downloader->m_abort && node->start <= node->end && ChargePartRetry(&budget, result)) {
    TW_LOG(L"CurlDownLoader Code=%d\r\n", result);
    downloader->m_tuning.Pause(400);
    if (downloader->m_abort) break;
    result = downloader->downloadExe(node);
  }
  if (node->file) {
    std::fclose(node->file);
    node->file = nullptr;
  }
  --downloader->m_runningParts;
}

int CMTCurlDownloader::downloadExe(DownloadPartNode* node) {
  const std::string range = std::to_string(node->start) + "-" + std::to_string(node->end);
  CURL* curl = node->curl;
  int code = curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_URL, node->url.c_str());
  code |= curl_easy_setopt(curl, CURLOPT_TIMEOUT, 0L);
  code |= curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WritePart);
  code |= curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kBodyBufferBytes);
  code |= curl_easy_setopt(curl, CURLOPT_WRITEDATA, node);
  code |= curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, PartProgressCallback);
  code |= curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
  code |= curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  code |= curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_tuning.connectTimeoutSeconds);
  code |= ApplyTlsVerification(curl);
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, m_tuning.lowSpeedLimitBytes);
  code |= curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_tuning.partLowSpeedSeconds);
  code |= curl_easy_setopt(curl, CURLOPT_RANGE, range.c_str());
  if (code != 0) return code;

  code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    TW_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
  } else {
    TW_LOG(L"curl_easy_cleanup\r\n");
  }
  curl_easy_reset(curl);
  if (code == CURLE_OK && node->file) {
    // Buffered bytes that cannot be written make the part incomplete.
    if (std::fclose(node->file) != 0) code = CURLE_WRITE_ERROR;
    node->file = nullptr;
  }
  node->result = code;
  return code;
}

size_t CMTCurlDownloader::WritePart(char* data, size_t size, size_t count, void* userdata) {
  auto* node = static_cast<DownloadPartNode*>(userdata);
  if (!node || !node->file || node->start > node->end) return 0;
  const std::int64_t chunk = static_cast<std::int64_t>(size * count);
  const std::int64_t room = static_cast<std::int64_t>(node->end) - node->start + 1;
  // Bytes past the part's end are never stored; the short count ends the
  // transfer with a write error (23).
  const size_t wanted = static_cast<size_t>(chunk > room ? room : chunk);
  const size_t written = std::fwrite(data, 1, wanted, node->file);
  node->start = static_cast<std::int32_t>(node->start + static_cast<std::int64_t>(written));
  node->received += static_cast<std::int64_t>(written);
  if (node->hash) node->hash->Feed(data, written);
  return written;
}

int CMTCurlDownloader::PartProgressCallback(void* userdata, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* self = static_cast<CMTCurlDownloader*>(userdata);
  // Only a downloader being destroyed cuts its parts short.
  if (self->m_abort) return 1;
  std::lock_guard<std::mutex> lock(self->m_mutex);
  if (!self->m_throttle.Pass(static_cast<std::int64_t>(std::time(nullptr)))) return 0;
  std::vector<std::int64_t> received;
  for (const auto& part : self->m_parts) received.push_back(part->received);
  const double percentage = PartsPercentage(self->m_fileLength, received);
  if (!self->m_parts.empty() && percentage > 100.0) return 0;
  if (percentage - self->m_lastPercent < 1.0) return 0;
  self->m_lastPercent = percentage;
  self->m_callback(DL_CODE_PROGRESS, percentage / 100.0, L"");
  return 0;
}

void CMTCurlDownloader::waitForFinishThreadFun(CMTCurlDownloader* downloader) {
  // The finisher is started after every part thread, so all of them are
  // in m_partThreads; joining them replaces polling the running count.
  for (auto& t : downloader->m_partThreads) t->Join();
  if (downloader->m_abort) {
    downloader->ClearParts();
    return;
  }
  std::int32_t firstError = 0;
  for (const auto& part : downloader->m_parts) {
    if (part->result != 0) {
      firstError = part->result;
      break;
    }
  }
  if (firstError == 0) {
    downloader->FinishComplete();
  } else {
    downloader->FinishFailed(firstError);
  }
}

bool CMTCurlDownloader::JoinPartFiles() {
  m_joinedDigest.clear();
  Md5Pipe* hash = m_parts[0]->hash.get();
  std::FILE* whole = platform::OpenFile(m_parts[0]->partPath, "ab+");
  if (!whole) return false;
  bool ok = true;
  std::vector<char> buffer(64 * 1024);
  for (size_t i = 1; i < m_parts.size(); ++i) {
    if (std::FILE* part = platform::OpenFile(m_parts[i]->partPath, "rb")) {
      for (size_t got; ok && (got = std::fread(buffer.data(), 1, buffer.size(), part)) > 0;) {
        ok = std::fwrite(buffer.data(), 1, got, whole) == got;
        if (ok && hash) hash->Feed(buffer.data(), got);
      }
      ok = ok && !std::ferror(part);
      std::fclose(part);
    } else {
      ok = false;  // a missing part would leave a hole in the file
    }
    TW_LOG(L"partPath::%ls\r\n", m_parts[i]->partPath.c_str());
  }
  if (std::fclose(whole) != 0) ok = false;
  if (!ok) return false;
  platform::DeleteFileAt(m_filePath);
  if (!platform::RenameFile(m_parts[0]->partPath, m_filePath)) return false;
  if (hash) m_joinedDigest = hash->Finish();
  return true;
}

void CMTCurlDownloader::FinishComplete() {
  m_lastPercent = 0.0;
  // A join that cannot produce the file is a failed run, not a success.
  if (!JoinPartFiles()) {
    FinishFailed(kPartFileFailed);
    return;
  }
  DeletePartFiles();

  if (m_urlMd5.size() == 32) {
    // The digest taken along the way saves reading the file once more.
    const std::string actual = m_joinedDigest.size() == 32 ? m_joinedDigest : GetFileMd5(m_filePath);
    // An unreadable file is not a verified one: it fails like a mismatch.
    if (actual.size() != 32 || actual != m_urlMd5) {
      m_callback(DL_CODE_MD5, 0.0, L"mtcurl文件md5校验失败");
      platform::DeleteFileAt(m_filePath);
      ClearParts();
      if (m_retried) {
        TW_LOG(L"finish recv, md5 chaek failed and retry failed.\r\n");
        m_callback(DL_CODE_FAIL, 0.0, L"LibCurl");
      } else {
        m_retried = true;
        TW_LOG(L"finish recv, md5 chaek failed retry once.\r\n");
        m_callback(DL_CODE_RETRY, 0.0, L"LibCurl");
      }
      return;
    }
  } else {
    m_callback(DL_CODE_MD5, 0.0, L"mtcurl获取url-md5失败");
  }
  TW_LOG(L"finish recv\r\n");
  ClearParts();
  m_callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CMTCurlDownloader::FinishFailed(std::int32_t firstError) {
  ClearParts();
  if (m_lastPercent == 0.0) DeletePartFiles();
  if (m_retried) {
    m_lastPercent = 0.0;
    m_callback(DL_CODE_FAIL, static_cast<double>(firstError), L"LibCurl");
  } else {
    m_retried = true;
    m_callback(DL_CODE_RETRY, static_cast<double>(firstError), L"LibCurl");
  }
}

void CMTCurlDownloader::ClearParts() {
  for (auto& part : m_parts) {
    if (part->curl) curl_easy_cleanup(part->curl);
    if (part->file) std::fclose(part->file);
  }
  m_parts.clear();
}
