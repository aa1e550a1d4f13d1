#include "ui/language/window_language.h"

#include <cstdint>
#include <vector>

#include "config/installer_config.h"
#include "config/language.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/text_table.h"
#include "ui/toolkit/window_tree.h"

int LoadLanguageTexts(ui::SkinResources* resources, ui::TextTable& texts, int index,
                      const std::wstring& code) {
  if (!resources) return 0;
  std::vector<std::uint8_t> bytes;
  if (!resources->Read(kLanguageFileName, &bytes) || !IsUsableLanguageFileSize(bytes.size())) return 0;
  const int resolved = ResolveLanguage(index, code);
  for (const auto& [id, text] : ParseLanguageTexts(bytes, LanguageCodeOf(resolved))) texts.Set(id, text);
  return resolved;
}

int LoadLanguageTexts(int index, const std::wstring& code) {
  ui::SkinPackage* package = ui::SkinSystem::CurrentPackage();
  return LoadLanguageTexts(package ? package->resources.get() : nullptr, ui::TextTable::Shared(), index,
                           code);
}

namespace {

void Relayout(ui::WindowTree& window) {
  window.NeedUpdate();
  window.LayoutIfNeeded();
  window.Invalidate(window.GetClientRect());
}

}  // namespace

int ReadInstalledLanguage(const std::wstring& folder, ui::WindowTree* window) {
  const int resolved = LoadLanguageTexts(0, ReadInstalledLanguageCode(folder));
  if (window) Relayout(*window);
  return resolved;
}

bool FitControlWidth(ui::WindowTree& window, const std::wstring& name) {
  ui::CControl* control = window.FindControl(name);
  if (!control) return false;
  auto* label = dynamic_cast<ui::CLabel*>(control);
  // The width of the text on one line: a wrapping style would measure the
  // text broken at a width of nothing.
  const unsigned style =
      label ? (label->GetTextStyle() & ~ui::TextStyle::kWordBreak) | ui::TextStyle::kSingleLine
            : ui::TextStyle::kSingleLine;
  const int padding = label ? label->GetTextPadding().left : 0;
  const ui::Size size = window.MeasureText(*control, control->GetText(), style);
  control->SetFixedWidth(size.cx + padding);
  return true;
}

int ApplyLanguage(ui::WindowTree& window, int index) {
  const int resolved = LoadLanguageTexts(index, L"");
  Relayout(window);
  for (const wchar_t* name : {L"lbLanguage", L"lbInstallPath", L"backBtn"}) FitControlWidth(window, name);
  Config().LanguageIndex = resolved;
  return resolved;
}
