// The skin archive: a fuzzed 7z archive is opened from memory, every entry is
// looked up by name and extracted.
//
// Invariants: an extracted file has the size its entry declares, a failed
// extraction leaves nothing behind, a lookup never finds a folder and finds
// an entry of the same name, and no solid block bigger than the reader's
// limit is ever unpacked (the allocation limit of the run would catch it).
#include "fuzz_support.h"
#include "ui/toolkit/archive_name.h"
#include "ui/toolkit/seven_zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1024 * 1024) return 0;
  std::unique_ptr<ui::SevenZipArchive> archive = ui::SevenZipArchive::Open(std::vector<std::uint8_t>(data, data + size));
  if (!archive) return 0;

  const std::vector<ui::SevenZipArchive::Entry>& entries = archive->Entries();
  for (std::size_t i = 0; i < entries.size() && i < 256; ++i) {
    const ui::SevenZipArchive::Entry& entry = entries[i];
    const int found = archive->Find(entry.name);
    if (found >= 0) {
      FUZZ_CHECK(static_cast<std::size_t>(found) < entries.size());
      FUZZ_CHECK(!entries[found].isFolder);
      FUZZ_CHECK(ui::ArchiveNamesMatch(entries[found].name, entry.name));
    }
    if (!entry.isFolder) FUZZ_CHECK(found >= 0);

    std::vector<std::uint8_t> bytes{1, 2, 3};
    const bool ok = archive->ExtractAt(static_cast<int>(i), &bytes);
    if (ok) {
      FUZZ_CHECK(!entry.isFolder);
      FUZZ_CHECK(bytes.size() == entry.size);
    } else {
      FUZZ_CHECK(bytes.empty());
    }
  }
  std::vector<std::uint8_t> bytes;
  FUZZ_CHECK(!archive->ExtractAt(-1, &bytes) && bytes.empty());
  FUZZ_CHECK(!archive->ExtractAt(static_cast<int>(entries.size()), &bytes) && bytes.empty());
  return 0;
}
