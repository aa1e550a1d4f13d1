#include "config/language.h"

#include <json/json.h>

#include <memory>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/probes.h"
#include "platform/profile.h"
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

bool IsUsableLanguageFileSize(std::uint64_t bytes) { return bytes > 0 && bytes <= kMaxLanguageFileBytes; }

namespace {

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

void CollectTexts(const Json::Value& root, const std::string& code, std::vector<std::pair<int, std::wstring>>* out) {
  if (!root.isArray() && !root.isObject()) return;
  for (const Json::Value& entry : root) {
    if (!entry.isObject()) continue;
    int id = 0;
    if (!EntryId(entry, &id)) continue;
    const Json::Value text = entry.get(code, Json::Value(""));
    if (text.isObject() || text.isArray()) continue;
    out->emplace_back(id, Utils::Utf8ToWide(text.asString()));
  }
}

}  // namespace

std::vector<std::pair<int, std::wstring>> ParseLanguageTexts(const std::vector<std::uint8_t>& file,
                                                             const std::string& code) {
  std::vector<std::pair<int, std::wstring>> texts;
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  const char* begin = reinterpret_cast<const char*>(file.data());
  if (!reader->parse(begin, begin + file.size(), &root, &errors)) return texts;
  try {
    CollectTexts(root, code, &texts);
  } catch (const Json::Exception&) {
    // A shape the checks above did not foresee: keep what was collected.
  }
  return texts;
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

std::wstring ReadInstalledLanguageCode(const std::wstring& folder) {
  const std::wstring path = platform::JoinPath(folder, L"config.ini");
  if (!platform::FileExists(path)) return std::wstring();
  return platform::ReadProfileString(path, L"Install", L"Language", L"en-US");
}
