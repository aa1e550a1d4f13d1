#include "download/download_status.h"

namespace {

std::wstring Attempt(int attempt, int most) {
  return L"（第" + std::to_wstring(attempt) + L"/" + std::to_wstring(most) + L"次）";
}

}  // namespace

std::wstring ConnectingStatus(int attempt, int most) {
  return L"正在连接下载服务器" + Attempt(attempt, most) + L"...";
}

std::wstring NoAnswerStatus(int attempt, int most) {
  return L"下载服务器无应答，正在重试" + Attempt(attempt, most) + L"...";
}

std::wstring RetryingStatus(int attempt, int most) {
  return L"下载中断，正在重试" + Attempt(attempt, most) + L"...";
}
