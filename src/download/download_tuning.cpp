#include "download/download_tuning.h"

#include <chrono>
#include <thread>

void DownloadTuning::Pause(std::uint32_t milliseconds) const {
  if (sleep) {
    sleep(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
