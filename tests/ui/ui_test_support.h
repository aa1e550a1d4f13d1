// Helpers shared by the toolkit's tests: file reading, a fixed-advance text
// measurer, a painter that records what it was asked to draw, and a
// notification recorder.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/toolkit/notification.h"
#include "ui/toolkit/painter.h"
#include "ui/toolkit/text_measurer.h"

namespace ui::test {

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ASCII characters advance half the font size, others the full size; one
// line is font-size high. Wrapping is not modelled.
class FakeMeasurer : public TextMeasurer {
 public:
  Size Measure(const std::wstring& text, const FontSpec& font, unsigned, int) override {
    lastText = text;
    int width = 0;
    for (wchar_t c : text) width += c < 0x80 ? font.size / 2 : font.size;
    return {width, font.size};
  }
  std::wstring lastText;
};

class RecordingPainter : public Painter {
 public:
  void FillRect(const Rect& rect, Color color) override { fills.push_back({rect, color}); }
  void FillRoundRect(const Rect& rect, Color color, Size) override { fills.push_back({rect, color}); }
  bool DrawImage(const ImageRef& image, const Rect& control) override {
    images.push_back({image, control});
    return missing.empty() || image.file != missing;
  }
  void DrawText(const Rect& rect, const std::wstring& text, const FontSpec& font, Color color,
                unsigned style) override {
    texts.push_back({rect, text, font, color, style});
  }
  void DrawBorder(const Rect&, Color, int, Size) override { ++borders; }
  void PushClip(const Rect&) override { ++depth; }
  void PopClip() override { --depth; }

  struct Fill { Rect rect; Color color; };
  struct Image { ImageRef image; Rect control; };
  struct Text { Rect rect; std::wstring text; FontSpec font; Color color; unsigned style; };
  std::vector<Fill> fills;
  std::vector<Image> images;
  std::vector<Text> texts;
  std::wstring missing;  // an image name that "cannot be loaded"
  int borders = 0;
  int depth = 0;
};

class Recorder : public NotifyListener {
 public:
  void OnNotification(const Notification& n) override { seen.push_back(n); }
  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    for (const auto& n : seen) types.push_back(n.type);
    return types;
  }
  std::vector<Notification> seen;
};

}  // namespace ui::test
