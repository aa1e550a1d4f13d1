#include "ui/toolkit/image_cache.h"

#include "ui/toolkit/archive_name.h"
#include "ui/toolkit/skin_resources.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#include <stb_image.h>

namespace ui {

std::shared_ptr<Bitmap> ImageCache::Decode(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
  const int length = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels)) return nullptr;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  stbi_uc* rgba = stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4);
  if (!rgba) return nullptr;
  auto bitmap = std::make_shared<Bitmap>();
  bitmap->width = width;
  bitmap->height = height;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  bitmap->pixels.resize(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    const stbi_uc* in = rgba + i * 4;
    std::uint8_t* out = &bitmap->pixels[i * 4];
    const unsigned a = in[3];
    out[0] = static_cast<std::uint8_t>((in[2] * a + 127) / 255);
    out[1] = static_cast<std::uint8_t>((in[1] * a + 127) / 255);
    out[2] = static_cast<std::uint8_t>((in[0] * a + 127) / 255);
    out[3] = static_cast<std::uint8_t>(a);
  }
  stbi_image_free(rgba);
  return bitmap;
}

std::shared_ptr<const Bitmap> ImageCache::Get(const std::wstring& name) {
  const std::wstring key = NormalizeArchiveName(name);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
  }
  std::vector<std::uint8_t> bytes;
  std::shared_ptr<const Bitmap> bitmap;
  if (resources_.Read(name, &bytes)) bitmap = Decode(bytes);
  std::lock_guard<std::mutex> lock(mutex_);
  return cache_.emplace(key, bitmap).first->second;
}

void ImageCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  cache_.clear();
}

}  // namespace ui
