#include "install/downloader_factory.h"

#include "config/installer_config.h"
#include "download/curl_downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/winhttp_downloader.h"

namespace install {

std::unique_ptr<CDownloader> MakeDownloader(std::int32_t downloadType, EventCallback callback,
                                            const std::wstring& url, const std::wstring& filePath) {
  switch (downloadType) {
    case 2:
      return std::make_unique<WinHttpDownloader>(std::move(callback), url, filePath);
    case 3:
      return std::make_unique<CMTCurlDownloader>(std::move(callback), url, filePath, DownloadTuning(),
                                                 Config().IsGetRealUrl);
    default:
      return std::make_unique<CCurlDownloader>(std::move(callback), url, filePath);
  }
}

}  // namespace install
