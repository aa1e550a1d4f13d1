#include "ui/toolkit/skin_system.h"

#include <map>
#include <mutex>

#include "platform/files.h"
#include "platform/paths.h"
#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/skin_system_native.h"
#include "ui/toolkit/skin_window.h"

namespace ui {
namespace {

// Files under a folder, for skins shipped loose (resource kind 1).
class FolderSkinResources : public SkinResources {
 public:
  explicit FolderSkinResources(std::wstring folder) : folder_(std::move(folder)) {}
  bool Read(const std::wstring& name, std::vector<std::uint8_t>* out) override {
    out->clear();
    std::FILE* f = platform::OpenFile(Path(name), "rb");
    if (!f) return false;
    std::uint8_t buffer[16384];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out->insert(out->end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) out->clear();
    return ok;
  }
  bool Exists(const std::wstring& name) override { return platform::FileExists(Path(name)); }

 private:
  std::wstring Path(std::wstring name) const {
    for (wchar_t& c : name) {
      if (c == L'\\' || c == L'/') c = platform::kPathSeparator;
    }
    return platform::JoinPath(folder_, name);
  }
  std::wstring folder_;
};

std::vector<std::uint8_t> ReadWholeFile(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = platform::OpenFile(path, "rb");
  if (!f) return bytes;
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

struct State {
  std::mutex mutex;
  void* instance = nullptr;
  bool sevenZip = false;
  bool shadowClass = false;
  bool headless = !native::HasNativeWindows();
  std::wstring archiveFile;
  std::map<std::wstring, std::unique_ptr<SkinPackage>> packages;
  SkinPackage* current = nullptr;
};

State& S() {
  static State state;
  return state;
}

std::unique_ptr<SkinPackage> MakePackage(std::unique_ptr<SkinResources> resources) {
  if (!resources) return nullptr;
  auto package = std::make_unique<SkinPackage>();
  package->images = std::make_unique<ImageCache>(*resources);
  package->resources = std::move(resources);
  return package;
}

}  // namespace

void SkinSystem::SetInstance(void* instance) { S().instance = instance; }
void* SkinSystem::GetInstance() { return S().instance; }
void SkinSystem::UseSevenZipArchives() { S().sevenZip = true; }
bool SkinSystem::SevenZipSelected() { return S().sevenZip; }

bool SkinSystem::RegisterShadowClass() {
  State& s = S();
  if (!s.shadowClass) s.shadowClass = native::RegisterShadowWindowClass(s.instance);
  return s.shadowClass;
}

bool SkinSystem::ShadowClassRegistered() { return S().shadowClass; }

void SkinSystem::SetArchiveFile(const std::wstring& path) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.archiveFile = path;
}

SkinPackage* SkinSystem::Package(int resourceKind, int resourceId, const std::wstring& folder) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::wstring key;
  if (resourceKind == kResourceKindFile) {
    key = L"folder:" + folder;
  } else if (!s.archiveFile.empty()) {
    key = L"file:" + s.archiveFile;
  } else {
    key = L"resource:" + std::to_wstring(resourceId);
  }
  auto it = s.packages.find(key);
  if (it != s.packages.end()) return it->second.get();

  std::unique_ptr<SkinPackage> package;
  if (resourceKind == kResourceKindFile) {
    package = MakePackage(std::make_unique<FolderSkinResources>(folder));
  } else if (!s.archiveFile.empty()) {
    package = MakePackage(ArchiveSkinResources::FromBytes(ReadWholeFile(s.archiveFile)));
  } else {
    std::vector<std::uint8_t> bytes;
    if (native::LoadSkinResource(s.instance, resourceId, &bytes)) {
      package = MakePackage(ArchiveSkinResources::FromBytes(std::move(bytes)));
    }
  }
  // A failure is not cached: a test may put the file in place and try again.
  if (!package) return nullptr;
  SkinPackage* raw = package.get();
  s.packages[key] = std::move(package);
  return raw;
}

SkinPackage* SkinSystem::CurrentPackage() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.current;
}

void SkinSystem::SetCurrentPackage(SkinPackage* package) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.current = package;
}

void SkinSystem::UseHeadlessWindows(bool on) { S().headless = on || !native::HasNativeWindows(); }
bool SkinSystem::HeadlessWindows() { return S().headless; }

}  // namespace ui
