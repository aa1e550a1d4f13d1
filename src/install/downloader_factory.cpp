#include "install/downloader_factory.h"

#include "download/curl_downloader.h"

std::unique_ptr<CDownloader> MakeDownloader(std::int32_t downloadType, EventCallback callback,
                                            const std::wstring& url, const std::wstring& filePath) {
  switch (downloadType) {
    // Not yet part of the download engine's build: the WinHTTP (2) and the
    // segmented (3) downloaders fall back to the single stream for now.
    case 2:
    case 3:
    default:
      return std::make_unique<CCurlDownloader>(std::move(callback), url, filePath);
  }
}
