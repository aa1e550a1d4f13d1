// Which downloader fetches the package, by the DownloadType setting:
//   2      WinHttpDownloader (the system's WinHTTP)
//   3      CMTCurlDownloader (two ranged connections)
//   other  CCurlDownloader   (one resumable stream)
// A factory is a hook so that an owner can choose differently (a tool that
// forces one kind); the default is MakeDownloader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "download/downloader.h"
#include "utils/events.h"

namespace install {

using DownloaderFactory = std::function<std::unique_ptr<CDownloader>(
    std::int32_t downloadType, EventCallback callback, const std::wstring& url, const std::wstring& filePath)>;

std::unique_ptr<CDownloader> MakeDownloader(std::int32_t downloadType, EventCallback callback,
                                            const std::wstring& url, const std::wstring& filePath);

}  // namespace install
