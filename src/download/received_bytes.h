// How much of the package the downloaders have on disk, for the figures
// under the progress bar (speed) while a download runs.
//
// The progress events carry only the fraction done; the bytes are read from
// the files a downloader writes next to the package: the single stream's
// and the WinHTTP downloader's "<package>.part", the segmented downloader's
// "<package>_<n>" parts, and the package itself once it is complete. A
// resumed download counts what it kept, like its fraction does.
//
// Any thread; reads file sizes only.
#pragma once

#include <cstdint>
#include <string>

// Bytes received so far for `packagePath`; -1 when no file exists yet.
std::int64_t ReceivedPackageBytes(const std::wstring& packagePath);
