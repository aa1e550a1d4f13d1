#include "ui/toolkit/seven_zip_archive.h"

#include <algorithm>
#include <cstring>

#include "ui/toolkit/archive_name.h"

extern "C" {
#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
}

namespace ui {
namespace {

// The SDK reads through ILookInStream; this one looks straight into the
// buffer, so no lookahead copy is made.
struct MemoryLookStream {
  ILookInStream vt;  // first member: the SDK hands back a pointer to it
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t pos = 0;
};

MemoryLookStream* Self(ILookInStreamPtr p) {
  return reinterpret_cast<MemoryLookStream*>(const_cast<ILookInStream*>(p));
}

SRes MemoryLook(ILookInStreamPtr p, const void** buf, size_t* size) {
  MemoryLookStream* s = Self(p);
  *size = std::min(*size, s->size - s->pos);
  *buf = s->data + s->pos;
  return SZ_OK;
}

SRes MemorySkip(ILookInStreamPtr p, size_t offset) {
  MemoryLookStream* s = Self(p);
  s->pos += std::min(offset, s->size - s->pos);
  return SZ_OK;
}

SRes MemoryRead(ILookInStreamPtr p, void* buf, size_t* size) {
  MemoryLookStream* s = Self(p);
  *size = std::min(*size, s->size - s->pos);
  if (*size != 0) std::memcpy(buf, s->data + s->pos, *size);
  s->pos += *size;
  return SZ_OK;
}

SRes MemorySeek(ILookInStreamPtr p, Int64* pos, ESzSeek origin) {
  MemoryLookStream* s = Self(p);
  Int64 base = 0;
  if (origin == SZ_SEEK_CUR) base = static_cast<Int64>(s->pos);
  if (origin == SZ_SEEK_END) base = static_cast<Int64>(s->size);
  const Int64 target = base + *pos;
  if (target < 0 || static_cast<std::uint64_t>(target) > s->size) return SZ_ERROR_INPUT_EOF;
  s->pos = static_cast<std::size_t>(target);
  *pos = target;
  return SZ_OK;
}

const ISzAlloc kAlloc = {SzAlloc, SzFree};
const ISzAlloc kAllocTemp = {SzAllocTemp, SzFreeTemp};

void GenerateCrcTableOnce() {
  static std::once_flag once;
  std::call_once(once, [] { CrcGenerateTable(); });
}

// 7z stores names as UTF-16LE; wchar_t is 32-bit off Windows, so surrogate
// pairs are joined. A lone surrogate becomes U+FFFD.
std::wstring FromUtf16(const std::vector<UInt16>& units) {
  std::wstring out;
  for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
    std::uint32_t c = units[i];
    if (sizeof(wchar_t) == 4 && c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() &&
        units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (sizeof(wchar_t) == 4 && c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

}  // namespace

struct SevenZipArchive::Reader {
  std::vector<std::uint8_t> bytes;
  MemoryLookStream stream;
  CSzArEx db;
  // The SDK's solid-block cache: the last unpacked block and its index.
  UInt32 blockIndex = 0xFFFFFFFF;
  Byte* block = nullptr;
  size_t blockSize = 0;

  explicit Reader(std::vector<std::uint8_t> data) : bytes(std::move(data)) {
    stream.vt.Look = MemoryLook;
    stream.vt.Skip = MemorySkip;
    stream.vt.Read = MemoryRead;
    stream.vt.Seek = MemorySeek;
    stream.data = bytes.data();
    stream.size = bytes.size();
    SzArEx_Init(&db);
  }
  ~Reader() {
    ISzAlloc_Free(&kAlloc, block);
    SzArEx_Free(&db, &kAlloc);
  }
};

std::unique_ptr<SevenZipArchive> SevenZipArchive::Open(std::vector<std::uint8_t> bytes) {
  GenerateCrcTableOnce();
  auto reader = std::make_unique<Reader>(std::move(bytes));
  if (SzArEx_Open(&reader->db, &reader->stream.vt, &kAlloc, &kAllocTemp) != SZ_OK) return nullptr;
  return std::unique_ptr<SevenZipArchive>(new SevenZipArchive(std::move(reader)));
}

SevenZipArchive::SevenZipArchive(std::unique_ptr<Reader> reader) : reader_(std::move(reader)) {
  const CSzArEx& db = reader_->db;
  std::vector<UInt16> name;
  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    name.assign(SzArEx_GetFileNameUtf16(&db, i, nullptr), 0);
    SzArEx_GetFileNameUtf16(&db, i, name.data());
    Entry entry;
    entry.name = FromUtf16(name);
    entry.size = SzArEx_GetFileSize(&db, i);
    entry.isFolder = SzArEx_IsDir(&db, i);
    normalizedNames_.push_back(NormalizeArchiveName(entry.name));
    entries_.push_back(std::move(entry));
  }
}

SevenZipArchive::~SevenZipArchive() = default;

int SevenZipArchive::Find(const std::wstring& name) const {
  const std::wstring wanted = NormalizeArchiveName(name);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].isFolder && normalizedNames_[i] == wanted) return static_cast<int>(i);
  }
  return -1;
}

bool SevenZipArchive::Extract(const std::wstring& name, std::vector<std::uint8_t>* out) {
  return ExtractAt(Find(name), out);
}

bool SevenZipArchive::ExtractAt(int index, std::vector<std::uint8_t>* out) {
  out->clear();
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size() || entries_[index].isFolder) {
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  Reader& r = *reader_;
  const UInt32 folder = r.db.FileToFolder[index];
  if (folder == static_cast<UInt32>(-1)) return true;  // an empty file has no block
  if (SzAr_GetFolderUnpackSize(&r.db.db, folder) > kMaxBlockBytes) return false;

  size_t offset = 0;
  size_t length = 0;
  const SRes res = SzArEx_Extract(&r.db, &r.stream.vt, static_cast<UInt32>(index), &r.blockIndex,
                                  &r.block, &r.blockSize, &offset, &length, &kAlloc, &kAllocTemp);
  if (res != SZ_OK) {
    // Drop the cache: a half-decoded block must not serve the next call.
    ISzAlloc_Free(&kAlloc, r.block);
    r.block = nullptr;
    r.blockSize = 0;
    r.blockIndex = 0xFFFFFFFF;
    return false;
  }
  out->assign(r.block + offset, r.block + offset + length);
  return true;
}

}  // namespace ui
