#include "ui/frame/skin_frame.h"

#include "ui/toolkit/image_cache.h"
#include "ui/toolkit/skin_system.h"

namespace ui {

std::wstring ClassNameFromSkinFile(const std::wstring& skinFile) {
  const std::size_t dot = skinFile.rfind(L'.');
  return dot == std::wstring::npos ? skinFile : skinFile.substr(0, dot);
}

SkinSource MakeSkinSource(const std::wstring& skinFile) {
  SkinSource source;
  source.skinFile = skinFile;
  source.windowClassName = ClassNameFromSkinFile(skinFile);
  return source;
}

CSkinFrame::CSkinFrame(const SkinSource& source) : source_(source) {}

CSkinFrame::~CSkinFrame() = default;

void CSkinFrame::OnSkinReady() {
  SetStyle(GetStyle() & kStyleClearCaptionMaxBox);

  const std::wstring* show = Tree().GetCustomAttribute(L"showshadow");
  if (!show || !EqualsIgnoreCase(*show, L"true")) return;
  shadow_.Create(*this);
  SkinPackage* package = SkinSystem::CurrentPackage();
  ApplyShadowAttributes(
      Tree(), [package](const std::wstring& image) { return package && package->images->Loads(image); },
      shadow_.MutableSettings());
  shadow_.Refresh();
}

std::intptr_t CSkinFrame::FilterMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                        bool& handled) {
  if (msg == kWmKeyDown && wParam == kVkEscape) {
    handled = true;
    return 0;
  }
  return SkinWindow::FilterMessage(msg, wParam, lParam, handled);
}

std::unique_ptr<CControl> CSkinFrame::CreateCustomControl(const std::wstring&) { return nullptr; }

}  // namespace ui
