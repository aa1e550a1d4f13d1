#include "ui/toolkit/text_table.h"

namespace ui {

void TextTable::Set(int id, const std::wstring& text) { entries_[std::to_wstring(id)] = text; }

void TextTable::Set(const std::wstring& key, const std::wstring& text) { entries_[key] = text; }

const std::wstring* TextTable::Find(const std::wstring& key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

std::wstring TextTable::Resolve(const std::wstring& text) const {
  if (entries_.empty() || text.find(L"%{") == std::wstring::npos) return text;
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L'{') {
      std::size_t j = i + 2;
      while (j < text.size() && text[j] >= L'0' && text[j] <= L'9') ++j;
      if (j > i + 2 && j < text.size() && text[j] == L'}') {
        if (const std::wstring* entry = Find(text.substr(i + 2, j - i - 2))) {
          out += *entry;
          i = j + 1;
          continue;
        }
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

TextTable& TextTable::Shared() {
  static TextTable table;
  return table;
}

}  // namespace ui
