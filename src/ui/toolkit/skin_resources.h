// Where a window's markup and images come from.
//
// The installer's skin is a 7z archive held in memory (from the program's
// resources); ArchiveSkinResources serves files from it. Names match without
// regard to letter case and with "\" and "/" as one separator. The Win32
// backend's image loader and the language loader read through the same
// object.
//
// Threads: Read and Exists may be called from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class SevenZipArchive;

class SkinResources {
 public:
  virtual ~SkinResources() = default;
  // The file's bytes; false (and `out` empty) when there is no such file or
  // it cannot be read.
  virtual bool Read(const std::wstring& name, std::vector<std::uint8_t>* out) = 0;
  virtual bool Exists(const std::wstring& name) = 0;
};

class ArchiveSkinResources : public SkinResources {
 public:
  explicit ArchiveSkinResources(std::unique_ptr<SevenZipArchive> archive);
  ~ArchiveSkinResources() override;

  // Null when `bytes` is not a readable 7z archive.
  static std::unique_ptr<ArchiveSkinResources> FromBytes(std::vector<std::uint8_t> bytes);

  bool Read(const std::wstring& name, std::vector<std::uint8_t>* out) override;
  bool Exists(const std::wstring& name) override;
  SevenZipArchive& Archive() { return *archive_; }

 private:
  std::unique_ptr<SevenZipArchive> archive_;
};

}  // namespace ui
