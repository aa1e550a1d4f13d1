#include "config/language.h"

#include <json/json.h>

#include <memory>
#include <vector>

#include "config/installer_config.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/probes.h"
#include "platform/profile.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/skin_system.h"
#include "ui/toolkit/text_table.h"
#include "ui/toolkit/window_tree.h"
#include "utils/text.h"

const std::map<int, std::string>& LanguageTable() {
  static const std::map<int, std::string> table = {
      {0, "en-US"}, {1, "zh-CN"}, {2, "zh-TW"}, {3, "id-ID"},  {4, "tr-TR"},  {5, "de-DE"},  {6, "fr-FR"},
      {7, "es-ES"}, {8, "pt-PT"}, {9, "ja-JP"}, {10, "ko-KR"}, {11, "pl-PL"}, {12, "nl-NL"}, {13, "it-IT"},
  };
  return table;
}

std::string LanguageCodeOf(int index) {
  const auto& table = LanguageTable();
  auto it = table.find(index);
  return it == table.end() ? table.at(0) : it->second;
}

namespace {

int ResolveLanguage(int index, const std::wstring& code) {
  const auto& table = LanguageTable();
  if (!code.empty()) {
    const std::string narrow = Utils::ToNarrow(code, platform::kCodePageAnsi);
    for (const auto& [i, c] : table) {
      if (c == narrow) return i;
    }
    return index;
  }
  return table.count(index) ? index : 0;
}

// One entry's text number; false when the entry carries no usable number.
bool EntryId(const Json::Value& entry, int* id) {
  if (!entry.isMember("id")) {
    *id = 0;
    return true;
  }
  const Json::Value& value = entry["id"];
  if (!value.isInt()) return false;
  *id = value.asInt();
  return true;
}

void RegisterTexts(const Json::Value& root, const std::string& code, ui::TextTable& texts) {
  if (!root.isArray() && !root.isObject()) return;
  for (const Json::Value& entry : root) {
    if (!entry.isObject()) continue;
    int id = 0;
    if (!EntryId(entry, &id)) continue;
    const Json::Value text = entry.get(code, Json::Value(""));
    if (text.isObject() || text.isArray()) continue;
    texts.Set(id, Utils::Utf8ToWide(text.asString()));
  }
}

}  // namespace

int LoadLanguageTexts(ui::SkinResources* resources, ui::TextTable& texts, int index,
                      const std::wstring& code) {
  if (!resources) return 0;
  std::vector<std::uint8_t> bytes;
  if (!resources->Read(kLanguageFileName, &bytes) || bytes.empty() ||
      bytes.size() > kMaxLanguageFileBytes) {
    return 0;
  }
  const int resolved = ResolveLanguage(index, code);
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  const char* begin = reinterpret_cast<const char*>(bytes.data());
  if (!reader->parse(begin, begin + bytes.size(), &root, &errors)) return resolved;
  try {
    RegisterTexts(root, LanguageCodeOf(resolved), texts);
  } catch (const Json::Exception&) {
    // A shape the checks above did not foresee: keep what was registered.
  }
  return resolved;
}

int LoadLanguageTexts(int index, const std::wstring& code) {
  ui::SkinPackage* package = ui::SkinSystem::CurrentPackage();
  return LoadLanguageTexts(package ? package->resources.get() : nullptr, ui::TextTable::Shared(), index,
                           code);
}

int LanguageIndexForLangId(std::uint16_t langId) {
  switch (langId) {
    case 0x0409: return 0;
    case 0x0404: return 2;
    case 0x0421: return 3;
    case 0x041F: return 4;
    case 0x0407: return 5;
    case 0x040C: return 6;
    case 0x0416: return 8;
    case 0x0411: return 9;
    case 0x0412: return 10;
    case 0x0415: return 11;
    case 0x0413:
    case 0x0813: return 12;
    case 0x0410: return 13;
    default: break;
  }
  // Every Spanish variant from 0x040A to 0x500A.
  if ((langId & 0x03FF) == 0x000A && langId >= 0x040A && langId <= 0x500A) return 7;
  return 0;
}

int GetSystemLanguageIndex() { return LanguageIndexForLangId(platform::UserDefaultUiLanguage()); }

namespace {

void Relayout(ui::WindowTree& window) {
  window.NeedUpdate();
  window.LayoutIfNeeded();
  window.Invalidate(window.GetClientRect());
}

}  // namespace

int ReadInstalledLanguage(const std::wstring& folder, ui::WindowTree* window) {
  const std::wstring path = platform::JoinPath(folder, L"config.ini");
  std::wstring code;
  if (platform::FileExists(path)) code = platform::ReadProfileString(path, L"Install", L"Language", L"en-US");
  const int resolved = LoadLanguageTexts(0, code);
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
