#include "ui/toolkit/skin_resources.h"

#include "ui/toolkit/seven_zip_archive.h"

namespace ui {

ArchiveSkinResources::ArchiveSkinResources(std::unique_ptr<SevenZipArchive> archive)
    : archive_(std::move(archive)) {}

ArchiveSkinResources::~ArchiveSkinResources() = default;

std::unique_ptr<ArchiveSkinResources> ArchiveSkinResources::FromBytes(std::vector<std::uint8_t> bytes) {
  std::unique_ptr<SevenZipArchive> archive = SevenZipArchive::Open(std::move(bytes));
  if (!archive) return nullptr;
  return std::make_unique<ArchiveSkinResources>(std::move(archive));
}

bool ArchiveSkinResources::Read(const std::wstring& name, std::vector<std::uint8_t>* out) {
  return archive_->Extract(name, out);
}

bool ArchiveSkinResources::Exists(const std::wstring& name) { return archive_->Contains(name); }

}  // namespace ui
