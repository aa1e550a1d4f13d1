#include "ui/toolkit/property_table.h"

namespace ui {

void PropertyTable::Add(const wchar_t* name, NameMatch match, Setter setter) {
  std::wstring key = match == NameMatch::kIgnoreCase ? ToLowerAscii(name) : std::wstring(name);
  entries_.push_back({std::move(key), match, std::move(setter)});
}

const PropertyTable::Setter* PropertyTable::Find(const std::wstring& name) const {
  const std::wstring lowered = ToLowerAscii(name);
  for (const PropertyTable* table = this; table; table = table->base_) {
    for (const Entry& e : table->entries_) {
      const std::wstring& wanted = e.match == NameMatch::kIgnoreCase ? lowered : name;
      if (e.name == wanted) return &e.setter;
    }
  }
  return nullptr;
}

}  // namespace ui
