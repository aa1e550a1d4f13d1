// Decoded skin images, cached by name.
//
// Images are decoded once from the skin (PNG, through stb_image) into 32-bit
// premultiplied pixels in the byte order B, G, R, A — the layout of a
// top-down 32-bit Windows DIB section, so the GDI painter can blend them
// with AlphaBlend without converting. A name that cannot be found or decoded
// gives null, and that answer is cached too, so a missing image (the
// markup's disabled-state buttons, "installPrg3.png") costs one look-up.
// Names are matched like archive names (case, "\" and "/").
//
// Threads: Get may be called from any thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ui {

class SkinResources;

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 4 bytes: B, G, R, A premultiplied
};

class ImageCache {
 public:
  explicit ImageCache(SkinResources& resources) : resources_(resources) {}

  std::shared_ptr<const Bitmap> Get(const std::wstring& name);
  bool Loads(const std::wstring& name) { return Get(name) != nullptr; }
  void Clear();

  // Null for data that is not a decodable image, or one wider or higher than
  // kMaxSide pixels (a damaged header must not make us allocate gigabytes).
  static std::shared_ptr<Bitmap> Decode(const std::vector<std::uint8_t>& bytes);
  static constexpr int kMaxSide = 8192;

 private:
  SkinResources& resources_;
  std::mutex mutex_;
  std::map<std::wstring, std::shared_ptr<const Bitmap>> cache_;
};

}  // namespace ui
