#include "download/mt_curl_downloader.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <utility>

#include "download/content_range.h"
#include "download/curl_common.h"
#include "download/download_status.h"
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
      m_md5({L"mtcurl获取url-md5失败", L"mtcurl文件md5校验失败", L"LibCurl"}),
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
  // Nobody resumes from them any more.
  if (!m_filePath.empty()) DeletePartFiles();
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
  // Without a destination the part files would land in the current folder.
  if (m_filePath.empty()) {
    m_callback(DL_CODE_FAIL, static_cast<double>(kFailNoDestination), L"");
    return;
  }
  const std::string requestUrl = RequestUrl(m_url);

  platform::DeleteFileAt(m_filePath);
  if (m_lastPercent == 0.0) DeletePartFiles();

  const int run = m_md5.Retried() ? 2 : 1;
  m_callback(DL_CODE_STATUS, run, ConnectingStatus(run, 2));
  if (m_realUrl.empty() || m_fileLength < 256) {
    const int failure = getRealDownloadUrl(requestUrl);
    if (failure != 0) {
      TW_LOG(L"download failed: %d %ls\r\n", failure, WideForLog(DownloadFailureCause(failure)).c_str());
      m_callback(DL_CODE_FAIL, static_cast<double>(failure), L"LibCurl");
      return;
    }
  }
  PlanRun();
  LaunchParts();
}

int CMTCurlDownloader::getRealDownloadUrl(const std::string& url) {
  m_realUrl.clear();
  m_urlMd5.clear();
  m_fileLength = 0;
  if (!m_isGetRealUrl) return kFailNoLength;

  CurlEasyPtr curl(curl_easy_init());
  if (!curl) return kFailNoHandle;
  CurlSlistPtr headers(curl_slist_append(nullptr, "Connection: keep-alive"));
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
  CurlResponse response;
  if (SetProbeOptions(curl.get(), url, m_tuning, &m_abort, &response) != CURLE_OK) return kFailNoHandle;
  const int code = curl_easy_perform(curl.get());
  if (code != CURLE_OK) return CurlFailure(code, curl.get(), response, url);

  char* effective = nullptr;
  if (curl_easy_getinfo(curl.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective && *effective) {
    m_realUrl = effective;
    TW_LOG(L"Download File real url %ls\r\n", WideForLog(m_realUrl).c_str());
    m_urlMd5 = GetUrlMd5(m_realUrl);
  }
  curl_off_t length = -1;
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400 && status <= kFailHttpLast) return HttpFailure(status);
  if (response.badLength) return kFailBadLength;
  if (curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && status >= 200 &&
      status <= 399 && length <= INT32_MAX) {
    // Offsets of the parts are 32-bit: a longer file makes the probe fail.
    m_fileLength = length > 0 ? static_cast<std::int32_t>(length) : 0;
    TW_LOG(L"Download File Length %lld\r\n", static_cast<long long>(m_fileLength));
  }
  return !m_realUrl.empty() && m_fileLength >= 256 ? 0 : kFailNoLength;
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
    node->total = m_fileLength;
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
  // Otherwise the file will be read at the end instead.
  if (!node->hash->FeedFilePrefix(node->partPath, node->received)) node->hash.reset();
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
      --m_runningParts;
      node->result = kFailNoPartThread;
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
  // A part that holds all its bytes cannot gain from asking again, nor can
  // one whose server answers another range than asked; its code stands.
  while (result != 0 && !downloader->m_abort && node->start <= node->end && result != kFailRangeIgnored &&
         result != kFailRangeMismatch && ChargePartRetry(&budget, result)) {
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
  node->response.Reset();
  node->answerChecked = false;
  node->answerFailure = 0;
  BodyTransfer body;
  body.write = WritePart;
  body.writeData = node;
  body.progress = PartProgressCallback;
  body.progressData = this;
  body.lowSpeedSeconds = m_tuning.partLowSpeedSeconds;
  int code = SetBodyTransferOptions(curl, node->url, m_tuning, body, &node->response);
  code |= curl_easy_setopt(curl, CURLOPT_RANGE, range.c_str());
  if (code != 0) {
    node->result = code;
    return code;
  }

  code = curl_easy_perform(curl);
  // An answer that brought no body bytes is judged too.
  if (!node->answerChecked) {
    node->answerChecked = true;
    node->answerFailure = CheckPartAnswer(curl, *node);
  }
  if (code == CURLE_OK && node->answerFailure != 0) code = node->answerFailure;
  if (code != CURLE_OK) {
    TW_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
    code = node->answerFailure != 0 ? node->answerFailure : CurlFailure(code, curl, node->response, node->url);
  } else {
    TW_LOG(L"curl_easy_cleanup\r\n");
    // libcurl is content when the body ends where its header said; the
    // part is complete only with all its bytes.
    if (node->start <= node->end) code = kFailLengthMismatch;
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

int CMTCurlDownloader::CheckPartAnswer(CURL* curl, const DownloadPartNode& node) {
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  // The whole file, or another range, holds bytes from elsewhere in the
  // file: stored as this part they would corrupt the package.
  if (status == 206) {
    return ContentRangeMatches(node.response.contentRange, node.start, node.end, node.total) ? 0 : kFailRangeMismatch;
  }
  return status == 200 ? kFailRangeIgnored : 0;
}

size_t CMTCurlDownloader::WritePart(char* data, size_t size, size_t count, void* userdata) {
  auto* node = static_cast<DownloadPartNode*>(userdata);
  if (!node || !node->file || node->start > node->end) return 0;
  if (!node->answerChecked) {
    node->answerChecked = true;
    node->answerFailure = CheckPartAnswer(node->curl, *node);
  }
  if (node->answerFailure != 0) return 0;
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
      // A part still "to be fetched" never got a thread to fetch it.
      firstError = part->result == kPartToFetch ? kFailNoPartThread : part->result;
      break;
    }
  }
  if (firstError == 0) {
    downloader->FinishComplete();
  } else {
    downloader->FinishFailed(firstError);
  }
}

int CMTCurlDownloader::JoinPartFiles() {
  m_joinedDigest.clear();
  Md5Pipe* hash = m_parts[0]->hash.get();
  std::FILE* whole = platform::OpenFile(m_parts[0]->partPath, "ab+");
  if (!whole) return kFailJoin;
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
  if (!ok) return kFailJoin;
  // Parts from an earlier run may not add up to the file.
  if (platform::FileSize(m_parts[0]->partPath) != m_fileLength) return kFailLengthMismatch;
  platform::DeleteFileAt(m_filePath);
  if (!platform::RenameFile(m_parts[0]->partPath, m_filePath)) return kFailRenameFailed;
  if (hash) m_joinedDigest = hash->Finish();
  return 0;
}

void CMTCurlDownloader::FinishComplete() {
  m_lastPercent = 0.0;
  // A join that cannot produce the file is a failed run, not a success.
  const int joined = JoinPartFiles();
  if (joined != 0) {
    // Joined parts that do not make the file cannot be resumed either.
    if (joined == kFailLengthMismatch) DeletePartFiles();
    FinishFailed(joined);
    return;
  }
  DeletePartFiles();

  // The digest taken along the way saves reading the file once more.
  const Md5Check::Result verdict = m_md5.Verdict(
      m_callback, m_urlMd5,
      [this] { return m_joinedDigest.size() == 32 ? m_joinedDigest : GetFileMd5(m_filePath); },
      [this] {
        platform::DeleteFileAt(m_filePath);
        ClearParts();
        TW_LOG(m_md5.Retried() ? L"finish recv, md5 chaek failed and retry failed.\r\n"
                               : L"finish recv, md5 chaek failed retry once.\r\n");
      });
  if (verdict == Md5Check::Result::kEnded) return;
  TW_LOG(L"finish recv\r\n");
  ClearParts();
  m_callback(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CMTCurlDownloader::FinishFailed(std::int32_t firstError) {
  ClearParts();
  if (m_lastPercent == 0.0) DeletePartFiles();
  TW_LOG(L"download failed: %d %ls\r\n", firstError, WideForLog(DownloadFailureCause(firstError)).c_str());
  if (m_md5.Retried()) {
    m_lastPercent = 0.0;
    // Final: nothing will resume from the parts.
    DeletePartFiles();
    m_callback(DL_CODE_FAIL, static_cast<double>(firstError), L"LibCurl");
  } else {
    m_md5.MarkRetried();
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
