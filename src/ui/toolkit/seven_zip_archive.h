// A 7z archive held in memory, read with the LZMA SDK's C reader.
//
// The skin travels as a 7z archive inside the executable's resources, so the
// reader works on a byte buffer, never on a file. Entries are found by name
// without regard to letter case and with "\" and "/" as one separator
// (archive_name.h).
//
// Threads: one archive may be used from several threads; extraction is
// serialised inside (the reader keeps the last unpacked solid block as a
// cache, which is what makes reading many small skin files from one solid
// block cheap).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ui {

class SevenZipArchive {
 public:
  struct Entry {
    std::wstring name;  // as stored, separators unchanged
    std::uint64_t size = 0;
    bool isFolder = false;
  };

  // Parses the archive's headers. Null when the bytes are not a readable 7z
  // archive (wrong signature, truncated, damaged headers, unsupported
  // method); the reason is not kept.
  static std::unique_ptr<SevenZipArchive> Open(std::vector<std::uint8_t> bytes);

  ~SevenZipArchive();
  SevenZipArchive(const SevenZipArchive&) = delete;
  SevenZipArchive& operator=(const SevenZipArchive&) = delete;

  const std::vector<Entry>& Entries() const { return entries_; }

  // Index of the file entry whose name matches, or -1. Folders never match.
  int Find(const std::wstring& name) const;
  bool Contains(const std::wstring& name) const { return Find(name) >= 0; }

  // The entry's bytes. False when there is no such file, its solid block
  // would unpack to more than kMaxBlockBytes, or the data fails to decode or
  // fails its CRC; `out` is left empty then.
  bool Extract(const std::wstring& name, std::vector<std::uint8_t>* out);
  bool ExtractAt(int index, std::vector<std::uint8_t>* out);

  // A damaged header could otherwise ask for an allocation of any size.
  static constexpr std::uint64_t kMaxBlockBytes = 64ull * 1024 * 1024;

 private:
  struct Reader;
  explicit SevenZipArchive(std::unique_ptr<Reader> reader);

  std::unique_ptr<Reader> reader_;
  std::vector<Entry> entries_;
  std::vector<std::wstring> normalizedNames_;
  std::mutex mutex_;
};

}  // namespace ui
